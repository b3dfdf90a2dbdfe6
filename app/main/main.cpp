// qern2rinex: converts a raw data file of a QERN GPS receiver to RINEX.
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
