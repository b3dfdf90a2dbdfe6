#include <gtest/gtest.h>

#include <cmath>

#include "positioning/LineOfSight.h"
#include "rawdata/GpsConstants.h"

namespace {
constexpr double kOmegaE = 7.2921151467e-5;
constexpr double kC = 299792458.0;

// Range from the station, rotated back by the earth's rotation during the travel, to
// the satellite, iterated to convergence.
double ConvergedRange(const GeoPosition& st, const SatelliteState& s) {
    double r = 0.0;
    for (int i = 0; i < 20; ++i) {
        const double th = kOmegaE * r / kC;
        const double dx = s.x - (std::cos(th) * st.X() - std::sin(th) * st.Y());
        const double dy = s.y - (std::sin(th) * st.X() + std::cos(th) * st.Y());
        const double dz = s.z - st.Z();
        r = std::sqrt(dx * dx + dy * dy + dz * dz);
    }
    return r;
}
}  // namespace

TEST(LineOfSight, SatelliteAboveThePoleIsAtTheZenith) {
    GeoPosition pole;
    pole.SetCartesian(0.0, 0.0, 6356752.314245);
    SatelliteState s;
    s.z = 6356752.314245 + 20000000.0;
    const LineOfSight los = ComputeLineOfSight(pole, s);
    EXPECT_EQ(los.elevation, 1.5707963267949);
    EXPECT_EQ(los.azimuth, 0.0);
    EXPECT_EQ(los.up, 1.0);
    EXPECT_EQ(los.north, 0.0);
    EXPECT_EQ(los.east, 0.0);
    EXPECT_NEAR(los.range, 20000000.0, 1e-7);
}

TEST(LineOfSight, RangeIncludesTheEarthRotationDuringTravel) {
    // Equatorial station, satellite overhead on the equator: the station turns
    // east while the signal travels, by omega * r / c * a = about 31 m.
    GeoPosition st;
    SatelliteState s;
    s.x = 26560000.0;
    const LineOfSight los = ComputeLineOfSight(st, s);
    EXPECT_NEAR(los.range, ConvergedRange(st, s), 1e-4);
    EXPECT_GT(los.range, 26560000.0 - 6378137.0);
    EXPECT_NEAR(los.range, 20181863.0, 0.1);
    // Seen from the rotated station the satellite lies slightly west; the north
    // component is exactly zero, which gives azimuth 0.
    EXPECT_EQ(los.north, 0.0);
    EXPECT_LT(los.east, 0.0);
    EXPECT_EQ(los.azimuth, 0.0);
    EXPECT_LT(los.elevation, 1.5707963267949);
    EXPECT_GT(los.elevation, 1.5707963267949 - 1e-5);
}

TEST(LineOfSight, DirectionInTheLocalFrame) {
    GeoPosition st;
    st.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    // A satellite 20000 km away along a known local direction: north-east at 30 deg.
    const double el = M_PI / 6, az = M_PI / 4;
    const double n = std::cos(el) * std::cos(az), e = std::cos(el) * std::sin(az), u = std::sin(el);
    const double sl = st.SinLat(), cl = st.CosLat(), so = st.SinLon(), co = st.CosLon();
    const double dx = -sl * co * n - so * e + cl * co * u;
    const double dy = -sl * so * n + co * e + cl * so * u;
    const double dz = cl * n + sl * u;
    SatelliteState s;
    s.x = st.X() + 2e7 * dx;
    s.y = st.Y() + 2e7 * dy;
    s.z = st.Z() + 2e7 * dz;
    const LineOfSight los = ComputeLineOfSight(st, s);
    EXPECT_NEAR(los.range, ConvergedRange(st, s), 1e-4);
    // The rotation during travel turns the direction by about 1e-5 rad at most.
    EXPECT_NEAR(los.elevation, el, 5e-5);
    EXPECT_NEAR(los.azimuth, az, 5e-5);
    EXPECT_NEAR(los.up * los.up + los.north * los.north + los.east * los.east, 1.0, 1e-14);
}

TEST(LineOfSight, AzimuthIsFoldedIntoZeroToTwoPi) {
    GeoPosition st;
    SatelliteState s;  // south-west of an equatorial station at longitude 0, low
    s.x = 6378137.0 + 1000.0;
    s.y = -2e7;
    s.z = -2e7;
    const LineOfSight los = ComputeLineOfSight(st, s);
    EXPECT_GT(los.azimuth, M_PI);
    EXPECT_LT(los.azimuth, 1.5 * M_PI);
}

TEST(LineOfSight, ZeroRangeSkipsNormalisation) {
    // On the polar axis the earth's rotation does not move the station.
    GeoPosition st;
    st.SetCartesian(0.0, 0.0, 6356752.314245);
    SatelliteState s;
    s.z = 6356752.314245;
    const LineOfSight los = ComputeLineOfSight(st, s);
    EXPECT_EQ(los.range, 0.0);
    EXPECT_EQ(los.up, 0.0);
    EXPECT_EQ(los.elevation, 1.5707963267949);
    EXPECT_EQ(los.azimuth, 0.0);
}
