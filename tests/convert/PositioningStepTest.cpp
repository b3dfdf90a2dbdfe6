// The positioning step of the observation pass: the receiver clock offset used for
// satellite-dated epochs whose refinement fails is extrapolated from the last
// solution with the drift of the last two solutions, while the ".pos" line repeats
// that last solution.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

constexpr double kClockOffset = 2.5e-4;  // s at the start
constexpr double kClockDrift = 1e-6;     // s/s

// Satellite-dated epochs every 10 s from start + offset (s) for duration s, of at
// most maxSatellites satellites, the receiver clock continuing the one of the start;
// the raw bytes are appended to raw.
bool AppendSegment(const GpsTime& start, double offset, double duration, int maxSatellites,
                   const std::vector<Ephemeris>& orbits, std::string& raw) {
    SynthRequest request;
    request.synth.receiverDated = false;
    request.synth.satelliteDated = true;
    request.synth.start = start.AddSeconds(offset);
    request.synth.duration = duration;
    request.synth.interval = 10;
    request.synth.maxSatellites = maxSatellites;
    request.synth.clockOffset = kClockOffset + kClockDrift * offset;
    request.synth.clockDrift = kClockDrift;
    request.useNavigation = true;
    request.navigation = orbits;
    SimulationOutput output;
    std::string bytes;
    output.memory = &bytes;
    SynthSummary summary;
    std::string error;
    if (!RunSynth(request, output, summary, error)) {
        ADD_FAILURE() << error;
        return false;
    }
    raw += bytes;
    return true;
}

// Tab-separated fields of a line.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
    return out;
}

}  // namespace

TEST(PositioningStep, ClockOffsetExtrapolatedWhileTheRefinementFails) {
    const GpsTime start = NominalStart();  // 259200 s of week 2300
    NominalConstellation constellation(start);
    std::vector<Ephemeris> orbits;
    for (int prn : NominalConstellation::Prns()) orbits.push_back(constellation.EphemerisAt(prn, start));
    // Epochs at 0, 10, 20 s with every satellite in view, at 30 and 40 s with three,
    // at 50 and 60 s with every satellite again. A solution needs four satellites in
    // the current and the previous epoch: none at 30, 40 and 50 s.
    std::string raw;
    ASSERT_TRUE(AppendSegment(start, 0, 30, 12, orbits, raw));
    ASSERT_TRUE(AppendSegment(start, 30, 20, 3, orbits, raw));
    ASSERT_TRUE(AppendSegment(start, 50, 20, 12, orbits, raw));
    ScratchDir dir;
    {
        std::ofstream out(dir.File("S.RAW"), std::ios::binary);
        out << raw;
    }
    ConversionRequest request = Request(dir, dir.File("S.RAW"));
    request.recordingDate = start.ToDays();
    request.logFile = true;
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    ASSERT_TRUE(r.success) << (ui.Messages().empty() ? "" : ui.Messages()[0].text);
    EXPECT_EQ(r.epochsWritten, 6);     // 10 s to 60 s
    EXPECT_EQ(r.epochsPositioned, 3);  // 10, 20 and 60 s

    // Receiver clock offset used for each epoch (Tr0, column 10 of the short lines), by
    // satellite time; the same on every line of an epoch.
    std::map<double, double> used;
    const std::vector<std::string> log = Lines(ReadAll(request.observationPath + ".log"));
    ASSERT_GT(log.size(), 1u);
    for (size_t i = 1; i < log.size(); ++i) {
        const std::vector<std::string> f = Fields(log[i]);
        ASSERT_EQ(f.size(), 19u) << log[i];
        used[std::atof(f[0].c_str())] = std::atof(f[9].c_str());
    }
    ASSERT_EQ(used.size(), 6u);
    // The receiver clock reads 250 us + 1 us/s at reception, about 75 ms after the
    // satellite time; solutions and extrapolations agree with it to far better than
    // the 10 us the clock moves between two epochs.
    for (double t : {10.0, 20.0, 30.0, 40.0, 50.0, 60.0})
        EXPECT_NEAR(used[259200.0 + t], 2.5e-4 + 1e-6 * (t + 0.075), 2e-7) << "epoch at " << t << " s";

    // ".pos": the solution of 20 s stays on the lines of 30, 40 and 50 s.
    const std::vector<std::string> pos = Lines(ReadAll(request.observationPath + ".pos"));
    ASSERT_EQ(pos.size(), 7u);
    EXPECT_EQ(Fields(pos[2])[0], "259220.0");
    for (size_t i = 3; i <= 5; ++i) EXPECT_EQ(pos[i], pos[2]) << i;
    EXPECT_EQ(Fields(pos[6])[0], "259260.0");
}
