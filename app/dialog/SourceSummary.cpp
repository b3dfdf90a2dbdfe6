#include "app/dialog/SourceSummary.h"

#include <cmath>
#include <cstdio>

#include "platform/FileSystem.h"
#include "rawdata/RecordKind.h"

namespace {

// "2024-02-07"
std::string DayText(double day) {
    GpsTime t;
    t.FromDays(day);
    const CalendarTime c = t.ToCalendar();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

// "10:00:00", or "2024-02-08 10:00:00" when t is not on day.
std::string TimeText(const GpsTime& t, double day) {
    const CalendarTime c = t.ToCalendar();
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    return std::floor(t.ToDays()) == day ? std::string(text) : DayText(std::floor(t.ToDays())) + " " + text;
}

// "1 epoch", "121 epochs", "no epochs"
std::string Count(long n, const std::string& one, const std::string& many = {}) {
    return (n == 0 ? std::string("no") : std::to_string(n)) + " " + (n == 1 ? one : many.empty() ? one + "s" : many);
}

}  // namespace

RecordingDay RecordingDayOf(const RecordScan& scan, double fileDay) {
    if (scan.validEpochs > 0) return {std::floor(scan.firstEpoch.ToDays()), true};
    return {std::floor(fileDay), false};
}

std::string SourceSummaryLine(const RecordScan& scan, double fileDay) {
    const RecordingDay day = RecordingDayOf(scan, fileDay);
    std::string line = DayText(day.day) + (day.fromData ? " (from the data)" : " (the file's date: no full GPS week in the data)");
    if (scan.validEpochs > 0) {
        line += ", " + TimeText(scan.firstEpoch, day.day) + " to " + TimeText(scan.lastEpoch, day.day) + " GPS";
        if (scan.interval > 0) {
            char every[32];
            std::snprintf(every, sizeof every, ", every %g s", scan.interval);
            line += every;
        }
    }
    // The epoch records of each raw-data kind (a recording may hold both for every epoch).
    const long satelliteDated = scan.perKind[kRecordSatelliteDated];
    const long receiverDated = scan.perKind[kRecordReceiverDated];
    if (satelliteDated > 0 && receiverDated > 0)
        line += ", " + std::to_string(satelliteDated) + " satellite-dated and " + std::to_string(receiverDated) +
                " receiver-dated epochs";
    else if (satelliteDated > 0 || receiverDated > 0)
        line += ", " + Count(satelliteDated + receiverDated, satelliteDated > 0 ? "satellite-dated epoch" : "receiver-dated epoch");
    else
        line += ", no epochs";
    line += ", " + Count(SatelliteCount(scan), "satellite");
    line += ", " + Count(scan.perKind[kRecordEphemeris], "ephemeris", "ephemerides");
    line += ", " + Count(scan.perKind[kRecordSiteEvent] + scan.perKind[kRecordAntennaHeight], "event");
    if (scan.invalidEpochs > 0) line += " (" + Count(scan.invalidEpochs, "unreadable epoch") + ")";
    return line;
}

std::string SummarizeSource(const std::string& path, int format, double fileDay, const std::atomic<bool>* stop) {
    switch (KindOfPath(path)) {
        case PathKind::Missing: return "no such file";
        case PathKind::Directory: return "is a folder";
        case PathKind::Other: return "not a regular file";
        default: break;
    }
    if (format != 0 && format != 1) format = GuessFormatIndex(path);
    if (format < 0) return "cannot be opened";
    const RecordScan scan = ScanRawFile(path, format, stop);
    if (scan.stopped) return {};
    if (!scan.opened) return "cannot be read as a raw data file";
    return SourceSummaryLine(scan, fileDay);
}
