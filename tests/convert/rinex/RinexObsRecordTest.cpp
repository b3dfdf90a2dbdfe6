#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/rinex/RinexObsRecord.h"
#include "tests/convert/rinex/RinexLines.h"

namespace {

using rinextest::L;
using rinextest::Lines;

constexpr uint16_t Bit(int k) { return static_cast<uint16_t>(1u << k); }
// Saturday 2 April 2005, 00:00:00 GPS time.
constexpr double kApril2 = 518400.0;

// An epoch with a C1 value on each of the given satellite indexes.
RinexEpoch EpochWithC1(const std::vector<int>& satellites) {
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2);
    for (int s : satellites) e.Sat(s).SetValue(kC1, 20000000.0 + s);
    return e;
}

}  // namespace

TEST(RinexEpochLine, BlankPaddedYearAndClockOffsetInColumns69To80) {
    RinexEpoch e;
    e.time = GpsTime(1106, 565836.0);  // 24 March 2001, 13:10:36
    e.Sat(4).SetValue(kC1, 21565852.19);
    const std::string text = EpochText(e, Bit(kC1));
    EXPECT_EQ(text,
              L("  1  3 24 13 10 36.0000000  0  1G 5                                  0.000000000") +
                  L("  21565852.190                                                                  "));
}

TEST(RinexEpochLine, NegativeClockOffsetAndFractionalSeconds) {
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2 + 90.5);
    e.clockOffset = -0.000123457;
    e.Sat(2).SetValue(kC1, 1.0);
    e.Sat(11).SetValue(kC1, 2.0);
    const std::vector<std::string> lines = Lines(EpochText(e, Bit(kC1)));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0] + "\r\n",
              L("  5  4  2  0  1 30.5000000  0  2G 3G12                              -0.000123457"));
}

TEST(RinexEpochLine, TimeJustBelowAMinuteIsWrittenAsTheNextMinute) {
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2 + 59.99999999);
    EXPECT_EQ(EpochText(e, Bit(kC1)),
              L("  5  4  2  0  1  0.0000000  0  0                                     0.000000000"));
}

TEST(RinexEpochLine, TwelveSatellitesFitOneLineAndTheThirteenthContinues) {
    std::vector<int> twelve;
    for (int s = 0; s < 12; ++s) twelve.push_back(s);
    std::vector<std::string> lines = Lines(EpochText(EpochWithC1(twelve), Bit(kC1)));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0] + "\r\n",
              L("  5  4  2  0  0  0.0000000  0 12G 1G 2G 3G 4G 5G 6G 7G 8G 9G10G11G12 0.000000000"));

    twelve.push_back(12);
    lines = Lines(EpochText(EpochWithC1(twelve), Bit(kC1)));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0] + "\r\n",
              L("  5  4  2  0  0  0.0000000  0 13G 1G 2G 3G 4G 5G 6G 7G 8G 9G10G11G12 0.000000000"));
    EXPECT_EQ(lines[1] + "\r\n",
              L("                                G13                                             "));
}

TEST(RinexEpochLine, MoreThan24SatellitesTakeFurtherContinuationLines) {
    std::vector<int> all;
    for (int s = 0; s < 30; ++s) all.push_back(s);
    const std::vector<std::string> lines = Lines(EpochText(EpochWithC1(all), Bit(kC1)));
    ASSERT_EQ(lines.size(), 3u + 30u);
    EXPECT_EQ(lines[0] + "\r\n",
              L("  5  4  2  0  0  0.0000000  0 30G 1G 2G 3G 4G 5G 6G 7G 8G 9G10G11G12 0.000000000"));
    EXPECT_EQ(lines[1] + "\r\n",
              L("                                G13G14G15G16G17G18G19G20G21G22G23G24            "));
    EXPECT_EQ(lines[2] + "\r\n",
              L("                                G25G26G27G28G29G30                              "));
    for (const std::string& line : lines) EXPECT_EQ(line.size(), 80u);
}

TEST(RinexEpochLine, SatelliteWithOnlyUnlistedTypesIsNeitherListedNorCounted) {
    RinexEpoch e = EpochWithC1({0});
    e.Sat(6).SetValue(kD2, -1234.5);  // D2 is not in the header's mask
    const std::vector<std::string> lines = Lines(EpochText(e, Bit(kC1) | Bit(kL1)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(26, 9), "  0  1G 1");
}

TEST(RinexEpochLine, EpochWithoutListedSatellitesWritesItsLineOnly) {
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2 + 30.0);
    EXPECT_EQ(EpochText(e, 0x7F),
              L("  5  4  2  0  0 30.0000000  0  0                                     0.000000000"));
}

