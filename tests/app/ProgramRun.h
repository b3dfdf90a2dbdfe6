// Runs the built qern2rinex program as a batch job would: the helpers of the
// tests that go through the executable.
#pragma once
#include <fcntl.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/TempDir.h"
#include "tools/rawsim/Simulation.h"

namespace programrun {

inline const std::string kProgram = std::string(QERN_BINARY_DIR) + "/app/main/qern2rinex";

struct RunResult {
    int status = -1;  // exit status, -1 when the program did not end normally
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program in folder with arguments, its configuration folder inside
// folder, standard input empty (nobody to answer), and environment variables
// "NAME=value" added.
inline RunResult RunProgram(const ScopedTempDir& folder, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {}) {
    const std::string outPath = folder.File(".stdout");
    const std::string errPath = folder.File(".stderr");
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.Path().c_str()) != 0) _exit(120);
        setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
        for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0) _exit(121);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(kProgram.c_str()));
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(kProgram.c_str(), argv.data());
        _exit(122);
    }
    RunResult r;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    r.out = ReadAll(outPath);
    r.err = ReadAll(errPath);
    return r;
}

// Dates a file 7 February 2024 (day 038) plus days, at noon local time: its Recorded On.
inline void SetFileDate(const std::string& path, int days = 0) {
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 1;
    t.tm_mday = 7 + days;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    utimes(path.c_str(), times);
}

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
