// The IDialogControls contract on MemoryControls (test_gui runs it on the window).
#include <gtest/gtest.h>

#include "app/dialog/MemoryControls.h"
#include "tests/app/DialogControlsContract.h"

namespace {

class MemoryUnderTest : public ControlsUnderTest {
public:
    IDialogControls& Controls() override { return controls; }
    void Type(int id, const std::string& text) override {
        // What a person's typing does to a combo box: new text, no entry selected.
        controls.SetText(id, text);
        controls.SetSelection(id, -1);
    }
    int FocusId() override { return controls.FocusId(); }
    bool FocusSelectsText() override { return controls.FocusSelectsText(); }
    MemoryControls controls;
};

class DialogControlsContractTest : public ::testing::TestWithParam<ControlsContractCase> {};

TEST_P(DialogControlsContractTest, Holds) {
    MemoryUnderTest memory;
    EXPECT_EQ(GetParam().run(memory), "");
}

INSTANTIATE_TEST_SUITE_P(MemoryControls, DialogControlsContractTest, ::testing::ValuesIn(DialogControlsContract()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
