#include "rawdata/DataFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A binary record FE letter body checksum FF; the body bytes are sent as they are
// (callers pass bodies free of FD, FE, FF) and the checksum is left as two zero bytes.
Bytes BinRecord(char letter, const Bytes& body) {
    Bytes r = {0xFE, static_cast<uint8_t>(letter)};
    r.insert(r.end(), body.begin(), body.end());
    r.insert(r.end(), {0x00, 0x00, 0xFF});
    return r;
}

// A binary record of total length n whose body bytes carry the number tag.
Bytes BinRecordOfLength(char letter, int n, int tag) {
    Bytes body(static_cast<size_t>(n - 5));
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>((tag + i) % 0xF0);
    return BinRecord(letter, body);
}

// An ASCII record STX text ETX with the type letter at index 4.
std::string AsciiRecord(char letter, const std::string& rest) {
    return std::string("\x02") + "#00" + letter + rest + "\x03";
}

void Append(Bytes& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
void Append(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// Filler bytes: a simple repeating pattern that avoids the given bytes.
Bytes Filler(size_t n, std::initializer_list<uint8_t> avoid) {
    Bytes out;
    out.reserve(n);
    uint32_t x = 12345;
    while (out.size() < n) {
        x = x * 1103515245u + 12345u;
        const uint8_t b = static_cast<uint8_t>(x >> 16);
        bool bad = false;
        for (uint8_t a : avoid) bad = bad || a == b;
        if (!bad) out.push_back(b);
    }
    return out;
}

struct Read {
    int kind;
    Bytes bytes;
};

// Reads every record of a file (at most limit) with the format's file class.
std::vector<Read> ReadAll(const std::string& path, int format, size_t limit = 100000) {
    std::vector<Read> out;
    auto file = CreateDataFile(format);
    EXPECT_NE(file, nullptr);
    if (!file || !file->Open(path, CFile::modeRead)) {
        ADD_FAILURE() << "cannot open " << path;
        return out;
    }
    std::vector<uint8_t> buf(kRecordBufferSize);
    int length = -7;
    for (;;) {
        const int kind = file->ReadRecord(buf.data(), length);
        if (kind == kRecordEnd) {
            EXPECT_EQ(length, 0);
            break;
        }
        EXPECT_GT(length, 0);
        if (format == 0) {
            EXPECT_EQ(buf[static_cast<size_t>(length)], 0) << "ASCII copy is zero-terminated";
        }
        out.push_back({kind, Bytes(buf.begin(), buf.begin() + length)});
        if (out.size() >= limit) break;
    }
    // Further calls keep reporting the end.
    if (out.size() < limit) {
        EXPECT_EQ(file->ReadRecord(buf.data(), length), kRecordEnd);
    }
    return out;
}

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

class DataFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    std::string Write(const Bytes& b) { return dir.Write("f" + std::to_string(++n) + ".raw", b); }
    ScopedTempDir dir;
    int n = 0;
};

TEST_F(DataFileTest, CreateByFormatIndex) {
    EXPECT_NE(dynamic_cast<CKVarDataFile*>(CreateDataFile(0).get()), nullptr);
    EXPECT_NE(dynamic_cast<CKBinDataFile*>(CreateDataFile(1).get()), nullptr);
    EXPECT_EQ(CreateDataFile(2), nullptr);
    EXPECT_EQ(CreateDataFile(-1), nullptr);
}

TEST_F(DataFileTest, BaseClassReadsNothing) {
    const std::string path = Write(BinRecord('R', {1, 2}));
    CDataFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeRead));
    uint8_t buf[16] = {};
    int length = 5;
    EXPECT_EQ(f.ReadRecord(buf, length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(f.GetPosition(), 0);
}

TEST_F(DataFileTest, EmptyFileEndsAtOnce) {
    const std::string path = Write({});
    EXPECT_TRUE(ReadAll(path, 1).empty());
    EXPECT_TRUE(ReadAll(path, 0).empty());
}

TEST_F(DataFileTest, FileNotOpenEndsAtOnce) {
    CKBinDataFile f;
    std::vector<uint8_t> buf(kRecordBufferSize);
    int length = 3;
    EXPECT_EQ(f.ReadRecord(buf.data(), length), kRecordEnd);
    EXPECT_EQ(length, 0);
}

TEST_F(DataFileTest, BinaryRecordsAndTheBytesBetweenThem) {
    Bytes f = {0x00, 0x11, 0xFF, 0x22};  // noise before the first sync byte
    Append(f, BinRecord('R', {1, 2, 3}));
    Append(f, Bytes{0x33, 0xFF, 0x44});  // noise between records
    Append(f, BinRecord('E', {4}));
    Append(f, BinRecord('U', {}));
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].kind, 6);
    EXPECT_EQ(recs[0].bytes, (Bytes{0xFE, 'R', 1, 2, 3, 0, 0, 0xFF}));
    EXPECT_EQ(recs[1].kind, 8);
    EXPECT_EQ(recs[1].bytes, (Bytes{0xFE, 'E', 4, 0, 0, 0xFF}));
    EXPECT_EQ(recs[2].kind, 12);
}

