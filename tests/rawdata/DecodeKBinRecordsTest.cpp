// Binary "E", "U", "H", "M" and "m" records: navigation-word fields and scale
// constants, URA table, week resolution, IODE check, UTC parameters, antenna height,
// time events and site records, and which of them write the reference week.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "rawdata/DecodeKBinGpsData.h"
#include "tests/rawdata/DecodeTestRecords.h"

using namespace decodetest;

namespace {

// Words 3..10 of subframes 1..3 with a hand-picked raw value in every field.
struct EphemerisWords {
    uint32_t w[24] = {};
    uint32_t& At(int subframe, int word) { return w[8 * (subframe - 1) + word - 3]; }

    EphemerisWords() {
        PutBits(At(1, 3), 0, 10, 5);      // week mod 1024
        PutBits(At(1, 3), 10, 2, 2);      // codes on L2
        PutBits(At(1, 3), 12, 4, 5);      // URA index
        PutBits(At(1, 3), 16, 6, 0);      // health
        PutBits(At(1, 3), 22, 2, 1);      // IODC high bits
        PutBits(At(1, 4), 0, 1, 1);       // L2 P data flag
        PutBits(At(1, 7), 16, 8, 1);      // TGD
        PutBits(At(1, 8), 0, 8, 0x23);    // IODC low byte
        PutBits(At(1, 8), 8, 16, 21600);  // toc / 16
        PutBits(At(1, 9), 0, 8, -1);      // af2
        PutBits(At(1, 9), 8, 16, -2);     // af1
        PutBits(At(1, 10), 0, 22, -3);    // af0
        PutBits(At(2, 3), 0, 8, 0x23);    // IODE
        PutBits(At(2, 3), 8, 16, -3);     // Crs
        PutBits(At(2, 4), 0, 16, 1000);   // deltaN
        PutBits(At(2, 4), 16, 8, 0x80);   // M0 = 0x80000001
        PutBits(At(2, 5), 0, 24, 0x000001);
        PutBits(At(2, 6), 0, 16, -1);     // Cuc
        PutBits(At(2, 6), 16, 8, 0x01);   // e = 0x01000000
        PutBits(At(2, 8), 0, 16, 2);      // Cus
        PutBits(At(2, 8), 16, 8, 0xA1);   // sqrtA = 0xA10D1234
        PutBits(At(2, 9), 0, 24, 0x0D1234);
        PutBits(At(2, 10), 0, 16, 21600); // toe / 16
        PutBits(At(2, 10), 16, 1, 1);     // fit flag
        PutBits(At(3, 3), 0, 16, 3);      // Cic
        PutBits(At(3, 3), 16, 8, 0x7F);   // Omega0 = 0x7FFFFFFF
        PutBits(At(3, 4), 0, 24, 0xFFFFFF);
        PutBits(At(3, 5), 0, 16, -4);     // Cis
        PutBits(At(3, 5), 16, 8, 0x26);   // i0 = 0x26123456
        PutBits(At(3, 6), 0, 24, 0x123456);
        PutBits(At(3, 7), 0, 16, 8000);   // Crc
        PutBits(At(3, 7), 16, 8, 0xFF);   // omega = -2
        PutBits(At(3, 8), 0, 24, 0xFFFFFE);
        PutBits(At(3, 9), 0, 24, -20000); // OmegaDot
        PutBits(At(3, 10), 0, 8, 0x23);   // IODE of subframe 3
        PutBits(At(3, 10), 8, 14, -100);  // IDOT
    }
};

Bytes EphemerisRecord(const EphemerisWords& words, uint8_t prn) {
    Bytes b{0x00, 0x00, prn};
    for (uint32_t w : words.w) PutBE(b, w, 3);
    return Frame('E', b);
}

int DecodeE(Bytes r, Ephemeris& eph, uint16_t& week) {
    CDecodeKBinGpsData decoder;
    return decoder.DecodeEphemeris(r.data(), static_cast<int>(r.size()), eph, week);
}

Bytes IonoUtcRecord() {
    uint32_t w[8] = {};
    PutBits(w[0], 0, 8, 0x78);   // data and SV id
    PutBits(w[0], 8, 8, 5);      // alpha0
    PutBits(w[0], 16, 8, 2);     // alpha1
    PutBits(w[1], 0, 8, -1);     // alpha2
    PutBits(w[1], 8, 8, -2);     // alpha3
    PutBits(w[1], 16, 8, 40);    // beta0
    PutBits(w[2], 0, 8, 5);      // beta1
    PutBits(w[2], 8, 8, -1);     // beta2
    PutBits(w[2], 16, 8, -8);    // beta3
    PutBits(w[3], 0, 24, -24);   // A1
    PutBits(w[4], 0, 24, -1);    // A0 = -9: high 24 bits
    PutBits(w[5], 0, 8, 0xF7);   //          low 8 bits
    PutBits(w[5], 8, 8, 123);    // tot / 4096
    PutBits(w[5], 16, 8, 54);    // WNt
    PutBits(w[6], 0, 8, 15);     // delta t LS
    PutBits(w[6], 8, 8, 137);    // WN LSF
    PutBits(w[6], 16, 8, 7);     // DN
    PutBits(w[7], 0, 8, -2);     // delta t LSF
    Bytes b{0x00, 0x00};
    for (uint32_t x : w) PutBE(b, x, 3);
    return Frame('U', b);
}

Bytes AntennaHeightRecord(double metres) {
    Bytes b = TimeHeader(1590, 3456000);
    const uint64_t bits = std::bit_cast<uint64_t>(metres);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return Frame('H', b);
}

Bytes TimeEventRecord(uint16_t week, uint32_t tenths, int32_t offset) {
    Bytes b = TimeHeader(week, tenths);
    PutBE(b, static_cast<uint32_t>(offset), 4);
    for (int i = 0; i < 6; ++i) b.push_back(0x11);
    return Frame('M', b);
}

// Appends text zero-padded to width bytes.
void PutText(Bytes& b, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) b.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

Bytes SiteRecord(uint8_t type, const std::string& name, const std::string (&t)[5]) {
    Bytes b = TimeHeader(1590, 3456010);
    b.push_back(type);
    PutText(b, name, 12);
    for (int k = 0; k < 5; ++k) {
        PutText(b, t[k], 12);
        if (k < 4) b.insert(b.end(), {0x20, 0x20});
    }
    return Frame('m', b);
}

int DecodeSite(Bytes r, SiteEvent& ev, uint16_t& week) {
    CDecodeKBinGpsData decoder;
    return decoder.DecodeSiteEvent(r.data(), static_cast<int>(r.size()), ev, week);
}

}  // namespace

