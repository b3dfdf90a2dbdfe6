// The truth file beside a raw file, the sample files, fault lists and the RINEX reader.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/RinexReader.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(TruthFile, HoldsHeaderListsCountsAndEveryNthEpochOfEachKind) {
    SimTempDir dir;
    SynthRequest r;
    r.synth.start = NominalStart();
    r.synth.duration = 100;
    r.synth.interval = 1;
    r.synth.satelliteDated = true;
    r.synth.dual = true;
    r.synth.events = true;
    std::string error;
    ASSERT_TRUE(ParseFaultList("unhealthy", r.faults, error));
    SimulationOutput out;
    out.rawPath = dir.File("a.bin");
    out.truthPath = dir.File("a.bin.truth.json");
    out.truthEpochEvery = 10;
    Truth truth;
    out.truth = &truth;
    SynthSummary summary;
    ASSERT_TRUE(RunSynth(r, out, summary, error)) << error;
    const std::string json = Slurp(out.truthPath);
    ASSERT_FALSE(json.empty());
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    EXPECT_NE(json.find("\"layout\":\"binary\""), std::string::npos);
    EXPECT_NE(json.find("\"station\":{\"x\":-3976219.5082,\"y\":3382372.5671,\"z\":3652512.9849}"), std::string::npos);
    EXPECT_NE(json.find("\"receiverClock\":{\"offset\":0.00025,\"drift\":2e-09"), std::string::npos);
    EXPECT_EQ(Count(json, "{\"kind\":\"Q\""), 10);
    EXPECT_EQ(Count(json, "{\"kind\":\"R\""), 10);
    EXPECT_NE(json.find("\"counts\":{\"satelliteDated\":100,\"receiverDated\":100,\"ephemerides\":" +
                        std::to_string(truth.ephemerides.size())),
              std::string::npos);
    EXPECT_EQ(Count(json, "{\"type\":\"unhealthy\""), static_cast<int>(truth.ephemerides.size()));
    EXPECT_EQ(Count(json, "{\"recordKind\":"), 11);
    EXPECT_NE(json.find("\"antennaHeight\":1.5430"), std::string::npos);
    // In memory: every epoch, the header and the counts.
    EXPECT_EQ(truth.epochs.size(), 200u);
    EXPECT_EQ(truth.counts.receiverDated, 100);
    EXPECT_DOUBLE_EQ(truth.antennaHeight, 1.543);
    EXPECT_EQ(truth.layout, "binary");
}

TEST(TruthFile, SatelliteDatedTruthIsTheIdealReceiverAtTheOutputTime) {
    SynthRequest r;
    r.synth.start = NominalStart();
    r.synth.duration = 20;
    r.synth.interval = 10;
    r.synth.satelliteDated = true;
    SimulationOutput out;
    std::string bytes;
    out.memory = &bytes;
    Truth truth;
    out.truth = &truth;
    SynthSummary summary;
    std::string error;
    ASSERT_TRUE(RunSynth(r, out, summary, error)) << error;
    for (const TruthEpoch& e : truth.epochs) {
        if (e.kind != 6) continue;
        EXPECT_NEAR(e.outputTime.Difference(e.tag), 0.075, 1e-9);
        for (const TruthSatellite& s : e.sats) {
            const double tau = e.decoded.sat[s.prn - 1].value[kC1];
            // The raw travel time holds the receiver clock; the output code does not, and
            // moves on by the range rate over the gap between arrival and output time.
            const double arrivalToOutput = 0.075 - (tau - e.receiverClock);
            const double rangeRate = -s.d1 * 299792458.0 / 1575.42e6;  // RINEX sign in the truth
            EXPECT_NEAR(s.c1, (tau - e.receiverClock) * 299792458.0 + arrivalToOutput * rangeRate, 0.05)
                << "PRN " << s.prn;
        }
    }
}

TEST(Sample, FilesAreWrittenAndRepeatable) {
    SimTempDir a, b;
    std::string error;
    ASSERT_TRUE(WriteSample(a.File(""), error)) << error;
    ASSERT_TRUE(WriteSample(b.File(""), error)) << error;
    for (const char* name : {"sample.bin", "sample.csv", "sample.fix", "sample.bin.truth.json"}) {
        const std::string x = Slurp(a.File(name));
        EXPECT_GT(x.size(), 20000u) << name;
        EXPECT_EQ(x, Slurp(b.File(name))) << name;
    }
    const DecodedFile got = ReadRawFile(a.File("sample.bin"), 1, 2300);
    EXPECT_EQ(got.invalid, 0);
    EXPECT_EQ(got.epochs.size(), 240u);  // 120 satellite-dated and 120 receiver-dated
    EXPECT_EQ(got.events.size(), 11u);
}

TEST(FaultList, NamesAllAndErrors) {
    FaultPlan plan;
    std::string error;
    ASSERT_TRUE(ParseFaultList("cut,garbage,cut", plan, error));
    EXPECT_EQ(plan.types.size(), 2u);
    EXPECT_TRUE(plan.Has(FaultType::Cut));
    EXPECT_FALSE(plan.Has(FaultType::Iode));
    ASSERT_TRUE(ParseFaultList("all", plan, error));
    EXPECT_EQ(plan.types.size(), 7u);
    FaultPlan bad;
    EXPECT_FALSE(ParseFaultList("checksum,parity", bad, error));
    EXPECT_NE(error.find("parity"), std::string::npos);
}

