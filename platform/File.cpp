#include "platform/File.h"

#include <sys/stat.h>

CFile::~CFile() { Close(); }

bool CFile::Open(const std::string& path, OpenMode mode) {
    Close();
    fp_ = std::fopen(path.c_str(), mode == modeRead ? "rb" : "wb");
    if (!fp_) return false;
    path_ = path;
    return true;
}

size_t CFile::Read(void* buffer, size_t count) {
    if (!fp_ || count == 0) return 0;
    return std::fread(buffer, 1, count, fp_);
}

bool CFile::Write(const void* buffer, size_t count) {
    if (!fp_) return false;
    return std::fwrite(buffer, 1, count, fp_) == count;
}

bool CFile::Seek(int64_t offset) {
    if (!fp_) return false;
    return fseeko(fp_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t CFile::GetPosition() const {
    if (!fp_) return 0;
    return static_cast<int64_t>(ftello(fp_));
}

int64_t CFile::GetLength() const {
    if (!fp_) return -1;
    struct stat st {};
    if (fstat(fileno(fp_), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool CFile::Flush() { return fp_ && std::fflush(fp_) == 0; }

bool CFile::Close() {
    if (!fp_) return true;
    const bool ok = std::fclose(fp_) == 0;
    fp_ = nullptr;
    return ok;
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
