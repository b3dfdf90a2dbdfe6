#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/ConversionFormats.h"
#include "rawdata/GpsTime.h"

struct ConversionRequest;
// True when an epoch of time t (GPS time of its epoch line) is to be written.
bool EpochSelected(const ConversionRequest& request, const GpsTime& t);

// Everything one conversion is asked to do, from the main dialog or the command line.
struct ConversionRequest {
    std::string sourcePath;
    // A splice: the raw files read as one source, their bytes one after the other
    // in this order (sourcePath is the first of them); empty: sourcePath alone.
    std::vector<std::string> sourceParts;
    RawFormat formatIndex = kRawBinary;  // the raw format read
    double recordingDate = 0;     // "Recorded On": days since the GPS time origin
    // RINEX header texts (maximum lengths 60, 20, 20, 40, 20 each for the rest).
    std::string markerName;
    std::string markerNumber;
    std::string observer;
    std::string agency;
    std::string receiverNumber;
    std::string receiverType;
    std::string receiverVersion;
    std::string antennaNumber;
    std::string antennaType;
    // The antenna reference point above and beside the marker (m), as the person
    // gave them; an empty height leaves the recorded antenna height, empty offsets are 0.
    std::optional<double> antennaHeight;
    std::optional<double> antennaEast;
    std::optional<double> antennaNorth;
    std::string observationPath;
    std::string navigationPath;
    double tx = 0.0;                    // nominal propagation time Tx, s (whole ms)
    bool smoothedDopplers = false;      // extrapolate with Doppler smoothed over the epoch interval
    bool smoothedPseudoranges = false;  // position from smoothed C/A pseudoranges
    bool logFile = false;               // write the ".log" and ".pos" files
    bool silent = false;                // no window, no message box, questions take their defaults
    // Which epochs are written: from <= t <= to (GPS time of the epoch lines; an
    // empty bound does not limit), and with interval > 0 (s, a multiple of 0.1 s)
    // only those whose time of week is a multiple of interval within 1 ms.
    std::optional<GpsTime> from;
    std::optional<GpsTime> to;
    double interval = 0.0;
    // The source goes on where the last conversion with the same state ended: it
    // begins with that conversion's last epoch record (read, never written again),
    // phases and loss-of-lock digits go on from its last output epoch
    // (ConversionState::lastOutput), and position, solver and receiver clock from
    // where it left them, as in one long conversion of both sources.
    bool continuation = false;
    RinexVersion rinexVersion = kRinex2;  // RINEX version of the outputs
    bool hatanaka = false;              // the observation file in Compact RINEX
    bool gzip = false;                  // every RINEX output gzipped
    bool quality = false;               // keep quality statistics; write them to observation path + ".qc"
    // The caller draws the quality plots after the conversion (observation path +
    // ".qc.<name>.png"): they are outputs of the run too.
    bool qualityPlots = false;
    // The creation date written in the RINEX headers (local calendar time, or the
    // SOURCE_DATE_EPOCH time); empty: the platform clock's creation time at the start.
    std::optional<CalendarTime> creationTime;
    std::string creationZone = "LCL";  // its zone as RINEX 3 names it ("UTC" or "LCL")
    // The observation file formatted and written on a thread of its own while the
    // source is read and positioned: for a conversion that has the machine's cores
    // to itself, not for one of several running at once.
    bool formattingThread = true;
};
