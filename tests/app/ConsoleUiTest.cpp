#include "app/cli/ConsoleUi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "convert/StringTable.h"
#include "tests/platform/TempDir.h"

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
    EXPECT_TRUE(AskOverwrite(a));
    Input no("no\n");
    ConsoleUi b(false, no.file, true);
    EXPECT_FALSE(AskOverwrite(b));
    Input empty("");
    ConsoleUi c(false, empty.file, true);
    EXPECT_FALSE(AskOverwrite(c));  // end of input: No
}

TEST(ConsoleUi, WithoutAPersonAQuestionCountsAsNo) {
    Input yes("y\n");
    ConsoleUi ui(false, yes.file, false);
    EXPECT_FALSE(AskOverwrite(ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "Output file(s) :\n\n/out/x.o\n\nalready exist(s) !\n\nOverwrite existing file(s) ?");
    // Other messages are only reported.
    EXPECT_TRUE(ui.ShowMessage(kStrInvalidPath, MessageIcon::Stop));
}

TEST(ConsoleUi, TheRawKindQuestionIsAskedOnTheTerminal) {
    Input satellite("x\n0\n");  // a wrong answer is asked again
    ConsoleUi a(false, satellite.file, true);
    RecordKind kind = kRecordReceiverDated;
    EXPECT_EQ(a.AskRawKind(kind), Answer::Person);
    EXPECT_EQ(kind, kRecordSatelliteDated);

    Input enter("\n");
    ConsoleUi b(false, enter.file, true);
    kind = kRecordReceiverDated;
    EXPECT_EQ(b.AskRawKind(kind), Answer::Person);
    EXPECT_EQ(kind, kRecordReceiverDated);  // the preselected receiver-dated data

    Input end("");
    ConsoleUi c(false, end.file, true);
    EXPECT_EQ(c.AskRawKind(kind), Answer::Cancelled);  // end of input

    Input unused("0\n");
    ConsoleUi d(false, unused.file, false);  // nobody at the terminal
    kind = kRecordReceiverDated;
    EXPECT_EQ(d.AskRawKind(kind), Answer::Default);
    EXPECT_EQ(kind, kRecordReceiverDated);
}

TEST(ConsoleUi, TheApproximatePositionIsTypedInDegreesAndMetres) {
    Input typed("45.5\nabc\n-75.25\n\n");
    ConsoleUi a(false, typed.file, true);
    ApproximatePosition p;
    EXPECT_EQ(a.AskPosition(p), Answer::Person);
    EXPECT_NEAR(p.latitude, 45.5 * 3.14159265358979323846 / 180.0, 1e-15);
    EXPECT_NEAR(p.longitude, -75.25 * 3.14159265358979323846 / 180.0, 1e-15);
    EXPECT_EQ(p.height, 0.0);  // empty line keeps the offered value

    Input range("91\n90\n181\n180\n-12.5\n");
    ConsoleUi b(false, range.file, true);
    ApproximatePosition q;
    EXPECT_EQ(b.AskPosition(q), Answer::Person);
    EXPECT_NEAR(q.latitude, 3.14159265358979323846 / 2, 1e-15);
    EXPECT_NEAR(q.longitude, 3.14159265358979323846, 1e-15);
    EXPECT_EQ(q.height, -12.5);

    Input end("10\n");
    ConsoleUi c(false, end.file, true);
    ApproximatePosition r;
    EXPECT_EQ(c.AskPosition(r), Answer::Cancelled);  // end of input

    ConsoleUi d(false, end.file, false);
    ApproximatePosition s;
    EXPECT_EQ(d.AskPosition(s), Answer::Default);
    EXPECT_EQ(s.latitude, 0.0);
}

TEST(ConsoleChooser, AFolderIsTypedOrKept) {
    ScopedTempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    Input keep("\n");
    ConsoleChooser a(keep.file, true);
    std::string folder = dir.Path();
    EXPECT_TRUE(a.ChooseDirectory(folder));
    EXPECT_EQ(folder, dir.Path());

    const std::string typedText = dir.File("out") + "/\n";
    Input typed(typedText);
    ConsoleChooser b(typed.file, true);
    EXPECT_TRUE(b.ChooseDirectory(folder));
    EXPECT_EQ(folder, dir.File("out"));

    Input nothing("");
    ConsoleChooser c(nothing.file, true);
    EXPECT_FALSE(c.ChooseDirectory(folder));

    ConsoleChooser d(typed.file, false);
    EXPECT_FALSE(d.ChooseDirectory(folder));
    EXPECT_EQ(folder, dir.File("out"));
    std::string path = "/data/*.*";
    EXPECT_FALSE(d.ChooseFile(FileDialogMode::Open, path, {}, 0));
    EXPECT_EQ(path, "/data/*.*");
}

// Like a folder picker, the prompt hands back only a folder that exists, in the
// form without a trailing "/" (the root as an empty text).
TEST(ConsoleChooser, OnlyAnExistingFolderIsTaken) {
    ScopedTempDir dir;
    const std::string file = dir.Write("algo.o", "x");
    const std::string answers = dir.File("missing") + "\n" + file + "\n" + dir.Path() + "\n";
    Input input(answers);
    ConsoleChooser a(input.file, true);
    std::string folder = "/offered";
    EXPECT_TRUE(a.ChooseDirectory(folder));
    EXPECT_EQ(folder, dir.Path());

    // An offered folder that does not exist cannot be kept with an empty line.
    Input keepMissing("\n");
    ConsoleChooser b(keepMissing.file, true);
    folder = dir.File("missing");
    EXPECT_FALSE(b.ChooseDirectory(folder));
    EXPECT_EQ(folder, dir.File("missing"));

    Input root("/\n");
    ConsoleChooser c(root.file, true);
    folder = dir.Path();
    EXPECT_TRUE(c.ChooseDirectory(folder));
    EXPECT_EQ(folder, "");
}

}  // namespace
