// stage_profile: where the time of one conversion goes. Runs the conversion driver
// (read pass, observation pass with positioning, navigation pass) on a raw data
// file, silently, with a stage observer that charges the time between the driver's
// laps to each stage, and writes the same RINEX observation and navigation files
// as `qern2rinex SOURCE OBS:obs NAV:nav S` with an empty profile (bench.sh compares
// them, the creation-date line aside).
//
//   stage_profile [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV
//
// Stages, in seconds (median over the runs):
//   framing        ReadRecord: reading the file and cutting it into records
//   decode         the Decode* operations of the decoders
//   tally          read-pass statistics, ephemeris store, pruning
//   positioning    epoch window, ephemeris selection and the position solution
//   extrapolation  output epoch of reception time (satellite-dated) or scaled (receiver-dated)
//   formatting     RINEX text of header, epochs and navigation records
//   writing        handing the text to the output files, closing them
//   progress       the progress position and cancel poll of every record
//   other          the rest
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "convert/ConversionDriver.h"
#include "convert/ConversionRequest.h"
#include "convert/ConversionState.h"
#include "convert/HeadlessUi.h"
#include "platform/File.h"

#include "bench/BenchArgs.h"

namespace {

const char* const kStageNames[kConversionStageCount] = {
    "framing", "decode", "tally", "positioning", "extrapolation", "formatting", "writing", "progress", "other"};

// Accumulated wall time per stage, s: each lap charges the time since the
// previous one to its stage.
class StageClock : public StageObserver {
public:
    using Clock = std::chrono::steady_clock;
    void Start() override { last_ = Clock::now(); }
    void Lap(ConversionStage stage) override {
        const Clock::time_point now = Clock::now();
        seconds[static_cast<int>(stage)] += std::chrono::duration<double>(now - last_).count();
        last_ = now;
    }
    double seconds[kConversionStageCount] = {};

private:
    Clock::time_point last_;
};

// Days since the GPS time origin of the file's modification time (UTC).
double RecordingDate(const std::string& path) {
    std::time_t modified = 0;
    if (!FileModificationTime(path, modified)) return 0.0;
    return (static_cast<double>(modified) - 315964800.0) / 86400.0;
}

// Upper-case file title (name without folder and extension): the marker name the
// main dialog proposes for a source file.
std::string MarkerOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string title = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0) title.resize(dot);
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return title;
}

// 0 for an ASCII file, 1 for a binary one: binary when a byte of the first 1000 is 128 or more.
int ProbeFormat(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    unsigned char head[1000];
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    for (size_t i = 0; i < n; ++i)
        if (head[i] >= 128) return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    BenchArgs args;
    if (!ReadBenchArgs(argc, argv, "stage_profile", args)) return 2;
    const int format = args.format;
    const int runs = args.runs;
    const double txMs = args.txMs;
    const std::vector<std::string> paths = {args.source, args.observation, args.navigation};
    ConversionRequest request;
    request.sourcePath = paths[0];
    request.observationPath = paths[1];
    request.navigationPath = paths[2];
    request.formatIndex = static_cast<RawFormat>(format == 0 || format == 1 ? format : ProbeFormat(paths[0]));
    request.recordingDate = std::floor(RecordingDate(paths[0]));
    request.markerName = MarkerOf(paths[0]);
    request.tx = txMs * 0.001;
    request.silent = true;
    if (request.formatIndex < 0) {
        std::fprintf(stderr, "stage_profile: cannot open %s\n", paths[0].c_str());
        return 1;
    }

    std::vector<double> perStage[kConversionStageCount];
    std::vector<double> totals;
    int epochs = 0;
    for (int r = 0; r < runs; ++r) {
        ConversionState state;  // a fresh state, as a new process has
        HeadlessUi ui(stderr);
        StageClock clock;
        ConversionHooks hooks;
        hooks.stages = &clock;
        const auto start = std::chrono::steady_clock::now();
        const ConversionResult result = RunConversion(request, state, ui, hooks);
        if (!result.success) return 1;
        epochs = result.epochsWritten;
        totals.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        for (int s = 0; s < kConversionStageCount; ++s) perStage[s].push_back(clock.seconds[s]);
    }
    const double total = Median(totals);
    std::printf("stages epochs=%d total=%.6f", epochs, total);
    for (int s = 0; s < kConversionStageCount; ++s) std::printf(" %s=%.6f", kStageNames[s], Median(perStage[s]));
    std::printf("\n");
    return 0;
}
