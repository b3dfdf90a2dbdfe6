#include "positioning/SatelliteState.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

double FoldWeekCrossover(double d) {
    if (d > 302400.0)
        d -= 604800.0;
    else if (d <= -302400.0)
        d += 604800.0;
    return d;
}

bool ComputeSatelliteState(const GpsTime& t, const Ephemeris& eph, SatelliteState& state) {
    if (eph.valid == 0) return false;
    const double sow = t.seconds;
    const double dt = FoldWeekCrossover(sow - eph.toc);
    const double clockPolynomial = (eph.af2 * dt + eph.af1) * dt + eph.af0 - eph.TGD;
    const double tk = FoldWeekCrossover(sow - eph.toe) - clockPolynomial;

    // Eccentric anomaly from the mean anomaly by the fixed five-term series.
    const double M = eph.n * tk + eph.M0;
    double E = M;
    E += eph.series[0] * std::sin(M);
    E += eph.series[1] * std::sin(2.0 * M);
    E += eph.series[2] * std::sin(3.0 * M);
    E += eph.series[3] * std::sin(4.0 * M);
    E += eph.series[4] * std::sin(5.0 * M);
    const double sinE = std::sin(E);
    const double cosE = std::cos(E);

    const double clock = clockPolynomial + eph.relativity * sinE;

    const double nu = std::atan2(eph.sqrtOneMinusE2 * sinE, cosE - eph.e);
    const double phi = nu + eph.omega;
    const double sin2Phi = std::sin(2.0 * phi);
    const double cos2Phi = std::cos(2.0 * phi);
    const double u = phi + eph.Cus * sin2Phi + eph.Cuc * cos2Phi;
    const double r = eph.A - eph.Ae * cosE + eph.Crs * sin2Phi + eph.Crc * cos2Phi;
    const double i = eph.IDOT * tk + eph.i0 + eph.Cis * sin2Phi + eph.Cic * cos2Phi;

    const double xPlane = r * std::cos(u);
    const double yPlane = r * std::sin(u);
    const double node = eph.OmegaDotCorrected * tk + eph.Omega0Corrected;
    const double cosNode = std::cos(node);
    const double sinNode = std::sin(node);
    const double cosI = std::cos(i);

    state.x = xPlane * cosNode - yPlane * cosI * sinNode;
    state.y = xPlane * sinNode + yPlane * cosI * cosNode;
    state.z = yPlane * std::sin(i);
    state.clock = clock;
    return true;
}
