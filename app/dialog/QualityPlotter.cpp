#include "app/dialog/QualityPlotter.h"

#include "convert/OutputSet.h"
#include "convert/StagedOutputs.h"
#include "platform/FileSystem.h"

std::vector<std::string> PublishPlots(IQualityPlotter& plotter, const QualitySummary& summary,
                                      const QualitySeries& series, const std::string& observationPath,
                                      std::string& error) {
    const std::string prefix = observationPath + ".qc";
    std::vector<std::string> suffixes;
    for (const char* name : kQualityPlotNames) suffixes.push_back(std::string(".") + name + ".png");
    StagedOutputs staged;
    int code = 0;
    const std::string tempPrefix = staged.StageGroup(prefix, suffixes, code);
    if (tempPrefix.empty()) {
        error = "cannot write beside " + prefix + ": " + ErrorText(code);
        return {};
    }
    if (plotter.WritePlots(summary, series, tempPrefix, error).size() != suffixes.size()) {
        if (error.empty()) error = "not every plot was drawn";
        // The plotter names the temporary files: the person knows the final ones.
        for (size_t at; (at = error.find(tempPrefix)) != std::string::npos;) error.replace(at, tempPrefix.size(), prefix);
        return {};
    }
    std::string failed;
    if (!staged.Publish(failed, code)) {
        error = "cannot write " + failed + ": " + ErrorText(code);
        return {};
    }
    std::vector<std::string> written;
    for (const std::string& suffix : suffixes) written.push_back(prefix + suffix);
    return written;
}
