// ASCII fixed-column layout ("%" or "#" at index 3): time header, satellite lines and
// their length rule, Dopplers from L1 phase differences, the 0.05 s refusal, Reset,
// "E", "U", "M"/"T" and "V" records, and the reference week.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rawdata/DecodeKVarGpsData.h"
#include "tests/rawdata/DecodeTestRecords.h"

using namespace decodetest;

namespace {

// A fixed-column record: STX, "01", marker, letter, " ", the time header from index 6,
// spaces up to index 20, then body, then ETX.
std::string FixedRecord(char letter, const std::string& header, const std::string& body, char marker = '#') {
    std::string s = std::string("\x02") + "01" + marker + letter + " " + header;
    EXPECT_LE(s.size(), 20u);
    s.resize(20, ' ');
    return s + body + "\x03";
}

// A satellite line: "*", one space, the six values, padded to 39 characters, LF.
std::string SatLine(const std::string& values, size_t width = 39) {
    std::string s = "* " + values;
    EXPECT_LE(s.size(), width);
    s.resize(width, ' ');
    return s + "\n";
}

// Time header for week 1590 and a time of week in tenths of a second.
std::string Header(long tenths) { return "1590 " + std::to_string(tenths); }

struct Session {
    CDecodeKVarGpsData decoder;
    uint16_t week = 7;
    uint16_t Epoch(const std::string& text, ObservationEpoch& e) {
        std::vector<uint8_t> b(text.begin(), text.end());
        b.push_back(0);
        return decoder.DecodeObservation(b.data(), static_cast<int>(text.size()), e, week);
    }
};

}  // namespace

TEST(DecodeKVarFixedColumn, SatelliteLinesAndDopplerFromPhase) {
    Session run;
    ObservationEpoch e;
    const uint16_t m = run.Epoch(
        FixedRecord('R', Header(3456000), SatLine("712345678 1000000 5 40 0 0") + SatLine("1712345678 20 12 33 1 256")), e);
    ASSERT_EQ(m, 0x9);  // C1 and L1, no D1 on the first epoch
    EXPECT_EQ(run.week, 1590);
    EXPECT_EQ(e.time, GpsTime(1590, 345600.0));
    EXPECT_DOUBLE_EQ(e.Sat(4).value[kC1], 0.0712345678);
    EXPECT_DOUBLE_EQ(e.Sat(4).value[kL1], 1000.0);
    EXPECT_EQ(e.Sat(4).cn0, 43);
    EXPECT_FALSE(e.Sat(4).Has(kD1));
    EXPECT_NEAR(e.Sat(11).value[kC1], 0.0712345678, 1e-15);
    EXPECT_EQ(e.Sat(11).cn0, 36);
    EXPECT_EQ(e.Sat(11).Mask(), 0x9);  // status bytes are not part of this layout

    ObservationEpoch f;
    ASSERT_EQ(run.Epoch(FixedRecord('R', Header(3456010), SatLine("712345678 2500000 5 40 0 0") +
                                                              SatLine("712345678 99999999020 12 33 0 0")),
                        f),
              0x19);
    EXPECT_DOUBLE_EQ(f.Sat(4).value[kD1], 1500.0);   // 1500000 millicycles in 1 s
    EXPECT_DOUBLE_EQ(f.Sat(11).value[kD1], -1.0);     // 99999999000 folded to -1000
}

