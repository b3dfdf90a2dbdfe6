// Ephemerides of real broadcast data: every record of the 1 July 2010 navigation file
// is packed into navigation words as the satellites send them, carried in binary,
// ASCII fixed-column and ASCII comma-separated "E" records, decoded, and compared with
// the file's values within the quantisation step of each field.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "rawdata/DecodeKBinGpsData.h"
#include "rawdata/DecodeKVarGpsData.h"
#include "tests/rawdata/DecodeTestRecords.h"

using namespace decodetest;

namespace {

constexpr double kPiExact = 3.14159265358979323846;

// One navigation record of a RINEX 2 navigation file.
struct NavRecord {
    int prn = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    double v[32] = {};  // af0 af1 af2, then the 7 broadcast orbit lines of 4 values
};

double ReadD(const std::string& line, size_t col) {
    if (col >= line.size()) return 0;
    std::string s = line.substr(col, 19);
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'E';
    return std::strtod(s.c_str(), nullptr);
}

std::vector<NavRecord> ReadNavigationFile(const std::string& path) {
    std::ifstream in(path);
    std::vector<NavRecord> records;
    std::string line;
    while (std::getline(in, line) && line.find("END OF HEADER") == std::string::npos) {
    }
    while (std::getline(in, line)) {
        if (line.size() < 22) continue;
        NavRecord r;
        std::sscanf(line.c_str(), "%d %d %d %d %d %d %lf", &r.prn, &r.year, &r.month, &r.day, &r.hour, &r.minute,
                    &r.second);
        r.year += r.year < 80 ? 2000 : 1900;
        for (int k = 0; k < 3; ++k) r.v[k] = ReadD(line, 22 + 19 * k);
        for (int l = 0; l < 7 && std::getline(in, line); ++l)
            for (int k = 0; k < 4; ++k) r.v[3 + 4 * l + k] = ReadD(line, 3 + 19 * k);
        records.push_back(r);
    }
    return records;
}

// Named fields of a record (RINEX 2 order).
struct Fields {
    const NavRecord& r;
    double af0() const { return r.v[0]; }
    double af1() const { return r.v[1]; }
    double af2() const { return r.v[2]; }
    double iode() const { return r.v[3]; }
    double crs() const { return r.v[4]; }
    double deltaN() const { return r.v[5]; }
    double m0() const { return r.v[6]; }
    double cuc() const { return r.v[7]; }
    double e() const { return r.v[8]; }
    double cus() const { return r.v[9]; }
    double sqrtA() const { return r.v[10]; }
    double toe() const { return r.v[11]; }
    double cic() const { return r.v[12]; }
    double omega0() const { return r.v[13]; }
    double cis() const { return r.v[14]; }
    double i0() const { return r.v[15]; }
    double crc() const { return r.v[16]; }
    double omega() const { return r.v[17]; }
    double omegaDot() const { return r.v[18]; }
    double idot() const { return r.v[19]; }
    double codes() const { return r.v[20]; }
    double week() const { return r.v[21]; }
    double l2p() const { return r.v[22]; }
    double accuracy() const { return r.v[23]; }
    double health() const { return r.v[24]; }
    double tgd() const { return r.v[25]; }
    double iodc() const { return r.v[26]; }
    double fit() const { return r.v[29]; }
};

// Days from 1 January 1970 of a civil date.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Seconds of GPS week of the record's clock epoch (toc).
double TocSeconds(const NavRecord& r) {
    const long days = DaysFromCivil(r.year, r.month, r.day) - DaysFromCivil(1980, 1, 6);
    return static_cast<double>(days % 7) * 86400 + r.hour * 3600 + r.minute * 60 + r.second;
}

long Raw(double value, double scale) { return std::lround(value / scale); }

const double kUraMetres[16] = {2, 2.8, 4, 5.7, 8, 11.3, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 32768};

// URA index whose tabled accuracy is nearest (by ratio) to an accuracy in metres
// (files round the nominal values differently, e.g. 2.9 for index 1).
int UraIndex(double metres) {
    int best = 0;
    for (int i = 1; i < 16; ++i)
        if (std::fabs(std::log(metres / kUraMetres[i])) < std::fabs(std::log(metres / kUraMetres[best]))) best = i;
    return best;
}

// Packs a record into words 3..10 of subframes 1, 2 and 3 (24 bits each).
void PackWords(const NavRecord& rec, uint32_t (&w)[24]) {
    const Fields f{rec};
    for (uint32_t& x : w) x = 0;
    auto at = [&](int sf, int word) -> uint32_t& { return w[8 * (sf - 1) + word - 3]; };
    auto split32 = [&](int sf, int word, long value) {
        const uint32_t u = static_cast<uint32_t>(value);
        PutBits(at(sf, word), 16, 8, u >> 24);
        PutBits(at(sf, word + 1), 0, 24, u & 0xFFFFFF);
    };
    const double semi = kPiExact;
    const long iodc = std::lround(f.iodc());
    PutBits(at(1, 3), 0, 10, std::lround(f.week()) % 1024);
    PutBits(at(1, 3), 10, 2, std::lround(f.codes()));
    PutBits(at(1, 3), 12, 4, UraIndex(f.accuracy()));
    PutBits(at(1, 3), 16, 6, std::lround(f.health()));
    PutBits(at(1, 3), 22, 2, iodc >> 8);
    PutBits(at(1, 4), 0, 1, std::lround(f.l2p()));
    PutBits(at(1, 7), 16, 8, Raw(f.tgd(), std::ldexp(1, -31)));
    PutBits(at(1, 8), 0, 8, iodc & 0xFF);
    PutBits(at(1, 8), 8, 16, std::lround(TocSeconds(rec) / 16));
    PutBits(at(1, 9), 0, 8, Raw(f.af2(), std::ldexp(1, -55)));
    PutBits(at(1, 9), 8, 16, Raw(f.af1(), std::ldexp(1, -43)));
    PutBits(at(1, 10), 0, 22, Raw(f.af0(), std::ldexp(1, -31)));
    PutBits(at(2, 3), 0, 8, std::lround(f.iode()));
    PutBits(at(2, 3), 8, 16, Raw(f.crs(), std::ldexp(1, -5)));
    PutBits(at(2, 4), 0, 16, Raw(f.deltaN(), std::ldexp(semi, -43)));
    split32(2, 4, Raw(f.m0(), std::ldexp(semi, -31)));
    PutBits(at(2, 6), 0, 16, Raw(f.cuc(), std::ldexp(1, -29)));
    split32(2, 6, Raw(f.e(), std::ldexp(1, -33)));
    PutBits(at(2, 8), 0, 16, Raw(f.cus(), std::ldexp(1, -29)));
    split32(2, 8, Raw(f.sqrtA(), std::ldexp(1, -19)));
    PutBits(at(2, 10), 0, 16, std::lround(f.toe() / 16));
    PutBits(at(2, 10), 16, 1, f.fit() > 4 ? 1 : 0);
    PutBits(at(3, 3), 0, 16, Raw(f.cic(), std::ldexp(1, -29)));
    split32(3, 3, Raw(f.omega0(), std::ldexp(semi, -31)));
    PutBits(at(3, 5), 0, 16, Raw(f.cis(), std::ldexp(1, -29)));
    split32(3, 5, Raw(f.i0(), std::ldexp(semi, -31)));
    PutBits(at(3, 7), 0, 16, Raw(f.crc(), std::ldexp(1, -5)));
    split32(3, 7, Raw(f.omega(), std::ldexp(semi, -31)));
    PutBits(at(3, 9), 0, 24, Raw(f.omegaDot(), std::ldexp(semi, -43)));
    PutBits(at(3, 10), 0, 8, std::lround(f.iode()));
    PutBits(at(3, 10), 8, 14, Raw(f.idot(), std::ldexp(semi, -43)));
}

std::string Hex6(uint32_t w) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06X", w);
    return buf;
}

