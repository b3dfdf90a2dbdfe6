// Quality plots drawn whole or not at all: a plotter that fails part way leaves
// the plots of before and no temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/dialog/QualityPlotter.h"
#include "tests/app/ProgramRunner.h"

using namespace programtest;

namespace {

// Writes "text" into each plot file, failing at plot failAt (-1 never).
class TextPlotter : public IQualityPlotter {
public:
    TextPlotter(std::string text, int failAt) : text_(std::move(text)), failAt_(failAt) {}
    std::vector<std::string> WritePlots(const QualitySummary&, const QualitySeries&, const std::string& prefix,
                                        std::string& error) override {
        std::vector<std::string> written;
        for (const char* name : {"sky", "cn0", "multipath", "satellites", "position-time", "position-scatter"}) {
            const std::string path = prefix + "." + name + ".png";
            std::ofstream(path) << (static_cast<int>(written.size()) == failAt_ ? "cut" : text_);
            if (static_cast<int>(written.size()) == failAt_) {
                error = "cannot write " + path;
                return {};
            }
            written.push_back(path);
        }
        return written;
    }

private:
    std::string text_;
    int failAt_;
};

}  // namespace

TEST(QualityPlotter, PlotsArePublishedWholeOrNotAtAll) {
    ScopedTempDir folder;
    const std::string obs = folder.File("y.obs");
    std::string error;
    TextPlotter first("old", -1);
    ASSERT_EQ(PublishPlots(first, {}, {}, obs, error).size(), 6u);
    TextPlotter failing("new", 3);
    EXPECT_TRUE(PublishPlots(failing, {}, {}, obs, error).empty());
    EXPECT_EQ(error, "cannot write " + obs + ".qc.satellites.png");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++files;
        EXPECT_EQ(ReadAll(entry.path().string()), "old") << entry.path();
    }
    EXPECT_EQ(files, 6u);  // no temporary file
}
