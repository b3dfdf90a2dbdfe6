// The synthetic signals: the two epoch kinds describe the same signals, the clock
// enters as it should, Dopplers follow the ranges, and the project's position solution
// finds the simulated station and clock in the decoded records.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "positioning/PositionSolver.h"
#include "rawdata/EpochTracker.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/SignalModel.h"

namespace {

constexpr double kC = 299792458.0;
constexpr double kLambda1 = kC / 1575.42e6;

SignalContext Context(double clockOffset, double clockDrift) {
    SignalContext c;
    c.station.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    c.iono = NominalIonoUtc(2300);
    c.clock.offset = clockOffset;
    c.clock.drift = clockDrift;
    c.clock.epoch = NominalStart();
    return c;
}

// Satellites of the nominal constellation above 10 degrees at t.
std::vector<int> InView(NominalConstellation& orbits, const SignalContext& c, const GpsTime& t) {
    std::vector<int> prns;
    for (int prn : NominalConstellation::Prns()) {
        SignalSample s;
        if (SampleSatelliteDated(c, *orbits.Select(prn, t), t, s) && s.elevation > 10 * 3.14159265 / 180) {
            prns.push_back(prn);
        }
    }
    return prns;
}

TEST(SignalModel, ASatelliteDatedSignalIsTheReceiverDatedOneAtItsArrival) {
    const SignalContext c = Context(3.2e-4, 1e-8);
    NominalConstellation orbits(NominalStart());
    const GpsTime ts = NominalStart().AddSeconds(1234.0);
    const std::vector<int> prns = InView(orbits, c, ts);
    ASSERT_GE(prns.size(), 5u);
    for (int prn : prns) {
        const Ephemeris& eph = *orbits.Select(prn, ts);
        SignalSample r, q;
        ASSERT_TRUE(SampleSatelliteDated(c, eph, ts, r));
        // Receiver clock reading when the signal stamped ts arrives.
        ASSERT_TRUE(SampleReceiverDated(c, eph, ts.AddSeconds(r.codeTime), q));
        EXPECT_NEAR(q.codeTime, r.codeTime, 2e-12) << prn;
        EXPECT_NEAR(q.phaseTime, r.phaseTime, 2e-12) << prn;
        EXPECT_NEAR(q.range, r.range, 1e-3) << prn;
        EXPECT_GT(r.codeTime, 0.064);
        EXPECT_LT(r.codeTime, 0.0905);
    }
}

TEST(SignalModel, TheReceiverClockAddsToSatelliteDatedTravelTimes) {
    NominalConstellation orbits(NominalStart());
    const GpsTime ts = NominalStart().AddSeconds(600.0);
    const SignalContext none = Context(0, 0);
    const SignalContext late = Context(1e-3, 0);
    for (int prn : InView(orbits, none, ts)) {
        SignalSample a, b;
        ASSERT_TRUE(SampleSatelliteDated(none, *orbits.Select(prn, ts), ts, a));
        ASSERT_TRUE(SampleSatelliteDated(late, *orbits.Select(prn, ts), ts, b));
        EXPECT_NEAR(b.codeTime - a.codeTime, 1e-3, 1e-15) << prn;
        EXPECT_NEAR(b.phaseTime - a.phaseTime, 1e-3, 1e-15) << prn;
        // The same signal, the same delays: the code exceeds the carrier by twice the ionosphere.
        EXPECT_NEAR((a.codeTime - a.phaseTime) * kC, 2 * a.iono, 1e-6) << prn;
        EXPECT_GT(a.iono, 0.5);
        EXPECT_GT(a.tropo, 2.3);
    }
}

TEST(SignalModel, DopplerTimesWavelengthIsTheRangeRate) {
    const SignalContext c = Context(2e-4, 0);
    NominalConstellation orbits(NominalStart());
    const GpsTime t = NominalStart().AddSeconds(1800.0);
    for (int prn : InView(orbits, c, t)) {
        const Ephemeris& eph = *orbits.Select(prn, t);
        SignalSample before, at, after;
        ASSERT_TRUE(SampleReceiverDated(c, eph, t.AddSeconds(-1.0), before));
        ASSERT_TRUE(SampleReceiverDated(c, eph, t, at));
        ASSERT_TRUE(SampleReceiverDated(c, eph, t.AddSeconds(1.0), after));
        double d1 = 0, d2 = 0;
        ASSERT_TRUE(PhaseRateReceiverDated(c, eph, t, at.codeTime, d1, d2));
        const double rangeRate = (after.range - before.range) / 2.0;
        // The satellite clock drift and the ionosphere change add a few cm/s at most.
        EXPECT_NEAR(d1 * kLambda1, rangeRate, 0.05) << prn;
        EXPECT_LT(std::fabs(d1), 5000.0);
        EXPECT_NEAR(d2 / d1, 1227.6 / 1575.42, 1e-4) << prn;
    }
}

// Decoded epochs of a simulated file through the project's position solution.
struct Fix {
    int fixes = 0;
    double worstPosition = 0;  // m
    double worstClock = 0;     // s, against the truth's receiver clock
};

Fix Solve(RawLayout layout, bool satelliteDated) {
    SynthRequest r;
    r.layout = layout;
    r.synth.start = NominalStart();
    r.synth.duration = 300;
    r.synth.interval = 10;
    r.synth.satelliteDated = satelliteDated;
    r.synth.receiverDated = !satelliteDated;
    SimTempDir dir;
    SimulationOutput out;
    out.rawPath = dir.File("raw");
    Truth truth;
    out.truth = &truth;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(r, out, summary, error)) << error;
    const DecodedFile got = ReadRawFile(out.rawPath, FormatIndex(layout), 2300);

