#pragma once
#include <cstdio>
#include <string>

// The one-line progress display of a run on a terminal: "status  42%" redrawn in
// place. Nothing is drawn when the stream is not a terminal.
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* stream);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Ends the current line and takes the text of the next step.
    void SetStatus(const std::string& text);
    // Redraws the line with percent when it changed.
    void SetPosition(unsigned percent);
    // Ends an open progress line, so that the next output starts on a fresh line.
    void EndLine();

private:
    std::FILE* stream_;
    bool terminal_;
    bool lineOpen_ = false;
    int lastPercent_ = -1;
    std::string status_;
};

// A message text on one line: each line break becomes one blank.
std::string OneLine(const std::string& text);
