#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/File.h"
#include "rawdata/RecordKind.h"

// A raw data file: a stream of self-delimited records with no file header.
class CDataFile : public CFile {
public:
    ~CDataFile() override;
    // Copies the next complete record (delimiters included) into buffer, which holds
    // kRecordBufferSize bytes, sets length and returns its RecordKind; at the end of
    // the data sets length 0 and returns kRecordEnd. The base class reads nothing.
    virtual int ReadRecord(uint8_t* buffer, int& length);
    // The logical position: file position minus bytes buffered but not yet consumed.
    int64_t GetPosition() const override { return CFile::GetPosition(); }

protected:
    std::unique_ptr<uint8_t[]> buffer_;  // kRecordBufferSize bytes
    uint8_t* cursor_ = nullptr;          // read cursor into buffer_, null before the first read
};

// The binary format: records 0xFE type body checksum 0xFF, escaped with 0xFD.
class CKBinDataFile : public CDataFile {
public:
    CKBinDataFile();
    ~CKBinDataFile() override;
    int ReadRecord(uint8_t* buffer, int& length) override;
    int64_t GetPosition() const override;

private:
    int valid_ = 0;  // valid bytes in buffer_
};

// The ASCII format: records STX (0x02) text ETX (0x03), type letter at index 4.
class CKVarDataFile : public CDataFile {
public:
    CKVarDataFile();
    ~CKVarDataFile() override;
    int ReadRecord(uint8_t* buffer, int& length) override;
    int64_t GetPosition() const override;

private:
    int valid_ = 0;  // valid bytes in buffer_ (a zero byte follows them)
};

// Creates the raw data file class of a format index (0 ASCII, 1 binary); null otherwise.
std::unique_ptr<CDataFile> CreateDataFile(int formatIndex);

// Record kind of a binary type letter / an ASCII type letter.
int BinaryRecordKind(uint8_t letter);
int AsciiRecordKind(uint8_t letter);

// Byte-level helpers of the binary format (on a record in a caller's buffer).
// Raw length of a record: 0 when record[0] is not 0xFE, else the index of the
// first 0xFF plus 1; 0 when no 0xFF lies within size bytes.
int FrameLength(const uint8_t* record, int size);
// Replaces the escape pairs between the first and last byte in place and returns the
// new length; 0 when 0xFD is followed by a byte other than 0, 1, 2 or the record is
// malformed.
int Unescape(uint8_t* record, int length);
// The 16-bit sum over the type letter and the escaped body (never the checksum
// itself) of a still escaped record of raw length length.
uint16_t Checksum(const uint8_t* record, int length);
// Unsigned big-endian value of n bytes (n capped at 4). Inline: the decoders read
// every field through it.
inline uint32_t BigEndian(const uint8_t* bytes, int n) {
    if (n > 4) n = 4;
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | bytes[i];
    return v;
}
