#pragma once
// Builders of raw records for the decoder tests: binary framing with escapes and
// checksum, big-endian fields, and navigation words packed from field values.
#include <cstdint>
#include <string>
#include <vector>

namespace decodetest {

using Bytes = std::vector<uint8_t>;

// Appends value as n big-endian bytes.
inline void PutBE(Bytes& b, uint64_t value, int n) {
    for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Appends a byte escaped as on the wire.
inline void PutEscaped(Bytes& out, uint8_t byte) {
    if (byte >= 0xFD) {
        out.push_back(0xFD);
        out.push_back(static_cast<uint8_t>(byte - 0xFD));
    } else {
        out.push_back(byte);
    }
}

// A binary record on the wire: 0xFE, letter, escaped body (unescaped positions 2 ...),
// escaped 16-bit checksum of the letter and the escaped body, 0xFF.
inline Bytes Frame(char letter, const Bytes& body) {
    Bytes out{0xFE, static_cast<uint8_t>(letter)};
    for (uint8_t b : body) PutEscaped(out, b);
    unsigned sum = 0;
    for (size_t i = 1; i < out.size(); ++i) sum += out[i];
    PutEscaped(out, static_cast<uint8_t>((sum >> 8) & 0xFF));
    PutEscaped(out, static_cast<uint8_t>(sum & 0xFF));
    out.push_back(0xFF);
    return out;
}

// Body start of a record with a time header: two uninterpreted bytes, week, tenths.
inline Bytes TimeHeader(uint16_t week, uint32_t tenths) {
    Bytes b{0x00, 0x00};
    PutBE(b, week, 2);
    PutBE(b, tenths, 3);
    return b;
}

// Writes value into n bits of a 24-bit word from bit position p (0 = MSB).
inline void PutBits(uint32_t& word, int p, int n, int64_t value) {
    const uint32_t mask = (n == 32 ? 0xFFFFFFFFu : ((1u << n) - 1u));
    const uint32_t v = static_cast<uint32_t>(value) & mask;
    word |= v << (24 - p - n);
}

// An ASCII record: STX, text, ETX (the terminating zero is added by std::string).
inline std::string Ascii(const std::string& text) { return "\x02" + text + "\x03"; }

}  // namespace decodetest
