// The permanent station end to end: the qern2rinex program fed by rawsim stream
// over TCP, a pseudo-terminal, a growing file and standard input, killed and
// restarted, its connection cut; the hours it publishes, joined, must be the
// whole recording's conversion.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "tests/platform/TempDir.h"
#include "tests/support/CompactRinexReader.h"
#include "tools/rawsim/Simulation.h"

namespace {

namespace fs = std::filesystem;
const std::string kProgram = std::string(QERN_BINARY_DIR) + "/app/main/qern2rinex";
const std::string kRawsim = std::string(QERN_BINARY_DIR) + "/tools/rawsim/rawsim";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The observation records of a RINEX file: everything after its header.
std::string Body(const std::string& path) {
    const std::string text = ReadText(path);
    const size_t end = text.find("END OF HEADER");
    return end == std::string::npos ? "" : text.substr(text.find('\n', end) + 1);
}

long EpochLines(const std::string& body) {
    static const std::regex epoch(R"(^ \d\d [ \d]\d [ \d]\d [ \d]\d [ \d]\d [ \d]\d\.\d{7}  0)",
                                  std::regex::multiline);
    return std::distance(std::sregex_iterator(body.begin(), body.end(), epoch), std::sregex_iterator());
}

// The recordings: 3 h 5 min at 1 Hz from Tuesday 22:00 (GPS), dual frequency,
// losses of lock, receiver-dated (or satellite-dated), and their whole-file
// conversions.
struct Recording {
    ScopedTempDir dir;
    std::string raw;
    std::string body;
};

const Recording& TheRecording(bool satelliteDated = false) {
    static Recording* made[2] = {};
    Recording*& rec = made[satelliteDated ? 1 : 0];
    if (rec) return *rec;
    rec = new Recording;
    SynthRequest synth;
    synth.synth.start = GpsTime(2300, 259200 - 7200);
    synth.synth.duration = 3 * 3600 + 300;
    synth.synth.dual = true;
    synth.synth.slipEvery = 997;
    synth.synth.receiverDated = !satelliteDated;
    synth.synth.satelliteDated = satelliteDated;
    rec->raw = rec->dir.File("day.bin");
    SynthSummary summary;
    std::string error;
    SimulationOutput output;
    output.rawPath = rec->raw;
    if (!RunSynth(synth, output, summary, error)) ADD_FAILURE() << error;
    ConversionRequest request;
    request.sourcePath = rec->raw;
    request.recordingDate = std::floor(synth.synth.start.ToDays());
    request.observationPath = rec->dir.File("whole.obs");
    request.navigationPath = rec->dir.File("whole.nav");
    request.tx = 0.075;
    request.silent = true;
    ConversionState state;
    HeadlessUi ui(nullptr);
    if (!RunConversion(request, state, ui).success) ADD_FAILURE() << "whole-file conversion failed";
    rec->body = Body(request.observationPath);
    return *rec;
}

// A child process running argv, its standard output and error to log.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& log) {
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(122);
    }
    return child;
}

int Stop(pid_t child, int signal) {
    if (signal) kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

template <class Predicate>
bool WaitFor(Predicate done, double seconds = 60) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

long PeriodsWritten(const std::string& dir) {
    const std::string status = ReadText(dir + "/status.json");
    const size_t at = status.find("\"periodsWritten\":");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 17);
}

class StationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(TheRecording().body.empty());
        station_ = dir_.File("station");
        fs::create_directories(station_);
        std::ofstream(station_ + "/station.ini") << "[Station]\nMarkerName=SITE\nDaily=1\n";
    }
    pid_t StartStation(const std::string& source) {
        return Spawn({kProgram, "--station", station_, source}, dir_.File("station.log"));
    }
    pid_t StartRawsim(std::vector<std::string> options) {
        options.insert(options.begin(), {kRawsim, "stream", TheRecording().raw});
        return Spawn(options, dir_.File("rawsim.log"));
    }
    std::string Ready() {
        const std::string path = dir_.File("ready");
        EXPECT_TRUE(WaitFor([&] { return fs::exists(path); }, 10));
        std::string text = ReadText(path);
        return text.substr(0, text.find('\n'));
    }

    // The hours (22, 23 and 00 closed by the records after them; with all, 01 as
    // well), joined, are the whole conversion; each has its navigation file, a
    // position and a quality report; the day before midnight is its two hours.
    void ExpectArchive(bool all, bool satelliteDated = false) {
        const std::string log = ReadText(dir_.File("station.log"));
        SCOPED_TRACE(log);
        const std::vector<std::string> hours = {"site037w.24o", "site037x.24o", "site038a.24o", "site038b.24o"};
        std::string joined;
        for (size_t h = 0; h < (all ? 4u : 3u); ++h) {
            const std::string obs = station_ + "/rinex/" + hours[h];
            SCOPED_TRACE(obs);
            joined += Body(obs);
            std::string nav = obs;
            nav.back() = 'n';
            EXPECT_NE(Body(nav), "");
            EXPECT_TRUE(fs::exists(station_ + "/qc/" + hours[h] + ".qc"));
            EXPECT_TRUE(fs::exists(station_ + "/raw/" + hours[h].substr(0, 11) + ".raw"));
            const std::string text = ReadText(obs);
            const size_t approx = text.find("APPROX POSITION XYZ");
            ASSERT_NE(approx, std::string::npos);
            EXPECT_GT(std::fabs(std::atof(text.substr(approx - 60, 14).c_str())), 1e6);
        }
        const std::string& whole = TheRecording(satelliteDated).body;
        EXPECT_EQ(EpochLines(joined), all ? 3 * 3600 + 299 : 3 * 3600 - 1);
        EXPECT_TRUE(whole.compare(0, joined.size(), joined) == 0) << "the hours differ from the whole conversion";
        if (all) {
            EXPECT_EQ(joined.size(), whole.size());
        }
        EXPECT_EQ(Body(station_ + "/rinex/site0370.24o"),
                  Body(station_ + "/rinex/" + hours[0]) + Body(station_ + "/rinex/" + hours[1]));
    }

    ScopedTempDir dir_;
    std::string station_;
};

TEST_F(StationTest, TcpWithCutConnections) {
    const pid_t sim = StartRawsim({"--tcp", "0", "--ready", dir_.File("ready"), "--cut-every", "1500", "--resend",
                                   "120", "--linger", "60"});
    const pid_t station = StartStation("tcp:127.0.0.1:" + Ready());
    EXPECT_TRUE(WaitFor([&] { return PeriodsWritten(station_) >= 4; }));
    EXPECT_EQ(Stop(station, SIGTERM), 0);
    Stop(sim, SIGTERM);
    ExpectArchive(false);
    EXPECT_NE(ReadText(dir_.File("rawsim.log")).find("cut at record"), std::string::npos);
    // Each period is published at its end plus the latency by the stream's time.
    const std::string log = ReadText(dir_.File("station.log"));
    static const std::regex onTime("published .*closed 30 s after its end");
    EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), onTime), std::sregex_iterator()), 4);
}

TEST_F(StationTest, SerialLineOfAPseudoTerminal) {
    const pid_t sim = StartRawsim({"--pty", dir_.File("tty"), "--ready", dir_.File("ready"), "--linger", "60"});
    const pid_t station = StartStation("serial:" + Ready() + ":115200");
    EXPECT_TRUE(WaitFor([&] { return PeriodsWritten(station_) >= 4; }));
    EXPECT_EQ(Stop(station, SIGTERM), 0);
    Stop(sim, SIGTERM);
    ExpectArchive(false);
}

