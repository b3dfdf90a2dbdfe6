#pragma once
#include <string>
#include <vector>

#include "convert/ConversionUi.h"
#include "convert/StringTable.h"

// A person scripted by a test: answers the questions as told, cancels at a chosen
// poll, keeps every message and counts the questions. Prints nothing.
class ScriptedUi : public ConversionUi {
public:
    struct Message {
        int id = 0;
        MessageIcon icon = MessageIcon::Information;
        std::string text;
    };

    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetPosition(unsigned percent) override { positions.push_back(percent); }
    bool CheckCancel() override { return cancelAtPoll >= 0 && polls++ == cancelAtPoll; }
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override {
        messages_.push_back({id, icon, FormatString(id, args)});
        return icon == MessageIcon::Question ? answerYes : true;
    }
    Answer AskRawKind(RecordKind& kind) override {
        ++rawKindQuestions;
        if (cancelQuestions) return Answer::Cancelled;
        if (answeredBy == Answer::Person) kind = rawKindChoice;
        return answeredBy;
    }
    Answer AskPosition(ApproximatePosition& answer) override {
        ++positionQuestions;
        if (cancelQuestions) return Answer::Cancelled;
        if (answeredBy == Answer::Person) answer = position;
        return answeredBy;
    }

    const std::vector<Message>& Messages() const { return messages_; }
    std::vector<int> MessageIds() const {
        std::vector<int> ids;
        for (const Message& m : messages_) ids.push_back(m.id);
        return ids;
    }

    // The script.
    RecordKind rawKindChoice = kRecordReceiverDated;  // answer of AskRawKind
    ApproximatePosition position;          // answer of AskPosition
    Answer answeredBy = Answer::Person;    // Default: nobody answered, the preselection stays
    bool cancelQuestions = false;          // the questions report Cancel
    bool answerYes = true;                 // answer of yes/no questions
    long cancelAtPoll = -1;                // CheckCancel reports a cancel at this poll (0-based); -1 never

    // What happened.
    int rawKindQuestions = 0;
    int positionQuestions = 0;
    long polls = 0;
    std::vector<std::string> statuses;
    std::vector<unsigned> positions;

private:
    std::vector<Message> messages_;
};
