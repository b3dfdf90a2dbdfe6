#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/rinex/RinexObsHeader.h"

// The RINEX 3.04 GPS observation header, written from the same RinexObsHeader as
// the RINEX 2 one. Header lines keep the 80 columns of RINEX 2.
namespace rinex3 {

// One RINEX 3 GPS observation type: its code and the value it carries, a raw
// measurement kind of rawdata/Observation.h or a carrier-to-noise density.
struct ObsType {
    const char* code;
    int kind;  // raw measurement kind, -1 for a carrier-to-noise density
    int cn0;   // frequency of the carrier-to-noise density (0: L1, 1: L2), -1 for a measurement
};

// The types in file order. The receiver tracks the C/A code on L1 (attribute C)
// and the P(Y) code under anti-spoofing (attribute W), so the RINEX 2 types map
// C1 -> C1C, L1 -> L1C, D1 -> D1C, P1 -> C1W, P2 -> C2W, L2 -> L2W, D2 -> D2W;
// S1C and S2W are the carrier-to-noise densities in dB-Hz.
inline constexpr int kObsTypeCount = 9;
inline constexpr ObsType kObsTypes[kObsTypeCount] = {
    {"C1C", kC1, -1}, {"L1C", kL1, -1}, {"D1C", kD1, -1}, {"S1C", -1, 0}, {"C1W", kP1, -1},
    {"C2W", kP2, -1}, {"L2W", kL2, -1}, {"D2W", kD2, -1}, {"S2W", -1, 1}};

// True when type t is written under a header's type mask (bits of raw kinds) and
// carrier-to-noise mask (bits of frequencies).
inline bool TypeWritten(const ObsType& t, uint16_t typeMask, uint8_t cn0Mask) {
    return t.kind >= 0 ? ((typeMask >> t.kind) & 1u) != 0 : ((cn0Mask >> t.cn0) & 1u) != 0;
}

// "RINEX VERSION / TYPE" of a version (3.04 unless given): fixed(9, 2, version),
// 11 blanks, the file type letter and its text (text(20, "OBSERVATION DATA")),
// then "G: GPS".
std::string VersionTypeRecord(std::string_view fileTypeText, double version = 3.04);

// The creation date as "yyyymmdd hhmmss zone", e.g. "20050409 121000 LCL".
std::string FormatCreationDate(const CalendarTime& date, std::string_view zone);

// "PGM / RUN BY / DATE": text(20, program) + text(20, run by) + the creation date
// with the header's time zone.
std::string ProgramRecord(const RinexFileHeader& h);

// "SYS / # / OBS TYPES" of a satellite system: its letter, 2 blanks, integer(3,
// count) and up to 13 codes of 1 blank + 3 characters; further codes on
// continuation lines of 6 blanks and up to 13 codes.
std::string SysObsTypesRecords(char system, const std::vector<std::string>& codes);

// "TIME OF FIRST OBS" or "TIME OF LAST OBS" (the label) for t: five integer(6)
// calendar fields, fixed(13, 7, seconds), 5 blanks, "GPS".
std::string ObservationTimeRecord(const GpsTime& t, std::string_view label);

// The codes of the types written under h's masks, in file order.
std::vector<std::string> WrittenTypeCodes(const RinexObsHeader& h);

// The complete RINEX 3.04 observation header of h, every record 80 characters
// plus CR LF: version, program, h's comment and the anti-spoofing comment,
// MARKER NAME, MARKER NUMBER (when set), OBSERVER / AGENCY, REC # / TYPE / VERS,
// ANT # / TYPE (these four always, being required), APPROX POSITION XYZ,
// ANTENNA: DELTA H/E/N, SYS / # / OBS TYPES, SIGNAL STRENGTH UNIT (with S types),
// INTERVAL (when known), TIME OF FIRST OBS, TIME OF LAST OBS, SYS / PHASE SHIFT
// for each phase type and END OF HEADER.
std::string ObsHeaderText(const RinexObsHeader& h);

// The observation header of ObsHeaderText with another version number in
// RINEX VERSION / TYPE, and SYS / PHASE SHIFT only when phaseShift is true.
std::string ObsHeaderText(const RinexObsHeader& h, double version, bool phaseShift);

}  // namespace rinex3
