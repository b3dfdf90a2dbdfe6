#pragma once
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainDialog.h"
#include "app/QualityPlotter.h"
#include "app/WindowFactory.h"

class CMainDialog;

// Exit statuses of the program.
enum ExitStatus : int {
    kExitSuccess = 0,  // the conversion succeeded (or --help, --version, --scan did)
    kExitFailure = 1,  // the conversion failed, was cancelled or did not start
    kExitUsage = 2,    // the command line was not understood
};

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
    DialogEnvironment Environment(bool silent) const;

    RunOptions run_;
    IQualityPlotter* plotter_ = nullptr;

    AppStartup startup_;
    std::string installRoot_;
    std::string dataDirectory_;
    CCommandLineOptions options_;
};

// The install root of a program at executablePath: the folder that holds its
// folder when that folder is named "bin" (any case), otherwise empty.
std::string InstallRootOf(const std::string& executablePath);

// True when installRoot is a prefix the system shares among all its programs
// ("/usr", "/usr/local", or empty for "/bin"): no data folder of ours lives there.
bool IsSharedInstallRoot(const std::string& installRoot);

// The default folder of raw and RINEX files: installRoot + "/RAW" when the program
// has an install root of its own and that folder exists; otherwise currentDirectory,
// or homeDirectory when the current directory is unknown or the file system's root.
std::string DefaultDataDirectory(const std::string& installRoot, const std::string& currentDirectory,
                                 const std::string& homeDirectory = std::string());

// The folder an "OBS:" or "NAV:" path names for automatic naming: the path
// itself when it is a folder, otherwise the folder that holds it; absolute,
// without a trailing "/".
std::string OutputFolderOf(const std::string& path);

// The batch steps of a command-line run, after the dialog was initialised: takes
// the source, probes it, applies the "OBS:" and "NAV:" values and writes every
// value into the controls. The "Go..." that follows is the caller's.
// The run options' header texts and --date-from-data come in after the source
// probe, as if typed into the dialog.
void RunBatchSteps(CMainDialog& dialog, const CCommandLineOptions& options, const std::string& dataDirectory,
                   const RunOptions& run = {});

// The settings of a run's options that take the place of the dialog's for this run.
RequestOverrides OverridesOf(const RunOptions& run);

// Today's local date in whole days since the GPS origin.
double TodayInDays();
// The running program's full path ("/proc/self/exe"), or fallback when unknown.
std::string CurrentExecutablePath(const std::string& fallback);
// The process's current directory (empty when it cannot be read).
std::string CurrentDirectory();
