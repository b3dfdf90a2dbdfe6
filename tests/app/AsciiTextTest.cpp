#include "app/dialog/AsciiText.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiText, LatinLettersArePlainAndOtherCharactersRefused) {
    const struct {
        const char* typed;
        const char* text;
        const char* refused;
    } cases[] = {
        {"J\xC3\xBCrgen M\xC3\xBCller", "Jurgen Muller", ""},      // Jürgen Müller
        {"St\xC3\xA4tion 1", "Station 1", ""},                      // Stätion 1
        {"\xC3\x9C \xC3\xA9 \xC3\x9F \xC3\x98 \xC5\x81 \xC3\xA6", "U e ss O L ae", ""},  // Ü é ß Ø Ł æ
        {"\xC5\x92uvre \xC4\x90", "OEuvre D", ""},                  // Œ Đ
        {"NAT. SURVEY (A-9)", "NAT. SURVEY (A-9)", ""},
        {"Tokyo \xE6\x9D\xB1\xE4\xBA\xAC", "Tokyo \xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1"},  // 東京
        {"5\xC3\x97" "3", "5\xC3\x97" "3", "\xC3\x97"},            // the sign ×
        {"tab\there", "tab\there", "\t"},
        {"bad \xFF byte", "bad \xFF byte", "\\xFF"},
    };
    for (const auto& c : cases) {
        const AsciiText a = ToAsciiText(c.typed);
        EXPECT_EQ(a.text, c.text) << c.typed;
        EXPECT_EQ(a.refused, c.refused) << c.typed;
    }
}

}  // namespace
