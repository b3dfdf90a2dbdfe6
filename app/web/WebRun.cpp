#include "app/web/WebRun.h"

#include <emscripten.h>

#include <cmath>
#include <exception>

#include "app/cli/CommandLine.h"
#include "app/cli/CommandLineRun.h"
#include "app/cli/ConsoleUi.h"
#include "app/cli/RecordingUi.h"
#include "app/dialog/ConversionSummary.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/MemoryControls.h"
#include "convert/ConversionUi.h"
#include "app/program/InstallPaths.h"
#include "app/runs/Splice.h"
#include "convert/TerminalProgress.h"
#include "platform/Profile.h"
#include "quality/QualityJson.h"
#include "rawdata/RecordScan.h"

namespace {

// Where the page keeps the run's files in the engine's memory.
const char* const kProfilePath = "/profile/qern2rinex.ini";
const char* const kDataDirectory = "/in";

// Passes a conversion's steps on to the page as they happen (and everything else
// on to target).
class PageProgressUi : public ConversionUi {
public:
    explicit PageProgressUi(ConversionUi& target) : target_(target) {}
    void SetStatus(const std::string& text) override {
        target_.SetStatus(text);
        status_ = OneLine(text);
        percent_ = -1;
        SetPosition(0);
    }
    void SetPosition(unsigned percent) override {
        target_.SetPosition(percent);
        if (static_cast<int>(percent) == percent_) return;
        percent_ = static_cast<int>(percent);
        // The page's hook, when it set one: (status text, percent).
        EM_ASM({
            if (Module["onProgress"]) Module["onProgress"](UTF8ToString($0), $1);
        }, status_.c_str(), percent);
    }
    bool CheckCancel() override { return target_.CheckCancel(); }
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override {
        return target_.ShowMessage(id, icon, args);
    }
    Answer AskRawKind(RecordKind& kind) override { return target_.AskRawKind(kind); }
    Answer AskPosition(ApproximatePosition& position) override { return target_.AskPosition(position); }

private:
    ConversionUi& target_;
    std::string status_;
    int percent_ = -1;
};

std::string Member(const char* key, const std::string& value) { return std::string("\"") + key + "\": " + value; }

// A run that could not start, or a file that could not be read.
std::string Failure(const std::string& message) {
    return "{" + Member("status", "\"failed\"") + ", " + Member("message", JsonString(message)) + "}";
}

// The facts of a raw data file the page shows once it is picked.
std::string ScanJson(const std::string& path) {
    const int format = GuessFormatIndex(path);
    const RecordScan scan = format < 0 ? RecordScan() : ScanRawFile(path, format);
    if (!scan.opened) return Failure("cannot read " + path + " as a raw data file");
    std::string kinds;
    for (int k = 1; k < RecordScan::kKinds; ++k) {
        if (scan.perKind[k] == 0) continue;
        kinds += std::string(kinds.empty() ? "" : ", ") + JsonString(RecordKindName(k, format)) + ": " +
                 std::to_string(scan.perKind[k]);
    }
    const bool epochs = scan.validEpochs > 0;
    return "{" + Member("status", "\"ok\"") + ", " + Member("format", format == 0 ? "\"ASCII\"" : "\"binary\"") +
           ", " + Member("bytes", std::to_string(scan.fileLength)) + ", " +
           Member("records", std::to_string(scan.records)) + ", " +
           Member("epochs", std::to_string(scan.validEpochs)) + ", " +
           Member("invalidEpochs", std::to_string(scan.invalidEpochs)) + ", " +
           Member("first", epochs ? JsonString(FormatEpochTime(scan.firstEpoch)) : "null") + ", " +
           Member("last", epochs ? JsonString(FormatEpochTime(scan.lastEpoch)) : "null") + ", " +
           Member("span", epochs ? JsonNumber(scan.lastEpoch.Difference(scan.firstEpoch), 1) : "null") + ", " +
           Member("interval", scan.interval > 0 ? JsonNumber(scan.interval, 1) : "null") + ", " +
           Member("kinds", "{" + kinds + "}") + "}";
}

// Numbers of a series member as a JSON array (null for what is not known).
template <typename Sample, typename Get>
std::string Column(const std::vector<Sample>& samples, Get get, int decimals) {
    std::string out = "[";
    for (size_t i = 0; i < samples.size(); ++i) {
        if (i) out += ',';
        out += JsonNumber(get(samples[i]), decimals);
    }
    return out + "]";
}

// The series behind the quality plots, as columns.
std::string SeriesJson(const QualitySeries& s) {
    using Sat = SatelliteSample;
    using Slip = SlipSample;
    using Epoch = EpochSample;
    const auto prn = [](const auto& x) { return static_cast<double>(x.satellite + 1); };
    const std::string satellites =
        "{" + Member("time", Column(s.satellites, [](const Sat& x) { return x.time; }, 1)) + ", " +
        Member("prn", Column(s.satellites, prn, 0)) + ", " +
        Member("azimuth", Column(s.satellites, [](const Sat& x) { return x.azimuth; }, 2)) + ", " +
        Member("elevation", Column(s.satellites, [](const Sat& x) { return x.elevation; }, 2)) + ", " +
        Member("cn0", Column(s.satellites, [](const Sat& x) { return x.cn0; }, 1)) + ", " +
        Member("mp1", Column(s.satellites, [](const Sat& x) { return x.mp1; }, 3)) + ", " +
        Member("mp2", Column(s.satellites, [](const Sat& x) { return x.mp2; }, 3)) + "}";
    const std::string slips =
        "{" + Member("time", Column(s.slips, [](const Slip& x) { return x.time; }, 1)) + ", " +
        Member("prn", Column(s.slips, prn, 0)) + ", " +
        Member("azimuth", Column(s.slips, [](const Slip& x) { return x.azimuth; }, 2)) + ", " +
        Member("elevation", Column(s.slips, [](const Slip& x) { return x.elevation; }, 2)) + ", " +
        Member("flagged", Column(s.slips, [](const Slip& x) { return x.flagged ? 1.0 : 0.0; }, 0)) + ", " +
        Member("found", Column(s.slips, [](const Slip& x) { return x.found ? 1.0 : 0.0; }, 0)) + "}";
    const std::string epochs =
        "{" + Member("time", Column(s.epochs, [](const Epoch& x) { return x.time; }, 1)) + ", " +
        Member("satellites", Column(s.epochs, [](const Epoch& x) { return double(x.satellites); }, 0)) + ", " +
        Member("north", Column(s.epochs, [](const Epoch& x) { return x.north; }, 3)) + ", " +
        Member("east", Column(s.epochs, [](const Epoch& x) { return x.east; }, 3)) + ", " +
        Member("up", Column(s.epochs, [](const Epoch& x) { return x.up; }, 3)) + "}";
    return "{" + Member("origin", JsonString(FormatEpochTime(s.origin))) + ", " + Member("satellites", satellites) +
           ", " + Member("slips", slips) + ", " + Member("epochs", epochs) + "}";
}

std::string StringArray(const std::vector<std::string>& lines) {
    std::string out = "[";
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? ", " : "") + JsonString(lines[i]);
    return out + "]";
}

