// Helpers of the RINEX writer tests: expected lines and the lines of a written text.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rinextest {

// One expected line: exactly 80 characters, then CR LF.
inline std::string L(const std::string& s) {
    EXPECT_EQ(s.size(), 80u) << "bad expected line: [" << s << "]";
    return s + "\r\n";
}

// Splits a text into its CR LF terminated lines (terminators dropped).
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

}  // namespace rinextest
