// Cycle slips in converted simulator recordings: every whole-cycle jump the simulator
// put in without a loss-of-lock flag is found at its epoch and satellite, every flagged
// loss of lock is counted, and a clean recording has none.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <utility>

#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "quality/QualityMonitor.h"
#include "tests/quality/QualityTestSupport.h"
#include "tests/tools/ToolsTestSupport.h"

namespace {

struct Recording {
    double interval = 1;  // s
    double minutes = 20;
    bool dual = true;
    int flaggedEvery = 0;    // epochs between losses of lock, 0 none
    int unflaggedEvery = 0;  // epochs between jumps without a flag, 0 none
};

struct Converted {
    Truth truth;
    QualitySummary summary;
    QualitySeries series;
};

// Simulates a receiver-dated recording, converts it and feeds the written epochs to a
// quality monitor.
Converted SimulateAndConvert(const Recording& rec) {
    Converted out;
    SimTempDir dir;
    SynthRequest r;
    r.synth.start = NominalStart();
    r.synth.duration = rec.minutes * 60;
    r.synth.interval = rec.interval;
    r.synth.dual = rec.dual;
    r.synth.slipEvery = rec.flaggedEvery;
    r.synth.unflaggedSlipEvery = rec.unflaggedEvery;
    SimulationOutput sim;
    sim.rawPath = dir.File("SIM.RAW");
    sim.truth = &out.truth;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(r, sim, summary, error)) << error;

    ConversionRequest request;
    request.sourcePath = sim.rawPath;
    request.formatIndex = static_cast<RawFormat>(FormatIndex(r.layout));
    request.recordingDate = NominalStart().ToDays();
    request.observationPath = dir.File("SIM.O");
    request.navigationPath = dir.File("SIM.N");
    request.silent = true;
    auto state = std::make_unique<ConversionState>();
    HeadlessUi ui(nullptr);
    EXPECT_TRUE(RunConversion(request, *state, ui).success);

    // Elevations from the simulator's ephemerides seen from its station.
    std::vector<Ephemeris> orbits = out.truth.ephemerides;
    for (Ephemeris& e : orbits) {
        e.valid = 1;
        PrepareEphemeris(e);
    }
    QualityMonitor monitor;
    monitor.SetStation(out.truth.station[0], out.truth.station[1], out.truth.station[2]);
    for (const QualityEpoch& e : ReadQualityEpochs(request.observationPath)) {
        Ephemeris selected[kSatelliteCount];
        SelectNearest(orbits, e.time, selected);
        monitor.AddEpoch(e, selected);
    }
    out.summary = monitor.Summary();
    out.series = monitor.Series();
    return out;
}

// Time (ms of week) and satellite index of a slip.
using SlipKey = std::pair<long long, int>;

TEST(SimulatedSlips, CleanRecordingsHaveNone) {
    const Recording cases[] = {
        {1, 20, true, 0, 0},
        {30, 180, true, 0, 0},
        {1, 20, false, 0, 0},
    };
    for (const Recording& rec : cases) {
        const Converted c = SimulateAndConvert(rec);
        const std::string name = std::to_string(static_cast<int>(rec.interval)) + (rec.dual ? " s dual" : " s single");
        EXPECT_GT(c.summary.epochsWritten, 100) << name;
        EXPECT_EQ(c.summary.slipsFound, 0) << name;
        EXPECT_EQ(c.summary.slipsFlagged, 0) << name;
        EXPECT_TRUE(c.series.slips.empty()) << name;
        EXPECT_EQ(std::isnan(c.summary.mp1Rms), !rec.dual) << name;
        // Elevation ranges as the simulator's geometry has them (the first epoch is not
        // written by the conversion).
        double low[kSatelliteCount], high[kSatelliteCount];
        std::fill(low, low + kSatelliteCount, 90.0);
        std::fill(high, high + kSatelliteCount, -90.0);
        for (size_t i = 1; i < c.truth.epochs.size(); ++i) {
            for (const TruthSatellite& s : c.truth.epochs[i].sats) {
                low[s.prn - 1] = std::min(low[s.prn - 1], s.elevation * 180 / M_PI);
                high[s.prn - 1] = std::max(high[s.prn - 1], s.elevation * 180 / M_PI);
            }
        }
        for (int s = 0; s < kSatelliteCount; ++s) {
            if (c.summary.satellites[s].epochs == 0) continue;
            EXPECT_NEAR(c.summary.satellites[s].elevationMin, low[s], 0.1) << name << " G" << s + 1;
            EXPECT_NEAR(c.summary.satellites[s].elevationMax, high[s], 0.1) << name << " G" << s + 1;
        }
    }
}

TEST(SimulatedSlips, EveryUnflaggedJumpIsFoundAndEveryFlagCounted) {
    const Recording cases[] = {
        {1, 30, true, 53, 41},
        {30, 240, true, 11, 7},
    };
    for (const Recording& rec : cases) {
        const Converted c = SimulateAndConvert(rec);
        const std::string name = std::to_string(static_cast<int>(rec.interval)) + " s";
        std::set<SlipKey> jumps, flags;
        int onL1 = 0, onL2 = 0;
        for (const TruthEpoch& e : c.truth.epochs) {
            const long long ms = std::llround(e.outputTime.seconds * 1000);
            for (const TruthSatellite& s : e.sats) {
                if (s.slipL1 || s.slipL2) {
                    jumps.insert({ms, s.prn - 1});
                    onL1 += s.slipL1 != 0;
                    onL2 += s.slipL2 != 0;
                    EXPECT_GE(std::abs(s.slipL1 ? s.slipL1 : s.slipL2), 5) << name;
                    EXPECT_LE(std::abs(s.slipL1 ? s.slipL1 : s.slipL2), 50) << name;
                }
                if (s.lossOfLockL1) flags.insert({ms, s.prn - 1});
            }
        }
        EXPECT_GT(onL1, 5) << name;
        EXPECT_GT(onL2, 5) << name;
        std::set<SlipKey> found, flagged;
        for (const SlipSample& s : c.series.slips) {
            const SlipKey key{std::llround(c.series.origin.AddSeconds(s.time).seconds * 1000), s.satellite};
            if (s.found) found.insert(key);
            if (s.flagged) flagged.insert(key);
            EXPECT_TRUE(jumps.count(key) || flags.count(key)) << name << " slip at " << key.first << " G" << key.second + 1;
        }
        for (const SlipKey& key : jumps) {
            EXPECT_TRUE(found.count(key)) << name << " missed jump at " << key.first << " G" << key.second + 1;
            EXPECT_FALSE(flagged.count(key)) << name;
        }
        EXPECT_EQ(flagged, flags) << name;
        EXPECT_EQ(c.summary.slipsFlagged, static_cast<long long>(flags.size())) << name;
        EXPECT_EQ(c.summary.slipsFound, static_cast<long long>(found.size())) << name;
    }
}

}  // namespace
