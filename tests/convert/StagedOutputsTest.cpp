// Outputs written under temporary names and published together; temporary files
// of killed runs removed by the next run unless a running one holds them locked.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/StagedOutputs.h"
#include "tests/convert/DriverTestSupport.h"

using namespace drivertest;

namespace {

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The names in dir.
std::vector<std::string> Names(const ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File(""))) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(StagedOutputs, PublishesWholeFilesOrLeavesTheEarlierOnes) {
    ScratchDir dir;
    Write(dir.File("a.obs"), "old obs");
    Write(dir.File("a.nav"), "old nav");
    Write(dir.File(".qern2rinex-tmp-999999999-0-a.obs"), "left by a killed run");
    TempFile running;  // held locked by a run still going
    int error = 0;
    ASSERT_TRUE(CreateTempBeside(dir.File("b.obs"), running, error));
    {
        StagedOutputs staged;  // a failed run: nothing published
        Write(staged.Stage(dir.File("a.obs"), error, true), "new obs");
        Write(staged.Stage(dir.File("a.nav"), error), "new nav");
    }
    EXPECT_EQ(ReadAll(dir.File("a.obs")), "old obs");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{running.path.substr(running.path.rfind('/') + 1), "a.nav", "a.obs"}));
    StagedOutputs staged;
    Write(staged.Stage(dir.File("a.obs"), error, true), "new obs");
    Write(staged.Stage(dir.File("a.nav"), error), "new nav");
    std::string failed;
    ASSERT_TRUE(staged.Publish(failed, error));
    EXPECT_EQ(ReadAll(dir.File("a.obs")), "new obs");
    EXPECT_EQ(ReadAll(dir.File("a.nav")), "new nav");
    DiscardTemp(running);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.nav", "a.obs"}));
}
