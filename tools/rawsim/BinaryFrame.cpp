#include "tools/rawsim/BinaryFrame.h"

#include <cstring>

void PutBigEndian(std::string& out, uint32_t value, int n) {
    for (int k = n - 1; k >= 0; --k) out.push_back(static_cast<char>(k < 4 ? (value >> (8 * k)) & 0xFF : 0));
}

void PutLittleEndianDouble(std::string& out, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int k = 0; k < 8; ++k) out.push_back(static_cast<char>((bits >> (8 * k)) & 0xFF));
}

void PutEscaped(std::string& out, uint8_t byte) {
    if (byte >= 0xFD) {
        out.push_back(static_cast<char>(0xFD));
        out.push_back(static_cast<char>(byte - 0xFD));
    } else {
        out.push_back(static_cast<char>(byte));
    }
}

uint16_t ByteSum(const std::string& escaped) {
    uint32_t sum = 0;
    for (unsigned char c : escaped) sum += c;
    return static_cast<uint16_t>(sum & 0xFFFF);
}

std::string FrameBinaryRecord(char letter, const std::string& body, const FrameOptions& options) {
    std::string summed;  // letter and escaped body: the bytes the checksum covers
    summed.reserve(body.size() * 2 + 1);
    summed.push_back(letter);
    for (size_t k = 0; k < body.size(); ++k) {
        if (static_cast<int>(k) == options.badEscapeAt) {
            summed.push_back(static_cast<char>(0xFD));
            summed.push_back(static_cast<char>(0x05));
        }
        PutEscaped(summed, static_cast<uint8_t>(body[k]));
    }
    const uint16_t checksum = static_cast<uint16_t>(ByteSum(summed) + options.checksumError);
    std::string out;
    out.reserve(summed.size() + 6);
    out.push_back(static_cast<char>(0xFE));
    out += summed;
    PutEscaped(out, static_cast<uint8_t>(checksum >> 8));
    PutEscaped(out, static_cast<uint8_t>(checksum & 0xFF));
    out.push_back(static_cast<char>(0xFF));
    if (options.truncateTo >= 0 && options.truncateTo < static_cast<int>(out.size())) {
        out.resize(options.truncateTo);
    }
    return out;
}
