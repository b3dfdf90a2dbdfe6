#pragma once
#include <string>

// Files written under a temporary name beside their final name and renamed over
// it only when whole. A temporary file is named ".qern2rinex-tmp-<pid>-<n>-<final
// name>" and held locked (flock) by the run that writes it, so that one left by a
// killed run is recognisable and can be removed by the next one.

// A temporary file of this run and the lock it holds.
struct TempFile {
    std::string path;  // empty: none
    int lockFd = -1;   // open descriptor holding the lock (and used to sync)
};

// The prefix of every temporary file's name.
inline constexpr const char* kTempFilePrefix = ".qern2rinex-tmp-";

// Creates a new empty temporary file for finalPath in finalPath's folder
// (O_CREAT|O_EXCL|O_NOFOLLOW, permissions 0666 less the umask) and locks it.
// False with error set when it cannot be created.
bool CreateTempBeside(const std::string& finalPath, TempFile& temp, int& error);

// A number of this process's temporary files not used yet.
unsigned NewTempNumber();
// The name CreateTempNumbered gives the temporary file of finalPath with number.
std::string TempPathOf(const std::string& finalPath, unsigned number);
// Creates the temporary file of finalPath with number like CreateTempBeside; false
// with error set (EEXIST when that name is taken).
bool CreateTempNumbered(const std::string& finalPath, unsigned number, TempFile& temp, int& error);

// Flushes temp to the disk (fsync) and renames it over finalPath; the lock is
// released. False with error set (temp is then kept for DiscardTemp).
bool PublishTemp(TempFile& temp, const std::string& finalPath, int& error);

// Removes temp (when any) and releases its lock.
void DiscardTemp(TempFile& temp);

// Flushes the entries of folder to the disk (after renames in it); false on failure.
bool SyncFolder(const std::string& folder);

// Removes the temporary files in folder left by runs that ended without cleaning
// up (killed, power cut): those whose process is gone and that nobody holds
// locked. Returns how many.
int RemoveStaleTemps(const std::string& folder);

// The folder part of path ("." when it has none).
std::string FolderOf(const std::string& path);

// The advisory lock (flock) of a run on an output path, on the lock file
// ".qern2rinex-lock-<name>" beside it that holds the run's process id.
struct OutputLock {
    std::string path;  // the lock file (empty: none held)
    int fd = -1;
};

// Takes the lock of finalPath at once; false with error set when it cannot, and
// holder the process id of the run that holds it (EWOULDBLOCK; 0 when unknown).
bool LockOutput(const std::string& finalPath, OutputLock& lock, int& error, long& holder);

// Releases lock and removes its lock file.
void UnlockOutput(OutputLock& lock);
