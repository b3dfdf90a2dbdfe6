#include "convert/rinex/RinexFormat.h"

#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/NumberText.h"

namespace rinex {

namespace {

// Appends the `length` characters at s right-justified in width.
void AppendRight(std::string& out, int width, const char* s, int length) {
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(s, static_cast<size_t>(length));
}

constexpr long long kPowersOfTen[] = {1,         10,         100,         1000,
                                      10000,     100000,     1000000,     10000000,
                                      100000000, 1000000000, 10000000000LL};

// "00" to "99", two characters each.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// a * 10^precision (a finite, not negative, a * 10^precision below 2^63; precision 0 to 9)
// rounded to the nearest integer, a tie to the even one: printf's digits, from the exact
// binary value a = m 2^e in 128-bit integers.
unsigned long long RoundedScaled(double a, int precision) {
    uint64_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);  // the browser edition's library has no std::bit_cast
    const auto biased = static_cast<int>(bits >> 52);
    const uint64_t fractionBits = bits & ((uint64_t{1} << 52) - 1);
    const uint64_t m = biased == 0 ? fractionBits : fractionBits | (uint64_t{1} << 52);
    const int e = biased == 0 ? -1074 : biased - 1075;
    using Wide = unsigned __int128;
    const Wide n = static_cast<Wide>(m) * static_cast<uint64_t>(kPowersOfTen[precision]);
    if (e >= 0) return static_cast<unsigned long long>(n << e);
    const int k = -e;
    if (k >= 127) return 0;  // n is below 2^87: far below one half
    const Wide whole = n >> k;
    const Wide rest = n - (whole << k);
    const Wide half = Wide{1} << (k - 1);
    const bool up = rest > half || (rest == half && (whole & 1) != 0);
    return static_cast<unsigned long long>(whole) + (up ? 1 : 0);
}

}  // namespace

void AppendText(std::string& out, int width, std::string_view s) {
    // Texts may come from raw records: a control character would break the line
    // structure of the file, so each one is written as a blank.
    for (const char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(b < 0x20 || b == 0x7F ? ' ' : ch);
    }
    if (static_cast<int>(s.size()) < width) out.append(static_cast<size_t>(width) - s.size(), ' ');
}

void AppendBlanks(std::string& out, int count) {
    if (count > 0) out.append(static_cast<size_t>(count), ' ');
}

void AppendInteger(std::string& out, int width, long long n) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
    AppendRight(out, width, buffer, static_cast<int>(r.ptr - buffer));
}

void AppendFixed(std::string& out, int width, int precision, double x) {
    if (precision < 0) precision = 0;
    // x scaled by 10^precision below 1e13: its digits are the text. The scaled value is
    // formed within 0.0011 of its exact value, so when its fraction lies clear of one
    // half, the nearest integer is the one printf rounds to; near one half the exact
    // binary value decides.
    if (precision <= 9) {
        const double scaled = std::fabs(x) * static_cast<double>(kPowersOfTen[precision]);
        if (scaled < 1e13) {
            // Truncation is the floor of a value not negative, and exact below 2^63.
            const auto whole = static_cast<unsigned long long>(scaled);
            const double fraction = scaled - static_cast<double>(whole);
            unsigned long long digits = std::fabs(fraction - 0.5) > 0.01
                                            ? whole + (fraction > 0.5 ? 1 : 0)
                                            : RoundedScaled(std::fabs(x), precision);
            char text[32];
            char* const end = text + sizeof text;
            char* p = end;
            for (int i = 0; i < precision; ++i) {
                *--p = static_cast<char>('0' + digits % 10);
                digits /= 10;
            }
            if (precision > 0) *--p = '.';
            do {
                *--p = static_cast<char>('0' + digits % 10);
                digits /= 10;
            } while (digits != 0);
            if (std::signbit(x)) *--p = '-';
            AppendRight(out, width, p, static_cast<int>(end - p));
            return;
        }
    }
    char buffer[128];
    const int length = FormatFixed(buffer, sizeof buffer, precision, x);
    if (length < static_cast<int>(sizeof buffer)) {
        AppendRight(out, width, buffer, length);
        return;
    }
    // Magnitudes near 1e100 and up: a text longer than the buffer.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    FormatFixed(text.data(), text.size(), precision, x);
    AppendRight(out, width, text.data(), length);
}

void AppendExponent(std::string& out, int width, int precision, double x) {
    if (std::isnan(x)) x = 0.0;
    if (std::isinf(x)) x = std::copysign(std::numeric_limits<double>::max(), x);
    precision = precision < 0 ? 0 : (precision > 60 ? 60 : precision);  // fits the buffer
    char buffer[128];
    int length = FormatScientific(buffer, sizeof buffer, precision, x);
    // The text ends in e, sign and two or three exponent digits.
    const bool threeDigits = length >= 5 && buffer[length - 5] == 'e';
    if (threeDigits) {
        if (buffer[length - 4] == '-') {
            // Below 1e-99: written as zero.
            length = FormatScientific(buffer, sizeof buffer, precision, 0.0);
        } else {
            // 1e100 or more: the largest value the field holds, 9.99...D+99.
            length = 0;
            if (x < 0) buffer[length++] = '-';
            buffer[length++] = '9';
            if (precision > 0) {
                buffer[length++] = '.';
                for (int i = 0; i < precision; ++i) buffer[length++] = '9';
            }
            buffer[length++] = 'e';
            buffer[length++] = '+';
            buffer[length++] = '9';
            buffer[length++] = '9';
        }
    }
    buffer[length - 4] = 'D';
    AppendRight(out, width, buffer, length);
}

