#pragma once
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/cli/ExitStatus.h"
#include "app/dialog/ConversionSummary.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/QualityPlotter.h"
#include "app/dialog/WindowFactory.h"

class CMainDialog;
class RecordingUi;


// What the window's "Files..." runs: --batch's conversions of many files, or
// --splice's of one recording, with the window's settings and progress.
FilesRunner FilesRunnerOf(const std::string& dataDirectory, double today);

// What the program learns about its surroundings at start.
struct AppStartup {
    std::string executablePath;    // full path of the running program
    std::string currentDirectory;  // the process's current directory
    std::string homeDirectory;     // the user's home folder (empty: unknown)
    std::string profilePath;       // the profile file (empty: settings are not kept)
    double today = 0.0;            // today's local date, days since the GPS origin
    std::FILE* input = nullptr;    // where answers to questions are read
    bool interactive = false;      // a person can type on input
    // The desktop windows (nullptr: none in this build). Asked only by runs that
    // are not silent; when it gives no window the run goes on at the terminal.
    IWindowFactory* windows = nullptr;
};

// The application: finds the install root, parses the command line and runs
// the main dialog's logic. Without a source it opens the main window, where each
// "Go..." is one conversion (interactive mode); with a source it runs one
// conversion from the command line, in the main window when one can be shown and
// the run is not silent, else at the terminal.
class CConverterApp {
public:
    explicit CConverterApp(AppStartup startup);

    // Runs the program with its arguments (without the program name); messages
    // for a person go to err, --help, --version and --scan write to out. Returns
    // the exit status.
    int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

    bool IsSilent() const { return options_.silent; }
    // The folder above the program's "bin" folder; empty when it is in no "bin" folder.
    const std::string& InstallRoot() const { return installRoot_; }
    // Default folder of raw and RINEX files.
    const std::string& DataDirectory() const { return dataDirectory_; }
    const CCommandLineOptions& Options() const { return options_; }
    // The plotter of --qc-plots (none: such a run fails after its conversion).
    void SetQualityPlotter(IQualityPlotter* plotter) { plotter_ = plotter; }

private:
    int RunConversionMode(std::ostream& out, std::ostream& err);
    int RunInteractiveMode(std::ostream& err);
    // Where a conversion's report goes: report is out for a silent run, else err;
    // quiet when --json alone speaks on out.
    struct RunStreams {
        std::ostream& out;
        std::ostream& err;
        std::ostream& report;
        bool quiet;
    };
    // Writes the summary of a converted run, or why its paths were refused.
    static void ReportOutcome(const CMainDialog& dialog, const RunReport& report, const RunStreams& streams);
    // Writes the --qc-plots files, names them and adds them to report; false when
    // none could be written.
    bool ReportPlots(RunReport& report, const RunStreams& streams) const;
    // The --json object of the run.
    static std::string RunJson(const RunReport& report);
    DialogEnvironment Environment(bool silent) const;

    RunOptions run_;
    IQualityPlotter* plotter_ = nullptr;

    AppStartup startup_;
    std::string installRoot_;
    std::string dataDirectory_;
    CCommandLineOptions options_;
};