TEST(DecodeKVarFixedColumn, EpochNotLaterThanPreviousRefusedAndStateKept) {
    Session run;
    ObservationEpoch e;
    ASSERT_NE(run.Epoch(FixedRecord('Q', Header(100), SatLine("7000000 1000 1 40 0 0")), e), 0);
    run.week = 7;
    // Same time: refused, although its week is taken.
    EXPECT_EQ(run.Epoch(FixedRecord('Q', Header(100), SatLine("7000000 9000 1 40 0 0")), e), 0);
    EXPECT_EQ(run.week, 1590);
    EXPECT_EQ(run.Epoch(FixedRecord('Q', Header(90), SatLine("7000000 9000 1 40 0 0")), e), 0);
    // The next epoch is compared with the last accepted one, 2 s earlier.
    ASSERT_NE(run.Epoch(FixedRecord('Q', Header(120), SatLine("7000000 5000 1 40 0 0")), e), 0);
    EXPECT_DOUBLE_EQ(e.Sat(0).value[kD1], 2.0);  // 4000 millicycles over 2 s
}

TEST(DecodeKVarFixedColumn, SatelliteMissingOnceHasNoDopplerNext) {
    Session run;
    ObservationEpoch e;
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(10), SatLine("1 1000 1 40 0 0") + SatLine("1 1000 2 40 0 0")), e), 0);
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(20), SatLine("1 2000 1 40 0 0")), e), 0);
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(30), SatLine("1 3000 1 40 0 0") + SatLine("1 3000 2 40 0 0")), e), 0);
    EXPECT_TRUE(e.Sat(0).Has(kD1));
    EXPECT_FALSE(e.Sat(1).Has(kD1));
    EXPECT_TRUE(e.Sat(1).Has(kL1));
}

TEST(DecodeKVarFixedColumn, ResetForgetsPreviousEpoch) {
    Session run;
    ObservationEpoch e;
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(10), SatLine("1 1000 1 40 0 0")), e), 0);
    run.decoder.Reset();
    // Earlier than before and still accepted; no Doppler after a reset.
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(5), SatLine("1 2000 1 40 0 0")), e), 0);
    EXPECT_FALSE(e.Sat(0).Has(kD1));
}

TEST(DecodeKVarFixedColumn, LinesFailingTheirTestsAreSkipped) {
    Session run;
    ObservationEpoch e;
    const std::string body = SatLine("1 1000 1 40 0 0", 38) +  // line feed at 38
                             SatLine("1 1000 2 40 0 0", 40) +  // line feed at 40
                             SatLine("1 1000 3 40 0 1") +      // status low byte set
                             SatLine("1 1000 33 40 0 0") +     // PRN out of range
                             SatLine("1 1000 0 40 0 0") +      // PRN out of range
                             SatLine("1 1000 4 40 0") +        // five values
                             SatLine("1 x 5 40 0 0") +         // not a number
                             SatLine("1 1000 6 40 0 512") +    // status upper bits only
                             "X" + SatLine("1 1000 7 40 0 0").substr(1) +  // ends the list
                             SatLine("1 1000 8 40 0 0");
    ASSERT_NE(run.Epoch(FixedRecord('R', Header(10), body), e), 0);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(e.Sat(i).Present(), i == 5) << i;
}

TEST(DecodeKVarFixedColumn, StarLineWithoutLineFeedEndsTheList) {
    Session run;
    ObservationEpoch e;
    std::string body = SatLine("1 1000 1 40 0 0") + "* 1 1000 2 40 0 0";
    EXPECT_EQ(run.Epoch(FixedRecord('R', Header(10), body), e), 0x9);
    EXPECT_FALSE(e.Sat(1).Present());
}

TEST(DecodeKVarFixedColumn, BadTimeHeaderRejected) {
    Session run;
    ObservationEpoch e;
    EXPECT_EQ(run.Epoch(FixedRecord('R', "1590", SatLine("1 1000 1 40 0 0")), e), 0);
    EXPECT_EQ(run.Epoch(FixedRecord('R', "x 10", SatLine("1 1000 1 40 0 0")), e), 0);
    EXPECT_EQ(run.Epoch(FixedRecord('R', "1590 -10", SatLine("1 1000 1 40 0 0")), e), 0);
    EXPECT_EQ(run.Epoch(FixedRecord('R', "1590 6048000", SatLine("1 1000 1 40 0 0")), e), 0);
    EXPECT_EQ(run.week, 7);
    EXPECT_EQ(run.Epoch("\x02" "01#R", e), 0);
}

