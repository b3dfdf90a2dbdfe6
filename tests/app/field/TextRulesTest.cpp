#include "app/field/TextRules.h"

#include <gtest/gtest.h>

namespace {

TEST(TextRules, IntegerRule) {
    struct Case {
        std::u32string in;
        std::u32string out;  // when accepted
        int refused;         // -1: accepted
        bool negativeZero;
    };
    const Case cases[] = {
        {U" ", U"0", -1, false},   {U"7", U"7", -1, false},    {U"-", U"-", 0, false},
        {U"005", U"  5", -1, false}, {U"+05", U"  5", -1, false}, {U" -5", U" -5", -1, false},
        {U"- 5", U"-15", -1, false}, {U"-  ", U"-10", -1, false}, {U"--5", U"-15", -1, false},
        {U" - ", U"  0", -1, true},  {U"5 5", U"505", -1, false}, {U"5-5", U"505", -1, false},
        {U"   ", U"  0", -1, false}, {U"000", U"  0", -1, false}, {U"  -", U"", 2, false},
        {U"  +", U"", 2, false},     {U"5x5", U"", 1, false},    {U"  x", U"", 2, false},
        {U"x55", U"", 0, false},     {U"0x5", U"", 1, false},
    };
    for (const Case& c : cases) {
        std::u32string t = c.in;
        bool negativeZero = false;
        const int refused = ApplyIntegerRule(t, 0, static_cast<int>(t.size()) - 1, negativeZero);
        EXPECT_EQ(refused, c.refused) << CellsToUtf8(c.in);
        if (refused < 0) {
            EXPECT_EQ(t, c.out) << CellsToUtf8(c.in);
        }
        EXPECT_EQ(negativeZero, c.negativeZero) << CellsToUtf8(c.in);
    }
}

}  // namespace
