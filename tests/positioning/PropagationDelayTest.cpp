#include <gtest/gtest.h>

#include <cmath>

#include "positioning/PropagationDelay.h"
#include "rawdata/GpsConstants.h"

namespace {
// Broadcast coefficients of 1 July 2010.
IonoUtc Iono2010182() {
    IonoUtc i;
    i.alpha0 = 0.4657e-08;
    i.alpha1 = 0.1490e-07;
    i.alpha2 = -0.5960e-07;
    i.alpha3 = -0.1192e-06;
    i.beta0 = 0.8192e+05;
    i.beta1 = 0.8192e+05;
    i.beta2 = -0.6554e+05;
    i.beta3 = -0.5243e+06;
    return i;
}
GeoPosition Station0759() {
    GeoPosition p;
    p.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    return p;
}
}  // namespace

TEST(TroposphereDelay, ZenithUsesMappingOne) {
    EXPECT_EQ(TroposphereDelay(0.0, 1.5707963267949), 2.4644);
    EXPECT_EQ(TroposphereDelay(0.0, -1.5707963267949), 2.4644);
    EXPECT_NEAR(TroposphereDelay(1000.0, 1.5707963267949), 2.161995784, 1e-12);
}

TEST(TroposphereDelay, SlantDelayAtThirtyDegrees) {
    EXPECT_NEAR(TroposphereDelay(0.0, M_PI / 6), 4.9062714133775420, 1e-12);
}

TEST(IonosphereDelay, ZeroCoefficientsGiveTheNightValue) {
    IonoUtc zero;
    GeoPosition equator;
    // F = 1 + 16 (0.53 - 0.5)^3 at the zenith, delay c F 5 ns.
    const double f = 1.0 + 16.0 * std::pow(0.53 - 1.5707963267949 / 3.14159265358979, 3);
    const double d = IonosphereDelay(GpsTime(1590, 0.0), equator, 1.5707963267949, 0.0, zero);
    EXPECT_NEAR(d, 299792458.0 * f * 5e-9, 1e-12);
    EXPECT_NEAR(d, 1.49961, 1e-5);
}

TEST(IonosphereDelay, DaytimeAgreesWithTheSemicircleFormOfTheBroadcastModel) {
    // Reference values from an independent implementation in semicircles.
    const GeoPosition station = Station0759();
    const IonoUtc iono = Iono2010182();
    EXPECT_NEAR(IonosphereDelay(GpsTime(1590, 356400.0), station, 0.5, 2.0, iono),
                5.463752570806677, 1e-6);
    EXPECT_NEAR(IonosphereDelay(GpsTime(1590, 347400.0), station, 0.2, 4.0, iono),
                5.428606773406054, 1e-6);
    // Night (|x| = 2.08): only the constant 5 ns term.
    EXPECT_NEAR(IonosphereDelay(GpsTime(1590, 417600.0), station, 0.5, 2.0, iono),
                2.7221360999951636, 1e-6);
}

TEST(IonosphereDelay, DayTermReachesTheNightValueAtOnePointSeven) {
    // At the equator, longitude 0, zenith: pierce point at longitude 0, local time = t,
    // PER = 72000 s, so x = (t - 50400) 2 pi / 72000.
    IonoUtc iono;
    iono.alpha0 = 5e-8;
    GeoPosition equator;
    const double night = IonosphereDelay(GpsTime(0, 0.0), equator, 1.5707963267949, 0.0, iono);
    auto at = [&](double x) {
        const double t = 50400.0 + x * 72000.0 / 6.28318530717959;
        return IonosphereDelay(GpsTime(0, t), equator, 1.5707963267949, 0.0, iono);
    };
    EXPECT_NEAR(at(1.7 - 1e-9), night, 1e-6);
    EXPECT_NEAR(at(-1.7 + 1e-9), night, 1e-6);
    EXPECT_EQ(at(1.71), night);
    EXPECT_EQ(at(-1.71), night);
    // Between 1.57 and 1.7 the day term still adds to the night value.
    EXPECT_GT(at(1.6) - night, 0.1);
}

TEST(IonosphereDelay, DayTermBeyondOnePointFiveAddsTheSquareTimesItsFactor) {
    // Equator, longitude 0, zenith, alpha0 only: local time = t, PER = 72000 s, AMP = alpha0.
    // The added term is 0.09699583333 times the square of (|x| - 1.5) / 0.2, the square
    // formed first (to the last bit of the result).
    IonoUtc iono;
    iono.alpha0 = 5e-8;
    GeoPosition equator;
    const double xf = 0.53 - 1.5707963267949 / 3.14159265358979;
    const double f = 16.0 * xf * xf * xf + 1.0;
    for (double t : {68450.0, 32350.0}) {  // x = +1.57516, -1.57516
        const double x = (t - 50400.0) * 6.28318530717959 / 72000.0;
        const double q = 1.0 - x * x * (0.5 - x * x / 24.0);
        const double d = (std::fabs(x) - 1.5) / 0.2;
        const double expected = 299792458.0 * (f * (5e-9 + 5e-8 * (q + 0.09699583333 * (d * d))));
        EXPECT_EQ(IonosphereDelay(GpsTime(0, t), equator, 1.5707963267949, 0.0, iono), expected) << t;
        EXPECT_NEAR(expected, 1.9440047226006745, 1e-12);
    }
}

TEST(IonosphereDelay, PiercePointLatitudeIsClampedNearThePole) {
    IonoUtc iono;  // amplitude growing with the geomagnetic latitude
    iono.alpha0 = 5e-8;
    iono.alpha1 = 5e-8;
    GeoPosition a, b, c, d;
    a.SetGeodetic(1.30, 0.5, 0.0);
    b.SetGeodetic(1.29, 0.5, 0.0);
    // Low satellite due north: both pierce points clamp to 1.306902544 rad.
    EXPECT_EQ(IonosphereDelay(GpsTime(0, 43200.0), a, 0.1, 0.0, iono),
              IonosphereDelay(GpsTime(0, 43200.0), b, 0.1, 0.0, iono));
    c.SetGeodetic(0.80, 0.5, 0.0);
    d.SetGeodetic(0.79, 0.5, 0.0);
    EXPECT_NE(IonosphereDelay(GpsTime(0, 43200.0), c, 0.1, 0.0, iono),
              IonosphereDelay(GpsTime(0, 43200.0), d, 0.1, 0.0, iono));
    // Looking east from the clamped latitude keeps the result finite.
    EXPECT_TRUE(std::isfinite(IonosphereDelay(GpsTime(0, 43200.0), a, 0.1, 1.0, iono)));
}

TEST(ComputeCorrections, CombinesBothDelays) {
    const GeoPosition station = Station0759();
    LineOfSight los;
    los.elevation = 0.5;
    los.azimuth = 2.0;
    const PropagationCorrections c =
        ComputeCorrections(GpsTime(1590, 356400.0), station, los, Iono2010182());
    EXPECT_NEAR(c.ionoL1, 5.463752570806677, 1e-6);
    EXPECT_EQ(c.tropo, TroposphereDelay(station.Height(), 0.5));
    EXPECT_EQ(c.codeL1, -(c.tropo + c.ionoL1));
    EXPECT_EQ(c.phaseL1, c.ionoL1 - c.tropo);
    EXPECT_EQ(c.codeL2, -(c.tropo + 1.65 * c.ionoL1));
    EXPECT_EQ(c.phaseL2, 1.65 * c.ionoL1 - c.tropo);
}