std::vector<uint8_t> BinaryRecord(const NavRecord& r, const uint32_t (&w)[24]) {
    Bytes b{0x00, 0x00, static_cast<uint8_t>(r.prn)};
    for (uint32_t x : w) PutBE(b, x, 3);
    return Frame('E', b);
}

std::vector<uint8_t> FixedColumnRecord(const NavRecord& r, const uint32_t (&w)[24]) {
    const long tenths = std::lround(TocSeconds(r) * 10);
    std::string s = std::string("\x02") + "01#E 1590 " + std::to_string(tenths);
    s.resize(20, ' ');
    s += "0 " + std::to_string(r.prn);
    s.resize(26, ' ');
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 8; ++i) s += Hex6(w[8 * row + i]) + (i < 7 ? " " : "");
        s += " \n";
    }
    s += "\x03";
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> CommaRecord(const NavRecord& r, const uint32_t (&w)[24]) {
    std::string s = std::string("\x02") + "00 E !EPH,1590," + std::to_string(TocSeconds(r)) + "\r\n" +
                    std::to_string(r.prn) + "\r\n";
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 8; ++i) s += Hex6(w[8 * row + i]) + (i < 7 ? "," : "\r\n");
    }
    s += "\x03";
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Expects the decoded ephemeris to hold the file's values within each field's step.
void ExpectMatches(const Ephemeris& eph, const NavRecord& r, const char* format) {
    const Fields f{r};
    SCOPED_TRACE(std::string(format) + " PRN " + std::to_string(r.prn) + " toe " + std::to_string(f.toe()));
    const double pi = kPiExact;
    EXPECT_EQ(eph.valid, 1);
    EXPECT_EQ(eph.satellite, r.prn - 1);
    EXPECT_EQ(eph.week, f.week());
    EXPECT_EQ(eph.toe, f.toe());
    EXPECT_EQ(eph.toeTime, GpsTime(static_cast<uint16_t>(f.week()), f.toe()));
    EXPECT_EQ(eph.toc, TocSeconds(r));
    EXPECT_EQ(eph.IODE, f.iode());
    EXPECT_EQ(eph.IODC, f.iodc());
    EXPECT_EQ(eph.health, f.health());
    EXPECT_EQ(eph.codesOnL2, f.codes());
    EXPECT_EQ(eph.l2PDataFlag, f.l2p());
    EXPECT_EQ(eph.accuracy, kUraMetres[UraIndex(f.accuracy())]);
    EXPECT_NEAR(eph.accuracy, f.accuracy(), 0.05 * f.accuracy());
    EXPECT_EQ(eph.fitInterval, f.fit() > 4 ? 6 : 4);
    EXPECT_NEAR(eph.af0, f.af0(), std::ldexp(1, -31));
    EXPECT_NEAR(eph.af1, f.af1(), std::ldexp(1, -43));
    EXPECT_NEAR(eph.af2, f.af2(), std::ldexp(1, -55));
    EXPECT_NEAR(eph.TGD, f.tgd(), std::ldexp(1, -31));
    EXPECT_NEAR(eph.Crs, f.crs(), std::ldexp(1, -5));
    EXPECT_NEAR(eph.Crc, f.crc(), std::ldexp(1, -5));
    EXPECT_NEAR(eph.Cuc, f.cuc(), std::ldexp(1, -29));
    EXPECT_NEAR(eph.Cus, f.cus(), std::ldexp(1, -29));
    EXPECT_NEAR(eph.Cic, f.cic(), std::ldexp(1, -29));
    EXPECT_NEAR(eph.Cis, f.cis(), std::ldexp(1, -29));
    EXPECT_NEAR(eph.deltaN, f.deltaN(), std::ldexp(pi, -43));
    EXPECT_NEAR(eph.OmegaDot, f.omegaDot(), std::ldexp(pi, -43));
    EXPECT_NEAR(eph.IDOT, f.idot(), std::ldexp(pi, -43));
    EXPECT_NEAR(eph.M0, f.m0(), std::ldexp(pi, -31));
    EXPECT_NEAR(eph.Omega0, f.omega0(), std::ldexp(pi, -31));
    EXPECT_NEAR(eph.i0, f.i0(), std::ldexp(pi, -31));
    EXPECT_NEAR(eph.omega, f.omega(), std::ldexp(pi, -31));
    EXPECT_NEAR(eph.e, f.e(), std::ldexp(1, -33));
    EXPECT_NEAR(eph.sqrtA, f.sqrtA(), std::ldexp(1, -19));
    EXPECT_NEAR(eph.A, f.sqrtA() * f.sqrtA(), 2 * f.sqrtA() * std::ldexp(1, -19));
}

}  // namespace

