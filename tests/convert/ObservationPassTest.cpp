// The observation pass on small receiver-dated files (no ephemerides, so the
// position is the approximate one): which epochs are written, event records,
// antenna heights, the header values of the read pass, log files and the state
// carried from one conversion to the next.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "convert/StringTable.h"
#include "tests/convert/DriverTestSupport.h"

using namespace drivertest;

namespace {

constexpr double kT0 = 345600.0;

// The three numbers of a header line's first 60 columns.
std::vector<double> Numbers(const std::string& line) {
    std::vector<double> out;
    std::istringstream in(line.substr(0, 60));
    double v;
    while (in >> v) out.push_back(v);
    return out;
}

// Offset of the epoch line at hh:mm:ss of 31 March 2005 in an observation text.
size_t EpochLineAt(const std::string& text, const std::string& hhmmss) {
    return text.find("  5  3 31" + hhmmss);
}

}  // namespace

TEST(ObservationPass, WritesFromTheSecondEpochAndIgnoresEpochsTooClose) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        raw.Add(Epoch('Q', kT0)).Add(Epoch('Q', kT0 + 30)).Add(Epoch('Q', kT0 + 30.04)).Add(Epoch('Q', kT0 + 60));
        raw.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(Request(dir, dir.File("Q.RAW")), state, ui);
    ASSERT_TRUE(r.success);
    EXPECT_EQ(r.epochsWritten, 2);
    const std::string obs = ReadAll(dir.File("OUT.05O"));
    EXPECT_EQ(CountDated(obs, 0), 2);
    EXPECT_EQ(EpochLineAt(obs, "  0  0  0.0000000"), std::string::npos);
    EXPECT_NE(EpochLineAt(obs, "  0  0 30.0000000"), std::string::npos);
    EXPECT_NE(EpochLineAt(obs, "  0  1  0.0000000"), std::string::npos);
    // Time of first observation: the first written epoch; of last: the read pass's last.
    EXPECT_EQ(Numbers(HeaderLine(obs, "TIME OF FIRST OBS")), (std::vector<double>{2005, 3, 31, 0, 0, 30}));
    EXPECT_EQ(Numbers(HeaderLine(obs, "TIME OF LAST OBS")), (std::vector<double>{2005, 3, 31, 0, 1, 0}));
    // Receiver-dated data carry no extrapolation comment.
    EXPECT_EQ(HeaderLine(obs, "COMMENT"), "");
    // The silent default position: latitude 0, longitude 0, height 0.
    EXPECT_EQ(Numbers(HeaderLine(obs, "APPROX POSITION XYZ")), (std::vector<double>{6378137, 0, 0}));
}

TEST(ObservationPass, IntervalIsTheMostFrequentSpacing) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        for (double t : {0.0, 30.0, 60.0, 120.0, 150.0, 180.0}) raw.Add(Epoch('Q', kT0 + t));  // 90 missing
        raw.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("Q.RAW")), state, ui).success);
    EXPECT_EQ(Numbers(HeaderLine(ReadAll(dir.File("OUT.05O")), "INTERVAL")), std::vector<double>{30.0});
    EXPECT_EQ(state.header.interval, 30.0);
}

TEST(ObservationPass, DopplersCarryTheRinexSign) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', kT0 + 30 * i, {5}));
        raw.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("Q.RAW")), state, ui).success);
    const std::vector<std::string> lines = Lines(ReadAll(dir.File("OUT.05O")));
    // Satellite 5: range and phase grow by 500 cycles/s, so the satellite recedes.
    std::vector<double> l1, d1;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].compare(0, 3, "  5") == 0 && lines[i].find("G 5") != std::string::npos) {
            l1.push_back(std::atof(lines[i + 1].substr(16, 14).c_str()));
            d1.push_back(std::atof(lines[i + 1].substr(32, 14).c_str()));
        }
    }
    ASSERT_EQ(l1.size(), 2u);
    EXPECT_NEAR(l1[1] - l1[0], 15000.0, 1e-3);
    EXPECT_EQ(d1[0], -500.0);
    EXPECT_EQ(d1[1], -500.0);
}

