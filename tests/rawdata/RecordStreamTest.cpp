#include "rawdata/RecordStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Framed {
    int kind;
    Bytes bytes;
    int64_t end;  // offset just after the record
};

// A stream of both formats' records with garbage, a record cut short and a
// partial record at the end.
Bytes Stream(int format) {
    Bytes out;
    auto add = [&](const std::string& s) { out.insert(out.end(), s.begin(), s.end()); };
    for (int i = 0; i < 300; ++i) {
        const std::string body(static_cast<size_t>(5 + i % 40), static_cast<char>('a' + i % 26));
        const char letter = "QEURM"[i % 5];
        if (format == 1) {
            add(std::string("\xFE") + letter + body + std::string("\x00\x00\xFF", 3));
            if (i % 17 == 0) add("\x10\x20junk");
            if (i % 29 == 0) add(std::string("\xFE") + letter + "cut");
        } else {
            add("\x02#00" + std::string(1, letter) + body + "\x03");
            if (i % 17 == 0) add("\r\njunk");
            if (i % 29 == 0) add("\x02#00Qcut");
        }
    }
    add(format == 1 ? "\xFEQpartial" : "\x02#00Qpartial");
    return out;
}

// Every record the format's file class reads from the stream written to a file.
std::vector<Framed> FromFile(const Bytes& bytes, int format) {
    ScopedTempDir dir;
    const std::string path = dir.Write("stream.raw", bytes);
    auto file = CreateDataFile(format);
    EXPECT_TRUE(file->Open(path, CFile::modeRead));
    std::vector<Framed> out;
    std::vector<uint8_t> buffer(kRecordBufferSize + 1);
    int length = 0;
    for (int kind; (kind = file->ReadRecord(buffer.data(), length)) != kRecordEnd;)
        out.push_back({kind, Bytes(buffer.begin(), buffer.begin() + length), file->GetPosition()});
    return out;
}

// Fed in pieces of every size, the stream gives the records the file gives, each
// with the offset after it (where a restarted reader goes on).
TEST(RecordStream, GivesTheFileRecordsWhateverThePiecesTheBytesComeIn) {
    for (const int format : {0, 1}) {
        const Bytes bytes = Stream(format);
        const std::vector<Framed> expected = FromFile(bytes, format);
        ASSERT_EQ(expected.size(), 300u);  // the cut records are skipped
        for (const size_t piece : {size_t{1}, size_t{3}, size_t{64}, size_t{5000}, bytes.size()}) {
            SCOPED_TRACE("format " + std::to_string(format) + ", pieces of " + std::to_string(piece));
            RecordStream stream(format);
            std::vector<Framed> got;
            Bytes record;
            for (size_t at = 0; at < bytes.size(); at += piece) {
                stream.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
                for (int kind; (kind = stream.Next(record)) != kRecordEnd;)
                    got.push_back({kind, record, stream.Consumed()});
            }
            ASSERT_EQ(got.size(), expected.size());
            for (size_t i = 0; i < got.size(); ++i) {
                EXPECT_EQ(got[i].kind, expected[i].kind) << i;
                EXPECT_EQ(got[i].bytes, expected[i].bytes) << i;
                EXPECT_EQ(got[i].end, expected[i].end) << i;
            }
        }
    }
}

}  // namespace
