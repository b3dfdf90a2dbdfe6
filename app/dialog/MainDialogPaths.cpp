#include "app/dialog/MainDialog.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/dialog/AsciiText.h"
#include "app/dialog/ControlIds.h"
#include "app/dialog/RinexNaming.h"
#include "convert/ReadTally.h"
#include "platform/FileSystem.h"
#include "rawdata/RecordScan.h"

// The main dialog's paths as the person gives them: the raw data file typed or
// browsed (with its probe, span and proposed outputs) and the output files or
// folder chosen with the "..." buttons.

namespace {

// Directory, title and extension of an output path, as button 1020 keeps them.
struct OutputParts {
    std::string directory;
    std::string title;
    std::string extension;
};

// Reads path as a pattern "directory/*" or "directory/*.extension"; false when it
// is neither.
bool ReadPattern(const std::string& path, OutputParts& parts) {
    const size_t star = path.find("/*");
    if (star == std::string::npos) return false;
    const std::string rest = path.substr(star + 2);
    if (!rest.empty() && rest[0] != '.') return false;
    parts.directory = path.substr(0, star);
    parts.title.assign(1, '*');
    parts.extension = rest.empty() ? std::string() : rest.substr(1);
    return true;
}

}  // namespace

void CMainDialog::ScanDataSpan() {
    MainDialogValues::DataSpan& d = values.dataSpan;
    d = MainDialogValues::DataSpan();
    if (values.rinexVersion < 3) return;
    const RequestOverrides& o = environment_.overrides;
    const int format = values.format == 0 ? 0 : 1;
    RecordScan scan = ScanRawFile(values.sourcePath, format);
    for (size_t i = 1; i < o.sourceParts.size(); ++i) {
        const RecordScan part = ScanRawFile(o.sourceParts[i], format);
        if (part.validEpochs == 0) continue;
        if (scan.validEpochs == 0 || part.firstEpoch < scan.firstEpoch) scan.firstEpoch = part.firstEpoch;
        if (scan.validEpochs == 0 || scan.lastEpoch < part.lastEpoch) scan.lastEpoch = part.lastEpoch;
        if (scan.interval <= 0) scan.interval = part.interval;
        scan.validEpochs += part.validEpochs;
    }
    if (scan.validEpochs == 0) return;
    const ConversionRequest r = MakeRequest();  // the time window and interval of this run
    GpsTime first = scan.firstEpoch, last = scan.lastEpoch;
    if (r.from && first < *r.from) first = *r.from;
    if (r.to && *r.to < last) last = *r.to;
    d.known = true;
    d.first = first;
    d.span = std::max(0.0, last.Difference(first));
    d.interval = r.interval > 0 ? WrittenInterval(r.interval, scan.interval) : scan.interval;
}

void CMainDialog::ApplySourceProbe(const PathProbe& probe) {
    values.recordedOn = std::floor(probe.modified);
    values.format = probe.ascii ? 0 : 1;
    values.header[kMarkerName] = ToUpperText(ToAsciiText(probe.rawTitle).text);
    if (probe.exists) ScanDataSpan();
    ProposeOutputs(probe.rawTitle, false, false);
    settledSource_ = values.sourcePath;
    RememberPicked();
}

void CMainDialog::ProposeOutputs(const std::string& title, bool keepObservation, bool keepNavigation) {
    if (values.autoNaming) {
        DeriveRinexNames();
        return;
    }
    if (!keepObservation)
        values.observationPath = JoinPath(values.observationDirectory, title,
                                          ExtensionForRecording(values.observationExtension, values.recordedOn));
    if (!keepNavigation)
        values.navigationPath = JoinPath(values.navigationDirectory, title,
                                         ExtensionForRecording(values.navigationExtension, values.recordedOn));
}

