// Runs the built qern2rinex program the way a batch job does, for the end-to-end tests.
#pragma once
#include <fcntl.h>
#include <csignal>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/TempDir.h"

namespace programtest {

inline const std::string kProgram = std::string(QERN_BINARY_DIR) + "/app/main/qern2rinex";
inline const std::string kSample = std::string(QERN_SOURCE_DIR) + "/testdata/app/sim_both_2min.bin";

struct RunResult {
    int status = -1;  // exit status, -1 when the program did not end normally
    std::string out;
    std::string err;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program in folder with arguments, its configuration folder inside
// folder, standard input empty (nobody to answer), and environment variables
// "NAME=value" added; with signal, sends it to the program after delayMs.
inline RunResult RunProgram(const ScopedTempDir& folder, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {}, int signal = 0, int delayMs = 0) {
    const std::string outPath = folder.File(".stdout");
    const std::string errPath = folder.File(".stderr");
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.Path().c_str()) != 0) _exit(120);
        setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
        // No display: the run stays at the terminal, whatever the developer's session has.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
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
    if (child > 0 && signal != 0) {
        usleep(static_cast<useconds_t>(delayMs) * 1000);
        kill(child, signal);
    }
    RunResult r;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    r.out = ReadAll(outPath);
    r.err = ReadAll(errPath);
    return r;
}

// Sets the modification time of path to noon local time of a calendar day.
inline void SetModifiedDay(const std::string& path, int year, int month, int day) {
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    utimes(path.c_str(), times);
}

// Copies a raw file (the sample by default) into folder under name, dated 7 February
// 2024 at noon local time (the recording day of the sample and of the simulator's
// nominal start).
inline std::string CopySample(const ScopedTempDir& folder, const std::string& name,
                              const std::string& source = kSample) {
    const std::string path = folder.File(name);
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    SetModifiedDay(path, 2024, 2, 7);
    return path;
}

inline std::string ProfilePath(const ScopedTempDir& folder) { return folder.File("config/qern2rinex.ini"); }

}  // namespace programtest
