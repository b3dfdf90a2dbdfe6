#include "app/cli/RecordingUi.h"

#include "convert/StringTable.h"

bool RecordingUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    messages_.push_back({id, icon, FormatString(id, args)});
    return target_.ShowMessage(id, icon, args);
}