TEST(DecodeBroadcastEphemeris, EveryRecordOfTheDayInAllThreeLayouts) {
    const std::vector<NavRecord> records =
        ReadNavigationFile(std::string(QERN_SOURCE_DIR) + "/testdata/brdc1820.10n");
    ASSERT_GT(records.size(), 400u);
    CDecodeKBinGpsData binary;
    CDecodeKVarGpsData ascii;
    for (const NavRecord& r : records) {
        uint32_t w[24];
        PackWords(r, w);

        std::vector<uint8_t> b = BinaryRecord(r, w);
        Ephemeris eb;
        uint16_t week = 1590;
        ASSERT_EQ(binary.DecodeEphemeris(b.data(), static_cast<int>(b.size()), eb, week), r.prn - 1);
        ExpectMatches(eb, r, "binary");

        std::vector<uint8_t> fc = FixedColumnRecord(r, w);
        Ephemeris ef;
        week = 1000;
        ASSERT_EQ(ascii.DecodeEphemeris(fc.data(), static_cast<int>(fc.size()), ef, week), r.prn - 1);
        EXPECT_EQ(week, 1590);
        EXPECT_EQ(ef.recordTime, GpsTime(1590, TocSeconds(r)));
        ExpectMatches(ef, r, "fixed-column");

        std::vector<uint8_t> cs = CommaRecord(r, w);
        Ephemeris ec;
        week = 1000;
        ASSERT_EQ(ascii.DecodeEphemeris(cs.data(), static_cast<int>(cs.size()), ec, week), r.prn - 1);
        EXPECT_EQ(week, 1590);
        ExpectMatches(ec, r, "comma-separated");
        if (HasFailure()) break;
    }
}

