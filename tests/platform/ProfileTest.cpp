#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// A fresh folder under the system's temporary folder, removed at the end.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qern_profile_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string File(const std::string& name) const { return folder_ + "/" + name; }
    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void WriteAll(const std::string& path, const std::string& text) {
        std::ofstream out(path);
        out << text;
    }

    std::string folder_;
};

TEST_F(ProfileTest, MissingFileGivesTheDefaults) {
    Profile p(File("none.ini"));
    EXPECT_EQ(p.GetString("Defaults", "ObsExt", "RNX"), "RNX");
    EXPECT_EQ(p.GetInt("Defaults", "Auto", 7), 7);
    EXPECT_FALSE(std::filesystem::exists(File("none.ini")));
}

TEST_F(ProfileTest, ReadsSectionsAndKeysWithoutRegardToCase) {
    WriteAll(File("p.ini"),
             "; comment\n[Defaults]\nObsExt = O01\nFormat=1\n\n[advanced]\r\nTx=75\r\nLogFile=abc\n");
    Profile p(File("p.ini"));
    EXPECT_EQ(p.GetString("DEFAULTS", "obsext", ""), "O01");
    EXPECT_EQ(p.GetInt("Defaults", "Format", 0), 1);
    EXPECT_EQ(p.GetInt("Advanced", "Tx", 0), 75);
    // A value that is no number gives the default.
    EXPECT_EQ(p.GetInt("Advanced", "LogFile", 4), 4);
    EXPECT_EQ(p.GetString("Advanced", "ObsExt", "none"), "none");
}

TEST_F(ProfileTest, LeadingIntegerIsTaken) {
    WriteAll(File("p.ini"), "[Advanced]\nTx=-5ms\n");
    EXPECT_EQ(Profile(File("p.ini")).GetInt("Advanced", "Tx", 0), -5);
}

TEST_F(ProfileTest, WritesAreStoredAtOnceAndReadBack) {
    {
        Profile p(File("sub/dir/p.ini"));  // missing folders are made
        EXPECT_TRUE(p.WriteString("Defaults", "SrcDir", "/data/Raw Files"));
        EXPECT_TRUE(p.WriteInt("Defaults", "Auto", 1));
        EXPECT_TRUE(p.WriteString("MarkerNames", "History00", ""));
        EXPECT_TRUE(p.WriteString("defaults", "AUTO", "0"));  // replaces, same key
    }
    EXPECT_EQ(ReadAll(File("sub/dir/p.ini")),
              "[Defaults]\nSrcDir=/data/Raw Files\nAuto=0\n\n[MarkerNames]\nHistory00=\n\n");
    Profile again(File("sub/dir/p.ini"));
    EXPECT_EQ(again.GetString("Defaults", "SrcDir", ""), "/data/Raw Files");
    EXPECT_EQ(again.GetInt("Defaults", "Auto", 5), 0);
    EXPECT_EQ(again.GetString("MarkerNames", "History00", "missing"), "");
}

TEST_F(ProfileTest, ValuesKeepTheirBlanksAndQuotes) {
    {
        Profile p(File("p.ini"));
        p.WriteString("Observers", "History00", "  X Y ");
        p.WriteString("Observers", "History01", "\"QUOTED\"");
        p.WriteString("Observers", "History02", "TWO\nLINES");
    }
    Profile p(File("p.ini"));
    EXPECT_EQ(p.GetString("Observers", "History00", ""), "  X Y ");
    EXPECT_EQ(p.GetString("Observers", "History01", ""), "\"QUOTED\"");
    EXPECT_EQ(p.GetString("Observers", "History02", ""), "TWO LINES");
}

TEST_F(ProfileTest, OtherContentOfTheFileSurvivesAWrite) {
    WriteAll(File("p.ini"), "[Other]\nKey=Value\n[Defaults]\nNavExt=EPH\n");
    Profile p(File("p.ini"));
    p.WriteString("Defaults", "ObsExt", "RNX");
    Profile again(File("p.ini"));
    EXPECT_EQ(again.GetString("Other", "Key", ""), "Value");
    EXPECT_EQ(again.GetString("Defaults", "NavExt", ""), "EPH");
    EXPECT_EQ(again.GetString("Defaults", "ObsExt", ""), "RNX");
}

TEST_F(ProfileTest, SetValuesReachTheFileTogetherAtSave) {
    Profile p(File("p.ini"));
    p.SetString("Defaults", "ObsExt", "RNX");
    p.SetInt("Defaults", "Auto", 1);
    EXPECT_EQ(p.GetInt("Defaults", "Auto", 0), 1);
    EXPECT_FALSE(std::filesystem::exists(File("p.ini")));
    ASSERT_TRUE(p.Save());
    EXPECT_EQ(ReadAll(File("p.ini")), "[Defaults]\nObsExt=RNX\nAuto=1\n\n");
    // No temporary file is left beside the profile.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
}

TEST_F(ProfileTest, AnUnwritablePlaceReportsFailure) {
    WriteAll(File("blocker"), "x");
    Profile p(File("blocker/p.ini"));  // a file stands where the folder should be
    EXPECT_FALSE(p.WriteString("Defaults", "Auto", "1"));
    EXPECT_EQ(p.GetString("Defaults", "Auto", ""), "1");  // kept for this run
    Profile none("");
    EXPECT_FALSE(none.WriteInt("Defaults", "Auto", 1));
}

TEST_F(ProfileTest, DefaultPathFollowsTheConfigurationFolder) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";

    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    setenv("HOME", "/home/user", 1);
    EXPECT_EQ(Profile::DefaultPath("qern2rinex"), "/cfg/qern2rinex.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(Profile::DefaultPath("qern2rinex"), "/home/user/.config/qern2rinex.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Profile::DefaultPath("qern2rinex"), "/home/user/.config/qern2rinex.ini");
    unsetenv("HOME");
    EXPECT_EQ(Profile::DefaultPath("qern2rinex"), "");

    if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
