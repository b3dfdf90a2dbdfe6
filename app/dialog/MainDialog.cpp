#include "app/dialog/MainDialog.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <vector>

#include "app/dialog/AsciiText.h"
#include "app/dialog/ControlIds.h"
#include "app/dialog/RinexNaming.h"
#include "app/dialog/RunSettings.h"
#include "app/dialog/Settings.h"
#include "convert/StringTable.h"
#include "convert/OutputSet.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace {

const std::vector<std::string> kFormatEntries = {"QERN ASCII", "QERN BINARY"};
constexpr int kLastFileIndex = 9;

// The observation or navigation output of request that is already on disk.
std::optional<OutputRefusal> RinexOutputOnDisk(const ConversionRequest& request) {
    for (const PlannedOutput& output : OutputSetOf(request).outputs)
        if ((output.kind == OutputKind::Observation || output.kind == OutputKind::Navigation) &&
            KindOfPath(output.path) != PathKind::Missing)
            return OutputRefusal{output, "is already on disk", true, false};
    return std::nullopt;
}

std::vector<std::string> FileIndexEntries() {
    static const char* const kOrdinals[10] = {"1st", "2nd", "3rd", "4th", "5th",
                                              "6th", "7th", "8th", "9th", "10th"};
    std::vector<std::string> entries;
    for (int i = 0; i < 10; ++i)
        entries.push_back(std::to_string(i) + " (" + kOrdinals[i] + " session of day)");
    return entries;
}

}  // namespace

std::string AdvancedSummary(double tx, int dopplerMode) {
    const long ms = static_cast<long>(std::floor(tx * 1000.0 + 0.5));
    const std::string kind(LoadString(dopplerMode == 0 ? kStrInstantaneous : kStrSmoothed));
    return FormatString(kStrExtrapolation, {std::to_string(ms), kind});
}

CMainDialog::CMainDialog(DialogEnvironment environment, IDialogControls& controls, ConversionUi& ui,
                         IFileChooser& chooser, Profile& profile, ConversionRunner runner)
    : environment_(std::move(environment)),
      controls_(controls),
      ui_(ui),
      chooser_(chooser),
      profile_(profile),
      runner_(std::move(runner)) {}

void CMainDialog::Message(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    ui_.ShowMessage(id, icon, args);
}

bool CMainDialog::ChooseDirectory(std::string& directory) {
    // A silent run never waits for a person: the picker counts as cancelled.
    if (environment_.silent) return false;
    return chooser_.ChooseDirectory(directory);
}

void CMainDialog::InitMainDialog() {
    controls_.SetEntries(ControlId::kFormat, kFormatEntries);
    controls_.SetEntries(ControlId::kFileIndex, FileIndexEntries());
    LoadSettings(values, controls_, profile_, environment_.dataDirectory, environment_.today);
    ExchangeValues(true);
    ApplyAutoNamingState();
    ShowAdvancedSummary();
    RememberPicked();
}

void CMainDialog::ShowAdvancedSummary() {
    // A time window or interval stays in sight: a stored one would otherwise cut files unseen.
    const std::string run = RunSettingsSummary(values);
    controls_.SetText(ControlId::kAdvancedSummary,
                      AdvancedSummary(values.tx, values.dopplerMode) + (run.empty() ? "" : "\n" + run));
}

void CMainDialog::RememberPicked() {
    picked_ = {values.recordedOn, values.format == 0 || values.format == 1 ? values.format : -1,
               values.header[kMarkerName], values.observationPath, values.navigationPath};
}

void CMainDialog::WriteHeaderText(int i) {
    const int id = HeaderTextTable(i).controlId;
    const std::string text = ToUpperText(values.header[i]);
    controls_.SetText(id, text);
    const std::vector<std::string> entries = controls_.Entries(id);
    int match = -1;
    for (size_t e = 0; e < entries.size() && match < 0; ++e)
        if (EqualNoCase(entries[e], text)) match = static_cast<int>(e);
    controls_.SetSelection(id, match);
}

