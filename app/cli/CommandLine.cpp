#include "app/cli/CommandLine.h"

#include "app/dialog/RunSettings.h"
#include "app/dialog/TxText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    else if (extraParameter.empty())
        extraParameter = text;
}

CommandLineParameter SplitParameter(const std::string& argument) {
    if (argument.size() > 1 && argument[0] == '-') return {argument.substr(1), true};
    if (argument == "/S" || argument == "/s") return {argument.substr(1), true};
    return {argument, false};
}

CCommandLineOptions ParseCommandLine(const std::vector<std::string>& parameters, size_t literalFrom) {
    CCommandLineOptions options;
    for (size_t i = 0; i < parameters.size(); ++i) {
        // After "--" a parameter is taken as written: a leading '-' is part of a name.
        const CommandLineParameter p =
            i >= literalFrom ? CommandLineParameter{parameters[i], false} : SplitParameter(parameters[i]);
        options.ParseParameter(p.text, p.isFlag, i + 1 == parameters.size());
    }
    return options;
}

namespace {

// Conversions a batch runs at a time at most.
constexpr long kMaxJobs = 256;

// The header-text options, in the order of the header texts.
constexpr const char* kHeaderOptions[kHeaderTextCount] = {
    "--marker",          "--marker-number", "--observer",       "--agency",      "--receiver-number",
    "--receiver-type", "--receiver-version", "--antenna-number", "--antenna-type"};

// Takes the value of option name into run; an error text when it is malformed.
std::string TakeValue(const std::string& name, const std::string& value, RunOptions& run) {
    for (int k = 0; k < kHeaderTextCount; ++k)
        if (name == kHeaderOptions[k]) {
            run.header[k] = value;
            return {};
        }
    double number = 0;
    if (name == "--tx") {
        if (!ReadNumber(value, number) || number != std::floor(number) || number < kTxMinMs || number > kTxMaxMs)
            return "--tx needs whole milliseconds from " + std::to_string(kTxMinMs) + " to " + std::to_string(kTxMaxMs) +
                   ", not \"" + value + "\"";
        run.tx = number / 1000.0;
    } else if (name == "--doppler") {
        if (value != "instantaneous" && value != "smoothed")
            return "--doppler needs instantaneous or smoothed, not \"" + value + "\"";
        run.smoothedDopplers = value == "smoothed";
    } else if (name == "--from" || name == "--to") {
        GpsTime t;
        if (!ParseDateTime(value, t)) return name + " needs \"YYYY-MM-DD hh:mm:ss\", not \"" + value + "\"";
        (name == "--from" ? run.from : run.to) = t;
    } else if (name == "--interval") {
        if (!ParseInterval(value, run.interval))
            return "--interval needs a positive multiple of 0.1 s, not \"" + value + "\"";
    } else if (name == "--rinex") {
        if (value != "2" && value != "3" && value != "4")
            return "--rinex needs 2, 3 or 4, not \"" + value + "\"";
        run.rinexVersion = value[0] - '0';
    } else if (name == "--antenna-height") {
        if (!ReadSignedNumber(value, number) || std::fabs(number) > kMaxAntennaMetres)
            return "--antenna-height needs metres from -999.9999 to 999.9999, not \"" + value + "\"";
        run.antennaHeight = number;
    } else if (name == "--antenna-offset") {
        const size_t comma = value.find(',');
        double east = 0, north = 0;
        if (comma == std::string::npos || !ReadSignedNumber(value.substr(0, comma), east) ||
            !ReadSignedNumber(value.substr(comma + 1), north) || std::fabs(east) > kMaxAntennaMetres ||
            std::fabs(north) > kMaxAntennaMetres)
            return "--antenna-offset needs east,north in metres from -999.9999 to 999.9999, not \"" + value + "\"";
        run.antennaOffset = std::array<double, 2>{east, north};
    } else if (name == "--country") {
        if (!ParseCountry(value, run.country)) return "--country needs three letters, not \"" + value + "\"";
    }
    return {};
}

bool TakesValue(const std::string& name) {
    for (const char* header : kHeaderOptions)
        if (name == header) return true;
    for (const char* option : {"--scan", "--jobs", "--output-dir", "--tx", "--doppler", "--from", "--to", "--interval", "--rinex", "--country",
                               "--antenna-height", "--antenna-offset"})
        if (name == option) return true;
    return false;
}

// Sets a switch option in run; false when name is no switch.
bool TakeSwitch(const std::string& name, ProgramOptions& result) {
    RunOptions& run = result.run;
    if (name == "--help") result.help = true;
    else if (name == "--version") result.version = true;
    else if (name == "--smoothed-codes") run.smoothedCodes = true;
    else if (name == "--no-smoothed-codes") run.smoothedCodes = false;
    else if (name == "--log") run.logFiles = true;
    else if (name == "--no-log") run.logFiles = false;
    else if (name == "--date-from-data") run.dateFromData = true;
    else if (name == "--json") run.json = true;
    else if (name == "--qc") run.qc = true;
    else if (name == "--hatanaka") run.hatanaka = true;
    else if (name == "--gzip") run.gzip = true;
    else if (name == "--qc-plots") run.qc = run.qcPlots = true;
    else if (name == "--overwrite") run.overwrite = true;
    else if (name == "--batch") result.batch = true;
    else if (name == "--splice") result.splice = true;
    else return false;
    return true;
}

}  // namespace

