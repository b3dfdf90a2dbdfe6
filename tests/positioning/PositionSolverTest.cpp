#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "positioning/PositionSolver.h"
#include "positioning/matrix/Matrix.h"
#include "rawdata/GpsConstants.h"
#include "tests/positioning/GnssTestFiles.h"
#include "tests/positioning/SyntheticSky.h"

namespace {
constexpr double kC = 299792458.0;
constexpr double kLambda1 = 299792458.0 / 1575.42e6;

double Distance(const GeoPosition& a, const GeoPosition& b) {
    const double dx = a.X() - b.X(), dy = a.Y() - b.Y(), dz = a.Z() - b.Z();
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

GeoPosition Cartesian(double x, double y, double z) {
    GeoPosition p;
    p.SetCartesian(x, y, z);
    return p;
}

const GeoPosition kStation0759 = Cartesian(-3976219.5082, 3382372.5671, 3652512.9849);

// The ephemerides of brdc1820.10n nearest to t, prepared, one per slot.
struct BroadcastSky {
    std::vector<Ephemeris> nav;
    IonoUtc iono;
    Ephemeris selected[kSatelliteCount];

    explicit BroadcastSky(const GpsTime& t) {
        testfiles::ReadRinexNav(testfiles::DataPath("brdc1820.10n"), nav, iono);
        EphemerisStore store;
        for (const Ephemeris& e : nav) {
            auto p = std::make_unique<Ephemeris>(e);
            store.Add(p);
        }
        store.Select(t, selected);
    }
};

// Runs the solver on an epoch as the conversion does: the closed form until a first
// fix, then the refinement alone.
int Fix(PositionSolver& solver, const EpochTracker& tracker, bool& fixed) {
    if (fixed) return solver.RefineFix(tracker);
    if (solver.InitialFix(tracker) && solver.RefineFix(tracker)) {
        fixed = true;
        return 1;
    }
    return 0;
}

void ExpectFinite(const PositionSolver& s) {
    EXPECT_TRUE(s.Position().IsFinite());
    EXPECT_TRUE(std::isfinite(s.Clock()));
}
}  // namespace

// ---------------------------------------------------------------------------
// Satellite selection

class SelectSatellitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int k : {1, 5, 9, 13, 17, 21}) {
            for (ObservationEpoch* e : {&tracker.current, &tracker.previous}) {
                SatObservation& o = e->sat[k];
                o.SetValue(kC1, 0.07);
                o.SetValue(kL1, 100.0);
                o.SetValue(kD1, -500.0);
                o.SetStatus(0, 0x23);  // quality 1, lock counter 3
                o.SetCn0(30);
            }
            tracker.selected[k].valid = 1;
        }
    }
    EpochTracker tracker;
    PositionSolver solver;
};

TEST_F(SelectSatellitesTest, AllConditionsMet) {
    EXPECT_EQ(solver.SelectSatellites(tracker), 6);
    EXPECT_EQ(solver.Usable().Mask(), (1u << 1) | (1u << 5) | (1u << 9) | (1u << 13) | (1u << 17) |
                                          (1u << 21));
}

TEST_F(SelectSatellitesTest, EachFailedConditionRemovesTheSatellite) {
    SatObservation missingDoppler;
    missingDoppler.SetValue(kC1, 0.07);
    missingDoppler.SetValue(kL1, 100.0);
    missingDoppler.SetStatus(0, 0x23);
    missingDoppler.SetCn0(45);
    tracker.previous.sat[1] = missingDoppler;           // previous D1 missing
    tracker.current.sat[5].SetStatus(0, 0x24);          // lock counter changed
    tracker.current.sat[9].SetCn0(29);                  // weak signal
    tracker.current.sat[13].SetStatus(0, 0xE3);         // quality 7
    tracker.selected[17].valid = 0;                     // no ephemeris
    EXPECT_EQ(solver.SelectSatellites(tracker), 1);
    EXPECT_TRUE(solver.Usable().Contains(21));
    tracker.previous.sat[21].SetStatus(0, 0xE3);        // quality 7 in the previous epoch
    EXPECT_EQ(solver.SelectSatellites(tracker), 0);
}

