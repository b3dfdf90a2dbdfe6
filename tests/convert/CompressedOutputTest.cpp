// Compact RINEX and gzip outputs: every case is converted plain, as Compact RINEX,
// gzipped, and both; the independent reader must restore the plain observation file
// from the Compact RINEX one, and gunzip must give back each file byte for byte.
#include <gtest/gtest.h>

#include <map>

#include "tests/convert/DriverTestSupport.h"
#include "tests/support/CompactRinexReader.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

constexpr double kT0 = 345600.0 + 3600.0;

// Raw data of the hard cases, receiver-dated: 14 satellites, then fewer (some leave
// and come back), a loss of lock, a phase beyond the F14.3 field for a few epochs,
// a jump too large for a difference, and event records between epochs.
void WriteHardCases(const std::string& path) {
    RawFile raw(path);
    for (int i = 0; i < 40; ++i) {
        const double t = kT0 + 30.0 * i;
        SimEpoch e = i < 10   ? Epoch('Q', t, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})
                     : i < 20 ? Epoch('Q', t, {3, 7, 12, 20, 25})
                     : i < 30 ? Epoch('Q', t, {3, 7, 20, 25, 26})
                              : Epoch('Q', t, {3, 7, 12, 20, 25, 26});
        for (SimSatellite& s : e.sats) {
            if (s.prn == 7 && i >= 15) s.lockL1 = 3;             // lost lock once at i = 15
            if (s.prn == 20 && i >= 24 && i < 27) s.l1 = 2e10;   // no room in F14.3: blank
            if (s.prn == 25 && i >= 22) s.l1 = 9.9e9 - 10.0 * i;  // a jump of about 10^10 cycles
        }
        raw.Add(e);
        if (i == 5) raw.Add(AntennaHeight(t + 10, 1.6));
        if (i == 12) raw.Add(TimeEvent(t + 20));
        if (i == 18) raw.Add(SiteRecord(t + 10, 4, "NEWSITE"));
        if (i == 33) raw.Add(SiteRecord(t + 10, 1, "SITE2"));
    }
    raw.Close();
}

struct Case {
    const char* name;
    RawLayout layout;
    bool satelliteDated;
    bool hard;  // WriteHardCases rather than a simulated recording
};

class CompressedOutput : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(CompressedOutput, RestoresThePlainFiles) {
    const Case c = GetParam();
    ScratchDir dir;
    ConversionRequest base;
    if (c.hard) {
        WriteHardCases(dir.File("RAW"));
        base = Request(dir, dir.File("RAW"));
    } else {
        SynthRequest synth;
        synth.layout = c.layout;
        synth.synth.receiverDated = !c.satelliteDated;
        synth.synth.satelliteDated = c.satelliteDated;
        synth.synth.start = NominalStart();
        synth.synth.duration = 4 * 3600;
        synth.synth.interval = 30;
        synth.synth.dual = c.layout != RawLayout::AsciiFixed;
        synth.synth.events = true;
        synth.synth.slipEvery = 17;
        SimulationOutput output;
        output.rawPath = dir.File("RAW");
        SynthSummary summary;
        std::string error;
        ASSERT_TRUE(RunSynth(synth, output, summary, error)) << error;
        base = Request(dir, dir.File("RAW"));
        base.formatIndex = static_cast<RawFormat>(FormatIndex(c.layout));
        base.recordingDate = NominalStart().ToDays();
    }
    base.creationTime = CalendarTime{2024, 5, 6, 7, 8, 9};
    for (const RinexVersion version : {kRinex2, kRinex3}) {
        SCOPED_TRACE(version == kRinex3 ? "RINEX 3" : "RINEX 2");
        std::map<std::string, std::string> files;  // by the run's prefix
        for (const char* run : {"plain", "crx", "gz", "crx.gz"}) {
            ConversionRequest r = base;
            r.rinexVersion = version;
            r.hatanaka = std::string(run).find("crx") == 0;
            r.gzip = std::string(run).find("gz") != std::string::npos;
            r.observationPath = dir.File(std::string(run) + ".obs");
            r.navigationPath = dir.File(std::string(run) + ".nav");
            ConversionState state;
            ScriptedUi ui;
            ASSERT_TRUE(RunConversion(r, state, ui).success) << run;
            files[run] = ReadAll(r.observationPath);
            files[std::string(run) + " nav"] = ReadAll(r.navigationPath);
            // A gzip file names what it holds (the flag FNAME and the name after the 10 fixed bytes).
            for (const std::string& name : {std::string(run) + ".obs", std::string(run) + ".nav"}) {
                if (!r.gzip) continue;
                const std::string gz = ReadAll(dir.File(name));
                EXPECT_EQ(gz.substr(3, 1) + gz.substr(10, name.size()), "\x08" + name);
            }
        }
        const std::string& plain = files["plain"];
        ASSERT_GT(Count(plain, "\n"), 100);
        if (c.hard) {  // the hard cases are there: 14 satellites, event records
            EXPECT_GT(Count(plain, "  0 14"), 0);
            EXPECT_GT(Count(plain, "<< NEW ANTENNA HEIGHT >>"), 0);
            EXPECT_GT(Count(plain, "<< NEW SITE OCCUPATION >>"), 0);
        }
        std::string restored, error;
        crxread::Reader reader;
        ASSERT_TRUE(reader.Restore(files["crx"], restored, error)) << error;
        EXPECT_TRUE(restored == crxread::WithoutTrailingBlanks(plain)) << "Compact RINEX does not restore";
        EXPECT_LT(files["crx"].size() * 2, plain.size());
        for (const auto& [gz, expected] : {std::pair{"gz", "plain"}, {"gz nav", "plain nav"}, {"crx.gz", "crx"},
                                            {"crx.gz nav", "plain nav"}}) {
            std::string out;
            EXPECT_TRUE(crxread::Gunzip(files[gz], out)) << gz;
            EXPECT_TRUE(out == files[expected]) << gz << " does not gunzip to " << expected;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CompressedOutput,
                         ::testing::Values(Case{"HardCases", RawLayout::Binary, false, true},
                                           Case{"BinarySatelliteDated", RawLayout::Binary, true, false},
                                           Case{"CsvReceiverDated", RawLayout::AsciiCsv, false, false},
                                           Case{"FixedReceiverDated", RawLayout::AsciiFixed, false, false}),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });
