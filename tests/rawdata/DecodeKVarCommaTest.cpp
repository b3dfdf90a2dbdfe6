// ASCII comma-separated layout: header line, short and "P" modes of epoch records,
// skipped and invalidating satellite lines, "E", "U", "M"/"T" records, and the
// reference week.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rawdata/DecodeKVarGpsData.h"

namespace {

// A comma-separated record: STX, "00 ", letter, " ", the lines joined by CR LF, ETX.
std::string CommaRecord(char letter, const std::vector<std::string>& lines) {
    std::string s = std::string("\x02") + "00 " + letter + " ";
    for (const std::string& l : lines) s += l + "\r\n";
    return s + "\x03";
}

const char* kHeader = "!HDR,1590,345600.5";
const char* kFullLine = "S,5,700000000,1193046,-4000,45,2,41,52,0,-5,7,65535,-1000,44,55";

struct Decoded {
    uint16_t mask = 0;
    ObservationEpoch epoch;
    uint16_t week = 7;
};

Decoded Epoch(const std::string& text) {
    std::vector<uint8_t> b(text.begin(), text.end());
    b.push_back(0);
    CDecodeKVarGpsData decoder;
    Decoded d;
    d.mask = decoder.DecodeObservation(b.data(), static_cast<int>(text.size()), d.epoch, d.week);
    return d;
}

}  // namespace

TEST(DecodeKVarComma, DualFrequencyModeFillsEveryField) {
    const Decoded d = Epoch(CommaRecord('R', {kHeader, "CP", kFullLine}));
    ASSERT_EQ(d.mask, 0x7FF);
    EXPECT_EQ(d.week, 1590);
    EXPECT_EQ(d.epoch.time, GpsTime(1590, 345600.5));
    const SatObservation& s = d.epoch.Sat(4);
    EXPECT_DOUBLE_EQ(s.value[kC1], 0.07);
    EXPECT_DOUBLE_EQ(s.value[kL1], 1193.046);
    EXPECT_DOUBLE_EQ(s.value[kD1], -4.0);
    EXPECT_EQ(s.cn0, 45);
    EXPECT_EQ(s.status[0], 0x41);
    EXPECT_EQ(s.status[3], 0x52);
    EXPECT_EQ(s.antiSpoofing, 1);
    EXPECT_DOUBLE_EQ(s.value[kP1], 0.0699999995);
    EXPECT_DOUBLE_EQ(s.value[kP2], 0.0700000007);
    EXPECT_DOUBLE_EQ(s.value[kL2], 65.535);
    EXPECT_DOUBLE_EQ(s.value[kD2], -1.0);
    EXPECT_EQ(s.status[1], 0x44);
    EXPECT_EQ(s.status[2], 0x55);
}

TEST(DecodeKVarComma, ShortModeKeepsOnlyCodeL1DopplerAndCn0) {
    for (const char* mode : {"#P", "%P", "#C"}) {
        const Decoded d = Epoch(CommaRecord('Q', {kHeader, mode, kFullLine}));
        ASSERT_EQ(d.mask, 0x19) << mode;
        EXPECT_EQ(d.epoch.Sat(4).cn0, 48) << mode;  // code + 3
        EXPECT_EQ(d.epoch.Sat(4).antiSpoofing, 0);
    }
}

TEST(DecodeKVarComma, SingleFrequencyModeWithStatus) {
    const Decoded d = Epoch(CommaRecord('Q', {kHeader, "CA", kFullLine}));
    ASSERT_EQ(d.mask, 0x499);  // C1 L1 D1 and status 0 and 3
    EXPECT_EQ(d.epoch.Sat(4).cn0, 45);
}

TEST(DecodeKVarComma, AbsenceFlagsAndMissingFields) {
    const Decoded d = Epoch(CommaRecord(
        'R', {kHeader, "CP", "S,1,700000000,1000,,40,C", "S, 2 ,700000000,1000,x,40,0,zz,1", "S,3,1,2,3,4,0,,,,,,,,,"}));
    ASSERT_NE(d.mask, 0);
    // Flags 0xC: no L1 and no L2; no D1, P1, ... fields.
    EXPECT_EQ(d.epoch.Sat(0).Mask(), 0x8);
    // D1 unparsable, status 0 unparsable, status 3 present.
    EXPECT_EQ(d.epoch.Sat(1).Mask(), 0x8 | 0x1 | 0x400);
    EXPECT_EQ(d.epoch.Sat(1).status[3], 1);
    // Empty fields are absent values.
    EXPECT_EQ(d.epoch.Sat(2).Mask(), 0x19);
}

