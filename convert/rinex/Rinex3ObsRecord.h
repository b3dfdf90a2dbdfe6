#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/rinex/RinexEpoch.h"
#include "rawdata/GpsTime.h"

// RINEX 3.04 observation records. Epoch and observation lines have no column
// limit; the header records embedded in event records keep their 80 columns.
namespace rinex3 {

// The text of one RINEX 3 observation record: the epoch line "> yyyy mm dd hh mm
// ss.sssssss", 2 blanks, the epoch flag (1 digit), integer(3, n), 6 blanks and
// fixed(15, 12, receiver clock offset in s), then one line per listed satellite:
// 'G', the PRN with two digits and, for each type written under typeMask (raw
// kinds) and cn0Mask (frequencies) in the order of kObsTypes, a 16-column field
// (F14.3, LLI and signal-strength digits; carrier-to-noise densities without
// digits). A satellite is listed when it has a value of a written type.
std::string EpochText(const RinexEpoch& epoch, uint16_t typeMask, uint8_t cn0Mask);
// Appends the text of EpochText to out.
void AppendEpochText(std::string& out, const RinexEpoch& epoch, uint16_t typeMask, uint8_t cn0Mask);

// Event line without a date: '>', 30 blanks, the flag (1 digit), integer(3, count).
std::string UndatedEventLine(int flag, int count);
// Event line dated t (seconds to 7 decimals) with a flag and a count.
std::string DatedEventLine(const GpsTime& t, int flag, int count);

// New antenna height (flag 4): ANTENNA: DELTA H/E/N with height (m) and a comment.
std::string AntennaHeightRecord(double height);
// New site occupation (flag 3): MARKER NAME, APPROX POSITION XYZ (m), comment.
std::string NewSiteRecord(std::string_view siteName, double x, double y, double z);
// Start of kinematic data (flag 2, then flag 4): MARKER NAME, APPROX POSITION XYZ, comment.
std::string KinematicRecord(std::string_view markerName, double x, double y, double z);
// External event (flag 5 dated eventTime, then flag 4 with a comment).
std::string EventRecord(const GpsTime& eventTime);

}  // namespace rinex3
