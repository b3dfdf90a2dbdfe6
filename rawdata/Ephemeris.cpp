#include "rawdata/Ephemeris.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

void PrepareEphemeris(Ephemeris& eph) {
    const GpsConstants& k = Constants();
    const double e = eph.e;
    const double e2 = e * e;
    const double e4 = e2 * e2;
    eph.A = eph.sqrtA * eph.sqrtA;
    eph.n = std::sqrt(k.GM / (eph.A * eph.A * eph.A)) + eph.deltaN;
    eph.Omega0Corrected = eph.Omega0 - k.earthRotationRate * eph.toe;
    eph.OmegaDotCorrected = eph.OmegaDot - k.earthRotationRate;
    eph.series[0] = e * (1 - e2 * (0.125 - e2 / 192));
    eph.series[1] = e2 * (0.5 - e2 / 6);
    eph.series[2] = e2 * e * (0.375 - 0.2109375 * e2);
    eph.series[3] = e4 / 3;
    eph.series[4] = e4 * e / 3.072;
    eph.relativity = kRelativityF * e * std::sqrt(eph.A);
    eph.sqrtOneMinusE2 = std::sqrt(1 - e2);
    eph.Ae = eph.A * e;
}