TEST(DecodeKVarComma, SkippedLinesAndInvalidatingLines) {
    // Fewer than 7 fields, or C1, cn0 or flags unparsable: the line is skipped.
    const Decoded skipped = Epoch(CommaRecord(
        'R', {kHeader, "CP", "S,1,700000000,1000,1,40", "S,2,x,1000,1,40,0", "S,3,1,1,1,x,0", "S,4,1,1,1,40,g",
              "S,5,1,1,1,40,0"}));
    EXPECT_EQ(skipped.mask, 0x19);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(skipped.epoch.Sat(i).Present(), i == 4) << i;

    // Fewer than 2 fields, an unparsable PRN or one outside 1..32: the record is invalid.
    for (const char* line : {"S", "S,x,1,1,1,40,0", "S,0,1,1,1,40,0", "S,33,1,1,1,40,0", "S,,1,1,1,40,0"}) {
        const Decoded d = Epoch(CommaRecord('R', {kHeader, "CP", "S,5,1,1,1,40,0", line}));
        EXPECT_EQ(d.mask, 0) << line;
        EXPECT_EQ(d.week, 1590) << line;  // taken before the satellite lines
    }
}

TEST(DecodeKVarComma, HeaderAndModeChecks) {
    EXPECT_EQ(Epoch(CommaRecord('R', {kHeader})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,1590", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,x,345600", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,1590,y", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,70000,1", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,1590,1e9", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"!HDR,1590,nan", "CP", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {kHeader, "C", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {kHeader, " ,P", kFullLine})).mask, 0);
    EXPECT_EQ(Epoch(CommaRecord('R', {"HDR,1590,1", "CP", kFullLine})).mask, 0);  // no "!"
    // Text before the "!" is not part of the layout; a run of line breaks is one break.
    const Decoded d = Epoch(std::string("\x02") + "00 R xyz" + kHeader + "\n\r\n\nCP\r\r" + kFullLine + "\x03");
    EXPECT_EQ(d.mask, 0x7FF);
}

TEST(DecodeKVarComma, EphemerisLinesAndOptionalHeader) {
    // Words all zero except both IODEs: valid.
    const std::string zeros = "0,0,0,0,0,0,0,0";
    const std::string rec =
        CommaRecord('E', {"!EPH,1590,345000", " 12", zeros, "230000,0,0,0,0,0,0,0", "0,0,0,0,0,0,0,230000"});
    std::vector<uint8_t> b(rec.begin(), rec.end());
    CDecodeKVarGpsData decoder;
    Ephemeris eph;
    uint16_t week = 7;
    ASSERT_EQ(decoder.DecodeEphemeris(b.data(), static_cast<int>(b.size()), eph, week), 11);
    EXPECT_EQ(week, 1590);
    EXPECT_EQ(eph.recordTime, GpsTime(1590, 345000.0));
    EXPECT_EQ(eph.week, 2048);

    // Without week and seconds in the header the reference week is used as it is.
    const std::string noTime =
        CommaRecord('E', {"!EPH", "12", zeros, "230000,0,0,0,0,0,0,0", "0,0,0,0,0,0,0,230000"});
    std::vector<uint8_t> c(noTime.begin(), noTime.end());
    Ephemeris eph2;
    week = 1030;
    ASSERT_EQ(decoder.DecodeEphemeris(c.data(), static_cast<int>(c.size()), eph2, week), 11);
    EXPECT_EQ(week, 1030);
    EXPECT_EQ(eph2.week, 1024);
    EXPECT_EQ(eph2.recordTime, GpsTime());

    for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
             {"!EPH,1590,1", "12", zeros, zeros},                                    // 4 lines
             {"!EPH,1590,1", "12", zeros, "0,0,0,0,0,0,0", zeros},                   // 7 fields
             {"!EPH,1590,1", "12", zeros, "0,0,0,0,0,0,0,q", zeros},                 // bad word
             {"!EPH,1590,1", "33", zeros, zeros, zeros},                             // PRN
             {"!EPH,1590,1", "x", zeros, zeros, zeros},                              // PRN
             {"!EPH,1590,1", "1", zeros, "230000,0,0,0,0,0,0,0", zeros}}) {          // IODE
        const std::string r = CommaRecord('E', lines);
        std::vector<uint8_t> d(r.begin(), r.end());
        Ephemeris bad;
        EXPECT_EQ(decoder.DecodeEphemeris(d.data(), static_cast<int>(d.size()), bad, week), -1) << r;
        EXPECT_EQ(bad.valid, 0);
    }
}