TEST_F(DataFileTest, BinaryRecordStartsAtTheLastSyncBeforeTheEnd) {
    Bytes f = {0xFE, 'Q', 0x01, 0xFE, 0xFE, 'H', 0x07, 0x00, 0x00, 0xFF};
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].kind, 11);
    EXPECT_EQ(recs[0].bytes, (Bytes{0xFE, 'H', 0x07, 0x00, 0x00, 0xFF}));
}

TEST_F(DataFileTest, BinaryRecordCutOffByTheEndOfTheFile) {
    Bytes f = BinRecord('M', {9});
    Append(f, Bytes{0xFE, 'R', 0x01, 0x02, 0x03});
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].kind, 10);
}

TEST_F(DataFileTest, BinaryLetterTable) {
    Bytes f;
    for (char c : std::string("RQEAMmHUTIZ")) Append(f, BinRecord(c, {0x10}));
    Append(f, Bytes{0xFE, 0xFF});  // the shortest frame: its letter is the end byte
    const auto recs = ReadAll(Write(f), 1);
    std::vector<int> kinds;
    for (const auto& r : recs) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<int>{6, 7, 8, 9, 10, 10, 11, 12, 1, 1, 1, 1}));
}

TEST_F(DataFileTest, BinaryRecordsAcrossBufferRefills) {
    // 100-byte records, so that record 327 straddles the 32767-byte fill and later ones
    // straddle the next fills; one gap byte after every seventh record.
    Bytes f;
    std::vector<Bytes> want;
    for (int i = 0; i < 1000; ++i) {
        want.push_back(BinRecordOfLength(i % 2 ? 'R' : 'Q', 100, i));
        Append(f, want.back());
        if (i % 7 == 0) f.push_back(0x5A);
    }
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(recs[i].bytes, want[i]) << "record " << i;
        EXPECT_EQ(recs[i].kind, i % 2 ? 6 : 7);
    }
}

TEST_F(DataFileTest, LongBinaryRecordAcrossARefill) {
    Bytes f = Filler(32000, {0xFE});
    const Bytes big = BinRecordOfLength('E', 5000, 3);
    Append(f, big);
    Append(f, BinRecord('U', {1}));
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].bytes, big);
    EXPECT_EQ(recs[1].kind, 12);
}

TEST_F(DataFileTest, LargestBinaryRecordFitsTheBuffer) {
    Bytes f = {0x01, 0x02};
    const Bytes big = BinRecordOfLength('R', 32767, 1);
    Append(f, big);
    Append(f, BinRecord('Q', {2}));
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].bytes, big);
    EXPECT_EQ(recs[1].kind, 7);
}

