#include "convert/HeadlessUi.h"

#include <cstdio>
#include <unistd.h>

#include "convert/StringTable.h"

HeadlessUi::HeadlessUi() : terminal_(isatty(fileno(stderr)) != 0) {}

HeadlessUi::~HeadlessUi() { EndProgressLine(); }

// Finishes the progress line so that the next output starts on a fresh line.
void HeadlessUi::EndProgressLine() {
    if (lineOpen_) {
        std::fputc('\n', stderr);
        lineOpen_ = false;
    }
}

void HeadlessUi::SetStatus(const std::string& text) {
    EndProgressLine();
    status_ = text;
    lastPercent_ = -1;
}

void HeadlessUi::SetPosition(unsigned percent) {
    if (!terminal_ || static_cast<int>(percent) == lastPercent_) return;
    lastPercent_ = static_cast<int>(percent);
    std::fprintf(stderr, "\r%s %3u%%", status_.c_str(), percent);
    std::fflush(stderr);
    lineOpen_ = true;
}

bool HeadlessUi::CheckCancel() { return cancelAtPoll >= 0 && polls_++ == cancelAtPoll; }

bool HeadlessUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    Message m;
    m.id = id;
    m.icon = icon;
    m.text = FormatString(id, args);
    if (printMessages) {
        EndProgressLine();
        std::string oneLine;
        for (char ch : m.text) {
            if (ch != '\n') {
                oneLine += ch;
            } else if (!oneLine.empty() && oneLine.back() != ' ') {
                oneLine += ' ';
            }
        }
        std::fprintf(stderr, "%s\n", oneLine.c_str());
    }
    messages_.push_back(std::move(m));
    return true;  // OK, or Yes for a question
}

bool HeadlessUi::AskRawKind(int& choice) {
    ++rawKindQuestions;
    if (cancelQuestions) return false;
    choice = rawKindChoice;
    return true;
}

bool HeadlessUi::AskPosition(ApproximatePosition& answer) {
    ++positionQuestions;
    if (cancelQuestions) return false;
    answer = position;
    return true;
}
