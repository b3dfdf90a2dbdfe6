#include "app/cli/ConsoleUi.h"

#include <cmath>
#include <cstdlib>

#include "app/dialog/PathProbe.h"
#include "platform/FileSystem.h"
#include "rawdata/GpsConstants.h"

bool ReadAnswerLine(std::FILE* input, std::string& line) {
    line.clear();
    if (!input) return false;
    int c;
    bool any = false;
    while ((c = std::fgetc(input)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c != '\r') line += static_cast<char>(c);
    }
    return any;
}

ConsoleUi::ConsoleUi(bool silent, std::FILE* input, bool interactive)
    : lines_(stderr), silent_(silent), input_(input), interactive_(interactive) {}

void ConsoleUi::SetStatus(const std::string& text) { lines_.SetStatus(text); }

void ConsoleUi::SetPosition(unsigned percent) {
    if (!silent_) lines_.SetPosition(percent);
}

bool ConsoleUi::CheckCancel() { return false; }

bool ConsoleUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    lines_.ShowMessage(id, icon, args);
    if (icon != MessageIcon::Question) return true;
    if (silent_ || !interactive_) {
        std::fputs("(no answer possible here: taken as No)\n", stderr);
        return false;
    }
    std::fputs("[y/N] ", stderr);
    std::fflush(stderr);
    std::string answer;
    if (!ReadAnswerLine(input_, answer)) return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

namespace {

// Reads a number from the terminal after prompt until one within [low, high] is
// typed; an empty line keeps value. False at the end of input.
bool AskNumber(std::FILE* input, const char* prompt, double low, double high, double& value) {
    for (;;) {
        std::fprintf(stderr, "%s [%.10g]: ", prompt, value);
        std::fflush(stderr);
        std::string answer;
        if (!ReadAnswerLine(input, answer)) return false;
        if (answer.empty()) return true;
        char* end = nullptr;
        const double typed = std::strtod(answer.c_str(), &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (end != answer.c_str() && end && *end == '\0' && std::isfinite(typed) && typed >= low &&
            typed <= high) {
            value = typed;
            return true;
        }
        std::fprintf(stderr, "Please enter a number from %g to %g.\n", low, high);
    }
}

}  // namespace

Answer ConsoleUi::AskRawKind(RecordKind& kind) {
    if (silent_ || !interactive_) {
        if (!silent_) {
            EndProgressLine();
            std::fputs("Nobody can answer here: raw-data kind taken as receiver-dated (the preselected answer)\n",
                       stderr);
        }
        return Answer::Default;
    }
    EndProgressLine();
    std::fputs("Which kind of raw data do you want to process ?\n"
               "  0  Satellite-dated raw data\n"
               "  1  Receiver-dated raw data\n", stderr);
    for (;;) {
        std::fprintf(stderr, "Kind [%d]: ", RawKindIndex(kind));
        std::fflush(stderr);
        std::string answer;
        if (!ReadAnswerLine(input_, answer)) return Answer::Cancelled;
        if (answer.empty()) return Answer::Person;
        if (answer == "0" || answer == "1") {
            kind = RawKindOfIndex(answer[0] - '0');
            return Answer::Person;
        }
        std::fputs("Please type 0 or 1.\n", stderr);
    }
}

Answer ConsoleUi::AskPosition(ApproximatePosition& position) {
    if (silent_ || !interactive_) {
        if (!silent_) {
            EndProgressLine();
            std::fprintf(stderr,
                         "Nobody can answer here: approximate position taken as latitude %.10g deg, "
                         "longitude %.10g deg, height %.10g m (the header gets the first computed position)\n",
                         position.latitude * 180.0 / kMathPi, position.longitude * 180.0 / kMathPi, position.height);
        }
        return Answer::Default;
    }
    EndProgressLine();
    std::fputs("Please, enter an approximated position :\n", stderr);
    double latitude = position.latitude * 180.0 / kMathPi;
    double longitude = position.longitude * 180.0 / kMathPi;
    double altitude = position.height;
    if (!AskNumber(input_, "Lat (degrees, north positive)", -90.0, 90.0, latitude) ||
        !AskNumber(input_, "Long (degrees, east positive)", -180.0, 180.0, longitude) ||
        !AskNumber(input_, "Alt (m)", -1.0e7, 1.0e7, altitude))
        return Answer::Cancelled;
    position.latitude = latitude * kMathPi / 180.0;
    position.longitude = longitude * kMathPi / 180.0;
    position.height = altitude;
    return Answer::Person;
}

bool ConsoleChooser::ChooseFile(FileDialogMode, std::string&, const std::vector<FileFilter>&, int) {
    return false;
}

bool ConsoleChooser::ChooseDirectory(std::string& directory) {
    if (!interactive_) {
        std::fprintf(stderr, "(no folder can be chosen here: the folder stays %s)\n",
                     directory.empty() ? "/" : directory.c_str());
        return false;
    }
    for (;;) {
        std::fprintf(stderr, "Folder of the RINEX files [%s]: ", directory.empty() ? "/" : directory.c_str());
        std::fflush(stderr);
        std::string answer;
        if (!ReadAnswerLine(input_, answer)) return false;
        // The root folder is written "" (a folder never ends with "/").
        std::string chosen = answer.empty() ? directory : FullPath(answer);
        if (chosen == "/") chosen.clear();
        if (KindOfPath(chosen.empty() ? "/" : chosen) == PathKind::Directory) {
            directory = chosen;
            return true;
        }
        std::fprintf(stderr, "No such folder: %s\n", chosen.c_str());
    }
}
