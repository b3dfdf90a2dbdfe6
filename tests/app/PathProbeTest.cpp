#include "app/dialog/PathProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/TempDir.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Sets the modification time of path to a local calendar date and time.
void SetLocalModificationTime(const std::string& path, int year, int month, int day, int hour, int minute) {
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
}

TEST(ProbePath, AsciiFileSplitsIntoDirectoryTitleAndExtension) {
    ScopedTempDir dir;
    const std::string path = dir.Write("Site.Day1.raw", std::string(2000, 'A'));
    PathProbe p;
    ASSERT_TRUE(ProbePath(path, p, "/default"));
    EXPECT_TRUE(p.exists);
    EXPECT_TRUE(p.ascii);
    EXPECT_EQ(p.directory, dir.Path());
    EXPECT_EQ(p.title, "Site.Day1");  // case kept, split at the last "."
    EXPECT_EQ(p.extension, "raw");
}

TEST(ProbePath, HighBitByteWithinTheFirst1000BytesMeansBinary) {
    ScopedTempDir dir;
    std::vector<uint8_t> early(1500, 'x');
    early[999] = 128;
    std::vector<uint8_t> late(1500, 'x');
    late[1000] = 0xFF;
    PathProbe p;
    ASSERT_TRUE(ProbePath(dir.Write("early.bin", early), p, ""));
    EXPECT_FALSE(p.ascii);
    ASSERT_TRUE(ProbePath(dir.Write("late.bin", late), p, ""));
    EXPECT_TRUE(p.ascii);
    ASSERT_TRUE(ProbePath(dir.Write("short.bin", std::vector<uint8_t>{1, 2, 200}), p, ""));
    EXPECT_FALSE(p.ascii);
}

TEST(ProbePath, NameWithoutDotHasAnEmptyExtension) {
    ScopedTempDir dir;
    PathProbe p;
    ASSERT_TRUE(ProbePath(dir.Write("ALGO", "data"), p, ""));
    EXPECT_EQ(p.title, "ALGO");
    EXPECT_EQ(p.extension, "");
}

TEST(ProbePath, RelativePathsGetTheirFullDirectory) {
    ScopedTempDir dir;
    dir.Write("rel.raw", "data");
    std::filesystem::create_directory(dir.File("sub"));
    const std::string saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    PathProbe p;
    const bool ok = ProbePath("./sub/../rel.raw", p, "");
    std::filesystem::current_path(saved);
    ASSERT_TRUE(ok);
    EXPECT_EQ(p.directory, dir.Path());
    EXPECT_EQ(p.title, "rel");
}

TEST(ProbePath, ModificationTimeIsLocalTimeInDays) {
    ScopedTempDir dir;
    const std::string path = dir.Write("dated.raw", "data");
    SetLocalModificationTime(path, 2001, 2, 3, 18, 0);
    PathProbe p;
    ASSERT_TRUE(ProbePath(path, p, ""));
    // 3 February 2001 is day 7699 after 6 January 1980; 18:00 is 0.75 day.
    EXPECT_NEAR(p.modified, 7699.75, 1e-9);
    EXPECT_EQ(std::floor(p.modified), 7699.0);
}

TEST(ProbePath, PathThatCanBeCreatedProbesTrueAndLeavesNothingBehind) {
    ScopedTempDir dir;
    const std::string path = dir.File("ALGO0340.01O");
    PathProbe p;
    ASSERT_TRUE(ProbePath(path, p, ""));
    EXPECT_FALSE(p.exists);
    EXPECT_EQ(p.directory, dir.Path());
    EXPECT_EQ(p.title, "ALGO0340");
    EXPECT_EQ(p.extension, "01O");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ProbePath, UnusablePathsFailWithTheInitialValues) {
    ScopedTempDir dir;
    PathProbe p;
    EXPECT_FALSE(ProbePath(dir.File("missing/x.rnx"), p, "/default/RAW"));
    EXPECT_FALSE(p.exists);
    EXPECT_TRUE(p.ascii);
    EXPECT_EQ(p.directory, "/default/RAW");
    EXPECT_EQ(p.title, "");
    EXPECT_EQ(p.extension, "TXT");
    EXPECT_EQ(p.modified, 0.0);
    EXPECT_FALSE(ProbePath("", p, "/default/RAW"));
    EXPECT_FALSE(ProbePath(dir.File("*.RNX"), p, ""));  // a pattern, not a file
    EXPECT_FALSE(ProbePath(dir.File("ALGO.?"), p, ""));
    EXPECT_FALSE(std::filesystem::exists(dir.File("*.RNX")));
    EXPECT_FALSE(ProbePath(dir.Path(), p, ""));  // a folder is no file
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
}

// Probes path as an ordinary user: directly, or when the tests run as the
// super-user (who may read any file), in a child process that gave up its
// privileges to owner. Returns the probe's result, or -1 when that failed.
int ProbeAsOrdinaryUser(const std::string& path, uid_t owner) {
    if (geteuid() != 0) {
        PathProbe p;
        return ProbePath(path, p, "") ? 1 : 0;
    }
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(owner) != 0 || setuid(owner) != 0) _exit(3);
        PathProbe p;
        _exit(ProbePath(path, p, "") ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) <= 1 ? WEXITSTATUS(status) : -1;
}

TEST(ProbePath, ExistingEntriesThatCannotBeReadAreNeverReplaced) {
    ScopedTempDir dir;
    // A write-only file in a folder open to its owner: it cannot be opened for
    // reading but could be opened (and so emptied) for writing. It is refused and
    // keeps its content.
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    const std::string locked = dir.Write("locked.rnx", "precious");
    ASSERT_EQ(chown(locked.c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0200), 0);
    EXPECT_EQ(ProbeAsOrdinaryUser(locked, owner), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0600), 0);
    EXPECT_EQ(ReadAll(locked), "precious");
    PathProbe p;

    // A link to nowhere: refused, and neither the link nor its target is touched.
    const std::string link = dir.File("dangling.rnx");
    ASSERT_EQ(symlink(dir.File("target.rnx").c_str(), link.c_str()), 0);
    EXPECT_FALSE(ProbePath(link, p, ""));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_FALSE(std::filesystem::exists(dir.File("target.rnx")));

    // A named pipe: refused without waiting for a writer, and left in place.
    const std::string fifo = dir.File("pipe.rnx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ProbePath(fifo, p, ""));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(JoinPath, AddsTheExtensionOnlyWhenThereIsOne) {
    EXPECT_EQ(JoinPath("/data", "ALGO", "RNX"), "/data/ALGO.RNX");
    EXPECT_EQ(JoinPath("/data", "ALGO", ""), "/data/ALGO");
    EXPECT_EQ(JoinPath("", "x", "o"), "/x.o");
}

}  // namespace
