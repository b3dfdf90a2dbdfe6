#include "app/program/InstallPaths.h"

#include <cmath>

#include "app/dialog/DialogValues.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "rawdata/GpsTime.h"

namespace {

bool IsDirectory(const std::string& path) { return KindOfPath(path) == PathKind::Directory; }

}  // namespace

std::string InstallRootOf(const std::string& executablePath) {
    const size_t slash = executablePath.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    const std::string folder = executablePath.substr(0, slash);
    const size_t parentSlash = folder.find_last_of('/');
    if (parentSlash == std::string::npos) return std::string();
    if (!EqualNoCase(folder.substr(parentSlash + 1), "bin")) return std::string();
    return folder.substr(0, parentSlash);
}

bool IsSharedInstallRoot(const std::string& installRoot) {
    std::string root = installRoot;
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root.empty() || root == "/usr" || root == "/usr/local";
}

std::string DefaultDataDirectory(const std::string& installRoot, const std::string& currentDirectory,
                                 const std::string& homeDirectory) {
    if (!IsSharedInstallRoot(installRoot) && IsDirectory(installRoot + "/RAW")) return installRoot + "/RAW";
    if ((currentDirectory.empty() || currentDirectory == "/") && !homeDirectory.empty()) return homeDirectory;
    return currentDirectory;
}

double TodayInDays() {
    CalendarTime c = CalendarOf(LocalCivilTime(CurrentTime()));
    c.hour = c.minute = c.second = 0;
    GpsTime t;
    t.FromCalendar(c);
    return std::floor(t.ToDays());
}

std::string CurrentExecutablePath(const std::string& fallback) {
    std::string path = ExecutablePath();
    if (!path.empty()) return path;
    return fallback.find('/') != std::string::npos ? FullPath(fallback) : fallback;
}

std::string CurrentDirectory() { return WorkingDirectory(); }
