#include "app/ConversionSummary.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "positioning/GeoPosition.h"

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

std::string FormatEpochTime(const GpsTime& t) {
    // Rounded first, so that 59.99999999 s is the next minute, as in the epoch lines.
    const long long units = std::llround(t.seconds * 1e7);  // 0.1 microsecond
    const GpsTime whole = GpsTime(t.week, 0.0).AddSeconds(static_cast<double>(units / 10000000));
    const CalendarTime c = whole.ToCalendar();
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%07lld", c.year, c.month, c.day, c.hour,
                  c.minute, c.second, units % 10000000);
    return text;
}

std::vector<std::string> ConversionSummaryLines(const ConversionRequest& request, const ConversionResult& result) {
    std::vector<std::string> lines;
    lines.push_back("Observation file: " + request.observationPath);
    lines.push_back("Navigation file: " + request.navigationPath);
    if (result.logWritten)
        lines.push_back("Log files: " + request.observationPath + ".log, " + request.observationPath + ".pos");
    std::string summary = std::to_string(result.epochsWritten) + " epochs, " +
                          std::to_string(std::popcount(result.satellites)) + " satellites";
    if (result.epochsWritten > 0)
        summary += ", " + FormatEpochTime(result.firstEpoch) + " to " + FormatEpochTime(result.lastEpoch) + " GPS";
    if (result.headerPositionKnown) {
        GeoPosition p;
        p.SetCartesian(result.headerX, result.headerY, result.headerZ);
        char text[128];
        std::snprintf(text, sizeof text, ", position latitude %.8f, longitude %.8f, height %.3f m",
                      p.Latitude() * kDegreesPerRadian, p.Longitude() * kDegreesPerRadian, p.Height());
        summary += text;
    } else {
        summary += ", no position";
    }
    lines.push_back(summary);
    return lines;
}