TEST_F(SelectSatellitesTest, ADopplerBeyondAHundredKilohertzIsADamagedRecord) {
    tracker.current.sat[1].value[kD1] = 100000.0;   // still a Doppler
    tracker.current.sat[5].value[kD1] = -100000.5;  // no longer one
    tracker.current.sat[9].value[kD1] = std::nan("");
    tracker.current.sat[13].value[kD1] = 1e13;
    EXPECT_EQ(solver.SelectSatellites(tracker), 3);
    EXPECT_EQ(solver.Usable().Mask(), (1u << 1) | (1u << 17) | (1u << 21));
}

TEST(SelectAboveMask, FiveDegreesExactlyIsBelowTheMask) {
    SatelliteModels models = {};
    models[0].lineOfSight.elevation = 0.08726646259972;
    models[1].lineOfSight.elevation = std::nextafter(0.08726646259972, 1.0);
    models[2].lineOfSight.elevation = 1.0;
    models[3].lineOfSight.elevation = 1.0;  // not usable
    SatelliteSet usable;
    usable.Add(0);
    usable.Add(1);
    usable.Add(2);
    const SatelliteSet above = SelectAboveMask(models, usable);
    EXPECT_EQ(above.Mask(), 0x6u);
}

TEST(WithinConvergence, HundredMetresInEachAxisCounts) {
    EXPECT_TRUE(WithinConvergence(100.0, -100.0, 100.0));
    EXPECT_TRUE(WithinConvergence(0.0, 0.0, -100.0));
    EXPECT_FALSE(WithinConvergence(100.0, 100.00000001, 0.0));
    EXPECT_FALSE(WithinConvergence(0.0, 0.0, -100.00000001));
    EXPECT_FALSE(WithinConvergence(std::nan(""), 0.0, 0.0));
}

// A failure of the matrix library inside a fix is no fix for that epoch, never the
// end of the program: the next epoch, and the next file of a batch, go on.
TEST(WithoutMatrixFailure, AnOperationWithoutResultOrARecordedFaultIsNoFix) {
    EXPECT_EQ(WithoutMatrixFailure([] { return 1; }), 1);
    EXPECT_EQ(WithoutMatrixFailure([] {
                  const CRectMat a(2, 3);
                  return (a * a).Rows() > 0 ? 1 : 1;  // mismatched shapes: no result at all
              }),
              0);
    EXPECT_EQ(WithoutMatrixFailure([] { return CSquareMat(2, {1, 2, 2, 4}).inv().Size() >= 0 ? 1 : 1; }), 0);
    EXPECT_EQ(TakeMatrixFaults(), "");  // the singular inverse's fault was taken by the guard
    EXPECT_EQ(WithoutMatrixFailure([] { return 1; }), 1);  // and does not spill into the next fix
}

// ---------------------------------------------------------------------------
// Real receiver-dated data: GEONET station 0759, 2 April 2005, 120 epochs of 30 s.