TEST(DecodeBroadcastEphemeris, FirstRecordOfTheFile) {
    // PRN 1, toe 345600 s of week 1590, values as printed in the file.
    const std::vector<NavRecord> records =
        ReadNavigationFile(std::string(QERN_SOURCE_DIR) + "/testdata/brdc1820.10n");
    ASSERT_FALSE(records.empty());
    uint32_t w[24];
    PackWords(records[0], w);
    std::vector<uint8_t> b = BinaryRecord(records[0], w);
    CDecodeKBinGpsData binary;
    Ephemeris eph;
    uint16_t week = 1590;
    ASSERT_EQ(binary.DecodeEphemeris(b.data(), static_cast<int>(b.size()), eph, week), 0);
    EXPECT_NEAR(eph.af0, -0.136290676892e-03, 5e-10);
    EXPECT_NEAR(eph.sqrtA, 0.515480139732e+04, 1e-6);
    EXPECT_NEAR(eph.e, 0.483528291807e-02, 1e-10);
    EXPECT_NEAR(eph.M0, -0.307674634178e+01, 1.5e-9);
    EXPECT_EQ(eph.IODE, 63);
    EXPECT_EQ(eph.health, 63);
    EXPECT_EQ(eph.toe, 345600.0);
    EXPECT_EQ(eph.week, 1590);
}