// A long stretch that cannot hold a record must not end the reading: every good
// record after it is still returned.
TEST_F(DataFileTest, BinaryReadingGoesOnAfterALongStretchWithoutSync) {
    Bytes f = BinRecord('U', {1});
    Append(f, Filler(40000, {0xFE}));  // contains end bytes but no sync byte
    std::vector<Bytes> want;
    for (char c : std::string("RQEMmHU")) {
        want.push_back(BinRecord(c, {0x21, 0x22}));
        Append(f, want.back());
    }
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 8u);
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(recs[i + 1].bytes, want[i]);
}

TEST_F(DataFileTest, BinaryReadingGoesOnAfterAnUnterminatedRecord) {
    for (bool withSyncs : {false, true}) {
        Bytes f = {0xFE, 'R'};
        // 40000 bytes without an end byte; in the second file with sync bytes among them.
        Append(f, withSyncs ? Filler(40000, {0xFF}) : Filler(40000, {0xFE, 0xFF}));
        std::vector<Bytes> want;
        for (int i = 0; i < 500; ++i) {
            want.push_back(BinRecordOfLength("RQEMmHU"[i % 7], 60 + i % 13, i));
            Append(f, want.back());
        }
        const auto recs = ReadAll(Write(f), 1);
        ASSERT_EQ(recs.size(), want.size()) << "with syncs " << withSyncs;
        for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(recs[i].bytes, want[i]) << i;
    }
}

TEST_F(DataFileTest, BinaryRecordTooLongForTheBufferIsDropped) {
    Bytes f = BinRecordOfLength('R', 40000, 0);
    Append(f, BinRecord('Q', {5}));
    Append(f, BinRecord('E', {6}));
    const auto recs = ReadAll(Write(f), 1);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].bytes, BinRecord('Q', {5}));
    EXPECT_EQ(recs[1].bytes, BinRecord('E', {6}));
}

TEST_F(DataFileTest, AsciiRecordsAndTheTextBetweenThem) {
    Bytes f = B("junk before\r\n");
    Append(f, AsciiRecord('R', " 1316 518400.0\n 12 0.0712\n"));
    Append(f, B("\r\n"));
    Append(f, AsciiRecord('E', " data"));
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].kind, 6);
    EXPECT_EQ(recs[0].bytes, B(AsciiRecord('R', " 1316 518400.0\n 12 0.0712\n")));
    EXPECT_EQ(recs[1].kind, 8);
    EXPECT_EQ(recs[1].bytes, B("\x02#00E data\x03"));
}

TEST_F(DataFileTest, AsciiRecordStartsAtTheLastStxBeforeTheEtx) {
    const Bytes f = B("\x02#00R broken \x02#00V 1.234\x03");
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].kind, 11);
    EXPECT_EQ(recs[0].bytes, B("\x02#00V 1.234\x03"));
}

TEST_F(DataFileTest, AsciiRecordCutOffByTheEndOfTheFile) {
    Bytes f = B(AsciiRecord('U', " x"));
    Append(f, B("\x02#00R 1316 5184"));
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].kind, 12);
}

TEST_F(DataFileTest, AsciiLetterTable) {
    Bytes f;
    for (char c : std::string("IGLRQEAMTVUHmZ")) Append(f, B(AsciiRecord(c, " x")));
    Append(f, B("\x02\x03"));        // too short to carry a letter
    Append(f, B("\x02" "abc\x03"));  // index 4 is the ETX
    const auto recs = ReadAll(Write(f), 0);
    std::vector<int> kinds;
    for (const auto& r : recs) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<int>{2, 3, 5, 6, 7, 8, 9, 10, 10, 11, 12, 1, 1, 1, 1, 1}));
}

TEST_F(DataFileTest, AsciiRecordsAcrossBufferRefills) {
    Bytes f;
    std::vector<std::string> want;
    for (int i = 0; i < 2000; ++i) {
        std::string text = " " + std::to_string(i) + " ";
        text.append(static_cast<size_t>(i % 50), 'x');
        text += "\n";
        want.push_back(AsciiRecord(i % 3 ? 'R' : 'E', text));
        Append(f, B(want.back()));
        Append(f, B("\r\n"));
    }
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(recs[i].bytes, B(want[i])) << i;
}

