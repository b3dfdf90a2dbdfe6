#pragma once
#include <functional>
#include <string>
#include <vector>

#include "convert/ConversionUi.h"
#include "platform/Profile.h"

// One raw data file's line in the table of a run of many files.
struct FileRunRow {
    std::string source;    // the file (a splice: its files in reading order, joined by ", ")
    std::string status;    // "ok", "failed", "refused" or "cancelled"
    long epochs = 0;       // epochs written
    std::string outputs;   // the files written, blank-separated ("" when none)
    std::string reason;    // why the file was not converted
};

// Converts raw data files with the settings of profile (read, never written):
// each on its own as --batch does, or (oneRecording) joined into one RINEX pair
// as --splice does. ui shows the progress and is polled for Cancel; a splice may
// also ask its questions and show its messages there. One row a file (a splice:
// one row).
using FilesRunner = std::function<std::vector<FileRunRow>(const std::vector<std::string>& files, bool oneRecording,
                                                          const Profile& profile, ConversionUi& ui)>;
