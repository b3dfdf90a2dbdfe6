#include "app/PathProbe.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "rawdata/GpsTime.h"

namespace {

// Days since the GPS origin of a time stamp read as local calendar time; 0 for a
// time before the origin.
double LocalDays(std::time_t t) {
    std::tm local {};
    if (!localtime_r(&t, &local)) return 0.0;
    CalendarTime c;
    c.year = local.tm_year + 1900;
    c.month = local.tm_mon + 1;
    c.day = local.tm_mday;
    c.hour = local.tm_hour;
    c.minute = local.tm_min;
    c.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    if (c.year < 1980 || (c.year == 1980 && c.month == 1 && c.day < 6)) return 0.0;
    GpsTime g;
    g.FromCalendar(c);
    return g.ToDays();
}

}  // namespace

std::string FullPath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
    if (ec) p = std::filesystem::path(path);
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string JoinPath(const std::string& directory, const std::string& title,
                     const std::string& extension) {
    std::string path = directory + "/" + title;
    if (!extension.empty()) path += "." + extension;
    return path;
}

bool ProbePath(const std::string& path, PathProbe& probe, const std::string& defaultDirectory) {
    probe = PathProbe();
    probe.directory = defaultDirectory;
    if (path.empty()) return false;

    struct stat st {};
    const bool present = lstat(path.c_str(), &st) == 0;
    bool created = false;
    if (present) {
        // Something is there: it must be a regular file (or a link to one) that
        // can be read. Anything else is refused and left exactly as it is.
        struct stat target {};
        if (stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return false;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        unsigned char buffer[kProbeBytes];
        size_t total = 0;
        while (total < sizeof buffer) {
            const ssize_t n = read(fd, buffer + total, sizeof buffer - total);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            total += static_cast<size_t>(n);
        }
        for (size_t i = 0; i < total; ++i)
            if (buffer[i] >= 128) {
                probe.ascii = false;
                break;
            }
        struct stat opened {};
        probe.modified = fstat(fd, &opened) == 0 ? LocalDays(opened.st_mtime) : 0.0;
        close(fd);
        probe.exists = true;
    } else {
        // Nothing is there: the path is usable when a file can be created. A name
        // with a wildcard is a pattern ("*.RNX"), not a file to create. O_EXCL
        // makes sure that only a file made by this test is ever removed.
        const size_t nameStart = path.find_last_of('/');
        const bool wildcard =
            path.find_first_of("*?", nameStart == std::string::npos ? 0 : nameStart + 1) != std::string::npos;
        const int fd = wildcard ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            probe = PathProbe();
            probe.directory = defaultDirectory;
            return false;
        }
        close(fd);
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
    if (created) unlink(path.c_str());
    return true;
}
