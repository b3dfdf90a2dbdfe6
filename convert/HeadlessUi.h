#pragma once
#include <string>
#include <vector>

#include "convert/ConversionUi.h"

// The conversion's person-facing side without any window: questions take their
// preselected answers, messages go to standard error, and a progress line is
// drawn on standard error only when it is a terminal. Every message is also kept
// in a list that callers (the command line, tests) can inspect.
class HeadlessUi : public ConversionUi {
public:
    struct Message {
        int id = 0;
        MessageIcon icon = MessageIcon::Information;
        std::string text;
    };

    HeadlessUi();
    ~HeadlessUi() override;

    void SetStatus(const std::string& text) override;
    void SetPosition(unsigned percent) override;
    bool CheckCancel() override;
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override;
    bool AskRawKind(int& choice) override;
    bool AskPosition(ApproximatePosition& position) override;

    // Messages shown so far, in order.
    const std::vector<Message>& Messages() const { return messages_; }

    // Answers and behaviour; the defaults are those of a silent run.
    int rawKindChoice = 1;           // answer of AskRawKind
    bool cancelQuestions = false;    // AskRawKind and AskPosition report Cancel
    ApproximatePosition position;    // answer of AskPosition
    long cancelAtPoll = -1;          // CheckCancel reports a cancel at this poll (0-based); -1 never
    bool printMessages = true;       // write messages to standard error
    int rawKindQuestions = 0;        // number of AskRawKind calls
    int positionQuestions = 0;       // number of AskPosition calls

protected:
    // Ends an open progress line, so that the next output starts on a fresh line.
    void EndProgressLine();

private:
    std::vector<Message> messages_;
    std::string status_;
    long polls_ = 0;
    bool terminal_ = false;
    bool lineOpen_ = false;
    int lastPercent_ = -1;
};
