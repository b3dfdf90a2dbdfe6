#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "convert/rinex/RinexFormat.h"

using namespace rinex;

namespace {

// printf-formatted reference text of one value.
std::string Printf(const char* format, int width, int precision, double x) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, width, precision, x);
    return buffer;
}

// The exponent text as printf writes it with the letter e replaced by D; only
// for values whose exponent has two digits.
std::string PrintfExponent(int width, int precision, double x) {
    std::string s = Printf("%*.*e", width, precision, x);
    const size_t e = s.find('e');
    s[e] = 'D';
    return s;
}

}  // namespace

TEST(RinexPrimitives, TextPadsLeftJustifiedAndNeverCuts) {
    EXPECT_EQ(text(5, "ab"), "ab   ");
    EXPECT_EQ(text(4, ""), "    ");
    EXPECT_EQ(text(2, "abcd"), "abcd");
    EXPECT_EQ(character(3, 'N'), "N  ");
    EXPECT_EQ(character(1, ' '), " ");
}

TEST(RinexPrimitives, ControlCharactersFromRawRecordsBecomeBlanks) {
    // A marker name decoded from a damaged site record must not split a line.
    EXPECT_EQ(text(8, std::string("AB\r\nC\x7F\tD", 8)), "AB  C  D");
    const std::string line = comment(std::string("SITE\n\x01") + "X");
    EXPECT_EQ(line.size(), 82u);
    EXPECT_EQ(line.find('\n'), 81u);
    EXPECT_EQ(line.substr(0, 7), "SITE  X");
}

TEST(RinexPrimitives, IntegerIsRightJustified) {
    EXPECT_EQ(integer(6, 2), "     2");
    EXPECT_EQ(integer(3, -5), " -5");
    EXPECT_EQ(integer(9, 61440), "    61440");
    EXPECT_EQ(integer(2, 123), "123");
    EXPECT_EQ(integer(1, 0), "0");
}

TEST(RinexPrimitives, FixedIsRightJustified) {
    EXPECT_EQ(fixed(14, 3, 55923622.16), "  55923622.160");
    EXPECT_EQ(fixed(14, 3, -691177.898), "   -691177.898");
    EXPECT_EQ(fixed(8, 1, 1.0), "     1.0");
    EXPECT_EQ(fixed(12, 9, -0.000123456), "-0.000123456");
    EXPECT_EQ(fixed(14, 4, -3976219.5082), " -3976219.5082");
    EXPECT_EQ(fixed(11, 7, 30.0), " 30.0000000");
    EXPECT_EQ(fixed(5, 1, 123456.0), "123456.0");
    // Longer than any field: written whole, as printf does.
    EXPECT_EQ(fixed(14, 3, 1e120), Printf("%*.*f", 14, 3, 1e120));
    EXPECT_EQ(fixed(14, 3, -1e300), Printf("%*.*f", 14, 3, -1e300));
    EXPECT_EQ(fixed(14, 3, -1e300).size(), 1u + 301u + 1u + 3u);
}

TEST(RinexPrimitives, ExponentUsesLetterDAndTwoDigits) {
    EXPECT_EQ(exponent(19, 12, 1.5), " 1.500000000000D+00");
    EXPECT_EQ(exponent(12, 4, 0.0), "  0.0000D+00");
    EXPECT_EQ(exponent(19, 12, -2.5e-7), "-2.500000000000D-07");
    EXPECT_EQ(exponent(12, 4, 1.118e-08), "  1.1180D-08");
    EXPECT_EQ(exponent(12, 4, 88060.0), "  8.8060D+04");
    EXPECT_EQ(exponent(12, 4, -196600.0), " -1.9660D+05");
    EXPECT_EQ(exponent(19, 12, 3.96659597754e-4), " 3.966595977540D-04");
    EXPECT_EQ(exponent(19, 12, 1e99), " 1.000000000000D+99");
    EXPECT_EQ(exponent(19, 12, 1e-99), " 1.000000000000D-99");
}