ProgramOptions SplitProgramOptions(const std::vector<std::string>& arguments) {
    ProgramOptions result;
    bool optionsEnded = false;
    std::string error;  // the first misuse
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            result.parameters.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            result.literalFrom = result.parameters.size();
            continue;
        }
        const size_t equals = a.find('=');
        const std::string name = a.substr(0, equals);
        if (!TakesValue(name)) {
            if ((equals != std::string::npos || !TakeSwitch(name, result)) && error.empty())
                error = "unknown option " + a;
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = a.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else if (error.empty()) {
            error = name == "--scan" ? "option --scan needs a file name" : "option " + name + " needs a value";
            continue;
        }
        if (name == "--scan") {
            result.scanPath = value;
            if (value.empty() && error.empty()) error = "option --scan needs a file name";
        } else if (name == "--jobs") {
            char* end = nullptr;
            const long jobs = std::strtol(value.c_str(), &end, 10);
            if ((value.empty() || *end != '\0' || jobs < 1 || jobs > kMaxJobs) && error.empty())
                error = "--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs) + ", not \"" + value + "\"";
            result.jobs = static_cast<int>(jobs);
        } else if (name == "--output-dir") {
            result.outputDir = value;
            if (value.empty() && error.empty()) error = "option --output-dir needs a folder";
        } else if (const std::string e = TakeValue(name, value, result.run); !e.empty() && error.empty()) {
            error = e;
        }
    }
    const RunOptions& run = result.run;
    if (error.empty() && run.from && run.to && *run.to < *run.from) error = "--from must not be after --to";
    if (error.empty() && result.batch && result.splice) error = "--batch and --splice do not go together";
    if (error.empty() && !result.batch && (result.jobs != 0 || !result.outputDir.empty()))
        error = std::string(result.jobs != 0 ? "--jobs" : "--output-dir") + " goes with --batch only";
    result.error = error;
    return result;
}

