// RINEX 3.04 observation header and records, line by line as written by hand
// from the format's column definitions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/Rinex3ObsRecord.h"
#include "convert/rinex/RinexWriter.h"
#include "tests/convert/rinex/RinexLines.h"

namespace {

using rinextest::L;
using rinextest::Lines;

constexpr uint16_t kAllTypes = 0x7F;
// Saturday 2 April 2005, 00:00:00 GPS time.
constexpr double kApril2 = 518400.0;

RinexObsHeader FullHeader() {
    RinexObsHeader h;
    h.SetCreationDate(CalendarTime{2005, 4, 9, 12, 10, 5});
    h.timeZone = "UTC";
    h.SetComment("( Tr = Ts + 75 ms, using instantaneous dopplers )");
    h.markerName = "0759";
    h.markerNumber = "21759M001";
    h.observer = "GSI, JAPAN";
    h.agency = "GEOGRAPHICAL SURVEY INSTITUTE, JAPAN";
    h.receiverNumber = "00000";
    h.receiverType = "TRIMBLE 5700";
    h.receiverVersion = "1.24";
    h.antennaType = "TRM29659.00";
    h.SetApproxPosition(-3976219.5082, 3382372.5671, 3652512.9849);
    h.SetAntennaHeight(1.2345);
    h.SetTypeMask(kAllTypes);
    h.SetCn0Mask(1);
    h.SetInterval(30.0);
    h.SetFirstTime(GpsTime(1316, kApril2));
    h.SetLastTime(GpsTime(1316, kApril2 + 86370.0));
    return h;
}

}  // namespace

TEST(Rinex3ObsHeader, EveryRecordOfAFullHeader) {
    EXPECT_EQ(rinex3::ObsHeaderText(FullHeader()),
              L("     3.04           OBSERVATION DATA    G: GPS              RINEX VERSION / TYPE") +
                  L("QERN TO RINEX 3.30  QERN                20050409 121005 UTC PGM / RUN BY / DATE ") +
                  L("( Tr = Ts + 75 ms, using instantaneous dopplers )           COMMENT             ") +
                  L("C1W C2W L2W D2W: P-CODE OBSERVATIONS UNDER ANTI-SPOOFING    COMMENT             ") +
                  L("0759                                                        MARKER NAME         ") +
                  L("21759M001                                                   MARKER NUMBER       ") +
                  L("GSI, JAPAN          GEOGRAPHICAL SURVEY INSTITUTE, JAPAN    OBSERVER / AGENCY   ") +
                  L("00000               TRIMBLE 5700        1.24                REC # / TYPE / VERS ") +
                  L("                    TRM29659.00                             ANT # / TYPE        ") +
                  L(" -3976219.5082  3382372.5671  3652512.9849                  APPROX POSITION XYZ ") +
                  L("        1.2345        0.0000        0.0000                  ANTENNA: DELTA H/E/N") +
                  L("G    8 C1C L1C D1C S1C C1W C2W L2W D2W                      SYS / # / OBS TYPES ") +
                  L("DBHZ                                                        SIGNAL STRENGTH UNIT") +
                  L("    30.000                                                  INTERVAL            ") +
                  L("  2005     4     2     0     0    0.0000000     GPS         TIME OF FIRST OBS   ") +
                  L("  2005     4     2    23    59   30.0000000     GPS         TIME OF LAST OBS    ") +
                  L("G L1C  0.00000                                              SYS / PHASE SHIFT   ") +
                  L("G L2W  0.00000                                              SYS / PHASE SHIFT   ") +
                  L("                                                            END OF HEADER       "));
}

