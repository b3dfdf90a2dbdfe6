#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

struct GzipInput;

// A plain binary file: the platform's file service for the raw-data and output
// layers. Standard C++, POSIX and zlib only. Failures are return values; Error()
// holds the system's error number of the last one (or kErrorDamagedGzip).
//
// A file opened for reading whose first bytes are the gzip magic (1F 8B) is read
// as the data it holds: Read returns the decompressed bytes, streaming (members
// one after the other), and GetPosition counts them; GetLength stays the file's
// size on disk. Compressed data that are damaged or end early fail the read with
// kErrorDamagedGzip.
class CFile {
public:
    enum OpenMode { modeRead, modeWrite /* create or truncate */ };
    // Error() of a read that met damaged or cut gzip data (no system error number).
    static constexpr int kErrorDamagedGzip = -1001;

    CFile();
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path for reading or (creating/truncating) for writing; false on failure.
    virtual bool Open(const std::string& path, OpenMode mode);
    // Opens the files of paths for reading as one stream: their bytes one after the
    // other, the next file opened when one ends. Position and length count over all
    // of them. False when paths is empty, one of them is no readable file, or the
    // first cannot be opened; a later file that cannot be opened ends the stream
    // there with Error() set.
    bool OpenSequence(const std::vector<std::string>& paths);
    // Reads up to count bytes; returns the number read (0 at end of file or on
    // error; after a read error Error() is set).
    virtual size_t Read(void* buffer, size_t count);
    // Writes count bytes; false when not all could be written.
    virtual bool Write(const void* buffer, size_t count);
    // Moves the file position to offset bytes from the start; false on failure
    // (always for a gzip file being read).
    virtual bool Seek(int64_t offset);
    // The current position in bytes from the start.
    virtual int64_t GetPosition() const;
    // The file length in bytes (-1 when not open).
    virtual int64_t GetLength() const;
    // Closes the file; false when pending output could not be written.
    virtual bool Close();
    // Flushes pending output; false on failure.
    virtual bool Flush();

    // Bytes of data read per byte taken from the disk so far: 1 for a plain file
    // (and before anything was read), the compression ratio of a gzip file.
    double DataPerStoredByte() const;
    // True when the open file (the current one of a sequence) is read through gzip.
    bool IsCompressed() const { return gzip_ != nullptr; }

    bool IsOpen() const { return fp_ != nullptr; }
    // The system's error number of the last failed operation, 0 when none failed.
    int Error() const { return error_; }
    const std::string& GetFilePath() const { return path_; }
    void SetFilePath(const std::string& path) { path_ = path; }

protected:
    // Records error as the reason of a failed operation; returns false.
    bool SetError(int error) {
        error_ = error;
        return false;
    }

private:
    std::FILE* fp_ = nullptr;
    std::unique_ptr<char[]> writeBuffer_;  // stdio's buffer of a file open for writing
    std::string path_;
    int64_t position_ = 0;  // kept here so that asking for it costs no system call
    std::vector<std::string> sequence_;  // files of OpenSequence still to be read, in order
    size_t nextInSequence_ = 0;
    int64_t sequenceLength_ = -1;        // bytes of all of them (-1: no sequence)
    int error_ = 0;
    std::unique_ptr<GzipInput> gzip_;  // set while a gzip file is read
    int64_t storedRead_ = 0;           // bytes taken from the disk by Read, over a whole sequence

    // Records the failure of an operation (errno, or EIO when the library set none).
    bool Failed();
    // Moves to the next file of a sequence; false when there is none or it cannot be opened.
    bool OpenNextInSequence();
    // Reads fp_ through gzip when it starts with the gzip magic; false on failure.
    bool DetectGzip();
    // Reads up to count bytes of the open file, decompressed when it is a gzip file.
    size_t ReadCurrent(void* buffer, size_t count);
};

// Last-modification time of a file in seconds since 1970 (UTC); false when it
// cannot be read.
bool FileModificationTime(const std::string& path, std::time_t& out);
// True when path names an existing regular file.
bool FileExists(const std::string& path);
// True when path names an existing directory.
bool DirectoryExists(const std::string& path);
