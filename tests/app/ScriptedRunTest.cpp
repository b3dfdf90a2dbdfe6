// Scripted runs of the built qern2rinex program: the long options end to end on
// simulated raw files, the outputs read back with an independent RINEX reader,
// Python's JSON parser and RTKLIB.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "platform/Profile.h"
#include "tests/app/ProgramRunner.h"
#include "tools/rawsim/RinexReader.h"
#include "tools/rawsim/Simulation.h"

namespace {

using namespace programtest;

const SynthOptions kSynthDefaults;
const double* const kStation = kSynthDefaults.station;  // where the simulator puts the antenna
constexpr uint16_t kWeek = 2300;                        // 7 February 2024 is in GPS week 2300, a Wednesday
constexpr double kWednesday = 3 * 86400.0;

double DistanceToStation(const double xyz[3]) {
    return std::sqrt((xyz[0] - kStation[0]) * (xyz[0] - kStation[0]) + (xyz[1] - kStation[1]) * (xyz[1] - kStation[1]) +
                     (xyz[2] - kStation[2]) * (xyz[2] - kStation[2]));
}

// A dual-frequency recording of the simulator from 7 February 2024 00:00 GPS time,
// written to path and dated that day; slipEvery: a loss of lock every so many epochs;
// events: site, time-event and antenna-height records.
bool Simulate(const std::string& path, bool satelliteDated, double duration, double interval, int slipEvery = 0,
              bool events = false) {
    SynthRequest request;
    request.synth.receiverDated = !satelliteDated;
    request.synth.satelliteDated = satelliteDated;
    request.synth.start = NominalStart();
    request.synth.duration = duration;
    request.synth.interval = interval;
    request.synth.dual = true;
    request.synth.slipEvery = slipEvery;
    request.synth.events = events;
    SimulationOutput output;
    output.rawPath = path;
    SynthSummary summary;
    std::string error;
    if (!RunSynth(request, output, summary, error)) {
        ADD_FAILURE() << error;
        return false;
    }
    SetModifiedDay(path, 2024, 2, 7);
    return true;
}

struct ObsFile {
    RinexObsHeader2 header;
    std::vector<RinexObsEpoch> epochs;  // observation epochs only
};

ObsFile ReadObs(const std::string& path) {
    ObsFile f;
    RinexObsReader reader;
    std::string error;
    if (!reader.Open(path, error)) {
        ADD_FAILURE() << error;
        return f;
    }
    f.header = reader.Header();
    RinexObsEpoch epoch;
    while (reader.Next(epoch))
        if (epoch.flag <= 1) f.epochs.push_back(epoch);
    return f;
}

// The header record of a RINEX file with label (columns 61-80), without its line end.
std::string HeaderLine(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    if (at == std::string::npos || at < 60) return {};
    const size_t end = text.find_first_of("\r\n", at);
    return text.substr(at - 60, end - (at - 60));
}

// The toes of a navigation file.
std::vector<GpsTime> Toes(const std::string& path) {
    RinexNavData nav;
    std::string error;
    if (!ReadRinexNav(path, nav, error)) ADD_FAILURE() << error;
    std::vector<GpsTime> toes;
    for (const Ephemeris& e : nav.ephemerides) toes.push_back(e.toeTime);
    return toes;
}

// Runs a shell command and returns what it printed on standard output.
std::string Capture(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

// Simulated files shared by the tests of the suite: one hour at 1 Hz of each epoch
// kind with a loss of lock every 7 epochs, and 14 hours at 30 s, receiver-dated.
class ScriptedRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new ScopedTempDir;
        ASSERT_TRUE(Simulate(data_->File("q1h.bin"), false, 3600, 1, 7));
        ASSERT_TRUE(Simulate(data_->File("r1h.bin"), true, 3600, 1, 7));
        ASSERT_TRUE(Simulate(data_->File("q14h.bin"), false, 14 * 3600, 30));
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(std::filesystem::exists(kProgram)) << kProgram;
    }
    // Copies a shared recording into the test's folder.
    std::string Source(const std::string& name) { return CopySample(folder, name, data_->File(name)); }

    static ScopedTempDir* data_;
    ScopedTempDir folder;
};

ScopedTempDir* ScriptedRun::data_ = nullptr;

