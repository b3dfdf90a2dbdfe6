#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "rawdata/GpsTime.h"
#include "rawdata/Observation.h"
#include "platform/Version.h"

// The RINEX observation types in file order and the raw measurement index
// (rawdata/Observation.h) each stands for.
inline constexpr int kRinexTypeCount = 7;
inline constexpr int kRinexTypeOrder[kRinexTypeCount] = {kC1, kL1, kD1, kP1, kP2, kL2, kD2};
inline constexpr const char* kRinexTypeNames[kRinexTypeCount] = {"C1", "L1", "D1", "P1",
                                                                 "P2", "L2", "D2"};

// Fields shared by the observation and the navigation file headers (version line,
// program line, COMMENT); the defaults are those of the observation file.
struct RinexFileHeader {
    int version = 2;
    std::string versionSuffix;
    char fileType = 'O';
    std::string fileTypeText = "BSERVATION DATA";
    char satelliteSystem = 'G';
    std::string satelliteSystemText = " (GPS)";
    std::string program = std::string("QERN TO RINEX ") + kProgramVersion;
    std::string runBy = "QERN";
    CalendarTime creationDate;  // local time at which the header is completed
    // Time zone code of creationDate written by RINEX 3 (3 or 4 characters): "LCL"
    // for a local time of unknown zone, "UTC" when creationDate is in UTC.
    std::string timeZone = "LCL";
    std::string comment;        // optional COMMENT line under the program line
    std::string antennaComment; // optional COMMENT line after ANTENNA: DELTA H/E/N (where they came from)
};

// "RINEX VERSION / TYPE" record of a header.
std::string VersionTypeRecord(const RinexFileHeader& h);
// "PGM / RUN BY / DATE" record of a header, the date as "%d-%b-%y %H:%M".
std::string ProgramRecord(const RinexFileHeader& h);
// "MARKER NAME": text(60, name).
std::string MarkerNameRecord(std::string_view name);
// "APPROX POSITION XYZ": three fixed(14, 4) values in metres.
std::string ApproxPositionRecord(double x, double y, double z);
// "ANTENNA: DELTA H/E/N": three fixed(14, 4) values in metres.
std::string AntennaDeltaRecord(double h, double e, double n);
// "TIME OF FIRST OBS" or "TIME OF LAST OBS" (the label) for t, seconds to 6 decimals.
std::string ObservationTimeRecord(const GpsTime& t, std::string_view label);
// Number of observation types of a type mask (bits 0 to 6 only).
int RinexTypeCount(uint16_t typeMask);

// The RINEX observation file header: texts from the conversion request, values
// filled by the read and observation passes.
struct RinexObsHeader : RinexFileHeader {
    std::string markerName;       // up to 60
    std::string markerNumber;     // up to 20
    std::string observer;         // up to 20
    std::string agency;           // up to 40
    std::string receiverNumber;   // up to 20
    std::string receiverType;     // up to 20
    std::string receiverVersion;  // up to 20
    std::string antennaNumber;    // up to 20
    std::string antennaType;      // up to 20
    double approxX = 0.0;  // approximate position, earth-centred, m
    double approxY = 0.0;
    double approxZ = 0.0;
    double antennaDeltaH = 0.0;  // m
    double antennaDeltaE = 0.0;  // m
    double antennaDeltaN = 0.0;  // m
    int wavelengthFactorL1 = 1;
    int wavelengthFactorL2 = 1;
    uint16_t typeMask = 0;  // bit k: raw measurement kind k present (k = 0..6)
    uint8_t cn0Mask = 0;    // bit f: carrier-to-noise density of frequency f present (RINEX 3 only)
    double interval = 0.0;  // s, 0 when not determined
    GpsTime firstTime;      // time of first observation
    GpsTime lastTime;       // time of last observation

    void SetCreationDate(const CalendarTime& now) { creationDate = now; }
    void SetFirstTime(const GpsTime& t) { firstTime = t; }
    void SetLastTime(const GpsTime& t) { lastTime = t; }
    void SetInterval(double seconds) { interval = seconds; }
    void SetTypeMask(uint16_t mask) { typeMask = mask; }
    void SetCn0Mask(uint8_t mask) { cn0Mask = mask; }
    void SetApproxPosition(double x, double y, double z) {
        approxX = x;
        approxY = y;
        approxZ = z;
    }
    void SetAntennaHeight(double h) { antennaDeltaH = h; }
    void SetComment(std::string_view s) { comment = std::string(s); }

    // The complete header, every record 80 characters plus CR LF, ending with
    // END OF HEADER.
    std::string HeaderText() const;
};
