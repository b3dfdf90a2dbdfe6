#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "positioning/SatelliteModel.h"
#include "rawdata/GpsConstants.h"

namespace {
constexpr double kC = 299792458.0;
constexpr double kLambda1 = 299792458.0 / 1575.42e6;

// Circular equatorial orbit whose satellite is above longitude 0 at toe = 0, with a
// constant clock offset af0 (s).
Ephemeris Overhead(double af0) {
    Ephemeris e;
    e.valid = 1;
    e.sqrtA = 5153.7;
    e.af0 = af0;
    PrepareEphemeris(e);
    return e;
}

SatObservation Obs(double c1, double l1, double d1) {
    SatObservation o;
    o.SetValue(kC1, c1);
    o.SetValue(kL1, l1);
    o.SetValue(kD1, d1);
    return o;
}
}  // namespace

TEST(ModelInitial, SatelliteDatedTravelTimeIsResolvedAroundTheNominalPrediction) {
    // Clock 0.0047 s: the first satellite's prediction is 0.075 - 0.0047 = 0.0703 s.
    const Ephemeris eph = Overhead(0.0047);
    SatelliteModel first, later;
    double reference = -1.0;
    ModelInitial(first, GpsTime(1000, 0.0), Obs(0.0150, 0, 0), eph, true, false, reference);
    EXPECT_NEAR(reference, 0.1150, 1e-15);
    EXPECT_NEAR(first.codeRange, kC * (0.1150 + 0.0047), 1e-6);
    // A later satellite of the same epoch resolves around 0.1150.
    ModelInitial(later, GpsTime(1000, 0.0), Obs(0.0980, 0, 0), eph, false, false, reference);
    EXPECT_NEAR(later.codeRange, kC * (0.0980 + 0.0047), 1e-6);
    EXPECT_NEAR(reference, 0.1150, 1e-15);
    // The next epoch's first satellite starts afresh from its own prediction.
    ModelInitial(first, GpsTime(1000, 1.0), Obs(0.0600, 0, 0), eph, true, false, reference);
    EXPECT_NEAR(reference, 0.0600, 1e-15);
}

TEST(ModelInitial, ReceiverDatedUsesTheFullTravelTime) {
    const Ephemeris eph = Overhead(1e-4);
    SatelliteModel m;
    double reference = 0.5;
    ModelInitial(m, GpsTime(1000, 10.0), Obs(0.0712, 0, 0), eph, true, true, reference);
    EXPECT_EQ(reference, 0.5);
    EXPECT_NEAR(m.codeRange, kC * (0.0712 + 1e-4), 1e-6);
    // The satellite is taken at the transmission time t - tau.
    SatelliteState s;
    ComputeSatelliteState(GpsTime(1000, 10.0 - 0.0712), eph, s);
    EXPECT_EQ(m.satellite.x, s.x);
    EXPECT_EQ(m.satellite.y, s.y);
}

TEST(ModelFull, SatelliteDatedReferenceComesFromTheGeometricPrediction) {
    // Overhead satellite: range 20181863 m = 0.067320 s; clock -0.02 s gives the
    // prediction 0.08732 s, around which 0.0150 resolves to 0.1150.
    const Ephemeris eph = Overhead(-0.02);
    const GeoPosition station;
    const IonoUtc iono;
    SatelliteModel a, b;
    double reference = 0.0;
    const GpsTime t(1000, 0.0);
    ModelFull(a, t, Obs(0.0150, 0, 0), t, SatObservation(), eph, iono, station, true, false,
              reference);
    EXPECT_NEAR(reference, 0.1150, 1e-15);
    ModelFull(b, t, Obs(0.0980, 0, 0), t, SatObservation(), eph, iono, station, false, false,
              reference);
    EXPECT_NEAR(reference, 0.1150, 1e-15);
    // Same geometry, corrections and shift: the ranges differ by the travel times.
    EXPECT_NEAR(b.codeRange - a.codeRange, kC * (0.0980 - 0.1150), 1e-6);
}

