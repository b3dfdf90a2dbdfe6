#include "rawdata/RecordScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rawdata/RecordKind.h"
#include "tests/platform/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Sends one byte of a binary record body, escaping 0xFD, 0xFE and 0xFF.
void PutEscaped(Bytes& out, uint8_t b) {
    if (b >= 0xFD) {
        out.push_back(0xFD);
        out.push_back(static_cast<uint8_t>(b - 0xFD));
    } else {
        out.push_back(b);
    }
}

// A framed binary record: sync, letter, escaped body, checksum over the letter and the
// escaped body (16-bit, big-endian, escaped), end byte.
Bytes Frame(char letter, const Bytes& body) {
    Bytes r = {0xFE, static_cast<uint8_t>(letter)};
    for (uint8_t b : body) PutEscaped(r, b);
    unsigned sum = 0;
    for (size_t i = 1; i < r.size(); ++i) sum += r[i];
    PutEscaped(r, static_cast<uint8_t>((sum >> 8) & 0xFF));
    PutEscaped(r, static_cast<uint8_t>(sum & 0xFF));
    r.push_back(0xFF);
    return r;
}

// Body of a satellite-dated epoch of week 1316 (0x0524) with one satellite block:
// C1 = 0.0712345 s (0x2A7585A8 x 1e-10 s), status byte 0x13, L1, D1, two status bytes.
Bytes EpochR(uint8_t towHigh, uint8_t towMid, uint8_t towLow, uint8_t prn) {
    return {0x00, 0x00, 0x05, 0x24, towHigh, towMid, towLow,
            0x00,                                      // epoch status: single frequency
            prn,  0x2A, 0x75, 0x85, 0xA8, 0x13,        // PRN, C1, S
            0x01, 0x23, 0x45, 0x00, 0x01, 0x00,        // L1, D1
            0x21, 0x50};                               // status[0], status[3]
}

// Body of a receiver-dated epoch of week 1316 with one satellite block.
Bytes EpochQ(uint8_t towHigh, uint8_t towMid, uint8_t towLow) {
    return {0x00, 0x00, 0x05, 0x24, towHigh, towMid, towLow,
            0x00, 0x00, 0x00, 0x00,                    // not interpreted
            0x00,                                      // epoch status
            0x05, 0x00, 0x2A, 0x70, 0x42, 0x00, 0x13,  // PRN 5, x, C1, S
            0x01, 0x23, 0x45, 0x00, 0x01, 0x00, 0x21, 0x50};
}

