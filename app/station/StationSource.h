#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where a file source stands: the file (device and inode) and the offset of the
// next byte to read in it.
struct FilePlace {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t offset = 0;
};

// The byte stream of a station: a file followed as it grows (and across its
// rotation to a new file of the same name), standard input, a TCP server
// (tcp:HOST:PORT, reconnected with back-off) or a serial line
// (serial:DEVICE[:BAUD], raw 8N1, reopened with back-off). Plain POSIX calls.
class StationSource {
public:
    virtual ~StationSource() = default;

    // Waits up to timeoutMs for bytes and reads up to count of them into buffer.
    // Returns how many (0: none yet, or the source is being reconnected), -1 when
    // the source has ended for good (the end of standard input). Never returns at
    // once without bytes: a disconnected source waits its back-off.
    virtual long Read(uint8_t* buffer, size_t count, int timeoutMs) = 0;
    // True once after the stream began anew (a new connection, a rotated file):
    // bytes before it and after it belong to no common record.
    bool TakeRestart() {
        const bool r = restarted_;
        restarted_ = false;
        return r;
    }
    // For a file: where the bytes read since the last restart began; false for
    // the other sources.
    virtual bool StreamStart(FilePlace& /*place*/) const { return false; }
    // For a file: start reading at place when that is the same file, else at its start.
    virtual void ResumeAt(const FilePlace& /*place*/) {}
    // A short state for the status: "receiving", "waiting", "disconnected".
    const std::string& State() const { return state_; }
    // The last error, "" when none happened; cleared errors stay until the next.
    const std::string& LastError() const { return error_; }
    // True once after a new error (for the log).
    bool TakeNewError() {
        const bool e = newError_;
        newError_ = false;
        return e;
    }

protected:
    void Fail(const std::string& error) {
        error_ = error;
        newError_ = true;
        state_ = "disconnected";
    }
    bool restarted_ = false;
    std::string state_ = "waiting";
    std::string error_;
    bool newError_ = false;
};

// The source of a SOURCE text; null with error set when it is not understood.
std::unique_ptr<StationSource> MakeStationSource(const std::string& address, std::string& error);