namespace {
// Receiver-dated epochs from the RINEX file: C1 as travel time, L1, D1 from the phase
// rate over the neighbouring epochs, lock counter advanced at each loss of lock.
std::vector<ObservationEpoch> GeonetEpochs(double approx[3]) {
    std::vector<testfiles::RinexObsEpoch> rinex;
    EXPECT_TRUE(testfiles::ReadRinexObs(testfiles::DataPath("07590920.05o"), rinex, approx));
    std::vector<ObservationEpoch> out(rinex.size());
    uint8_t lock[kSatelliteCount] = {};
    for (size_t i = 0; i < rinex.size(); ++i) {
        ObservationEpoch& ep = out[i];
        ep.time = rinex[i].time;
        for (int k = 0; k < kSatelliteCount; ++k) {
            if (!rinex[i].has[k]) continue;
            if (rinex[i].lossOfLock[k]) lock[k] = static_cast<uint8_t>((lock[k] + 1) & 0x1F);
            const size_t a = (i > 0 && rinex[i - 1].has[k]) ? i - 1 : i;
            const size_t b = (i + 1 < rinex.size() && rinex[i + 1].has[k]) ? i + 1 : i;
            if (a == b) continue;
            SatObservation& o = ep.sat[k];
            o.SetValue(kC1, rinex[i].c1[k] / kC);
            o.SetValue(kL1, rinex[i].l1[k]);
            o.SetValue(kD1, (rinex[b].l1[k] - rinex[a].l1[k]) /
                                rinex[b].time.Difference(rinex[a].time));
            o.SetStatus(0, lock[k]);
            o.SetCn0(45);
            ep.AddToMask(o.Mask());
        }
        ep.Normalise();
    }
    return out;
}

struct RunStats {
    int epochs = 0, fixes = 0, fiveOrMore = 0, fixedFiveOrMore = 0;
    double median = 0, max = 0;
};

RunStats RunGeonet(bool smoothed) {
    double approx[3];
    const std::vector<ObservationEpoch> epochs = GeonetEpochs(approx);
    std::vector<Ephemeris> nav;
    EpochTracker tracker;
    EXPECT_TRUE(testfiles::ReadRinexNav(testfiles::DataPath("07590920.05n"), nav, tracker.ionoUtc));
    for (const Ephemeris& e : nav) {
        auto p = std::make_unique<Ephemeris>(e);
        tracker.store.Add(p);
    }
    tracker.rawKind = kRecordReceiverDated;
    const GeoPosition truth = Cartesian(approx[0], approx[1], approx[2]);
    PositionSolver solver;
    solver.Reset(smoothed);
    bool fixed = false;
    std::vector<double> errors;
    RunStats st;
    for (size_t i = 0; i < epochs.size(); ++i) {
        if (i == 0)
            tracker.Start(epochs[i]);
        else
            EXPECT_TRUE(tracker.Advance(epochs[i]));
        const int usable = solver.SelectSatellites(tracker);
        const int ok = Fix(solver, tracker, fixed);
        ++st.epochs;
        st.fixes += ok;
        if (usable >= 5) {
            ++st.fiveOrMore;
            EXPECT_EQ(ok, 1) << "epoch " << i;
            if (ok) {
                ++st.fixedFiveOrMore;
                const double d = Distance(solver.Position(), truth);
                EXPECT_LT(d, 15.0) << "epoch " << i;
                EXPECT_EQ(solver.Time(), epochs[i].time);
                errors.push_back(d);
            }
        }
        ExpectFinite(solver);
    }
    if (!errors.empty()) {
        std::sort(errors.begin(), errors.end());
        st.median = errors[errors.size() / 2];
        st.max = errors.back();
    }
    return st;
}
}  // namespace

TEST(PositionSolverRealData, ReceiverDatedGeonetEpochsFixWithinFifteenMetres) {
    const RunStats st = RunGeonet(false);
    EXPECT_EQ(st.epochs, 120);
    EXPECT_GE(st.fiveOrMore, 118);
    EXPECT_EQ(st.fixedFiveOrMore, st.fiveOrMore);
    EXPECT_LT(st.median, 5.0);
    std::printf("GEONET 0759 raw code: %d of %d epochs fixed, median %.2f m, max %.2f m\n",
                st.fixes, st.epochs, st.median, st.max);
}

TEST(PositionSolverRealData, CarrierSmoothedGeonetEpochsFixWithinFifteenMetres) {
    const RunStats st = RunGeonet(true);
    EXPECT_EQ(st.fixedFiveOrMore, st.fiveOrMore);
    EXPECT_LT(st.median, 5.0);
    std::printf("GEONET 0759 smoothed: %d of %d epochs fixed, median %.2f m, max %.2f m\n",
                st.fixes, st.epochs, st.median, st.max);
}

// ---------------------------------------------------------------------------
// Synthetic epochs from the broadcast ephemerides of 1 July 2010, station 0759.

namespace {
const GpsTime kStart(1590, 345600.0 + 4 * 3600.0);

struct SyntheticRun {
    BroadcastSky broadcast{kStart};
    testsky::Sky sky;
    EpochTracker tracker;

