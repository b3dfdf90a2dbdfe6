// The helpers of the tests of many files: dated raw files, simulated recordings
// and folder listings, beside the program runner.
#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/ProgramRunner.h"
#include "tools/rawsim/Simulation.h"

namespace programrun {

using namespace programtest;

// Dates a file 7 February 2024 (day 038) plus days, at noon local time: its Recorded On.
inline void SetFileDate(const std::string& path, int days = 0) { SetModifiedDay(path, 2024, 2, 7 + days); }

// Writes bytes to path (folders made) dated as SetFileDate does; returns path.
inline std::string WriteDated(const std::string& path, const std::string& bytes, int days = 0) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    SetFileDate(path, days);
    return path;
}

// The names of the files in folder, sorted.
inline std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    if (std::filesystem::is_directory(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The bytes of a simulated recording of the nominal constellation: minutes long
// from start at 5 s, receiver-dated epochs (and satellite-dated ones with both),
// dual frequency.
inline std::string SimulatedRecording(RawLayout layout, const GpsTime& start, double minutes, bool both = true) {
    SynthRequest request;
    request.layout = layout;
    request.synth.satelliteDated = both;
    request.synth.start = start;
    request.synth.duration = minutes * 60.0;
    request.synth.interval = 5.0;
    request.synth.dual = true;
    SimulationOutput output;
    std::string bytes;
    output.memory = &bytes;
    SynthSummary summary;
    std::string error;
    RunSynth(request, output, summary, error);
    return bytes;
}

}  // namespace programrun
