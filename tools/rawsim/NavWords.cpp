#include "tools/rawsim/NavWords.h"

#include <cmath>

namespace {

const double kUraMetres[16] = {2,   2.8, 4,   5.7,  8,    11.3, 16,   32,
                               64,  128, 256, 512,  1024, 2048, 4096, 32768};
// Upper ends of the accuracy range of each index (the broadcast URA definition).
const double kUraUpper[15] = {2.4, 3.4, 4.85, 6.85, 9.65, 13.65, 24, 48,
                              96, 192, 384, 768, 1536, 3072, 6144};

// Rounds value / scale to an integer that fits a two's complement field of bits bits;
// false when it does not fit.
bool Signed(double value, double scale, int bits, int64_t& raw) {
    raw = std::llround(value / scale);
    const int64_t limit = int64_t{1} << (bits - 1);
    return raw >= -limit && raw < limit;
}

// An angle in semicircle units of a 32-bit field: the turn wraps, so +pi is written as -pi.
bool Angle(double value, double scale, int64_t& raw) {
    raw = std::llround(value / scale);
    const int64_t turn = int64_t{1} << 32;
    raw = ((raw % turn) + turn) % turn;
    if (raw >= turn / 2) raw -= turn;
    return std::isfinite(value) && std::fabs(value) < 8.0;
}

// Same for an unsigned field.
bool Unsigned(double value, double scale, int bits, int64_t& raw) {
    raw = std::llround(value / scale);
    return raw >= 0 && raw < (int64_t{1} << bits);
}

// The low bits of raw placed so that its most significant bit lands at bit position
// pos of a 24-bit word (position 0 = most significant bit of the word).
uint32_t Field(int64_t raw, int pos, int bits) {
    const uint64_t mask = (uint64_t{1} << bits) - 1;
    return static_cast<uint32_t>((static_cast<uint64_t>(raw) & mask) << (24 - pos - bits));
}

}  // namespace

double UraMetres(int index) { return kUraMetres[index & 15]; }

int UraIndex(double metres) {
    for (int k = 0; k < 15; ++k) {
        if (metres <= kUraUpper[k]) return k;
    }
    return 15;
}

