#include "rawdata/TextScan.h"

#include <limits>

#include "platform/NumberText.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void SkipSpace(const char*& p, const char* end) {
    while (p < end && IsSpace(*p)) ++p;
}

// Reads an optional sign; true when it was a minus.
bool ReadSign(const char*& p, const char* end) {
    if (p < end && (*p == '+' || *p == '-')) return *p++ == '-';
    return false;
}

// Value of a digit in base 10 or 16; -1 when c is not one.
int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Digits in base from p, saturating at UINT64_MAX; false when there is none.
bool ReadDigits(const char*& p, const char* end, int base, uint64_t& value) {
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t v = 0;
    bool any = false;
    for (int d; p < end && (d = DigitValue(*p, base)) >= 0; ++p) {
        any = true;
        // v b + d beyond kMax saturates (no division per digit).
        uint64_t next = 0;
        if (__builtin_mul_overflow(v, static_cast<uint64_t>(base), &next) ||
            __builtin_add_overflow(next, static_cast<uint64_t>(d), &next))
            v = kMax;
        else
            v = next;
    }
    value = v;
    return any;
}

}  // namespace

bool ScanUnsigned(const char*& p, const char* end, uint64_t& value) {
    SkipSpace(p, end);
    const bool negative = ReadSign(p, end);
    uint64_t v = 0;
    if (!ReadDigits(p, end, 10, v)) return false;
    value = negative ? (0 - v) : v;
    return true;
}

bool ScanSigned(const char*& p, const char* end, int64_t& value) {
    SkipSpace(p, end);
    const bool negative = ReadSign(p, end);
    uint64_t v = 0;
    if (!ReadDigits(p, end, 10, v)) return false;
    constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (negative)
        value = v > kMaxPositive ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(v);
    else
        value = v > kMaxPositive ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(v);
    return true;
}

bool ScanHex(const char*& p, const char* end, uint64_t& value) {
    SkipSpace(p, end);
    const bool negative = ReadSign(p, end);
    // A "0x" prefix counts only when a hexadecimal digit follows it.
    if (end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2], 16) >= 0) p += 2;
    uint64_t v = 0;
    if (!ReadDigits(p, end, 16, v)) return false;
    value = negative ? (0 - v) : v;
    return true;
}

bool ScanReal(const char*& p, const char* end, double& value) {
    SkipSpace(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    double v = 0;
    const char* const number = ReadDecimal(p, end, v);
    if (!number) return false;
    p = number;
    value = negative ? -v : v;
    return true;
}

bool ParseUnsigned(std::string_view text, uint64_t& value) {
    const char* p = text.data();
    return ScanUnsigned(p, p + text.size(), value);
}

bool ParseSigned(std::string_view text, int64_t& value) {
    const char* p = text.data();
    return ScanSigned(p, p + text.size(), value);
}

bool ParseHex(std::string_view text, uint64_t& value) {
    const char* p = text.data();
    return ScanHex(p, p + text.size(), value);
}

bool ParseReal(std::string_view text, double& value) {
    const char* p = text.data();
    return ScanReal(p, p + text.size(), value);
}

bool ParseUnsigned16(std::string_view text, uint16_t& value) {
    uint64_t v = 0;
    if (!ParseUnsigned(text, v) || v > 0xFFFF) return false;
    value = static_cast<uint16_t>(v);
    return true;
}
