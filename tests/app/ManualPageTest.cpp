// The manual page and "qern2rinex --help" name the same long options, so that a new
// option cannot ship undocumented.
#include "app/cli/CommandLine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const char* const kManualPage = QERN_SOURCE_DIR "/packaging/qern2rinex.1";

// The long options ("--name") a text names; in groff source "\-" is a "-" and
// comment lines are left out.
std::set<std::string> LongOptionsIn(const std::string& text) {
    std::set<std::string> options;
    std::istringstream lines(text);
    static const std::regex option("--[a-z][a-z0-9-]*[a-z0-9]");
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(".\\\"", 0) == 0) continue;
        line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
        for (std::sregex_iterator m(line.begin(), line.end(), option), end; m != end; ++m) options.insert(m->str());
    }
    return options;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ManualPage, NamesTheOptionsOfTheUsageText) {
    const std::string page = ReadText(kManualPage);
    ASSERT_FALSE(page.empty()) << kManualPage;
    const std::set<std::string> usage = LongOptionsIn(UsageText("qern2rinex"));
    const std::set<std::string> manual = LongOptionsIn(page);
    for (const char* known : {"--marker", "--marker-number", "--no-smoothed-codes", "--qc-plots", "--scan"})
        EXPECT_EQ(usage.count(known), 1u) << known << " not read from the usage text";
    for (const std::string& o : usage)
        EXPECT_EQ(manual.count(o), 1u) << o << " is in --help but not documented in packaging/qern2rinex.1";
    for (const std::string& o : manual)
        EXPECT_EQ(usage.count(o), 1u) << o << " is documented in packaging/qern2rinex.1 but not in --help";
}

}  // namespace