void Append(Bytes& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
void Append(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

class RecordScanTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    ScopedTempDir dir;
};

TEST_F(RecordScanTest, BinaryFileCountsKindsAndEpochSpan) {
    Bytes f;
    Append(f, Frame('R', EpochR(0x4F, 0x1B, 0x2C, 12)));  // 518430.0 s
    Append(f, Frame('Q', EpochQ(0x4F, 0x1A, 0x00)));      // 518400.0 s
    Append(f, Frame('E', Bytes(76, 0x00)));
    Append(f, Frame('m', Bytes(88, 0x20)));
    Append(f, Frame('M', Bytes(17, 0x00)));
    Append(f, Frame('Z', {1, 2, 3}));
    Append(f, Frame('R', EpochR(0x4F, 0x1C, 0x58, 12)));  // 518460.0 s
    Append(f, Frame('R', EpochR(0x4F, 0x1C, 0x58, 40)));  // PRN 40: invalid
    Bytes badSum = Frame('Q', EpochQ(0x4F, 0x1A, 0x00));
    badSum[badSum.size() - 2] ^= 0x01;                    // checksum off by one
    Append(f, badSum);
    Append(f, Bytes{0xFE, 'R', 0x00});                    // cut off by the end
    const std::string path = dir.Write("scan.bin", f);

    const RecordScan s = ScanRawFile(path, 1);
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.formatIndex, 1);
    EXPECT_EQ(s.fileLength, static_cast<int64_t>(f.size()));
    EXPECT_EQ(s.records, 9);
    EXPECT_EQ(s.perKind[kRecordSatelliteDated], 3);
    EXPECT_EQ(s.perKind[kRecordReceiverDated], 2);
    EXPECT_EQ(s.perKind[kRecordEphemeris], 1);
    EXPECT_EQ(s.perKind[kRecordSiteEvent], 2);
    EXPECT_EQ(s.perKind[kRecordOther], 1);
    EXPECT_EQ(s.perKind[kRecordIonoUtc], 0);
    EXPECT_EQ(s.validEpochs, 3);
    EXPECT_EQ(s.invalidEpochs, 2);
    EXPECT_EQ(s.firstEpoch, GpsTime(1316, 518400.0));
    EXPECT_EQ(s.lastEpoch, GpsTime(1316, 518460.0));

    const std::string report = FormatRecordScan(s, path);
    EXPECT_NE(report.find("File: " + path + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Format: binary, " + std::to_string(f.size()) + " bytes\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("Records: 9\n"), std::string::npos) << report;
    EXPECT_NE(report.find("  satellite-dated epoch (R)           3\n"), std::string::npos) << report;
    EXPECT_NE(report.find("  site or time event (M, m)           2\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("ionosphere/UTC"), std::string::npos) << report;
    EXPECT_NE(report.find("Epochs: 3 valid, 2 invalid\n"), std::string::npos) << report;
    EXPECT_NE(report.find("First epoch: 2005-04-02 00:00:00 (week 1316, 518400.000 s)\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("Last epoch:  2005-04-02 00:01:00 (week 1316, 518460.000 s)\n"),
              std::string::npos) << report;
}

std::string AsciiEpoch(char letter, const std::string& seconds, int prn) {
    return std::string("\x02") + "00," + letter + ",!" + letter + ",1316," + seconds +
           "\nCA\nS," + std::to_string(prn) + ",712345000,1234567,-1234,45,0,21,5F\n\x03";
}

TEST_F(RecordScanTest, AsciiFileCountsKindsAndEpochSpan) {
    Bytes f;
    Append(f, "header text\r\n");
    Append(f, AsciiEpoch('Q', "518400.0", 7));
    Append(f, "\r\n");
    Append(f, AsciiEpoch('Q', "518401.0", 7));
    Append(f, std::string("\x02") + "00%V  1316 5184010   1500\x03");
    Append(f, AsciiEpoch('R', "518402.0", 40));  // PRN 40: invalid
    Append(f, std::string("\x02") + "00,T,!T,1316,518400.5\n\x03");
    const std::string path = dir.Write("scan.txt", f);

    const RecordScan s = ScanRawFile(path, 0);
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.records, 5);
    EXPECT_EQ(s.perKind[kRecordReceiverDated], 2);
    EXPECT_EQ(s.perKind[kRecordSatelliteDated], 1);
    EXPECT_EQ(s.perKind[kRecordAntennaHeight], 1);
    EXPECT_EQ(s.perKind[kRecordSiteEvent], 1);
    EXPECT_EQ(s.validEpochs, 2);
    EXPECT_EQ(s.invalidEpochs, 1);
    EXPECT_EQ(s.firstEpoch, GpsTime(1316, 518400.0));
    EXPECT_EQ(s.lastEpoch, GpsTime(1316, 518401.0));
    const std::string report = FormatRecordScan(s, path);
    EXPECT_NE(report.find("Format: ASCII,"), std::string::npos) << report;
    EXPECT_NE(report.find("  antenna height (V)                  1\n"), std::string::npos) << report;
    EXPECT_NE(report.find("  site or time event (M, T)           1\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Last epoch:  2005-04-02 00:00:01 (week 1316, 518401.000 s)\n"),
              std::string::npos) << report;
}

TEST_F(RecordScanTest, FileWithoutEpochsReportsNoSpan) {
    const std::string path = dir.Write("empty.bin", Bytes{});
    const RecordScan s = ScanRawFile(path, 1);
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.records, 0);
    EXPECT_EQ(s.validEpochs, 0);
    const std::string report = FormatRecordScan(s, path);
    EXPECT_NE(report.find("Records: 0\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Epochs: 0 valid, 0 invalid\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("First epoch"), std::string::npos) << report;
}

TEST_F(RecordScanTest, MissingFileAndUnknownFormat) {
    const RecordScan missing = ScanRawFile(dir.File("none.bin"), 1);
    EXPECT_FALSE(missing.opened);
    EXPECT_NE(FormatRecordScan(missing, "none.bin").find("Cannot open the file.\n"),
              std::string::npos);
    const std::string path = dir.Write("x.bin", Bytes{0xFE, 'R', 0xFF});
    const RecordScan unknown = ScanRawFile(path, 7);
    EXPECT_FALSE(unknown.opened);
    EXPECT_NE(FormatRecordScan(unknown, path).find("Unknown raw data format.\n"),
              std::string::npos);
}

TEST_F(RecordScanTest, GuessFormatIndexFromTheFirstThousandBytes) {
    EXPECT_EQ(GuessFormatIndex(dir.Write("a.txt", std::string("\x02" "00,Q,!Q,1316,0\r\n\tx\x03"))), 0);
    EXPECT_EQ(GuessFormatIndex(dir.Write("b.bin", Bytes{'a', 'b', 0xFE, 'R'})), 1);
    EXPECT_EQ(GuessFormatIndex(dir.Write("c.bin", Bytes{'a', 0x00, 'b'})), 1);
    EXPECT_EQ(GuessFormatIndex(dir.Write("d.bin", Bytes{'a', 0x7F})), 1);
    EXPECT_EQ(GuessFormatIndex(dir.Write("e.bin", Bytes{0x01})), 1);
    EXPECT_EQ(GuessFormatIndex(dir.Write("empty", Bytes{})), 0);
    // Only the first 1000 bytes are looked at.
    Bytes late(999, 'x');
    late.push_back(0xFE);
    EXPECT_EQ(GuessFormatIndex(dir.Write("late1.txt", late)), 1);
    late.insert(late.begin(), 'x');
    EXPECT_EQ(GuessFormatIndex(dir.Write("late2.txt", late)), 0);
    EXPECT_EQ(GuessFormatIndex(dir.File("missing")), -1);
}

TEST(RecordKindName, NamesFollowTheFormatsLetters) {
    EXPECT_EQ(RecordKindName(11, 1), "antenna height (H)");
    EXPECT_EQ(RecordKindName(11, 0), "antenna height (V)");
    EXPECT_EQ(RecordKindName(10, 1), "site or time event (M, m)");
    EXPECT_EQ(RecordKindName(10, 0), "site or time event (M, T)");
    EXPECT_EQ(RecordKindName(7, 0), "receiver-dated epoch (Q)");
    EXPECT_EQ(RecordKindName(4, 0), "unknown");
}

}  // namespace
