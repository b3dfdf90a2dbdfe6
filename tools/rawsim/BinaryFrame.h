#pragma once
#include <cstdint>
#include <string>

// Writing side of the binary raw format's framing: 0xFE, type letter, escaped body,
// escaped 16-bit big-endian checksum, 0xFF. Bytes are kept in std::string.

// Appends value as an n-byte big-endian field (bytes above the 32-bit value are zero).
void PutBigEndian(std::string& out, uint32_t value, int n);
// Appends the 8 bytes of an IEEE 754 double, least significant first.
void PutLittleEndianDouble(std::string& out, double value);
// Appends byte, escaped: 0xFD, 0xFE, 0xFF become 0xFD followed by 0x00, 0x01, 0x02.
void PutEscaped(std::string& out, uint8_t byte);
// The 16-bit sum of the bytes of escaped, each unsigned.
uint16_t ByteSum(const std::string& escaped);

// How a record is framed; the defaults give a correct record.
struct FrameOptions {
    int checksumError = 0;      // added to the correct checksum
    int badEscapeAt = -1;       // body offset before which an invalid pair 0xFD 0x05 is put
    int truncateTo = -1;        // keep only this many bytes of the frame, no end byte
};

// The framed record of letter and the unescaped body (bytes from index 2 of the
// unescaped record up to the checksum). The checksum is the sum of the escaped bytes
// from the letter to the last body byte; it is itself escaped.
std::string FrameBinaryRecord(char letter, const std::string& body, const FrameOptions& options = {});