TEST(RinexPrimitives, ExponentOfThreeDigitMagnitudesFillsTheField) {
    EXPECT_EQ(exponent(19, 12, 1e-120), " 0.000000000000D+00");
    EXPECT_EQ(exponent(19, 12, -3e-150), " 0.000000000000D+00");
    EXPECT_EQ(exponent(19, 12, 2e150), " 9.999999999999D+99");
    EXPECT_EQ(exponent(19, 12, -1e100), "-9.999999999999D+99");
    // Rounds up to 1e100 at 12 decimals.
    EXPECT_EQ(exponent(19, 12, 9.99999999999999e99), " 9.999999999999D+99");
    EXPECT_EQ(exponent(12, 4, 5e200), "  9.9999D+99");
    EXPECT_EQ(exponent(19, 12, std::numeric_limits<double>::infinity()), " 9.999999999999D+99");
    EXPECT_EQ(exponent(19, 12, std::numeric_limits<double>::quiet_NaN()), " 0.000000000000D+00");
}

TEST(RinexPrimitives, CommentAndEndOfHeaderAreWholeLines) {
    EXPECT_EQ(comment("<< NEW ANTENNA HEIGHT >>"),
              "<< NEW ANTENNA HEIGHT >>                                    COMMENT             \r\n");
    EXPECT_EQ(EndOfHeader(),
              "                                                            END OF HEADER       \r\n");
    EXPECT_EQ(comment("").size(), 82u);
}

TEST(RinexPrimitives, HeaderRecordPadsColumnsTo60) {
    EXPECT_EQ(HeaderRecord("    30.0", "INTERVAL"),
              "    30.0                                                    INTERVAL            \r\n");
}

TEST(RinexPrimitives, FastFormattingMatchesPrintfOverManyValues) {
    std::mt19937_64 rng(20050402);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> magnitude(-12, 9);
    std::uniform_int_distribution<long long> whole(-99999999LL, 99999999LL);
    int checked = 0;
    for (int i = 0; i < 100000; ++i) {
        const double x = unit(rng) * std::pow(10.0, magnitude(rng));
        // Values with few decimals, where rounding ties of printed digits lie.
        const double tie = static_cast<double>(whole(rng)) / 2000.0;
        for (double v : {x, tie}) {
            ASSERT_EQ(fixed(14, 3, v), Printf("%*.*f", 14, 3, v)) << v;
            ASSERT_EQ(fixed(12, 9, v), Printf("%*.*f", 12, 9, v)) << v;
            ASSERT_EQ(fixed(11, 7, v), Printf("%*.*f", 11, 7, v)) << v;
            ASSERT_EQ(fixed(14, 4, v), Printf("%*.*f", 14, 4, v)) << v;
            ASSERT_EQ(exponent(19, 12, v), PrintfExponent(19, 12, v)) << v;
            ASSERT_EQ(exponent(12, 4, v), PrintfExponent(12, 4, v)) << v;
            ++checked;
        }
        const long long n = whole(rng);
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%*lld", 3, n % 1000);
        ASSERT_EQ(integer(3, n % 1000), buffer);
    }
    EXPECT_EQ(checked, 200000);
}

TEST(RinexPrimitives, ObservationFieldsMatchPrintfNearRoundingTies) {
    // Ranges, phases and Dopplers of every size, and values a hair off the half-way
    // points between printed digits, where a shortcut would round the wrong way.
    std::mt19937_64 rng(20101182);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> magnitude(-4, 10);
    std::uniform_int_distribution<int> offset(-40, 40);
    for (int i = 0; i < 300000; ++i) {
        const double x = (unit(rng) - 0.5) * std::pow(10.0, magnitude(rng));
        const double half = (std::floor(x * 1000.0) + 0.5) / 1000.0;
        const double nearHalf = half + offset(rng) * 1e-12 * std::max(1.0, std::fabs(half));
        for (double v : {x, half, nearHalf, std::nextafter(half, 0.0), std::nextafter(half, 1e300)}) {
            ASSERT_EQ(fixed(14, 3, v), Printf("%*.*f", 14, 3, v)) << v;
            ASSERT_EQ(fixed(14, 4, v), Printf("%*.*f", 14, 4, v)) << v;
            std::string field;
            AppendObservation(field, true, v, 1, 7);
            if (v > -999999999.9995 && v < 9999999999.9995) {
                // printf's digits, but never a negative zero
                ASSERT_EQ(field, Printf("%*.*f", 14, 3, std::fabs(v) < 0.0005 ? 0.0 : v) + "17") << v;
            }
        }
    }
    // The whole field: blank when absent or out of range, digits blank for 0 and capped at 9.
    const auto observation = [](bool present, double v, int lli, int strength) {
        std::string field;
        AppendObservation(field, present, v, lli, strength);
        return field;
    };
    EXPECT_EQ(observation(true, -999999999.9994, 0, 12), "-999999999.999 9");
    EXPECT_EQ(observation(true, 9999999999.9995, 1, 1), std::string(16, ' '));
    EXPECT_EQ(observation(false, 1.0, 1, 1), std::string(16, ' '));
    EXPECT_EQ(observation(true, -0.0, 0, 0), "         0.000  ");
    EXPECT_EQ(observation(true, -0.0004999, 0, 0), "         0.000  ");
    EXPECT_EQ(fixed(14, 3, -0.0), "        -0.000");
    EXPECT_EQ(fixed(14, 3, -0.0004), "        -0.000");
    EXPECT_EQ(fixed(14, 3, 9999999999.9994), "9999999999.999");
}