    auto tracker = std::make_unique<EpochTracker>();
    tracker->rawKind = satelliteDated ? kRecordSatelliteDated : kRecordReceiverDated;
    tracker->ionoUtc = got.ionoUtc.at(0);
    for (const Ephemeris& e : got.ephemerides) {
        auto copy = std::make_unique<Ephemeris>(e);
        tracker->store.Add(copy);
    }
    PositionSolver solver;
    solver.Reset(false);
    Fix fix;
    for (size_t k = 0; k < got.epochs.size(); ++k) {
        if (k == 0) {
            tracker->Start(got.epochs[k]);
            continue;
        }
        EXPECT_TRUE(tracker->Advance(got.epochs[k]));
        if (k == 1 && !solver.InitialFix(*tracker)) continue;
        if (!solver.RefineFix(*tracker)) continue;
        ++fix.fixes;
        const GeoPosition& p = solver.Position();
        const double d = std::sqrt(std::pow(p.X() - truth.station[0], 2) + std::pow(p.Y() - truth.station[1], 2) +
                                   std::pow(p.Z() - truth.station[2], 2));
        fix.worstPosition = std::max(fix.worstPosition, d);
        if (!satelliteDated) {
            fix.worstClock = std::max(fix.worstClock, std::fabs(solver.Clock() - truth.epochs[k].receiverClock));
        }
    }
    return fix;
}

TEST(SignalModel, PositionSolutionFindsTheStationInReceiverDatedRecords) {
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv}) {
        const Fix fix = Solve(layout, false);
        EXPECT_EQ(fix.fixes, 29) << LayoutName(layout);
        // Codes are quantised to 1e-10 s (3 cm): the fix is good to a few decimetres.
        EXPECT_LT(fix.worstPosition, 0.3) << LayoutName(layout);
        EXPECT_LT(fix.worstClock, 1.5e-9) << LayoutName(layout);
    }
}

TEST(SignalModel, PositionSolutionFindsTheStationInSatelliteDatedRecords) {
    const Fix fix = Solve(RawLayout::Binary, true);
    EXPECT_EQ(fix.fixes, 29);
    EXPECT_LT(fix.worstPosition, 0.3);
}

}  // namespace