bool CMainDialog::ExchangeValues(bool toControls) {
    MainDialogValues& v = values;
    if (toControls) {
        controls_.SetText(ControlId::kSourcePath, v.sourcePath);
        settledSource_ = v.sourcePath;
        controls_.SetSelection(ControlId::kFormat, v.format == 0 || v.format == 1 ? v.format : -1);
        controls_.SetText(ControlId::kObservationPath, v.observationPath);
        controls_.SetText(ControlId::kNavigationPath, v.navigationPath);
        controls_.SetChecked(ControlId::kAutoNaming, v.autoNaming);
        controls_.SetSelection(ControlId::kFileIndex, v.fileIndex);
        controls_.SetValue(ControlId::kRecordedOn, v.recordedOn);
        for (int i = 0; i < kHeaderTextCount; ++i) WriteHeaderText(i);
        WriteAntenna();
        return true;
    }
    v.sourcePath = controls_.Text(ControlId::kSourcePath);
    v.format = controls_.Selection(ControlId::kFormat);
    v.observationPath = controls_.Text(ControlId::kObservationPath);
    v.navigationPath = controls_.Text(ControlId::kNavigationPath);
    v.autoNaming = controls_.Checked(ControlId::kAutoNaming);
    v.fileIndex = controls_.Selection(ControlId::kFileIndex);
    v.recordedOn = std::floor(controls_.Value(ControlId::kRecordedOn));
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const HeaderTextInfo& info = HeaderTextTable(i);
        const AsciiText ascii = ToAsciiText(controls_.Text(info.controlId));
        if (!ascii.refused.empty()) {
            Message(kStrNoAsciiForm, MessageIcon::Exclamation, {info.label, ascii.refused});
            controls_.SetFocus(info.controlId, false);
            return false;
        }
        const std::string text = ToUpperText(ascii.text);
        if (text.size() > info.maxLength) {
            Message(kStrTooLong, MessageIcon::Exclamation, {std::to_string(info.maxLength)});
            controls_.SetFocus(info.controlId, false);
            return false;
        }
        v.header[i] = text;
    }
    return ReadAntennaType() && ReadAntenna();
}

void CMainDialog::ApplyAutoNamingState() {
    const bool on = values.autoNaming;
    controls_.SetEnabled(ControlId::kObservationPath, !on);
    controls_.SetEnabled(ControlId::kNavigationPath, !on);
    controls_.SetShown(ControlId::kFileIndexLabel, on);
    controls_.SetShown(ControlId::kFileIndex, on);
}

void CMainDialog::ToggleAutoNaming() {
    values.autoNaming = controls_.Checked(ControlId::kAutoNaming);
    RefreshAutoNames();
    ApplyAutoNamingState();
}

void CMainDialog::RefreshAutoNames() {
    if (!values.autoNaming) return;
    values.recordedOn = std::floor(controls_.Value(ControlId::kRecordedOn));
    const int selected = controls_.Selection(ControlId::kMarkerName);
    const std::vector<std::string> entries = controls_.Entries(ControlId::kMarkerName);
    values.header[kMarkerName] = ToUpperText(
        selected >= 0 && selected < static_cast<int>(entries.size()) ? entries[selected]
                                                                     : controls_.Text(ControlId::kMarkerName));
    values.fileIndex = controls_.Selection(ControlId::kFileIndex);
    DeriveRinexNames();
    controls_.SetText(ControlId::kObservationPath, values.observationPath);
    controls_.SetText(ControlId::kNavigationPath, values.navigationPath);
}

void CMainDialog::TakeAdvanced(const MainDialogValues& chosen) {
    const bool newVersion = values.rinexVersion != chosen.rinexVersion;
    const bool newRunSettings = values.from != chosen.from || values.to != chosen.to ||
                                values.interval != chosen.interval || values.country != chosen.country;
    values.from = chosen.from;
    values.to = chosen.to;
    values.interval = chosen.interval;
    values.country = chosen.country;
    const bool newEncoding = values.hatanaka != chosen.hatanaka || values.gzip != chosen.gzip;
    values.hatanaka = chosen.hatanaka;
    values.gzip = chosen.gzip;
    values.tx = chosen.tx;
    values.dopplerMode = chosen.dopplerMode;
    values.smoothedPseudoranges = chosen.smoothedPseudoranges;
    values.logFile = chosen.logFile;
    values.qualityReport = chosen.qualityReport;
    values.rinexVersion = chosen.rinexVersion;
    ShowAdvancedSummary();
    if ((newVersion || (newRunSettings && values.rinexVersion >= 3)) && values.autoNaming) {
        values.sourcePath = controls_.Text(ControlId::kSourcePath);
        ScanDataSpan();
        RefreshAutoNames();
    } else if (newEncoding && values.autoNaming) {
        RefreshAutoNames();
    }
}

