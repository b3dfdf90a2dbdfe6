#pragma once
// Independent textbook evaluation of a broadcast ephemeris, used as the reference
// for the satellite state under test: Kepler's equation solved by Newton's method,
// every quantity computed from the broadcast fields only.
#include <cmath>

#include "rawdata/Ephemeris.h"

namespace testref {

struct Orbit {
    double x, y, z;           // ECEF, m, at GPS time t
    double eccentricAnomaly;  // rad
    double relativity;        // s, F e sqrt(A) sin E
    double polynomial;        // s, af0 + af1 dt + af2 dt^2 (no group delay)
};

inline double WeekFold(double d) {
    if (d > 302400.0) return d - 604800.0;
    if (d < -302400.0) return d + 604800.0;
    return d;
}

// Orbit and clock at GPS time t (seconds of week).
inline Orbit Evaluate(const Ephemeris& e, double t) {
    const double GM = 3.986005e14, we = 7.2921151467e-5;
    const double A = e.sqrtA * e.sqrtA;
    const double tk = WeekFold(t - e.toe);
    const double n = std::sqrt(GM / (A * A * A)) + e.deltaN;
    const double M = e.M0 + n * tk;
    double E = M;
    for (int i = 0; i < 50; ++i) E -= (E - e.e * std::sin(E) - M) / (1.0 - e.e * std::cos(E));
    const double nu = std::atan2(std::sqrt(1 - e.e * e.e) * std::sin(E), std::cos(E) - e.e);
    const double phi = nu + e.omega;
    const double u = phi + e.Cus * std::sin(2 * phi) + e.Cuc * std::cos(2 * phi);
    const double r = A * (1 - e.e * std::cos(E)) + e.Crs * std::sin(2 * phi) + e.Crc * std::cos(2 * phi);
    const double i = e.i0 + e.IDOT * tk + e.Cis * std::sin(2 * phi) + e.Cic * std::cos(2 * phi);
    const double node = e.Omega0 + (e.OmegaDot - we) * tk - we * e.toe;
    const double xp = r * std::cos(u), yp = r * std::sin(u);
    Orbit o;
    o.x = xp * std::cos(node) - yp * std::cos(i) * std::sin(node);
    o.y = xp * std::sin(node) + yp * std::cos(i) * std::cos(node);
    o.z = yp * std::sin(i);
    o.eccentricAnomaly = E;
    o.relativity = -4.442807633e-10 * e.e * e.sqrtA * std::sin(E);
    const double dt = WeekFold(t - e.toc);
    o.polynomial = e.af0 + e.af1 * dt + e.af2 * dt * dt;
    return o;
}

}  // namespace testref
