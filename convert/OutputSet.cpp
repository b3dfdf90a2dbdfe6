#include "convert/OutputSet.h"

#include "platform/FileSystem.h"

OutputSet OutputSetOf(const ConversionRequest& request) {
    OutputSet set;
    set.sources = request.sourceParts.empty() ? std::vector<std::string>{request.sourcePath} : request.sourceParts;
    const std::string& obs = request.observationPath;
    set.outputs = {{OutputKind::Observation, obs}, {OutputKind::Navigation, request.navigationPath}};
    if (request.logFile) {
        set.outputs.push_back({OutputKind::Log, obs + ".log"});
        set.outputs.push_back({OutputKind::Positions, obs + ".pos"});
    }
    if (request.quality || request.qualityPlots) set.outputs.push_back({OutputKind::Quality, obs + ".qc"});
    if (request.qualityPlots)
        for (const char* name : kQualityPlotNames)
            set.outputs.push_back({OutputKind::Plot, obs + ".qc." + name + ".png"});
    return set;
}

const char* OutputKindName(OutputKind kind) {
    switch (kind) {
        case OutputKind::Observation: return "observation file";
        case OutputKind::Navigation: return "navigation file";
        case OutputKind::Log: return "log file";
        case OutputKind::Positions: return "position log file";
        case OutputKind::Quality: return "quality report";
        case OutputKind::Plot: return "quality plot";
    }
    return "output";
}

std::optional<OutputRefusal> CheckOutputSet(const OutputSet& set) {
    for (size_t i = 0; i < set.outputs.size(); ++i) {
        const PlannedOutput& output = set.outputs[i];
        const std::string what = std::string("the ") + OutputKindName(output.kind);
        for (const std::string& source : set.sources)
            if (SameFile(output.path, source)) return OutputRefusal{output, what + " would be the source file", true, true};
        for (size_t j = 0; j < i; ++j)
            if (SameFile(output.path, set.outputs[j].path))
                return OutputRefusal{output, what + " would be the " + OutputKindName(set.outputs[j].kind), true};
        // Nothing is written through a link or into anything but a regular file.
        if (IsSymbolicLink(output.path)) return OutputRefusal{output, "is a symbolic link", false};
        const PathKind kind = KindOfPath(output.path);
        if (kind == PathKind::Directory) return OutputRefusal{output, "is a folder", false};
        if (kind == PathKind::Other) return OutputRefusal{output, "is not a regular file (a FIFO or a device)", false};
    }
    return std::nullopt;
}
