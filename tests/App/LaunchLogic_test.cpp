#include "App/LaunchLogic.h"

#include <gtest/gtest.h>

#include <string>

// The limit counts characters: a double-byte character of the ANSI code page
// is one, as in the UTF-16 line the system makes of it.
TEST(LaunchLogic, OnlyAWholePathWithABlankIsQuotedAndLinesStayBelowTheLimit) {
    const auto exists = [](const std::string& path) { return path == "C:\\my progs\\t.exe" || path == "C:\\my docs"; };
    std::string kana(2 * 32764, '\x82');
    for (size_t i = 1; i < kana.size(); i += 2) kana[i] = '\xA0';
    const struct { std::string Command, Params, Line; bool Fits; } cases[] = {
        {"C:\\my progs\\t.exe", "/x", "\"C:\\my progs\\t.exe\" /x", true},
        {"C:\\my docs", "", "\"C:\\my docs\" ", true},
        {"\"C:\\my progs\\t.exe\"", "", "\"C:\\my progs\\t.exe\" ", true},
        {"C:\\my progs\\t.exe -y", "", "C:\\my progs\\t.exe -y ", true},
        {"x", kana, "x " + kana, true},
        {"x", kana + "a", "x " + kana + "a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LaunchCommandLine(c.Command, c.Params, exists), c.Line) << c.Command;
        EXPECT_EQ(CommandLineFits(c.Line), c.Fits) << c.Params.size() << " bytes of arguments";
    }
}