TEST(RinexSplitTime, WholeAndFractionalSeconds) {
    // Saturday 2 April 2005 is day 6 of GPS week 1316.
    const RinexDateTime d = SplitTime(GpsTime(1316, 518400.0 + 3 * 3600 + 25 * 60 + 7.25), 7);
    EXPECT_EQ(d.year, 2005);
    EXPECT_EQ(d.month, 4);
    EXPECT_EQ(d.day, 2);
    EXPECT_EQ(d.hour, 3);
    EXPECT_EQ(d.minute, 25);
    EXPECT_EQ(fixed(11, 7, d.seconds), "  7.2500000");
}

TEST(RinexSplitTime, TimeJustBelowAMinuteCarriesIntoTheMinute) {
    const RinexDateTime d = SplitTime(GpsTime(1316, 518400.0 + 59.99999999), 7);
    EXPECT_EQ(d.hour, 0);
    EXPECT_EQ(d.minute, 1);
    EXPECT_EQ(fixed(11, 7, d.seconds), "  0.0000000");
    // At 6 decimals the same time carries; at 7 it is still printable.
    const RinexDateTime e = SplitTime(GpsTime(1316, 518400.0 + 59.9999996), 6);
    EXPECT_EQ(e.minute, 1);
    EXPECT_EQ(fixed(12, 6, e.seconds), "    0.000000");
    const RinexDateTime f = SplitTime(GpsTime(1316, 518400.0 + 59.9999996), 7);
    EXPECT_EQ(f.minute, 0);
    EXPECT_EQ(fixed(11, 7, f.seconds), " 59.9999996");
    const RinexDateTime g = SplitTime(GpsTime(1316, 518400.0 + 59.9999994), 6);
    EXPECT_EQ(g.minute, 0);
    EXPECT_EQ(fixed(12, 6, g.seconds), "   59.999999");
}

TEST(RinexSplitTime, CarryCrossesDayAndWeek) {
    // The last instant of week 1316 rounds to Sunday 3 April 2005, 00:00:00.
    const RinexDateTime d = SplitTime(GpsTime(1316, 604799.99999999), 7);
    EXPECT_EQ(d.year, 2005);
    EXPECT_EQ(d.month, 4);
    EXPECT_EQ(d.day, 3);
    EXPECT_EQ(d.hour, 0);
    EXPECT_EQ(d.minute, 0);
    EXPECT_EQ(d.seconds, 0.0);
    // 31 December 2004 23:59:59.96 at one decimal is New Year 2005.
    // 31 Dec 2004 is Friday, day 5 of week 1303.
    const RinexDateTime y = SplitTime(GpsTime(1303, 5 * 86400.0 + 86399.96), 1);
    EXPECT_EQ(y.year, 2005);
    EXPECT_EQ(y.month, 1);
    EXPECT_EQ(y.day, 1);
    EXPECT_EQ(y.hour, 0);
}

TEST(RinexCreationDate, EnglishMonthsWhateverTheLocale) {
    EXPECT_EQ(FormatCreationDate(CalendarTime{2001, 4, 9, 12, 10, 33}), "09-Apr-01 12:10");
    EXPECT_EQ(FormatCreationDate(CalendarTime{2026, 12, 31, 23, 59, 59}), "31-Dec-26 23:59");
    EXPECT_EQ(FormatCreationDate(CalendarTime{2000, 1, 1, 0, 0, 0}), "01-Jan-00 00:00");
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(FormatCreationDate(CalendarTime{2005, m, 2, 7, 5, 0}),
                  std::string("02-") + months[m - 1] + "-05 07:05");
}
