#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "convert/ConversionRequest.h"
#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"
#include "rawdata/RecordKind.h"

// The raw data file and decoder of one pass over the source.
struct SourceReader {
    std::unique_ptr<CDataFile> file;
    std::unique_ptr<CDecodeGpsData> decoder;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kRecordBufferSize + 1);
    int length = 0;
    int64_t fileLength = 0;  // bytes, taken once when the source is opened

    // Creates file (unless one is given) and decoder for the request's format index
    // and opens the source (the files of a splice as one stream) for reading;
    // false on failure.
    bool Open(const ConversionRequest& request, std::unique_ptr<CDataFile> given = nullptr);
    // The kind of the next record (kRecordEnd at the end of the data).
    int Next();
    // The bytes of the record fetched last (length of them).
    uint8_t* Record() { return buffer.data(); }
    // Progress in percent of the logical position in the source (of a gzip source,
    // in the data it holds, against the length they are estimated to have).
    unsigned Progress() const;
    // Closes the source and drops file and decoder.
    void Close();
};