TEST(DecodeKBinEphemeris, EveryFieldWithItsScaleConstant) {
    Ephemeris eph;
    uint16_t week = 1030;
    ASSERT_EQ(DecodeE(EphemerisRecord(EphemerisWords(), 12), eph, week), 11);
    EXPECT_EQ(week, 1030);  // read, never written
    EXPECT_EQ(eph.valid, 1);
    EXPECT_EQ(eph.satellite, 11);
    EXPECT_EQ(eph.week, 1029);  // truncated 5 nearest to 1030
    EXPECT_EQ(eph.toeTime, GpsTime(1029, 345600.0));
    EXPECT_EQ(eph.recordTime, GpsTime());
    EXPECT_EQ(eph.codesOnL2, 2);
    EXPECT_DOUBLE_EQ(eph.accuracy, 11.3);
    EXPECT_EQ(eph.health, 0);
    EXPECT_DOUBLE_EQ(eph.IODC, 291);
    EXPECT_EQ(eph.l2PDataFlag, 1);
    // The rounded constants, not the exact powers of two.
    EXPECT_EQ(eph.TGD, 4.6566128730774e-10);
    EXPECT_NE(eph.TGD, std::ldexp(1.0, -31));
    EXPECT_EQ(eph.toc, 345600.0);
    EXPECT_EQ(eph.af2, -2.7755575615629e-17);
    EXPECT_EQ(eph.af1, -2 * 1.1368683772162e-13);
    EXPECT_EQ(eph.af0, -3 * 4.6566128730774e-10);
    EXPECT_EQ(eph.IODE, 0x23);
    EXPECT_EQ(eph.Crs, -0.09375);
    EXPECT_EQ(eph.deltaN, 1000 * 3.5715773419609e-13);
    EXPECT_EQ(eph.M0, -2147483647.0 * 1.4629180792672e-09);
    EXPECT_EQ(eph.Cuc, -1.862645149231e-09);
    EXPECT_EQ(eph.e, 16777216.0 * 1.1641532182694e-10);
    EXPECT_EQ(eph.Cus, 2 * 1.862645149231e-09);
    EXPECT_EQ(eph.sqrtA, 2701988404.0 * 1.9073486328125e-06);  // 0xA10D1234
    EXPECT_EQ(eph.A, eph.sqrtA * eph.sqrtA);
    EXPECT_EQ(eph.toe, 345600.0);
    EXPECT_EQ(eph.fitInterval, 6);
    EXPECT_EQ(eph.Cic, 3 * 1.862645149231e-09);
    EXPECT_EQ(eph.Omega0, 2147483647.0 * 1.4629180792672e-09);
    EXPECT_EQ(eph.Cis, -4 * 1.862645149231e-09);
    EXPECT_EQ(eph.i0, 638727254.0 * 1.4629180792672e-09);  // 0x26123456
    EXPECT_EQ(eph.Crc, 250.0);
    EXPECT_EQ(eph.omega, -2 * 1.4629180792672e-09);
    EXPECT_EQ(eph.OmegaDot, -20000 * 3.5715773419609e-13);
    EXPECT_EQ(eph.IDOT, -100 * 3.5715773419609e-13);
}

