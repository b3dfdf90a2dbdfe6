#include "app/dialog/DialogValues.h"

#include "app/dialog/ControlIds.h"

namespace {

constexpr HeaderTextInfo kHeaderTexts[kHeaderTextCount] = {
    {ControlId::kMarkerName, 60, "MarkerNames", nullptr},
    {ControlId::kMarkerNumber, 20, "MarkerNumbers", nullptr},
    {ControlId::kObserver, 20, "Observers", "Observer"},
    {ControlId::kAgency, 40, "Agencies", "Agency"},
    {ControlId::kReceiverNumber, 20, "ReceiverNumbers", "RecNum"},
    {ControlId::kReceiverType, 20, "ReceiverTypes", "RecType"},
    {ControlId::kReceiverVersion, 20, "ReceiverVersions", "RecVer"},
    {ControlId::kAntennaNumber, 20, "AntennaNumbers", "AntNum"},
    {ControlId::kAntennaType, 20, "AntennaTypes", "AntType"},
};

char UpperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

const HeaderTextInfo& HeaderTextTable(int index) { return kHeaderTexts[index]; }

std::string ToUpperText(const std::string& text) {
    std::string u = text;
    for (char& c : u) c = UpperLetter(c);
    return u;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperLetter(a[i]) != UpperLetter(b[i])) return false;
    return true;
}