bool EncodeEphemeris(const Ephemeris& eph, EphemerisWords& out, Ephemeris& q, int iode3) {
    using namespace navscale;
    q = Ephemeris();
    q.satellite = eph.satellite;
    bool ok = true;
    int64_t week10 = eph.week % 1024;
    int64_t iodc = std::llround(eph.IODC), iode = std::llround(eph.IODE);
    ok = ok && iodc >= 0 && iodc < 1024 && iode >= 0 && iode < 256;
    ok = ok && eph.health < 64 && eph.codesOnL2 < 4 && eph.l2PDataFlag < 2;
    const int ura = UraIndex(eph.accuracy);
    int64_t tgd, toc, af2, af1, af0;
    ok = Signed(eph.TGD, k2m31, 8, tgd) && ok;
    ok = Unsigned(eph.toc, 16, 16, toc) && ok;
    ok = Signed(eph.af2, k2m55, 8, af2) && ok;
    ok = Signed(eph.af1, k2m43, 16, af1) && ok;
    ok = Signed(eph.af0, k2m31, 22, af0) && ok;
    int64_t crs, dn, m0, cuc, e, cus, sqrtA, toe;
    ok = Signed(eph.Crs, k2m5, 16, crs) && ok;
    ok = Signed(eph.deltaN, k2m43pi, 16, dn) && ok;
    ok = Angle(eph.M0, k2m31pi, m0) && ok;
    ok = Signed(eph.Cuc, k2m29, 16, cuc) && ok;
    ok = Unsigned(eph.e, k2m33, 32, e) && ok;
    ok = Signed(eph.Cus, k2m29, 16, cus) && ok;
    ok = Unsigned(eph.sqrtA, k2m19, 32, sqrtA) && ok;
    ok = Unsigned(eph.toe, 16, 16, toe) && ok;
    int64_t cic, omega0, cis, i0, crc, omega, omegaDot, idot;
    ok = Signed(eph.Cic, k2m29, 16, cic) && ok;
    ok = Angle(eph.Omega0, k2m31pi, omega0) && ok;
    ok = Signed(eph.Cis, k2m29, 16, cis) && ok;
    ok = Signed(eph.i0, k2m31pi, 32, i0) && ok;
    ok = Signed(eph.Crc, k2m5, 16, crc) && ok;
    ok = Angle(eph.omega, k2m31pi, omega) && ok;
    ok = Signed(eph.OmegaDot, k2m43pi, 24, omegaDot) && ok;
    ok = Signed(eph.IDOT, k2m43pi, 14, idot) && ok;
    const int64_t fit = eph.fitInterval > 4 ? 1 : 0;
    const int64_t iodeSub3 = (iode3 >= 0 && iode3 < 256) ? iode3 : iode;

    uint32_t* w = out.words;
    // Subframe 1, words 3..10.
    w[0] = Field(week10, 0, 10) | Field(eph.codesOnL2, 10, 2) | Field(ura, 12, 4) |
           Field(eph.health, 16, 6) | Field(iodc >> 8, 22, 2);
    w[1] = Field(eph.l2PDataFlag, 0, 1);
    w[2] = 0;
    w[3] = 0;
    w[4] = Field(tgd, 16, 8);
    w[5] = Field(iodc, 0, 8) | Field(toc, 8, 16);
    w[6] = Field(af2, 0, 8) | Field(af1, 8, 16);
    w[7] = Field(af0, 0, 22);
    // Subframe 2.
    w[8] = Field(iode, 0, 8) | Field(crs, 8, 16);
    w[9] = Field(dn, 0, 16) | Field(m0 >> 24, 16, 8);
    w[10] = Field(m0, 0, 24);
    w[11] = Field(cuc, 0, 16) | Field(e >> 24, 16, 8);
    w[12] = Field(e, 0, 24);
    w[13] = Field(cus, 0, 16) | Field(sqrtA >> 24, 16, 8);
    w[14] = Field(sqrtA, 0, 24);
    w[15] = Field(toe, 0, 16) | Field(fit, 16, 1);
    // Subframe 3.
    w[16] = Field(cic, 0, 16) | Field(omega0 >> 24, 16, 8);
    w[17] = Field(omega0, 0, 24);
    w[18] = Field(cis, 0, 16) | Field(i0 >> 24, 16, 8);
    w[19] = Field(i0, 0, 24);
    w[20] = Field(crc, 0, 16) | Field(omega >> 24, 16, 8);
    w[21] = Field(omega, 0, 24);
    w[22] = Field(omegaDot, 0, 24);
    w[23] = Field(iodeSub3, 0, 8) | Field(idot, 8, 14);

    q.week = eph.week;
    q.codesOnL2 = eph.codesOnL2;
    q.accuracy = UraMetres(ura);
    q.health = eph.health;
    q.IODC = static_cast<double>(iodc);
    q.l2PDataFlag = eph.l2PDataFlag;
    q.TGD = static_cast<double>(tgd) * k2m31;
    q.toc = static_cast<double>(toc * 16);
    q.af2 = static_cast<double>(af2) * k2m55;
    q.af1 = static_cast<double>(af1) * k2m43;
    q.af0 = static_cast<double>(af0) * k2m31;
    q.IODE = static_cast<double>(iode);
    q.Crs = static_cast<double>(crs) * k2m5;
    q.deltaN = static_cast<double>(dn) * k2m43pi;
    q.M0 = static_cast<double>(m0) * k2m31pi;
    q.Cuc = static_cast<double>(cuc) * k2m29;
    q.e = static_cast<double>(e) * k2m33;
    q.Cus = static_cast<double>(cus) * k2m29;
    q.sqrtA = static_cast<double>(sqrtA) * k2m19;
    q.A = q.sqrtA * q.sqrtA;
    q.toe = static_cast<double>(toe * 16);
    q.fitInterval = static_cast<uint16_t>(4 + 2 * fit);
    q.Cic = static_cast<double>(cic) * k2m29;
    q.Omega0 = static_cast<double>(omega0) * k2m31pi;
    q.Cis = static_cast<double>(cis) * k2m29;
    q.i0 = static_cast<double>(i0) * k2m31pi;
    q.Crc = static_cast<double>(crc) * k2m5;
    q.omega = static_cast<double>(omega) * k2m31pi;
    q.OmegaDot = static_cast<double>(omegaDot) * k2m43pi;
    q.IDOT = static_cast<double>(idot) * k2m43pi;
    q.toeTime = GpsTime(q.week, q.toe);
    q.valid = 1;
    return ok;
}

