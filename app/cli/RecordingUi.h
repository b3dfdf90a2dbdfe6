#pragma once
#include <vector>

#include "convert/HeadlessUi.h"

// A ConversionUi that passes everything on to another and keeps the messages
// shown, in order (for the run's JSON summary, whichever side showed them).
class RecordingUi : public ConversionUi {
public:
    explicit RecordingUi(ConversionUi& target) : target_(target) {}

    void SetStatus(const std::string& text) override { target_.SetStatus(text); }
    void SetPosition(unsigned percent) override { target_.SetPosition(percent); }
    bool CheckCancel() override { return target_.CheckCancel(); }
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override;
    Answer AskRawKind(RecordKind& kind) override { return target_.AskRawKind(kind); }
    Answer AskPosition(ApproximatePosition& position) override { return target_.AskPosition(position); }

    const std::vector<HeadlessUi::Message>& Messages() const { return messages_; }

private:
    ConversionUi& target_;
    std::vector<HeadlessUi::Message> messages_;
};