    explicit SyntheticRun(int rawKind) {
        sky.station = kStation0759;
        sky.ephemerides = broadcast.selected;
        sky.iono = broadcast.iono;
        sky.clockOffset = 3.2e-4;
        sky.clockDrift = 2e-9;
        sky.clockEpoch = kStart;
        tracker.rawKind = static_cast<RecordKind>(rawKind);
        tracker.ionoUtc = broadcast.iono;
        for (int k = 0; k < kSatelliteCount; ++k) tracker.selected[k] = broadcast.selected[k];
    }
    // The epoch at i * 30 s after the start, moved into the tracker.
    void Step(int i) {
        const GpsTime t = kStart.AddSeconds(30.0 * i);
        const ObservationEpoch ep = tracker.rawKind == kRecordReceiverDated
                                        ? testsky::ReceiverDated(sky, t)
                                        : testsky::SatelliteDated(sky, t);
        tracker.previous = tracker.current;
        tracker.current = ep;
        tracker.time = ep.time;
    }
    // Receiver clock offset that the fix of epoch i should find.
    double ExpectedClock(int i) const {
        const GpsTime t = kStart.AddSeconds(30.0 * i);
        if (tracker.rawKind == kRecordReceiverDated) return sky.ReceiverClock(t);
        return sky.ReceiverClock(t.AddSeconds(0.075));  // common reception time
    }
    // Keeps only the given slots in both epochs of the tracker.
    void KeepOnly(std::initializer_list<int> slots) {
        for (int k = 0; k < kSatelliteCount; ++k) {
            if (std::find(slots.begin(), slots.end(), k) != slots.end()) continue;
            tracker.current.sat[k] = SatObservation();
            tracker.previous.sat[k] = SatObservation();
        }
    }
    // The usable slots of the current epoch in ascending order.
    std::vector<int> Visible() {
        PositionSolver s;
        s.SelectSatellites(tracker);
        std::vector<int> v;
        for (int k = s.Usable().First(); k >= 0; k = s.Usable().Next(k)) v.push_back(k);
        return v;
    }
};

void RunSynthetic(int rawKind, bool smoothed) {
    SyntheticRun run(rawKind);
    PositionSolver solver;
    solver.Reset(smoothed);
    bool fixed = false;
    double maxError = 0.0, maxClock = 0.0;
    int fixes = 0;
    for (int i = 0; i < 60; ++i) {
        run.Step(i);
        const int usable = solver.SelectSatellites(run.tracker);
        const int ok = Fix(solver, run.tracker, fixed);
        if (i == 0) {
            EXPECT_EQ(ok, 0);  // no previous epoch yet
            continue;
        }
        ASSERT_GE(usable, 5);
        ASSERT_EQ(ok, 1) << i;
        ++fixes;
        const double d = Distance(solver.Position(), kStation0759);
        const double dc = std::fabs(solver.Clock() - run.ExpectedClock(i));
        EXPECT_LT(d, 15.0) << i;
        EXPECT_LT(dc, 30e-9) << i;
        EXPECT_EQ(solver.Time(), run.tracker.current.time);
        maxError = std::max(maxError, d);
        maxClock = std::max(maxClock, dc);
    }
    std::printf("synthetic %s%s: %d fixes, max %.4f m, clock max %.3f ns\n",
                rawKind == kRecordReceiverDated ? "receiver-dated" : "satellite-dated",
                smoothed ? " smoothed" : "", fixes, maxError, maxClock * 1e9);
}
}  // namespace

TEST(PositionSolverSynthetic, SatelliteDatedEpochsGivePositionAndClock) {
    RunSynthetic(kRecordSatelliteDated, false);
}

TEST(PositionSolverSynthetic, SatelliteDatedSmoothedEpochsGivePositionAndClock) {
    RunSynthetic(kRecordSatelliteDated, true);
}

TEST(PositionSolverSynthetic, ReceiverDatedEpochsGivePositionAndClock) {
    RunSynthetic(kRecordReceiverDated, false);
}

TEST(PositionSolverSynthetic, AmbiguityReferencesFollowTheSatelliteDatedEpochs) {
    SyntheticRun run(kRecordSatelliteDated);
    PositionSolver solver;
    run.Step(0);
    run.Step(1);
    ASSERT_EQ(solver.InitialFix(run.tracker), 1);
    const double initial = solver.References().initial;
    EXPECT_GT(initial, 0.06);
    EXPECT_LT(initial, 0.095);
    ASSERT_EQ(solver.RefineFix(run.tracker), 1);
    const double full = solver.References().full;
    EXPECT_NEAR(full, initial, 1e-6);  // both resolve the same first satellite
    // Receiver-dated epochs leave both alone.
    SyntheticRun other(kRecordReceiverDated);
    other.Step(0);
    other.Step(1);
    solver.Reset(false);
    ASSERT_EQ(solver.RefineFix(other.tracker), 1);
    EXPECT_EQ(solver.References().initial, initial);
    EXPECT_EQ(solver.References().full, full);
}

TEST(PositionSolverSynthetic, ClosedFormLandsNearTheStation) {
    for (int kind : {kRecordReceiverDated, kRecordSatelliteDated}) {
        SyntheticRun run(kind);
        PositionSolver solver;
        run.Step(0);
        run.Step(1);
        ASSERT_EQ(solver.InitialFix(run.tracker), 1);
        EXPECT_LT(Distance(solver.Position(), kStation0759), 300.0) << kind;
        EXPECT_EQ(solver.Clock(), 0.0);  // set by the refinement only
    }
}

