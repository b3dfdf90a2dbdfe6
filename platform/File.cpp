#include "platform/File.h"

#include <cerrno>
#include <sys/stat.h>

namespace {
constexpr size_t kWriteBufferSize = 256 * 1024;
}  // namespace

CFile::~CFile() { Close(); }

bool CFile::Failed() {
    error_ = errno != 0 ? errno : EIO;
    return false;
}

bool CFile::Open(const std::string& path, OpenMode mode) {
    Close();
    sequence_.clear();
    nextInSequence_ = 0;
    sequenceLength_ = -1;
    error_ = 0;
    errno = 0;
    fp_ = std::fopen(path.c_str(), mode == modeRead ? "rb" : "wb");
    if (!fp_) return Failed();
    // Output files take many short lines: a larger buffer saves most write calls.
    if (mode == modeWrite) std::setvbuf(fp_, nullptr, _IOFBF, kWriteBufferSize);
    path_ = path;
    position_ = 0;
    return true;
}

bool CFile::OpenSequence(const std::vector<std::string>& paths) {
    int64_t total = 0;
    for (const std::string& path : paths) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) return SetError(errno);
        if (!S_ISREG(st.st_mode)) return SetError(EISDIR);
        total += static_cast<int64_t>(st.st_size);
    }
    if (paths.empty() || !Open(paths.front(), modeRead)) return paths.empty() ? SetError(ENOENT) : false;
    sequence_ = paths;
    nextInSequence_ = 1;
    sequenceLength_ = total;
    return true;
}

bool CFile::OpenNextInSequence() {
    if (nextInSequence_ >= sequence_.size()) return false;
    std::fclose(fp_);
    errno = 0;
    fp_ = std::fopen(sequence_[nextInSequence_].c_str(), "rb");
    if (!fp_) return Failed();
    path_ = sequence_[nextInSequence_++];
    return true;
}

size_t CFile::Read(void* buffer, size_t count) {
    if (!fp_ || count == 0) return 0;
    errno = 0;
    size_t n = std::fread(buffer, 1, count, fp_);
    // A sequence goes on with its next file where one ends.
    while (n < count && !std::ferror(fp_) && OpenNextInSequence())
        n += std::fread(static_cast<char*>(buffer) + n, 1, count - n, fp_);
    position_ += static_cast<int64_t>(n);
    if (std::ferror(fp_)) Failed();  // a read error is no end of file
    return n;
}

bool CFile::Write(const void* buffer, size_t count) {
    if (!fp_) return false;
    errno = 0;
    const size_t n = std::fwrite(buffer, 1, count, fp_);
    position_ += static_cast<int64_t>(n);
    return n == count || Failed();
}

bool CFile::Seek(int64_t offset) {
    if (!fp_) return false;
    errno = 0;
    if (fseeko(fp_, static_cast<off_t>(offset), SEEK_SET) != 0) return Failed();
    position_ = offset;
    return true;
}

int64_t CFile::GetPosition() const {
    if (!fp_) return 0;
    return position_;
}

int64_t CFile::GetLength() const {
    if (!fp_) return -1;
    if (sequenceLength_ >= 0) return sequenceLength_;
    struct stat st {};
    if (fstat(fileno(fp_), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool CFile::Flush() {
    if (!fp_) return false;
    errno = 0;
    return std::fflush(fp_) == 0 || Failed();
}

bool CFile::Close() {
    if (!fp_) return true;
    errno = 0;
    const bool ok = std::fclose(fp_) == 0;
    fp_ = nullptr;
    return ok || Failed();
}

bool FileModificationTime(const std::string& path, std::time_t& out) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    out = st.st_mtime;
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
