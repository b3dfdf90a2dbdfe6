// Framing of binary records: escaping, checksum over the escaped bytes, escaped
// checksum, and the defects put in on request.
#include <gtest/gtest.h>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/BinaryFrame.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(BinaryFrame, EscapesTheThreeReservedBytesAndSumsTheEscapedBytes) {
    // 'Q' 0x51, body 01 FE FD FF: escaped 01 FD01 FD00 FD02;
    // sum = 0x51 + 0x01 + 0xFD + 0x01 + 0xFD + 0x00 + 0xFD + 0x02 = 844 = 0x34C.
    const std::string body{'\x01', '\xFE', '\xFD', '\xFF'};
    EXPECT_EQ(Bytes(FrameBinaryRecord('Q', body)),
              (std::vector<uint8_t>{0xFE, 0x51, 0x01, 0xFD, 0x01, 0xFD, 0x00, 0xFD, 0x02, 0x03, 0x4C, 0xFF}));
}

TEST(BinaryFrame, EscapesAChecksumByteThatIsReserved) {
    // 'U' 0x55 + 0xA8 = 0xFD: the low checksum byte goes out as FD 00.
    EXPECT_EQ(Bytes(FrameBinaryRecord('U', std::string{'\xA8'})),
              (std::vector<uint8_t>{0xFE, 0x55, 0xA8, 0x00, 0xFD, 0x00, 0xFF}));
}

TEST(BinaryFrame, FaultsChangeOnlyWhatTheyName) {
    FrameOptions checksum;
    checksum.checksumError = 1;
    EXPECT_EQ(Bytes(FrameBinaryRecord('Q', std::string{'\x01'}, checksum)),
              (std::vector<uint8_t>{0xFE, 0x51, 0x01, 0x00, 0x53, 0xFF}));
    FrameOptions escape;
    escape.badEscapeAt = 0;  // FD 05 before the first body byte, counted in the checksum
    EXPECT_EQ(Bytes(FrameBinaryRecord('Q', std::string{'\x01'}, escape)),
              (std::vector<uint8_t>{0xFE, 0x51, 0xFD, 0x05, 0x01, 0x01, 0x54, 0xFF}));
    FrameOptions cut;
    cut.truncateTo = 3;
    EXPECT_EQ(Bytes(FrameBinaryRecord('Q', std::string{'\x01', '\x02'}, cut)),
              (std::vector<uint8_t>{0xFE, 0x51, 0x01}));
}

TEST(BinaryFrame, BigAndLittleEndianFields) {
    std::string s;
    PutBigEndian(s, 0x123456, 3);
    PutBigEndian(s, 0xFFFF8000u, 2);
    PutLittleEndianDouble(s, 1.5);  // 0x3FF8000000000000
    PutBigEndian(s, 0x01020304u, 6);  // a 6-byte field: two zero bytes first
    EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x80, 0x00, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 1,
                                              2, 3, 4}));
}

// Records whose checksum has a reserved high byte (sum 0xFD00 or more) carry the checksum
// as an escape pair followed by the low byte; such records are valid and must decode.
TEST(BinaryFrame, RecordsWithAnEscapedChecksumHighByteDecode) {
    int found = 0;
    for (int satellites = 24; satellites <= 32; ++satellites) {
        for (int fill = 0x80; fill < 0xFD; ++fill) {
            // A "Q" epoch of single-frequency blocks without L1 whose bytes are mostly fill.
            std::string body;
            PutBigEndian(body, 0, 2);
            PutBigEndian(body, 2300, 2);
            PutBigEndian(body, 2592000, 3);
            PutBigEndian(body, 0, 4);
            body.push_back(0);
            for (int prn = 1; prn <= satellites; ++prn) {
                body.push_back(static_cast<char>(prn));
                body.push_back(static_cast<char>(fill));
                PutBigEndian(body, 700000000, 4);
                body.push_back(static_cast<char>(0x9C));  // L1 and L2 absent, cn0 code 28
                for (int k = 0; k < 8; ++k) body.push_back(static_cast<char>(fill));
            }
            std::string escaped = "Q";
            for (char c : body) PutEscaped(escaped, static_cast<uint8_t>(c));
            if (ByteSum(escaped) < 0xFD00) continue;
            const std::string record = FrameBinaryRecord('Q', body);
            const size_t n = record.size();
            ASSERT_EQ(static_cast<uint8_t>(record[n - 5]) == 0xFD || static_cast<uint8_t>(record[n - 4]) == 0xFD, true);
            ++found;
            std::vector<uint8_t> buffer(record.begin(), record.end());
            buffer.resize(kRecordBufferSize);
            ObservationEpoch epoch;
            uint16_t week = 2300;
            const uint16_t mask = CreateDecoder(1)->DecodeObservation(buffer.data(), static_cast<int>(n), epoch, week);
            EXPECT_NE(mask, 0) << satellites << " satellites, fill " << fill;
            EXPECT_NEAR(epoch.sat[satellites - 1].value[kC1], 0.07, 1e-12);
        }
    }
    EXPECT_GT(found, 10);
}

}  // namespace