TEST(Rinex3ObsHeader, RequiredRecordsWrittenBlankAndOptionalOnesLeftOut) {
    // No texts, L1 types only, no carrier-to-noise density, a 20 Hz interval and a
    // first epoch a hair below a whole minute.
    RinexObsHeader h;
    h.SetCreationDate(CalendarTime{2001, 4, 9, 12, 10, 0});
    h.SetTypeMask((1u << kC1) | (1u << kL1) | (1u << kD1));
    h.SetInterval(0.05);
    h.SetFirstTime(GpsTime(1316, kApril2 + 59.99999999));
    h.SetLastTime(GpsTime(1316, kApril2 + 59.99999999));
    EXPECT_EQ(rinex3::ObsHeaderText(h),
              L("     3.04           OBSERVATION DATA    G: GPS              RINEX VERSION / TYPE") +
                  L("QERN TO RINEX 3.30  QERN                20010409 121000 LCL PGM / RUN BY / DATE ") +
                  L("                                                            MARKER NAME         ") +
                  L("                                                            OBSERVER / AGENCY   ") +
                  L("                                                            REC # / TYPE / VERS ") +
                  L("                                                            ANT # / TYPE        ") +
                  L("        0.0000        0.0000        0.0000                  APPROX POSITION XYZ ") +
                  L("        0.0000        0.0000        0.0000                  ANTENNA: DELTA H/E/N") +
                  L("G    3 C1C L1C D1C                                          SYS / # / OBS TYPES ") +
                  L("     0.050                                                  INTERVAL            ") +
                  L("  2005     4     2     0     1    0.0000000     GPS         TIME OF FIRST OBS   ") +
                  L("  2005     4     2     0     1    0.0000000     GPS         TIME OF LAST OBS    ") +
                  L("G L1C  0.00000                                              SYS / PHASE SHIFT   ") +
                  L("                                                            END OF HEADER       "));
}

TEST(Rinex3ObsHeader, TypeCodesOfEveryMaskAndContinuationLines) {
    struct Case {
        uint16_t typeMask;
        uint8_t cn0Mask;
        const char* codes;
    };
    const Case cases[] = {
        {kAllTypes, 3, "C1C L1C D1C S1C C1W C2W L2W D2W S2W"},
        {(1u << kP1) | (1u << kP2), 0, "C1W C2W"},
        {(1u << kL2) | (1u << kD2), 2, "L2W D2W S2W"},
        {1u << kC1, 1, "C1C S1C"},
    };
    for (const Case& c : cases) {
        RinexObsHeader h;
        h.SetTypeMask(c.typeMask);
        h.SetCn0Mask(c.cn0Mask);
        std::string joined;
        for (const std::string& code : rinex3::WrittenTypeCodes(h)) joined += (joined.empty() ? "" : " ") + code;
        EXPECT_EQ(joined, c.codes);
    }
    // Thirteen codes per line, then a continuation line of 6 blanks and the rest.
    std::vector<std::string> codes;
    for (int i = 0; i < 15; ++i) codes.push_back(i % 2 ? "L1C" : "C1C");
    EXPECT_EQ(rinex3::SysObsTypesRecords('G', codes),
              L("G   15 C1C L1C C1C L1C C1C L1C C1C L1C C1C L1C C1C L1C C1C  SYS / # / OBS TYPES ") +
                  L("       L1C C1C                                              SYS / # / OBS TYPES "));
}

TEST(Rinex3EpochText, EpochLineAndOneLinePerSatellite) {
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2 + 30.5);
    e.clockOffset = -0.000123456789;
    RinexSatValues& g05 = e.Sat(4);
    g05.SetValue(kC1, 21565852.19, 0, 7);
    g05.SetValue(kL1, 113326455.123, 1, 7);
    g05.SetValue(kD1, -1234.567, 0, 7);
    g05.SetCn0(0, 45.0);
    g05.SetValue(kP1, 21565853.5, 4, 6);
    g05.SetValue(kP2, 21565855.25, 4, 6);
    g05.SetValue(kL2, 88305020.75, 5, 6);
    g05.SetValue(kD2, -962.0, 4, 6);
    g05.SetCn0(1, 38.5);
    RinexSatValues& g12 = e.Sat(11);
    g12.SetValue(kC1, 24767686.375);
    g12.SetValue(kL1, -691177.898, 1);
    g12.SetCn0(0, 41.0);
    // A satellite with a value of a type outside the header's mask only is not listed.
    e.Sat(20).SetValue(kP1, 1.0);
    const std::vector<std::string> lines = Lines(rinex3::EpochText(e, kAllTypes & ~(1u << kP1), 3));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "> 2005 04 02 00 00 30.5000000  0  2      -0.000123456789");
    // C1C L1C D1C S1C C2W L2W D2W S2W, 16 columns each; S values carry no digits.
    EXPECT_EQ(lines[1],
              "G05  21565852.190 7 113326455.12317     -1234.567 7        45.000    21565855.25046"
              "  88305020.75056      -962.00046        38.500  ");
    EXPECT_EQ(lines[2],
              "G12  24767686.375     -691177.8981                         41.000                  "
              "                                                ");
}

