#include "app/runs/BatchRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/cli/ConsoleUi.h"
#include "app/dialog/ConversionSummary.h"
#include "app/cli/CommandLineRun.h"
#include "app/cli/ExitStatus.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/MemoryControls.h"
#include "convert/HeadlessUi.h"
#include "convert/OutputSet.h"
#include "convert/TerminalProgress.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"

namespace {

const char* const kProgramName = "qern2rinex";
constexpr size_t kProgressWidth = 79;  // characters of the progress line at most

// One file of a batch: its planned outputs and how its conversion went.
struct BatchItem {
    std::string source;
    MainDialogValues values;  // the dialog's values the conversion starts from
    bool refused = false;     // not converted: the report says why
    RunReport report;
};

// The person-facing side of one conversion of a batch: a HeadlessUi whose
// conversion stops once cancel turns true.
class BatchUi : public HeadlessUi {
public:
    explicit BatchUi(const std::atomic<bool>* cancel) : HeadlessUi(nullptr), cancel_(cancel) {}
    bool CheckCancel() override { return cancel_ && cancel_->load(); }

private:
    const std::atomic<bool>* cancel_;
};

// The main dialog of one conversion with everything it works on; each conversion
// has its own, and none of it is shared with another thread.
struct BatchDialog {
    BatchDialog(const Profile& base, const DialogEnvironment& environment, const std::atomic<bool>* cancel = nullptr)
        : profile(base), ui(cancel), dialog(environment, controls, ui, chooser, profile) {
        dialog.InitMainDialog();
    }
    Profile profile;  // a copy: the dialog may change it, the file is never written
    MemoryControls controls;
    BatchUi ui;
    ConsoleChooser chooser{nullptr, false};
    CMainDialog dialog;
};

// Who follows a batch on the thread that started it: a progress line on err (a
// terminal), and a ConversionUi shown the progress and polled for Cancel.
struct BatchFollower {
    std::ostream* err = nullptr;
    ConversionUi* ui = nullptr;
};

// What a path is already taken by: a file of the batch as its source or its output.
struct PathOwner {
    size_t file = 0;
    bool source = false;
};

// Key of a path for the clash test: absolute, normalised and in upper case (names
// that differ in case only may be one file).
std::string PathKey(const std::string& path) { return ToUpperText(FullPath(path)); }

// The output of request (the file at index) that another file of the batch
// already has as its source or its output; none when no output does.
std::optional<OutputRefusal> Clash(const ConversionRequest& request, size_t index, const std::vector<BatchItem>& items,
                                   const std::map<std::string, PathOwner>& owners) {
    for (const PlannedOutput& output : OutputSetOf(request).outputs) {
        const auto found = owners.find(PathKey(output.path));
        if (found == owners.end() || found->second.file == index) continue;
        const std::string& other = items[found->second.file].source;
        const bool source = found->second.source;
        return OutputRefusal{output, source ? "would overwrite the raw data file " + other
                                            : "is already the output of " + other,
                             true, source};
    }
    return std::nullopt;
}

// Plans the outputs of every file, in the order given: the values its dialog
// starts the conversion from, or why it is refused.
std::vector<BatchItem> PlanBatch(const std::vector<std::string>& files, const ProgramOptions& program,
                                 const Profile& profile, const DialogEnvironment& environment,
                                 const std::string& dataDirectory) {
    std::vector<BatchItem> items(files.size());
    std::map<std::string, PathOwner> owners;
    for (size_t i = 0; i < files.size(); ++i) owners.emplace(PathKey(files[i]), PathOwner{i, true});
    for (size_t i = 0; i < files.size(); ++i) {
        BatchItem& item = items[i];
        item.source = files[i];
        BatchDialog d(profile, environment);
        MainDialogValues& v = d.dialog.values;
        if (!program.outputDir.empty()) v.observationDirectory = v.navigationDirectory = FullPath(program.outputDir);
        CCommandLineOptions options;
        options.hasSource = true;
        options.sourcePath = files[i];
        options.silent = true;
        RunBatchSteps(d.dialog, options, dataDirectory, program.run);
        // A later file of the same site and day takes the next file index.
        const std::optional<OutputRefusal> refusal = d.dialog.SettleOutputNames(
            [&](const ConversionRequest& request) { return Clash(request, i, items, owners); });
        item.values = v;
        const ConversionRequest request = d.dialog.MakeRequest();
        item.refused = refusal.has_value();
        if (refusal)
            item.report = RefusedRunReport(request, "refused: " + refusal->output.path + " " + refusal->reason);
        else
            for (const PlannedOutput& output : OutputSetOf(request).outputs)
                owners.emplace(PathKey(output.path), PathOwner{i, false});
    }
    return items;
}

// Converts one planned file with a dialog of its own.
void Convert(BatchItem& item, const Profile& profile, const DialogEnvironment& environment,
             const std::atomic<bool>& cancel) {
    BatchDialog d(profile, environment, &cancel);
    d.dialog.values = item.values;
    d.dialog.ExchangeValues(true);
    d.dialog.ApplyAutoNamingState();
    const bool converted = d.dialog.GoPressed();
    item.report = MakeRunReport(d.dialog.MakeRequest(), d.dialog.LastResult(), converted,
                                converted ? std::string() : FailureText(d.ui.Messages(), d.dialog.PathFailure()));
}

// The progress line: files done of the total and the files being converted, cut
// to kProgressWidth characters.
std::string ProgressText(size_t done, size_t total, const std::vector<size_t>& running,
                         const std::vector<BatchItem>& items) {
    std::string text = std::to_string(done) + "/" + std::to_string(total) + " files done";
    for (size_t k = 0; k < running.size(); ++k) text += (k == 0 ? "; converting " : ", ") + items[running[k]].source;
    if (text.size() > kProgressWidth) text = text.substr(0, kProgressWidth - 3) + "...";
    return text;
}

// Converts every file that was not refused, jobs at a time on threads of their
// own; the follower sees the progress on the calling thread whenever a
// conversion starts or ends (its ui also every 50 ms). A Cancel of the
// follower's ui stops the running conversions and leaves the others unconverted.
void ConvertAll(std::vector<BatchItem>& items, int jobs, const Profile& profile,
                const DialogEnvironment& batchEnvironment, const BatchFollower& follower) {
    const size_t count = std::min(items.size(), static_cast<size_t>(std::max(jobs, 1)));
    DialogEnvironment environment = batchEnvironment;
    environment.overrides.sharedCores = count > 1;
    std::atomic<size_t> next{0};
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable changed;
    size_t done = 0;              // guarded by mutex
    std::vector<size_t> running;  // guarded by mutex
    const auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < items.size();) {
            const bool skipped = items[i].refused || cancel.load();
            if (!skipped) {
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    running.push_back(i);
                }
                changed.notify_one();
                Convert(items[i], profile, environment, cancel);
            } else if (!items[i].refused) {
                items[i].report.result.outcome = ConversionOutcome::Cancelled;
                items[i].report.message = "cancelled before it started";
            }
            {
                const std::lock_guard<std::mutex> lock(mutex);
                running.erase(std::remove(running.begin(), running.end(), i), running.end());
                ++done;
            }
            changed.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (size_t k = 0; k < count; ++k) threads.emplace_back(worker);
    if (follower.err || follower.ui) {
        size_t shown = 0;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            const std::string text = ProgressText(done, items.size(), running, items);
            const bool finished = done == items.size();
            if (follower.err) {
                *follower.err << "\r" << text << std::string(shown > text.size() ? shown - text.size() : 0, ' ')
                              << std::flush;
                shown = text.size();
            }
            if (follower.ui) {
                const unsigned percent = static_cast<unsigned>(done * 100 / std::max<size_t>(items.size(), 1));
                lock.unlock();  // the window handles its events meanwhile
                follower.ui->SetStatus(text);
                follower.ui->SetPosition(percent);
                if (follower.ui->CheckCancel()) cancel = true;
                lock.lock();
            }
            if (finished) break;
            if (follower.ui)
                changed.wait_for(lock, std::chrono::milliseconds(50));
            else
                changed.wait(lock);
        }
        if (follower.err) *follower.err << "\n";
    }
    for (std::thread& t : threads) t.join();
}