// One conversion as `qern2rinex ... S` makes it, reported for the page.
std::string Convert(const ProgramOptions& program) {
    CCommandLineOptions options;
    RunOptions run = program.run;
    if (program.splice) {
        const SplicePlan plan = PlanSplice(program.parameters, kDataDirectory);
        if (!plan.error.empty()) return Failure(plan.error);
        options = plan.options;
        run.sourceParts = plan.parts;
    } else {
        options = ParseCommandLine(program.parameters, program.literalFrom);
        if (!options.hasSource) return Failure("no raw data file given");
        if (!options.extraParameter.empty()) return Failure("more than one source");
    }
    options.silent = true;

    Profile profile(kProfilePath);
    MemoryControls controls;
    ConsoleUi console(true, nullptr, false);
    ConsoleChooser chooser(nullptr, false);
    PageProgressUi progress(console);
    RecordingUi ui(progress);
    DialogEnvironment environment;
    environment.silent = true;
    environment.dataDirectory = kDataDirectory;
    environment.today = TodayInDays();
    environment.overrides = OverridesOf(run);
    environment.overrides.ownTimeWindow = true;
    environment.overwrite = run.overwrite;
    CMainDialog dialog(environment, controls, ui, chooser, profile);
    dialog.InitMainDialog();
    RunBatchSteps(dialog, options, kDataDirectory, run);
    const bool converted = dialog.GoPressed();
    const ConversionResult& result = dialog.LastResult();

    // The lines the command line prints after the run, and the failure's message
    // in the words of the desktop's message box.
    std::vector<std::string> summary;
    std::string message;
    if (converted) {
        const RunReport report = MakeRunReport(dialog.MakeRequest(), result, true);
        summary = ConversionSummaryLines(report);
        if (run.qc) {
            const std::string qc = WrittenPath(report, OutputKind::Quality);
            summary.push_back(qc.empty() ? "Quality report: not written" : "Quality report: " + qc);
        }
        if (const std::string note = WeekNote(result); !note.empty()) summary.push_back("qern2rinex: " + note);
    } else {
        for (const HeadlessUi::Message& m : ui.Messages())
            if (m.icon == MessageIcon::Stop || m.icon == MessageIcon::Exclamation) message = m.text;
        if (message.empty() && !ui.Messages().empty()) message = ui.Messages().back().text;
        if (const PathCheckFailure& f = dialog.PathFailure(); !f.which.empty())
            summary.push_back("qern2rinex: " + f.which + " path " + f.path + ": " + f.reason);
    }
    std::string extra = Member("summary", StringArray(summary)) + ", " +
                        Member("quality", result.quality ? QualityJson(*result.quality) : "null") + ", " +
                        Member("series", result.qualitySeries ? SeriesJson(*result.qualitySeries) : "null");
    return ConversionJson(MakeRunReport(dialog.MakeRequest(), result, converted, message), extra);
}

}  // namespace

std::string RunForPage(const std::vector<std::string>& arguments) {
    try {
        const ProgramOptions program = SplitProgramOptions(arguments);
        if (!program.error.empty()) return Failure(program.error);
        if (!program.scanPath.empty()) return ScanJson(program.scanPath);
        return Convert(program);
    } catch (const std::exception& e) {
        return Failure(e.what());
    }
}