TEST_F(StationTest, StandardInputEndsEveryPeriodOfEitherRawKind) {
    for (const bool satelliteDated : {false, true}) {
        SCOPED_TRACE(satelliteDated ? "R" : "Q");
        fs::remove_all(station_);
        fs::create_directories(station_);
        std::ofstream(station_ + "/station.ini")
            << "[Station]\nMarkerName=SITE\nDaily=1\nRawKind=" << (satelliteDated ? "R" : "Q") << "\n";
        const pid_t pipeline = Spawn({"/bin/sh", "-c",
                                      "'" + kRawsim + "' stream '" + TheRecording(satelliteDated).raw + "' | '" +
                                          kProgram + "' --station '" + station_ + "' -"},
                                     dir_.File("station.log"));
        EXPECT_EQ(Stop(pipeline, 0), 0);
        ExpectArchive(true, satelliteDated);
    }
}

// Compact RINEX and gzip from the station's configuration: the hour restores to the
// plain one, the navigation file gunzips to it.
TEST_F(StationTest, CompactAndGzippedHoursRestoreToThePlainOnes) {
    const auto run = [&](const char* settings) {
        fs::remove_all(station_);
        fs::create_directories(station_);
        std::ofstream(station_ + "/station.ini") << "[Station]\nMarkerName=SITE\n" << settings;
        const pid_t pipeline = Spawn({"/bin/sh", "-c",
                                      "'" + kRawsim + "' stream '" + TheRecording().raw + "' | '" + kProgram +
                                          "' --station '" + station_ + "' -"},
                                     dir_.File("station.log"));
        EXPECT_EQ(Stop(pipeline, 0), 0);
    };
    const auto body = [](const std::string& text) { return text.substr(text.find("END OF HEADER")); };
    run("");
    const std::string plain = crxread::WithoutTrailingBlanks(ReadText(station_ + "/rinex/site037x.24o"));
    const std::string navigation = ReadText(station_ + "/rinex/site037x.24n");
    run("Hatanaka=1\nGzip=1\n");
    std::string crx, restored, error, nav;
    ASSERT_TRUE(crxread::Gunzip(ReadText(station_ + "/rinex/site037x.24d.gz"), crx));
    ASSERT_TRUE(crxread::Reader().Restore(crx, restored, error)) << error;
    EXPECT_EQ(body(restored), body(plain));
    ASSERT_TRUE(crxread::Gunzip(ReadText(station_ + "/rinex/site037x.24n.gz"), nav));
    EXPECT_EQ(body(nav), body(navigation));
}

// A growing file rotated every 4000 s, the station killed at random moments and
// started again; also a TCP stream sent again after each kill.
TEST_F(StationTest, KilledAndRestartedTenTimes) {
    for (const bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "tcp" : "file");
        if (tcp) {
            fs::remove_all(station_ + "/raw");
            fs::remove_all(station_ + "/rinex");
            fs::remove_all(station_ + "/qc");
            fs::remove_all(station_ + "/state");
            fs::remove(dir_.File("ready"));
        }
        const std::string input = dir_.File("logger.bin");
        const pid_t sim = tcp ? StartRawsim({"--tcp", "0", "--ready", dir_.File("ready"), "--speed", "1500",
                                             "--resend", "7200", "--linger", "60"})
                              : StartRawsim({"--file", input, "--speed", "1500", "--cut-every", "4000"});
        const std::string source = tcp ? "tcp:127.0.0.1:" + Ready() : input;
        std::mt19937 random(tcp ? 7 : 11);
        std::uniform_int_distribution<int> pause(200, 1200);
        for (int kill = 0; kill < 10; ++kill) {
            const pid_t station = StartStation(source);
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            Stop(station, SIGKILL);
        }
        const pid_t station = StartStation(source);
        EXPECT_TRUE(WaitFor([&] { return PeriodsWritten(station_) >= 4; }));
        EXPECT_EQ(Stop(station, SIGTERM), 0);
        Stop(sim, SIGTERM);
        ExpectArchive(false);
    }
}

}  // namespace