bool CMainDialog::SourceTyped() {
    const std::string typed = controls_.Text(ControlId::kSourcePath);
    if (typed == settledSource_) return false;
    settledSource_ = typed;  // probed once, whatever comes of it
    PathProbe probe;
    if (!ProbePath(typed, probe, environment_.dataDirectory) || !probe.exists) return false;
    // What the person changed since the last choice stays.
    const double date = std::floor(controls_.Value(ControlId::kRecordedOn));
    const int format = controls_.Selection(ControlId::kFormat);
    const std::string marker = ToUpperText(controls_.Text(ControlId::kMarkerName));
    const std::string observation = controls_.Text(ControlId::kObservationPath);
    const std::string navigation = controls_.Text(ControlId::kNavigationPath);
    values.sourcePath = typed;
    values.autoNaming = controls_.Checked(ControlId::kAutoNaming);
    values.fileIndex = controls_.Selection(ControlId::kFileIndex);
    values.recordedOn = date != picked_.recordedOn ? date : std::floor(probe.modified);
    values.format = format != picked_.format ? format : (probe.ascii ? 0 : 1);
    values.header[kMarkerName] = marker != picked_.marker ? marker : ToUpperText(ToAsciiText(probe.rawTitle).text);
    values.observationPath = observation;
    values.navigationPath = navigation;
    ScanDataSpan();
    ProposeOutputs(probe.rawTitle, observation != picked_.observationPath, navigation != picked_.navigationPath);
    controls_.SetValue(ControlId::kRecordedOn, values.recordedOn);
    controls_.SetSelection(ControlId::kFormat, values.format);
    WriteHeaderText(kMarkerName);
    controls_.SetText(ControlId::kObservationPath, values.observationPath);
    controls_.SetText(ControlId::kNavigationPath, values.navigationPath);
    RememberPicked();
    return true;
}

bool CMainDialog::BrowseSource() {
    ExchangeValues(false);
    std::string path = values.sourcePath;
    const std::vector<FileFilter> filters = {
        {"QERN ASCII Files (*.raw; *.var; *.txt)", "*.raw;*.var;*.txt"},
        {"QERN Binary Files (*.bin; *.dat; *.dXX)", "*.bin;*.dat;*.d??"},
    };
    if (environment_.silent || !chooser_.ChooseFile(FileDialogMode::Open, path, filters, 2)) return false;
    values.sourcePath = path;
    PathProbe probe;
    if (ProbePath(path, probe, environment_.dataDirectory)) ApplySourceProbe(probe);
    ExchangeValues(true);
    return true;
}

bool CMainDialog::BrowseObservation() { return BrowseOutput(Output::Observation); }

bool CMainDialog::BrowseNavigation() { return BrowseOutput(Output::Navigation); }

bool CMainDialog::BrowseOutput(Output output) {
    const bool obs = output == Output::Observation;
    std::string& directory = obs ? values.observationDirectory : values.navigationDirectory;
    std::string& extension = obs ? values.observationExtension : values.navigationExtension;
    std::string& path = obs ? values.observationPath : values.navigationPath;
    ExchangeValues(false);
    if (values.autoNaming) {
        if (!ChooseOutputFolder(obs)) return false;
        ExchangeValues(true);
        return true;
    }
    const std::string label = obs ? "RINEX Observation Files (*." : "RINEX Navigation Files (*.";
    const std::vector<FileFilter> filters = {{label + extension + ")", "*." + extension}};
    std::string chosen = path;
    if (environment_.silent || !chooser_.ChooseFile(FileDialogMode::SaveAs, chosen, filters, 1)) return false;
    path = chosen;
    PathProbe probe;
    if (ProbePath(path, probe, environment_.dataDirectory)) {
        directory = probe.directory;
        extension = probe.extension;
    }
    ExchangeValues(true);
    return true;
}

bool CMainDialog::ChooseOutputFolder(bool observation) {
    std::string& directory = observation ? values.observationDirectory : values.navigationDirectory;
    std::string chosen = directory;
    if (!ChooseDirectory(chosen)) return false;
    directory = chosen;
    DeriveRinexNames();
    return true;
}

bool CMainDialog::BrowseOutputDirectory() {
    ExchangeValues(false);
    OutputParts obs, nav;
    PathProbe probe;
    bool obsFromDirectory = false;
    if (ProbePath(values.observationPath, probe, environment_.dataDirectory)) {
        obs = {probe.directory, probe.title, probe.extension};
    } else if (values.autoNaming) {
        obsFromDirectory = true;
    } else if (!ReadPattern(values.observationPath, obs)) {
        return false;
    }
    if (ProbePath(values.navigationPath, probe, environment_.dataDirectory)) {
        nav = {probe.directory, probe.title, probe.extension};
    } else if (values.autoNaming || !ReadPattern(values.navigationPath, nav)) {
        return false;
    }
    std::string directory = obsFromDirectory ? values.observationDirectory : obs.directory;
    if (!ChooseDirectory(directory)) return false;
    values.observationDirectory = directory;
    values.navigationDirectory = directory;
    if (values.autoNaming) {
        DeriveRinexNames();
    } else {
        values.observationPath = JoinPath(directory, obs.title, obs.extension);
        values.navigationPath = JoinPath(directory, nav.title, nav.extension);
    }
    ExchangeValues(true);
    return true;
}
