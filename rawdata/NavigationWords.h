#pragma once
#include <cstdint>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"

// Broadcast navigation words (subframes 1 to 3, subframe 4 page 18) as carried by
// the raw records: words 3 to 10 of each subframe, 24 data bits each (parity not
// carried), bit position 0 being the most significant of the 24.

// Scale factors of the broadcast fields, as the decimal constants the receiver
// software uses (rounded, not the exact powers of two).
namespace NavScale {
inline constexpr double k2m5 = 0.03125;
inline constexpr double k2m19 = 1.9073486328125e-06;
inline constexpr double k2m24 = 5.9604644775391e-08;
inline constexpr double k2m27 = 7.4505805969239e-09;
inline constexpr double k2m29 = 1.862645149231e-09;
inline constexpr double k2m30 = 9.3132257461549e-10;
inline constexpr double k2m31 = 4.6566128730774e-10;
inline constexpr double k2m33 = 1.1641532182694e-10;
inline constexpr double k2m43 = 1.1368683772162e-13;
inline constexpr double k2m50 = 8.8817841970014e-16;
inline constexpr double k2m55 = 2.7755575615629e-17;
inline constexpr double k2m31Pi = 1.4629180792672e-09;
inline constexpr double k2m43Pi = 3.5715773419609e-13;
inline constexpr double k2p11 = 2048.0;
inline constexpr double k2p14 = 16384.0;
inline constexpr double k2p16 = 65536.0;
}  // namespace NavScale

inline constexpr int kEphemerisWords = 24;  // words 3..10 of subframes 1, 2, 3
inline constexpr int kIonoUtcWords = 8;     // words 3..10 of subframe 4 page 18

// n bits of a 24-bit word starting at bit position p (0 = most significant), unsigned.
uint32_t NavUnsigned(uint32_t word, int p, int n);
// The same bits read as an n-bit two's complement value.
int32_t NavSigned(uint32_t word, int p, int n);
// User range accuracy in metres of a 4-bit URA index.
double UraAccuracy(unsigned index);

// Fills the broadcast fields of eph (week resolved against referenceWeek, toe, clock,
// orbit, accuracy, health, IODE/IODC, ...) from the 24 words of subframes 1 to 3.
// Leaves valid, sequence, satellite, toeTime and recordTime alone. False when the
// IODE of subframe 3 differs from the IODE of subframe 2.
bool InterpretEphemerisWords(const uint32_t (&words)[kEphemerisWords], uint16_t referenceWeek,
                             Ephemeris& eph);
// The ephemeris of satellite prn (1..32) from its 24 navigation words, as every
// decoder gives it: the satellite's slot (0..31) with satellite, the broadcast
// fields, toeTime and valid set; -1 when prn is no satellite or the words are
// inconsistent.
int EphemerisOfWords(int prn, const uint32_t (&words)[kEphemerisWords], uint16_t referenceWeek, Ephemeris& out);

// Fills the ionosphere and UTC parameters of out from words 3..10 of subframe 4
// page 18; out.time = (referenceWeek, tot). Leaves valid alone.
void InterpretIonoUtcWords(const uint32_t (&words)[kIonoUtcWords], uint16_t referenceWeek,
                           IonoUtc& out);
