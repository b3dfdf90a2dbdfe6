#include "app/CommandLine.h"

#include <cctype>

namespace {

std::string Upper(const std::string& s) {
    std::string u = s;
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

}  // namespace

void CCommandLineOptions::ParseParameter(const std::string& text, bool /*isFlag*/, bool /*isLast*/) {
    if (!hasSource) {
        sourcePath = text;
        hasSource = true;
        return;
    }
    const std::string key = Upper(text.substr(0, 4));
    if (key == "OBS:")
        observationPath = text.substr(4);
    else if (key == "NAV:")
        navigationPath = text.substr(4);
    else if (key == "S")
        silent = true;
}

CommandLineParameter SplitParameter(const std::string& argument) {
    if (argument.size() > 1 && argument[0] == '-') return {argument.substr(1), true};
    if (argument == "/S" || argument == "/s") return {argument.substr(1), true};
    return {argument, false};
}

CCommandLineOptions ParseCommandLine(const std::vector<std::string>& parameters) {
    CCommandLineOptions options;
    for (size_t i = 0; i < parameters.size(); ++i) {
        const CommandLineParameter p = SplitParameter(parameters[i]);
        options.ParseParameter(p.text, p.isFlag, i + 1 == parameters.size());
    }
    return options;
}

ProgramOptions SplitProgramOptions(const std::vector<std::string>& arguments) {
    ProgramOptions result;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            result.parameters.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help") {
            result.help = true;
        } else if (a == "--version") {
            result.version = true;
        } else if (a == "--scan" || a.compare(0, 7, "--scan=") == 0) {
            if (a != "--scan") {
                result.scanPath = a.substr(7);
            } else if (i + 1 < arguments.size()) {
                result.scanPath = arguments[++i];
            }
            if (result.scanPath.empty() && result.error.empty())
                result.error = "option --scan needs a file name";
        } else if (result.error.empty()) {
            result.error = "unknown option " + a;
        }
    }
    return result;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program + " SOURCE [OBS:path] [NAV:path] [S]\n"
           "       " + program + " --scan FILE\n"
           "       " + program + " --help | --version\n"
           "\n"
           "Converts one raw data file of a QERN GPS receiver (ASCII or binary format)\n"
           "into a RINEX 2 observation file and a RINEX 2 navigation file.\n"
           "\n"
           "  SOURCE       the raw data file (always the first parameter)\n"
           "  OBS:path     the observation file to write; with automatic naming on,\n"
           "               with S the folder (or a file in the folder) to write it\n"
           "               in, without S the folder is asked for on the terminal\n"
           "  NAV:path     the navigation file to write (likewise)\n"
           "  S            silent: no questions, messages go to standard error\n"
           "               (also -S or /S; OBS: and NAV: may be written -OBS:, -NAV:)\n"
           "  --scan FILE  list the records of a raw data file\n"
           "  --help       show this text\n"
           "  --version    show the program's version\n"
           "\n"
           "Every value not given here (header texts, folders, extensions, automatic\n"
           "naming, advanced options) comes from the profile of the last conversion.\n"
           "Exit status: 0 when the conversion succeeded, 1 when it failed, was\n"
           "cancelled or did not start, 2 when the command line was not understood.\n"
           "\n"
           "Example:\n"
           "  " + program + " /data/raw/ALGO0340.BIN OBS:/data/rinex/algo0340.01o "
           "NAV:/data/rinex/algo0340.01n S\n";
}
