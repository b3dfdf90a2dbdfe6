#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "rawdata/GpsTime.h"

// What a pass over a raw data file found: the records per kind and the time span of
// its epoch records.
struct RecordScan {
    static constexpr int kKinds = 13;  // record kinds 1..12 are counted at their index

    bool opened = false;         // the file could be opened with a known format index
    int formatIndex = -1;        // 0 ASCII, 1 binary
    int64_t fileLength = 0;      // bytes (of a gzip file: of the data it holds)
    int readError = 0;           // CFile::Error() of a read that failed (the scan ended there), else 0
    long records = 0;            // records of every kind
    long perKind[kKinds] = {};   // records of kind k at index k (index 0 unused)
    long validEpochs = 0;        // "R"/"Q" records the decoder accepted
    long invalidEpochs = 0;      // "R"/"Q" records the decoder rejected
    GpsTime firstEpoch;          // earliest time tag of a valid epoch record
    GpsTime lastEpoch;           // latest time tag of a valid epoch record
    double interval = 0;         // s: the most frequent spacing of the receiver-dated epochs
                                 // (of the satellite-dated ones without any), to 0.1 s; 0 unknown
    uint32_t satellites = 0;     // bit p - 1: PRN p has a measurement in a valid epoch
    bool stopped = false;        // the scan was stopped before the end of the file
};

// Number of satellites of a scan's mask.
int SatelliteCount(const RecordScan& scan);

// Reads a raw data file of format index formatIndex (0 ASCII, 1 binary) from start to
// end, counts its records by kind and decodes its epoch records for their time span.
// A scan stops early (stopped set, counts so far) once *stop turns true.
RecordScan ScanRawFile(const std::string& path, int formatIndex, const std::atomic<bool>* stop = nullptr);

// A short report of a scan for a person: format, length, records per kind, epochs and
// their first and last time (calendar and GPS week/seconds). Lines end with "\n".
std::string FormatRecordScan(const RecordScan& scan, const std::string& path);

// The format index a file most likely has: 1 (binary) when its first 1000 bytes hold a
// byte other than printable ASCII, CR, LF, TAB, STX or ETX, else 0 (ASCII, also for an
// empty file); -1 when the file cannot be opened.
int GuessFormatIndex(const std::string& path);

// Name of a record kind for a format index, e.g. "satellite-dated epoch (R)".
std::string RecordKindName(int kind, int formatIndex);
