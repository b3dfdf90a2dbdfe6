#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"

namespace {

// strerror_r comes in two forms: the GNU one returns the text (which may or may
// not be the buffer), the POSIX one fills the buffer and returns 0 on success.
// The compiler picks the one that fits what the C library declares.
[[maybe_unused]] const char* StrerrorText(const char* text, const char* /*buffer*/) { return text; }
[[maybe_unused]] const char* StrerrorText(int status, const char* buffer) {
    return status == 0 ? buffer : "Unknown error";
}

}  // namespace

std::string ErrorText(int error) {
    if (error == CFile::kErrorDamagedGzip) return "its gzip data are damaged or cut short";
    char buffer[256] = "";
    return std::string(StrerrorText(strerror_r(error, buffer, sizeof buffer), buffer));
}

PathKind KindOfPath(const std::string& path, int* error) {
    if (error) *error = 0;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        if (error) *error = errno;
        return PathKind::Missing;
    }
    struct stat target {};
    if (stat(path.c_str(), &target) != 0) return PathKind::Other;  // a dangling link
    if (S_ISREG(target.st_mode)) return PathKind::File;
    if (S_ISDIR(target.st_mode)) return PathKind::Directory;
    return PathKind::Other;
}

bool StampOfFile(const std::string& path, FileStamp& stamp, int& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        error = errno;
        return false;
    }
    error = 0;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

bool IsSymbolicLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool ReadFileHead(const std::string& path, unsigned char* buffer, size_t size, size_t& count,
                  std::time_t& modified, int& error) {
    count = 0;
    modified = 0;
    error = 0;
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        error = file.Error();
        return false;
    }
    count = file.Read(buffer, size);
    FileModificationTime(path, modified);
    return true;
}

bool CreateNewFile(const std::string& path, int& error) {
    error = 0;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return false;
    }
    close(fd);
    return true;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string FullPath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
    if (ec) p = std::filesystem::path(path);
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    if (EqualIgnoringCase(a, b) || EqualIgnoringCase(FullPath(a), FullPath(b))) return true;
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool IsTerminal(std::FILE* stream) { return stream && isatty(fileno(stream)) != 0; }

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string WorkingDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string UserHomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir && entry->pw_dir[0] == '/' ? std::string(entry->pw_dir) : std::string();
}
