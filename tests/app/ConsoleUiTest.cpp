#include "app/ConsoleUi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "convert/StringTable.h"

namespace {

// An input stream holding text, closed at the end of the test.
struct Input {
    explicit Input(const std::string& text) : buffer(text) {
        file = fmemopen(buffer.data(), buffer.size(), "r");
    }
    ~Input() {
        if (file) std::fclose(file);
    }
    std::string buffer;
    std::FILE* file = nullptr;
};

bool AskOverwrite(ConsoleUi& ui) {
    return ui.ShowMessage(kStrOverwrite, MessageIcon::Question, {"/out/x.o\n"});
}

TEST(ConsoleUi, AQuestionIsAnsweredOnTheTerminal) {
    Input yes("y\n");
    ConsoleUi a(false, yes.file, true);
    a.printMessages = false;
    EXPECT_TRUE(AskOverwrite(a));
    Input no("no\n");
    ConsoleUi b(false, no.file, true);
    b.printMessages = false;
    EXPECT_FALSE(AskOverwrite(b));
    Input empty("");
    ConsoleUi c(false, empty.file, true);
    c.printMessages = false;
    EXPECT_FALSE(AskOverwrite(c));  // end of input: No
}

TEST(ConsoleUi, WithoutAPersonAQuestionCountsAsNo) {
    Input yes("y\n");
    ConsoleUi ui(false, yes.file, false);
    ui.printMessages = false;
    EXPECT_FALSE(AskOverwrite(ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "Output file(s) :\n\n/out/x.o\n\nalready exist(s) !\n\nOverwrite existing file(s) ?");
    // Other messages are only reported.
    EXPECT_TRUE(ui.ShowMessage(kStrInvalidPath, MessageIcon::Stop));
}

TEST(ConsoleChooser, AFolderIsTypedOrKept) {
    Input keep("\n");
    ConsoleChooser a(keep.file, true);
    std::string folder = "/data/RAW";
    EXPECT_TRUE(a.ChooseDirectory(folder));
    EXPECT_EQ(folder, "/data/RAW");

    Input typed("/data/out/\n");
    ConsoleChooser b(typed.file, true);
    EXPECT_TRUE(b.ChooseDirectory(folder));
    EXPECT_EQ(folder, "/data/out");

    Input nothing("");
    ConsoleChooser c(nothing.file, true);
    EXPECT_FALSE(c.ChooseDirectory(folder));

    ConsoleChooser d(typed.file, false);
    EXPECT_FALSE(d.ChooseDirectory(folder));
    std::string path = "/data/*.*";
    EXPECT_FALSE(d.ChooseFile(FileDialogMode::Open, path, {}, 0));
    EXPECT_EQ(path, "/data/*.*");
}

}  // namespace
