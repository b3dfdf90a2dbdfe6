#pragma once
#include <string>
#include <vector>

// The conversion parameters of the command line: SOURCE [OBS:path] [NAV:path] [S].
struct CCommandLineOptions {
    bool hasSource = false;
    std::string sourcePath;       // the first parameter, whatever it says
    std::string observationPath;  // text behind the last "OBS:" (empty: not given)
    std::string navigationPath;   // text behind the last "NAV:" (empty: not given)
    bool silent = false;          // a parameter that is exactly "S" (any case)

    // Takes one parameter, in command-line order. text arrives without the leading
    // '-' that marked a flag; isFlag and isLast do not change the outcome.
    void ParseParameter(const std::string& text, bool isFlag, bool isLast);
};

// The program's own options, written with a leading "--", taken out of the
// command line before the conversion parameters are parsed.
struct ProgramOptions {
    bool help = false;
    bool version = false;
    std::string scanPath;                 // --scan FILE (empty: not asked)
    std::vector<std::string> parameters;  // what is left, in order
    std::string error;                    // a misuse of the options (empty: none)
};

// Splits argv[1..] into the program's own options and the conversion parameters.
// "--" alone ends the options: every argument after it is a parameter.
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
CCommandLineOptions ParseCommandLine(const std::vector<std::string>& parameters);

// The usage text of --help, with an example; program is the name to show.
std::string UsageText(const std::string& program);
