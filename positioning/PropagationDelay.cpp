#include "positioning/PropagationDelay.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

double TroposphereDelay(double height, double elevation) {
    double mapping = 1.0;
    if (std::fabs(elevation) != kHalfPi) {
        const double s = std::sin(elevation);
        mapping = 1.0 / (s + 0.00143 / (s / std::cos(elevation) + 0.0455));
    }
    const double zenith = 2.4644 - height * (0.0003248 - height * 2.2395784e-8);
    return mapping * zenith;
}

double IonosphereDelay(const GpsTime& t, const GeoPosition& station, double elevation,
                       double azimuth, const IonoUtc& iono) {
    const double xf = 0.53 - elevation / kPi;
    const double obliquity = 16.0 * xf * xf * xf + 1.0;
    const double psi = 0.13521358 / (elevation + 0.345575192) - 0.069115038;
    double latI = station.Latitude() + psi * std::cos(azimuth);
    if (latI > 1.306902544)
        latI = 1.306902544;
    else if (latI < -1.306902544)
        latI = -1.306902544;
    const double lonI = station.Longitude() + psi * std::sin(azimuth) / std::cos(latI);
    const double latM = latI / kPi + 0.064 * std::cos(lonI - 5.079955322);
    double localTime = Fmod(13750.98708 * lonI + t.seconds, 86400.0);
    while (localTime < 0.0) localTime += 86400.0;
    double period = ((iono.beta3 * latM + iono.beta2) * latM + iono.beta1) * latM + iono.beta0;
    if (period < 72000.0) period = 72000.0;
    const double x = (localTime - 50400.0) * kTwoPi / period;
    double amplitude = ((iono.alpha3 * latM + iono.alpha2) * latM + iono.alpha1) * latM + iono.alpha0;
    if (amplitude < 0.0) amplitude = 0.0;
    const double x2 = x * x;
    double q = 1.0 - x2 * (0.5 - x2 / 24.0);
    double delay;
    if (std::fabs(x) > 1.7) {
        delay = obliquity * 5e-9;
    } else {
        if (x < -1.5) {
            const double d = (x + 1.5) / 0.2;
            q += 0.09699583333 * (d * d);
        }
        if (x > 1.5) {
            const double d = (x - 1.5) / 0.2;
            q += 0.09699583333 * (d * d);
        }
        delay = obliquity * (5e-9 + amplitude * q);
    }
    return Constants().speedOfLight * delay;
}

PropagationCorrections ComputeCorrections(const GpsTime& t, const GeoPosition& station,
                                          LineOfSight los, const IonoUtc& iono) {
    PropagationCorrections c;
    c.tropo = TroposphereDelay(station.Height(), los.elevation);
    c.ionoL1 = IonosphereDelay(t, station, los.elevation, los.azimuth, iono);
    c.codeL1 = -(c.tropo + c.ionoL1);
    c.phaseL1 = c.ionoL1 - c.tropo;
    c.codeL2 = -(c.tropo + 1.65 * c.ionoL1);
    c.phaseL2 = 1.65 * c.ionoL1 - c.tropo;
    return c;
}
