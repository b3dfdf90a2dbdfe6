#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rawdata/DataFile.h"

struct FedBytes;

// The records of a raw byte stream that arrives in pieces (a serial line, a
// socket, a file that grows): the framing of the format's CDataFile over the bytes
// handed in so far. A record cut by the end of the bytes waits for the rest.
class RecordStream {
public:
    // formatIndex: 0 ASCII, 1 binary.
    explicit RecordStream(int formatIndex);
    ~RecordStream();
    RecordStream(const RecordStream&) = delete;
    RecordStream& operator=(const RecordStream&) = delete;

    // Hands in the next bytes of the stream.
    void Feed(const uint8_t* bytes, size_t count);
    // The next complete record: its RecordKind, and its bytes as ReadRecord gives
    // them (delimiters included). kRecordEnd while no complete record is buffered.
    int Next(std::vector<uint8_t>& record);
    // Bytes of the stream taken so far as records or skipped between them: the
    // offset, from the first byte fed, where the next record begins at the earliest.
    int64_t Consumed() const;

private:
    std::unique_ptr<CDataFile> file_;
    FedBytes* fed_ = nullptr;  // the bytes file_ reads: part of the same object
    std::vector<uint8_t> buffer_;
};