TEST(ModelFull, FirstEpochStartsTheCarrierAtTheCodeRange) {
    const Ephemeris eph = Overhead(1e-4);
    GeoPosition station;
    IonoUtc iono;
    SatelliteModel m;
    double reference = 0.0;
    const GpsTime t(1000, 100.0);
    ModelFull(m, t, Obs(0.0673, 1234.5, -300.0), GpsTime(), SatObservation(), eph, iono, station,
              true, true, reference);
    EXPECT_NEAR(m.codeRange, kC * (0.0673 + 1e-4) + m.corrections.codeL1, 1e-6);
    EXPECT_LT(m.corrections.codeL1, -3.9);  // zenith: 2.46 m troposphere, 1.5 m ionosphere
    EXPECT_EQ(m.carrierRaw, m.codeRange - m.corrections.phaseL1);
    EXPECT_EQ(m.carrierRange, m.carrierRaw + m.corrections.phaseL1);
    EXPECT_EQ(m.smoothCount, 1u);
    EXPECT_EQ(m.smoothSpan, 0.0);
    EXPECT_EQ(m.smoothWeight, 1.0);
    EXPECT_EQ(m.codeMinusCarrier, m.codeRange - m.carrierRange);
    EXPECT_EQ(m.smoothedRange, m.carrierRange + m.codeMinusCarrier);
    EXPECT_EQ(reference, 0.0);  // receiver-dated epochs leave it alone
}

TEST(ModelFull, PhaseStepIsResolvedAcrossTheTenThousandCycleWrap) {
    const Ephemeris eph = Overhead(0.0);
    GeoPosition station;
    IonoUtc iono;
    double reference = 0.0;
    for (double doppler : {20.0, 19.7, 2000.0}) {
        SatelliteModel m;
        const GpsTime t0(1000, 100.0), t1(1000, 101.0);
        const SatObservation prev = Obs(0.0673, 9990.0, doppler);
        ModelFull(m, t0, prev, GpsTime(), SatObservation(), eph, iono, station, true, true,
                  reference);
        const double raw0 = m.carrierRaw;
        // 20 cycles later, reduced modulo 10000.
        ModelFull(m, t1, Obs(0.0673, 10.0, doppler), t0, prev, eph, iono, station, true, true,
                  reference);
        EXPECT_NEAR(m.carrierRaw - raw0, 20.0 * kLambda1, 1e-6) << doppler;
        EXPECT_EQ(m.carrierRange, m.carrierRaw + m.corrections.phaseL1);
        EXPECT_EQ(m.smoothCount, 2u);
        EXPECT_EQ(m.smoothSpan, 1.0);
    }
}

TEST(ModelFull, SmoothingIsARunningMeanUpToTenMinutesThenExponential) {
    const Ephemeris eph = Overhead(0.0);
    GeoPosition station;
    IonoUtc iono;
    double reference = 0.0;
    SatelliteModel m;
    std::vector<double> differences;
    SatObservation prev;
    GpsTime tPrev;
    double meanCheck = 0.0;
    for (int k = 1; k <= 25; ++k) {
        const GpsTime t(1000, 30.0 * k);
        // Code noise of +-0.5 m around a constant phase.
        const SatObservation cur = Obs(0.0673 + (k % 2 ? 0.5 : -0.5) / kC, 500.0, 0.0);
        ModelFull(m, t, cur, tPrev, prev, eph, iono, station, true, true, reference);
        differences.push_back(m.codeRange - m.carrierRange);
        if (k <= 21) {
            EXPECT_EQ(m.smoothCount, static_cast<uint32_t>(k));
            EXPECT_EQ(m.smoothSpan, 30.0 * (k - 1));
            double sum = 0.0;
            for (double d : differences) sum += d;
            meanCheck = sum / k;
            EXPECT_NEAR(m.codeMinusCarrier, meanCheck, 1e-6) << k;
        } else {
            // Span reached 600 s: count and weight stay, the mean turns exponential.
            EXPECT_EQ(m.smoothCount, 21u);
            EXPECT_EQ(m.smoothSpan, 600.0);
            EXPECT_EQ(m.smoothWeight, 1.0 / 21);
            meanCheck += (differences.back() - meanCheck) / 21.0;
            EXPECT_NEAR(m.codeMinusCarrier, meanCheck, 1e-6) << k;
        }
        EXPECT_EQ(m.smoothedRange, m.carrierRange + m.codeMinusCarrier);
        prev = cur;
        tPrev = t;
    }
}

