#include "convert/TerminalProgress.h"

#include "platform/FileSystem.h"

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream), terminal_(IsTerminal(stream)) {}

TerminalProgress::~TerminalProgress() { EndLine(); }

void TerminalProgress::EndLine() {
    if (lineOpen_) {
        std::fputc('\n', stream_);
        lineOpen_ = false;
    }
}

void TerminalProgress::SetStatus(const std::string& text) {
    EndLine();
    status_ = text;
    lastPercent_ = -1;
}

void TerminalProgress::SetPosition(unsigned percent) {
    if (!terminal_ || static_cast<int>(percent) == lastPercent_) return;
    lastPercent_ = static_cast<int>(percent);
    std::fprintf(stream_, "\r%s %3u%%", status_.c_str(), percent);
    std::fflush(stream_);
    lineOpen_ = true;
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (char ch : text) {
        if (ch != '\n') {
            line += ch;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
    }
    return line;
}
