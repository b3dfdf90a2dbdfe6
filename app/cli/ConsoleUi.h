#pragma once
#include <cstdio>

#include "app/dialog/FileChooser.h"
#include "convert/HeadlessUi.h"

// The person-facing side of a command-line run without windows. Messages go to
// standard error. A silent run asks nothing and draws no progress. Otherwise a
// question is put on the terminal and read from standard input when that is a
// terminal; without one nobody can answer: a yes/no question counts as No, the
// raw-data kind and position questions take their preselected answers.
class ConsoleUi : public ConversionUi {
public:
    // input: where answers are read (standard input); interactive: whether a person
    // can type there.
    ConsoleUi(bool silent, std::FILE* input, bool interactive);

    void SetStatus(const std::string& text) override;
    void SetPosition(unsigned percent) override;
    bool CheckCancel() override;
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override;
    // The raw-data kind question on the terminal: 0 satellite-dated, 1 receiver-dated,
    // an empty line keeps choice; false at the end of input (Cancel). Without a
    // person the preselected receiver-dated data is taken (Answer::Default), and a
    // run that is not silent says so on standard error.
    Answer AskRawKind(RecordKind& kind) override;
    // The approximate position on the terminal: latitude and longitude in degrees
    // (north and east positive), altitude in metres, an empty line keeps the offered
    // value; position is held in radians and metres. False at the end of input
    // (Cancel). Without a person the offered position is taken (Answer::Default),
    // and a run that is not silent says so on standard error.
    Answer AskPosition(ApproximatePosition& position) override;

    // Messages shown so far, in order.
    const std::vector<HeadlessUi::Message>& Messages() const { return lines_.Messages(); }
    // Ends an open progress line, so that the next output starts on a fresh line.
    void EndProgressLine() { lines_.EndProgressLine(); }

private:
    HeadlessUi lines_;  // the messages and the progress line on standard error
    bool silent_;
    std::FILE* input_;
    bool interactive_;
};

// The pickers of a run without windows: no file dialog; a folder is typed on the
// terminal (an empty line keeps the offered one) when standard input is one,
// otherwise the picker counts as cancelled. Like a folder picker it hands back
// only a folder that exists, without a trailing "/" (the root as ""); any other
// answer is asked again.
class ConsoleChooser : public IFileChooser {
public:
    ConsoleChooser(std::FILE* input, bool interactive) : input_(input), interactive_(interactive) {}
    bool ChooseFile(FileDialogMode mode, std::string& path, const std::vector<FileFilter>& filters,
                    int selectedFilter) override;
    bool ChooseDirectory(std::string& directory) override;

private:
    std::FILE* input_;
    bool interactive_;
};

// One line read from input without its line break; false at the end of input.
bool ReadAnswerLine(std::FILE* input, std::string& line);
