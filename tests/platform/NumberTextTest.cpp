#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/platform/TempDir.h"

namespace {

// The texts the standard library's to_chars writes (the form the RINEX writer used
// before, and the one every build must keep).
std::string Standard(double x, std::chars_format format, int precision) {
    char buffer[512];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, x, format, precision);
    return std::string(buffer, r.ptr);
}

std::string Fixed(double x, int precision) {
    char buffer[512];
    const int n = FormatFixed(buffer, sizeof buffer, precision, x);
    return std::string(buffer, static_cast<size_t>(n));
}

std::string Scientific(double x, int precision) {
    char buffer[512];
    const int n = FormatScientific(buffer, sizeof buffer, precision, x);
    return std::string(buffer, static_cast<size_t>(n));
}

// Edge values: exact ties at the last digit, signed zero, subnormals, the extremes,
// and a spread of random bit patterns.
std::vector<double> Values() {
    std::vector<double> values = {0.0,    -0.0,    0.5,     1.5,       2.5,     0.125,   0.375,  -2.5,
                                  1e-5,   9.5,     99.995,  1234.5625, 1e22,    1e23,    5e-324, 2.2250738585072014e-308,
                                  1e100,  -1e100,  1.0 / 3, 0.1,       6.02e23, 299792458.0, -0.000123456789,
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 3000; ++i) {
        double x;
        const unsigned long long bits = random();
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x)) values.push_back(x);
        values.push_back(static_cast<double>(static_cast<long long>(random() % 2000000000)) / 1024.0 - 1e6);
    }
    return values;
}

TEST(NumberText, FormatsAsTheStandardLibrary) {
    for (const double x : Values())
        for (const int precision : {0, 1, 3, 4, 7, 12, 17})
            if (std::fabs(x) < 1e300 || precision < 4) {
                ASSERT_EQ(Fixed(x, precision), Standard(x, std::chars_format::fixed, precision)) << x;
                ASSERT_EQ(Scientific(x, precision), Standard(x, std::chars_format::scientific, precision)) << x;
            }
}

TEST(NumberText, TooSmallBufferTellsTheLength) {
    char buffer[8];
    EXPECT_EQ(FormatFixed(buffer, sizeof buffer, 3, 123456789.0), 13);
    EXPECT_EQ(std::string(buffer), "1234567");
}

TEST(NumberText, ReadsAsTheStandardLibrary) {
    // Each text as from_chars reads it in its general format: how much it takes and
    // the value, or a refusal (no number, or one out of a double's range).
    const char* const texts[] = {"0",      "12.5",  "12.5x",   ".5",      "5.",       "1e5",     "1E+05",  "1.5e",
                                 "1.5e+",  "1.5e-x", "3.e2",   "e5",      ".",        "",        "-1",     "+1",
                                 " 1",     "0x1p3", "inf",     "nan",     "1e-400",   "0e-400",  "1e400",  "4e-320",
                                 "0.000",  "00012", "2.4703282292062327e-324", "2.4703282292062328e-324",
                                 "123456789012345678901234567890", "0.1000000000000000055511151231257827"};
    for (const char* text : texts) {
        const char* const end = text + std::strlen(text);
        double expected = -7, actual = -7;
        const auto r = std::from_chars(text, end, expected, std::chars_format::general);
        // A sign is the caller's to read: from_chars takes a minus, ReadDecimal none.
        const bool standardRead = r.ec == std::errc() && std::isfinite(expected) && text[0] != '-';
        const char* const read = ReadDecimal(text, end, actual);
        ASSERT_EQ(read != nullptr, standardRead) << text;
        if (!read) continue;
        EXPECT_EQ(read, r.ptr) << text;
        EXPECT_EQ(actual, expected) << text;
    }
    std::mt19937_64 random(7);
    for (const double x : Values()) {
        const std::string text = Standard(x, std::chars_format::scientific, 16 + static_cast<int>(random() % 3));
        const char* first = text.c_str() + (text[0] == '-' ? 1 : 0);
        double value = 0;
        ASSERT_EQ(ReadDecimal(first, text.c_str() + text.size(), value), text.c_str() + text.size()) << text;
        EXPECT_EQ(text[0] == '-' ? -value : value, x) << text;
    }
}

TEST(NumberText, ReadsEveryDecimalAsStrtod) {
    // Random digit strings of every length, point and exponent, and the exact midpoints
    // between doubles above 2^53 (odd integers (2m - 1) 2^k): strtod's double, refused
    // where it gives infinity or underflows to zero.
    std::mt19937_64 random(20240207);
    std::vector<std::string> texts = {"2.2250738585072011e-308", "1.7976931348623159e308", "4.9406564584124654e-324"};
    for (int i = 0; i < 150000; ++i) {
        std::string text;
        for (int n = 1 + static_cast<int>(random() % 25); n > 0; --n) text.push_back(static_cast<char>('0' + random() % 10));
        if (random() % 2) text.insert(random() % (text.size() + 1), ".");
        if (random() % 2) text += "e" + std::to_string(static_cast<int>(random() % 660) - 340);
        texts.push_back(text == "." ? "0" : text);
    }
    for (int i = 0; i < 20000; ++i) {
        unsigned __int128 n = ((((random() >> 11) | (uint64_t{1} << 52)) << 1) - 1) << (random() % 60);
        std::string text;
        for (; n != 0; n /= 10) text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const bool nonzero = text.substr(0, text.find('e')).find_first_of("123456789") != std::string::npos;
        double actual = -7;
        const char* const read = ReadDecimal(text.data(), text.data() + text.size(), actual);
        ASSERT_EQ(read, std::isinf(expected) || (expected == 0 && nonzero) ? nullptr : text.data() + text.size()) << text;
        if (read) {
            ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0) << text;
        }
    }
}

TEST(NumberText, PointWhateverTheLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    // de_DE.UTF-8 from the system, else compiled into a folder of the test's own.
    ScopedTempDir dir;
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    if (!comma && dir.Ok() &&
        std::system(("localedef -i de_DE -f UTF-8 '" + dir.File("de_DE.UTF-8") + "' >/dev/null 2>&1").c_str()) == 0) {
        setenv("LOCPATH", dir.Path().c_str(), 1);
        comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        unsetenv("LOCPATH");
    }
    if (!comma) GTEST_SKIP() << "no decimal-comma locale could be made (localedef, de_DE)";
    double value = 0;
    const char text[] = "2.75";
    const char* const read = ReadDecimal(text, text + 4, value);
    const std::string fixed = Fixed(-0.5, 3), scientific = Scientific(1234.5, 2);
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(read, text + 4);
    EXPECT_EQ(value, 2.75);
    EXPECT_EQ(fixed, "-0.500");
    EXPECT_EQ(scientific, "1.23e+03");
}

}  // namespace
