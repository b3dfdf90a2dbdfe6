// Raw files written by the simulator, read back by the project's readers and decoders:
// every genuine record decodes to the truth the simulator reports for it.
#include <gtest/gtest.h>

#include "tests/tools/ToolsTestSupport.h"

namespace {

struct Case {
    RawLayout layout;
    bool satelliteDated;
    bool receiverDated;
    bool dual;
    bool csvShort;
    const char* name;
};

SynthRequest Request(const Case& c) {
    SynthRequest r;
    r.layout = c.layout;
    r.csv.shortMode = c.csvShort;
    r.synth.start = NominalStart();
    r.synth.duration = 120;
    r.synth.interval = 2;
    r.synth.satelliteDated = c.satelliteDated;
    r.synth.receiverDated = c.receiverDated;
    r.synth.dual = c.dual;
    r.synth.antiSpoofing = c.dual;
    r.synth.events = true;
    r.synth.slipEvery = 7;
    return r;
}

// Runs a case into a file and reads it back; truth receives the simulator's truth.
DecodedFile SimulateAndRead(const SynthRequest& request, SimTempDir& dir, Truth& truth) {
    SimulationOutput out;
    out.rawPath = dir.File("raw");
    out.truth = &truth;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(request, out, summary, error)) << error;
    return ReadRawFile(out.rawPath, FormatIndex(request.layout), request.synth.start.week);
}

void ExpectMatchesTruth(const DecodedFile& got, const Truth& truth, const std::string& name) {
    ASSERT_EQ(got.epochs.size(), truth.epochs.size()) << name;
    for (size_t k = 0; k < got.epochs.size(); ++k) {
        EXPECT_EQ(got.epochKinds[k], truth.epochs[k].kind) << name << " epoch " << k;
        ExpectSameEpoch(got.epochs[k], truth.epochs[k].decoded, name + " epoch " + std::to_string(k));
    }
    ASSERT_EQ(got.ephemerides.size(), truth.ephemerides.size()) << name;
    for (size_t k = 0; k < got.ephemerides.size(); ++k) {
        ExpectSameEphemeris(got.ephemerides[k], truth.ephemerides[k], name + " ephemeris " + std::to_string(k));
    }
    ASSERT_EQ(got.ionoUtc.size(), truth.ionoUtc.size()) << name;
    for (size_t k = 0; k < got.ionoUtc.size(); ++k) {
        const IonoUtc& g = got.ionoUtc[k];
        const IonoUtc& w = truth.ionoUtc[k];
        EXPECT_DOUBLE_EQ(g.alpha0, w.alpha0) << name;
        EXPECT_DOUBLE_EQ(g.alpha3, w.alpha3) << name;
        EXPECT_DOUBLE_EQ(g.beta0, w.beta0) << name;
        EXPECT_DOUBLE_EQ(g.beta3, w.beta3) << name;
        EXPECT_DOUBLE_EQ(g.A0, w.A0) << name;
        EXPECT_DOUBLE_EQ(g.A1, w.A1) << name;
        EXPECT_DOUBLE_EQ(g.tot, w.tot) << name;
        EXPECT_EQ(g.time.week, w.time.week) << name;
        EXPECT_EQ(g.WNt, w.WNt) << name;
        EXPECT_EQ(g.deltaTLS, w.deltaTLS) << name;
        EXPECT_EQ(g.WNLSF, w.WNLSF) << name;
        EXPECT_EQ(g.DN, w.DN) << name;
        EXPECT_EQ(g.deltaTLSF, w.deltaTLSF) << name;
    }
    ASSERT_EQ(got.events.size(), truth.events.size()) << name;
    for (size_t k = 0; k < got.events.size(); ++k) {
        EXPECT_EQ(got.eventKinds[k], truth.events[k].recordKind) << name << " event " << k;
        ExpectSameEvent(got.events[k], truth.events[k].expected, name + " event " + std::to_string(k));
    }
}

class RoundTrip : public testing::TestWithParam<Case> {};

TEST_P(RoundTrip, EveryRecordDecodesToItsTruth) {
    const Case& c = GetParam();
    SimTempDir dir;
    Truth truth;
    const DecodedFile got = SimulateAndRead(Request(c), dir, truth);
    EXPECT_EQ(got.invalid, 0);
    EXPECT_EQ(truth.counts.faults, 0);
    EXPECT_GT(truth.epochs.size(), 50u);
    EXPECT_FALSE(truth.ephemerides.empty());
    EXPECT_EQ(truth.ionoUtc.size(), 1u);
    ExpectMatchesTruth(got, truth, c.name);
}