// Header options, mixed anywhere among the described parameters, land upper-cased in
// their header records and enter the history lists the way typed values do.
TEST_F(ScriptedRun, HeaderOptionsFillTheHeaderAndTheHistories) {
    Source("q1h.bin");
    const RunResult r = RunProgram(
        folder, {"--marker", "algo", "q1h.bin", "--marker-number=40104m001", "--observer", "jane doe", "OBS:a.o",
                 "--agency", "nat. survey", "--receiver-number", "r-17", "NAV:a.n", "--receiver-type", "qern z12",
                 "--receiver-version", "v2.1", "S", "--antenna-number", "a-9", "--antenna-type", "qern choke"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string obs = ReadAll(folder.File("a.o"));
    EXPECT_EQ(HeaderLine(obs, "MARKER NAME"),
              "ALGO                                                        MARKER NAME         ");
    EXPECT_EQ(HeaderLine(obs, "MARKER NUMBER"),
              "40104M001                                                   MARKER NUMBER       ");
    EXPECT_EQ(HeaderLine(obs, "OBSERVER / AGENCY"),
              "JANE DOE            NAT. SURVEY                             OBSERVER / AGENCY   ");
    EXPECT_EQ(HeaderLine(obs, "REC # / TYPE / VERS"),
              "R-17                QERN Z12            V2.1                REC # / TYPE / VERS ");
    EXPECT_EQ(HeaderLine(obs, "ANT # / TYPE"),
              "A-9                 QERN CHOKE      NONE                    ANT # / TYPE        ");  // RINEX form

    const struct {
        const char* section;
        const char* value;
    } histories[] = {{"MarkerNames", "ALGO"},         {"MarkerNumbers", "40104M001"},  {"Observers", "JANE DOE"},
                     {"Agencies", "NAT. SURVEY"},     {"ReceiverNumbers", "R-17"},      {"ReceiverTypes", "QERN Z12"},
                     {"ReceiverVersions", "V2.1"},    {"AntennaNumbers", "A-9"},        {"AntennaTypes", "QERN CHOKE      NONE"}};
    {
        const Profile profile(ProfilePath(folder));
        for (const auto& h : histories) EXPECT_EQ(profile.GetString(h.section, "History00", "?"), h.value) << h.section;
        EXPECT_EQ(profile.GetString("Defaults", "Observer", "?"), "JANE DOE");
    }
    // A second run puts its value in front of the first one.
    ASSERT_EQ(RunProgram(folder, {"q1h.bin", "OBS:b.o", "NAV:b.n", "S", "--observer", "John Roe"}).status, 0);
    const Profile profile(ProfilePath(folder));
    EXPECT_EQ(profile.GetString("Observers", "History00", "?"), "JOHN ROE");
    EXPECT_EQ(profile.GetString("Observers", "History01", "?"), "JANE DOE");
    EXPECT_EQ(profile.GetString("Observers", "History02", "?"), "<Unused>");
}

// An over-long header option ends the run with the dialog's message before anything
// is written or stored.
TEST_F(ScriptedRun, OverLongHeaderOptionsStopTheRunWithTheDialogsMessage) {
    CopySample(folder, "site.bin");
    const struct {
        const char* option;
        size_t limit;
    } cases[] = {{"--marker", 60},          {"--marker-number", 20},    {"--observer", 20},
                 {"--agency", 40},          {"--receiver-number", 20},  {"--receiver-type", 20},
                 {"--receiver-version", 20}, {"--antenna-number", 20}, {"--antenna-type", 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        const RunResult r =
            RunProgram(folder, {"site.bin", "OBS:x.o", "NAV:x.n", "S", c.option, std::string(c.limit + 1, 'x')});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Please enter no more than " + std::to_string(c.limit) + " characters.\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(folder.File("x.o")));
        EXPECT_FALSE(std::filesystem::exists(ProfilePath(folder)));
    }
}

// Header options take Latin letters in their plain form and refuse, naming the
// field, what has none; blank texts still write the records RINEX 2.11 requires.
TEST_F(ScriptedRun, HeaderOptionsArePlainAsciiAndRequiredRecordsAlwaysWritten) {
    CopySample(folder, "site.bin");
    RunResult r = RunProgram(folder, {"site.bin", "OBS:x.o", "NAV:x.n", "S", "--observer", "J\xC3\xBCrgen M\xC3\xBCller"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string obs = ReadAll(folder.File("x.o"));
    EXPECT_EQ(HeaderLine(obs, "OBSERVER / AGENCY"),
              "JURGEN MULLER                                               OBSERVER / AGENCY   ");
    EXPECT_EQ(HeaderLine(obs, "REC # / TYPE / VERS"), std::string(60, ' ') + "REC # / TYPE / VERS ");
    EXPECT_EQ(HeaderLine(obs, "ANT # / TYPE"), std::string(60, ' ') + "ANT # / TYPE        ");

    r = RunProgram(folder, {"site.bin", "OBS:y.o", "NAV:y.n", "S", "--agency", "\xE6\x9D\xB1\xE4\xBA\xAC"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Observer Agency : \"\xE6\x9D\xB1\" has no ASCII form for a RINEX header.\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("y.o")));
}

// A given antenna height and offsets stand in ANTENNA: DELTA H/E/N, with the comment
// that says where they came from.
TEST_F(ScriptedRun, AntennaHeightAndOffsetsGivenOnTheCommandLine) {
    CopySample(folder, "site.bin");
    const RunResult r = RunProgram(
        folder, {"site.bin", "OBS:x.o", "NAV:x.n", "S", "--antenna-height", "1.5234", "--antenna-offset", "0.1,-0.25"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string obs = ReadAll(folder.File("x.o"));
    EXPECT_EQ(HeaderLine(obs, "ANTENNA: DELTA H/E/N"),
              "        1.5234        0.1000       -0.2500                  ANTENNA: DELTA H/E/N");
    EXPECT_NE(obs.find("ANTENNA DELTA H/E/N AS ENTERED, RECORDED HEIGHT NOT USED    COMMENT"), std::string::npos);
    EXPECT_EQ(RunProgram(folder, {"site.bin", "OBS:y.o", "NAV:y.n", "S", "--antenna-offset", "0.1"}).status, 2);
}

// --interval 30 on a 1 Hz file: exactly the epochs at multiples of 30 s, each with the
// full-rate file's values, and a loss of lock in a skipped epoch carried to the next
// written one.
TEST_F(ScriptedRun, IntervalKeepsTheFullRateValuesAndCarriesLossesOfLock) {
    for (const char* name : {"q1h.bin", "r1h.bin"}) {
        SCOPED_TRACE(name);
        Source(name);
        ASSERT_EQ(RunProgram(folder, {name, "OBS:full.o", "NAV:full.n", "S"}).status, 0);
        const RunResult r = RunProgram(folder, {"--interval", "30", name, "OBS:dec.o", "NAV:dec.n", "S"});
        ASSERT_EQ(r.status, 0) << r.err;
        const ObsFile full = ReadObs(folder.File("full.o"));
        const ObsFile dec = ReadObs(folder.File("dec.o"));
        ASSERT_EQ(full.epochs.size(), 3599u);  // 00:00:01 to 00:59:59 (the first epoch is never written)
        EXPECT_EQ(full.header.interval, 1.0);
        EXPECT_EQ(dec.header.interval, 30.0);
        EXPECT_EQ(HeaderLine(ReadAll(folder.File("dec.o")), "INTERVAL"),
                  "    30.0                                                    INTERVAL            ");
        ASSERT_EQ(dec.header.types, full.header.types);
        const std::vector<std::string>& types = full.header.types;
        std::set<size_t> phases;
        for (size_t k = 0; k < types.size(); ++k)
            if (types[k] == "L1" || types[k] == "L2") phases.insert(k);
        ASSERT_EQ(phases.size(), 2u);

        std::map<int, std::set<size_t>> pending;  // PRN -> phases that lost lock in skipped epochs
        size_t next = 0;
        int compared = 0, carried = 0, slipsWritten = 0, slipsSkipped = 0;
        for (const RinexObsEpoch& e : full.epochs) {
            const bool written = std::fmod(e.time.seconds, 30.0) == 0.0;
            if (!written) {
                for (const RinexSatObs& s : e.sats)
                    for (const size_t p : phases)
                        if (s.values[p].lli & 1) {  // a phase of 0.000 reads as absent: the digit decides
                            pending[s.prn].insert(p);
                            ++slipsSkipped;
                        }
                continue;
            }
            ASSERT_LT(next, dec.epochs.size());
            const RinexObsEpoch& d = dec.epochs[next++];
            ASSERT_EQ(d.time, e.time);
            EXPECT_EQ(d.flag, e.flag);
            ASSERT_EQ(d.sats.size(), e.sats.size());
            for (size_t i = 0; i < e.sats.size(); ++i) {
                const RinexSatObs& fs = e.sats[i];
                const RinexSatObs& ds = d.sats[i];
                ASSERT_EQ(ds.prn, fs.prn);
                for (size_t k = 0; k < types.size(); ++k) {
                    const RinexValue& a = fs.values[k];
                    const RinexValue& b = ds.values[k];
                    EXPECT_EQ(b.present, a.present);
                    EXPECT_EQ(b.value, a.value) << "PRN " << fs.prn << " " << types[k] << " at " << e.time.seconds;
                    EXPECT_EQ(b.ssi, a.ssi);
                    int lli = a.lli;
                    if (phases.count(k) && pending[fs.prn].erase(k)) {
                        if (!(lli & 1)) ++carried;
                        lli |= 1;
                    }
                    if (phases.count(k) && (a.lli & 1)) ++slipsWritten;
                    EXPECT_EQ(b.lli, lli) << "PRN " << fs.prn << " " << types[k] << " at " << e.time.seconds;
                }
                ++compared;
            }
        }
        EXPECT_EQ(next, dec.epochs.size());
        EXPECT_EQ(dec.epochs.size(), 119u);  // 00:00:30 to 00:59:30
        // Losses of lock fell on written and on skipped epochs; the skipped ones were carried.
        EXPECT_GT(slipsWritten, 0);
        EXPECT_GT(slipsSkipped, 0);
        EXPECT_GT(carried, 10);
        RecordProperty(std::string(name) + "_satellite_epochs_compared", compared);
        RecordProperty(std::string(name) + "_losses_of_lock_carried", carried);
    }
}

// INTERVAL is the spacing of the written epochs, also when the data are sparser than
// the asked interval or fall on its multiples only now and then.
TEST_F(ScriptedRun, HeaderIntervalIsTheSpacingOfTheWrittenEpochs) {
    Source("q14h.bin");  // every 30 s
    const struct {
        const char* asked;
        double spacing;
        const char* line;
    } cases[] = {{"10", 30, "    30.0"}, {"45", 90, "    90.0"}, {"60", 60, "    60.0"}, {"0.2", 30, "    30.0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        const RunResult r = RunProgram(folder, {"q14h.bin", "OBS:i.o", "NAV:i.n", "S", "--interval", c.asked,
                                                "--to", "2024-02-07 02:00:00"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(HeaderLine(ReadAll(folder.File("i.o")), "INTERVAL"),
                  std::string(c.line) + std::string(52, ' ') + "INTERVAL            ");
        const ObsFile f = ReadObs(folder.File("i.o"));
        ASSERT_GT(f.epochs.size(), 10u);
        for (size_t k = 1; k < f.epochs.size(); ++k)
            EXPECT_EQ(f.epochs[k].time.Difference(f.epochs[k - 1].time), c.spacing);
    }
}

// --from/--to on a 14-hour file: the epochs of the window, its times in the header,
// a fix for the first written epoch, and the ephemerides within 4 h of the window.
TEST_F(ScriptedRun, TimeWindowLimitsEpochsHeaderAndNavigation) {
    Source("q14h.bin");
    ASSERT_EQ(RunProgram(folder, {"q14h.bin", "OBS:full.o", "NAV:full.n", "S"}).status, 0);
    const RunResult r = RunProgram(folder, {"q14h.bin", "--from", "2024-02-07 06:30:00", "OBS:win.o", "NAV:win.n",
                                            "--to=2024-02-07 07:00:00", "--log", "S"});
    ASSERT_EQ(r.status, 0) << r.err;
    const GpsTime from(kWeek, kWednesday + 6.5 * 3600), to(kWeek, kWednesday + 7 * 3600);
    const std::string text = ReadAll(folder.File("win.o"));
    EXPECT_EQ(HeaderLine(text, "TIME OF FIRST OBS"),
              "  2024     2     7     6    30    0.000000      GPS         TIME OF FIRST OBS   ");
    EXPECT_EQ(HeaderLine(text, "TIME OF LAST OBS"),
              "  2024     2     7     7     0    0.000000      GPS         TIME OF LAST OBS    ");
    const ObsFile win = ReadObs(folder.File("win.o"));
    ASSERT_EQ(win.epochs.size(), 61u);
    for (size_t k = 0; k < win.epochs.size(); ++k) EXPECT_EQ(win.epochs[k].time, from.AddSeconds(30.0 * k));
    EXPECT_LT(DistanceToStation(win.header.position), 15.0);

    // Every written epoch has its fix in the ".pos" file, the first one included.
    const std::string pos = ReadAll(folder.File("win.o.pos"));
    std::istringstream lines(pos);
    std::string line;
    std::getline(lines, line);  // column titles
    size_t fixes = 0;
    while (std::getline(lines, line)) {
        double t = 0, xyz[3] = {0, 0, 0};
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf", &t, &xyz[0], &xyz[1], &xyz[2]), 4) << line;
        ASSERT_LT(fixes, win.epochs.size());
        EXPECT_EQ(t, win.epochs[fixes].time.seconds);
        EXPECT_LT(DistanceToStation(xyz), 15.0) << line;
        ++fixes;
    }
    EXPECT_EQ(fixes, win.epochs.size());

    // The ephemerides of the window file: those of the full file with toe from 02:30 to 11:00.
    const std::vector<GpsTime> all = Toes(folder.File("full.n")), kept = Toes(folder.File("win.n"));
    size_t inside = 0;
    for (const GpsTime& toe : all) inside += toe >= from.AddSeconds(-4 * 3600.0) && toe <= to.AddSeconds(4 * 3600.0);
    EXPECT_LT(inside, all.size());  // some lie farther away
    EXPECT_EQ(kept.size(), inside);
    for (const GpsTime& toe : kept) {
        EXPECT_GE(toe, from.AddSeconds(-4 * 3600.0));
        EXPECT_LE(toe, to.AddSeconds(4 * 3600.0));
    }
    RecordProperty("ephemerides_kept", static_cast<int>(kept.size()));
    RecordProperty("ephemerides_in_full_file", static_cast<int>(all.size()));
}

// An antenna height recorded before the window starts is the window file's header
// height, not lost with the events left out.
TEST_F(ScriptedRun, AnAntennaHeightSetBeforeTheWindowIsTheHeaders) {
    ASSERT_TRUE(Simulate(folder.File("ev.bin"), false, 600, 5, 0, true));
    ASSERT_EQ(RunProgram(folder, {"ev.bin", "OBS:full.o", "NAV:full.n", "S"}).status, 0);
    const RunResult r = RunProgram(folder, {"ev.bin", "OBS:win.o", "NAV:win.n", "S", "--from", "2024-02-07 00:05:00"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The full file: 1.543 m at the start, 1.668 m from 00:04:35 on.
    const std::string full = ReadAll(folder.File("full.o"));
    EXPECT_EQ(HeaderLine(full, "ANTENNA: DELTA H/E/N"),
              "        1.5430        0.0000        0.0000                  ANTENNA: DELTA H/E/N");
    const size_t change = full.find("        1.6680        0.0000        0.0000                  ANTENNA: DELTA H/E/N");
    ASSERT_NE(change, std::string::npos);
    EXPECT_LT(change, full.find(" 24  2  7  0  4 40.0000000  0"));
    EXPECT_GT(change, full.find(" 24  2  7  0  4 30.0000000  0"));
    const std::string win = ReadAll(folder.File("win.o"));
    EXPECT_EQ(HeaderLine(win, "ANTENNA: DELTA H/E/N"),
              "        1.6680        0.0000        0.0000                  ANTENNA: DELTA H/E/N");
    EXPECT_EQ(win.find("NEW ANTENNA HEIGHT"), std::string::npos);
}

// Run settings on the command line give the very file the same settings in the
// profile give, and leave the profile's own settings as they were.
TEST_F(ScriptedRun, RunSettingsGiveTheFilesOfTheSameProfileSettings) {
    Source("r1h.bin");
    const std::vector<std::string> environment = {"SOURCE_DATE_EPOCH=1700000000"};
    const struct {
        std::vector<std::string> options;
        int profile[4];  // Tx, SmouthedDopplers, SmouthedPseudoranges, LogFile: given to the options' run
        int same[4];     // the profile settings of the options
        const char* comment;
    } cases[] = {{{"--tx", "75", "--doppler", "smoothed", "--smoothed-codes", "--log"},
                  {0, 0, 0, 0},
                  {75, 1, 1, 1},
                  "( Tr = Ts + 75 ms, using smoothed dopplers )"},
                 {{"--tx=68", "--doppler=instantaneous", "--no-smoothed-codes", "--no-log"},
                  {75, 1, 1, 1},
                  {68, 0, 0, 0},
                  "( Tr = Ts + 68 ms, using instantaneous dopplers )"}};
    const char* keys[4] = {"Tx", "SmouthedDopplers", "SmouthedPseudoranges", "LogFile"};
    auto writeAdvanced = [&](const int values[4]) {
        Profile p(ProfilePath(folder));
        for (int k = 0; k < 4; ++k) p.WriteInt("Advanced", keys[k], values[k]);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comment);
        writeAdvanced(c.profile);
        std::vector<std::string> arguments = c.options;
        for (const char* p : {"r1h.bin", "OBS:opt.o", "NAV:opt.n", "S"}) arguments.push_back(p);
        RunResult r = RunProgram(folder, arguments, environment);
        ASSERT_EQ(r.status, 0) << r.err;
        {
            const Profile stored(ProfilePath(folder));
            for (int k = 0; k < 4; ++k) EXPECT_EQ(stored.GetInt("Advanced", keys[k], -1), c.profile[k]) << keys[k];
        }
        writeAdvanced(c.same);
        r = RunProgram(folder, {"r1h.bin", "OBS:pro.o", "NAV:pro.n", "S"}, environment);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string obs = ReadAll(folder.File("opt.o"));
        std::string comment = c.comment;
        comment.resize(60, ' ');
        EXPECT_EQ(HeaderLine(obs, "COMMENT").substr(0, 60), comment);
        EXPECT_TRUE(obs == ReadAll(folder.File("pro.o")));
        EXPECT_TRUE(ReadAll(folder.File("opt.n")) == ReadAll(folder.File("pro.n")));
        const bool logs = c.same[3] != 0;
        EXPECT_EQ(std::filesystem::exists(folder.File("opt.o.pos")), logs);
        if (logs) {
            EXPECT_TRUE(ReadAll(folder.File("opt.o.pos")) == ReadAll(folder.File("pro.o.pos")));
        }
        for (const char* f : {"opt.o", "opt.n", "pro.o", "pro.n", "opt.o.log", "opt.o.pos", "pro.o.log", "pro.o.pos"})
            std::filesystem::remove(folder.File(f));
    }
}

// --date-from-data: automatic names carry the day and year of the first epoch, not
// those of a modification date that copying changed.
TEST_F(ScriptedRun, DateFromDataNamesTheOutputsAfterTheFirstEpoch) {
    {
        Profile p(ProfilePath(folder));
        p.WriteInt("Defaults", "Auto", 1);
    }
    Source("q1h.bin");
    SetModifiedDay(folder.File("q1h.bin"), 2025, 3, 15);  // day 074 of 2025
    std::filesystem::create_directory(folder.File("out"));
    RunResult r = RunProgram(folder, {"q1h.bin", "OBS:out", "NAV:out", "S", "--marker", "algo"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/ALGO0740.25O")));
    r = RunProgram(folder, {"q1h.bin", "--date-from-data", "OBS:out", "NAV:out", "S", "--marker", "algo"});
    ASSERT_EQ(r.status, 0) << r.err;
    // 7 February 2024, the recording's day, is day 038.
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/ALGO0380.24O")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/ALGO0380.24N")));
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Observation file: " + folder.File("out/ALGO0380.24O"));
}

// RINEX 3 with automatic naming: long names from the marker, the country and the
// data written (start, period, interval), whatever the time window keeps.
TEST_F(ScriptedRun, Rinex3LongNamesDescribeTheWrittenData) {
    {
        Profile p(ProfilePath(folder));
        p.WriteInt("Defaults", "Auto", 1);
    }
    Source("q1h.bin");
    std::filesystem::create_directory(folder.File("out"));
    const struct {
        std::vector<std::string> options;
        const char* observation;
        const char* navigation;
    } cases[] = {
        {{}, "ALGO00XXX_R_20240380000_01H_01S_GO.rnx", "ALGO00XXX_R_20240380000_01H_GN.rnx"},
        {{"--country", "jpn", "--interval", "30", "--from", "2024-02-07 00:20:00", "--to", "2024-02-07 00:30:00"},
         "ALGO00JPN_R_20240380020_15M_30S_GO.rnx", "ALGO00JPN_R_20240380020_15M_GN.rnx"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"q1h.bin", "--rinex", "3", "--marker", "algo", "OBS:out", "NAV:out", "S"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const RunResult r = RunProgram(folder, arguments);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string obs = ReadAll(folder.File(std::string("out/") + c.observation));
        EXPECT_EQ(obs.substr(0, 60), "     3.04           OBSERVATION DATA    G: GPS              ");
        EXPECT_EQ(ReadAll(folder.File(std::string("out/") + c.navigation)).substr(0, 60),
                  "     3.04           N: GNSS NAV DATA    G: GPS              ");
    }
}

// The fields of a --json object on standard output, one "key=value" line each, as
// Python's json module reads them; empty when it is no single JSON object.
std::string JsonFields(const ScopedTempDir& folder, const std::string& stdoutText) {
    if (Capture("command -v python3").empty()) return "no python3";
    const std::string path = folder.File("out.json");
    std::ofstream(path) << stdoutText;
    const std::string script =
        "import json,sys\n"
        "d=json.load(open(sys.argv[1]))\n"
        "keys=['source','observation','navigation','log','pos','status','message','epochs','first','last',"
        "'satellites','position','quality']\n"
        "assert sorted(d)==sorted(keys), sorted(d)\n"
        "for k in keys:\n"
        "  v=d[k]\n"
        "  if k=='satellites': v=' '.join(str(p) for p in v)\n"
        "  if k=='quality' and v is not None: v=v['completeness']\n"
        "  if k=='position' and v is not None: v=' '.join(repr(float(v[c])) for c in "
        "['x','y','z','latitude','longitude','height'])\n"
        "  print(k+'='+('null' if v is None else str(v)))\n";
    std::ofstream(folder.File("fields.py")) << script;
    return Capture("python3 " + folder.File("fields.py") + " " + path + " 2>&1");
}

std::map<std::string, std::string> ParseFields(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (const size_t eq = line.find('='); eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    return fields;
}

// --json: one JSON object alone on standard output, its numbers those of the files.
TEST_F(ScriptedRun, JsonSummaryMatchesTheWrittenFiles) {
    Source("q1h.bin");
    const RunResult r = RunProgram(folder, {"--json", "q1h.bin", "--from", "2024-02-07 00:10:00", "OBS:j.o", "NAV:j.n",
                                            "--interval", "15", "--log", "S"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string raw = JsonFields(folder, r.out);
    if (raw == "no python3") GTEST_SKIP() << "python3 is not installed";
    std::map<std::string, std::string> f = ParseFields(raw);
    ASSERT_EQ(f.size(), 13u) << raw << "\n" << r.out;
    EXPECT_EQ(f["quality"], "null");  // without --qc
    EXPECT_EQ(f["source"], "q1h.bin");
    EXPECT_EQ(f["observation"], "j.o");
    EXPECT_EQ(f["navigation"], "j.n");
    EXPECT_EQ(f["log"], "j.o.log");
    EXPECT_EQ(f["pos"], "j.o.pos");
    EXPECT_EQ(f["status"], "ok");
    EXPECT_EQ(f["message"], "null");
    // 00:10:00 to 00:59:45 every 15 s.
    const ObsFile obs = ReadObs(folder.File("j.o"));
    EXPECT_EQ(f["epochs"], "200");
    EXPECT_EQ(std::to_string(obs.epochs.size()), f["epochs"]);
    EXPECT_EQ(f["first"], "2024-02-07 00:10:00.0000000");
    EXPECT_EQ(f["last"], "2024-02-07 00:59:45.0000000");
    ASSERT_FALSE(obs.epochs.empty());
    EXPECT_EQ(obs.epochs.front().time, GpsTime(kWeek, kWednesday + 600));
    EXPECT_EQ(obs.epochs.back().time, GpsTime(kWeek, kWednesday + 3585));
    std::set<int> prns;
    for (const RinexObsEpoch& e : obs.epochs)
        for (const RinexSatObs& s : e.sats) prns.insert(s.prn);
    std::string list;
    for (const int prn : prns) list += (list.empty() ? "" : " ") + std::to_string(prn);
    EXPECT_EQ(f["satellites"], list);
    double p[6];
    ASSERT_EQ(std::sscanf(f["position"].c_str(), "%lf %lf %lf %lf %lf %lf", &p[0], &p[1], &p[2], &p[3], &p[4], &p[5]),
              6)
        << f["position"];
    EXPECT_LT(DistanceToStation(p), 15.0);
    // The simulator's station: 35.16087 N, 139.61384 E, 70 m above the ellipsoid.
    EXPECT_NEAR(p[3], 35.16087, 1e-4);
    EXPECT_NEAR(p[4], 139.61384, 1e-4);
    EXPECT_NEAR(p[5], 70.2, 15.0);

    // A failed run: status, message naming the refused path and exit status 1,
    // still one object alone; a file of before at an output's path is not its output.
    std::ofstream(folder.File("m.o")) << "of before\n";
    const RunResult failed = RunProgram(folder, {"missing.bin", "OBS:m.o", "NAV:m.n", "S", "--json"});
    EXPECT_EQ(failed.status, 1);
    f = ParseFields(JsonFields(folder, failed.out));
    ASSERT_EQ(f.size(), 13u) << failed.out;
    EXPECT_EQ(f["status"], "failed");
    EXPECT_EQ(f["message"], "Please enter a valid file name ! (source path missing.bin: No such file or directory)");
    for (const char* key : {"observation", "navigation", "log", "pos", "first", "last", "position"})
        EXPECT_EQ(f[key], "null") << key;
    EXPECT_EQ(f["epochs"], "0");
    EXPECT_EQ(f["satellites"], "");
}

// RTKLIB positions every epoch of a decimated and windowed file on the station.
TEST_F(ScriptedRun, RtklibPositionsEveryEpochOfADecimatedWindow) {
    if (!std::filesystem::exists("/usr/bin/rnx2rtkp")) GTEST_SKIP() << "rnx2rtkp is not installed";
    Source("q1h.bin");
    const RunResult r = RunProgram(folder, {"q1h.bin", "OBS:w.o", "NAV:w.n", "S", "--from", "2024-02-07 00:10:00",
                                            "--to", "2024-02-07 00:40:00", "--interval", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    const size_t epochs = ReadObs(folder.File("w.o")).epochs.size();
    EXPECT_EQ(epochs, 181u);  // 00:10:00 to 00:40:00 every 10 s
    std::ofstream(folder.File("spp.conf")) << "pos1-posmode=single\npos1-ionoopt=brdc\npos1-tropopt=saas\n"
                                              "pos1-elmask=10\n";
    const std::string out = Capture("/usr/bin/rnx2rtkp -k " + folder.File("spp.conf") + " -e -p 0 " +
                                    folder.File("w.o") + " " + folder.File("w.n") + " 2>/dev/null");
    std::istringstream lines(out);
    std::string line;
    size_t solutions = 0, near = 0;
    while (std::getline(lines, line)) {
        char date[32], time[32];
        double xyz[3];
        if (line[0] == '%' || std::sscanf(line.c_str(), "%31s %31s %lf %lf %lf", date, time, &xyz[0], &xyz[1],
                                          &xyz[2]) != 5)
            continue;
        ++solutions;
        near += DistanceToStation(xyz) <= 15.0;
    }
    EXPECT_EQ(solutions, epochs);
    EXPECT_EQ(near, epochs);
    RecordProperty("rtklib_solutions", static_cast<int>(solutions));
}

}  // namespace