TEST(DecodeKVarFixedColumn, PercentMarkerAndKolmarBaseAgree) {
    const std::string rec = FixedRecord('R', Header(10), SatLine("5 1000 9 40 0 0"), '%');
    std::vector<uint8_t> a(rec.begin(), rec.end()), b = a;
    ObservationEpoch ea, eb;
    uint16_t wa = 0, wb = 0;
    CDecodeKolmarGpsData kolmar;
    CDecodeKVarGpsData kvar;
    EXPECT_EQ(kolmar.DecodeObservation(a.data(), static_cast<int>(a.size()), ea, wa), 0x9);
    EXPECT_EQ(kvar.DecodeObservation(b.data(), static_cast<int>(b.size()), eb, wb), 0x9);
    EXPECT_EQ(ea.Sat(8).value[kC1], eb.Sat(8).value[kC1]);
}

TEST(DecodeKVarFixedColumn, IonoUtcWordsAndWeek) {
    const std::string rec = FixedRecord(
        'U', Header(3456000), "780502 FFFE28 05FFF8 FFFFE8 FFFFFF F77B36 0F8907 FE0000");
    std::vector<uint8_t> b(rec.begin(), rec.end());
    IonoUtc u;
    uint16_t week = 7;
    CDecodeKVarGpsData decoder;
    ASSERT_EQ(decoder.DecodeIonoUtc(b.data(), static_cast<int>(b.size()), u, week), 1);
    EXPECT_EQ(week, 1590);
    EXPECT_EQ(u.time, GpsTime(1590, 503808.0));
    EXPECT_EQ(u.alpha0, 5 * 9.3132257461549e-10);
    EXPECT_EQ(u.beta0, 81920.0);
    EXPECT_EQ(u.A0, -9 * 9.3132257461549e-10);
    EXPECT_EQ(u.deltaTLS, 15);
    EXPECT_EQ(u.deltaTLSF, -2);

    const std::string shortRec = FixedRecord('U', Header(3456000), "780502 FFFE28 05FFF8 FFFFE8 FFFFFF F77B36 0F8907");
    std::vector<uint8_t> c(shortRec.begin(), shortRec.end());
    EXPECT_EQ(decoder.DecodeIonoUtc(c.data(), static_cast<int>(c.size()), u, week), 0);
}

TEST(DecodeKVarFixedColumn, EphemerisRowsAtFixedColumns) {
    // Words all zero except both IODEs (0x23): valid with week 0 resolved near 1590.
    std::string body = "1 12  ";  // index 20: two numbers, the second the PRN
    auto row = [](const std::string& first, const std::string& last) {
        return first + " 000000 000000 000000 000000 000000 000000 " + last + " \n";
    };
    body += row("000000", "000000");  // 26 .. 82
    body += row("230000", "000000");  // 83 .. 139
    body += row("000000", "230000");  // 140 ..
    const std::string rec = FixedRecord('E', Header(3456000), body);
    ASSERT_EQ(rec.find("230000"), 83u);
    std::vector<uint8_t> b(rec.begin(), rec.end());
    Ephemeris eph;
    uint16_t week = 7;
    CDecodeKVarGpsData decoder;
    ASSERT_EQ(decoder.DecodeEphemeris(b.data(), static_cast<int>(b.size()), eph, week), 11);
    EXPECT_EQ(week, 1590);  // written before the words are read
    EXPECT_EQ(eph.recordTime, GpsTime(1590, 345600.0));
    EXPECT_EQ(eph.week, 2048);  // truncated week 0: 2048 is nearer to 1590 than 1024
    EXPECT_EQ(eph.IODE, 0x23);
    EXPECT_EQ(eph.valid, 1);

    // The third row cut short: a missing word.
    std::string cut = rec.substr(0, 140 + 7 * 7) + "\x03";
    std::vector<uint8_t> c(cut.begin(), cut.end());
    Ephemeris eph2;
    EXPECT_EQ(decoder.DecodeEphemeris(c.data(), static_cast<int>(c.size()), eph2, week), -1);
    EXPECT_EQ(eph2.valid, 0);
}

