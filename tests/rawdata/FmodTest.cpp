#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "rawdata/GpsConstants.h"

namespace {

// Counts the pairs whose Fmod differs from std::fmod in any bit (any not-a-number
// matches any other).
struct Mismatches {
    long count = 0;
    double x = 0, y = 0;
    void Check(double a, double b) {
        const double want = std::fmod(a, b), got = Fmod(a, b);
        if (std::isnan(want) && std::isnan(got)) return;
        if (std::bit_cast<uint64_t>(want) == std::bit_cast<uint64_t>(got)) return;
        if (count++ == 0) x = a, y = b;
    }
};

void ExpectNone(const Mismatches& m) {
    EXPECT_EQ(m.count, 0) << "first: fmod(" << m.x << ", " << m.y << ")";
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kDivisors[] = {0.1, 10000.0, 86400.0, 604800.0, 256.0, 1024.0, 0.3, 1e-7,
                                std::numeric_limits<double>::denorm_min(), 3e-310, 1.5, 7.0};

TEST(Fmod, MatchesTheLibraryOnRandomOperandsOfEveryScaleAndSign) {
    std::mt19937_64 random(20240207);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-60, 60);
    Mismatches m;
    for (int i = 0; i < 500000; ++i) {
        const double y = (i & 1) ? kDivisors[i % std::size(kDivisors)] : std::ldexp(unit(random), exponent(random));
        m.Check(std::ldexp(unit(random), exponent(random)), y);
        // Quotients up to and past 2^52, where the library takes over.
        m.Check(y * std::ldexp(unit(random), 40 + i % 20), y);
    }
    ExpectNone(m);
}

TEST(Fmod, MatchesTheLibraryOnAndAroundWholeMultiples) {
    Mismatches m;
    for (const double y : kDivisors) {
        for (double k = 1; k < 5e15; k = k * 3 + 1) {
            for (const double sign : {1.0, -1.0}) {
                double x = sign * k * y;
                for (int step = 0; step < 40; ++step) x = std::nextafter(x, 0.0);
                for (int step = 0; step < 80; ++step, x = std::nextafter(x, sign * kInf)) {
                    m.Check(x, y);
                    m.Check(x, -y);
                }
            }
        }
    }
    ExpectNone(m);
}

TEST(Fmod, MatchesTheLibraryOnZerosInfinitiesNotANumberAndExtremes) {
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    const double values[] = {0.0, -0.0, kInf, -kInf, kNan, -kNan, kMax, -kMax, kTiny, -kTiny,
                             1e300, -1e-300, 2.2250738585072014e-308, 1.0, -3.5, 0.1};
    Mismatches m;
    for (const double x : values)
        for (const double y : values) m.Check(x, y);
    ExpectNone(m);
    EXPECT_TRUE(std::signbit(Fmod(-0.2, 0.1)));
    EXPECT_TRUE(std::signbit(Fmod(-0.0, 0.1)));
}

}  // namespace