// The status of a file of the batch: "ok", "refused", "cancelled" or "failed".
const char* StatusOf(const RunReport& report) {
    switch (report.status) {
        case RunStatus::Converted: return "ok";
        case RunStatus::Refused: return "refused";
        case RunStatus::Failed: break;
    }
    return report.result.outcome == ConversionOutcome::Cancelled ? "cancelled" : "failed";
}

// The RINEX and log files a conversion wrote, blank-separated; "-" when none.
std::string OutputsOf(const RunReport& report) {
    std::string outputs;
    for (const PlannedOutput& output : report.written)
        if (output.kind != OutputKind::Quality && output.kind != OutputKind::Plot)
            outputs += (outputs.empty() ? "" : " ") + output.path;
    return outputs.empty() ? "-" : outputs;
}

// text padded with blanks to width (left-aligned) or before it (right-aligned).
std::string Pad(const std::string& text, size_t width, bool right = false) {
    const std::string blanks(text.size() < width ? width - text.size() : 0, ' ');
    return right ? blanks + text : text + blanks;
}

// The table of the batch: file, status, epochs written, outputs; then a count.
void WriteTable(const std::vector<BatchItem>& items, std::ostream& out) {
    size_t width = 4;
    for (const BatchItem& item : items) width = std::max(width, item.source.size());
    out << Pad("file", width) << "  " << Pad("status", 7) << "  " << Pad("epochs", 7, true) << "  outputs\n";
    size_t converted = 0;
    for (const BatchItem& item : items) {
        const RunReport& r = item.report;
        if (r.status == RunStatus::Converted) ++converted;
        out << Pad(item.source, width) << "  " << Pad(StatusOf(r), 7) << "  "
            << Pad(std::to_string(r.result.epochsWritten), 7, true) << "  " << OutputsOf(r) << "\n";
    }
    out << converted << " of " << items.size() << " files converted\n";
}

