#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/File.h"

class CompactRinexEncoder;
class GzipWriter;

// How a RINEX output's text is written: as it is, as Compact RINEX (observation
// files), gzipped, or both (Compact RINEX, then gzip).
struct OutputEncoding {
    bool compact = false;
    bool gzip = false;
    std::string program;   // the CRINEX PROG / DATE line's program and date ("dd-Mmm-yy hh:mm")
    std::string date;
    uint32_t time = 0;     // the gzip header's time, seconds since 1970
};

// A RINEX output file of a pass. Every write, seek and the close are checked; the
// first failure is kept with the system's error number, and nothing more is
// written after it. An encoded file is encoded and written on a thread of its own,
// in pieces of bounded size, so that the conversion goes on meanwhile; its failures
// show in Failed() a little later than the write that met them.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates (or truncates) writePath with file (a plain CFile when null) to write
    // the content of the output path (writePath empty: path itself), encoded as
    // encoding says; false when it cannot be created.
    bool Open(const std::string& path, std::unique_ptr<CFile> file, const std::string& writePath = "",
              const OutputEncoding& encoding = {});
    // Writes text whole; false once anything failed.
    bool Write(const std::string& text);
    // Writes text (the first text of the file, a header) whose bytes Patch may replace later.
    bool WriteHeader(const std::string& text);
    // Replaces the header's bytes from offset with text of the same length, whatever
    // the encoding; later writes go on at the end. False once anything failed.
    bool Patch(size_t offset, const std::string& text);
    // Flushes and closes; false when this or anything before it failed.
    bool Close();
    // Closes the file and removes what was written from the disk.
    void Discard();

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }
    // The output's path (not the temporary one it may be written to).
    const std::string& Path() const { return path_; }

private:
    struct Encoder;
    enum class Step { Write, Header, Patch, Finish };
    bool Check(bool ok);
    bool Put(const std::string& bytes);
    // Does one step on the file (on the encoding thread for an encoded file).
    bool Do(Step step, const std::string& text, size_t offset);
    bool Send(Step step, std::string text, size_t offset = 0);
    void StopEncoder();

    std::unique_ptr<CFile> file_;
    std::unique_ptr<CompactRinexEncoder> compact_;
    std::unique_ptr<GzipWriter> gzip_;
    std::unique_ptr<Encoder> encoder_;  // the thread of an encoded file
    std::string batch_;         // text not handed to that thread yet
    std::string encoded_;       // the Compact RINEX of the text written last
    std::string path_;
    std::string writePath_;
    int64_t headerAt_ = -1;     // where the header's bytes start (plain or Compact RINEX file)
    size_t headerShift_ = 0;    // the Compact RINEX lines before the header
    std::atomic<int> error_{0};
};
