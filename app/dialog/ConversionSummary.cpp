#include "app/dialog/ConversionSummary.h"

#include "rawdata/GpsConstants.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "convert/TerminalProgress.h"
#include "quality/QualityJson.h"
#include "positioning/GeoPosition.h"

RunReport MakeRunReport(const ConversionRequest& request, const ConversionResult& result, bool converted,
                        std::string message) {
    RunReport report{request, result, converted ? RunStatus::Converted : RunStatus::Failed, {}, {}};
    if (!converted) {
        report.message = message.empty() ? std::string("not converted") : std::move(message);
        return report;
    }
    for (const PlannedOutput& output : OutputSetOf(request).outputs) {
        const OutputKind k = output.kind;
        const bool written = k == OutputKind::Observation || k == OutputKind::Navigation ||
                             ((k == OutputKind::Log || k == OutputKind::Positions) && result.logWritten) ||
                             (k == OutputKind::Quality && result.qualityWritten);
        if (written) report.written.push_back(output);
    }
    return report;
}

RunReport RefusedRunReport(const ConversionRequest& request, std::string reason) {
    return RunReport{request, ConversionResult{}, RunStatus::Refused, std::move(reason), {}};
}

bool PlotRun(RunReport& report, IQualityPlotter* plotter, std::string& error) {
    error = "this build has no charts (built without the desktop windows)";
    const ConversionResult& r = report.result;
    if (!plotter || !r.quality || !r.qualitySeries) return false;
    const std::vector<std::string> plots =
        PublishPlots(*plotter, *r.quality, *r.qualitySeries, report.request.observationPath, error);
    for (const std::string& plot : plots) report.written.push_back(PlannedOutput{OutputKind::Plot, plot});
    return !plots.empty();
}

std::string WrittenPath(const RunReport& report, OutputKind kind) {
    for (const PlannedOutput& output : report.written)
        if (output.kind == kind) return output.path;
    return {};
}

std::string FailureText(const std::vector<HeadlessUi::Message>& messages, const PathCheckFailure& failure) {
    std::string text;
    for (const HeadlessUi::Message& m : messages)
        if (m.icon == MessageIcon::Stop || m.icon == MessageIcon::Exclamation) text = OneLine(m.text);
    if (text.empty() && !messages.empty()) text = OneLine(messages.back().text);
    if (!failure.which.empty())
        text += (text.empty() ? "" : " ") + ("(" + failure.which + " path " + failure.path + ": " + failure.reason + ")");
    return text.empty() ? std::string("not converted") : text;
}

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

std::vector<std::string> ConversionSummaryLines(const RunReport& report) {
    const ConversionResult& result = report.result;
    std::vector<std::string> lines;
    lines.push_back("Observation file: " + WrittenPath(report, OutputKind::Observation));
    lines.push_back("Navigation file: " + WrittenPath(report, OutputKind::Navigation));
    if (const std::string log = WrittenPath(report, OutputKind::Log); !log.empty())
        lines.push_back("Log files: " + log + ", " + WrittenPath(report, OutputKind::Positions));
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

// The path of the written file of kind, else null.
std::string JsonPath(const RunReport& report, OutputKind kind) {
    const std::string path = WrittenPath(report, kind);
    return path.empty() ? "null" : JsonString(path);
}

}  // namespace

std::string ConversionJson(const RunReport& report, const std::string& extra) {
    const ConversionResult& result = report.result;
    const bool ok = report.status == RunStatus::Converted;
    std::string j = "{\"source\": " + JsonString(report.request.sourcePath);
    j += ", \"observation\": " + JsonPath(report, OutputKind::Observation);
    j += ", \"navigation\": " + JsonPath(report, OutputKind::Navigation);
    j += ", \"log\": " + JsonPath(report, OutputKind::Log);
    j += ", \"pos\": " + JsonPath(report, OutputKind::Positions);
    j += std::string(", \"status\": ") + (ok ? "\"ok\"" : "\"failed\"");
    j += ", \"message\": " + (ok ? std::string("null") : JsonString(report.message));
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

std::vector<std::string> SuccessMessageLines(const RunReport& report) {
    std::vector<std::string> lines = ConversionSummaryLines(report);
    // Every file written is named, before the summary line.
    std::vector<std::string> more;
    for (const PlannedOutput& output : report.written) {
        if (output.kind == OutputKind::Quality) more.push_back("Quality report: " + output.path);
        if (output.kind == OutputKind::Plot) more.push_back("Plot: " + output.path);
    }
    lines.insert(lines.end() - 1, more.begin(), more.end());
    if (std::string note = WeekNote(report.result); !note.empty()) {
        note[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(note[0])));
        lines.push_back(note);
    }
    return lines;
}
