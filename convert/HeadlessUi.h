#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "convert/ConversionUi.h"
#include "convert/TerminalProgress.h"

// The conversion's person-facing side without any window and without anyone to
// ask: questions take their preselected answers (Answer::Default), nothing is
// cancelled, messages are printed on one line each to a stream (standard error),
// and a progress line is drawn there when it is a terminal. Every message is also
// kept in a list that callers can inspect.
class HeadlessUi : public ConversionUi {
public:
    struct Message {
        int id = 0;
        MessageIcon icon = MessageIcon::Information;
        std::string text;
    };

    // messages: the stream the application hands for messages and progress (its
    // standard error, for a terminal run); nullptr keeps them in the list only.
    explicit HeadlessUi(std::FILE* messages);

    void SetStatus(const std::string& text) override;
    void SetPosition(unsigned percent) override;
    bool CheckCancel() override;
    // Prints and keeps the message; a question counts as answered Yes.
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override;
    Answer AskRawKind(RecordKind& kind) override;
    Answer AskPosition(ApproximatePosition& position) override;

    // Messages shown so far, in order.
    const std::vector<Message>& Messages() const { return messages_; }
    // Ends an open progress line, so that the next output starts on a fresh line.
    void EndProgressLine() { progress_.EndLine(); }

private:
    std::FILE* stream_;
    TerminalProgress progress_;
    std::vector<Message> messages_;
};
