#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/rinex/RinexObsHeader.h"
#include "tests/convert/rinex/RinexLines.h"

namespace {

using rinextest::L;
using rinextest::Lines;

// Saturday 2 April 2005, 00:00:00 GPS time.
constexpr double kApril2 = 518400.0;

RinexObsHeader FullHeader() {
    RinexObsHeader h;
    h.SetCreationDate(CalendarTime{2005, 4, 9, 12, 10, 41});
    h.SetComment("( Tr = Ts + 75 ms, using smoothed dopplers )");
    h.markerName = "0759";
    h.markerNumber = "21759M001";
    h.observer = "OPERATOR";
    h.agency = "GEOGRAPHICAL SURVEY INSTITUTE, JAPAN";
    h.receiverNumber = "00000";
    h.receiverType = "QERN Z12";
    h.receiverVersion = "1.24";
    h.antennaNumber = "123";
    h.antennaType = "QERN ANT";
    h.SetApproxPosition(-3976219.5082, 3382372.5671, 3652512.9849);
    h.SetAntennaHeight(1.2345);
    h.SetTypeMask((1u << kC1) | (1u << kL1) | (1u << kL2) | (1u << kP2));
    h.SetInterval(30.0);
    h.SetFirstTime(GpsTime(1316, kApril2));
    h.SetLastTime(GpsTime(1316, kApril2 + 3570.0));
    return h;
}

const std::string kVersionLine =
    L("     2              OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE");
const std::string kProgramLine =
    L("QERN TO RINEX 3.30  QERN                09-Apr-05 12:10     PGM / RUN BY / DATE ");
const std::string kPositionLine =
    L(" -3976219.5082  3382372.5671  3652512.9849                  APPROX POSITION XYZ ");
const std::string kWavelengthLine =
    L("     1     1                                                WAVELENGTH FACT L1/2");
const std::string kEndLine =
    L("                                                            END OF HEADER       ");

}  // namespace

TEST(RinexObsHeaderText, EveryRecordInOrderAndColumns) {
    const std::string expected =
        kVersionLine + kProgramLine +
        L("( Tr = Ts + 75 ms, using smoothed dopplers )                COMMENT             ") +
        L("0759                                                        MARKER NAME         ") +
        L("21759M001                                                   MARKER NUMBER       ") +
        L("OPERATOR            GEOGRAPHICAL SURVEY INSTITUTE, JAPAN    OBSERVER / AGENCY   ") +
        L("00000               QERN Z12            1.24                REC # / TYPE / VERS ") +
        L("123                 QERN ANT                                ANT # / TYPE        ") +
        kPositionLine +
        L("        1.2345        0.0000        0.0000                  ANTENNA: DELTA H/E/N") +
        kWavelengthLine +
        L("     4    C1    L1    P2    L2                              # / TYPES OF OBSERV ") +
        L("    30.0                                                    INTERVAL            ") +
        L("  2005     4     2     0     0    0.000000      GPS         TIME OF FIRST OBS   ") +
        L("  2005     4     2     0    59   30.000000      GPS         TIME OF LAST OBS    ") +
        kEndLine;
    EXPECT_EQ(FullHeader().HeaderText(), expected);
}

TEST(RinexObsHeaderText, EmptyTextsLeaveOptionalRecordsOutAndRequiredOnesBlank) {
    RinexObsHeader h = FullHeader();
    h.SetComment("");
    h.markerName.clear();
    h.markerNumber.clear();
    h.observer.clear();
    h.agency.clear();
    h.receiverNumber.clear();
    h.receiverType.clear();
    h.receiverVersion.clear();
    h.antennaNumber.clear();
    h.antennaType.clear();
    const std::vector<std::string> lines = Lines(h.HeaderText());
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1].substr(60), "PGM / RUN BY / DATE ");
    EXPECT_EQ(lines[2], std::string(60, ' ') + "OBSERVER / AGENCY   ");
    EXPECT_EQ(lines[3], std::string(60, ' ') + "REC # / TYPE / VERS ");
    EXPECT_EQ(lines[4], std::string(60, ' ') + "ANT # / TYPE        ");
    EXPECT_EQ(lines[5].substr(60), "APPROX POSITION XYZ ");
    EXPECT_EQ(lines[12].substr(60), "END OF HEADER       ");
}

