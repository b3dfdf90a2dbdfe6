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

namespace {

// One epoch of four satellites with values left out in different ways.
SimEpoch GappyEpoch(char letter) {
    SimEpoch e;
    e.letter = letter;
    e.time = GpsTime(2300, 259210.0);
    e.dual = true;
    for (int k = 0; k < 4; ++k) {
        SimSatellite s;
        s.prn = 5 + 9 * k;  // 5, 14, 23, 32
        s.c1 = 0.0712345678 + 0.001 * k;
        s.l1 = 123456.789 + k;
        s.d1 = -1234.5 + k;
        s.p1 = s.c1 + 1e-9;
        s.p2 = s.c1 + 2e-8;
        s.l2 = 98765.432;
        s.d2 = -961.25;
        s.hasP1 = s.hasP2 = s.hasL2 = s.hasD2 = true;
        s.lockL1 = 3;
        s.lockL2 = 4;
        s.qualityL1 = 1;
        s.qualityCode = 2;
        e.sats.push_back(s);
    }
    e.sats[1].hasL1 = e.sats[1].hasD1 = false;
    e.sats[2].hasL2 = e.sats[2].hasD2 = e.sats[2].hasP1 = false;
    e.sats[3].hasP2 = false;
    e.sats[3].antiSpoofing = true;
    e.sats[3].cn0 = 60;
    e.sats[3].lockL1 = 31;
    return e;
}

TEST(RoundTripAbsentValues, EachLayoutLeavesOutWhatIsAbsent) {
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv}) {
        for (char letter : {'R', 'Q'}) {
            std::string bytes;
            RawWriter writer(CreateEncoder(layout), FaultPlan(), nullptr);
            writer.OpenMemory(&bytes);
            TruthEpoch truth;
            writer.WriteEpoch(GappyEpoch(letter), truth);
            ASSERT_TRUE(writer.Close());
            SimTempDir dir;
            const std::string path = dir.File("gaps");
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
            const DecodedFile got = ReadRawFile(path, FormatIndex(layout), 2300);
            const std::string name = std::string(LayoutName(layout)) + " " + letter;
            ASSERT_EQ(got.epochs.size(), 1u) << name;
            const ObservationEpoch& e = got.epochs[0];
            ExpectSameEpoch(e, truth.decoded, name);
            // Masks: bits 0..6 values L1 L2 P2 C1 D1 D2 P1, bits 7..10 status bytes.
            EXPECT_EQ(e.sat[4].typeMask, 0x7FF) << name;
            EXPECT_EQ(e.sat[13].typeMask, 0x7FF & ~0x11) << name;          // no L1, no D1
            EXPECT_EQ(e.sat[22].typeMask, 0x7FF & ~0x62) << name;          // no L2, D2, P1
            EXPECT_EQ(e.sat[31].typeMask, 0x7FF & ~0x04) << name;          // no P2
            EXPECT_EQ(e.sat[31].antiSpoofing, 1) << name;
            EXPECT_EQ(e.sat[4].antiSpoofing, 0) << name;
            EXPECT_EQ(e.sat[31].status[0], 0x3F) << name;                 // quality 1, lock 31
            EXPECT_EQ(e.sat[4].status[1], 0x04) << name;                  // quality 0, lock 4
            EXPECT_EQ(e.sat[4].status[2], 0x20) << name;                  // code quality 2
            EXPECT_EQ(e.sat[31].cn0, layout == RawLayout::Binary ? 57 : 60) << name;  // 5 bits + 26 in binary
            EXPECT_NEAR(e.sat[4].value[kC1], 0.0712345678, 1e-15) << name;
            EXPECT_NEAR(e.sat[4].value[kP2], 0.0712345678 + 2e-8, 1e-15) << name;
            EXPECT_NEAR(e.sat[4].value[kL1], 3456.789, 1e-9) << name;
            EXPECT_NEAR(e.sat[4].value[kD1], -1234.5, 0.002) << name;
        }
    }
}

}  // namespace
