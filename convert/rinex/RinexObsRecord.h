#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/rinex/RinexEpoch.h"
#include "rawdata/GpsTime.h"

// The text of one RINEX 2 observation record: the epoch line with its satellite
// list (continuation lines of 12 satellites each), then for every listed satellite
// its observation lines of five 16-character fields, types in file order
// (C1, L1, D1, P1, P2, L2, D2) restricted to the header's type mask. A satellite
// is listed only when it has a value of a type of the mask.
std::string EpochText(const RinexEpoch& epoch, uint16_t typeMask);
// Appends the text of EpochText to out.
void AppendEpochText(std::string& out, const RinexEpoch& epoch, uint16_t typeMask);

// Event line without a date: 26 blanks + flag + count + 48 blanks.
std::string UndatedEventLine(int flag, int count);
// Event line dated t (seconds to 7 decimals) with a flag and a count.
std::string DatedEventLine(const GpsTime& t, int flag, int count);

// New antenna height record (flag 4): ANTENNA: DELTA H/E/N with height (m) and a comment.
std::string AntennaHeightRecord(double height);
// New site occupation record (flag 3): MARKER NAME, APPROX POSITION XYZ (m), comment.
std::string NewSiteRecord(std::string_view siteName, double x, double y, double z);
// Start of kinematic data (flag 2, then flag 4): MARKER NAME, APPROX POSITION XYZ, comment.
std::string KinematicRecord(std::string_view markerName, double x, double y, double z);
// External event (flag 5 dated eventTime, then flag 4 with a comment).
std::string EventRecord(const GpsTime& eventTime);
