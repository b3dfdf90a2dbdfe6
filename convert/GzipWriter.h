#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// Writes a gzip file (RFC 1952) to an open file, deflated by zlib as it comes. The
// first member's header carries the file name and a modification time. Text that
// may have to be replaced later (a header whose values are known only at the end)
// goes into a member of its own, stored rather than deflated, so that it can be
// rewritten in place at the same length.
class GzipWriter {
public:
    // name: the file's name without ".gz"; time: seconds since 1970.
    // Level 4: on RINEX text about a quarter of level 6's time for 10 % more bytes
    // (docs/performance.md).
    GzipWriter(CFile& file, std::string name, uint32_t time, int level = 4);
    ~GzipWriter();
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    // Deflates data into the current member (one is started when none is open).
    bool Write(std::string_view data);
    // Ends the current member and writes text as a stored member of its own; only
    // the last such member can be replaced.
    bool WriteReplaceable(std::string_view text);
    // Replaces bytes of the replaceable member's text from offset (the same length),
    // its checksum with them, and returns to the end of the file.
    bool Replace(size_t offset, std::string_view bytes);
    // Ends the current member; false when anything failed.
    bool Finish();

private:
    bool StartMember();
    bool EndMember();
    bool Deflate(int flush);
    bool Put(const void* data, size_t size);
    std::string HeaderBytes();

    CFile& file_;
    std::string name_;
    uint32_t time_;
    int level_;
    bool first_ = true;      // no member written yet
    bool inMember_ = false;
    bool failed_ = false;
    void* stream_ = nullptr;  // zlib's z_stream
    uint32_t crc_ = 0;
    uint32_t size_ = 0;
    std::vector<unsigned char> buffer_;
    std::string replaceable_;      // the text of the stored member
    int64_t replaceableAt_ = -1;   // where that member's blocks start in the file
};