bool EncodeIonoUtc(const IonoUtc& iono, uint16_t referenceWeek, uint32_t w[8], IonoUtc& q) {
    using namespace navscale;
    q = IonoUtc();
    bool ok = true;
    int64_t a0, a1, a2, a3, b0, b1, b2, b3, utcA1, utcA0, tot;
    ok = Signed(iono.alpha0, k2m30, 8, a0) && ok;
    ok = Signed(iono.alpha1, k2m27, 8, a1) && ok;
    ok = Signed(iono.alpha2, k2m24, 8, a2) && ok;
    ok = Signed(iono.alpha3, k2m24, 8, a3) && ok;
    ok = Signed(iono.beta0, 2048, 8, b0) && ok;
    ok = Signed(iono.beta1, 16384, 8, b1) && ok;
    ok = Signed(iono.beta2, 65536, 8, b2) && ok;
    ok = Signed(iono.beta3, 65536, 8, b3) && ok;
    ok = Signed(iono.A1, k2m50, 24, utcA1) && ok;
    ok = Signed(iono.A0, k2m30, 32, utcA0) && ok;
    ok = Unsigned(iono.tot, 4096, 8, tot) && ok;
    ok = ok && iono.deltaTLS >= -128 && iono.deltaTLS < 128 && iono.deltaTLSF >= -128 &&
         iono.deltaTLSF < 128 && iono.DN < 256;
    const uint32_t dataIdAndPage = 0x40 | 56;  // data ID 01, page 18 (SV ID 56)
    w[0] = Field(dataIdAndPage, 0, 8) | Field(a0, 8, 8) | Field(a1, 16, 8);
    w[1] = Field(a2, 0, 8) | Field(a3, 8, 8) | Field(b0, 16, 8);
    w[2] = Field(b1, 0, 8) | Field(b2, 8, 8) | Field(b3, 16, 8);
    w[3] = Field(utcA1, 0, 24);
    w[4] = Field(utcA0 >> 8, 0, 24);
    w[5] = Field(utcA0, 0, 8) | Field(tot, 8, 8) | Field(iono.WNt, 16, 8);
    w[6] = Field(iono.deltaTLS, 0, 8) | Field(iono.WNLSF, 8, 8) | Field(iono.DN, 16, 8);
    w[7] = Field(iono.deltaTLSF, 0, 8);

    q.alpha0 = static_cast<double>(a0) * k2m30;
    q.alpha1 = static_cast<double>(a1) * k2m27;
    q.alpha2 = static_cast<double>(a2) * k2m24;
    q.alpha3 = static_cast<double>(a3) * k2m24;
    q.beta0 = static_cast<double>(b0) * 2048;
    q.beta1 = static_cast<double>(b1) * 16384;
    q.beta2 = static_cast<double>(b2) * 65536;
    q.beta3 = static_cast<double>(b3) * 65536;
    q.A1 = static_cast<double>(utcA1) * k2m50;
    q.A0 = static_cast<double>(utcA0) * k2m30;
    q.tot = static_cast<double>(tot * 4096);
    q.WNt = static_cast<uint16_t>(iono.WNt & 0xFF);
    q.deltaTLS = iono.deltaTLS;
    q.WNLSF = static_cast<uint16_t>(iono.WNLSF & 0xFF);
    q.DN = iono.DN;
    q.deltaTLSF = iono.deltaTLSF;
    q.time = GpsTime(referenceWeek, q.tot);
    q.valid = 1;
    return ok;
}
