#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include "app/field/FieldDate.h"
#include "app/field/FieldFactory.h"
#include "app/field/FieldNumber.h"
#include "app/field/FieldSexagesimal.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

std::unique_ptr<CField> Make(const char* name) {
    std::unique_ptr<CField> f = MakeFieldByName(name);
    EXPECT_NE(f, nullptr) << name;
    return f;
}

TEST(FieldValue, NewFieldsShowTheirInitialTextInStepWithTheValue) {
    struct Case {
        const char* name;
        std::u32string text;
        double value;
    };
    const Case cases[] = {
        {"CField", U"", 0},
        {"CFieldLat", U"   0\u00B0 0' 0.0000\"N ", 0},
        {"CFieldLong", U"   0\u00B0 0' 0.0000\"E ", 0},
        {"CFieldSkew", U"   0\u00B0 0' 0.0000\"  ", 0},
        {"CFieldAlt", U"          0.000 m ", 0},
        {"CFieldXm", U"          0.000 m ", 0},
        {"CFieldUser", U"          0.000 m ", 0},
        {"CFieldDate", U"  jan  6, 1980    ", 0},  // not the out-of-range "oct 18, 1944"
        {"CFieldTime", U"   0h 0m 0.0s     ", 0},
        {"CFieldTime2", U"   0h 0m 0s     ", 0},
        {"CFieldScale", U"  1.000000000000  ", 1},
        {"CFieldElev", U"          5.0 \u00B0   ", 5},
        {"CFieldRot", U"        0.000000 \"", 0},
        {"CFieldUint", U"  0", 0},
    };
    for (const Case& c : cases) {
        const auto f = Make(c.name);
        EXPECT_STREQ(f->ClassName(), c.name);
        EXPECT_EQ(f->Text(), c.text) << c.name;
        EXPECT_EQ(f->Mask().size(), c.text.size()) << c.name;
        EXPECT_EQ(f->GetValue(), c.value) << c.name;
        f->UpdateValue();  // the sub-fields hold what the text shows
        EXPECT_EQ(f->GetValue(), c.value) << c.name;
    }
    EXPECT_EQ(MakeFieldByName("CFieldNone"), nullptr);
}

TEST(FieldValue, AnglesDatesAndTimesShowTheStoredValue) {
    struct Case {
        const char* name;
        double stored;
        std::u32string text;
        double readBack;  // value recomputed from the text
    };
    const double min1959 = 10 + 59 / 60.0;
    const Case cases[] = {
        {"CFieldLat", -0.5, U"  28\u00B038'52.4031\"S ", -(28 + 38 / 60.0 + 52.4031 / 3600) * kDeg},
        {"CFieldLong", 190 * kDeg, U" 170\u00B0 0' 0.0000\"W ", -170 * kDeg},
        {"CFieldLong", -190 * kDeg, U" 170\u00B0 0' 0.0000\"E ", 170 * kDeg},
        {"CFieldSkew", -1 * kDeg, U" 359\u00B0 0' 0.0000\"  ", 359 * kDeg},
        // Seconds rounding to 60.0000 carry into minutes and degrees.
        {"CFieldLat", (min1959 + 59.99996 / 3600) * kDeg, U"  11\u00B0 0' 0.0000\"N ", 11 * kDeg},
        {"CFieldTime", 2 * 3600 - 0.04, U"   2h 0m 0.0s     ", 7200},
        {"CFieldTime2", 59.6, U"   0h 1m 0s     ", 60},
        {"CFieldDate", 7697.75, U"  feb  1, 2001    ", 7697},  // the fraction of the day dropped
        {"CFieldDate", 7359, U"  feb 29, 2000    ", 7359},
        {"CFieldDate", 43824, U"  dec 31, 2099    ", 43824},  // dates up to 2099
        {"CFieldAlt", -0.0004, U"         -0.000 m ", -0.0},
        {"CFieldAlt", 1234.5675, U"       1234.568 m ", 1234.568},
        {"CFieldRot", -999999, U"  -999999.000000 \"", -999999},
    };
    for (const Case& c : cases) {
        const auto f = Make(c.name);
        f->StoreValue(c.stored);
        EXPECT_EQ(f->Text(), c.text) << c.name << " " << c.stored;
        f->UpdateValue();
        EXPECT_NEAR(f->GetValue(), c.readBack, 1e-9) << c.name << " " << c.stored;
    }
}