TEST(DecodeKVarFixedColumn, TimeEventWithinTenSecondInterval) {
    const std::string rec = FixedRecord('M', Header(3456017), "   12345678901     Description");
    ASSERT_EQ(rec.find("Description"), 39u);
    std::vector<uint8_t> b(rec.begin(), rec.end());
    SiteEvent ev;
    uint16_t week = 7;
    CDecodeKVarGpsData decoder;
    ASSERT_EQ(decoder.DecodeSiteEvent(b.data(), static_cast<int>(b.size()), ev, week), 1);
    EXPECT_EQ(ev.kind, 40);
    EXPECT_EQ(ev.time.week, 1590);
    EXPECT_DOUBLE_EQ(ev.time.seconds, 345600.0 + 1.2345678901);
    EXPECT_EQ(ev.description, "Description");
    EXPECT_TRUE(ev.markerName.empty());
    EXPECT_EQ(week, 1590);

    const std::string t = FixedRecord('T', Header(3456017), "   5000000000      Description");
    std::vector<uint8_t> c(t.begin(), t.end());
    SiteEvent ev2;
    ASSERT_EQ(decoder.DecodeSiteEvent(c.data(), static_cast<int>(c.size()), ev2, week), 1);
    EXPECT_DOUBLE_EQ(ev2.time.seconds, 345600.5);
    EXPECT_TRUE(ev2.description.empty());  // only "M" carries text

    const std::string none = FixedRecord('M', Header(3456017), "   x");
    std::vector<uint8_t> d(none.begin(), none.end());
    EXPECT_EQ(decoder.DecodeSiteEvent(d.data(), static_cast<int>(d.size()), ev2, week), 0);
}

TEST(DecodeKVarFixedColumn, AntennaHeightInMillimetres) {
    CDecodeKVarGpsData decoder;
    for (char marker : {'#', ' '}) {  // fixed-column for every record of this kind
        const std::string rec = FixedRecord('V', Header(3456000), "  1543 mm", marker);
        std::vector<uint8_t> b(rec.begin(), rec.end());
        SiteEvent ev;
        uint16_t week = 7;
        ASSERT_EQ(decoder.DecodeAntennaHeight(b.data(), static_cast<int>(b.size()), ev, week), 1);
        EXPECT_EQ(ev.kind, 41);
        EXPECT_DOUBLE_EQ(ev.value, 1.543);
        EXPECT_EQ(ev.time, GpsTime(1590, 345600.0));
        EXPECT_EQ(week, 1590);
    }
    const std::string none = FixedRecord('V', Header(3456000), "  mm");
    std::vector<uint8_t> b(none.begin(), none.end());
    SiteEvent ev;
    uint16_t week = 7;
    EXPECT_EQ(decoder.DecodeAntennaHeight(b.data(), static_cast<int>(b.size()), ev, week), 0);
}

TEST(DecodeKVarFixedColumn, PhaseDifferenceFold) {
    EXPECT_EQ(FoldPhaseDifference(99999999000.0), -1000.0);
    EXPECT_EQ(FoldPhaseDifference(-99999999000.0), 1000.0);
    EXPECT_EQ(FoldPhaseDifference(5e10), 5e10);
    EXPECT_EQ(FoldPhaseDifference(1.5e11), 5e10);
    EXPECT_EQ(FoldPhaseDifference(1500000.0), 1500000.0);
    // Corrupt values far outside the range end in the range without looping for long.
    const double huge = FoldPhaseDifference(1e300);
    EXPECT_LE(std::abs(huge), 5e10);
}
