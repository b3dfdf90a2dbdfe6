// The one rule of the paths a conversion may write: never a source, never another
// output of the run, never through a link or into a folder, FIFO or device.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "convert/OutputSet.h"
#include "tests/convert/DriverTestSupport.h"

using namespace drivertest;

TEST(OutputSet, ListsEveryFileAskedFor) {
    ConversionRequest r;
    r.sourcePath = "A.BIN";
    r.observationPath = "Y.obs";
    r.navigationPath = "Y.nav";
    EXPECT_EQ(OutputSetOf(r).outputs.size(), 2u);
    r.logFile = true;
    r.qualityPlots = true;
    const OutputSet set = OutputSetOf(r);
    ASSERT_EQ(set.outputs.size(), 11u);  // obs, nav, .log, .pos, .qc and six plots
    EXPECT_EQ(set.outputs[4].path, "Y.obs.qc");
    EXPECT_EQ(set.outputs[5].path, "Y.obs.qc.sky.png");
    EXPECT_EQ(set.sources, std::vector<std::string>{"A.BIN"});
}

TEST(OutputSet, RefusesClashesLinksAndSpecialFiles) {
    const struct {
        const char* what;
        const char* source;
        const char* obs;
        const char* nav;
        const char* part;    // a second piece of a splice ("" none)
        const char* link;    // a symbolic link made at this name ("" none)
        const char* fifo;    // a FIFO made at this name
        const char* folder;  // a folder made at this name
        const char* reason;  // "" accepted
    } cases[] = {
        {"plain", "A.BIN", "Y.obs", "Y.nav", "", "", "", "", ""},
        {"observation is the source", "A.BIN", "a.bin", "Y.nav", "", "", "", "", "the observation file would be the source file"},
        {"plot is the source", "Y.obs.qc.sky.png", "Y.obs", "Y.nav", "", "", "", "", "the quality plot would be the source file"},
        {"splice piece", "A.BIN", "Y.obs", "B.BIN", "B.BIN", "", "", "", "the navigation file would be the source file"},
        {"log is navigation", "A.BIN", "Y.obs", "Y.OBS.LOG", "", "", "", "", "the log file would be the navigation file"},
        {"link", "A.BIN", "Y.obs", "Y.nav", "", "Y.nav", "", "", "is a symbolic link"},
        {"FIFO", "A.BIN", "Y.obs", "Y.nav", "", "", "Y.obs.pos", "", "is not a regular file (a FIFO or a device)"},
        {"folder", "A.BIN", "Y.obs", "Y.nav", "", "", "", "Y.obs.qc", "is a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        ConversionRequest r;
        r.sourcePath = dir.File(c.source);
        if (*c.part) r.sourceParts = {r.sourcePath, dir.File(c.part)};
        r.observationPath = dir.File(c.obs);
        r.navigationPath = dir.File(c.nav);
        r.logFile = true;
        r.qualityPlots = true;
        if (*c.link) std::filesystem::create_symlink(dir.File("victim.txt"), dir.File(c.link));
        if (*c.fifo) {
            ASSERT_EQ(mkfifo(dir.File(c.fifo).c_str(), 0600), 0);
        }
        if (*c.folder) std::filesystem::create_directory(dir.File(c.folder));
        const std::optional<OutputRefusal> refusal = CheckOutputSet(OutputSetOf(r));
        EXPECT_EQ(refusal ? refusal->reason : "", c.reason);
    }
}
