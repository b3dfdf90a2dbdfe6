// Progress of the three passes: 0 at the start of each pass, then the share of the
// source read after every fetch of a record (the end of the data included).
#include <gtest/gtest.h>

#include "tests/convert/DriverTestSupport.h"

using namespace drivertest;

namespace {

// A silent person that keeps every progress value and status text.
class ProgressRecorder : public ScriptedUi {
public:
    void SetStatus(const std::string& text) override {
        statuses.push_back(text);
        positions.emplace_back();
    }
    void SetPosition(unsigned percent) override { positions.back().push_back(percent); }

    std::vector<std::vector<unsigned>> positions;  // per status text
};

}  // namespace

TEST(PassProgress, EveryFetchReportsTheShareReadSoFar) {
    ScratchDir dir;
    {
        // Four epoch records of equal length: 25 % of the file each.
        RawFile raw(dir.File("Q.RAW"));
        for (int i = 0; i < 4; ++i) raw.Add(Epoch('Q', 345600.0 + 30.0 * i));
        raw.Close();
    }
    ConversionState state;
    ProgressRecorder ui;
    ASSERT_TRUE(RunConversion(Request(dir, dir.File("Q.RAW")), state, ui).success);
    ASSERT_EQ(ui.statuses, (std::vector<std::string>{"Reading source file...", "Writing observation file...",
                                                      "Writing navigation file..."}));
    // Fetches of records 2, 3 and 4, then the fetch that finds the end of the data.
    const std::vector<unsigned> sourcePass{0, 50, 75, 100, 100};
    EXPECT_EQ(ui.positions[0], sourcePass);
    EXPECT_EQ(ui.positions[1], sourcePass);
    EXPECT_EQ(ui.positions[2], std::vector<unsigned>{0});  // no ephemeris to write
}
