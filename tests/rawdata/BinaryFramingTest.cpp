#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "rawdata/DataFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameLength, CountsThroughTheFirstEndByte) {
    const Bytes r = {0xFE, 0x41, 0x01, 0x02, 0x00, 0x44, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(FrameLength(r.data(), static_cast<int>(r.size())), 7);
    const Bytes shortest = {0xFE, 0xFF};
    EXPECT_EQ(FrameLength(shortest.data(), 2), 2);
}

TEST(FrameLength, ZeroWithoutSyncOrEnd) {
    const Bytes noSync = {0x00, 0xFE, 0x41, 0xFF};
    EXPECT_EQ(FrameLength(noSync.data(), 4), 0);
    const Bytes noEnd = {0xFE, 0x41, 0x01, 0x02};
    EXPECT_EQ(FrameLength(noEnd.data(), 4), 0);
    // The end byte must lie within the given size.
    const Bytes endBeyond = {0xFE, 0x41, 0x01, 0xFF};
    EXPECT_EQ(FrameLength(endBeyond.data(), 3), 0);
    EXPECT_EQ(FrameLength(endBeyond.data(), 0), 0);
}

TEST(Unescape, ReplacesTheThreeEscapePairs) {
    Bytes r = {0xFE, 0x52, 0xFD, 0x00, 0x10, 0xFD, 0x01, 0xFD, 0x02, 0x20, 0xFF};
    const int n = Unescape(r.data(), static_cast<int>(r.size()));
    ASSERT_EQ(n, 8);
    const Bytes want = {0xFE, 0x52, 0xFD, 0x10, 0xFE, 0xFF, 0x20, 0xFF};
    EXPECT_EQ(Bytes(r.begin(), r.begin() + n), want);
}

TEST(Unescape, RecordWithoutEscapesIsUnchanged) {
    Bytes r = {0xFE, 0x41, 0x01, 0x02, 0x00, 0x44, 0xFF};
    const Bytes copy = r;
    EXPECT_EQ(Unescape(r.data(), 7), 7);
    EXPECT_EQ(r, copy);
}

// Each malformed record sits in a buffer of exactly its own size, so that a read or
// write outside it is caught by the address sanitizer.
int UnescapeExact(const Bytes& bytes) {
    std::unique_ptr<uint8_t[]> buf(new uint8_t[bytes.size()]);
    std::memcpy(buf.get(), bytes.data(), bytes.size());
    return Unescape(buf.get(), static_cast<int>(bytes.size()));
}

TEST(Unescape, BadPairsAndMalformedRecordsGiveZero) {
    EXPECT_EQ(UnescapeExact({0xFE, 0x52, 0xFD, 0x03, 0x10, 0xFF}), 0);
    EXPECT_EQ(UnescapeExact({0xFE, 0x52, 0xFD, 0xFD, 0x00, 0xFF}), 0);
    EXPECT_EQ(UnescapeExact({0xFE, 0x52, 0x10, 0xFD, 0xFF}), 0);  // escape byte before the end
    EXPECT_EQ(UnescapeExact({0xFE, 0xFD, 0xFF}), 0);
    EXPECT_EQ(UnescapeExact({0x00, 0x52, 0x10, 0xFF}), 0);  // no sync byte
    EXPECT_EQ(UnescapeExact({0xFE, 0x52, 0x10, 0x11}), 0);  // no end byte
    EXPECT_EQ(UnescapeExact({0xFE}), 0);
    EXPECT_EQ(Unescape(nullptr, 0), 0);
    EXPECT_EQ(UnescapeExact({0xFE, 0xFF}), 2);
}

TEST(Checksum, NeitherChecksumByteEscaped) {
    // 0x41 + 0x01 + 0x02 = 0x0044
    const Bytes r = {0xFE, 0x41, 0x01, 0x02, 0x00, 0x44, 0xFF};
    EXPECT_EQ(Checksum(r.data(), 7), 0x0044);
}

TEST(Checksum, EscapedBodyBytesCountAsSent) {
    // Body 0xFE sent as FD 01: 0x52 + 0xFD + 0x01 + 0x10 = 0x0160.
    const Bytes r = {0xFE, 0x52, 0xFD, 0x01, 0x10, 0x01, 0x60, 0xFF};
    EXPECT_EQ(Checksum(r.data(), 8), 0x0160);
    // A body ending in an escape pair before a plain checksum.
    // 0x52 + 0xFD + 0x02 = 0x0151
    const Bytes r2 = {0xFE, 0x52, 0xFD, 0x02, 0x01, 0x51, 0xFF};
    EXPECT_EQ(Checksum(r2.data(), 7), 0x0151);
}

TEST(Checksum, LowChecksumByteEscaped) {
    // 0x41 + 0xBD = 0x00FE; the low byte 0xFE is sent as FD 01.
    Bytes r = {0xFE, 0x41, 0xBD, 0x00, 0xFD, 0x01, 0xFF};
    EXPECT_EQ(Checksum(r.data(), 7), 0x00FE);
    const int n = Unescape(r.data(), 7);
    ASSERT_EQ(n, 6);
    EXPECT_EQ(BigEndian(r.data() + 3, 2), 0x00FEu);
}

