#include <gtest/gtest.h>

#include <cmath>

#include "positioning/SatelliteState.h"
#include "rawdata/GpsConstants.h"
#include "tests/positioning/ReferenceOrbit.h"

namespace {
// A prepared ephemeris of a circular orbit in the equator plane, node at 0.
Ephemeris Circular() {
    Ephemeris e;
    e.valid = 1;
    e.sqrtA = 5153.7;
    PrepareEphemeris(e);
    return e;
}

// PRN 2 of 1 July 2010, 00:00 (broadcast).
Ephemeris Prn2() {
    Ephemeris e;
    e.valid = 1;
    e.satellite = 1;
    e.week = 1590;
    e.toe = 345600.0;
    e.toc = 345600.0;
    e.toeTime = GpsTime(1590, 345600.0);
    e.af0 = 0.269108917564e-03;
    e.af1 = 0.318323145621e-11;
    e.IODE = 85.0;
    e.Crs = 0.414375000000e+02;
    e.deltaN = 0.525557597442e-08;
    e.M0 = 0.165772167412e+01;
    e.Cuc = 0.232271850109e-05;
    e.e = 0.960697804112e-02;
    e.Cus = 0.617466866970e-05;
    e.sqrtA = 0.515359739113e+04;
    e.Cic = -0.558793544769e-08;
    e.Omega0 = -0.127458719764e+01;
    e.Cis = 0.167638063431e-06;
    e.i0 = 0.939349150611e+00;
    e.Crc = 0.249937500000e+03;
    e.omega = 0.309739903949e+01;
    e.OmegaDot = -0.838784952606e-08;
    e.IDOT = -0.232152526369e-10;
    e.TGD = -0.172294676304e-07;
    PrepareEphemeris(e);
    return e;
}
}  // namespace

TEST(WeekCrossover, FoldsHalfAWeekAndMore) {
    EXPECT_EQ(FoldWeekCrossover(302400.5), -302399.5);
    EXPECT_EQ(FoldWeekCrossover(-302400.0), 302400.0);
    EXPECT_EQ(FoldWeekCrossover(302400.0), 302400.0);
    EXPECT_EQ(FoldWeekCrossover(-302399.0), -302399.0);
    EXPECT_EQ(FoldWeekCrossover(-604000.0), 800.0);
}

TEST(PrepareEphemeris, CircularOrbitHasNoSeries) {
    const Ephemeris e = Circular();
    for (double k : e.series) EXPECT_EQ(k, 0.0);
    EXPECT_EQ(e.relativity, 0.0);
}

TEST(ComputeSatelliteState, InvalidEphemerisLeavesTheStateAlone) {
    Ephemeris e = Circular();
    e.valid = 0;
    SatelliteState s{1.0, 2.0, 3.0, 4.0};
    EXPECT_FALSE(ComputeSatelliteState(GpsTime(1, 0.0), e, s));
    EXPECT_EQ(s.x, 1.0);
    EXPECT_EQ(s.y, 2.0);
    EXPECT_EQ(s.z, 3.0);
    EXPECT_EQ(s.clock, 4.0);
}

TEST(ComputeSatelliteState, CircularEquatorialOrbit) {
    const Ephemeris e = Circular();
    const double A = 5153.7 * 5153.7;
    SatelliteState s;
    ASSERT_TRUE(ComputeSatelliteState(GpsTime(100, 0.0), e, s));
    EXPECT_NEAR(s.x, A, 1e-6);
    EXPECT_NEAR(s.y, 0.0, 1e-6);
    EXPECT_EQ(s.z, 0.0);
    EXPECT_EQ(s.clock, 0.0);
    // 1000 s later the satellite has turned by n * 1000 and the earth by omega * 1000.
    const double angle = (std::sqrt(3.986005e14 / (A * A * A)) - 7.2921151467e-5) * 1000.0;
    ASSERT_TRUE(ComputeSatelliteState(GpsTime(100, 1000.0), e, s));
    EXPECT_NEAR(s.x, A * std::cos(angle), 1e-5);
    EXPECT_NEAR(s.y, A * std::sin(angle), 1e-5);
    // 800 s before toe, reached across the week boundary.
    ASSERT_TRUE(ComputeSatelliteState(GpsTime(99, 604000.0), e, s));
    EXPECT_NEAR(s.x, A * std::cos(-0.8 * angle), 1e-5);
    EXPECT_NEAR(s.y, A * std::sin(-0.8 * angle), 1e-5);
}

TEST(ComputeSatelliteState, ClockPolynomialIncludesGroupDelay) {
    Ephemeris e = Circular();
    e.af0 = 1e-4;
    e.af1 = 1e-11;
    e.af2 = 1e-18;
    e.TGD = 5e-9;
    e.toc = 1000.0;
    SatelliteState s;
    ASSERT_TRUE(ComputeSatelliteState(GpsTime(100, 2000.0), e, s));
    EXPECT_NEAR(s.clock, 1e-4 + 1e-8 + 1e-12 - 5e-9, 1e-19);
    // toc late in the previous week: dt = 2000 + 604800 - 604000 = 2800 s.
    e.toc = 604000.0;
    ASSERT_TRUE(ComputeSatelliteState(GpsTime(100, 2000.0), e, s));
    EXPECT_NEAR(s.clock, 1e-4 + 2.8e-8 + 7.84e-12 - 5e-9, 1e-19);
}

TEST(ComputeSatelliteState, AgreesWithKeplerSolvedExactly) {
    // The five-term series and the clock-corrected time against the textbook
    // evaluation at the same GPS time, over a whole orbit.
    const Ephemeris e = Prn2();
    for (double dt = -7200.0; dt <= 7200.0; dt += 600.0) {
        const double tGps = 345600.0 + dt;
        const testref::Orbit ref = testref::Evaluate(e, tGps);
        // The model takes the satellite's own clock reading.
        const double tSv = tGps + ref.polynomial - e.TGD + ref.relativity;
        SatelliteState s;
        ASSERT_TRUE(ComputeSatelliteState(GpsTime(1590, tSv), e, s));
        EXPECT_NEAR(s.x, ref.x, 0.002) << dt;
        EXPECT_NEAR(s.y, ref.y, 0.002) << dt;
        EXPECT_NEAR(s.z, ref.z, 0.002) << dt;
        EXPECT_NEAR(s.clock, ref.polynomial - e.TGD + ref.relativity, 1e-14) << dt;
    }
}