TEST(ObservationPass, EventAndAntennaHeightRecords) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        raw.Add(AntennaHeight(kT0 - 10, 1.5));
        raw.Add(Epoch('Q', kT0));
        raw.Add(TimeEvent(kT0 + 20));  // before the first written epoch: ignored
        raw.Add(Epoch('Q', kT0 + 30));
        raw.Add(AntennaHeight(kT0 + 40, 1.50004));  // within 0.05 mm: no record
        raw.Add(Epoch('Q', kT0 + 60));
        raw.Add(AntennaHeight(kT0 + 70, 1.6));
        raw.Add(TimeEvent(kT0 + 75));  // written before the 90 s epoch
        raw.Add(TimeEvent(kT0 + 10));  // older than the last written epoch: dropped
        raw.Add(Epoch('Q', kT0 + 90));
        raw.Add(SiteRecord(kT0 + 100, 4, "NEWSITE"));  // new site, kinematic after the next epoch
        raw.Add(TimeEvent(kT0 + 130));                 // a time event, not another new site
        raw.Add(Epoch('Q', kT0 + 120));
        raw.Add(Epoch('Q', kT0 + 150));
        raw.Add(SiteRecord(kT0 + 160, 1, "SITE2"));
        raw.Add(SiteRecord(kT0 + 170, 2, ""));
        raw.Add(TimeEvent(kT0 + 1000));  // after the last epoch: written at the end
        raw.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("Q.RAW")), state, ui).success);
    const std::string obs = ReadAll(dir.File("OUT.05O"));
    EXPECT_EQ(Numbers(HeaderLine(obs, "ANTENNA: DELTA H/E/N")), (std::vector<double>{1.5, 0, 0}));
    EXPECT_EQ(Count(obs, "<< NEW ANTENNA HEIGHT >>"), 1);
    EXPECT_NE(obs.find("        1.6000        0.0000        0.0000                  ANTENNA: DELTA H/E/N"),
              std::string::npos);
    EXPECT_EQ(Count(obs, "<< NEW SITE OCCUPATION >>"), 2);
    EXPECT_EQ(Count(obs, "<< FROM NOW ON KINEMATIC DATA >>"), 2);
    EXPECT_EQ(Count(obs, "<< AN EVENT FLAG WITH SIGNIFICANT EPOCH >>"), 3);
    EXPECT_EQ(CountDated(obs, 5), 3);
    EXPECT_EQ(CountDated(obs, 0), 5);
    // Order: event 75 s between the 60 s and 90 s epochs; new site after 90 s, its
    // kinematic record after the 120 s epoch; event 130 s before the 150 s epoch.
    const size_t e60 = EpochLineAt(obs, "  0  1  0.0000000  0");
    const size_t ev75 = EpochLineAt(obs, "  0  1 15.0000000  5");
    const size_t e90 = EpochLineAt(obs, "  0  1 30.0000000  0");
    const size_t site = obs.find("NEWSITE");
    const size_t e120 = EpochLineAt(obs, "  0  2  0.0000000  0");
    const size_t kinematic = obs.find("<< FROM NOW ON KINEMATIC DATA >>");
    const size_t ev130 = EpochLineAt(obs, "  0  2 10.0000000  5");
    const size_t e150 = EpochLineAt(obs, "  0  2 30.0000000  0");
    const size_t ev1000 = EpochLineAt(obs, "  0 16 40.0000000  5");
    ASSERT_NE(e60, std::string::npos);
    ASSERT_NE(ev1000, std::string::npos);
    EXPECT_LT(e60, ev75);
    EXPECT_LT(ev75, e90);
    EXPECT_LT(e90, site);
    EXPECT_LT(site, e120);
    EXPECT_LT(e120, kinematic);
    EXPECT_LT(kinematic, ev130);
    EXPECT_LT(ev130, e150);
    EXPECT_LT(e150, ev1000);
    EXPECT_EQ(EpochLineAt(obs, "  0  0 20.0000000  5"), std::string::npos);
    EXPECT_EQ(EpochLineAt(obs, "  0  0 10.0000000  5"), std::string::npos);
}

TEST(ObservationPass, BothKindsAskWhichToConvert) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("B.RAW"));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('R', kT0 + 30 * i)).Add(Epoch('Q', kT0 + 30 * i));
        raw.Close();
    }
    ConversionRequest request = Request(dir, dir.File("B.RAW"));
    ConversionState state;
    ScriptedUi silent;
    ConversionResult r = RunConversion(request, state, silent);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(silent.rawKindQuestions, 0);
    EXPECT_EQ(state.tracker.rawKind, kRecordReceiverDated);
    EXPECT_EQ(r.epochsWritten, 2);

    request.silent = false;
    ScriptedUi ui;
    ui.rawKindChoice = kRecordSatelliteDated;  // satellite-dated: no ephemeris, so not sufficient
    r = RunConversion(request, state, ui);
    EXPECT_EQ(ui.rawKindQuestions, 1);
    EXPECT_EQ(r.outcome, ConversionOutcome::InsufficientData);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].text.find("3 Records,\n0 Ephemeris,\n0 Iono UTC data"), std::string::npos);
}

TEST(ObservationPass, AskedPositionGoesIntoTheHeader) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', kT0 + 30 * i));
        raw.Close();
    }
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    request.silent = false;
    ConversionState state;
    ScriptedUi ui;
    ui.position.latitude = 0.0;
    ui.position.longitude = 3.14159265358979 / 2;
    ui.position.height = 100.0;
    ASSERT_TRUE(RunConversion(request, state, ui).success);
    EXPECT_EQ(ui.positionQuestions, 1);  // asked once, then the position counts as fixed
    const std::vector<double> xyz = Numbers(HeaderLine(ReadAll(request.observationPath), "APPROX POSITION XYZ"));
    ASSERT_EQ(xyz.size(), 3u);
    EXPECT_NEAR(xyz[0], 0.0, 1e-3);
    EXPECT_NEAR(xyz[1], 6378237.0, 1e-3);
    EXPECT_NEAR(xyz[2], 0.0, 1e-3);
}

