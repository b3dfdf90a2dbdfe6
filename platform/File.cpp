#include "platform/File.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>
#ifndef QERN_WITHOUT_ZLIB
#include <zlib.h>
#endif

namespace {
constexpr size_t kWriteBufferSize = 256 * 1024;
constexpr size_t kGzipInputSize = 64 * 1024;
constexpr int kGzipWindowBits = 15 + 16;  // the largest window, gzip wrapper only
}  // namespace

#ifndef QERN_WITHOUT_ZLIB
// The inflate state of a gzip file being read: compressed bytes taken from the
// file wait in `in` until inflate consumes them.
struct GzipInput {
    z_stream z{};
    std::vector<unsigned char> in = std::vector<unsigned char>(kGzipInputSize);
    bool inputEnded = false;  // the file has no more compressed bytes
    bool betweenMembers = false;  // a member ended; more input starts the next one
    const int initStatus = inflateInit2(&z, kGzipWindowBits);

    GzipInput() = default;
    ~GzipInput() {
        if (initStatus == Z_OK) inflateEnd(&z);
    }
    GzipInput(const GzipInput&) = delete;
    GzipInput& operator=(const GzipInput&) = delete;
};
#else
struct GzipInput {};
#endif

CFile::CFile() = default;
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
    // Output files take many short lines: a large buffer saves most write calls (and
    // the kernel's cost per call). stdio ignores the size of a buffer it allocates
    // itself, so the buffer is the file's own; it outlives the stream (see Close).
    if (mode == modeWrite) {
        if (!writeBuffer_) writeBuffer_ = std::make_unique<char[]>(kWriteBufferSize);
        std::setvbuf(fp_, writeBuffer_.get(), _IOFBF, kWriteBufferSize);
    }
    path_ = path;
    position_ = 0;
    storedRead_ = 0;
    return mode == modeWrite || DetectGzip();
}

bool CFile::DetectGzip() {
    gzip_.reset();
    unsigned char magic[2] = {0, 0};
    const size_t n = std::fread(magic, 1, 2, fp_);
    if (std::ferror(fp_) || fseeko(fp_, 0, SEEK_SET) != 0) {
        Failed();
        Close();
        return false;
    }
    if (n == 2 && magic[0] == 0x1F && magic[1] == 0x8B) {
#ifdef QERN_WITHOUT_ZLIB
        Close();
        return SetError(ENOTSUP);  // built without zlib
#else
        gzip_ = std::make_unique<GzipInput>();
        if (gzip_->initStatus != Z_OK) {  // no memory for the inflate state
            gzip_.reset();
            Close();
            return SetError(ENOMEM);
        }
#endif
    }
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
    gzip_.reset();
    errno = 0;
    fp_ = std::fopen(sequence_[nextInSequence_].c_str(), "rb");
    if (!fp_) return Failed();
    path_ = sequence_[nextInSequence_++];
    return DetectGzip();
}

size_t CFile::ReadCurrent(void* buffer, size_t count) {
    if (!gzip_) {
        const size_t n = std::fread(buffer, 1, count, fp_);
        storedRead_ += static_cast<int64_t>(n);
        if (std::ferror(fp_)) Failed();  // a read error is no end of file
        return n;
    }
#ifdef QERN_WITHOUT_ZLIB
    return 0;
#else
    GzipInput& g = *gzip_;
    z_stream& z = g.z;
    z.next_out = static_cast<Bytef*>(buffer);
    z.avail_out = static_cast<uInt>(count);
    while (z.avail_out > 0 && error_ == 0) {
        if (z.avail_in == 0 && !g.inputEnded) {
            const size_t n = std::fread(g.in.data(), 1, g.in.size(), fp_);
            if (std::ferror(fp_)) {
                Failed();
                break;
            }
            g.inputEnded = n == 0;
            storedRead_ += static_cast<int64_t>(n);
            z.next_in = g.in.data();
            z.avail_in = static_cast<uInt>(n);
        }
        if (g.betweenMembers) {
            if (z.avail_in == 0) break;  // the last member ended with the file
            inflateReset(&z);            // another member (or damage, which inflate finds)
            g.betweenMembers = false;
        }
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            g.betweenMembers = true;
        } else if (status == Z_BUF_ERROR && g.inputEnded && z.avail_in == 0) {
            SetError(kErrorDamagedGzip);  // the data end inside a member
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            SetError(status == Z_MEM_ERROR ? ENOMEM : kErrorDamagedGzip);
        }
    }
    return count - z.avail_out;
#endif
}

size_t CFile::Read(void* buffer, size_t count) {
    if (!fp_ || count == 0) return 0;
    errno = 0;
    size_t n = ReadCurrent(buffer, count);
    // A sequence goes on with its next file where one ends.
    while (n < count && error_ == 0 && OpenNextInSequence())
        n += ReadCurrent(static_cast<char*>(buffer) + n, count - n);
    position_ += static_cast<int64_t>(n);
    return n;
}

double CFile::DataPerStoredByte() const {
    return storedRead_ > 0 && position_ > 0 ? static_cast<double>(position_) / static_cast<double>(storedRead_)
                                            : 1.0;
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
    if (gzip_) return SetError(ESPIPE);
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
    gzip_.reset();
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
