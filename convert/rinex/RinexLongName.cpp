#include "convert/rinex/RinexLongName.h"

#include <cmath>
#include <cstdio>

#include "convert/rinex/RinexFormat.h"

namespace {

// The code of count (1..99) in a unit letter, e.g. "05M"; "00U" out of range.
std::string Code(long long count, char unit) {
    if (count < 1 || count > 99) return "00U";
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02lld%c", count, unit);
    return buffer;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Day of the year of a calendar date, 1 January being 1.
int DayOfYear(int year, int month, int day) {
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    month = month < 1 ? 1 : (month > 12 ? 12 : month);
    return kDaysBefore[month - 1] + day + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string RinexPeriodCode(double spanSeconds) {
    if (!(spanSeconds <= 366.0 * 86400.0)) return "00U";
    if (spanSeconds <= 900.0) return "15M";
    if (spanSeconds <= 3600.0) return "01H";
    if (spanSeconds <= 86400.0) return "01D";
    return "01Y";
}

std::string RinexFrequencyCode(double intervalSeconds) {
    if (!(intervalSeconds > 0.0) || !std::isfinite(intervalSeconds)) return "00U";
    if (intervalSeconds < 1.0) {
        const double hertz = 1.0 / intervalSeconds;
        return hertz >= 99.5 ? Code(std::llround(hertz / 100.0), 'C') : Code(std::llround(hertz), 'Z');
    }
    const long long seconds = std::llround(intervalSeconds);
    if (seconds % 86400 == 0) return Code(seconds / 86400, 'D');
    if (seconds % 3600 == 0) return Code(seconds / 3600, 'H');
    if (seconds % 60 == 0) return Code(seconds / 60, 'M');
    if (seconds < 100) return Code(seconds, 'S');
    if (seconds < 100 * 60) return Code(std::llround(intervalSeconds / 60.0), 'M');
    if (seconds < 100 * 3600) return Code(std::llround(intervalSeconds / 3600.0), 'H');
    return Code(std::llround(intervalSeconds / 86400.0), 'D');
}

std::string RinexLongName(std::string_view markerName, std::string_view countryCode, const GpsTime& firstEpoch,
                          double spanSeconds, double intervalSeconds, RinexFileKind kind) {
    std::string name;
    for (size_t i = 0; i < 4; ++i) {
        const char c = i < markerName.size() ? Upper(markerName[i]) : 'X';
        name.push_back(IsLetter(c) || IsDigit(c) ? c : 'X');
    }
    name += "00";
    std::string country;
    for (const char c : countryCode) country.push_back(Upper(c));
    const bool valid = country.size() == 3 && IsLetter(country[0]) && IsLetter(country[1]) && IsLetter(country[2]);
    name += valid ? country : "XXX";

    const rinex::RinexDateTime d = rinex::SplitTime(firstEpoch, 7);
    char start[16];
    std::snprintf(start, sizeof start, "%04d%03d%02d%02d", d.year % 10000, DayOfYear(d.year, d.month, d.day),
                  d.hour, d.minute);
    name += "_R_";
    name += start;
    name += "_" + RinexPeriodCode(spanSeconds);
    if (kind == RinexFileKind::Observation) name += "_" + RinexFrequencyCode(intervalSeconds);
    name += kind == RinexFileKind::Observation ? "_GO.rnx" : "_GN.rnx";
    return name;
}
