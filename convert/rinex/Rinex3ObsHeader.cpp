#include "convert/rinex/Rinex3ObsHeader.h"

#include <cstdio>

#include "convert/rinex/RinexFormat.h"

using namespace rinex;

namespace rinex3 {

namespace {

constexpr double kVersion = 3.04;
constexpr int kTypesPerLine = 13;

// Clamps v into [low, high] so that a damaged date cannot widen its field.
int Clamp(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

}  // namespace

std::string VersionTypeRecord(std::string_view fileTypeText, double version) {
    return HeaderRecord(fixed(9, 2, version) + text(11, "") + text(20, fileTypeText) + text(20, "G: GPS"),
                        "RINEX VERSION / TYPE");
}

std::string FormatCreationDate(const CalendarTime& date, std::string_view zone) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d %02d%02d%02d ", Clamp(date.year, 0, 9999),
                  Clamp(date.month, 1, 12), Clamp(date.day, 1, 31), Clamp(date.hour, 0, 23),
                  Clamp(date.minute, 0, 59), Clamp(date.second, 0, 60));
    return std::string(buffer) + std::string(zone);
}

std::string ProgramRecord(const RinexFileHeader& h) {
    const std::string date = FormatCreationDate(h.creationDate, h.timeZone);
    return HeaderRecord(text(20, h.program) + text(20, h.runBy) + text(20, date), "PGM / RUN BY / DATE");
}

std::string SysObsTypesRecords(char system, const std::vector<std::string>& codes) {
    std::string out;
    const size_t n = codes.size();
    size_t i = 0;
    do {
        std::string columns = i == 0 ? std::string(1, system) + text(2, "") + integer(3, static_cast<long long>(n))
                                     : text(6, "");
        for (size_t last = i + kTypesPerLine; i < n && i < last; ++i) columns += " " + text(3, codes[i]);
        out += HeaderRecord(columns, "SYS / # / OBS TYPES");
    } while (i < n);
    return out;
}

std::string ObservationTimeRecord(const GpsTime& t, std::string_view label) {
    const RinexDateTime d = SplitTime(t, 7);
    return HeaderRecord(integer(6, d.year) + integer(6, d.month) + integer(6, d.day) + integer(6, d.hour) +
                            integer(6, d.minute) + fixed(13, 7, d.seconds) + text(5, "") + "GPS",
                        label);
}

std::vector<std::string> WrittenTypeCodes(const RinexObsHeader& h) {
    std::vector<std::string> codes;
    for (const ObsType& t : kObsTypes)
        if (TypeWritten(t, h.typeMask, h.cn0Mask)) codes.emplace_back(t.code);
    return codes;
}

std::string ObsHeaderText(const RinexObsHeader& h) { return ObsHeaderText(h, kVersion, true); }

std::string ObsHeaderText(const RinexObsHeader& h, double version, bool phaseShift) {
    std::string out = VersionTypeRecord("OBSERVATION DATA", version) + rinex3::ProgramRecord(h);
    if (!h.comment.empty()) out += rinex::comment(h.comment);
    const std::vector<std::string> codes = WrittenTypeCodes(h);

    // The W codes are P(Y) observations of a receiver tracking under anti-spoofing.
    std::string wCodes;
    for (const std::string& code : codes)
        if (code[2] == 'W' && code[0] != 'S') wCodes += (wCodes.empty() ? "" : " ") + code;
    if (!wCodes.empty()) out += rinex::comment(wCodes + ": P-CODE OBSERVATIONS UNDER ANTI-SPOOFING");

    out += MarkerNameRecord(h.markerName);
    if (!h.markerNumber.empty()) out += HeaderRecord(text(20, h.markerNumber), "MARKER NUMBER");
    out += HeaderRecord(text(20, h.observer) + text(40, h.agency), "OBSERVER / AGENCY");
    out += HeaderRecord(text(20, h.receiverNumber) + text(20, h.receiverType) + text(20, h.receiverVersion),
                        "REC # / TYPE / VERS");
    out += HeaderRecord(text(20, h.antennaNumber) + text(20, h.antennaType), "ANT # / TYPE");
    out += ApproxPositionRecord(h.approxX, h.approxY, h.approxZ);
    out += AntennaDeltaRecord(h.antennaDeltaH, h.antennaDeltaE, h.antennaDeltaN);
    if (!h.antennaComment.empty()) out += rinex::comment(h.antennaComment);
    out += SysObsTypesRecords('G', codes);
    if (h.cn0Mask != 0) out += HeaderRecord("DBHZ", "SIGNAL STRENGTH UNIT");
    // F10.3 shows intervals down to a millisecond; 0 means not determined.
    if (h.interval >= 0.001) out += HeaderRecord(fixed(10, 3, h.interval), "INTERVAL");
    out += rinex3::ObservationTimeRecord(h.firstTime, "TIME OF FIRST OBS");
    out += rinex3::ObservationTimeRecord(h.lastTime, "TIME OF LAST OBS");
    // The phases are written as tracked: no quarter-cycle shift was applied to any.
    for (const std::string& code : codes)
        if (phaseShift && code[0] == 'L') out += HeaderRecord("G " + code + " " + fixed(8, 5, 0.0), "SYS / PHASE SHIFT");
    out += EndOfHeader();
    return out;
}

}  // namespace rinex3