// The raw data files of the batch's parameters into files; a status other than
// success (with its message on err) when the parameters or the output folder are refused.
int CollectBatchFiles(const ProgramOptions& program, std::vector<std::string>& files, std::ostream& err) {
    for (const std::string& argument : program.parameters) {
        const CommandLineParameter p = SplitParameter(argument);
        const std::string key = ToUpperText(p.text.substr(0, 4));
        if (key == "S") continue;  // a batch is silent anyway
        if (key == "OBS:" || key == "NAV:") {
            err << kProgramName << ": a batch names its outputs itself (" << argument
                << "): use --output-dir for their folder\n";
            return kExitUsage;
        }
        files.push_back(p.text);
    }
    if (files.empty()) {
        err << kProgramName << ": --batch needs the raw data files to convert\n";
        return kExitUsage;
    }
    if (!program.outputDir.empty() && !DirectoryExists(program.outputDir)) {
        err << kProgramName << ": --output-dir " << program.outputDir << ": no such folder\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

// Draws the plots of each converted file (on the main thread: the charts need it);
// a file whose plots could not be drawn counts as not converted.
void PublishBatchPlots(std::vector<BatchItem>& items, IQualityPlotter* plotter) {
    for (BatchItem& item : items) {
        RunReport& report = item.report;
        if (report.status != RunStatus::Converted) continue;
        std::string error;
        if (PlotRun(report, plotter, error)) continue;
        report.status = RunStatus::Failed;
        report.message = "no quality plots: " + error;
    }
}

// Plans and converts files as a silent run with program's options and profile's settings.
std::vector<BatchItem> ConvertBatch(const std::vector<std::string>& files, const ProgramOptions& program,
                                    const Profile& profile, const BatchEnvironment& environment,
                                    const BatchFollower& follower) {
    DialogEnvironment dialogEnvironment;
    dialogEnvironment.silent = true;
    dialogEnvironment.dataDirectory = environment.dataDirectory;
    dialogEnvironment.today = environment.today;
    dialogEnvironment.overrides = OverridesOf(program.run);
    dialogEnvironment.overrides.ownTimeWindow = true;
    dialogEnvironment.storeSettings = false;
    dialogEnvironment.overwrite = program.run.overwrite;
    std::vector<BatchItem> items = PlanBatch(files, program, profile, dialogEnvironment, environment.dataDirectory);
    const int jobs = program.jobs > 0 ? program.jobs : static_cast<int>(std::thread::hardware_concurrency());
    ConvertAll(items, jobs, profile, dialogEnvironment, follower);
    return items;
}

}  // namespace

std::vector<FileRunRow> BatchRows(const std::vector<std::string>& files, const Profile& profile,
                                  const BatchEnvironment& environment, ConversionUi& ui) {
    ProgramOptions program;
    program.batch = true;
    std::vector<FileRunRow> rows;
    for (const BatchItem& item : ConvertBatch(files, program, profile, environment, {nullptr, &ui}))
        // A cancelled conversion keeps none of the epochs it had written.
        rows.push_back({item.source, StatusOf(item.report),
                        item.report.result.outcome == ConversionOutcome::Cancelled ? 0 : item.report.result.epochsWritten,
                        item.report.status == RunStatus::Converted ? OutputsOf(item.report) : "", item.report.message});
    return rows;
}

int RunBatch(const ProgramOptions& program, const BatchEnvironment& environment, std::ostream& out,
             std::ostream& err) {
    std::vector<std::string> files;
    if (const int status = CollectBatchFiles(program, files, err); status != kExitSuccess) return status;
    const Profile profile(environment.profilePath);
    std::vector<BatchItem> items =
        ConvertBatch(files, program, profile, environment, {environment.progress ? &err : nullptr, nullptr});
    if (program.run.qcPlots) PublishBatchPlots(items, environment.plotter);

    bool all = true;
    for (const BatchItem& item : items) {
        if (item.report.status == RunStatus::Converted) continue;
        all = false;
        err << kProgramName << ": " << item.source << ": " << item.report.message << "\n";
    }
    if (program.run.json) {
        for (const BatchItem& item : items) out << ConversionJson(item.report) << "\n";
    } else {
        WriteTable(items, out);
    }
    return all ? kExitSuccess : kExitFailure;
}
