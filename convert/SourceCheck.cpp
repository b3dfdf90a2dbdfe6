#include "convert/SourceCheck.h"

bool StampSources(const ConversionRequest& request, SourceStamps& sources, std::string& path, std::string& reason) {
    sources.paths = request.sourceParts.empty() ? std::vector<std::string>{request.sourcePath} : request.sourceParts;
    sources.stamps.assign(sources.paths.size(), FileStamp());
    for (size_t i = 0; i < sources.paths.size(); ++i) {
        int error = 0;
        path = sources.paths[i];
        if (!StampOfFile(path, sources.stamps[i], error)) {
            reason = ErrorText(error);
            return false;
        }
        if (KindOfPath(path) != PathKind::File) {
            reason = "is not a regular file (a FIFO, a device or a folder)";
            return false;
        }
    }
    return true;
}

bool SourcesUnchanged(const SourceStamps& sources, std::string& path, std::string& reason) {
    for (size_t i = 0; i < sources.paths.size(); ++i) {
        FileStamp now;
        int error = 0;
        if (StampOfFile(sources.paths[i], now, error) && now == sources.stamps[i]) continue;
        path = sources.paths[i];
        reason = error != 0 ? ErrorText(error) : "changed while it was read";
        return false;
    }
    return true;
}
