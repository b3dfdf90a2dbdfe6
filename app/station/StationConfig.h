#pragma once
#include <string>
#include <vector>

#include "convert/ConversionRequest.h"
#include "rawdata/RecordKind.h"

// How a permanent station converts its stream: read from its configuration file
// (a profile-style INI file, section "Station"), some keys overridden on the
// command line.
struct StationConfig {
    std::string source;  // a file, "-", tcp:HOST:PORT or serial:DEVICE[:BAUD]
    RawFormat formatIndex = kRawBinary;
    RecordKind rawKind = kRecordReceiverDated;  // the epoch records converted ("Q" or "R")
    // Header texts, Tx, antenna, RINEX version and quality report of every period's
    // conversion; the paths, the source and the recording date are set per period.
    ConversionRequest request;
    std::string country = "XXX";  // RINEX 3 long names
    int periodSeconds = 3600;     // the short periods: 900 or 3600 s, 0 none
    bool daily = false;           // also one set per GPS day
    double latency = 30.0;        // s after a period's end that late records are still taken
};

// What --station was asked on the command line.
struct StationOptions {
    std::string directory;  // DIR: raw/, rinex/, qc/, the state and the status
    std::string source;     // SOURCE when given (else the configuration's Source)
    std::string configPath; // default DIR/station.ini
    std::string period;     // --period as given (empty: the configuration's)
    bool daily = false;
    std::string latency;    // --latency as given
};

// Parses the parameters after --station: DIR [SOURCE] [--config FILE] [--period
// 15m|1h|none] [--daily] [--latency Ns]. False with error set on a misuse.
bool ParseStationOptions(const std::vector<std::string>& parameters, StationOptions& options, std::string& error);

// Reads the configuration file of options (a missing file gives the defaults) and
// applies the command line's overrides. False with error set for a value that is
// not understood.
bool LoadStationConfig(const StationOptions& options, StationConfig& config, std::string& error);

// Seconds of a period text: "15m", "1h", "1d", "30s" or a plain number of seconds;
// -1 when it is none of these. "none" and "0" give 0.
double ParseDuration(const std::string& text);
