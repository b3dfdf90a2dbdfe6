#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "rawdata/GpsTime.h"

// The nine RINEX header texts of the main dialog, in the order every list
// operation walks them.
enum HeaderText : int {
    kMarkerName,
    kMarkerNumber,
    kObserver,
    kAgency,
    kReceiverNumber,
    kReceiverType,
    kReceiverVersion,
    kAntennaNumber,
    kAntennaType,
    kHeaderTextCount
};

// How each header text is shown, limited and remembered.
struct HeaderTextInfo {
    int controlId;             // its combo box
    size_t maxLength;          // characters
    const char* historySection;  // profile section of its history list
    const char* defaultsKey;   // key in "Defaults" (nullptr: remembered by its history only)
    const char* label;         // its label without the colon, "Marker Name"
};

// The table of the nine header texts, indexed by HeaderText.
const HeaderTextInfo& HeaderTextTable(int index);

// The values the main dialog edits, with their values at construction.
struct MainDialogValues {
    std::string sourcePath;
    int format = -1;               // 0 ASCII, 1 binary, -1 none
    double recordedOn = 0.0;       // days since the GPS origin, whole days
    std::array<std::string, kHeaderTextCount> header;  // upper case
    std::string observationPath;
    std::string navigationPath;
    bool autoNaming = false;
    int fileIndex = 0;             // 0..9, -1 none selected
    double tx = 0.0;               // s
    int dopplerMode = 0;           // 0 instantaneous, otherwise smoothed
    bool smoothedPseudoranges = false;
    bool logFile = false;
    std::string sourceDirectory;   // folders without a trailing "/"
    std::string observationDirectory;
    std::string navigationDirectory;
    std::string observationExtension;  // without the dot
    std::string navigationExtension;
    int rinexVersion = 2;          // of the outputs: 2, 3 or 4
    bool qualityReport = false;    // write the quality report beside the observation file
    bool hatanaka = false;         // the observation file in Compact RINEX
    bool gzip = false;             // every RINEX output gzipped
    std::string country = "XXX";   // country code of RINEX 3 long file names
    // The time window of the written epochs (GPS time; empty: open) and their
    // interval (s; 0: every epoch).
    std::optional<GpsTime> from;
    std::optional<GpsTime> to;
    double interval = 0.0;
    // Antenna reference point above and east, north of the marker (m); empty: not
    // given (the recorded height, offsets 0).
    std::optional<double> antennaHeight;
    std::optional<double> antennaEast;
    std::optional<double> antennaNorth;
    // The data to be written, for RINEX 3 long file names: first epoch (GPS time),
    // span and interval (s); known once the source was scanned.
    struct DataSpan {
        bool known = false;
        GpsTime first;
        double span = 0;
        double interval = 0;
    } dataSpan;
};

// text with its letters a to z turned to upper case (other bytes unchanged).
std::string ToUpperText(const std::string& text);
// True when a and b are equal without regard to the case of the letters a to z.
bool EqualNoCase(const std::string& a, const std::string& b);
