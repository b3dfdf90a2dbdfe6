#include "app/dialog/DialogValues.h"

#include "app/dialog/ControlIds.h"

namespace {

constexpr HeaderTextInfo kHeaderTexts[kHeaderTextCount] = {
    {ControlId::kMarkerName, 60, "MarkerNames", nullptr, "Marker Name"},
    {ControlId::kMarkerNumber, 20, "MarkerNumbers", nullptr, "Marker Number"},
    {ControlId::kObserver, 20, "Observers", "Observer", "Observer Name"},
    {ControlId::kAgency, 40, "Agencies", "Agency", "Observer Agency"},
    {ControlId::kReceiverNumber, 20, "ReceiverNumbers", "RecNum", "Receiver Number"},
    {ControlId::kReceiverType, 20, "ReceiverTypes", "RecType", "Receiver Type"},
    {ControlId::kReceiverVersion, 20, "ReceiverVersions", "RecVer", "Receiver Version"},
    {ControlId::kAntennaNumber, 20, "AntennaNumbers", "AntNum", "Antenna Number"},
    {ControlId::kAntennaType, 20, "AntennaTypes", "AntType", "Antenna Type"},
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