// 0x41 + 258 * 0xFC (= 65016) + last = the wanted sum.
Bytes LongBody(uint8_t last) {
    Bytes r = {0xFE, 0x41};
    r.insert(r.end(), 258, 0xFC);
    r.push_back(last);
    return r;
}

TEST(Checksum, HighChecksumByteEscaped) {
    // 65 + 65016 + 0xD7 (215) = 65296 = 0xFF10; the high byte 0xFF is sent as FD 02.
    Bytes r = LongBody(0xD7);
    r.insert(r.end(), {0xFD, 0x02, 0x10, 0xFF});
    const int raw = static_cast<int>(r.size());
    EXPECT_EQ(Checksum(r.data(), raw), 0xFF10);
    const int n = Unescape(r.data(), raw);
    ASSERT_EQ(n, raw - 1);
    EXPECT_EQ(BigEndian(r.data() + n - 3, 2), 0xFF10u);
}

TEST(Checksum, BothChecksumBytesEscaped) {
    // 65 + 65016 + 0xC4 (196) = 65277 = 0xFEFD; sent as FD 01 FD 00.
    Bytes r = LongBody(0xC4);
    r.insert(r.end(), {0xFD, 0x01, 0xFD, 0x00, 0xFF});
    const int raw = static_cast<int>(r.size());
    EXPECT_EQ(Checksum(r.data(), raw), 0xFEFD);
    const int n = Unescape(r.data(), raw);
    ASSERT_EQ(n, raw - 2);
    EXPECT_EQ(BigEndian(r.data() + n - 3, 2), 0xFEFDu);
}

TEST(Checksum, HighEscapedAfterAnEscapedBodyByte) {
    // Body ends in 0xFF sent as FD 02; 65 + 65016 + 0xFD + 0x02 = 65336 = 0xFF38.
    Bytes r = {0xFE, 0x41};
    r.insert(r.end(), 258, 0xFC);
    r.insert(r.end(), {0xFD, 0x02, 0xFD, 0x02, 0x38, 0xFF});
    EXPECT_EQ(Checksum(r.data(), static_cast<int>(r.size())), 0xFF38);
}

TEST(Checksum, SumWrapsModulo65536) {
    // 0x41 + 260 * 0xFC = 65585 = 0x10031 -> 0x0031
    Bytes r = {0xFE, 0x41};
    r.insert(r.end(), 260, 0xFC);
    r.insert(r.end(), {0x00, 0x31, 0xFF});
    EXPECT_EQ(Checksum(r.data(), static_cast<int>(r.size())), 0x0031);
}

TEST(BigEndian, FirstByteMostSignificant) {
    const uint8_t b[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    EXPECT_EQ(BigEndian(b, 1), 0x12u);
    EXPECT_EQ(BigEndian(b, 2), 0x1234u);
    EXPECT_EQ(BigEndian(b, 3), 0x123456u);
    EXPECT_EQ(BigEndian(b, 4), 0x12345678u);
    EXPECT_EQ(BigEndian(b, 5), 0x12345678u);  // capped at four bytes
    EXPECT_EQ(BigEndian(b, 0), 0u);
    const uint8_t ff[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(BigEndian(ff, 4), 0xFFFFFFFFu);
}

TEST(RecordKinds, BinaryLetters) {
    EXPECT_EQ(BinaryRecordKind('R'), 6);
    EXPECT_EQ(BinaryRecordKind('Q'), 7);
    EXPECT_EQ(BinaryRecordKind('E'), 8);
    EXPECT_EQ(BinaryRecordKind('A'), 9);
    EXPECT_EQ(BinaryRecordKind('M'), 10);
    EXPECT_EQ(BinaryRecordKind('m'), 10);
    EXPECT_EQ(BinaryRecordKind('H'), 11);
    EXPECT_EQ(BinaryRecordKind('U'), 12);
    for (uint8_t c : {'I', 'G', 'L', 'T', 'V', 'r', 'e', 'u', 'h', '\0', '\xFF'})
        EXPECT_EQ(BinaryRecordKind(c), 1) << int(c);
}

TEST(RecordKinds, AsciiLetters) {
    EXPECT_EQ(AsciiRecordKind('I'), 2);
    EXPECT_EQ(AsciiRecordKind('G'), 3);
    EXPECT_EQ(AsciiRecordKind('L'), 5);
    EXPECT_EQ(AsciiRecordKind('R'), 6);
    EXPECT_EQ(AsciiRecordKind('Q'), 7);
    EXPECT_EQ(AsciiRecordKind('E'), 8);
    EXPECT_EQ(AsciiRecordKind('A'), 9);
    EXPECT_EQ(AsciiRecordKind('M'), 10);
    EXPECT_EQ(AsciiRecordKind('T'), 10);
    EXPECT_EQ(AsciiRecordKind('V'), 11);
    EXPECT_EQ(AsciiRecordKind('U'), 12);
    for (uint8_t c : {'H', 'm', 't', 'r', 'q', ' ', '\0', '\x03'})
        EXPECT_EQ(AsciiRecordKind(c), 1) << int(c);
}

}  // namespace
