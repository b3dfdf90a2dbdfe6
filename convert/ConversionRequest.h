#pragma once
#include <cstdint>
#include <string>

// Which kind of epoch records a conversion turns into RINEX: the record kind of
// the chosen epoch records, 0 before the choice.
enum RawDataKind : int32_t {
    kRawKindNone = 0,
    kRawKindSatelliteDated = 6,  // time-tagged at the satellites' transmission time
    kRawKindReceiverDated = 7,   // time-tagged at reception
};

// Everything one conversion is asked to do, from the main dialog or the command line.
struct ConversionRequest {
    std::string sourcePath;
    int formatIndex = 1;          // 0 ASCII raw format, 1 binary raw format
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
    std::string observationPath;
    std::string navigationPath;
    double tx = 0.0;                    // nominal propagation time Tx, s (whole ms)
    bool smoothedDopplers = false;      // extrapolate with Doppler smoothed over the epoch interval
    bool smoothedPseudoranges = false;  // position from smoothed C/A pseudoranges
    bool logFile = false;               // write the ".log" and ".pos" files
    bool silent = false;                // no window, no message box, questions take their defaults
};
