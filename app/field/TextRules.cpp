#include "app/field/TextRules.h"

#include <array>
#include <charconv>

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Month 1..12 spelled by the three cells at first, 0 when none.
int SpelledMonth(const std::u32string& text, int first) {
    for (size_t m = 0; m < kMonthNames.size(); ++m) {
        const std::string_view name = kMonthNames[m];
        if (text[first] == static_cast<char32_t>(name[0]) &&
            text[first + 1] == static_cast<char32_t>(name[1]) &&
            text[first + 2] == static_cast<char32_t>(name[2]))
            return static_cast<int>(m) + 1;
    }
    return 0;
}

// The month a typed first letter completes to ("" when none).
std::string_view FirstLetterMonth(char32_t c) {
    switch (c) {
        case U'a': return "apr";
        case U'd': return "dec";
        case U'f': return "feb";
        case U'j': return "jan";
        case U'm': return "mar";
        case U'n': return "nov";
        case U'o': return "oct";
        case U's': return "sep";
        default: return "";
    }
}

// The month a typed second letter completes to after the first one ("" when none).
std::string_view SecondLetterMonth(char32_t first, char32_t c) {
    struct Pair {
        char first, second;
        std::string_view month;
    };
    static constexpr Pair kPairs[] = {{'a', 'p', "apr"}, {'a', 'u', "aug"}, {'d', 'e', "dec"},
                                      {'f', 'e', "feb"}, {'j', 'a', "jan"}, {'j', 'u', "jun"},
                                      {'m', 'a', "mar"}, {'n', 'o', "nov"}, {'o', 'c', "oct"},
                                      {'s', 'e', "sep"}};
    for (const Pair& p : kPairs)
        if (first == static_cast<char32_t>(p.first) && c == static_cast<char32_t>(p.second))
            return p.month;
    return "";
}

// The ASCII text of cells first..last without surrounding blanks; false when a cell
// is not ASCII.
bool TrimmedAscii(const std::u32string& text, int first, int last, std::string& out) {
    out.clear();
    for (int i = first; i <= last; ++i) {
        if (text[i] > 0x7F) return false;
        out.push_back(static_cast<char>(text[i]));
    }
    const size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return false;
    out = out.substr(b, out.find_last_not_of(' ') - b + 1);
    return true;
}

std::string PadLeft(std::string s, int width) {
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
    return s;
}

}  // namespace

int ApplyIntegerRule(std::u32string& t, int first, int last, bool& negativeZero) {
    negativeZero = false;
    if (first == last) {
        if (t[first] == U' ') t[first] = U'0';
        return IsDigit(t[first]) ? -1 : first;
    }
    int i = first;
    while (i < last && (t[i] == U' ' || t[i] == U'0' || t[i] == U'+')) t[i++] = U' ';
    const char32_t c = t[i];
    const bool sign = c == U'-' || c == U'+';
    if (!sign && !(c >= U'1' && c <= U'9')) {
        if (i != last || (c != U'0' && c != U' ')) return i;
        t[last] = U'0';
        return -1;
    }
    if (sign && i == last) return i;  // a sign alone reads as no number
    if (c == U'-' && (t[i + 1] == U' ' || t[i + 1] == U'-')) {
        if (i + 1 == last) {
            t[i] = U' ';
            t[last] = U'0';
            negativeZero = true;
            return -1;
        }
        t[i + 1] = U'1';
    }
    for (int j = i + 1; j <= last; ++j) {
        if (t[j] == U' ' || t[j] == U'-')
            t[j] = U'0';
        else if (!IsDigit(t[j]))
            return j;
    }
    return -1;
}

int ApplyMonthRule(std::u32string& t, int first, int typed) {
    char32_t& c = t[first + typed];
    if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    if (c < U'a' || c > U'z') return 0;
    if (const int m = SpelledMonth(t, first)) return m;
    std::string_view completion;
    if (typed == 0)
        completion = FirstLetterMonth(c);
    else if (typed == 1)
        completion = SecondLetterMonth(t[first], c);
    if (completion.empty()) return 0;
    WriteCells(t, first, completion);
    return SpelledMonth(t, first);
}

std::string_view MonthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : "???";
}

std::string FormatInteger(long long value, int width) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return PadLeft(std::string(buf, r.ptr), width);
}

std::string FormatFixed(double value, int width, int decimals) {
    char buf[400];  // the longest double in fixed notation with up to 12 decimals fits
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return PadLeft(r.ec == std::errc() ? std::string(buf, r.ptr) : std::string(), width);
}

void WriteCells(std::u32string& text, int first, std::string_view s) {
    for (size_t i = 0; i < s.size() && first + i < text.size(); ++i)
        text[first + i] = static_cast<unsigned char>(s[i]);
}

bool ReadInteger(const std::u32string& text, int first, int last, long long& value) {
    std::string s;
    if (!TrimmedAscii(text, first, last, s)) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ReadReal(const std::u32string& text, int first, int last, double& value) {
    std::string s;
    if (!TrimmedAscii(text, first, last, s)) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string CellsToUtf8(std::u32string_view cells) {
    std::string out;
    for (const char32_t c : cells) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}