TEST(DecodeKBinEphemeris, WeekResolvedAgainstReferenceWeek) {
    EphemerisWords w;
    Ephemeris eph;
    uint16_t week = 1030;
    w.At(1, 3) = (w.At(1, 3) & 0x003FFF) | (6u << 14);
    ASSERT_EQ(DecodeE(EphemerisRecord(w, 1), eph, week), 0);
    EXPECT_EQ(eph.week, 1030);
    week = 1590;
    w.At(1, 3) = (w.At(1, 3) & 0x003FFF) | (566u << 14);
    ASSERT_EQ(DecodeE(EphemerisRecord(w, 1), eph, week), 0);
    EXPECT_EQ(eph.week, 1590);
    week = 2100;  // 566 is 510 weeks behind 2100 modulo 1024
    ASSERT_EQ(DecodeE(EphemerisRecord(w, 1), eph, week), 0);
    EXPECT_EQ(eph.week, 1590);
    week = 2200;  // 566 is 414 weeks ahead of 2200 modulo 1024
    ASSERT_EQ(DecodeE(EphemerisRecord(w, 1), eph, week), 0);
    EXPECT_EQ(eph.week, 2614);
}

TEST(DecodeKBinEphemeris, UraTable) {
    const double expected[16] = {2, 2.8, 4, 5.7, 8, 11.3, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 32768};
    for (int i = 0; i < 16; ++i) {
        EphemerisWords w;
        w.At(1, 3) = (w.At(1, 3) & ~(0xFu << 8)) | (static_cast<uint32_t>(i) << 8);
        Ephemeris eph;
        uint16_t week = 1030;
        ASSERT_EQ(DecodeE(EphemerisRecord(w, 3), eph, week), 2);
        EXPECT_DOUBLE_EQ(eph.accuracy, expected[i]) << i;
    }
}

TEST(DecodeKBinEphemeris, IodeMismatchPrnAndChecksumRejected) {
    Ephemeris eph;
    uint16_t week = 1030;
    EphemerisWords w;
    w.At(3, 10) = (w.At(3, 10) & 0x00FFFF) | (0x24u << 16);
    EXPECT_EQ(DecodeE(EphemerisRecord(w, 1), eph, week), -1);
    EXPECT_EQ(eph.valid, 0);
    EXPECT_EQ(DecodeE(EphemerisRecord(EphemerisWords(), 0), eph, week), -1);
    EXPECT_EQ(DecodeE(EphemerisRecord(EphemerisWords(), 33), eph, week), -1);
    Bytes r = EphemerisRecord(EphemerisWords(), 1);
    r[20] ^= 0x10;
    EXPECT_EQ(DecodeE(r, eph, week), -1);
    EXPECT_EQ(week, 1030);
}

TEST(DecodeKBinEphemeris, MissingWordsRejected) {
    Bytes b{0x00, 0x00, 0x05};
    for (uint32_t x : EphemerisWords().w) PutBE(b, x, 3);
    b.resize(b.size() - 3);  // one word short: 77 bytes
    Ephemeris eph;
    uint16_t week = 1030;
    EXPECT_EQ(DecodeE(Frame('E', b), eph, week), -1);
    b.resize(b.size() + 6);  // one word too many
    EXPECT_EQ(DecodeE(Frame('E', b), eph, week), -1);
}

