#include "app/dialog/RinexNaming.h"

#include <cmath>
#include <cstdio>

#include "app/dialog/DialogValues.h"
#include "convert/rinex/RinexLongName.h"
#include "rawdata/GpsTime.h"

namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Day of the year of a calendar date, 1 January being 1.
int DayOfYear(const CalendarTime& c) {
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int month = c.month < 1 ? 1 : (c.month > 12 ? 12 : c.month);
    return kDaysBefore[month - 1] + c.day + (month > 2 && IsLeapYear(c.year) ? 1 : 0);
}

}  // namespace

std::string RinexBaseName(const std::string& markerName, double recordedOn, int fileIndex) {
    std::string site = markerName.substr(0, 4);
    for (char& ch : site)
        if (ch == '/' || ch == '\0') ch = '_';
    GpsTime t;
    t.FromDays(std::isfinite(recordedOn) && recordedOn > 0 ? recordedOn + 0.5 : 0.5);
    const CalendarTime c = t.ToCalendar();
    const int index = fileIndex < 0 ? 0 : (fileIndex > 9 ? 9 : fileIndex);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03d%1d.%02d", DayOfYear(c), index,
                  ((c.year % 100) + 100) % 100);
    return site + digits;
}

RinexPaths RinexOutputPaths(const std::string& observationDirectory,
                            const std::string& navigationDirectory,
                            const std::string& markerName, double recordedOn, int fileIndex) {
    const std::string name = RinexBaseName(markerName, recordedOn, fileIndex);
    return RinexPaths{observationDirectory + "/" + name + "O", navigationDirectory + "/" + name + "N"};
}

std::string ExtensionForRecording(const std::string& extension, double recordedOn) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (extension.size() != 3 || !digit(extension[0]) || !digit(extension[1]) || !letter(extension[2]))
        return extension;
    // The two digits of the base name's year, the letter as it was.
    const std::string base = RinexBaseName("", recordedOn, 0);
    return base.substr(base.size() - 2) + extension[2];
}

void DeriveRinexNames(MainDialogValues& values) {
    const std::string gz = values.gzip ? ".gz" : "";
    if (values.rinexVersion >= 3) {  // RINEX 3 and 4: long names
        const MainDialogValues::DataSpan& d = values.dataSpan;
        // Before the source is scanned: its day at 00:00, period and frequency unknown.
        const GpsTime first = d.known ? d.first : GpsTime().AddSeconds(std::floor(values.recordedOn) * 86400.0);
        const double span = d.known ? d.span : -1.0;
        const std::string& marker = values.header[kMarkerName];
        std::string observation =
            RinexLongName(marker, values.country, first, span, d.interval, RinexFileKind::Observation);
        if (values.hatanaka) observation.replace(observation.size() - 4, 4, ".crx");
        values.observationPath = values.observationDirectory + "/" + observation + gz;
        values.navigationPath = values.navigationDirectory + "/" +
                                RinexLongName(marker, values.country, first, span, d.interval, RinexFileKind::Navigation) +
                                gz;
        return;
    }
    const RinexPaths paths =
        RinexOutputPaths(values.observationDirectory, values.navigationDirectory,
                         values.header[kMarkerName], values.recordedOn, values.fileIndex);
    values.observationPath = paths.observation;
    if (values.hatanaka) values.observationPath.back() = 'D';
    values.observationPath += gz;
    values.navigationPath = paths.navigation + gz;
}