TEST(Rinex3EpochText, EdgeCasesOfTheEpochLine) {
    struct Case {
        double seconds;      // after 2 April 2005 00:00:00
        double clockOffset;  // s
        const char* line;
    };
    const Case cases[] = {
        // A time a hair below a whole minute is written as that minute.
        {59.99999999, 0.0, "> 2005 04 02 00 01  0.0000000  0  0       0.000000000000"},
        {3723.25, 1.5e-3, "> 2005 04 02 01 02  3.2500000  0  0       0.001500000000"},
        // A clock offset beyond F15.12 (only a broken solution gives one) is left out.
        {0.0, -12.0, "> 2005 04 02 00 00  0.0000000  0  0"},
    };
    for (const Case& c : cases) {
        RinexEpoch e;
        e.time = GpsTime(1316, kApril2 + c.seconds);
        e.clockOffset = c.clockOffset;
        EXPECT_EQ(rinex3::EpochText(e, kAllTypes, 3), std::string(c.line) + "\r\n");
    }
    // A value too large for F14.3 leaves its field blank; the line keeps its columns.
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2);
    e.Sat(31).SetValue(kC1, 1e12);
    e.Sat(31).SetValue(kL1, 5.0);
    EXPECT_EQ(Lines(rinex3::EpochText(e, (1u << kC1) | (1u << kL1), 0))[1],
              "G32                         5.000  ");
}

TEST(Rinex3EventRecords, EveryEventRecord) {
    EXPECT_EQ(rinex3::AntennaHeightRecord(1.5432),
              ">                              4  2\r\n" +
                  L("        1.5432        0.0000        0.0000                  ANTENNA: DELTA H/E/N") +
                  L("<< NEW ANTENNA HEIGHT >>                                    COMMENT             "));
    EXPECT_EQ(rinex3::NewSiteRecord("SITE2", -3976219.5082, 3382372.5671, 3652512.9849),
              ">                              3  3\r\n" +
                  L("SITE2                                                       MARKER NAME         ") +
                  L(" -3976219.5082  3382372.5671  3652512.9849                  APPROX POSITION XYZ ") +
                  L("<< NEW SITE OCCUPATION >>                                   COMMENT             "));
    EXPECT_EQ(rinex3::KinematicRecord("0759", 1.0, -2.0, 3.5),
              ">                              2  0\r\n"
              ">                              4  3\r\n" +
                  L("0759                                                        MARKER NAME         ") +
                  L("        1.0000       -2.0000        3.5000                  APPROX POSITION XYZ ") +
                  L("<< FROM NOW ON KINEMATIC DATA >>                            COMMENT             "));
    EXPECT_EQ(rinex3::EventRecord(GpsTime(1316, kApril2 + 3723.25)),
              "> 2005 04 02 01 02  3.2500000  5  0\r\n"
              ">                              4  1\r\n" +
                  L("<< AN EVENT FLAG WITH SIGNIFICANT EPOCH >>                  COMMENT             "));
}

TEST(RinexWriter, ChosenByVersion) {
    const RinexObsHeader h = FullHeader();
    RinexEpoch e;
    e.time = GpsTime(1316, kApril2);
    // Version 3 gives the 3.04 texts, any other value the RINEX 2 ones.
    for (const int version : {2, 3, 0}) {
        const RinexWriter& w = RinexWriterFor(version);
        const bool v3 = version == 3;
        EXPECT_EQ(w.version, v3 ? 3 : 2);
        EXPECT_EQ(w.obsHeader(h), v3 ? rinex3::ObsHeaderText(h) : h.HeaderText());
        EXPECT_EQ(w.epoch(e, h).substr(0, 6), v3 ? "> 2005" : "  5  4");
        EXPECT_EQ(w.event(e.time).substr(0, 6), v3 ? "> 2005" : "  5  4");
        EXPECT_EQ(w.antennaHeight(1.0)[0], v3 ? '>' : ' ');
        EXPECT_EQ(w.navHeader(RinexNavHeader()).substr(0, 10), v3 ? "     3.04 " : "     2    ");
        EXPECT_EQ(w.navRecord(Ephemeris()).substr(0, 3), v3 ? "G01" : " 1 ");
    }
}