void AppendTwoDigits(std::string& out, int n) {
    n = n < 0 ? 0 : n % 100;
    out.push_back(static_cast<char>('0' + n / 10));
    out.push_back(static_cast<char>('0' + n % 10));
}

void AppendObservation(std::string& out, bool present, double v, int lli, int strength) {
    if (!present || !(v > -999999999.9995 && v < 9999999999.9995)) {
        AppendBlanks(out, 16);
        return;
    }
    // The whole 16-column field in one pass, by AppendFixed's integer rule (the range
    // keeps the thousandths below 1e13, so the text fits in 14 columns).
    // A value that rounds to zero is written "0.000", never "-0.000": Compact RINEX
    // keeps the digits as an integer, which has no negative zero.
    if (std::fabs(v) < 0.0005) v = 0.0;
    const double scaled = std::fabs(v) * 1000.0;
    const auto whole = static_cast<unsigned long long>(scaled);  // its floor
    const double fraction = scaled - static_cast<double>(whole);
    unsigned long long digits = std::fabs(fraction - 0.5) > 0.01 ? whole + (fraction > 0.5 ? 1 : 0)
                                                                  : RoundedScaled(std::fabs(v), 3);
    char field[16];
    std::memset(field, ' ', 14);
    const auto thousandths = static_cast<unsigned>(digits % 1000);
    char* p = field + 10;
    p[0] = '.';
    p[1] = static_cast<char>('0' + thousandths / 100);
    std::memcpy(p + 2, kDigitPairs + 2 * (thousandths % 100), 2);
    // The whole part (below 1e10), two digits at a time, in 32 bits once it fits.
    unsigned long long units = digits / 1000;
    while (units > 0xFFFFFFFFull) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (units % 100), 2);
        units /= 100;
    }
    auto small = static_cast<uint32_t>(units);
    while (small >= 100) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (small % 100), 2);
        small /= 100;
    }
    if (small >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * small, 2);
    } else {
        *--p = static_cast<char>('0' + small);
    }
    if (std::signbit(v)) *--p = '-';
    field[14] = lli == 0 ? ' ' : static_cast<char>('0' + (lli > 9 ? 9 : lli));
    field[15] = strength == 0 ? ' ' : static_cast<char>('0' + (strength > 9 ? 9 : strength));
    out.append(field, sizeof field);
}

std::string text(int width, std::string_view s) {
    std::string out;
    AppendText(out, width, s);
    return out;
}

std::string character(int width, char ch) { return text(width, std::string_view(&ch, 1)); }

std::string integer(int width, long long n) {
    std::string out;
    AppendInteger(out, width, n);
    return out;
}

std::string fixed(int width, int precision, double x) {
    std::string out;
    AppendFixed(out, width, precision, x);
    return out;
}

std::string exponent(int width, int precision, double x) {
    std::string out;
    AppendExponent(out, width, precision, x);
    return out;
}

std::string HeaderRecord(std::string_view columns, std::string_view label) {
    std::string out;
    out.reserve(kLineWidth + kLineEnd.size());
    AppendText(out, 60, columns);
    AppendText(out, 20, label);
    out.append(kLineEnd);
    return out;
}

std::string comment(std::string_view s) { return HeaderRecord(s, "COMMENT"); }

std::string EndOfHeader() { return HeaderRecord("", "END OF HEADER"); }

RinexDateTime SplitTime(const GpsTime& t, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    const long long scale = kPowersOfTen[decimals];
    const double floorSeconds = std::floor(t.seconds);
    long long whole = static_cast<long long>(floorSeconds);
    long long ticks = std::llround((t.seconds - floorSeconds) * static_cast<double>(scale));
    if (ticks >= scale) {
        whole += 1;
        ticks -= scale;
    }
    const long long weekSeconds = static_cast<long long>(GpsTime::kSecondsPerWeek);
    long long week = t.week;
    while (whole >= weekSeconds) {
        whole -= weekSeconds;
        ++week;
    }
    while (whole < 0) {
        whole += weekSeconds;
        --week;
    }
    const CalendarTime c =
        GpsTime(static_cast<uint16_t>(week), static_cast<double>(whole)).ToCalendar();
    RinexDateTime r;
    r.year = c.year;
    r.month = c.month;
    r.day = c.day;
    r.hour = c.hour;
    r.minute = c.minute;
    r.seconds = c.second + static_cast<double>(ticks) / static_cast<double>(scale);
    return r;
}

std::string FormatCreationDate(const CalendarTime& date) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = date.month >= 1 && date.month <= 12 ? date.month : 1;
    auto twoDigits = [](std::string& out, int v) {
        v = v < 0 ? -v : v;
        v %= 100;
        out.push_back(static_cast<char>('0' + v / 10));
        out.push_back(static_cast<char>('0' + v % 10));
    };
    std::string out;
    twoDigits(out, date.day);
    out.push_back('-');
    out.append(kMonths[month - 1]);
    out.push_back('-');
    twoDigits(out, date.year);
    out.push_back(' ');
    twoDigits(out, date.hour);
    out.push_back(':');
    twoDigits(out, date.minute);
    return out;
}

}  // namespace rinex