TEST(RinexObsHeaderText, OneTextOfAGroupWritesTheRecord) {
    RinexObsHeader h;
    h.agency = "GSI";
    h.receiverVersion = "2.1";
    h.antennaType = "CHOKE";
    const std::string text = h.HeaderText();
    EXPECT_NE(text.find(L("                    GSI                                     OBSERVER / AGENCY   ")),
              std::string::npos);
    EXPECT_NE(text.find(L("                                        2.1                 REC # / TYPE / VERS ")),
              std::string::npos);
    EXPECT_NE(text.find(L("                    CHOKE                                   ANT # / TYPE        ")),
              std::string::npos);
    EXPECT_EQ(text.find("MARKER NAME"), std::string::npos);
    EXPECT_EQ(text.find("COMMENT"), std::string::npos);
}

TEST(RinexObsHeaderText, IntervalOnlyFromATenthOfASecond) {
    RinexObsHeader h;
    h.SetInterval(0.05);
    EXPECT_EQ(h.HeaderText().find("INTERVAL"), std::string::npos);
    h.SetInterval(0.0);
    EXPECT_EQ(h.HeaderText().find("INTERVAL"), std::string::npos);
    h.SetInterval(0.1);
    EXPECT_NE(h.HeaderText().find(L("     0.1                                                    INTERVAL            ")),
              std::string::npos);
    h.SetInterval(1.0);
    EXPECT_NE(h.HeaderText().find(L("     1.0                                                    INTERVAL            ")),
              std::string::npos);
}

TEST(RinexObsHeaderText, TypeListInFileOrder) {
    RinexObsHeader h;
    h.SetTypeMask((1u << kC1) | (1u << kL1) | (1u << kD1));
    EXPECT_NE(h.HeaderText().find(L("     3    C1    L1    D1                                    # / TYPES OF OBSERV ")),
              std::string::npos);
    h.SetTypeMask(0x7F);
    EXPECT_NE(h.HeaderText().find(L("     7    C1    L1    D1    P1    P2    L2    D2            # / TYPES OF OBSERV ")),
              std::string::npos);
    // Status bits above bit 6 are not observation types.
    h.SetTypeMask(static_cast<uint16_t>((1u << kD2) | (1u << 7) | (1u << 10)));
    EXPECT_NE(h.HeaderText().find(L("     1    D2                                                # / TYPES OF OBSERV ")),
              std::string::npos);
    // With no type at all the count is left blank too.
    h.SetTypeMask(0);
    EXPECT_NE(h.HeaderText().find(L("                                                            # / TYPES OF OBSERV ")),
              std::string::npos);
    // Only status bits: no observation type either.
    h.SetTypeMask(static_cast<uint16_t>(1u << 7));
    EXPECT_NE(h.HeaderText().find(L("                                                            # / TYPES OF OBSERV ")),
              std::string::npos);
}

TEST(RinexObsHeaderText, ObservationTimesCarryFractionalSeconds) {
    RinexObsHeader h;
    h.SetFirstTime(GpsTime(1316, kApril2 + 3600.0 + 7.125));
    // A hair below 01:00:00 prints as the whole minute, never as 60 seconds.
    h.SetLastTime(GpsTime(1316, kApril2 + 3599.9999999));
    const std::string text = h.HeaderText();
    EXPECT_NE(text.find(L("  2005     4     2     1     0    7.125000      GPS         TIME OF FIRST OBS   ")),
              std::string::npos);
    EXPECT_NE(text.find(L("  2005     4     2     1     0    0.000000      GPS         TIME OF LAST OBS    ")),
              std::string::npos);
}

TEST(RinexObsHeaderText, EveryLineIs80CharactersWithCrLf) {
    const std::string text = FullHeader().HeaderText();
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (const std::string& line : Lines(text)) EXPECT_EQ(line.size(), 80u) << line;
    EXPECT_EQ(text.size() % 82, 0u);
}

TEST(RinexObsHeaderText, NegativeAndLargePositionsKeepTheirColumns) {
    RinexObsHeader h;
    h.SetApproxPosition(0.0, -0.00004, 6378137.0);
    EXPECT_NE(h.HeaderText().find(L("        0.0000       -0.0000  6378137.0000                  APPROX POSITION XYZ ")),
              std::string::npos);
}
