// The antenna group and the antenna type's RINEX form, the run settings of
// Advanced Options (read, stored, used by "Go..."), and the files the success
// message names.
#include "app/dialog/RunSettings.h"

#include <gtest/gtest.h>

#include "app/dialog/ControlIds.h"
#include "app/dialog/ConversionSummary.h"
#include "app/dialog/Settings.h"
#include "convert/StringTable.h"
#include "tests/app/DialogTestSupport.h"

namespace {

TEST(RinexAntennaType, TypeInSixteenColumnsRadomeInFour) {
    const struct {
        const char* typed;
        const char* form;  // nullptr: refused
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"TRM41249.00", "TRM41249.00     NONE"},
        {"TRM41249.00 TZGD", "TRM41249.00     TZGD"},
        {"TRM41249.00     TZGD", "TRM41249.00     TZGD"},  // already in form: unchanged
        {"  ASH700936D_M   SNOW ", "ASH700936D_M    SNOW"},
        {"LEIAR25.R3 LT", "LEIAR25.R3      LT  "},
        {"QERN CHOKE", "QERN CHOKE      NONE"},      // a last word over 4 letters is no radome
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPNONE"},  // 16 characters
        {"ABCDEFGHIJKLMNOPQ", nullptr},                // 17
        {"ABCDEFGHIJKLMNOPQ NONE", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> form = RinexAntennaType(c.typed);
        if (c.form) {
            ASSERT_TRUE(form) << c.typed;
            EXPECT_EQ(*form, c.form) << c.typed;
        } else {
            EXPECT_FALSE(form) << c.typed;
        }
    }
}

TEST(RunSettings, BoundsOfTheCommandLine) {
    const struct {
        RunSettingsText text;
        std::optional<RunSetting> refused;
    } cases[] = {
        {{"", "", "", "xxx"}, std::nullopt},
        {{"2024-03-12 06:00:00", "2024-03-12 18:00:00.5", "30", "can"}, std::nullopt},
        {{"2024-03-12 6:00", "", "", "XXX"}, RunSetting::From},
        {{"", "2023-02-29 00:00:00", "", "XXX"}, RunSetting::To},
        {{"2024-03-12 18:00:00", "2024-03-12 06:00:00", "", "XXX"}, RunSetting::To},
        {{"", "", "0.05", "XXX"}, RunSetting::Interval},
        {{"", "", "86400.1", "XXX"}, RunSetting::Interval},
        {{"", "", "-1", "XXX"}, RunSetting::Interval},
        {{"", "", "", "CA"}, RunSetting::Country},
        {{"", "", "", "C4N"}, RunSetting::Country},
    };
    for (const auto& c : cases) {
        MainDialogValues v;
        const std::optional<RunSettingRefusal> refusal = ReadRunSettings(c.text, v);
        EXPECT_EQ(refusal ? std::optional(refusal->field) : std::nullopt, c.refused) << c.text.from << c.text.interval;
        if (refusal) {
            EXPECT_EQ(v.country, "XXX");  // unchanged
        }
    }
    MainDialogValues v;
    ASSERT_FALSE(ReadRunSettings({"2024-03-12 06:00:00", "2024-03-12 18:00:00.5", "0.5", "can"}, v));
    const RunSettingsText shown = RunSettingsTextOf(v);
    EXPECT_EQ(shown.from, "2024-03-12 06:00:00");
    EXPECT_EQ(shown.to, "2024-03-12 18:00:00.5");
    EXPECT_EQ(shown.interval, "0.5");
    EXPECT_EQ(shown.country, "CAN");
}

class WindowValuesTest : public DialogFixture {
protected:
    void PrepareSource() {
        controls.SetText(ControlId::kSourcePath, folder.Write("algo.raw", "ASCII DATA\n"));
        dialog->SourceTyped();
        controls.SetText(ControlId::kObservationPath, folder.File("out.o"));
        controls.SetText(ControlId::kNavigationPath, folder.File("out.n"));
    }
};

TEST_F(WindowValuesTest, AntennaTypeAndMetresAreReadOrRefusedWithTheFieldNamed) {
    CMainDialog& d = Open();
    controls.SetText(ControlId::kAntennaType, "trm41249.00");
    controls.SetText(ControlId::kAntennaHeight, " 1,5432 ");
    controls.SetText(ControlId::kAntennaEast, "-0.012");
    ASSERT_TRUE(d.ExchangeValues(false));
    EXPECT_EQ(controls.Text(ControlId::kAntennaType), "TRM41249.00     NONE");  // shown as written
    EXPECT_EQ(d.values.antennaHeight, 1.5432);
    EXPECT_EQ(d.values.antennaEast, -0.012);
    EXPECT_FALSE(d.values.antennaNorth);

    const struct {
        int id;
        const char* text;
        const char* message;
    } refusals[] = {
        {ControlId::kAntennaType, "CHOKE RING ANTENNA Q",
         "Antenna Type : \"CHOKE RING ANTENNA Q\" does not fit the RINEX form: the antenna type in up to 16 "
         "characters, then its radome in up to 4 (NONE when left out)."},
        {ControlId::kAntennaHeight, "1.5 m", "Antenna Height : \"1.5 m\" is no length in metres from -999.9999 to 999.9999."},
        {ControlId::kAntennaNorth, "1000", "North Offset : \"1000\" is no length in metres from -999.9999 to 999.9999."},
    };
    for (const auto& r : refusals) {
        const std::string kept = controls.Text(r.id);
        controls.SetText(r.id, r.text);
        EXPECT_FALSE(d.ExchangeValues(false)) << r.text;
        EXPECT_EQ(ui.Messages().back().text, r.message);
        EXPECT_EQ(ui.Messages().back().icon, MessageIcon::Exclamation);
        EXPECT_EQ(controls.FocusId(), r.id);
        controls.SetText(r.id, kept);
    }
}

TEST_F(WindowValuesTest, RunSettingsStoredAsDefaultsReachTheConversion) {
    CMainDialog& d = Open();
    MainDialogValues chosen = d.values;
    ASSERT_FALSE(ReadRunSettings({"2024-03-12 06:00:00", "2024-03-12 18:00:00", "30", "can"}, chosen));
    d.TakeAdvanced(chosen);
    ASSERT_TRUE(StoreAdvanced(d.values, *profile));  // "Save As Defaults"

    profile = std::make_unique<Profile>(profile->Path());
    CMainDialog& again = Open();
    EXPECT_EQ(again.values.country, "CAN");
    EXPECT_EQ(controls.Text(ControlId::kAdvancedSummary),
              "( Tr = Ts + 0 ms, using instantaneous dopplers )\n"
              "( epochs from 2024-03-12 06:00:00 to 2024-03-12 18:00:00, every 30 s )");  // never out of sight
    PrepareSource();
    ASSERT_TRUE(again.GoPressed());
    GpsTime from, to;
    ParseDateTime("2024-03-12 06:00:00", from);
    ParseDateTime("2024-03-12 18:00:00", to);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].from, from);
    EXPECT_EQ(requests[0].to, to);
    EXPECT_EQ(requests[0].interval, 30);

    // A run the command line starts is cut by its own options only.
    RequestOverrides commandLine;
    commandLine.ownTimeWindow = true;
    Open(true, commandLine);
    PrepareSource();
    ASSERT_TRUE(dialog->GoPressed());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].from || requests[1].to);
    EXPECT_EQ(requests[1].interval, 0);
}

TEST(SuccessMessageLines, NameEveryFileWritten) {
    ConversionRequest request;
    request.observationPath = "/r/A.24O";
    request.navigationPath = "/r/A.24N";
    request.logFile = true;
    request.quality = true;
    ConversionResult result;
    result.logWritten = true;
    result.qualityWritten = true;
    RunReport report = MakeRunReport(request, result, true);
    report.written.push_back(PlannedOutput{OutputKind::Plot, "/r/A.24O.qc.sky.png"});
    const std::vector<std::string> lines = SuccessMessageLines(report);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "Log files: /r/A.24O.log, /r/A.24O.pos");
    EXPECT_EQ(lines[3], "Quality report: /r/A.24O.qc");
    EXPECT_EQ(lines[4], "Plot: /r/A.24O.qc.sky.png");
    EXPECT_EQ(lines[5].rfind("0 epochs", 0), 0u);
}

}  // namespace