void CMainDialog::DeriveRinexNames() { ::DeriveRinexNames(values); }

std::optional<OutputRefusal> CMainDialog::SettleOutputNames(const OutputNameTest& taken) {
    const bool keepOnDisk = values.autoNaming && !environment_.overwrite;
    const bool indexed = values.autoNaming && values.rinexVersion < 3;
    for (;;) {
        const ConversionRequest request = MakeRequest();
        std::optional<OutputRefusal> refusal = keepOnDisk ? RinexOutputOnDisk(request) : std::nullopt;
        if (!refusal && taken) refusal = taken(request);
        if (!refusal) return std::nullopt;
        if (indexed && values.fileIndex >= 0 && values.fileIndex < kLastFileIndex) {
            ++values.fileIndex;
            DeriveRinexNames();
            continue;
        }
        if (indexed) refusal->reason += " (no file index left)";
        return refusal;
    }
}

// Moves automatic names taken by files on disk to the next file index and shows
// the names settled on; false (with the message and the focus on the file index)
// when no index is free.
bool CMainDialog::SettleNamesShown() {
    MainDialogValues& v = values;
    const int index = v.fileIndex;
    const std::optional<OutputRefusal> taken = SettleOutputNames();
    if (v.fileIndex != index) {
        controls_.SetSelection(ControlId::kFileIndex, v.fileIndex);
        controls_.SetText(ControlId::kObservationPath, v.observationPath);
        controls_.SetText(ControlId::kNavigationPath, v.navigationPath);
    }
    if (!taken) return true;
    const bool navigation = taken->output.kind == OutputKind::Navigation;
    pathFailure_ = {navigation ? "navigation" : "observation", taken->output.path, taken->reason};
    Message(kStrWriteFailed, MessageIcon::Stop, {taken->output.path, taken->reason});
    controls_.SetFocus(ControlId::kFileIndex, false);
    return false;
}

bool CMainDialog::ValidatePaths() {
    pathFailure_ = PathCheckFailure();
    if (!ExchangeValues(false)) return false;
    MainDialogValues& v = values;
    if (!SettleNamesShown()) return false;
    // Outputs that would overwrite a source or each other, or whose path holds a
    // link, a folder or a special file.
    if (const std::optional<OutputRefusal> refusal = CheckOutputSet(OutputSetOf(MakeRequest()))) {
        // A navigation path that is one of the outputs is reported as the observation path's clash.
        const bool navigation =
            refusal->output.kind == OutputKind::Navigation && (refusal->withSource || !refusal->clash);
        pathFailure_ = {navigation ? "navigation" : "observation", navigation ? v.navigationPath : v.observationPath,
                        refusal->clash ? refusal->reason : refusal->output.path + " " + refusal->reason};
        if (refusal->clash)
            Message(kStrFilesMustDiffer, MessageIcon::Stop);
        else
            Message(kStrWriteFailed, MessageIcon::Stop, {refusal->output.path, refusal->reason});
        controls_.SetFocus(ControlId::kSourcePath, true);
        return false;
    }
    PathProbe probe;
    if (!ProbePath(v.sourcePath, probe, environment_.dataDirectory) || !probe.exists) {
        pathFailure_ = {"source", v.sourcePath, probe.problem.empty() ? ErrorText(ENOENT) : probe.problem};
        Message(kStrInvalidFileName, MessageIcon::Stop);
        controls_.SetFocus(ControlId::kSourcePath, true);
        return false;
    }
    v.sourceDirectory = probe.directory;
    // A format outside the list (a profile value other than 0 or 1) is settled by
    // the source itself.
    if (v.format != 0 && v.format != 1) v.format = probe.ascii ? 0 : 1;

    std::string existing;
    for (const Output output : {Output::Observation, Output::Navigation}) {
        const bool obs = output == Output::Observation;
        const std::string& path = obs ? v.observationPath : v.navigationPath;
        if (!ProbePath(path, probe, environment_.dataDirectory)) {
            pathFailure_ = {obs ? "observation" : "navigation", path, probe.problem};
            if (v.autoNaming) {
                Message(kStrInvalidPath, MessageIcon::Stop);
                BrowseOutput(output);
            } else {
                Message(kStrInvalidFileName, MessageIcon::Stop);
                controls_.SetFocus(obs ? ControlId::kObservationPath : ControlId::kNavigationPath, true);
            }
            return false;
        }
        if (probe.exists) existing += path + "\n";
        (obs ? v.observationDirectory : v.navigationDirectory) = probe.directory;
        if (!v.autoNaming) (obs ? v.observationExtension : v.navigationExtension) = probe.extension;
    }
    if (!existing.empty() && !environment_.silent &&
        !ui_.ShowMessage(kStrOverwrite, MessageIcon::Question, {existing}))
        return false;
    return true;
}