TEST(DecodeKBinIonoUtc, SubframeFourPage18) {
    Bytes r = IonoUtcRecord();
    IonoUtc u;
    uint16_t week = 1590;
    CDecodeKBinGpsData decoder;
    ASSERT_EQ(decoder.DecodeIonoUtc(r.data(), static_cast<int>(r.size()), u, week), 1);
    EXPECT_EQ(week, 1590);
    EXPECT_EQ(u.valid, 1);
    // The broadcast values of 1 July 2010 (ION ALPHA/BETA, DELTA-UTC of the day's file).
    EXPECT_EQ(u.alpha0, 5 * 9.3132257461549e-10);
    EXPECT_EQ(u.alpha1, 2 * 7.4505805969239e-09);
    EXPECT_EQ(u.alpha2, -5.9604644775391e-08);
    EXPECT_EQ(u.alpha3, -2 * 5.9604644775391e-08);
    EXPECT_EQ(u.beta0, 81920.0);
    EXPECT_EQ(u.beta1, 81920.0);
    EXPECT_EQ(u.beta2, -65536.0);
    EXPECT_EQ(u.beta3, -524288.0);
    EXPECT_EQ(u.A1, -24 * 8.8817841970014e-16);
    EXPECT_EQ(u.A0, -9 * 9.3132257461549e-10);
    EXPECT_NEAR(u.A0, -0.838190317154e-08, 1e-19);
    EXPECT_EQ(u.tot, 503808.0);
    EXPECT_EQ(u.WNt, 54);
    EXPECT_EQ(u.deltaTLS, 15);
    EXPECT_EQ(u.WNLSF, 137);
    EXPECT_EQ(u.DN, 7);
    EXPECT_EQ(u.deltaTLSF, -2);
    EXPECT_EQ(u.time, GpsTime(1590, 503808.0));

    r[10] ^= 0x01;
    IonoUtc bad;
    EXPECT_EQ(decoder.DecodeIonoUtc(r.data(), static_cast<int>(r.size()), bad, week), 0);
    EXPECT_EQ(bad.valid, 0);
}

TEST(DecodeKBinAntennaHeight, LittleEndianDoubleAndWeek) {
    Bytes r = AntennaHeightRecord(1.543);
    SiteEvent ev;
    uint16_t week = 7;
    CDecodeKBinGpsData decoder;
    ASSERT_EQ(decoder.DecodeAntennaHeight(r.data(), static_cast<int>(r.size()), ev, week), 1);
    EXPECT_EQ(ev.kind, 41);
    EXPECT_EQ(ev.value, 1.543);
    EXPECT_EQ(ev.time, GpsTime(1590, 345600.0));
    EXPECT_EQ(week, 1590);

    // A height that is not a finite number is no height.
    Bytes nan = AntennaHeightRecord(std::numeric_limits<double>::quiet_NaN());
    SiteEvent ev2;
    week = 7;
    EXPECT_EQ(decoder.DecodeAntennaHeight(nan.data(), static_cast<int>(nan.size()), ev2, week), 0);
    EXPECT_EQ(week, 7);
    r = AntennaHeightRecord(1.543);
    r[12] ^= 0x40;
    EXPECT_EQ(decoder.DecodeAntennaHeight(r.data(), static_cast<int>(r.size()), ev2, week), 0);
}

TEST(DecodeKBinSiteEvent, TimeEventOffsetWithWeekCarry) {
    SiteEvent ev;
    uint16_t week = 7;
    ASSERT_EQ(DecodeSite(TimeEventRecord(1590, 6047999, 2000000000), ev, week), 1);
    EXPECT_EQ(ev.kind, 40);
    EXPECT_EQ(ev.time.week, 1591);
    EXPECT_NEAR(ev.time.seconds, 0.1, 1e-9);
    EXPECT_EQ(week, 1591);
    EXPECT_TRUE(ev.markerName.empty());
    EXPECT_TRUE(ev.description.empty());

    SiteEvent back;
    ASSERT_EQ(DecodeSite(TimeEventRecord(1590, 0, -1), back, week), 1);
    EXPECT_EQ(back.time.week, 1589);
    EXPECT_NEAR(back.time.seconds, 604800.0 - 1e-10, 1e-9);
}