TEST(RinexReader, ReadsTheGeonetHeaderAndFirstEpoch) {
    RinexObsReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(TestData("07590920.05o"), error)) << error;
    EXPECT_EQ(reader.Header().types, (std::vector<std::string>{"L1", "C1", "L2", "P2"}));
    EXPECT_DOUBLE_EQ(reader.Header().position[2], 3652512.9849);
    EXPECT_EQ(reader.Header().markerName, "0759");
    EXPECT_DOUBLE_EQ(reader.Header().interval, 30.0);
    RinexObsEpoch e;
    ASSERT_TRUE(reader.Next(e));
    EXPECT_EQ(e.time.week, 1316);
    EXPECT_DOUBLE_EQ(e.time.seconds, 518400.0);
    ASSERT_EQ(e.sats.size(), 8u);
    EXPECT_EQ(e.sats[0].prn, 3);
    EXPECT_EQ(e.sats[7].prn, 28);
    EXPECT_DOUBLE_EQ(e.sats[1].values[0].value, -691177.898);
    EXPECT_EQ(e.sats[0].values[2].lli, 4);
    int epochs = 1, events = 0;
    while (reader.Next(e)) e.flag <= 1 ? ++epochs : ++events;
    EXPECT_EQ(epochs, 120);
    EXPECT_EQ(events, 3);  // three "RINEX FILE SPLICE" comments under flag 4
    RinexNavData nav;
    ASSERT_TRUE(ReadRinexNav(TestData("07590920.05n"), nav, error)) << error;
    EXPECT_DOUBLE_EQ(nav.ionoUtc.beta0, 88060.0);
    EXPECT_EQ(nav.ionoUtc.deltaTLS, 13);
    ASSERT_FALSE(nav.ephemerides.empty());
    EXPECT_DOUBLE_EQ(nav.ephemerides[0].sqrtA, 5153.63647842);
    EXPECT_DOUBLE_EQ(nav.ephemerides[0].toc, 525600.0);
    EXPECT_EQ(nav.transmissionTimes[0].week, 1316);
    EXPECT_DOUBLE_EQ(nav.transmissionTimes[0].seconds, 519576.0);
}

}  // namespace

namespace {

TEST(RinexReader, EventRecordsBecomeRawEvents) {
    SimTempDir dir;
    const std::string path = dir.File("events.05o");
    {
        std::ifstream in(TestData("07590920.05o"));
        std::ofstream out(path);
        std::string line;
        int epochs = 0;
        while (std::getline(in, line)) {
            if (line.size() > 30 && line.substr(0, 3) == " 05" && line[28] == '0') {
                if (++epochs == 3) break;
                if (epochs == 2) {
                    // An external event, and header information without a time.
                    out << " 05  4  2  0  0 15.0000000  5  0\n";
                    out << "                            4  2\n";
                    out << "        1.2340        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n";
                    out << "  24 observations with event                                COMMENT\n";
                    out << " 05  4  2  0  0 20.0000000  3  1\n";
                    out << "NEWSITE                                                     MARKER NAME\n";
                    out << "                            2  0\n";
                }
            }
            out << line << "\n";
        }
    }
    RinexObsReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(path, error)) << error;
    RinexObsEpoch e;
    std::vector<int> flags;
    while (reader.Next(e)) flags.push_back(e.flag);
    EXPECT_EQ(flags, (std::vector<int>{0, 5, 4, 3, 2, 0}));
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv}) {
        FromRinexRequest r;
        r.layout = layout;
        r.rinex.obsPath = path;
        r.rinex.navPath = TestData("07590920.05n");
        SimulationOutput o;
        o.rawPath = dir.File("events.raw");
        Truth truth;
        o.truth = &truth;
        ASSERT_TRUE(RunFromRinex(r, o, error)) << error;
        EXPECT_EQ(truth.counts.receiverDated, 2);
        const DecodedFile got = ReadRawFile(o.rawPath, FormatIndex(layout), 1316);
        std::vector<int> kinds;
        for (const SiteEvent& e : got.events) kinds.push_back(e.kind);
        if (layout == RawLayout::Binary) {
            // Header antenna height, external event, new height, new site, kinematic.
            ASSERT_EQ(kinds, (std::vector<int>{41, 40, 41, 30, 20}));
            EXPECT_EQ(got.events[3].markerName, "NEWSITE");
            EXPECT_DOUBLE_EQ(got.events[3].time.seconds, 518420.0);
        } else {
            ASSERT_EQ(kinds, (std::vector<int>{41, 40, 41}));  // no site records in ASCII
        }
        EXPECT_DOUBLE_EQ(got.events[1].time.seconds, 518415.0);
        EXPECT_DOUBLE_EQ(got.events[2].value, 1.234);
        EXPECT_DOUBLE_EQ(got.events[2].time.seconds, 518400.0);  // no time: the last epoch's
        ASSERT_EQ(got.epochs.size(), 2u);
    }
}

}  // namespace
