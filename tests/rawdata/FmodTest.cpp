#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "rawdata/GpsConstants.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();

// Every bit of Fmod as std::fmod's (any not-a-number matching any other): random operands
// of every scale and sign, quotients up to and past 2^52, the values around whole
// multiples, zeros, infinities, not-a-numbers, subnormals and extremes.
TEST(Fmod, MatchesTheLibraryToTheLastBit) {
    long mismatches = 0;
    double firstX = 0, firstY = 0;
    const auto check = [&](double x, double y) {
        const double want = std::fmod(x, y), got = Fmod(x, y);
        if ((std::isnan(want) && std::isnan(got)) || std::bit_cast<uint64_t>(want) == std::bit_cast<uint64_t>(got)) return;
        if (mismatches++ == 0) firstX = x, firstY = y;
    };
    const double divisors[] = {0.1, 10000.0, 86400.0, 604800.0, 256.0, 0.3, 1e-7, kTiny, 3e-310, 1.5, 7.0};
    std::mt19937_64 random(20240207);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-60, 60);
    for (int i = 0; i < 500000; ++i) {
        const double y = (i & 1) ? divisors[i % std::size(divisors)] : std::ldexp(unit(random), exponent(random));
        check(std::ldexp(unit(random), exponent(random)), y);
        check(y * std::ldexp(unit(random), 40 + i % 20), y);
    }
    for (const double y : divisors)
        for (double k = 1; k < 5e15; k = k * 3 + 1)
            for (const double sign : {1.0, -1.0}) {
                double x = sign * k * y;
                for (int step = 0; step < 40; ++step) x = std::nextafter(x, 0.0);
                for (int step = 0; step < 80; ++step, x = std::nextafter(x, sign * kInf)) {
                    check(x, y);
                    check(x, -y);
                }
            }
    const double specials[] = {0.0, -0.0, kInf, -kInf, kNan, kMax, -kMax, kTiny, -kTiny, 1e300, -1e-300, 1.0, -3.5, 0.1};
    for (const double x : specials)
        for (const double y : specials) check(x, y);
    EXPECT_EQ(mismatches, 0) << "first: fmod(" << firstX << ", " << firstY << ")";
    EXPECT_TRUE(std::signbit(Fmod(-0.2, 0.1)));
}

}  // namespace