TEST_F(DataFileTest, AsciiReadingGoesOnAfterLongStretches) {
    Bytes f = B(AsciiRecord('U', " first"));
    Append(f, Filler(40000, {0x02}));  // no STX at all
    Append(f, B(AsciiRecord('R', " second")));
    Append(f, B("\x02#00Q unterminated"));
    Append(f, Filler(40000, {0x03}));  // no ETX (STX bytes among them)
    for (char c : std::string("RQEMTVU")) Append(f, B(AsciiRecord(c, " after")));
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), 9u);
    EXPECT_EQ(recs[1].bytes, B(AsciiRecord('R', " second")));
    EXPECT_EQ(recs[2].bytes, B(AsciiRecord('R', " after")));
    EXPECT_EQ(recs[8].bytes, B(AsciiRecord('U', " after")));
}

TEST_F(DataFileTest, AsciiZeroBytesDoNotHideTheRecordsAfterThem) {
    Bytes f = B(AsciiRecord('R', " a"));
    Append(f, Bytes(100, 0x00));
    Append(f, B(AsciiRecord('Q', " b")));
    const auto recs = ReadAll(Write(f), 0);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[1].bytes, B(AsciiRecord('Q', " b")));
}

TEST_F(DataFileTest, LogicalPositionCountsConsumedBytesOnly) {
    Bytes f = {0x00, 0x00};
    Append(f, BinRecord('R', {1, 2, 3}));  // ends at 10
    Append(f, BinRecord('Q', {1}));        // ends at 16
    Append(f, Bytes{0xFE, 'R'});           // an unfinished record: 18 bytes in all
    const std::string path = Write(f);
    CKBinDataFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    EXPECT_EQ(file.GetLength(), 18);
    EXPECT_EQ(file.GetPosition(), 0);
    uint8_t buf[kRecordBufferSize];
    int length = 0;
    ASSERT_EQ(file.ReadRecord(buf, length), 6);
    EXPECT_EQ(file.GetPosition(), 10);
    ASSERT_EQ(file.ReadRecord(buf, length), 7);
    EXPECT_EQ(file.GetPosition(), 16);
    EXPECT_EQ(file.ReadRecord(buf, length), kRecordEnd);
    EXPECT_EQ(file.GetPosition(), 16);
}

TEST_F(DataFileTest, LogicalPositionAcrossRefills) {
    Bytes f;
    for (int i = 0; i < 700; ++i) Append(f, BinRecordOfLength('R', 100, i));
    CKBinDataFile file;
    ASSERT_TRUE(file.Open(Write(f), CFile::modeRead));
    uint8_t buf[kRecordBufferSize];
    int length = 0;
    for (int i = 1; i <= 700; ++i) {
        ASSERT_EQ(file.ReadRecord(buf, length), 6);
        ASSERT_EQ(file.GetPosition(), 100 * i) << i;
    }
}

TEST_F(DataFileTest, AsciiLogicalPosition) {
    Bytes f = B("ab");
    Append(f, B(AsciiRecord('R', "12")));  // 8 bytes, ends at 10
    Append(f, B("\n"));
    Append(f, B(AsciiRecord('E', "")));    // 6 bytes, ends at 17
    Append(f, B("\n"));
    CKVarDataFile file;
    ASSERT_TRUE(file.Open(Write(f), CFile::modeRead));
    uint8_t buf[kRecordBufferSize];
    int length = 0;
    ASSERT_EQ(file.ReadRecord(buf, length), 6);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(file.GetPosition(), 10);
    ASSERT_EQ(file.ReadRecord(buf, length), 8);
    EXPECT_EQ(file.GetPosition(), 17);
    // The trailing line feed stays buffered: it was never consumed by a record.
    EXPECT_EQ(file.ReadRecord(buf, length), kRecordEnd);
    EXPECT_EQ(file.GetPosition(), 17);
}

}  // namespace
