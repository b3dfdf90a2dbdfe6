#include "app/dialog/AsciiText.h"


namespace {

// Plain forms of U+00C0..U+017F; empty for the two signs among them (× and ÷).
constexpr const char* kLatin[0x180 - 0xC0] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I", "D", "N", "O",
    "O", "O", "O", "O", "", "O", "U", "U", "U", "U", "Y", "TH", "ss", "a", "a", "a", "a", "a", "a",
    "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i", "d", "n", "o", "o", "o", "o", "o", "", "o",
    "u", "u", "u", "u", "y", "th", "y", "A", "a", "A", "a", "A", "a", "C", "c", "C", "c", "C", "c",
    "C", "c", "D", "d", "D", "d", "E", "e", "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G",
    "g", "G", "g", "G", "g", "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i", "I", "i",
    "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L", "l", "L", "l", "N",
    "n", "N", "n", "N", "n", "'n", "NG", "ng", "O", "o", "O", "o", "O", "o", "OE", "oe", "R", "r",
    "R", "r", "R", "r", "S", "s", "S", "s", "S", "s", "S", "s", "T", "t", "T", "t", "T", "t", "U",
    "u", "U", "u", "U", "u", "U", "u", "U", "u", "U", "u", "W", "w", "Y", "y", "Y", "Z", "z", "Z",
    "z", "Z", "z", "s",
};

// Decodes the UTF-8 sequence at text[i]; its length in bytes, 0 when it is none.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& c) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) >> 6) != 2) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    return length;
}

// A byte that is no UTF-8, written as \xNN.
std::string ByteText(char byte) {
    static const char kHex[] = "0123456789ABCDEF";
    const unsigned char b = static_cast<unsigned char>(byte);
    return std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
}

}  // namespace

AsciiText ToAsciiText(std::string_view utf8) {
    AsciiText out;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        size_t length = DecodeUtf8(utf8, i, c);
        const std::string_view original = utf8.substr(i, length == 0 ? 1 : length);
        i += original.size();
        const char* plain = nullptr;
        if (length != 0 && c >= 0x20 && c < 0x7F)
            out.text += static_cast<char>(c);
        else if (length != 0 && c >= 0xC0 && c < 0x180 && *(plain = kLatin[c - 0xC0]) != '\0')
            out.text += plain;
        else {
            out.text += original;
            if (out.refused.empty()) out.refused = length == 0 ? ByteText(original[0]) : std::string(original);
        }
    }
    return out;
}
