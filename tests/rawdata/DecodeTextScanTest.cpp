// Number readers of the ASCII decoder: the scanf input rules they stand in for,
// saturation instead of overflow, finite reals only, and no reading past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "rawdata/TextScan.h"

TEST(DecodeTextScan, UnsignedAndSignedDecimals) {
    uint64_t u = 0;
    int64_t s = 0;
    EXPECT_TRUE(ParseUnsigned(" \t\n 1590 3456000", u));
    EXPECT_EQ(u, 1590u);
    EXPECT_TRUE(ParseUnsigned("+12abc", u));
    EXPECT_EQ(u, 12u);
    EXPECT_TRUE(ParseUnsigned("-1", u));  // negated modulo 2^64 as strtoul does
    EXPECT_EQ(u, std::numeric_limits<uint64_t>::max());
    EXPECT_TRUE(ParseUnsigned("99999999999999999999999", u));
    EXPECT_EQ(u, std::numeric_limits<uint64_t>::max());
    // Saturation starts exactly past the largest value.
    for (const auto& [text, expected] : {std::pair{"18446744073709551614", ~uint64_t{1}},
                                         std::pair{"18446744073709551615", ~uint64_t{0}},
                                         std::pair{"18446744073709551616", ~uint64_t{0}}}) {
        EXPECT_TRUE(ParseUnsigned(text, u));
        EXPECT_EQ(u, expected) << text;
    }
    EXPECT_FALSE(ParseUnsigned("", u));
    EXPECT_FALSE(ParseUnsigned("   ", u));
    EXPECT_FALSE(ParseUnsigned("-", u));
    EXPECT_FALSE(ParseUnsigned("x1", u));
    EXPECT_TRUE(ParseSigned("-32", s));
    EXPECT_EQ(s, -32);
    EXPECT_TRUE(ParseSigned("-99999999999999999999999", s));
    EXPECT_EQ(s, std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(ParseSigned("99999999999999999999999", s));
    EXPECT_EQ(s, std::numeric_limits<int64_t>::max());
    uint16_t w = 0;
    EXPECT_TRUE(ParseUnsigned16("65535", w));
    EXPECT_EQ(w, 65535);
    EXPECT_FALSE(ParseUnsigned16("65536", w));
    EXPECT_FALSE(ParseUnsigned16("-1", w));
}

TEST(DecodeTextScan, Hexadecimal) {
    uint64_t v = 0;
    EXPECT_TRUE(ParseHex("8d6803", v));
    EXPECT_EQ(v, 0x8D6803u);
    EXPECT_TRUE(ParseHex(" 0XfeFF,", v));
    EXPECT_EQ(v, 0xFEFFu);
    EXPECT_TRUE(ParseHex("0x", v));  // the zero, then "x" is not part of the number
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(ParseHex("FFFFFFFFFFFFFFFFFFFFFF", v));
    EXPECT_EQ(v, std::numeric_limits<uint64_t>::max());
    EXPECT_FALSE(ParseHex("g1", v));
}

TEST(DecodeTextScan, RealsFiniteOnly) {
    double d = 0;
    EXPECT_TRUE(ParseReal(" 345600.5", d));
    EXPECT_EQ(d, 345600.5);
    EXPECT_TRUE(ParseReal("+1e-3x", d));
    EXPECT_EQ(d, 0.001);
    EXPECT_TRUE(ParseReal("-.25", d));
    EXPECT_EQ(d, -0.25);
    EXPECT_TRUE(ParseReal("712345678", d));
    EXPECT_EQ(d, 712345678.0);
    EXPECT_FALSE(ParseReal("+-1", d));
    EXPECT_FALSE(ParseReal("--1", d));
    EXPECT_FALSE(ParseReal("inf", d));
    EXPECT_FALSE(ParseReal("nan", d));
    EXPECT_FALSE(ParseReal("1e400", d));
    EXPECT_FALSE(ParseReal(".", d));
    EXPECT_FALSE(ParseReal("", d));
}

TEST(DecodeTextScan, ReadsStopAtTheEnd) {
    // Digits up to the last byte of an unterminated buffer: nothing past it is read
    // (the address sanitizer build checks this).
    const std::string text = "  1234567";
    auto buf = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buf.get());
    const char* p = buf.get();
    uint64_t u = 0;
    ASSERT_TRUE(ScanUnsigned(p, buf.get() + text.size(), u));
    EXPECT_EQ(u, 1234567u);
    EXPECT_EQ(p, buf.get() + text.size());
    p = buf.get();
    double d = 0;
    ASSERT_TRUE(ScanReal(p, buf.get() + 5, d));  // "  123"
    EXPECT_EQ(d, 123.0);
    p = buf.get();
    EXPECT_FALSE(ScanHex(p, buf.get() + 2, u));
    // Several numbers in sequence, as "%u%ld" reads a time header.
    const std::string header = "1590 3456000 rest";
    const char* q = header.data();
    int64_t tenths = 0;
    ASSERT_TRUE(ScanUnsigned(q, header.data() + header.size(), u));
    ASSERT_TRUE(ScanSigned(q, header.data() + header.size(), tenths));
    EXPECT_EQ(u, 1590u);
    EXPECT_EQ(tenths, 3456000);
    EXPECT_FALSE(ScanSigned(q, header.data() + header.size(), tenths));
}
