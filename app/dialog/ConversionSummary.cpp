#include "app/dialog/ConversionSummary.h"

#include "rawdata/GpsConstants.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "quality/QualityJson.h"
#include "positioning/GeoPosition.h"

namespace {


}  // namespace

std::string FormatEpochTime(const GpsTime& t) {
    // Rounded first, so that 59.99999999 s is the next minute, as in the epoch lines.
    const long long units = std::llround(t.seconds * 1e7);  // 0.1 microsecond
    // NOLINTNEXTLINE(bugprone-integer-division): whole seconds on purpose
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

namespace {

// A JSON number in a printf format (never NaN or infinity: null).
std::string JsonFormatted(double value, const char* format) {
    if (!std::isfinite(value)) return "null";
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The path when a file is there after the run, else null.
std::string JsonPath(const std::string& path, bool written) {
    return written && KindOfPath(path) == PathKind::File ? JsonString(path) : "null";
}

}  // namespace

std::string ConversionJson(const ConversionRequest& request, const ConversionResult& result, bool ok,
                           const std::string& message, const std::string& extra) {
    const bool logs = result.logWritten;
    std::string j = "{\"source\": " + JsonString(request.sourcePath);
    j += ", \"observation\": " + JsonPath(request.observationPath, ok || result.epochsWritten > 0);
    j += ", \"navigation\": " + JsonPath(request.navigationPath, ok);
    j += ", \"log\": " + JsonPath(request.observationPath + ".log", logs);
    j += ", \"pos\": " + JsonPath(request.observationPath + ".pos", logs);
    j += std::string(", \"status\": ") + (ok ? "\"ok\"" : "\"failed\"");
    j += ", \"message\": " + (ok ? std::string("null") : JsonString(message));
    j += ", \"epochs\": " + std::to_string(result.epochsWritten);
    const bool any = result.epochsWritten > 0;
    j += ", \"first\": " + (any ? JsonString(FormatEpochTime(result.firstEpoch)) : std::string("null"));
    j += ", \"last\": " + (any ? JsonString(FormatEpochTime(result.lastEpoch)) : std::string("null"));
    j += ", \"satellites\": [";
    bool firstPrn = true;
    for (int k = 0; k < 32; ++k)
        if ((result.satellites >> k) & 1u) {
            j += (firstPrn ? "" : ", ") + std::to_string(k + 1);
            firstPrn = false;
        }
    j += "], \"position\": ";
    if (result.fixKnown) {
        GeoPosition p;
        p.SetCartesian(result.fixX, result.fixY, result.fixZ);
        j += "{\"x\": " + JsonFormatted(result.fixX, "%.4f") + ", \"y\": " + JsonFormatted(result.fixY, "%.4f") +
             ", \"z\": " + JsonFormatted(result.fixZ, "%.4f") +
             ", \"latitude\": " + JsonFormatted(p.Latitude() * kDegreesPerRadian, "%.10f") +
             ", \"longitude\": " + JsonFormatted(p.Longitude() * kDegreesPerRadian, "%.10f") +
             ", \"height\": " + JsonFormatted(p.Height(), "%.4f") + "}";
    } else {
        j += "null";
    }
    if (!extra.empty()) j += ", " + extra;
    return j + "}";
}

std::string WeekNote(const ConversionResult& result) {
    if (result.dataWeek < 0 || std::abs(result.dataWeek - result.recordedWeek) <= 26) return {};
    return "the data's GPS week " + std::to_string(result.dataWeek) + " is " +
           std::to_string(std::abs(result.dataWeek - result.recordedWeek)) +
           " weeks from the Recorded On date's week " + std::to_string(result.recordedWeek) +
           " (the data's week was used)";
}

std::vector<std::string> SuccessMessageLines(const ConversionRequest& request, const ConversionResult& result,
                                             const std::vector<std::string>& plots) {
    std::vector<std::string> lines = ConversionSummaryLines(request, result);
    // Every file written is named, before the summary line.
    std::vector<std::string> more;
    if (result.qualityWritten) more.push_back("Quality report: " + request.observationPath + ".qc");
    for (const std::string& plot : plots) more.push_back("Plot: " + plot);
    lines.insert(lines.end() - 1, more.begin(), more.end());
    if (std::string note = WeekNote(result); !note.empty()) {
        note[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(note[0])));
        lines.push_back(note);
    }
    return lines;
}
