#include "app/ConsoleUi.h"

#include <sys/stat.h>

#include "app/PathProbe.h"

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
    : silent_(silent), input_(input), interactive_(interactive) {
    printMessages = true;
}

void ConsoleUi::SetPosition(unsigned percent) {
    if (!silent_) HeadlessUi::SetPosition(percent);
}

bool ConsoleUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    HeadlessUi::ShowMessage(id, icon, args);
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
        struct stat st {};
        if (stat(chosen.empty() ? "/" : chosen.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            directory = chosen;
            return true;
        }
        std::fprintf(stderr, "No such folder: %s\n", chosen.c_str());
    }
}
