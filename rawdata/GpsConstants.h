#pragma once
#include <cmath>

// Physical and geodetic constants used throughout (WGS-84, GPS signal).
struct GpsConstants {
    double GM;                 // earth's gravitational constant, m^3/s^2
    double earthRotationRate;  // rad/s
    double speedOfLight;       // m/s
    double semiMajorAxis;      // WGS-84 a, m
    double flattening;         // WGS-84 f
    double e2;                 // first eccentricity squared, (2 - f) f
    double oneMinusE2;         // 1 - e2
    double f1;                 // L1 frequency, Hz
    double lambda1;            // L1 wavelength, m
    double lambda2;            // L2 wavelength, m
};

constexpr GpsConstants MakeGpsConstants() {
    GpsConstants c{};
    c.GM = 3.986005e14;
    c.earthRotationRate = 7.2921151467e-5;
    c.speedOfLight = 299792458.0;
    c.semiMajorAxis = 6378137.0;
    c.flattening = 0.0033528106647474805;
    c.e2 = (2.0 - c.flattening) * c.flattening;
    c.oneMinusE2 = 1.0 - c.e2;
    c.f1 = 1575.42e6;
    c.lambda1 = c.speedOfLight / c.f1;
    c.lambda2 = c.speedOfLight / 1227.6e6;
    return c;
}

// The one process-wide constants record, fixed at compile time.
inline constexpr GpsConstants kGpsConstants = MakeGpsConstants();
inline const GpsConstants& Constants() { return kGpsConstants; }

// Angles shown to a person or written in reports: pi to the last bit of a double, and
// degrees in one radian (180 / pi).
inline constexpr double kMathPi = 3.14159265358979323846;
inline constexpr double kDegreesPerRadian = 57.29577951308232;

// Literal constants used exactly as written by the models.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717959;
inline constexpr double kHalfPi = 1.5707963267949;
inline constexpr double kRelativityF = -4.442807633e-10;  // s / sqrt(m)

// std::fmod(x, y) to the last bit, without the library's bit-by-bit long division when the
// quotient is below 2^52. The rounded quotient |x/y| truncates to the true one n or to
// n + 1 (rounding cannot cross an integer downwards); |x| - n' |y| with either is a
// multiple of |y|'s last place no larger than |y|, so the fused multiply-add returns it
// exactly, and adding |y| back to a negative one is exact as well. Everything else (zero
// or not-a-number divisor, infinite or not-a-number x, huge quotients) goes to std::fmod.
inline double Fmod(double x, double y) {
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    if (ax < ay) return x;
    const double q = ax / ay;
    if (!(q < 4503599627370496.0)) return std::fmod(x, y);
    double r = std::fma(-std::trunc(q), ay, ax);
    if (r < 0) r += ay;
    return std::copysign(r, x);
}

// Remainder of x by m with the sign of x, folded into [-m/2, m/2]:
// plus m when below -m/2, minus m when above m/2.
double SymmetricRemainder(double x, double m);
// Integer twin of the same rule (m/2 truncated).
int SymmetricRemainder(int x, int m);
