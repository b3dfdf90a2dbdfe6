#pragma once
#include <string>

// The install root of a program at executablePath: the folder that holds its
// folder when that folder is named "bin" (any case), otherwise empty.
std::string InstallRootOf(const std::string& executablePath);

// True when installRoot is a prefix the system shares among all its programs
// ("/usr", "/usr/local", or empty for "/bin"): no data folder of ours lives there.
bool IsSharedInstallRoot(const std::string& installRoot);

// The default folder of raw and RINEX files: installRoot + "/RAW" when the program
// has an install root of its own and that folder exists; otherwise currentDirectory,
// or homeDirectory when the current directory is unknown or the file system's root.
std::string DefaultDataDirectory(const std::string& installRoot, const std::string& currentDirectory,
                                 const std::string& homeDirectory = std::string());

// Today's local date in whole days since the GPS origin.
double TodayInDays();
// The running program's full path ("/proc/self/exe"), or fallback when unknown.
std::string CurrentExecutablePath(const std::string& fallback);
// The process's current directory (empty when it cannot be read).
std::string CurrentDirectory();