namespace {

// The usage lines and the parameters of a single conversion.
std::string UsageSynopsis(const std::string& program) {
    return "Usage: " + program + " [OPTIONS] SOURCE [OBS:path] [NAV:path] [S]\n"
           "       " + program + " --batch [--jobs N] [--output-dir DIR] [OPTIONS] FILE...\n"
           "       " + program + " --splice [OPTIONS] [OBS:path] [NAV:path] [S] FILE...\n"
           "       " + program + " --scan FILE\n"
           "       " + program + " --station DIR [SOURCE] [--config FILE] [--period 15m|1h|none] [--daily]\n"
           "                 [--latency 30s]   (a permanent station: see the manual page)\n"
           "       " + program + " --help | --version\n"
           "\n"
           "Converts one raw data file of a QERN GPS receiver (ASCII or binary format)\n"
           "into a RINEX observation file and a RINEX navigation file.\n"
           "\n"
           "  SOURCE       the raw data file (always the first parameter)\n"
           "  OBS:path     the observation file to write; with automatic naming on,\n"
           "               with S the folder (or a file in the folder) to write it\n"
           "               in, without S the folder is asked for on the terminal\n"
           "  NAV:path     the navigation file to write (likewise)\n"
           "  S            silent: no questions, messages go to standard error\n"
           "               (also -S or /S; OBS: and NAV: may be written -OBS:, -NAV:)\n"
           "\n";
}

// The options of the header texts.
const char* UsageHeaderTexts() {
    return "Header texts (this run's values, checked and remembered as typed ones):\n"
           "  --marker NAME  --marker-number TEXT  --observer TEXT  --agency TEXT\n"
           "  --receiver-number TEXT  --receiver-type TEXT  --receiver-version TEXT\n"
           "  --antenna-number TEXT  --antenna-type TEXT\n"
           "\n";
}

// The options of this run's settings.
const char* UsageRunSettings() {
    return "Run settings (this run only; the profile keeps its own):\n"
           "  --tx MS                  nominal travel time Tx of satellite-dated data, ms\n"
           "  --antenna-height M       antenna reference point above the marker, m (over the recorded height)\n"
           "  --antenna-offset E,N     antenna reference point east and north of the marker, m\n"
           "  --doppler instantaneous|smoothed\n"
           "                           Dopplers of the satellite-dated extrapolation\n"
           "  --smoothed-codes, --no-smoothed-codes\n"
           "                           position from smoothed C/A code ranges or not\n"
           "  --log, --no-log          write the .log and .pos files or not\n"
           "  --overwrite              automatic names may replace files on disk\n"
           "                           (otherwise such a file takes the next file index)\n"
           "  --rinex 2|3|4            RINEX version of the outputs (3: RINEX 3.04, 4: RINEX\n"
           "                           4.01, both with long file names with automatic naming)\n"
           "  --country XXX            country code of RINEX 3 and 4 long file names\n"
           "\n";
}

// The options that choose what is written.
const char* UsageWhatIsWritten() {
    return "What is written:\n"
           "  --from \"YYYY-MM-DD hh:mm:ss\"  --to \"YYYY-MM-DD hh:mm:ss\"\n"
           "                           only epochs from .. to (GPS time), either may be left out\n"
           "  --interval SECONDS       only epochs at multiples of SECONDS (0.1 s steps)\n"
           "  --date-from-data         Recorded On (and automatic names) from the first epoch\n"
           "  --json                   one JSON object about the run on standard output\n"
           "  --hatanaka               the observation file in Compact RINEX (names: .yyD,\n"
           "                           _GO.crx with automatic naming)\n"
           "  --gzip                   every RINEX output gzipped (names end in .gz with\n"
           "                           automatic naming)\n"
           "  --qc                     a quality report beside the observation file (.qc)\n"
           "  --qc-plots               the report and its plots (PNG, needs the desktop build)\n"
           "\n";
}

// The options of batches and splices, and the other modes.
const char* UsageManyFiles() {
    return "Many files:\n"
           "  --batch                  convert every FILE on its own, as a silent run would,\n"
           "                           several at a time; a table (or JSON lines) at the end;\n"
           "                           the profile is read, never written\n"
           "  --jobs N                 conversions at a time (default: one per core)\n"
           "  --output-dir DIR         the folder of the batch's outputs\n"
           "  --splice                 convert the FILEs of one receiver as one recording,\n"
           "                           taken in the order of their first epochs\n"
           "\n"
           "Other:\n"
           "  --scan FILE  list the records of a raw data file\n"
           "  --help       show this text\n"
           "  --version    show the program's version\n"
           "\n";
}

// Where the other values come from, and the exit statuses.
const char* UsageClosing() {
    return "Every value not given here (header texts, folders, extensions, automatic\n"
           "naming, advanced options) comes from the profile of the last conversion.\n"
           "Exit status: 0 when the conversion succeeded (every file of a batch), 1 when\n"
           "it failed, was cancelled or did not start (any file of a batch), 2 when the\n"
           "command line was not understood.\n"
           "\n";
}

}  // namespace

std::string UsageText(const std::string& program) {
    return UsageSynopsis(program) + UsageHeaderTexts() + UsageRunSettings() + UsageWhatIsWritten() +
           UsageManyFiles() + UsageClosing() +
           "Example:\n"
           "  " + program + " --marker ALGO --interval 30 /data/raw/ALGO0340.BIN "
           "OBS:/data/rinex/algo0340.01o NAV:/data/rinex/algo0340.01n S\n";
}
