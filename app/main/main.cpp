// qern2rinex: converts a raw data file of a QERN GPS receiver to RINEX.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/program/ConverterApp.h"
#include "app/program/InstallPaths.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#ifdef QERN_WINDOWS
#include "app/gui/QualityCharts.h"
#include "app/gui/QtWindowFactory.h"
#endif

namespace {

// Flushes and closes the standard output (C and C++ streams); false with error set
// when anything written to it was lost (a full disk, a closed pipe or descriptor).
bool CloseStandardOutput(int& error) {
    error = 0;
    std::cout.flush();
    const bool streamFailed = !std::cout;
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!flushed) error = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(stdout) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    if (streamFailed && error == 0) error = EIO;
    return error == 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        AppStartup startup;
        startup.executablePath = CurrentExecutablePath(argc > 0 ? argv[0] : "");
        startup.currentDirectory = CurrentDirectory();
        startup.homeDirectory = UserHomeDirectory();
        startup.profilePath = Profile::DefaultPath("qern2rinex");
        startup.today = TodayInDays();
        startup.input = stdin;
        startup.interactive = IsTerminal(stdin);
#ifdef QERN_WINDOWS
        // Qt starts only when a window is asked for (never in a silent run).
        QtWindowFactory windows("qern2rinex");
        startup.windows = &windows;
#endif
        const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        CConverterApp app(startup);
#ifdef QERN_WINDOWS
        ChartQualityPlotter plotter;  // Qt starts only when plots are asked for
        app.SetQualityPlotter(&plotter);
#endif
        const int status = app.Run(arguments, std::cout, std::cerr);
        // What went to standard output counts: a summary, a JSON object or a table lost is a failure.
        if (int error = 0; !CloseStandardOutput(error)) {
            std::cerr << "qern2rinex: standard output: " << ErrorText(error) << "\n";
            return status == kExitSuccess ? kExitFailure : status;
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << "qern2rinex: " << e.what() << "\n";
        return kExitFailure;
    }
}
