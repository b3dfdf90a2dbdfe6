// window_convert: what the window costs a conversion. Converts a raw data file
// alternately through the main window (progress window shown window-modal over it,
// events handled every 50 ms, Cancel polled after every record) and without any
// window (as `qern2rinex ... S` does), in one process, and prints the median wall
// times and their ratio.
//
//   window_convert [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV
//
// Run it under Xvfb with QT_QPA_PLATFORM=xcb for drawing as on a desktop
// (scripts/bench.sh does), or on the offscreen platform.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/gui/MainWindow.h"
#include "app/gui/QtWindowFactory.h"
#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "rawdata/RecordScan.h"

#include "bench/BenchArgs.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    BenchArgs args;
    args.format = 1;
    args.runs = 3;
    if (!ReadBenchArgs(argc, argv, "window_convert", args)) return 2;
    const int format = args.format;
    const int runs = args.runs;
    const double txMs = args.txMs;
    const std::vector<std::string> paths = {args.source, args.observation, args.navigation};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QApplication> application = StartApplication(argc, argv);

    ConversionRequest request;
    request.sourcePath = paths[0];
    request.observationPath = paths[1];
    request.navigationPath = paths[2];
    request.formatIndex = static_cast<RawFormat>(format);
    request.recordingDate = std::floor(ScanRawFile(paths[0], format).firstEpoch.ToDays());
    request.markerName = "BENC";
    request.tx = txMs * 0.001;

    MainWindow window;
    window.Show();
    WindowUi& windowUi = window.WindowSide();
    std::vector<double> inWindow, withoutWindow;
    long dispatches = 0;
    for (int r = 0; r < runs; ++r) {
        {
            ConversionState state;
            HeadlessUi quiet(nullptr);
            ConversionRequest silent = request;
            silent.silent = true;
            const auto start = std::chrono::steady_clock::now();
            if (!RunConversion(silent, state, quiet).success) return 1;
            withoutWindow.push_back(Seconds(start));
        }
        {
            ConversionState state;
            const long before = windowUi.Dispatches();
            const auto start = std::chrono::steady_clock::now();
            windowUi.BeginConversion();
            const bool ok = RunConversion(request, state, windowUi).success;
            windowUi.EndConversion();
            inWindow.push_back(Seconds(start));
            dispatches = windowUi.Dispatches() - before;
            if (!ok) return 1;
        }
    }
    const double w = Median(inWindow), c = Median(withoutWindow);
    std::printf("window=%.3f without=%.3f ratio=%.3f dispatches=%ld platform=%s\n", w, c, w / c, dispatches,
                qPrintable(QGuiApplication::platformName()));
    return 0;
}
