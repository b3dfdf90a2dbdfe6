#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/rawsim/RecordEncoder.h"

namespace {

// Text of a 12-byte zero-padded field as a reader sees it: up to the first zero byte.
std::string FieldText(const std::string& s) {
    std::string t = s.substr(0, 12);
    const size_t zero = t.find('\0');
    return zero == std::string::npos ? t : t.substr(0, zero);
}

// Leading spaces removed; inside, a space is kept only when a next character exists
// and is neither a space nor a comma.
std::string Compact(const std::string& s) {
    size_t start = 0;
    while (start < s.size() && s[start] == ' ') ++start;
    std::string out;
    for (size_t k = start; k < s.size(); ++k) {
        if (s[k] == ' ') {
            if (k + 1 < s.size() && s[k + 1] != ' ' && s[k + 1] != ',') out.push_back(' ');
        } else {
            out.push_back(s[k]);
        }
    }
    return out;
}

void AppendPart(std::string& description, const std::string& part) {
    if (!description.empty()) description += ", ";
    description += part;
}

}  // namespace

int SiteKindOfType(int siteType) {
    switch (siteType) {
    case 1: return kEventNewSite;
    case 2: return kEventKinematic;
    case 4: return kEventSiteOrTime;
    case 5: return kEventNewSite5;
    case 6: return kEventKinematic6;
    default: return kEventIgnored;
    }
}

SiteEvent ExpectedSiteEvent(const SimEvent& ev) {
    SiteEvent out;
    out.time = ev.time;
    out.kind = SiteKindOfType(ev.siteType);
    std::string t[5];
    for (int k = 0; k < 5; ++k) t[k] = FieldText(ev.text[k]);
    out.markerName = FieldText(ev.markerName);
    if (!t[4].empty() && t[4].find(".JRS") != std::string::npos) {
        out.markerName = Compact(out.markerName + t[0] + t[1]);
        if (!t[2].empty()) AppendPart(out.description, "Geo1 : " + t[2]);
        if (t[3].size() >= 1) {
            const std::string two = t[3].substr(0, 2);
            char* end = nullptr;
            const long n = std::strtol(two.c_str(), &end, 10);
            if (end != two.c_str()) AppendPart(out.description, std::to_string(n) + " SVs");
        }
        if (t[3].size() > 2) {
            const std::string rest = t[3].substr(2);
            char* end = nullptr;
            const double p = std::strtod(rest.c_str(), &end);
            if (end != rest.c_str()) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "PDOP : %g", p);
                AppendPart(out.description, buf);
            }
        }
        AppendPart(out.description, "File : " + t[4]);
    } else {
        for (int k = 0; k < 4; ++k) {
            if (!t[k].empty()) AppendPart(out.description, "Geo" + std::to_string(k + 1) + " : " + t[k]);
        }
        if (!t[4].empty()) AppendPart(out.description, "File : " + t[4]);
    }
    return out;
}