const Case kCases[] = {
    {RawLayout::Binary, true, true, true, false, "binary_both_dual"},
    {RawLayout::Binary, true, false, false, false, "binary_R_single"},
    {RawLayout::Binary, false, true, false, false, "binary_Q_single"},
    {RawLayout::AsciiCsv, true, true, true, false, "csv_both_dual"},
    {RawLayout::AsciiCsv, false, true, false, false, "csv_Q_single"},
    {RawLayout::AsciiCsv, true, false, true, true, "csv_R_dual_short"},
    {RawLayout::AsciiFixed, false, true, false, false, "fixed_Q"},
    {RawLayout::AsciiFixed, true, false, false, false, "fixed_R"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(RoundTripEvents, BinaryFileHoldsEverySiteTypeTimeEventsAndHeights) {
    SimTempDir dir;
    Truth truth;
    const DecodedFile got = SimulateAndRead(Request(kCases[0]), dir, truth);
    // Antenna height at the start, then site types 1, 2, 4 (named and not), 5 (.JRS
    // texts), 6, 3 and two time events, one more antenna height.
    std::vector<int> kinds;
    for (const SiteEvent& e : got.events) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<int>{41, 30, 40, 20, 40, 41, 40, 70, 60, 50, 40}));
    ASSERT_EQ(got.events.size(), 11u);
    EXPECT_DOUBLE_EQ(got.events[0].value, 1.543);
    EXPECT_EQ(got.events[1].markerName, "SIM1");
    EXPECT_EQ(got.events[1].description, "Geo1 : N35 40 51.1, Geo2 : E139 46 1.2");
    EXPECT_EQ(got.events[3].markerName, "");
    EXPECT_EQ(got.events[4].markerName, "SIM4");
    EXPECT_EQ(got.events[4].description, "Geo3 : GEO-4, File : SIM4.DAT");
    EXPECT_DOUBLE_EQ(got.events[5].value, 1.668);
    EXPECT_EQ(got.events[7].markerName, "SIM5 A B,");  // "SIM5" + "  A  " + "B ,", compacted
    EXPECT_EQ(got.events[7].description, "Geo1 : GEO-5, 7 SVs, PDOP : 2.3, File : SIM005.JRS");
    // A time event keeps its fraction of a second to 1e-10 s.
    const double fraction = got.events[2].time.seconds - std::floor(got.events[2].time.seconds);
    EXPECT_NEAR(fraction, 0.3456789, 1e-9);
}

TEST(RoundTripEvents, AsciiFilesHoldTimeEventsAndHeightsInMillimetres) {
    SimTempDir dir;
    Truth truth;
    const DecodedFile got = SimulateAndRead(Request(kCases[4]), dir, truth);
    std::vector<int> kinds;
    for (const SiteEvent& e : got.events) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<int>{41, 40, 40, 41, 40}));
    ASSERT_EQ(got.events.size(), 5u);
    EXPECT_DOUBLE_EQ(got.events[0].value, 1.543);
    EXPECT_DOUBLE_EQ(got.events[3].value, 1.668);
    const double fraction = got.events[1].time.seconds - std::floor(got.events[1].time.seconds);
    EXPECT_NEAR(fraction, 0.3456789, 1e-7);
}

// Faults: a correct reader and decoder skip or refuse every defective record and
// obtain exactly the genuine ones.
class FaultyRoundTrip : public testing::TestWithParam<Case> {};

TEST_P(FaultyRoundTrip, DefectiveRecordsAreRefusedAndGenuineOnesKept) {
    const Case& c = GetParam();
    SynthRequest r = Request(c);
    std::string error;
    ASSERT_TRUE(ParseFaultList("all", r.faults, error));
    r.faults.every = 3;
    SimTempDir dir;
    Truth truth;
    const DecodedFile got = SimulateAndRead(r, dir, truth);
    int copies = 0, unhealthy = 0, iode = 0;
    for (const TruthFault& f : truth.faults) {
        // Fixed-column epochs carry a bad PRN as an extra line, which is skipped; every
        // other bad PRN comes as a copy of the record, which must be refused.
        const bool prnCopy = f.type == "prn" && (c.layout != RawLayout::AsciiFixed || f.letter == 'E');
        if (f.type == "checksum" || f.type == "escape" || prnCopy) ++copies;
        if (f.type == "unhealthy") ++unhealthy;
        if (f.type == "iode") ++iode;
    }
    EXPECT_GT(truth.counts.faults, 20);
    EXPECT_EQ(unhealthy, static_cast<int>(truth.ephemerides.size()));
    EXPECT_EQ(iode, static_cast<int>(truth.ephemerides.size()));
    EXPECT_EQ(got.unhealthy, unhealthy);
    EXPECT_EQ(got.invalid, copies + iode);
    ExpectMatchesTruth(got, truth, std::string("faulty_") + c.name);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FaultyRoundTrip, testing::Values(kCases[0], kCases[3], kCases[6]),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
