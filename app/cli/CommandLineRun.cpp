#include "app/cli/CommandLineRun.h"


#include "app/dialog/AsciiText.h"
#include "app/dialog/PathProbe.h"
#include "app/dialog/SourceSummary.h"
#include "platform/FileSystem.h"
#include "rawdata/RecordScan.h"

namespace {

bool IsDirectory(const std::string& path) { return KindOfPath(path) == PathKind::Directory; }

// Batch step 3 or 4 for one output.
void ApplyOutputParameter(CMainDialog& dialog, bool observation, const std::string& value,
                          const std::string& dataDirectory) {
    if (value.empty()) return;
    MainDialogValues& v = dialog.values;
    if (v.autoNaming) {
        if (dialog.IsSilent()) {
            // Nobody is there to pick a folder: the given path names it.
            (observation ? v.observationDirectory : v.navigationDirectory) = OutputFolderOf(value);
            dialog.DeriveRinexNames();
        } else {
            dialog.ChooseOutputFolder(observation);
        }
        return;
    }
    (observation ? v.observationPath : v.navigationPath) = value;
    PathProbe probe;
    if (ProbePath(value, probe, dataDirectory)) {
        (observation ? v.observationDirectory : v.navigationDirectory) = probe.directory;
        (observation ? v.observationExtension : v.navigationExtension) = probe.extension;
    }
}

}  // namespace

std::string OutputFolderOf(const std::string& path) {
    const std::string full = FullPath(path);
    if (IsDirectory(full)) return full == "/" ? std::string() : full;
    const size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

void RunBatchSteps(CMainDialog& dialog, const CCommandLineOptions& options, const std::string& dataDirectory,
                   const RunOptions& run) {
    MainDialogValues& v = dialog.values;
    v.sourcePath = options.sourcePath;
    if (run.rinexVersion != 0) v.rinexVersion = run.rinexVersion;
    if (run.hatanaka) v.hatanaka = true;
    if (run.gzip) v.gzip = true;
    if (!run.country.empty()) v.country = run.country;
    if (run.antennaHeight) v.antennaHeight = run.antennaHeight;
    if (run.antennaOffset) {
        v.antennaEast = (*run.antennaOffset)[0];
        v.antennaNorth = (*run.antennaOffset)[1];
    }
    PathProbe probe;
    if (ProbePath(options.sourcePath, probe, dataDirectory)) dialog.ApplySourceProbe(probe);
    bool rename = run.hatanaka || run.gzip;
    for (int k = 0; k < kHeaderTextCount; ++k)
        if (run.header[k]) {
            v.header[k] = ToUpperText(ToAsciiText(*run.header[k]).text);  // refused characters stay, for "Go..."
            rename = rename || k == kMarkerName;
        }
    if (run.dateFromData && probe.exists) {
        const RecordingDay day = RecordingDayOf(ScanRawFile(options.sourcePath, v.format == 0 ? 0 : 1), v.recordedOn);
        if (day.fromData) {
            v.recordedOn = day.day;
            rename = true;
        }
    }
    if (rename && v.autoNaming) dialog.DeriveRinexNames();
    ApplyOutputParameter(dialog, true, options.observationPath, dataDirectory);
    ApplyOutputParameter(dialog, false, options.navigationPath, dataDirectory);
    dialog.ExchangeValues(true);
    dialog.ApplyAutoNamingState();
}

RequestOverrides OverridesOf(const RunOptions& run) {
    RequestOverrides o;
    o.tx = run.tx;
    o.smoothedDopplers = run.smoothedDopplers;
    o.smoothedPseudoranges = run.smoothedCodes;
    o.logFile = run.logFiles;
    o.from = run.from;
    o.to = run.to;
    o.interval = run.interval;
    if (run.qc) o.quality = true;
    o.qualityPlots = run.qcPlots;
    o.sourceParts = run.sourceParts;
    return o;
}