TEST(ObservationPass, LogFilesOfReceiverDatedData) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("Q.RAW"));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', kT0 + 30 * i, {3, 7}));
        raw.Close();
    }
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    request.logFile = true;
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(request, state, ui).success);
    const std::vector<std::string> log = Lines(ReadAll(request.observationPath + ".log"));
    ASSERT_EQ(log.size(), 5u);  // header + 2 epochs x 2 satellites
    EXPECT_EQ(log[0], "T\tSV\tC1\tDQI\tL1\tDQI\tCLCI\tD1\tCN0\tTr0\tC1\tLLI\tSNR\tL1\tLLI\tSNR\tD1\tLLI\tSNR");
    // Raw Doppler of PRN 3 is +300 Hz; the written one -300 Hz; Tr0 0 for receiver-dated data.
    EXPECT_EQ(log[1].substr(0, 11), "345630.0\t3\t");
    EXPECT_NE(log[1].find("\t300.000\t45\t0.0000000000\t"), std::string::npos);
    EXPECT_NE(log[1].find("\t-300.000\t0\t"), std::string::npos);
    const std::vector<std::string> pos = Lines(ReadAll(request.observationPath + ".pos"));
    ASSERT_EQ(pos.size(), 3u);
    EXPECT_EQ(pos[0], "T\tX geo\tY geo\tZ geo\tTr0");
    // Log files asked for that cannot be created fail the run: nothing is written.
    ScratchDir dir2;
    ConversionRequest blocked = Request(dir2, dir.File("Q.RAW"));
    blocked.logFile = true;
    std::filesystem::create_directory(blocked.observationPath + ".log");
    ScriptedUi ui2;
    EXPECT_EQ(RunConversion(blocked, state, ui2).failedPath, blocked.observationPath + ".log");
    EXPECT_EQ(ui2.MessageIds(), std::vector<int>{kStrWriteFailed});
    EXPECT_FALSE(Exists(blocked.observationPath));
    EXPECT_FALSE(Exists(blocked.observationPath + ".pos"));
}

TEST(ObservationPass, KeptIonoUtcDoesNotReachTheNextConversion) {
    ScratchDir dir;
    IonoUtc iono;
    iono.alpha0 = 1.1176e-08;
    iono.alpha1 = 7.4506e-09;
    iono.beta0 = 90112.0;
    iono.tot = 61440;
    iono.WNt = 1316 % 256;
    iono.deltaTLS = 13;
    {
        RawFile raw(dir.File("U.RAW"));
        raw.AddIonoUtc(iono);
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', kT0 + 30 * i));
        raw.Close();
        RawFile plain(dir.File("Q.RAW"));
        for (int i = 0; i < 3; ++i) plain.Add(Epoch('Q', kT0 + 30 * i));
        plain.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("U.RAW")), state, ui).success);
    EXPECT_EQ(Numbers(HeaderLine(ReadAll(dir.File("OUT.05N")), "LEAP SECONDS")), std::vector<double>{13});
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("Q.RAW")), state, ui).success);
    const std::string nav = ReadAll(dir.File("OUT.05N"));
    EXPECT_EQ(Numbers(HeaderLine(nav, "LEAP SECONDS")), std::vector<double>{0});
    EXPECT_EQ(HeaderLine(nav, "ION ALPHA").substr(0, 14), "    0.0000D+00");
}

TEST(ObservationPass, HeaderAntennaHeightOnlyBeforeAnyEpochAndFreshEachConversion) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("H.RAW"));
        raw.Add(AntennaHeight(kT0 - 20, 1.25));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', kT0 + 30 * i));
        raw.Close();
        // A satellite-dated epoch ahead of the height: the height comes after an epoch.
        RawFile late(dir.File("L.RAW"));
        late.Add(Epoch('R', kT0 - 30));
        late.Add(AntennaHeight(kT0 - 20, 2.0));
        for (int i = 0; i < 3; ++i) late.Add(Epoch('Q', kT0 + 30 * i));
        late.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("H.RAW")), state, ui).success);
    EXPECT_EQ(Numbers(HeaderLine(ReadAll(dir.File("OUT.05O")), "ANTENNA: DELTA H/E/N")),
              (std::vector<double>{1.25, 0, 0}));
    // The next conversion starts from height 0 and takes no height met after an epoch.
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("L.RAW")), state, ui).success);
    EXPECT_EQ(state.tracker.rawKind, kRecordReceiverDated);
    const std::string obs = ReadAll(dir.File("OUT.05O"));
    EXPECT_EQ(Numbers(HeaderLine(obs, "ANTENNA: DELTA H/E/N")), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(Count(obs, "<< NEW ANTENNA HEIGHT >>"), 0);
}
