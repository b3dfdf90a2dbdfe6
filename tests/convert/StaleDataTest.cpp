// Recordings with breaks: an ephemeris is used only within four hours of its toe,
// and the receiver clock is not carried across a break longer than five minutes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// The comma-separated bytes of a simulated dual-frequency recording of one epoch
// kind, 60 epochs 10 s apart from start; without its ephemeris records when asked.
std::string Segment(const GpsTime& start, bool satelliteDated, bool ephemerides, Truth& truth) {
    SynthRequest request;
    request.layout = RawLayout::AsciiCsv;
    request.synth.satelliteDated = satelliteDated;
    request.synth.receiverDated = !satelliteDated;
    request.synth.start = start;
    request.synth.duration = 600;
    request.synth.interval = 10;
    request.synth.dual = true;
    std::string bytes;
    SimulationOutput output;
    output.memory = &bytes;
    output.truth = &truth;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(request, output, summary, error)) << error;
    if (ephemerides) return bytes;
    // Records run from STX to ETX; the letter of an ephemeris record follows "00$".
    std::string kept;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find('\x03', at);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        const std::string record = bytes.substr(at, next - at);
        if (!(record.size() > 4 && record[0] == '\x02' && record[4] == 'E')) kept += record;
        at = next;
    }
    EXPECT_LT(kept.size(), bytes.size());
    return kept;
}

// Converts the raw bytes as dir/name (ASCII, log files on); the request is returned.
ConversionRequest Convert(const ScratchDir& dir, const std::string& name, const std::string& bytes,
                          ConversionResult& r) {
    std::FILE* f = std::fopen(dir.File(name).c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    ConversionRequest request = Request(dir, dir.File(name));
    request.formatIndex = kRawAscii;
    request.recordingDate = NominalStart().ToDays();
    request.observationPath = dir.File(name + ".O");
    request.navigationPath = dir.File(name + ".N");
    request.logFile = true;
    ConversionState state;
    ScriptedUi ui;
    r = RunConversion(request, state, ui);
    EXPECT_TRUE(r.success) << (ui.Messages().empty() ? "" : ui.Messages()[0].text);
    return request;
}

// The receiver clock offsets (s) of the ".log" lines (column "Tr0").
std::vector<double> LoggedClocks(const std::string& logPath) {
    const std::vector<std::string> lines = Lines(ReadAll(logPath));
    std::vector<double> clocks;
    if (lines.empty()) return clocks;
    int column = 0;
    for (size_t at = 0, next; (next = lines[0].find('\t', at)) != std::string::npos && lines[0].compare(at, 3, "Tr0") != 0;
         at = next + 1)
        ++column;
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t at = 0;
        for (int k = 0; k < column && at != std::string::npos; ++k) at = lines[i].find('\t', at) + 1;
        clocks.push_back(std::atof(lines[i].c_str() + at));
    }
    return clocks;
}

double Distance(double x, double y, double z, const double station[3]) {
    return std::sqrt((x - station[0]) * (x - station[0]) + (y - station[1]) * (y - station[1]) +
                     (z - station[2]) * (z - station[2]));
}

}  // namespace

TEST(StaleData, NoPositionFromFarEphemeridesAndNoClockAcrossLongBreaks) {
    const struct {
        const char* name;
        double breakHours;  // from the first segment's start to the second's
        bool secondEphemerides;
        bool satelliteDated;
        int secondPositioned;  // epochs of the second segment with a fix of their own
    } cases[] = {
        {"6 h later, no ephemerides, satellite-dated", 6, false, true, 0},
        {"6 h later, no ephemerides, receiver-dated", 6, false, false, 0},
        {"a week later, no ephemerides", 168, false, true, 0},
        {"a week later with its ephemerides", 168, true, true, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const GpsTime start = NominalStart();
        Truth first, second;
        const std::string head = Segment(start, c.satelliteDated, true, first);
        const std::string tail = Segment(start.AddSeconds(c.breakHours * 3600.0), c.satelliteDated,
                                         c.secondEphemerides, second);
        ConversionResult alone, joined;
        Convert(dir, "HEAD.CSV", head, alone);
        const ConversionRequest request = Convert(dir, "JOIN.CSV", head + tail, joined);
        EXPECT_EQ(joined.epochsPositioned - alone.epochsPositioned, c.secondPositioned);

        // Every ".pos" line is a real fix near the station.
        const std::vector<std::string> pos = Lines(ReadAll(request.observationPath + ".pos"));
        for (size_t i = 1; i < pos.size(); ++i) {
            double t, x, y, z, clock;
            ASSERT_EQ(std::sscanf(pos[i].c_str(), "%lf\t%lf\t%lf\t%lf\t%lf", &t, &x, &y, &z, &clock), 5);
            EXPECT_LT(Distance(x, y, z, first.station), 15.0) << pos[i];
        }
        // Satellite-dated epochs are written only with a receiver clock that a fix
        // gave (or carried from one a short time before): it stays the simulated
        // one, 2.5e-4 s at each segment's start drifting 2e-9 s/s. Receiver-dated
        // epochs are written whatever the position.
        if (c.satelliteDated) {
            for (const double clock : LoggedClocks(request.observationPath + ".log"))
                ASSERT_NEAR(clock, 2.5e-4, 2e-6);
            EXPECT_EQ(joined.epochsWritten, alone.epochsWritten + c.secondPositioned);
        } else {
            EXPECT_EQ(joined.epochsWritten, alone.epochsWritten + 60);
        }
    }
}