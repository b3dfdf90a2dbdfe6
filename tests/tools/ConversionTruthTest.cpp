// Whole conversions of simulated files compared with the truth's RINEX values: what the
// simulator says a correct conversion must contain is what the converter writes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/RinexReader.h"

namespace {

struct Differences {
    int epochs = 0;
    int values = 0;
    double worstCode = 0;        // m
    double worstDoppler = 0;     // Hz
    double worstPhaseSpread = 0; // cycles: spread of (written - truth) phase within a lock
    double worstPhaseFraction = 0;  // cycles: distance of (written - truth) from a whole number
    int lossOfLockWritten = 0;
    int lossOfLockTruth = 0;
    int lossOfLockMismatches = 0;
};

Differences ConvertAndCompare(RawLayout layout, bool satelliteDated) {
    SimTempDir dir;
    SynthRequest r;
    r.layout = layout;
    r.synth.start = NominalStart();
    r.synth.duration = 600;
    r.synth.interval = 5;
    r.synth.satelliteDated = satelliteDated;
    r.synth.receiverDated = !satelliteDated;
    r.synth.dual = true;
    r.synth.slipEvery = 13;
    SimulationOutput out;
    out.rawPath = dir.File("SIM.RAW");
    Truth truth;
    out.truth = &truth;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(r, out, summary, error)) << error;

    ConversionRequest request;
    request.sourcePath = out.rawPath;
    request.formatIndex = static_cast<RawFormat>(FormatIndex(layout));
    request.recordingDate = NominalStart().ToDays();
    request.markerName = "SIM";
    request.observationPath = dir.File("SIM.O");
    request.navigationPath = dir.File("SIM.N");
    request.tx = 0.075;
    request.silent = true;
    auto state = std::make_unique<ConversionState>();
    HeadlessUi ui(nullptr);
    EXPECT_TRUE(RunConversion(request, *state, ui).success);

    std::map<long long, const TruthEpoch*> byTime;  // output time in ms of the week
    for (const TruthEpoch& e : truth.epochs) byTime[std::llround(e.outputTime.seconds * 1000)] = &e;
    RinexObsReader reader;
    EXPECT_TRUE(reader.Open(request.observationPath, error)) << error;
    const int c1 = reader.TypeIndex("C1"), l1 = reader.TypeIndex("L1"), d1 = reader.TypeIndex("D1");
    Differences d;
    std::map<int, std::pair<double, double>> phaseRange;  // prn -> min, max of written - truth
    RinexObsEpoch e;
    while (reader.Next(e)) {
        if (e.flag > 1) continue;
        const auto found = byTime.find(std::llround(e.time.seconds * 1000));
        if (found == byTime.end()) {
            ADD_FAILURE() << "no truth for epoch " << e.time.seconds;
            continue;
        }
        ++d.epochs;
        for (const RinexSatObs& s : e.sats) {
            const TruthSatellite* t = nullptr;
            for (const TruthSatellite& x : found->second->sats) {
                if (x.prn == s.prn) t = &x;
            }
            if (!t) {
                ADD_FAILURE() << "PRN " << s.prn << " not in the truth";
                continue;
            }
            ++d.values;
            d.worstCode = std::max(d.worstCode, std::fabs(s.values[c1].value - t->c1));
            d.worstDoppler = std::max(d.worstDoppler, std::fabs(s.values[d1].value - t->d1));
            const bool lli = s.values[l1].lli & 1;
            d.lossOfLockWritten += lli;
            d.lossOfLockTruth += t->lossOfLockL1;
            d.lossOfLockMismatches += lli != t->lossOfLockL1;
            const double diff = s.values[l1].value - t->l1;
            d.worstPhaseFraction = std::max(d.worstPhaseFraction, std::fabs(diff - std::round(diff)));
            auto it = phaseRange.find(s.prn);
            if (it == phaseRange.end() || lli) {
                phaseRange[s.prn] = {diff, diff};
            } else {
                it->second.first = std::min(it->second.first, diff);
                it->second.second = std::max(it->second.second, diff);
                d.worstPhaseSpread = std::max(d.worstPhaseSpread, it->second.second - it->second.first);
            }
        }
    }
    return d;
}

TEST(ConversionTruth, ReceiverDatedConversionWritesTheTruthValues) {
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv}) {
        const Differences d = ConvertAndCompare(layout, false);
        const std::string name = LayoutName(layout);
        EXPECT_EQ(d.epochs, 119) << name;  // the first epoch is never written
        EXPECT_GT(d.values, 1000) << name;
        EXPECT_LT(d.worstCode, 0.0011) << name;   // RINEX writes millimetres
        EXPECT_LT(d.worstDoppler, 0.0011) << name;
        EXPECT_LT(d.worstPhaseFraction, 0.0011) << name;  // whole-cycle offsets only
        EXPECT_LT(d.worstPhaseSpread, 0.0021) << name;    // one offset per lock
        EXPECT_GT(d.lossOfLockTruth, 5) << name;
        EXPECT_EQ(d.lossOfLockMismatches, 0) << name;
    }
}

TEST(ConversionTruth, SatelliteDatedConversionWritesTheIdealReceiverValues) {
    const Differences d = ConvertAndCompare(RawLayout::Binary, true);
    EXPECT_GE(d.epochs, 115);
    // The receiver clock comes from the position solution and the codes are extrapolated
    // with the Doppler over up to 15 ms: a few centimetres and tenths of a cycle.
    EXPECT_LT(d.worstCode, 0.15);
    EXPECT_LT(d.worstDoppler, 0.0021);
    EXPECT_LT(d.worstPhaseSpread, 0.6);
    EXPECT_GT(d.lossOfLockTruth, 5);
    EXPECT_EQ(d.lossOfLockMismatches, 0);
}

}  // namespace
