#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "convert/rinex/RinexNav.h"
#include "tests/convert/rinex/RinexLines.h"
#include "tests/convert/rinex/RinexRealRecords.h"

namespace {

using rinextest::L;
using rinextest::Lines;
using rinextest::RealEphemerisPrn1;
using rinextest::RealIonoUtc;
using rinextest::Stored;

}  // namespace

TEST(RinexNavHeaderText, RealIonosphereAndUtcValues) {
    const RinexNavHeader h = MakeNavHeader(RealIonoUtc(), CalendarTime{2005, 4, 2, 9, 30, 0});
    EXPECT_EQ(NavHeaderText(h),
              L("     2              NAVIGATION DATA                         RINEX VERSION / TYPE") +
                  L("QERN TO RINEX 3.30  QERN                02-Apr-05 09:30     PGM / RUN BY / DATE ") +
                  L("    1.1180D-08  1.4900D-08 -5.9600D-08 -5.9600D-08          ION ALPHA           ") +
                  L("    8.8060D+04  1.6380D+04 -1.9660D+05 -1.3110D+05          ION BETA            ") +
                  L("   -2.793967723850D-09-5.329070518200D-15    61440     1317 DELTA-UTC: A0,A1,T,W") +
                  L("    13                                                      LEAP SECONDS        ") +
                  L("                                                            END OF HEADER       "));
}

TEST(RinexNavHeaderText, TruncatedReferenceTimeAndZeroRecord) {
    IonoUtc u;
    u.tot = 61440.9;
    RinexNavHeader h = MakeNavHeader(u, CalendarTime{2005, 4, 2, 9, 30, 0});
    EXPECT_EQ(h.T, 61440);
    EXPECT_EQ(h.W, 0);
    const std::vector<std::string> lines = Lines(NavHeaderText(h));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[4] + "\r\n",
              L("    0.000000000000D+00 0.000000000000D+00    61440        0 DELTA-UTC: A0,A1,T,W"));
}

TEST(RinexNavHeaderText, UtcWeekResolvedToTheFullWeekNearestTheReference) {
    EXPECT_EQ(ResolveUtcWeek(36, 1316), 1316);  // 1316 = 5 * 256 + 36
    EXPECT_EQ(ResolveUtcWeek(37, 1316), 1317);
    EXPECT_EQ(ResolveUtcWeek(35, 1316), 1315);
    EXPECT_EQ(ResolveUtcWeek(0, 1279), 1280);    // across the 8-bit roll-over
    EXPECT_EQ(ResolveUtcWeek(255, 1280), 1279);
    EXPECT_EQ(ResolveUtcWeek(36 + 127, 1316), 1443);
    EXPECT_EQ(ResolveUtcWeek(36 + 129, 1316), 1189);
    EXPECT_EQ(ResolveUtcWeek(37, 0), 37);  // no reference: kept as broadcast
}

TEST(RinexNavRecordText, RealEphemerisMatchesItsRecordInTheSourceFile) {
    EXPECT_EQ(NavRecordText(RealEphemerisPrn1()),
              L(" 1  5  4  2  2  0  0.0 3.966595977540D-04 1.705302565820D-12 0.000000000000D+00 ") +
                  L("    1.400000000000D+02-5.218750000000D+01 4.026596389650D-09 2.871534990340D+00 ") +
                  L("   -2.676621079440D-06 5.957618006510D-03 4.174187779430D-06 5.153636478420D+03 ") +
                  L("    5.256000000000D+05 1.061707735060D-07-2.493184817740D+00-9.313225746150D-08 ") +
                  L("    9.833919144490D-01 3.093750000000D+02-1.650496813270D+00-7.889971342930D-09 ") +
                  L("   -8.571785642400D-12 1.000000000000D+00 1.316000000000D+03 0.000000000000D+00 ") +
                  L("    1.000000000000D+00 0.000000000000D+00-3.259629011150D-09 3.960000000000D+02 ") +
                  L("    5.195760000000D+05                                                          "));
}

TEST(RinexNavRecordText, BinaryEphemerisHasZeroTransmissionTime) {
    Ephemeris e = RealEphemerisPrn1();
    e.recordTime = GpsTime();
    EXPECT_EQ(Lines(NavRecordText(e))[7] + "\r\n",
              L("    0.000000000000D+00                                                          "));
}

TEST(RinexNavRecordText, FirstLineIsDatedWithTheClockReferenceTime) {
    Ephemeris e = RealEphemerisPrn1();
    e.satellite = 4;
    e.af0 = 1e-4;
    e.af1 = -1e-11;
    // toe at the start of week 1317, toc 16 s before it, at the end of week 1316.
    e.week = 1317;
    e.toe = 0.0;
    e.toeTime = GpsTime(1317, 0.0);
    e.toc = 604784.0;
    EXPECT_EQ(Lines(NavRecordText(e))[0] + "\r\n",
              L(" 5  5  4  2 23 59 44.0 1.000000000000D-04-1.000000000000D-11 0.000000000000D+00 "));
    // toe at the end of week 1316, toc 16 s into week 1317.
    e.week = 1316;
    e.toe = 604000.0;
    e.toeTime = GpsTime(1316, 604000.0);
    e.toc = 16.0;
    EXPECT_EQ(Lines(NavRecordText(e))[0].substr(0, 22), " 5  5  4  3  0  0 16.0");
    // toc two hours after toe within the same week.
    e.week = 1316;
    e.toe = 518400.0;
    e.toeTime = GpsTime(1316, 518400.0);
    e.toc = 525600.0;
    EXPECT_EQ(Lines(NavRecordText(e))[0].substr(0, 22), " 5  5  4  2  2  0  0.0");
}

TEST(RinexNavRecordsText, StoreOrderIsToeThenPrn) {
    EphemerisStore store;
    std::unique_ptr<Ephemeris> prn12 = Stored(11, 1316, 525600.0);
    std::unique_ptr<Ephemeris> prn3 = Stored(2, 1316, 525600.0);
    std::unique_ptr<Ephemeris> prn12early = Stored(11, 1316, 518400.0);
    ASSERT_TRUE(store.Add(prn12));
    ASSERT_TRUE(store.Add(prn3));
    ASSERT_TRUE(store.Add(prn12early));
    const std::vector<std::string> lines = Lines(NavRecordsText(store));
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0].substr(0, 22), "12  5  4  2  0  0  0.0");
    EXPECT_EQ(lines[8].substr(0, 22), " 3  5  4  2  2  0  0.0");
    EXPECT_EQ(lines[16].substr(0, 22), "12  5  4  2  2  0  0.0");
    for (const std::string& line : lines) EXPECT_EQ(line.size(), 80u);
    // Every written record is healthy: the store refuses the others.
    for (int r = 0; r < 3; ++r) EXPECT_EQ(lines[8 * r + 6].substr(22, 19), " 0.000000000000D+00");
}

TEST(RinexNavRecordsText, EmptyStoreWritesNoRecord) {
    EphemerisStore store;
    EXPECT_EQ(NavRecordsText(store), "");
}