TEST(RinexObservationLines, LliAndSignalStrengthDigitsAndMissingValues) {
    RinexEpoch e = EpochWithC1({});
    RinexSatValues& s = e.Sat(0);
    s.SetValue(kC1, 24767686.375, 0, 0);
    s.SetValue(kL1, -1234567.89, 1, 7);
    // No D1: 16 blanks, then two blank fields fill the line.
    const std::vector<std::string> lines = Lines(EpochText(e, Bit(kC1) | Bit(kL1) | Bit(kD1)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1] + "\r\n",
              L("  24767686.375    -1234567.89017                                                "));
}

TEST(RinexObservationLines, ValuesBeyondTheirFieldAreWrittenAsMissing) {
    // Only damaged raw data give such values; the line must keep its 80 columns.
    RinexEpoch e = EpochWithC1({});
    RinexSatValues& s = e.Sat(0);
    s.SetValue(kC1, 9999999999.999, 0, 5);   // the largest value that fits
    s.SetValue(kL1, -1000000000.0, 1, 7);     // one character too wide
    s.SetValue(kD1, 1e300, 0, 9);
    const std::vector<std::string> lines = Lines(EpochText(e, Bit(kC1) | Bit(kL1) | Bit(kD1)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1] + "\r\n",
              L("9999999999.999 5                                                                "));
}

TEST(RinexObservationLines, SevenTypesTakeTwoLinesInFileOrder) {
    RinexEpoch e = EpochWithC1({});
    RinexSatValues& s = e.Sat(7);
    s.SetValue(kL1, 43647388.242, 0, 4);
    s.SetValue(kL2, 34011204.123, 4, 6);
    s.SetValue(kP2, 24767684.822, 4, 5);
    s.SetValue(kC1, 24767686.375, 0, 9);
    s.SetValue(kD1, -2345.678, 0, 8);
    s.SetValue(kD2, -1827.813, 0, 3);
    s.SetValue(kP1, 24767685.1, 4, 9);
    const std::vector<std::string> lines = Lines(EpochText(e, 0x7F));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1] + "\r\n",
              L("  24767686.375 9  43647388.242 4     -2345.678 8  24767685.10049  24767684.82245"));
    EXPECT_EQ(lines[2] + "\r\n",
              L("  34011204.12346     -1827.813 3                                                "));
}

TEST(RinexObservationLines, SatellitesInPrnOrderWithTheirValues) {
    RinexEpoch e = EpochWithC1({});
    e.Sat(19).SetValue(kC1, 21000000.5);
    e.Sat(2).SetValue(kL1, 17984490.035);
    const std::vector<std::string> lines = Lines(EpochText(e, Bit(kC1) | Bit(kL1)));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(29, 9), "  2G 3G20");
    EXPECT_EQ(lines[1] + "\r\n",
              L("                  17984490.035                                                  "));
    EXPECT_EQ(lines[2] + "\r\n",
              L("  21000000.500                                                                  "));
}

TEST(RinexEventRecords, AntennaHeight) {
    EXPECT_EQ(AntennaHeightRecord(1.5),
              L("                            4  2                                                ") +
                  L("        1.5000        0.0000        0.0000                  ANTENNA: DELTA H/E/N") +
                  L("<< NEW ANTENNA HEIGHT >>                                    COMMENT             "));
}

TEST(RinexEventRecords, NewSiteWritesItsNameEvenWhenEmpty) {
    const std::string position =
        L(" -3976219.5082  3382372.5671  3652512.9849                  APPROX POSITION XYZ ");
    EXPECT_EQ(NewSiteRecord("SITE 2", -3976219.5082, 3382372.5671, 3652512.9849),
              L("                            3  3                                                ") +
                  L("SITE 2                                                      MARKER NAME         ") +
                  position +
                  L("<< NEW SITE OCCUPATION >>                                   COMMENT             "));
    EXPECT_EQ(Lines(NewSiteRecord("", -3976219.5082, 3382372.5671, 3652512.9849))[1] + "\r\n",
              L("                                                            MARKER NAME         "));
}

TEST(RinexEventRecords, Kinematic) {
    EXPECT_EQ(KinematicRecord("0759", -3976219.5082, 3382372.5671, 3652512.9849),
              L("                            2  0                                                ") +
                  L("                            4  3                                                ") +
                  L("0759                                                        MARKER NAME         ") +
                  L(" -3976219.5082  3382372.5671  3652512.9849                  APPROX POSITION XYZ ") +
                  L("<< FROM NOW ON KINEMATIC DATA >>                            COMMENT             "));
}

TEST(RinexEventRecords, ExternalEventIsDated) {
    EXPECT_EQ(EventRecord(GpsTime(1316, kApril2 + 60.0)),
              L("  5  4  2  0  1  0.0000000  5  0                                                ") +
                  L("                            4  1                                                ") +
                  L("<< AN EVENT FLAG WITH SIGNIFICANT EPOCH >>                  COMMENT             "));
    EXPECT_EQ(DatedEventLine(GpsTime(1316, kApril2 + 119.999999999), 5, 0),
              L("  5  4  2  0  2  0.0000000  5  0                                                "));
}