TEST(DecodeKBinSiteEvent, SiteTypesGiveEventKinds) {
    const std::pair<uint8_t, int> table[] = {{1, 30}, {2, 20}, {3, 50}, {4, 40}, {5, 70}, {6, 60}, {0, 50}, {200, 50}};
    const std::string t[5] = {"", "", "", "", ""};
    for (auto [code, kind] : table) {
        SiteEvent ev;
        uint16_t week = 7;
        ASSERT_EQ(DecodeSite(SiteRecord(code, "PT01", t), ev, week), 1) << int(code);
        EXPECT_EQ(ev.kind, kind) << int(code);
        EXPECT_EQ(ev.markerName, "PT01");
        EXPECT_EQ(ev.description, "");
        EXPECT_EQ(ev.time, GpsTime(1590, 345601.0));
        EXPECT_EQ(week, 1590);
    }
}

TEST(DecodeKBinSiteEvent, PlainDescriptionFromTextFields) {
    const std::string t[5] = {"Alpha", "", "Gamma", "", "obs.dat"};
    SiteEvent ev;
    uint16_t week = 7;
    ASSERT_EQ(DecodeSite(SiteRecord(1, "MARKER  ONE ", t), ev, week), 1);
    EXPECT_EQ(ev.markerName, "MARKER  ONE ");  // the name as recorded
    EXPECT_EQ(ev.description, "Geo1 : Alpha, Geo3 : Gamma, File : obs.dat");

    const std::string full[5] = {"ABCDEFGHIJKL", "b", "c", "d", ""};
    SiteEvent ev2;
    ASSERT_EQ(DecodeSite(SiteRecord(2, "NAME12345678", full), ev2, week), 1);
    EXPECT_EQ(ev2.markerName, "NAME12345678");
    EXPECT_EQ(ev2.description, "Geo1 : ABCDEFGHIJKL, Geo2 : b, Geo3 : c, Geo4 : d");
}

TEST(DecodeKBinSiteEvent, JrsFileNameDescriptionAndCompactedName) {
    const std::string t[5] = {"SITE  ", " , X ", "", "07 2.3", "FILE.JRS"};
    SiteEvent ev;
    uint16_t week = 7;
    ASSERT_EQ(DecodeSite(SiteRecord(4, "  MY  ", t), ev, week), 1);
    EXPECT_EQ(ev.markerName, "MY SITE, X");
    EXPECT_EQ(ev.description, "7 SVs, PDOP : 2.3, File : FILE.JRS");

    const std::string t2[5] = {"", "", "north", "xx", "A.JRS"};
    SiteEvent ev2;
    ASSERT_EQ(DecodeSite(SiteRecord(4, "P1", t2), ev2, week), 1);
    EXPECT_EQ(ev2.description, "Geo1 : north, File : A.JRS");
}

TEST(DecodeKBinSiteEvent, CompactMarkerNameRules) {
    EXPECT_EQ(CompactMarkerName("   A   B  "), "A B");
    EXPECT_EQ(CompactMarkerName("A , B"), "A, B");
    EXPECT_EQ(CompactMarkerName(""), "");
    EXPECT_EQ(CompactMarkerName("    "), "");
}

TEST(DecodeKBinSiteEvent, OtherLettersAndBadRecordsRejected) {
    SiteEvent ev;
    uint16_t week = 7;
    Bytes other = TimeEventRecord(1590, 0, 0);
    other[1] = 'A';
    // The letter is part of the checksum: rebuild with the right sum.
    Bytes body(other.begin() + 2, other.end() - 3);
    EXPECT_EQ(DecodeSite(Frame('A', body), ev, week), 0);
    Bytes r = TimeEventRecord(1590, 0, 0);
    r[5] ^= 1;
    EXPECT_EQ(DecodeSite(r, ev, week), 0);
    const std::string t[5] = {"", "", "", "", ""};
    Bytes m = SiteRecord(1, "X", t);
    m.erase(m.begin() + 30);  // one byte short
    EXPECT_EQ(DecodeSite(m, ev, week), 0);
    EXPECT_EQ(week, 7);
}
