#include "convert/HeadlessUi.h"

#include "convert/StringTable.h"

HeadlessUi::HeadlessUi(std::FILE* messages) : stream_(messages), progress_(messages) {}

void HeadlessUi::SetStatus(const std::string& text) { progress_.SetStatus(text); }

void HeadlessUi::SetPosition(unsigned percent) { progress_.SetPosition(percent); }

bool HeadlessUi::CheckCancel() { return false; }

bool HeadlessUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    Message m;
    m.id = id;
    m.icon = icon;
    m.text = FormatString(id, args);
    if (stream_) {
        progress_.EndLine();
        std::fprintf(stream_, "%s\n", OneLine(m.text).c_str());
    }
    messages_.push_back(std::move(m));
    return true;
}

Answer HeadlessUi::AskRawKind(RecordKind&) { return Answer::Default; }

Answer HeadlessUi::AskPosition(ApproximatePosition&) { return Answer::Default; }
