#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog/DialogValues.h"
#include "app/dialog/RunSettings.h"  // ParseDateTime
#include "rawdata/GpsTime.h"

// The conversion parameters of the command line: SOURCE [OBS:path] [NAV:path] [S].
struct CCommandLineOptions {
    bool hasSource = false;
    std::string sourcePath;       // the first parameter, whatever it says
    std::string observationPath;  // text behind the last "OBS:" (empty: not given)
    std::string navigationPath;   // text behind the last "NAV:" (empty: not given)
    bool silent = false;          // a parameter that is exactly "S" (any case)
    std::string extraParameter;   // the first parameter after the source that is none of these

    // Takes one parameter, in command-line order. text arrives without the leading
    // '-' that marked a flag; isFlag and isLast do not change the outcome.
    void ParseParameter(const std::string& text, bool isFlag, bool isLast);
};

// The long options of a scripted run: values of this run only. Header texts take
// the place of the dialog's (and go through its checks and into its histories);
// the rest is never stored in the profile.
struct RunOptions {
    std::array<std::optional<std::string>, kHeaderTextCount> header;  // --marker ... --antenna-type
    std::optional<double> tx;               // --tx MS, held in s
    std::optional<bool> smoothedDopplers;   // --doppler instantaneous|smoothed
    std::optional<bool> smoothedCodes;      // --smoothed-codes / --no-smoothed-codes
    std::optional<bool> logFiles;           // --log / --no-log
    bool overwrite = false;                 // --overwrite: automatic names may replace files on disk
    std::optional<GpsTime> from;            // --from "YYYY-MM-DD hh:mm:ss" (GPS time)
    std::optional<GpsTime> to;              // --to
    double interval = 0.0;                  // --interval SECONDS; 0: every epoch
    bool dateFromData = false;              // --date-from-data
    bool json = false;                      // --json
    bool qc = false;                        // --qc: the quality report beside the observation file
    bool qcPlots = false;                   // --qc-plots: its plots as well (implies --qc)
    int rinexVersion = 0;                   // --rinex 2|3|4; 0: the profile's
    bool hatanaka = false;                  // --hatanaka: the observation file in Compact RINEX
    bool gzip = false;                      // --gzip: every RINEX output gzipped
    std::string country;                    // --country XXX (RINEX 3 long names)
    std::optional<double> antennaHeight;    // --antenna-height M
    std::optional<std::array<double, 2>> antennaOffset;  // --antenna-offset E,N (m)
    std::vector<std::string> sourceParts;   // a splice: its files in reading order (not an option)
};

// The program's own options, written with a leading "--", taken out of the
// command line before the conversion parameters are parsed.
struct ProgramOptions {
    bool help = false;
    bool version = false;
    std::string scanPath;                 // --scan FILE (empty: not asked)
    bool batch = false;                   // --batch: every parameter is a file converted on its own
    bool splice = false;                  // --splice: the files are converted as one recording
    int jobs = 0;                         // --jobs N of a batch; 0: one per core
    std::string outputDir;                // --output-dir DIR of a batch (empty: the profile's folders)
    RunOptions run;
    std::vector<std::string> parameters;  // what is left, in order
    size_t literalFrom = static_cast<size_t>(-1);  // parameters from this index came after "--"
    std::string error;                    // a misuse of the options (empty: none)
};

// Splits argv[1..] into the program's own options and the conversion parameters.
// "--" alone ends the options: every argument after it is a parameter. An option
// with a value takes it as "--name VALUE" or "--name=VALUE"; an unknown option or
// a missing or malformed value sets error (one line naming the option).
ProgramOptions SplitProgramOptions(const std::vector<std::string>& arguments);

// One conversion parameter as ParseParameter receives it: a leading '-' marks a
// flag and is removed ("-S", "-OBS:path"); "/S" and "/s" are the silent flag too;
// any other argument beginning with "/" is an absolute path and stays whole.
struct CommandLineParameter {
    std::string text;
    bool isFlag = false;
};
CommandLineParameter SplitParameter(const std::string& argument);

// Parses every parameter into options, in order.
// Parameters from literalFrom on (those after "--") keep a leading '-'.
CCommandLineOptions ParseCommandLine(const std::vector<std::string>& parameters,
                                     size_t literalFrom = static_cast<size_t>(-1));

// The usage text of --help, with an example; program is the name to show.
std::string UsageText(const std::string& program);
