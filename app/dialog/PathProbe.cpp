#include "app/dialog/PathProbe.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "rawdata/GpsTime.h"

namespace {

// Days since the GPS origin of a time stamp read as local calendar time; 0 for a
// time before the origin.
double LocalDays(std::time_t t) {
    const CalendarTime c = CalendarOf(LocalCivilTime(t));
    if (c.year < 1980 || (c.year == 1980 && c.month == 1 && c.day < 6)) return 0.0;
    GpsTime g;
    g.FromCalendar(c);
    return g.ToDays();
}

}  // namespace

std::string JoinPath(const std::string& directory, const std::string& title,
                     const std::string& extension) {
    std::string path = directory + "/" + title;
    if (!extension.empty()) path += "." + extension;
    return path;
}

namespace {

// Leaves the probe at its initial values with the default directory and the
// reason of the failure; returns false.
bool ProbeFailed(PathProbe& probe, const std::string& defaultDirectory, std::string problem) {
    probe = PathProbe();
    probe.directory = defaultDirectory;
    probe.problem = std::move(problem);
    return false;
}

}  // namespace

bool ProbePath(const std::string& path, PathProbe& probe, const std::string& defaultDirectory) {
    probe = PathProbe();
    probe.directory = defaultDirectory;
    if (path.empty()) return ProbeFailed(probe, defaultDirectory, "no path given");

    int error = 0;
    const PathKind kind = KindOfPath(path, &error);
    bool created = false;
    if (kind == PathKind::Directory) return ProbeFailed(probe, defaultDirectory, "is a folder");
    if (kind == PathKind::Other) return ProbeFailed(probe, defaultDirectory, "is not a regular file");
    if (kind == PathKind::File) {
        // Something is there: a regular file (or a link to one) that must be
        // readable. Anything else is refused and left exactly as it is.
        unsigned char buffer[kProbeBytes];
        size_t total = 0;
        std::time_t modified = 0;
        if (!ReadFileHead(path, buffer, sizeof buffer, total, modified, error))
            return ProbeFailed(probe, defaultDirectory, ErrorText(error));
        for (size_t i = 0; i < total; ++i)
            if (buffer[i] >= 128) {
                probe.ascii = false;
                break;
            }
        probe.modified = LocalDays(modified);
        probe.exists = true;
    } else {
        // Nothing is there: the path is usable when a file can be created. A name
        // with a wildcard is a pattern ("*.RNX"), not a file to create. Only a file
        // made by this test (created new, never one that was there) is removed.
        const size_t nameStart = path.find_last_of('/');
        if (path.find_first_of("*?", nameStart == std::string::npos ? 0 : nameStart + 1) != std::string::npos)
            return ProbeFailed(probe, defaultDirectory, "names a pattern, not a file");
        if (!CreateNewFile(path, error)) return ProbeFailed(probe, defaultDirectory, ErrorText(error));
        created = true;
    }
    const std::string full = FullPath(path);
    const size_t slash = full.find_last_of('/');
    const std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    probe.directory = slash == std::string::npos ? std::string() : full.substr(0, slash);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) {
        probe.title = name;
        probe.extension.clear();
    } else {
        probe.title = name.substr(0, dot);
        probe.extension = name.substr(dot + 1);
    }
    probe.rawTitle = probe.title;
    const std::string& e = probe.extension;
    if (e.size() == 2 && (e[0] == 'g' || e[0] == 'G') && (e[1] == 'z' || e[1] == 'Z'))
        probe.rawTitle = probe.title.substr(0, std::min(probe.title.size(), probe.title.find_last_of('.')));
    if (created) RemoveFile(path);
    return true;
}
