#include "app/program/ConverterApp.h"

#include "app/cli/CommandLineRun.h"
#include "app/cli/ConsoleUi.h"
#include "app/cli/RecordScanCommand.h"
#include "app/cli/RecordingUi.h"
#include "app/dialog/ConversionSummary.h"
#include "app/dialog/DialogValues.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/MemoryControls.h"
#include "app/dialog/PathProbe.h"
#include "app/program/InstallPaths.h"
#include "app/runs/BatchRun.h"
#include "app/runs/Splice.h"
#include "app/station/StationCommand.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/StopSignal.h"
#include "quality/QualityJson.h"
#include "platform/Version.h"

namespace {

const char* const kProgramName = "qern2rinex";

// True when run holds any option of a scripted run.
bool HasRunOptions(const RunOptions& run) {
    for (const auto& text : run.header)
        if (text) return true;
    return run.tx || run.smoothedDopplers || run.smoothedCodes || run.logFiles || run.from || run.to ||
           run.interval > 0 || run.dateFromData || run.json || run.rinexVersion != 0 || !run.country.empty() ||
           run.antennaHeight || run.antennaOffset || run.hatanaka || run.gzip;
}

// The exit status of a run that ended with status: 128 + the signal's number when
// a stop signal ended it (130 SIGINT, 143 SIGTERM, 129 SIGHUP).
int StoppedStatus(int status) {
    const int signal = StopSignalReceived();
    return signal != 0 ? 128 + signal : status;
}

}  // namespace

FilesRunner FilesRunnerOf(const std::string& dataDirectory, double today) {
    return [dataDirectory, today](const std::vector<std::string>& files, bool oneRecording, const Profile& profile,
                                  ConversionUi& ui) {
        if (oneRecording) return std::vector<FileRunRow>{SpliceRow(files, profile, dataDirectory, today, ui)};
        return BatchRows(files, profile, {profile.Path(), dataDirectory, today, false, nullptr}, ui);
    };
}

CConverterApp::CConverterApp(AppStartup startup) : startup_(std::move(startup)) {
    installRoot_ = InstallRootOf(startup_.executablePath);
    dataDirectory_ = DefaultDataDirectory(installRoot_, startup_.currentDirectory, startup_.homeDirectory);
}

int CConverterApp::Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (!arguments.empty() && arguments.front() == "--station")
        return RunStation(std::vector<std::string>(arguments.begin() + 1, arguments.end()), err);
    const ProgramOptions program = SplitProgramOptions(arguments);
    if (!program.error.empty()) {
        err << kProgramName << ": " << program.error << " (see " << kProgramName << " --help)\n";
        return kExitUsage;
    }
    run_ = program.run;
    if (program.help) {
        out << UsageText(kProgramName);
        return kExitSuccess;
    }
    if (program.version) {
        out << kProgramTitle << " (" << kProgramName << ")\n";
        return kExitSuccess;
    }
    if (!program.scanPath.empty()) return RunRecordScan(program.scanPath, out, err);
    if (program.batch) {
        // A stop signal ends the conversions through their failure path: nothing half written is left.
        CatchStopSignals();
        return StoppedStatus(
            RunBatch(program, {startup_.profilePath, dataDirectory_, startup_.today, IsTerminal(stderr), plotter_}, out,
                     err));
    }
    if (program.splice) {
        const SplicePlan plan = PlanSplice(program.parameters, dataDirectory_);
        if (!plan.error.empty()) {
            err << kProgramName << ": " << plan.error << "\n";
            return plan.usage ? kExitUsage : kExitFailure;
        }
        options_ = plan.options;
        run_.sourceParts = plan.parts;
        return RunConversionMode(out, err);
    }

    options_ = ParseCommandLine(program.parameters, program.literalFrom);
    // One source a run: several are a batch or the pieces of a splice, never silently dropped.
    if (!options_.extraParameter.empty()) {
        err << kProgramName << ": more than one source (" << options_.sourcePath << ", " << options_.extraParameter
            << "): convert several files with --batch, or the pieces of one recording with --splice\n";
        return kExitUsage;
    }
    if (!options_.hasSource) return RunInteractiveMode(err);
    return RunConversionMode(out, err);
}

DialogEnvironment CConverterApp::Environment(bool silent) const {
    DialogEnvironment environment;
    environment.silent = silent;
    environment.dataDirectory = dataDirectory_;
    environment.today = startup_.today;
    environment.overrides = OverridesOf(run_);
    environment.overwrite = run_.overwrite;
    return environment;
}

