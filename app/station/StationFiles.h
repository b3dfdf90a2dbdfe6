#pragma once
// What the station's files share: times in seconds since the GPS origin, the carry
// from one period's conversion to the next, and whole-file writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "convert/ConversionState.h"
#include "rawdata/GpsTime.h"

inline constexpr double kSecondsPerWeekD = 604800.0;
inline constexpr const char* kStateHeader = "qern2rinex-station-state 1";

// What a conversion hands to the next one of the same periods: the whole-cycle
// phase offsets and the last output epoch. Kept as bytes in DIR/state/.
struct Carry {
    uint32_t magic = 0x51435259;
    uint32_t size = sizeof(Carry);
    PhaseOffsetTables tables;
    RinexEpoch lastOutput;
};
static_assert(std::is_trivially_copyable_v<Carry>);

// seconds since the GPS origin as a GPS time, and back.
GpsTime TimeOf(double seconds);
double SecondsOf(const GpsTime& t);
// The start of the period of length seconds that holds t (half a millisecond
// early counts as on time: satellite-dated tags plus Tx land just short of it).
int64_t PeriodStart(double t, int seconds);
// v with every digit a double holds.
std::string Number(double v);
// seconds since the GPS origin as "YYYY-MM-DDThh:mm:ss".
std::string CalendarText(double seconds);
// Writes bytes to path through a temporary file renamed over it, and syncs the
// folder; false on failure.
bool WriteAtomically(const std::string& path, const void* bytes, size_t count);
bool WriteAtomically(const std::string& path, const std::string& text);
// Writes all count bytes to fd; false on failure.
bool WriteAll(int fd, const uint8_t* p, size_t count);
