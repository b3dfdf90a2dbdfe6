#include "app/runs/Splice.h"

#include <algorithm>

#include "app/cli/CommandLineRun.h"
#include "app/cli/ConsoleUi.h"
#include "app/cli/RecordingUi.h"
#include "app/runs/BatchRun.h"
#include "app/dialog/ConversionSummary.h"
#include "app/dialog/DialogValues.h"
#include "app/dialog/MemoryControls.h"
#include "app/dialog/PathProbe.h"
#include "rawdata/RecordScan.h"

namespace {

// One file of a splice with what its probe and scan found.
struct SplicePart {
    std::string path;
    bool ascii = false;
    bool hasEpoch = false;
    GpsTime firstEpoch;
};

SplicePlan Refuse(SplicePlan plan, std::string error, bool usage = false) {
    plan.error = std::move(error);
    plan.usage = usage;
    return plan;
}

}  // namespace

SplicePlan PlanSplice(const std::vector<std::string>& parameters, const std::string& dataDirectory) {
    SplicePlan plan;
    plan.options.hasSource = true;  // every other parameter is a file
    std::vector<SplicePart> parts;
    for (const std::string& argument : parameters) {
        const CommandLineParameter p = SplitParameter(argument);
        const std::string key = ToUpperText(p.text.substr(0, 4));
        if (key == "OBS:" || key == "NAV:" || key == "S")
            plan.options.ParseParameter(p.text, p.isFlag, false);
        else
            parts.emplace_back().path = p.text;
    }
    if (parts.empty()) return Refuse(plan, "--splice needs the raw data files to join", true);
    for (SplicePart& part : parts) {
        PathProbe probe;
        if (!ProbePath(part.path, probe, dataDirectory) || !probe.exists)
            return Refuse(plan, "cannot splice " + part.path + ": " +
                                    (probe.problem.empty() ? std::string("no such file") : probe.problem));
        part.ascii = probe.ascii;
        if (part.ascii != parts.front().ascii)
            return Refuse(plan, "cannot splice files of two formats: " + parts.front().path + " is " +
                                    (parts.front().ascii ? "ASCII" : "binary") + ", " + part.path + " is " +
                                    (part.ascii ? "ASCII" : "binary"));
    }
    for (SplicePart& part : parts) {
        const RecordScan scan = ScanRawFile(part.path, part.ascii ? 0 : 1);
        part.hasEpoch = scan.validEpochs > 0;
        part.firstEpoch = scan.firstEpoch;
    }
    std::stable_sort(parts.begin(), parts.end(), [](const SplicePart& a, const SplicePart& b) {
        if (a.hasEpoch != b.hasEpoch) return a.hasEpoch;
        return a.hasEpoch && a.firstEpoch < b.firstEpoch;
    });
    plan.options.sourcePath = parts.front().path;
    for (const SplicePart& part : parts) plan.parts.push_back(part.path);
    return plan;
}

FileRunRow SpliceRow(const std::vector<std::string>& files, const Profile& profile, const std::string& dataDirectory,
                     double today, ConversionUi& ui) {
    FileRunRow row;
    const SplicePlan plan = PlanSplice(files, dataDirectory);
    for (const std::string& part : plan.error.empty() ? plan.parts : files)
        row.source += (row.source.empty() ? "" : ", ") + part;
    if (!plan.error.empty()) {
        row.status = "refused";
        row.reason = plan.error;
        return row;
    }
    DialogEnvironment environment;
    environment.dataDirectory = dataDirectory;
    environment.today = today;
    environment.overrides.sourceParts = plan.parts;
    environment.storeSettings = false;
    Profile settings(profile);  // the dialog may change its copy; the file is never written
    MemoryControls controls;
    ConsoleChooser chooser(nullptr, false);
    RecordingUi recording(ui);
    CMainDialog dialog(environment, controls, recording, chooser, settings);
    dialog.InitMainDialog();
    RunBatchSteps(dialog, plan.options, dataDirectory);
    const bool converted = dialog.GoPressed();
    const ConversionResult& result = dialog.LastResult();
    const ConversionRequest request = dialog.MakeRequest();
    row.epochs = result.outcome == ConversionOutcome::Cancelled ? 0 : result.epochsWritten;  // none kept
    if (converted) {
        row.status = "ok";
        row.outputs = request.observationPath + " " + request.navigationPath;
        if (result.logWritten) row.outputs += " " + request.observationPath + ".log " + request.observationPath + ".pos";
        return row;
    }
    row.status = result.outcome == ConversionOutcome::Cancelled ? "cancelled" : "failed";
    row.reason = FailureText(recording.Messages(), dialog.PathFailure());
    return row;
}
