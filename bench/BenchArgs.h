#pragma once
// The command line shared by the whole-conversion benchmarks:
//   PROGRAM [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct BenchArgs {
    int format = -1;  // 0 ASCII, 1 binary, -1 not given
    int runs = 1;
    double txMs = 0;
    std::string source, observation, navigation;
};

// Reads the arguments into args (its values are the defaults); false after printing
// the usage of program when they are not three paths with options.
inline bool ReadBenchArgs(int argc, char** argv, const char* program, BenchArgs& args) {
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--format" && i + 1 < argc) args.format = std::atoi(argv[++i]);
        else if (a == "--runs" && i + 1 < argc) args.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--tx" && i + 1 < argc) args.txMs = std::atof(argv[++i]);
        else paths.push_back(a);
    }
    if (paths.size() != 3) {
        std::fprintf(stderr, "usage: %s [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV\n", program);
        return false;
    }
    args.source = paths[0];
    args.observation = paths[1];
    args.navigation = paths[2];
    return true;
}

// The median of values (0 for none).
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}