TEST(PositionSolverSynthetic, ExactlyFourSatellitesSolveWithoutRedundancy) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    PositionSolver solver;
    solver.SetPosition(kStation0759);
    ASSERT_EQ(solver.RefineFix(run.tracker), 1);
    std::vector<int> v;
    for (int k = solver.AboveMask().First(); k >= 0; k = solver.AboveMask().Next(k)) v.push_back(k);
    ASSERT_GE(v.size(), 6u);
    // Four of the satellites above the mask: the first, two middle ones and the last.
    run.KeepOnly({v[0], v[v.size() / 3], v[2 * v.size() / 3], v.back()});
    ASSERT_EQ(solver.RefineFix(run.tracker), 1);
    EXPECT_EQ(solver.AboveMask().Count(), 4);
    EXPECT_LT(Distance(solver.Position(), kStation0759), 0.01);
    EXPECT_NEAR(solver.Clock(), run.ExpectedClock(1), 1e-10);
}

TEST(PositionSolverSynthetic, ThreeSatellitesGiveNoFixButSmoothingAdvances) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    std::vector<int> v = run.Visible();
    run.KeepOnly({v[0], v[1], v[2]});
    PositionSolver solver;
    solver.SetPosition(kStation0759);
    EXPECT_EQ(solver.RefineFix(run.tracker), 0);
    EXPECT_EQ(solver.Model(v[0]).smoothCount, 1u);
    run.Step(2);
    run.KeepOnly({v[0], v[1], v[2]});
    EXPECT_EQ(solver.RefineFix(run.tracker), 0);
    EXPECT_EQ(solver.Model(v[0]).smoothCount, 2u);
    EXPECT_EQ(solver.Time(), GpsTime());
    EXPECT_EQ(solver.Clock(), 0.0);
    EXPECT_EQ(solver.InitialFix(run.tracker), 0);
}

TEST(PositionSolverSynthetic, StartFiveKilometresOffNeedsAnotherPass) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    GeoPosition start = kStation0759;
    start.OffsetLocal(3000.0, -4000.0, 0.0);
    PositionSolver solver;
    solver.SetPosition(start);
    ASSERT_EQ(solver.RefineFix(run.tracker), 1);
    // The propagation corrections were computed once, at the start position.
    EXPECT_LT(Distance(solver.Position(), kStation0759), 0.5);
}

TEST(PositionSolverSynthetic, ThreePassesWithoutConvergenceGiveNoFix) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    GeoPosition start = kStation0759;
    start.OffsetLocal(0.0, 0.0, 2000e3);  // 2000 km up
    PositionSolver solver;
    solver.SetPosition(start);
    EXPECT_EQ(solver.RefineFix(run.tracker), 0);
    EXPECT_GE(solver.AboveMask().Count(), 4);  // it failed on the passes, not on the mask
    EXPECT_EQ(solver.Position().X(), start.X());
    EXPECT_EQ(solver.Position().Z(), start.Z());
    EXPECT_EQ(solver.Time(), GpsTime());
    EXPECT_EQ(solver.Clock(), 0.0);
}

TEST(PositionSolverSynthetic, ResetClearsModelsAndSetsButKeepsTheFix) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    PositionSolver solver;
    solver.SetPosition(kStation0759);
    ASSERT_EQ(solver.RefineFix(run.tracker), 1);
    const GeoPosition p = solver.Position();
    const double clock = solver.Clock();
    const int slot = solver.Usable().First();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(solver.Model(slot).smoothCount, 1u);
    solver.Reset(true);
    EXPECT_TRUE(solver.UseSmoothed());
    EXPECT_EQ(solver.Usable().Count(), 0);
    EXPECT_EQ(solver.AboveMask().Count(), 0);
    EXPECT_EQ(solver.Model(slot).smoothCount, 0u);
    EXPECT_EQ(solver.Model(slot).codeRange, 0.0);
    EXPECT_NE(solver.Model(slot).lineOfSight.range, 0.0);
    EXPECT_EQ(solver.Position().X(), p.X());
    EXPECT_EQ(solver.Clock(), clock);
    EXPECT_EQ(solver.Time(), run.tracker.current.time);
}

