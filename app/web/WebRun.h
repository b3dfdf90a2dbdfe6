#pragma once
#include <string>
#include <vector>

#include "convert/ConversionUi.h"

// The browser edition's side of a run: the page calls the engine's main with
// command-line arguments (the program's own options and parameters) and reads one
// JSON object from standard output. Outputs go to the folders of the profile the
// page writes; the page reads them back from the in-memory file system.

// Passes a conversion's steps on to the page as they happen (and everything else
// on to target).
class PageProgressUi : public ConversionUi {
public:
    explicit PageProgressUi(ConversionUi& target) : target_(target) {}
    void SetStatus(const std::string& text) override;
    void SetPosition(unsigned percent) override;
    bool CheckCancel() override { return target_.CheckCancel(); }
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override {
        return target_.ShowMessage(id, icon, args);
    }
    Answer AskRawKind(RecordKind& kind) override { return target_.AskRawKind(kind); }
    Answer AskPosition(ApproximatePosition& position) override { return target_.AskPosition(position); }

private:
    ConversionUi& target_;
    std::string status_;
    int percent_ = -1;
};

// Runs what arguments ask: "--scan FILE" gives the file's facts, anything else one
// conversion as a silent command-line run would make it (a splice with --splice).
// Returns the JSON object for the page.
std::string RunForPage(const std::vector<std::string>& arguments);
