#include "platform/TempFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <csignal>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Numbers the temporary files of this process (threads of a batch included).
std::atomic<unsigned> nextTemp{0};

// The name part of path.
std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

unsigned NewTempNumber() { return nextTemp++; }

std::string TempPathOf(const std::string& finalPath, unsigned number) {
    return FolderOf(finalPath) + "/" + kTempFilePrefix + std::to_string(getpid()) + "-" + std::to_string(number) +
           "-" + NameOf(finalPath);
}

bool CreateTempNumbered(const std::string& finalPath, unsigned number, TempFile& temp, int& error) {
    error = 0;
    const std::string path = TempPathOf(finalPath, number);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {  // nobody else knows the name yet
        error = errno;
        close(fd);
        unlink(path.c_str());
        return false;
    }
    temp.path = path;
    temp.lockFd = fd;
    return true;
}

bool CreateTempBeside(const std::string& finalPath, TempFile& temp, int& error) {
    for (int attempt = 0; attempt < 100; ++attempt)
        if (CreateTempNumbered(finalPath, NewTempNumber(), temp, error) || error != EEXIST) return error == 0;
    return false;
}

bool PublishTemp(TempFile& temp, const std::string& finalPath, int& error) {
    error = 0;
    if (temp.lockFd < 0 || fsync(temp.lockFd) != 0 || rename(temp.path.c_str(), finalPath.c_str()) != 0) {
        error = temp.lockFd < 0 ? EBADF : errno;
        return false;
    }
    close(temp.lockFd);
    temp = TempFile();
    return true;
}

void DiscardTemp(TempFile& temp) {
    if (!temp.path.empty()) unlink(temp.path.c_str());
    if (temp.lockFd >= 0) close(temp.lockFd);
    temp = TempFile();
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

int RemoveStaleTemps(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;
    const size_t prefix = std::strlen(kTempFilePrefix);
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, kTempFilePrefix, prefix) != 0) continue;
        // A file of a running process may be between its creation and its lock.
        const long pid = std::strtol(entry->d_name + prefix, nullptr, 10);
        if (pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) continue;
        const std::string path = folder + "/" + entry->d_name;
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // Only a regular file that no running conversion holds locked.
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            unlink(path.c_str()) == 0)
            ++removed;
        close(fd);
    }
    closedir(dir);
    return removed;
}

bool LockOutput(const std::string& finalPath, OutputLock& lock, int& error, long& holder) {
    error = 0;
    holder = 0;
    const std::string path = FolderOf(finalPath) + "/.qern2rinex-lock-" + NameOf(finalPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = errno;
            return false;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errno;
            char text[32] = {};
            if (pread(fd, text, sizeof text - 1, 0) > 0) holder = std::strtol(text, nullptr, 10);
            close(fd);
            return false;
        }
        // The holder before may have removed the file between the open and the lock:
        // the lock counts only on the file that is still there.
        struct stat held {}, there {};
        if (fstat(fd, &held) != 0 || stat(path.c_str(), &there) != 0 || held.st_ino != there.st_ino ||
            held.st_dev != there.st_dev) {
            close(fd);
            continue;
        }
        const std::string pid = std::to_string(getpid()) + "\n";
        if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
            error = errno;
            unlink(path.c_str());
            close(fd);
            return false;
        }
        lock.path = path;
        lock.fd = fd;
        return true;
    }
    error = EAGAIN;
    return false;
}

void UnlockOutput(OutputLock& lock) {
    if (lock.fd >= 0) {
        unlink(lock.path.c_str());
        close(lock.fd);
    }
    lock = OutputLock();
}
