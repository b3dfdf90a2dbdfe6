#include "rawdata/NavigationWords.h"

#include "rawdata/Observation.h"

using namespace NavScale;

uint32_t NavUnsigned(uint32_t word, int p, int n) {
    if (n <= 0 || p < 0 || p + n > 24) return 0;
    return ((word & 0xFFFFFFu) >> (24 - p - n)) & ((1u << n) - 1u);
}

int32_t NavSigned(uint32_t word, int p, int n) {
    const uint32_t u = NavUnsigned(word, p, n);
    if (n <= 0) return 0;
    // n <= 24, so the value and 2^n fit an int32 without overflow.
    const int32_t value = static_cast<int32_t>(u);
    return (u >> (n - 1)) & 1u ? value - (static_cast<int32_t>(1) << n) : value;
}

double UraAccuracy(unsigned index) {
    static constexpr double kUra[16] = {2,   2.8, 4,   5.7,  8,    11.3, 16,   32,
                                        64,  128, 256, 512,  1024, 2048, 4096, 32768};
    return kUra[index & 15u];
}

namespace {

// The 32-bit quantity whose top 8 bits end the first word and whose low 24 bits are
// the second word, unsigned.
uint32_t Unsigned32(uint32_t first, uint32_t second) {
    return (NavUnsigned(first, 16, 8) << 24) + (second & 0xFFFFFFu);
}

// The same 32-bit quantity as two's complement.
int32_t Signed32(uint32_t first, uint32_t second) {
    return static_cast<int32_t>(Unsigned32(first, second));
}

// Byte k (1..3, from the most significant end) of a word, unsigned.
uint32_t Byte(uint32_t word, int k) { return NavUnsigned(word, (k - 1) * 8, 8); }
// Byte k of a word as two's complement.
int32_t SignedByte(uint32_t word, int k) { return NavSigned(word, (k - 1) * 8, 8); }

}  // namespace

bool InterpretEphemerisWords(const uint32_t (&words)[kEphemerisWords], uint16_t referenceWeek,
                             Ephemeris& eph) {
    // wS(k) is word k (3..10) of subframe S.
    auto w1 = [&](int k) { return words[k - 3]; };
    auto w2 = [&](int k) { return words[8 + k - 3]; };
    auto w3 = [&](int k) { return words[16 + k - 3]; };

    // Subframe 1: week, clock, accuracy, health.
    eph.week = ResolveWeek(NavUnsigned(w1(3), 0, 10), referenceWeek);
    eph.codesOnL2 = static_cast<uint16_t>(NavUnsigned(w1(3), 10, 2));
    eph.accuracy = UraAccuracy(NavUnsigned(w1(3), 12, 4));
    eph.health = static_cast<uint16_t>(NavUnsigned(w1(3), 16, 6));
    eph.IODC = NavUnsigned(w1(3), 22, 2) * 256.0 + NavUnsigned(w1(8), 0, 8);
    eph.l2PDataFlag = static_cast<uint16_t>(NavUnsigned(w1(4), 0, 1));
    eph.TGD = NavSigned(w1(7), 16, 8) * k2m31;
    eph.toc = NavUnsigned(w1(8), 8, 16) * 16.0;
    eph.af2 = NavSigned(w1(9), 0, 8) * k2m55;
    eph.af1 = NavSigned(w1(9), 8, 16) * k2m43;
    eph.af0 = NavSigned(w1(10), 0, 22) * k2m31;

    // Subframe 2.
    const uint32_t iode2 = NavUnsigned(w2(3), 0, 8);
    eph.IODE = iode2;
    eph.Crs = NavSigned(w2(3), 8, 16) * k2m5;
    eph.deltaN = NavSigned(w2(4), 0, 16) * k2m43Pi;
    eph.M0 = Signed32(w2(4), w2(5)) * k2m31Pi;
    eph.Cuc = NavSigned(w2(6), 0, 16) * k2m29;
    eph.e = Unsigned32(w2(6), w2(7)) * k2m33;
    eph.Cus = NavSigned(w2(8), 0, 16) * k2m29;
    eph.sqrtA = Unsigned32(w2(8), w2(9)) * k2m19;
    eph.A = eph.sqrtA * eph.sqrtA;
    eph.toe = NavUnsigned(w2(10), 0, 16) * 16.0;
    eph.fitInterval = static_cast<uint16_t>(4 + 2 * NavUnsigned(w2(10), 16, 1));

    // Subframe 3.
    eph.Cic = NavSigned(w3(3), 0, 16) * k2m29;
    eph.Omega0 = Signed32(w3(3), w3(4)) * k2m31Pi;
    eph.Cis = NavSigned(w3(5), 0, 16) * k2m29;
    eph.i0 = Signed32(w3(5), w3(6)) * k2m31Pi;
    eph.Crc = NavSigned(w3(7), 0, 16) * k2m5;
    eph.omega = Signed32(w3(7), w3(8)) * k2m31Pi;
    eph.OmegaDot = NavSigned(w3(9), 0, 24) * k2m43Pi;
    const uint32_t iode3 = NavUnsigned(w3(10), 0, 8);
    eph.IDOT = NavSigned(w3(10), 8, 14) * k2m43Pi;
    return iode3 == iode2;
}

void InterpretIonoUtcWords(const uint32_t (&words)[kIonoUtcWords], uint16_t referenceWeek,
                           IonoUtc& out) {
    auto w = [&](int k) { return words[k - 3]; };  // word k (3..10)
    out.alpha0 = SignedByte(w(3), 2) * k2m30;
    out.alpha1 = SignedByte(w(3), 3) * k2m27;
    out.alpha2 = SignedByte(w(4), 1) * k2m24;
    out.alpha3 = SignedByte(w(4), 2) * k2m24;
    out.beta0 = SignedByte(w(4), 3) * k2p11;
    out.beta1 = SignedByte(w(5), 1) * k2p14;
    out.beta2 = SignedByte(w(5), 2) * k2p16;
    out.beta3 = SignedByte(w(5), 3) * k2p16;
    out.A1 = NavSigned(w(6), 0, 24) * k2m50;
    out.A0 = (static_cast<int64_t>(NavSigned(w(7), 0, 24)) * 256 + NavUnsigned(w(8), 0, 8)) * k2m30;
    out.tot = NavUnsigned(w(8), 8, 8) * 4096.0;
    out.WNt = static_cast<uint16_t>(Byte(w(8), 3));
    out.deltaTLS = static_cast<int16_t>(SignedByte(w(9), 1));
    out.WNLSF = static_cast<uint16_t>(Byte(w(9), 2));
    out.DN = static_cast<uint16_t>(Byte(w(9), 3));
    out.deltaTLSF = static_cast<int16_t>(SignedByte(w(10), 1));
    out.time = GpsTime(referenceWeek, out.tot);
}

int EphemerisOfWords(int prn, const uint32_t (&words)[kEphemerisWords], uint16_t referenceWeek, Ephemeris& out) {
    if (prn < 1 || prn > kSatelliteCount) return -1;
    out.satellite = static_cast<uint16_t>(prn - 1);
    if (!InterpretEphemerisWords(words, referenceWeek, out)) return -1;
    out.toeTime = GpsTime(out.week, out.toe);
    out.valid = 1;
    return out.satellite;
}
