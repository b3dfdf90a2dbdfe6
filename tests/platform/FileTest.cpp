#include "platform/File.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "tests/platform/TempDir.h"

namespace {

TEST(File, OpenMissingFileFails) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    CFile f;
    EXPECT_FALSE(f.Open(dir.File("missing.bin"), CFile::modeRead));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.GetLength(), -1);
    EXPECT_EQ(f.GetPosition(), 0);
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0u);
    EXPECT_FALSE(f.Write("x", 1));
    EXPECT_TRUE(f.Close());  // closing a closed file is harmless
}

TEST(File, WriteThenReadBack) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string path = dir.File("data.bin");
    {
        CFile out;
        ASSERT_TRUE(out.Open(path, CFile::modeWrite));
        EXPECT_EQ(out.GetFilePath(), path);
        EXPECT_TRUE(out.Write("hello, ", 7));
        EXPECT_TRUE(out.Write("world", 5));
        EXPECT_EQ(out.GetPosition(), 12);
        EXPECT_TRUE(out.Close());
    }
    CFile in;
    ASSERT_TRUE(in.Open(path, CFile::modeRead));
    EXPECT_EQ(in.GetLength(), 12);
    char buf[32] = {};
    EXPECT_EQ(in.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "hello");
    EXPECT_EQ(in.GetPosition(), 5);
    // A read past the end returns what is left, then 0.
    EXPECT_EQ(in.Read(buf, sizeof buf), 7u);
    EXPECT_EQ(std::string(buf, 7), ", world");
    EXPECT_EQ(in.Read(buf, sizeof buf), 0u);
    EXPECT_EQ(in.Read(buf, 0), 0u);
    ASSERT_TRUE(in.Seek(7));
    EXPECT_EQ(in.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "world");
}

TEST(File, WriteModeTruncates) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string path = dir.Write("t.txt", std::string("0123456789"));
    CFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeWrite));
    EXPECT_TRUE(f.Write("ab", 2));
    EXPECT_TRUE(f.Flush());
    EXPECT_EQ(f.GetLength(), 2);
}

TEST(File, ReopenClosesThePreviousFile) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string a = dir.Write("a.txt", std::string("AAAA"));
    const std::string b = dir.Write("b.txt", std::string("BB"));
    CFile f;
    ASSERT_TRUE(f.Open(a, CFile::modeRead));
    ASSERT_TRUE(f.Open(b, CFile::modeRead));
    EXPECT_EQ(f.GetLength(), 2);
    EXPECT_EQ(f.GetFilePath(), b);
}

// A sequence reads its files as one stream, across the joins within one read, with
// position and length over all of them; an empty file in it is passed over.
TEST(File, SequenceReadsItsFilesOneAfterTheOther) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::vector<std::string> paths = {dir.Write("a", "abc"), dir.Write("empty", ""), dir.Write("b", "defgh"),
                                            dir.Write("c", "ij")};
    CFile in;
    ASSERT_TRUE(in.OpenSequence(paths));
    EXPECT_EQ(in.GetLength(), 10);
    char text[16] = {};
    EXPECT_EQ(in.Read(text, 4), 4u);
    EXPECT_EQ(in.GetPosition(), 4);
    EXPECT_EQ(in.Read(text + 4, 16), 6u);
    EXPECT_STREQ(text, "abcdefghij");
    EXPECT_EQ(in.Read(text, 1), 0u);
    EXPECT_EQ(in.GetPosition(), 10);

    CFile refused;
    EXPECT_FALSE(refused.OpenSequence({paths[0], dir.File("missing")}));
    EXPECT_FALSE(refused.OpenSequence({paths[0], dir.Path()}));
    EXPECT_FALSE(refused.OpenSequence({}));
    EXPECT_FALSE(refused.IsOpen());
}

TEST(File, ExistenceAndModificationTime) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string path = dir.Write("x.txt", std::string("x"));
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.File("none")));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
    EXPECT_FALSE(DirectoryExists(path));
    std::time_t t = 0;
    EXPECT_TRUE(FileModificationTime(path, t));
    const std::time_t now = std::time(nullptr);
    EXPECT_LE(std::abs(static_cast<long long>(now - t)), 600);
    EXPECT_FALSE(FileModificationTime(dir.File("none"), t));
}

}  // namespace

// gzip files read as the data they hold: members one after the other, within a
// sequence of plain and compressed files; a cut one fails the read.
TEST(File, GzipFilesReadAsTheirData) {
    ScopedTempDir dir;
    ASSERT_TRUE(dir.Ok());
    const std::string a = dir.Write("a", "abc"), b = dir.Write("b", "defgh"), cut = dir.File("cut.gz");
    ASSERT_EQ(std::system(("gzip -n -c " + a + " " + b + " > " + a + ".gz && gzip -n -c " + b + " > " + b +
                           ".gz && head -c 20 " + b + ".gz > " + cut)
                              .c_str()),
              0);
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        {{a + ".gz"}, "abcdefgh", 0}, {{a, b + ".gz", a}, "abcdefghabc", 0}, {{cut}, "", CFile::kErrorDamagedGzip}};
    for (const auto& [paths, expected, error] : cases) {
        CFile in;
        ASSERT_TRUE(in.OpenSequence(paths));
        std::string data(16, '\0');
        data.resize(in.Read(data.data(), 5) + in.Read(data.data() + 5, 11));  // across a member and a file
        EXPECT_EQ(error ? "" : data, expected);  // a cut file may give some of its data first
        EXPECT_EQ(in.Error(), error);
        EXPECT_EQ(in.GetPosition(), static_cast<int64_t>(data.size()));
    }
}