int CConverterApp::RunInteractiveMode(std::ostream& err) {
    // The window shows and stores its own settings: a scripted run's options
    // would change its conversions unseen.
    if (HasRunOptions(run_)) {
        err << kProgramName << ": the run options need a raw data file (see " << kProgramName << " --help)\n";
        return kExitUsage;
    }
    std::unique_ptr<IMainWindow> window = startup_.windows ? startup_.windows->CreateMainWindow() : nullptr;
    if (!window) {
        err << kProgramName << ": no raw data file given, and no display to open the window on\n\n"
            << UsageText(kProgramName);
        return kExitUsage;
    }
    Profile profile(startup_.profilePath);
    CMainDialog dialog(Environment(false), window->Controls(), window->Ui(), window->Chooser(), profile,
                       window->Runner());
    dialog.InitMainDialog();
    window->Attach(dialog, profile);
    window->TakeFilesRunner(FilesRunnerOf(dataDirectory_, startup_.today));
    window->RunUntilClosed();
    return kExitSuccess;
}

int CConverterApp::RunConversionMode(std::ostream& out, std::ostream& err) {
    const bool silent = options_.silent;
    // A silent run never asks for a window, so it never starts the windowing system.
    std::unique_ptr<IMainWindow> window =
        !silent && startup_.windows ? startup_.windows->CreateMainWindow() : nullptr;
    Profile profile(startup_.profilePath);
    MemoryControls memoryControls;
    ConsoleUi console(silent, startup_.input, startup_.interactive && !silent);
    ConsoleChooser consoleChooser(startup_.input, startup_.interactive && !silent);
    RecordingUi ui(window ? window->Ui() : console);
    DialogEnvironment environment = Environment(silent);
    environment.overrides.ownTimeWindow = true;
    CMainDialog dialog(environment, window ? window->Controls() : memoryControls, ui,
                       window ? window->Chooser() : consoleChooser, profile,
                       window ? window->Runner() : ConversionRunner());
    dialog.InitMainDialog();
    if (window) {
        window->Attach(dialog, profile);
        window->Show();
    }
    // Without a window a stop signal ends the conversion through its failure path.
    if (!window) CatchStopSignals();
    RunBatchSteps(dialog, options_, dataDirectory_, run_);
    const bool converted = dialog.GoPressed();
    console.EndProgressLine();
    RunReport report = MakeRunReport(dialog.MakeRequest(), dialog.LastResult(), converted,
                                     converted ? std::string() : FailureText(ui.Messages(), dialog.PathFailure()));
    const RunStreams streams{out, err, silent ? out : err, silent && run_.json};
    ReportOutcome(dialog, report, streams);
    const bool plotted = !(converted && run_.qcPlots) || ReportPlots(report, streams);
    if (converted && run_.qc && !streams.quiet) {
        const std::string qc = WrittenPath(report, OutputKind::Quality);
        streams.report << (qc.empty() ? "Quality report: not written" : "Quality report: " + qc) << "\n";
    }
    if (run_.json) out << RunJson(report) << "\n";
    if (!dialog.SettingsStored())
        err << kProgramName << ": the settings could not be stored in "
            << (profile.Path().empty() ? std::string("a profile (no configuration folder)") : profile.Path())
            << "\n";
    return StoppedStatus(converted && plotted ? kExitSuccess : kExitFailure);
}

void CConverterApp::ReportOutcome(const CMainDialog& dialog, const RunReport& report, const RunStreams& streams) {
    if (report.status == RunStatus::Converted) {
        // After the success message: where the outputs are and what they hold
        // (with --json the JSON object alone goes to standard output).
        if (!streams.quiet)
            for (const std::string& line : ConversionSummaryLines(report)) streams.report << line << "\n";
        if (const std::string note = WeekNote(report.result); !note.empty())
            streams.err << kProgramName << ": " << note << "\n";
    } else if (const PathCheckFailure& f = dialog.PathFailure(); !f.which.empty()) {
        streams.err << kProgramName << ": " << f.which << " path " << f.path << ": " << f.reason << "\n";
    }
}

bool CConverterApp::ReportPlots(RunReport& report, const RunStreams& streams) const {
    std::string error;
    const bool plotted = PlotRun(report, plotter_, error);
    if (!plotted) streams.err << kProgramName << ": no quality plots: " << error << "\n";
    for (const PlannedOutput& output : report.written)
        if (output.kind == OutputKind::Plot && !streams.quiet) streams.report << "Plot: " << output.path << "\n";
    return plotted;
}

std::string CConverterApp::RunJson(const RunReport& report) {
    const std::string quality = report.result.quality ? QualityJson(*report.result.quality) : std::string("null");
    return ConversionJson(report, "\"quality\": " + quality);
}
