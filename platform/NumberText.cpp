#include "platform/NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// The C locale, made once and kept for the life of the program.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

// Runs f with the C locale in force on this thread, the thread's own locale after.
template <typename F>
auto InCLocale(F f) {
    const locale_t previous = uselocale(CLocale());
    const auto result = f();
    uselocale(previous);
    return result;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int FormatFixed(char* buffer, size_t size, int precision, double x) {
    return InCLocale([&] { return std::snprintf(buffer, size, "%.*f", precision, x); });
}

int FormatScientific(char* buffer, size_t size, int precision, double x) {
    return InCLocale([&] { return std::snprintf(buffer, size, "%.*e", precision, x); });
}

const char* ReadDecimal(const char* first, const char* last, double& value) {
    // At most 15 digits and no exponent: the digits as an integer m below 10^15 < 2^53
    // and 10^decimals (decimals <= 15 < 23) are both exact doubles, so one division
    // rounds m / 10^decimals correctly, to the double strtod gives.
    {
        static constexpr double kExactPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const char* p = first;
        uint64_t m = 0;
        int digits = 0;
        int decimals = 0;
        for (; p < last && IsDigit(*p); ++p, ++digits) m = m * 10 + static_cast<uint64_t>(*p - '0');
        if (p < last && *p == '.')
            for (++p; p < last && IsDigit(*p); ++p, ++digits, ++decimals)
                m = m * 10 + static_cast<uint64_t>(*p - '0');
        if (digits > 0 && digits <= 15 && !(p < last && (*p == 'e' || *p == 'E'))) {
            value = static_cast<double>(m) / kExactPowers[decimals];
            return p;
        }
    }
#if defined(__cpp_lib_to_chars)
    // From a digit or a point on, from_chars reads exactly this grammar (without a sign,
    // infinity or NaN), in place and locale-free, and rounds to nearest as strtod does:
    // both give the correctly rounded double. Only what it refuses (no number, or one
    // out of range) goes the long way, which decides those as before.
    if (first < last && (IsDigit(*first) || *first == '.')) {
        double direct = 0;
        const std::from_chars_result r = std::from_chars(first, last, direct);
        if (r.ec == std::errc() && std::isfinite(direct)) {
            value = direct;
            return r.ptr;
        }
    }
#endif
    const char* p = first;
    size_t digits = 0;
    bool nonzero = false;
    const auto readDigits = [&] {
        for (; p < last && IsDigit(*p); ++p, ++digits) nonzero = nonzero || *p != '0';
    };
    readDigits();
    if (p < last && *p == '.') {
        ++p;
        readDigits();
    }
    if (digits == 0) return nullptr;
    // An exponent counts only when digits follow its letter (and sign).
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < last && (*q == '+' || *q == '-')) ++q;
        if (q < last && IsDigit(*q)) {
            while (q < last && IsDigit(*q)) ++q;
            p = q;
        }
    }
    // strtod reads a terminated text: the number alone, copied out.
    const std::string text(first, p);
    const double read = InCLocale([&] { return std::strtod(text.c_str(), nullptr); });
    if (std::isinf(read) || (read == 0 && nonzero)) return nullptr;
    value = read;
    return p;
}
