#pragma once
#include <cstdint>
#include <string_view>

// Bounded, locale-independent readers of decimal and hexadecimal numbers in record
// text, with the input rules of the C scanf conversions they stand in for. Each one
// starts at p, never reads at or past end, skips leading white space (space, tab,
// CR, LF, VT, FF), and on success moves p past the number read and returns true;
// on failure p is left unspecified within [p, end] and false is returned.

// "%u": optional sign and decimal digits; saturates at UINT64_MAX, a minus sign
// negates modulo 2^64 (as strtoul does).
bool ScanUnsigned(const char*& p, const char* end, uint64_t& value);
// "%d"/"%ld": optional sign and decimal digits, saturating at the int64 limits.
bool ScanSigned(const char*& p, const char* end, int64_t& value);
// "%lx": optional sign, optional 0x/0X, hexadecimal digits; saturates like ScanUnsigned.
bool ScanHex(const char*& p, const char* end, uint64_t& value);
// "%lf": optional sign, decimal floating point. Only finite values are accepted:
// infinities, NaN and values out of the double range fail.
bool ScanReal(const char*& p, const char* end, double& value);

// The same readers on a whole string view, reading a prefix like sscanf does.
bool ParseUnsigned(std::string_view text, uint64_t& value);
bool ParseSigned(std::string_view text, int64_t& value);
bool ParseHex(std::string_view text, uint64_t& value);
bool ParseReal(std::string_view text, double& value);
// An unsigned 16-bit decimal: ParseUnsigned within 0..65535.
bool ParseUnsigned16(std::string_view text, uint16_t& value);