TEST(ModelAllFull, AbsentSatelliteRestartsItsSmoothing) {
    Ephemeris eph[kSatelliteCount];
    eph[4] = Overhead(0.0);
    eph[9] = Overhead(1e-5);
    GeoPosition station;
    IonoUtc iono;
    AmbiguityReferences refs;
    SatelliteModels models = {};
    ObservationEpoch e1, e2, e3, e4;
    e1.time = GpsTime(1000, 30.0);
    e2.time = GpsTime(1000, 60.0);
    e3.time = GpsTime(1000, 90.0);
    e4.time = GpsTime(1000, 120.0);
    for (ObservationEpoch* e : {&e1, &e2, &e3, &e4}) {
        e->sat[4] = Obs(0.0673, 100.0, 0.0);
        e->sat[9] = Obs(0.0674, 200.0, 0.0);
    }
    SatelliteSet both(0), onlyNine(0);
    both.Add(4);
    both.Add(9);
    onlyNine.Add(9);
    ModelAllFull(models, e1, ObservationEpoch(), eph, iono, station, both, true, refs);
    ModelAllFull(models, e2, e1, eph, iono, station, both, true, refs);
    EXPECT_EQ(models[4].smoothCount, 2u);
    ModelAllFull(models, e3, e2, eph, iono, station, onlyNine, true, refs);
    EXPECT_EQ(models[4].smoothCount, 0u);
    EXPECT_EQ(models[4].codeRange, 0.0);
    EXPECT_EQ(models[9].smoothCount, 3u);
    ModelAllFull(models, e4, e3, eph, iono, station, both, true, refs);
    EXPECT_EQ(models[4].smoothCount, 1u);
    EXPECT_EQ(models[4].codeMinusCarrier, models[4].codeRange - models[4].carrierRange);
    EXPECT_EQ(models[9].smoothCount, 4u);
}

TEST(ModelAllInitial, FirstIsTheLowestSlotAndOthersLoseTheirRange) {
    Ephemeris eph[kSatelliteCount];
    eph[2] = Overhead(0.0047);
    eph[20] = Overhead(0.0047);
    ObservationEpoch e;
    e.time = GpsTime(1000, 0.0);
    e.sat[2] = Obs(0.0150, 0, 0);
    e.sat[20] = Obs(0.0980, 0, 0);
    SatelliteModels models = {};
    models[7].codeRange = 5.0;
    models[7].carrierRaw = 6.0;
    SatelliteSet set;
    set.Add(2);
    set.Add(20);
    AmbiguityReferences refs;
    refs.full = 0.3;
    ModelAllInitial(models, e, eph, set, false, refs);
    EXPECT_NEAR(refs.initial, 0.1150, 1e-15);
    EXPECT_EQ(refs.full, 0.3);
    EXPECT_NEAR(models[20].codeRange, kC * (0.0980 + 0.0047), 1e-6);
    EXPECT_EQ(models[7].codeRange, 0.0);
    EXPECT_EQ(models[7].carrierRaw, 6.0);
}

TEST(SatelliteModel, ClearKeepsTheGeometry) {
    SatelliteModel m;
    m.codeRange = 1;
    m.carrierRaw = 2;
    m.carrierRange = 3;
    m.smoothedRange = 4;
    m.codeMinusCarrier = 5;
    m.smoothCount = 6;
    m.smoothSpan = 7;
    m.smoothWeight = 8;
    m.satellite.x = 9;
    m.lineOfSight.range = 10;
    m.corrections.tropo = 11;
    m.Clear();
    EXPECT_EQ(m.codeRange + m.carrierRaw + m.carrierRange + m.smoothedRange + m.codeMinusCarrier +
                  m.smoothSpan + m.smoothWeight,
              0.0);
    EXPECT_EQ(m.smoothCount, 0u);
    EXPECT_EQ(m.satellite.x, 9.0);
    EXPECT_EQ(m.lineOfSight.range, 10.0);
    EXPECT_EQ(m.corrections.tropo, 11.0);
}

TEST(RefreshLineOfSight, RenewsOnlyTheLinesOfSightOfTheSet) {
    SatelliteModels models = {};
    models[1].satellite = SatelliteState{26560000.0, 0.0, 0.0, 0.0};
    models[2].satellite = SatelliteState{26560000.0, 0.0, 0.0, 0.0};
    models[1].codeRange = 3.0;
    SatelliteSet set;
    set.Add(1);
    RefreshLineOfSight(models, GeoPosition(), set);
    EXPECT_NEAR(models[1].lineOfSight.range, 20181863.0, 0.1);
    EXPECT_EQ(models[1].codeRange, 3.0);
    EXPECT_EQ(models[2].lineOfSight.range, 0.0);
}