// ---------------------------------------------------------------------------
// Degenerate geometries: no fix, and nothing non-finite ever stored.

TEST(PositionSolverDegenerate, SameSatelliteTwiceAmongFour) {
    SyntheticRun run(kRecordReceiverDated);
    run.Step(0);
    run.Step(1);
    std::vector<int> v = run.Visible();
    ASSERT_GE(v.size(), 4u);
    run.KeepOnly({v[0], v[1], v[2], v[3]});
    // Slot v[3] carries a copy of v[0]: three distinct satellites.
    run.tracker.selected[v[3]] = run.tracker.selected[v[0]];
    run.tracker.current.sat[v[3]] = run.tracker.current.sat[v[0]];
    run.tracker.previous.sat[v[3]] = run.tracker.previous.sat[v[0]];
    PositionSolver solver;
    EXPECT_EQ(solver.InitialFix(run.tracker), 0);
    ExpectFinite(solver);
    solver.SetPosition(kStation0759);
    EXPECT_EQ(solver.RefineFix(run.tracker), 0);
    EXPECT_EQ(solver.Position().X(), kStation0759.X());
    EXPECT_EQ(solver.Clock(), 0.0);
    ExpectFinite(solver);
    // Smoothed: the same.
    solver.Reset(true);
    EXPECT_EQ(solver.RefineFix(run.tracker), 0);
    ExpectFinite(solver);
}

namespace {
// Satellites on one circular orbit in the equator plane, above longitude
// `longitudes` (rad) at 100 s of week 1000.
void EquatorialSky(Ephemeris (&eph)[kSatelliteCount], std::initializer_list<double> longitudes) {
    const double A = 5153.7 * 5153.7;
    const double n = std::sqrt(3.986005e14 / (A * A * A));
    int k = 0;
    for (double lon : longitudes) {
        Ephemeris& e = eph[k++];
        e.valid = 1;
        e.sqrtA = 5153.7;
        e.week = 1000;
        e.toeTime = GpsTime(1000, 0.0);
        e.M0 = lon - (n - 7.2921151467e-5) * 100.0;
        PrepareEphemeris(e);
    }
}
}  // namespace

TEST(PositionSolverDegenerate, AllSatellitesInOnePlaneThroughTheStation) {
    for (int count : {4, 5, 6}) {
        Ephemeris eph[kSatelliteCount];
        if (count == 4) EquatorialSky(eph, {-0.7, -0.2, 0.3, 0.8});
        if (count == 5) EquatorialSky(eph, {-0.8, -0.4, 0.05, 0.4, 0.8});
        if (count == 6) EquatorialSky(eph, {-0.9, -0.6, -0.2, 0.1, 0.5, 0.9});
        testsky::Sky sky;
        sky.ephemerides = eph;  // default station: equator, longitude 0
        sky.clockOffset = 1e-4;
        EpochTracker tracker;
        tracker.rawKind = kRecordReceiverDated;
        for (int k = 0; k < kSatelliteCount; ++k) tracker.selected[k] = eph[k];
        tracker.previous = testsky::ReceiverDated(sky, GpsTime(1000, 99.0));
        tracker.current = testsky::ReceiverDated(sky, GpsTime(1000, 100.0));
        PositionSolver solver;
        ASSERT_EQ(solver.SelectSatellites(tracker), count);
        EXPECT_EQ(solver.InitialFix(tracker), 0) << count;
        ExpectFinite(solver);
        for (bool smoothed : {false, true}) {
            solver.Reset(smoothed);
            solver.SetPosition(GeoPosition());
            EXPECT_EQ(solver.RefineFix(tracker), 0) << count;
            EXPECT_EQ(solver.Position().X(), 6378137.0);
            EXPECT_EQ(solver.Clock(), 0.0);
            ExpectFinite(solver);
        }
    }
}

TEST(PositionSolverDegenerate, StationOnThePolarAxisNeverStoresNonFiniteValues) {
    SyntheticRun run(kRecordReceiverDated);
    run.sky.station = Cartesian(0.0, 0.0, 6356752.314245);
    run.sky.minElevation = 0.1;
    run.Step(0);
    run.Step(1);
    PositionSolver solver;
    solver.SetPosition(run.sky.station);
    solver.RefineFix(run.tracker);  // the local east axis is undefined at the pole
    ExpectFinite(solver);
}
