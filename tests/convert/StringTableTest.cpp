#include <gtest/gtest.h>

#include "convert/HeadlessUi.h"
#include "convert/StringTable.h"

TEST(StringTable, HoldsTheNumberedTexts) {
    EXPECT_EQ(LoadString(104), "QERN to RINEX");
    EXPECT_EQ(LoadString(115), "Please enter a valid file name !");
    EXPECT_EQ(LoadString(117), "Please enter a valid path !");
    EXPECT_EQ(LoadString(118), "Input and output files must all be differents !");
    EXPECT_EQ(LoadString(122), "Operation canceled by user !");
    EXPECT_EQ(LoadString(123), "Reading source file...");
    EXPECT_EQ(LoadString(124), "Writing observation file...");
    EXPECT_EQ(LoadString(125), "Writing navigation file...");
    EXPECT_EQ(LoadString(127), "Unable to open source file !");
    EXPECT_EQ(LoadString(128), "Unable to create Observation file !");
    EXPECT_EQ(LoadString(129), "Unable to create Navigation file !");
    EXPECT_EQ(LoadString(131), "SITE");
    EXPECT_EQ(LoadString(133), "instantaneous");
    EXPECT_EQ(LoadString(134), "smoothed");
    EXPECT_EQ(LoadString(999), "");
}

TEST(StringTable, SubstitutesSequentialArguments) {
    EXPECT_EQ(FormatString(121, {"D:\\DATA\\X.RAW"}),
              "Source file\n\nD:\\DATA\\X.RAW\n\nsuccessfully converted to RINEX !");
    EXPECT_EQ(FormatString(130, {"3", "2", "0"}),
              "Data founds in source file :\n\n3 Records,\n2 Ephemeris,\n0 Iono UTC data,\n\nare not "
              "sufficient to complete operation !");
    EXPECT_EQ(FormatString(132, {"75", "instantaneous"}), "( Tr = Ts + 75 ms, using instantaneous dopplers )");
    EXPECT_EQ(FormatString(116, {"A.01O\nA.01N\n"}),
              "Output file(s) :\n\nA.01O\nA.01N\n\nalready exist(s) !\n\nOverwrite existing file(s) ?");
}

TEST(StringTable, SubstitutesNumberedArguments) {
    EXPECT_EQ(FormatString(136, {"60"}), "Please enter no more than 60 characters.");
    EXPECT_EQ(FormatMessageText("%2 before %1, 100%%", {"a", "b"}), "b before a, 100%");
    // A placeholder without its argument stays as written.
    EXPECT_EQ(FormatMessageText("%s and %s, %3", {"x"}), "x and %s, %3");
}

TEST(HeadlessUi, TakesPreselectedAnswersAndKeepsMessages) {
    HeadlessUi ui(nullptr);
    RecordKind kind = kRecordReceiverDated;
    EXPECT_EQ(ui.AskRawKind(kind), Answer::Default);
    EXPECT_EQ(kind, kRecordReceiverDated);
    ApproximatePosition p;
    EXPECT_EQ(ui.AskPosition(p), Answer::Default);
    EXPECT_EQ(p.latitude, 0);
    EXPECT_EQ(p.longitude, 0);
    EXPECT_EQ(p.height, 0);
    EXPECT_TRUE(ui.ShowMessage(127, MessageIcon::Stop));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Unable to open source file !");
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(ui.CheckCancel());
}
