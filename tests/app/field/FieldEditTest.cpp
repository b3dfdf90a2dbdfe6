#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/field/FieldDate.h"
#include "app/field/FieldFactory.h"
#include "app/field/FieldNumber.h"
#include "app/field/FieldSexagesimal.h"

namespace {

using Events = std::vector<FieldEvent>;

// Puts the caret on cell by a click, every cell one unit wide; clears the events.
void PutCaret(CField& f, int cell) {
    const std::vector<double> widths(f.Text().size(), 1.0);
    ASSERT_EQ(f.Click(cell + 0.5, widths), ClickResult::CaretPlaced) << cell;
    f.TakeEvents();
}

void Type(CField& f, std::u32string_view s) {
    for (const char32_t c : s) f.TypeChar(c);
}

int Beeps(const Events& e) { return static_cast<int>(std::count(e.begin(), e.end(), FieldEvent::Beep)); }

TEST(FieldEdit, MonthNamesCompleteFromTheirFirstLetters) {
    struct Case {
        int month;  // of the date before typing
        int cell;   // 2, 3 or 4
        char32_t typed;
        std::u32string name;  // after typing; the old name when refused
        bool accepted;
    };
    const Case cases[] = {
        {2, 2, U'j', U"jan", true},  {1, 3, U'u', U"jun", true},  {7, 2, U'j', U"jul", true},
        {8, 2, U'a', U"aug", true},  {5, 2, U'm', U"may", true},  {2, 2, U'm', U"mar", true},
        {2, 2, U'J', U"jan", true},  {8, 3, U'p', U"apr", true},  {5, 3, U'a', U"may", true},
        {6, 3, U'a', U"jan", true},  {6, 4, U'l', U"jul", true},  {2, 2, U'q', U"feb", false},
        {12, 3, U'u', U"dec", false}, {1, 4, U'l', U"jan", false}, {2, 2, U'1', U"feb", false},
    };
    for (const Case& c : cases) {
        CFieldDate f;
        f.StoreValue(DaysSinceGpsOrigin(2001, c.month, 1));
        PutCaret(f, c.cell);
        f.TypeChar(c.typed);
        EXPECT_EQ(f.Text().substr(2, 3), c.name) << c.month << " " << c.cell;
        const Events e = f.TakeEvents();
        EXPECT_EQ(e, c.accepted ? Events{FieldEvent::Edited} : Events{FieldEvent::Beep});
    }
    // j over feb gives jan, then u gives jun: the value follows.
    CFieldDate f;
    f.StoreValue(7697);  // 1 February 2001
    PutCaret(f, 2);
    Type(f, U"ju");
    EXPECT_EQ(f.Text(), U"  jun  1, 2001    ");
    EXPECT_EQ(f.GetValue(), DaysSinceGpsOrigin(2001, 6, 1));
}

TEST(FieldEdit, DaysAndYearsAreCutToTheCalendar) {
    struct Case {
        int year, month, day;
        int cell;
        char32_t typed;
        std::u32string text;
        int beeps;
    };
    const Case cases[] = {
        {2001, 2, 1, 6, U'3', U"  feb 28, 2001    ", 1},  // 31 February
        {2000, 2, 1, 6, U'3', U"  feb 29, 2000    ", 1},
        {2000, 2, 29, 13, U'1', U"  feb 28, 2001    ", 1},  // a year without 29 February
        {2000, 3, 1, 11, U'1', U"  mar  1, 2099    ", 1},  // 2100 becomes 2099
        {2001, 3, 1, 12, U'4', U"  mar  1, 2041    ", 0},  // years after 2035 are fine
        {1990, 3, 1, 10, U'0', U"  mar  1, 1980    ", 1},  // 990 becomes 1980
        {1980, 1, 6, 7, U'1', U"  jan  6, 1980    ", 1},  // before the GPS origin
    };
    for (const Case& c : cases) {
        CFieldDate f;
        f.StoreValue(DaysSinceGpsOrigin(c.year, c.month, c.day));
        PutCaret(f, c.cell);
        f.TypeChar(c.typed);
        EXPECT_EQ(f.Text(), c.text) << c.year << " " << c.cell;
        const Events e = f.TakeEvents();
        EXPECT_EQ(Beeps(e), c.beeps) << c.year << " " << c.cell;
        EXPECT_EQ(e.back(), FieldEvent::Edited);
        const double value = f.GetValue();
        f.UpdateValue();
        EXPECT_EQ(f.GetValue(), value) << "value and text in step";
    }
}

TEST(FieldEdit, TypingNumbers) {
    struct Case {
        const char* name;
        double stored;
        int cell;
        std::u32string typed;
        std::u32string text;  // the whole text after typing
        int beeps;
        int caret;  // after typing
    };
    const Case cases[] = {
        // Latitude degrees 90 force minutes and seconds to 0.
        {"CFieldLat", -80.5 * std::numbers::pi / 180, 2, U"9", U"  90\u00B0 0' 0.0000\"S ", 0, 3},
        {"CFieldLat", 0, 2, U"95", U"  90\u00B0 0' 0.0000\"N ", 1, 5},  // 95 degrees clamped;
        {"CFieldLat", 0, 5, U"7", U"   0\u00B059' 0.0000\"N ", 1, 6},   // the caret moves on
        {"CFieldLat", 0, 16, U"s", U"   0\u00B0 0' 0.0000\"S ", 0, 16},
        {"CFieldLat", 0, 16, U"e", U"   0\u00B0 0' 0.0000\"N ", 1, 16},
        {"CFieldLat", 0, 9, U"x", U"   0\u00B0 0' 0.0000\"N ", 1, 9},
        {"CFieldLat", 0, 14, U"5", U"   0\u00B0 0' 0.0005\"N ", 0, 16},
        {"CFieldAlt", 0, 9, U"-", U"         -0.000 m ", 0, 9},  // a sign keeps the caret
        {"CFieldAlt", 0, 9, U"-55", U"         55.000 m ", 0, 12},  // the point is stepped over
        {"CFieldAlt", 0, 10, U"-", U"         -0.000 m ", 0, 10},
        {"CFieldAlt", -0.5, 10, U" ", U"         -0.500 m ", 0, 12},  // a blank keeps -0.5
        {"CFieldAlt", -0.0, 10, U" ", U"          0.000 m ", 0, 12},  // and -0 becomes 0
        {"CFieldAlt", 5, 5, U"-", U"         -5.000 m ", 0, 5},
        {"CFieldAlt", 5, 14, U"1", U"          5.001 m ", 0, 14},  // the last cell: caret stays
        {"CFieldScale", 1, 2, U" ", U"  0.500000000000  ", 1, 4},  // 0 clamped to 0.5
    };
    for (const Case& c : cases) {
        const auto f = MakeFieldByName(c.name);
        f->StoreValue(c.stored);
        PutCaret(*f, c.cell);
        Type(*f, c.typed);
        EXPECT_EQ(f->Text(), c.text) << c.name << " " << c.cell;
        EXPECT_EQ(Beeps(f->TakeEvents()), c.beeps) << c.name << " " << c.cell;
        EXPECT_EQ(f->Caret(), c.caret) << c.name << " " << c.cell;
        const double value = f->GetValue();
        f->UpdateValue();
        EXPECT_EQ(f->GetValue(), value) << "value and text in step";
    }
    CFieldAlt alt;
    PutCaret(alt, 9);
    Type(alt, U"-");
    PutCaret(alt, 12);
    Type(alt, U"5");
    EXPECT_EQ(alt.GetValue(), -0.5);
}

TEST(FieldEdit, PointAndSignTypedAsOnePenWouldWriteThem) {
    struct Case {
        const char* name;
        double stored;  // in shown units
        int cell;
        std::u32string typed;
        double shown;  // the field's shown value after typing
        int caret;
    };
    const Case cases[] = {
        {"CFieldAlt", 0, 5, U"68.2", 68.2, 13},
        {"CFieldAlt", 3000, 5, U"-5.5", -5.5, 13},
        {"CFieldAlt", 0, 8, U"7.25", 7.25, 14},
        {"CFieldAlt", 68.2, 7, U"-", -68.2, 7},   // the sign alone: no digit eaten
        {"CFieldAlt", -68.2, 12, U"+", 68.2, 12},
        {"CFieldAlt", 0, 5, U"12345.", 9999.999, 12},  // clamped
        {"CFieldAlt", 12.5, 12, U".", 12.5, 12},  // among the decimals: refused
        {"CFieldLat", 35, 2, U"-", -35, 2},       // the hemisphere letter
        {"CFieldLong", -139, 1, U"+", 139, 1},
    };
    for (const Case& c : cases) {
        const auto f = MakeFieldByName(c.name);
        f->StoreValue(c.stored * f->Scale());
        PutCaret(*f, c.cell);
        Type(*f, c.typed);
        EXPECT_NEAR(f->ShownValue(), c.shown, 1e-9) << c.name << " " << std::string(c.typed.begin(), c.typed.end());
        EXPECT_EQ(f->Caret(), c.caret) << c.name << " " << c.cell;
    }
}

TEST(FieldEdit, CaretKeys) {
    // Latitude 5 degrees: degrees 2..3 (" 5"), minutes 5..6, seconds 8..14 with the
    // point on 10, letter 16.
    struct Case {
        int from;
        FieldKey key;
        bool ctrl;
        int to;
    };
    const Case cases[] = {
        {3, FieldKey::Right, false, 5},     {9, FieldKey::Right, false, 11},
        {11, FieldKey::Left, false, 9},     {14, FieldKey::Right, false, 16},
        {16, FieldKey::Right, false, 16},   {2, FieldKey::Left, false, 2},
        {8, FieldKey::Backspace, false, 6}, {12, FieldKey::Left, true, 5},
        {5, FieldKey::Backspace, true, 2},  {3, FieldKey::Left, true, 2},
        {9, FieldKey::Right, true, 16},     {16, FieldKey::Right, true, 16},
        {14, FieldKey::Home, false, 3},     {14, FieldKey::Home, true, 2},
        {2, FieldKey::End, false, 16},
    };
    for (const Case& c : cases) {
        CFieldLat f;
        f.StoreValue(5 * std::numbers::pi / 180);
        const std::u32string text = f.Text();
        PutCaret(f, c.from);
        f.PressKey(c.key, c.ctrl);
        EXPECT_EQ(f.Caret(), c.to) << c.from << " " << static_cast<int>(c.key) << c.ctrl;
        EXPECT_TRUE(f.SubField(f.Current()).HasCaret());
        EXPECT_EQ(f.Text(), text) << "keys never change the text";
        EXPECT_TRUE(f.TakeEvents().empty());
    }
    CFieldAlt alt;
    alt.StoreValue(0.5);
    alt.PressKey(FieldKey::End);
    alt.PressKey(FieldKey::Home);
    EXPECT_EQ(alt.Caret(), 10);  // the first non-blank cell
}

TEST(FieldEdit, ClicksPutTheCaretOnTheCellUnderThePointer) {
    // Cells of a latitude 10 units wide, the degree sign 4 and the letter 12.
    std::vector<double> widths(18, 10.0);
    widths[4] = 4;
    widths[16] = 12;
    struct Case {
        double x;
        ClickResult result;
        int caret, current;
    };
    const Case cases[] = {
        {-1.0, ClickResult::Notified, 8, 2},     // the margin: cell 0, no sub-field
        {25.0, ClickResult::CaretPlaced, 2, 0},  {30.0, ClickResult::CaretPlaced, 2, 0},
        {30.5, ClickResult::CaretPlaced, 3, 0},  {42.0, ClickResult::Notified, 8, 2},  // degree sign
        {50.0, ClickResult::CaretPlaced, 5, 1},  {104.0, ClickResult::Notified, 8, 2},  // the point
        {166.0, ClickResult::CaretPlaced, 16, 3}, {176.0, ClickResult::Notified, 8, 2},
        {186.5, ClickResult::Ignored, 8, 2},     // right of the last cell
    };
    for (const Case& c : cases) {
        CFieldLat f;
        PutCaret(f, 8);
        EXPECT_EQ(f.Click(c.x, widths), c.result) << c.x;
        EXPECT_EQ(f.Caret(), c.caret) << c.x;
        EXPECT_EQ(f.Current(), c.current) << c.x;
        EXPECT_EQ(f.TakeEvents(), c.result == ClickResult::Ignored ? Events{} : Events{FieldEvent::Clicked});
    }
}

TEST(FieldEdit, Notifications) {
    EXPECT_EQ(static_cast<int>(FieldEvent::Clicked), 0);
    EXPECT_EQ(static_cast<int>(FieldEvent::DoubleClicked), 5);
    EXPECT_EQ(static_cast<int>(FieldEvent::Focused), 0x100);
    EXPECT_EQ(static_cast<int>(FieldEvent::Edited), 0x300);

    CFieldAlt f;
    f.SetFocused(true);
    f.SetFocused(true);
    EXPECT_EQ(f.TakeEvents(), Events{FieldEvent::Focused});
    PutCaret(f, 14);
    f.SetFocused(false);
    f.SetFocused(true);
    f.DoubleClick();
    f.TypeChar(U'7');
    f.TypeChar(U'\t');  // control characters are ignored
    f.TypeChar(0x7F);
    f.TypeChar(U'a');
    EXPECT_EQ(f.TakeEvents(), (Events{FieldEvent::Focused, FieldEvent::DoubleClicked,
                                      FieldEvent::Edited, FieldEvent::Beep}));
    EXPECT_EQ(f.Text(), U"          0.007 m ");
}

TEST(FieldEdit, ThePlainFieldIgnoresInput) {
    const auto f = MakeField(kFieldPlain);
    f->PressKey(FieldKey::Right);
    f->PressKey(FieldKey::Home, true);
    f->TypeChar(U'1');
    const std::vector<double> widths{5.0};
    EXPECT_EQ(f->Click(2.0, widths), ClickResult::Ignored);
    EXPECT_TRUE(f->TakeEvents().empty());
    EXPECT_EQ(f->Text(), U"");
}

}  // namespace