bool CMainDialog::GoPressed() {
    lastResult_ = ConversionResult();
    SourceTyped();
    if (!ValidatePaths()) return false;
    if (environment_.storeSettings) {
        AddToHistories(values, controls_);
        settingsStored_ = StoreDefaults(values, controls_, profile_);
    }
    const ConversionRequest request = MakeRequest();
    lastResult_ = runner_ ? runner_(request, state_, ui_) : RunConversion(request, state_, ui_);
    return lastResult_.success;
}

ConversionRequest CMainDialog::MakeRequest() const {
    const MainDialogValues& v = values;
    ConversionRequest r;
    r.sourcePath = v.sourcePath;
    r.sourceParts = environment_.overrides.sourceParts;
    r.formatIndex = static_cast<RawFormat>(v.format);  // the list index is the format
    r.recordingDate = v.recordedOn;
    r.markerName = v.header[kMarkerName];
    r.markerNumber = v.header[kMarkerNumber];
    r.observer = v.header[kObserver];
    r.agency = v.header[kAgency];
    r.receiverNumber = v.header[kReceiverNumber];
    r.receiverType = v.header[kReceiverType];
    r.receiverVersion = v.header[kReceiverVersion];
    r.antennaNumber = v.header[kAntennaNumber];
    r.antennaType = v.header[kAntennaType];
    r.antennaHeight = v.antennaHeight;
    r.antennaEast = v.antennaEast;
    r.antennaNorth = v.antennaNorth;
    r.observationPath = v.observationPath;
    r.navigationPath = v.navigationPath;
    r.tx = v.tx;
    r.smoothedDopplers = v.dopplerMode != 0;
    r.smoothedPseudoranges = v.smoothedPseudoranges;
    r.logFile = v.logFile;
    r.silent = environment_.silent;
    r.creationTime = CalendarOf(CreationTime());
    r.creationZone = CreationTimeZone();
    r.rinexVersion = static_cast<RinexVersion>(v.rinexVersion);
    r.hatanaka = v.hatanaka;
    r.gzip = v.gzip;
    const RequestOverrides& o = environment_.overrides;
    r.tx = o.tx.value_or(r.tx);
    r.smoothedDopplers = o.smoothedDopplers.value_or(r.smoothedDopplers);
    r.smoothedPseudoranges = o.smoothedPseudoranges.value_or(r.smoothedPseudoranges);
    r.logFile = o.logFile.value_or(r.logFile);
    // A time window given for the run replaces the window's whole.
    const bool runWindow = o.ownTimeWindow || o.from || o.to;
    r.from = runWindow ? o.from : v.from;
    r.to = runWindow ? o.to : v.to;
    r.interval = o.ownTimeWindow || o.interval > 0 ? o.interval : v.interval;
    r.quality = o.quality.value_or(v.qualityReport);
    r.qualityPlots = o.qualityPlots;
    r.formattingThread = !o.sharedCores;
    return r;
}