TEST(FieldValue, StoredValuesAreClampedToWhatTheSubFieldsShow) {
    struct Case {
        const char* name;
        double stored;
        std::u32string text;
        double value;
    };
    const Case cases[] = {
        {"CFieldLat", 2.0, U"  90\u00B0 0' 0.0000\"N ", 90 * kDeg},  // not "114" in two cells
        {"CFieldLat", -2.0, U"  90\u00B0 0' 0.0000\"S ", -90 * kDeg},
        {"CFieldLat", NAN, U"   0\u00B0 0' 0.0000\"N ", 0},  // not "nan"
        {"CFieldLong", INFINITY, U"   0\u00B0 0' 0.0000\"E ", 0},
        {"CFieldAlt", 1e6, U"       9999.999 m ", 9999.999},
        {"CFieldAlt", -1e6, U"       -999.999 m ", -999.999},
        {"CFieldAlt", NAN, U"       -999.999 m ", -999.999},
        {"CFieldXm", 1e15, U" 9999999999.999 m ", 9999999999.999},
        {"CFieldScale", 3, U"  1.500000000000  ", 1.5},
        {"CFieldElev", -100, U"        -90.0 \u00B0   ", -90},
        {"CFieldTime", -5, U"   0h 0m 0.0s     ", 0},
        {"CFieldTime", 1e6, U"  24h 0m 0.0s     ", 86400},
        {"CFieldUint", 1e9, U" 99", 99},
        {"CFieldDate", -100, U"  jan  6, 1980    ", 0},
        {"CFieldDate", 1e9, U"  dec 31, 2099    ", 43824},
        {"CFieldDate", NAN, U"  jan  6, 1980    ", 0},
    };
    for (const Case& c : cases) {
        const auto f = Make(c.name);
        f->StoreValue(c.stored);
        EXPECT_EQ(f->Text(), c.text) << c.name << " " << c.stored;
        EXPECT_DOUBLE_EQ(f->GetValue(), c.value) << c.name << " " << c.stored;
        EXPECT_TRUE(f->TakeEvents().empty()) << "a stored value never beeps";
    }
}

TEST(FieldValue, UserFieldDecimalsAndBoundsFitTheCells) {
    struct Case {
        int decimals;
        double stored;
        std::u32string text;
    };
    const Case cases[] = {
        {3, 1e20, U" 9999999999.999 km"},
        {3, -1e20, U" -999999999.999 km"},
        {-3, 1e20, U" 10000000000000 km"},   // no decimals, no point
        {0, -1e20, U" -9999999999999 km"},   // one cell for the sign
        {20, 1e20, U" 9.999999999999 km"},   // 12 decimals at most
        {12, -1.0, U" 0.000000000000 km"},   // one integer cell: no room for a sign
    };
    for (const Case& c : cases) {
        CFieldUser f;
        f.Configure(1000, U"km", c.decimals);
        f.StoreValue(c.stored);
        EXPECT_EQ(f.Text(), c.text) << c.decimals << " " << c.stored;
        EXPECT_EQ(f.Text().size(), 18u);
    }
    CFieldUser f;
    f.Configure(0, U"m", 0);  // scale 0 taken as 1, a one-letter unit padded
    EXPECT_EQ(f.Text(), U"              0 m ");
    f.StoreValue(42);
    f.UpdateValue();
    EXPECT_EQ(f.GetValue(), 42);
}

