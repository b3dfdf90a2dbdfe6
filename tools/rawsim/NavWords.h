#pragma once
#include <cstdint>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"

// Broadcast navigation message words (24 data bits each, parity not carried) from
// ephemeris and ionosphere/UTC parameters, quantised to the broadcast scale factors.

// The scale factors of the broadcast fields, as the decimal constants the receiver
// format is read with (most are powers of two rounded to 14 significant digits).
namespace navscale {
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
inline constexpr double k2m31pi = 1.4629180792672e-09;
inline constexpr double k2m43pi = 3.5715773419609e-13;
}  // namespace navscale

// User range accuracy in metres of each 4-bit URA index.
double UraMetres(int index);
// The URA index whose accuracy range holds metres (0 for 2.4 m or less, 15 beyond 6144 m).
int UraIndex(double metres);

// Words 3 to 10 of subframes 1, 2 and 3 (words[0..7], [8..15], [16..23]).
struct EphemerisWords {
    uint32_t words[24] = {};
};

// Encodes eph (satellite, week, toe, toc, orbit, clock, accuracy, IODE, IODC, health,
// codesOnL2, l2PDataFlag, fitInterval) into the 24 words. quantised receives the values
// a reader of the words obtains, with week = the given full week, toeTime = (week, toe),
// valid = 1, sequence = -1 and the derived block left zero. iode3 overrides the IODE of
// subframe 3 when it is 0..255 (a fault). False when a field does not fit its bits.
bool EncodeEphemeris(const Ephemeris& eph, EphemerisWords& out, Ephemeris& quantised, int iode3 = -1);

// Words 3 to 10 of subframe 4 page 18 from iono (alpha, beta, A0, A1, tot, WNt,
// deltaTLS, WNLSF, DN, deltaTLSF). quantised receives the values a reader obtains with
// valid = 1 and time = (referenceWeek, tot). False when a field does not fit.
bool EncodeIonoUtc(const IonoUtc& iono, uint16_t referenceWeek, uint32_t words[8], IonoUtc& quantised);
