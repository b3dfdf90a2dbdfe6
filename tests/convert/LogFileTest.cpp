#include <gtest/gtest.h>

#include <sstream>

#include "convert/LogFile.h"

namespace {

ObservationEpoch RawEpoch() {
    ObservationEpoch e;
    e.time = GpsTime(1316, 345600.0);
    SatObservation& s = e.Sat(5);  // PRN 6
    s.SetValue(kC1, 0.0712345678);
    s.SetValue(kL1, 1234.5);
    s.SetValue(kD1, -123.25);
    s.SetStatus(3, 0x20);  // DQI 2
    s.SetStatus(0, 0x43);  // DQI 2, lock counter 3
    s.SetCn0(44);
    return e;
}

}  // namespace

TEST(LogFile, ShortLinesForDataWithoutL2) {
    RinexEpoch out;
    out.Sat(5).SetValue(kC1, 21355555.125, 0, 8);
    out.Sat(5).SetValue(kL1, 0.5, 1, 8);
    out.Sat(5).SetValue(kD1, 123.25, 0, 8);
    EXPECT_EQ(LogLines(RawEpoch(), 0.0012, out, false, true),
              "T\tSV\tC1\tDQI\tL1\tDQI\tCLCI\tD1\tCN0\tTr0\tC1\tLLI\tSNR\tL1\tLLI\tSNR\tD1\tLLI\tSNR\r\n"
              "345600.0\t6\t0.0712345678\t2\t1234.500\t2\t3\t-123.250\t44\t0.0012000000\t21355555.125\t0\t8"
              "\t0.500\t1\t8\t123.250\t0\t8\r\n");
    // Not the first epoch: no header line.
    EXPECT_EQ(LogLines(RawEpoch(), 0.0, out, false, false).substr(0, 9), "345600.0\t");
}

TEST(LogFile, LongLinesPrintMissingValuesAsZero) {
    RinexEpoch out;
    out.Sat(5).SetValue(kC1, 1.0, 0, 8);
    const std::string text = LogLines(RawEpoch(), 0.0, out, true, false);
    EXPECT_EQ(text,
              "345600.0\t6\t0.0712345678\t2\t1234.500\t2\t3\t-123.250\t0.0000000000\t0.0000000000\t0\t0.000\t0\t0"
              "\t0.000\t44\t0\t0.0000000000\t1.000\t0\t8\t0.000\t0\t0\t0.000\t0\t0\t0.000\t0\t0\t0.000\t0\t0"
              "\t0.000\t0\t0\t0.000\t0\t0\r\n");
    EXPECT_EQ(LogHeaderLine(true),
              "T\tSV\tC1\tDQI\tL1\tDQI\tCLCI\tD1\tP1\tP2\tDQI\tL2\tDQI\tCLCI\tD2\tCN0\tAS\tTr0\tC1\tLLI\tSNR\tL1\tLLI"
              "\tSNR\tD1\tLLI\tSNR\tP1\tLLI\tSNR\tP2\tLLI\tSNR\tL2\tLLI\tSNR\tD2\tLLI\tSNR\r\n");
}

TEST(LogFile, EpochWithoutCodeGivesOnlyTheHeader) {
    ObservationEpoch raw;
    raw.Sat(0).SetValue(kL1, 5.0);
    EXPECT_EQ(LogLines(raw, 0.0, RinexEpoch(), true, true), LogHeaderLine(true));
    EXPECT_EQ(LogLines(raw, 0.0, RinexEpoch(), true, false), "");
}

TEST(LogFile, PositionLines) {
    EXPECT_EQ(PositionLine(GpsTime(1316, 7.25), -4052052.7349, 4212836.2011, -2545104.5891, -1.5e-7, true),
              "T\tX geo\tY geo\tZ geo\tTr0\r\n7.2\t-4052052.735\t4212836.201\t-2545104.589\t-0.0000001500\r\n");
    EXPECT_EQ(PositionLine(GpsTime(), 1, 2, 3, 0, false), "0.0\t1.000\t2.000\t3.000\t0.0000000000\r\n");
}

TEST(LogFile, HugeValuesKeepTheirLineWhole) {
    // A phase of 1e300 cycles and a Doppler of 1e300 Hz print with 301 digits before
    // the point each, side by side in the raw columns.
    ObservationEpoch raw = RawEpoch();
    raw.Sat(5).SetValue(kL1, 1e300);
    raw.Sat(5).SetValue(kD1, 1e300);
    RinexEpoch out;
    out.Sat(5).SetValue(kD1, -1e300, 0, 8);
    const std::string text = LogLines(raw, 0.0, out, true, false);
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    int tabs = 0;
    for (char ch : text) tabs += ch == '\t';
    EXPECT_EQ(tabs, 38);  // 39 columns
    std::vector<std::string> columns;
    std::istringstream fields(text.substr(0, text.size() - 2));
    for (std::string f; std::getline(fields, f, '\t');) columns.push_back(f);
    ASSERT_EQ(columns.size(), 39u);
    EXPECT_EQ(columns[4].size(), 305u);  // raw L1
    EXPECT_EQ(columns[4].substr(0, 12), "100000000000");
    EXPECT_EQ(columns[4].substr(301), ".000");
    EXPECT_EQ(columns[7], columns[4]);        // raw D1
    EXPECT_EQ(columns[24], "-" + columns[4]);  // written D1
    EXPECT_EQ(columns[26], "8");
    const std::string tail = "\t0.000\t0\t0\r\n";  // D2 not written
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}