TEST(DecodeKVarComma, IonoUtcLine) {
    const std::string rec =
        CommaRecord('U', {"!ION,1590,345000", "780502,FFFE28,05FFF8,FFFFE8,FFFFFF,F77B36,0F8907,FE0000"});
    std::vector<uint8_t> b(rec.begin(), rec.end());
    CDecodeKVarGpsData decoder;
    IonoUtc u;
    uint16_t week = 7;
    ASSERT_EQ(decoder.DecodeIonoUtc(b.data(), static_cast<int>(b.size()), u, week), 1);
    EXPECT_EQ(week, 1590);
    EXPECT_EQ(u.time, GpsTime(1590, 503808.0));
    EXPECT_EQ(u.alpha3, -2 * 5.9604644775391e-08);
    EXPECT_EQ(u.WNt, 54);

    const std::string noTime = CommaRecord('U', {"!ION", "780502,FFFE28,05FFF8,FFFFE8,FFFFFF,F77B36,0F8907,FE0000"});
    std::vector<uint8_t> c(noTime.begin(), noTime.end());
    week = 1600;
    ASSERT_EQ(decoder.DecodeIonoUtc(c.data(), static_cast<int>(c.size()), u, week), 1);
    EXPECT_EQ(u.time, GpsTime(1600, 503808.0));

    const std::string bad = CommaRecord('U', {"!ION,1590,1", "780502,FFFE28,05FFF8,FFFFE8,FFFFFF,F77B36,0F8907"});
    std::vector<uint8_t> d(bad.begin(), bad.end());
    EXPECT_EQ(decoder.DecodeIonoUtc(d.data(), static_cast<int>(d.size()), u, week), 0);
    EXPECT_EQ(u.valid, 0);
}

TEST(DecodeKVarComma, TimeEventSecondsFromStarOneLine) {
    CDecodeKVarGpsData decoder;
    auto decode = [&](const std::vector<std::string>& lines, SiteEvent& ev, uint16_t& week) {
        const std::string r = CommaRecord('T', lines);
        std::vector<uint8_t> b(r.begin(), r.end());
        return decoder.DecodeSiteEvent(b.data(), static_cast<int>(b.size()), ev, week);
    };
    SiteEvent ev;
    uint16_t week = 7;
    ASSERT_EQ(decode({"!EVT,1590,345600.5", "x,y", ",a,b", "*1,a,345601.25", "*1,a,9"}, ev, week), 1);
    EXPECT_EQ(ev.kind, 40);
    EXPECT_EQ(ev.time, GpsTime(1590, 345601.25));
    EXPECT_EQ(week, 1590);
    EXPECT_TRUE(ev.markerName.empty());
    EXPECT_TRUE(ev.description.empty());

    SiteEvent other;
    ASSERT_EQ(decode({"!EVT,1590,345600.5", "*2,a,345601.25", "*1,a,9"}, other, week), 1);
    EXPECT_EQ(other.time, GpsTime(1590, 345600.5));  // only the first such line counts

    SiteEvent bad;
    week = 7;
    EXPECT_EQ(decode({"!EVT,1590"}, bad, week), 0);
    EXPECT_EQ(decode({"!EVT,x,1"}, bad, week), 0);
    EXPECT_EQ(week, 7);
}
