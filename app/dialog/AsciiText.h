#pragma once
#include <string>
#include <string_view>

// A text for a RINEX header, which holds printable ASCII only.
struct AsciiText {
    std::string text;     // Latin letters in their plain form (Ü U, é e, ß ss, Ø O, Ł L, æ ae);
                          // characters without one are kept as they were
    std::string refused;  // the first character without an ASCII form (UTF-8), empty when none
};

// The ASCII form of utf8: printable ASCII kept, Latin letters of the Latin-1 and
// Latin Extended-A blocks written with plain letters; anything else (other
// scripts, signs, control characters, bytes that are no UTF-8) is refused.
AsciiText ToAsciiText(std::string_view utf8);