TEST(FieldValue, UintWidthIsCountedWithIntegers) {
    struct Case {
        long long minimum, maximum;
        int digits;
    };
    const Case cases[] = {{0, 0, 1},    {0, 9, 1},      {0, 10, 2},  {0, 999, 3},
                          {0, 1000, 4}, {0, 100000, 6}, {0, -5, 2},  {-50, 7, 3}};
    for (const Case& c : cases) {
        CFieldUint f(c.minimum, c.maximum);
        EXPECT_EQ(f.Digits(), c.digits) << c.minimum << ".." << c.maximum;
        EXPECT_EQ(f.Text(), std::u32string(c.digits, U' ') + U"0");
    }
    CFieldUint f(0, 99);
    f.StoreValue(41.5);
    EXPECT_EQ(f.Text(), U" 42");
}

TEST(FieldValue, FormatByKind) {
    EXPECT_EQ(FormatField(kFieldLat, -0.5), "28\u00B038'52.4031\"S");
    EXPECT_EQ(FormatField(kFieldDate, 7697), "feb  1, 2001");
    EXPECT_EQ(FormatField(kFieldAlt, 12.5), "12.500 m");
    EXPECT_EQ(FormatField(kFieldPlain, 1), "");
    EXPECT_EQ(FormatField(-1, 1), "");
    EXPECT_EQ(FormatField(12, 1), "");
    EXPECT_EQ(MakeField(12), nullptr);
    for (int kind = 0; kind < kFieldKindCount; ++kind) EXPECT_NE(MakeField(kind), nullptr);
}

// StoreValue then GetValue gives the value back, and the value recomputed from the
// text lies within half the last shown digit of it, for random values of every member.
TEST(FieldValue, StoredValuesReadBackWithinTheLastShownDigit) {
    struct Case {
        const char* name;
        double lo, hi;      // random values, program units
        double tolerance;   // half the last shown digit, program units
        double period;      // angles shown modulo a turn; 0: none
    };
    const double arcsec = kDeg / 3600;
    const Case cases[] = {
        {"CFieldLat", -90 * kDeg, 90 * kDeg, 0.5e-4 * arcsec, 0},
        {"CFieldLong", -720 * kDeg, 720 * kDeg, 0.5e-4 * arcsec, 360 * kDeg},
        {"CFieldSkew", -720 * kDeg, 720 * kDeg, 0.5e-4 * arcsec, 360 * kDeg},
        {"CFieldTime", 0, 86400, 0.05, 0},
        {"CFieldTime2", 0, 86400, 0.5, 0},
        {"CFieldDate", 0, 43824.99, 1, 0},
        {"CFieldAlt", -999.999, 9999.999, 0.5e-3, 0},
        {"CFieldXm", -999999999.999, 9999999999.999, 0.5e-3, 0},
        {"CFieldUser", -999999999.999, 9999999999.999, 0.5e-3, 0},
        {"CFieldScale", 0.5, 1.5, 0.5e-12, 0},
        {"CFieldElev", -90, 90, 0.05, 0},
        {"CFieldRot", -999999, 9999999, 0.5e-6, 0},
        {"CFieldUint", 0, 99, 0.5, 0},
    };
    std::mt19937_64 random(20240611);
    for (const Case& c : cases) {
        const auto f = Make(c.name);
        std::uniform_real_distribution<double> draw(c.lo, c.hi);
        for (int i = 0; i < 2000; ++i) {
            const double x = draw(random);
            f->StoreValue(x);
            const bool date = c.name == std::string("CFieldDate");
            ASSERT_EQ(f->GetValue(), date ? std::floor(x) : x) << c.name;
            f->UpdateValue();
            double d = f->GetValue() - x;
            if (c.period > 0) d = std::remainder(d, c.period);
            // A date keeps the whole day: the read-back lies in [x - 1, x].
            const double slack = 1e-15 * std::max(1.0, std::fabs(x));
            if (date)
                ASSERT_TRUE(d <= 0 && d > -c.tolerance) << c.name << " " << x;
            else
                ASSERT_LE(std::fabs(d), c.tolerance + slack) << c.name << " " << x;
        }
    }
}

}  // namespace
