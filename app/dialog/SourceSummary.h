#pragma once
#include <atomic>
#include <string>

#include "rawdata/RecordScan.h"

// The day a recording's data are dated by. A conversion takes the GPS week from
// the first observation record, which carries it in full; only a file without a
// valid observation leaves the week to the Recorded On date (the file's date
// unless the person changed it).
struct RecordingDay {
    double day = 0;         // days since the GPS origin, whole
    bool fromData = false;  // the day of the first epoch; false: fileDay
};
RecordingDay RecordingDayOf(const RecordScan& scan, double fileDay);

// What a scan found, in one line for a person: the day and where it came from,
// the span of the epochs (first to last, GPS time), their interval, the epoch
// records of each raw-data kind, the satellites, ephemerides and events, e.g.
// "2024-02-07 (from the data), 10:00:00 to 10:10:00 GPS, every 5 s, 121
// receiver-dated epochs, 10 satellites, 24 ephemerides, no events".
std::string SourceSummaryLine(const RecordScan& scan, double fileDay);

// Scans the raw data file at path (format 0 ASCII, 1 binary, else as its bytes
// say) and gives its SourceSummaryLine, or why there is none ("no such file",
// "is a folder", ...); empty when *stop turned true meanwhile. Safe on any thread.
std::string SummarizeSource(const std::string& path, int format, double fileDay,
                            const std::atomic<bool>* stop = nullptr);
