#include "Lib/KestrlibPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework/Locale.h"

namespace {

// One pixel per byte keeps the expected widths readable.
int ByteWidth(const std::string& s) { return static_cast<int>(s.size()); }

struct ShortenCase {
    const char* path;
    int maxWidth;
    const char* expected;
};

void CheckShorten(const std::vector<ShortenCase>& cases) {
    for (const ShortenCase& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " in " + std::to_string(c.maxWidth));
        EXPECT_EQ(ShortenPath(c.path, c.maxWidth, ByteWidth), c.expected);
    }
}

// The portable code must behave the same under every platform locale.
class KestrlibPath : public ::testing::Test {
protected:
    void SetUp() override { SetLocale(&locale); }
    void TearDown() override { SetLocale(nullptr); }
    TNativeLocale locale;
};

}  // namespace

TEST_F(KestrlibPath, TextOriginFollowsTheAlignmentCodes) {
    struct Case {
        int width, height, halign, valign, x, y;
    };
    // Rectangle 10,20 - 110,40: 100 wide, 20 high.
    const Case cases[] = {
        {30, 12, 0, 0, 10, 20},
        {30, 12, 1, 1, 80, 28},
        {30, 12, 2, 2, 45, 24},
        {30, 13, 2, 2, 45, 23},   // 7 / 2 truncates to 3
        {31, 12, 2, 0, 44, 20},   // 69 / 2 truncates to 34
        {30, 12, 7, -1, 10, 20},  // unknown codes: left / top
        // Wider than the rectangle: starts left of it; -25 / 2 is -12, not -13.
        {125, 12, 2, 2, -2, 24},
        {125, 12, 1, 2, -15, 24},
        {125, 30, 0, 2, 10, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " align " << c.halign << "/" << c.valign);
        TTextOrigin o = TextOriginInRect(10, 20, 110, 40, c.width, c.height, c.halign, c.valign);
        EXPECT_EQ(o.X, c.x);
        EXPECT_EQ(o.Y, c.y);
    }
}

TEST_F(KestrlibPath, DropsLeadingFoldersThenTheDriveAsTheCellNarrows) {
    CheckShorten({
        {"C:\\Program Files\\Tools\\app.exe", 30, "C:\\Program Files\\Tools\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 29, "C:\\...\\Tools\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 20, "C:\\...\\Tools\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 19, "C:\\...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 14, "C:\\...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 13, "...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 11, "...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 10, "app.exe"},
        // The name itself is never cut: drawing clips what is left.
        {"C:\\Program Files\\Tools\\app.exe", 3, "app.exe"},
        {"C:\\Tools\\a-very-long-program-name.exe", 5, "a-very-long-program-name.exe"},
        {"C:\\a\\b\\c\\d.exe", 0, "d.exe"},
    });
}

TEST_F(KestrlibPath, PathsWithoutADrive) {
    CheckShorten({
        {"\\Program Files\\Tools\\app.exe", 27, "\\...\\Tools\\app.exe"},
        {"\\Program Files\\Tools\\app.exe", 17, "\\...\\app.exe"},
        {"\\Program Files\\Tools\\app.exe", 11, "...\\app.exe"},
        {"\\Program Files\\Tools\\app.exe", 10, "app.exe"},
        {"Tools\\Bin\\app.exe", 16, "...\\Bin\\app.exe"},
        {"Tools\\Bin\\app.exe", 14, "...\\app.exe"},
        {"Tools\\Bin\\app.exe", 10, "app.exe"},
        {"\\app.exe", 5, "app.exe"},
        // Nothing to drop: left as it is, however wide.
        {"notepad.exe", 1, "notepad.exe"},
        {"", 0, ""},
    });
}

TEST_F(KestrlibPath, DriveHandling) {
    CheckShorten({
        // A drive-relative name: only the drive can go.
        {"C:app.exe", 8, "app.exe"},
        {"C:app.exe", 9, "C:app.exe"},
        {"C:\\app.exe", 9, "C:app.exe"},
        {"C:\\app.exe", 6, "app.exe"},
        // A working folder: everything is folder, the name part is empty.
        {"C:\\Work\\Sub\\", 11, "C:\\...\\Sub\\"},
        {"C:\\Work\\Sub\\", 6, "...\\"},
        {"C:\\Work\\Sub\\", 3, ""},
        {"C:\\", 2, "C:"},
        {"C:\\", 1, ""},
    });
}

TEST_F(KestrlibPath, AFolderPartOfJustTheEllipsisLosesTheDriveAndItsLeadingSeparator) {
    CheckShorten({
        {"C:\\...\\app.exe", 13, "...\\app.exe"},
        {"\\...\\app.exe", 11, "...\\app.exe"},
        {"C:\\...\\Tools\\app.exe", 19, "C:\\...\\app.exe"},
        // A share: each step drops one leading folder.
        {"\\\\srv\\share\\app.exe", 18, "\\...\\share\\app.exe"},
        {"\\\\srv\\share\\app.exe", 17, "\\...\\app.exe"},
    });
}

TEST_F(KestrlibPath, ADoubleByteFolderWhoseTrailByteIsABackslashIsOneFolder) {
    // "表" is 0x95 0x5C in Shift-JIS: its trail byte is "\" and must not split it.
    const std::string hyo = "表";
    ASSERT_EQ(hyo, "\x95\x5C");
    const std::string path = "C:\\表示\\Tools\\" + hyo + ".exe";
    CheckShorten({
        {path.c_str(), static_cast<int>(path.size()) - 1, "C:\\...\\Tools\\表.exe"},
        {path.c_str(), 15, "C:\\...\\表.exe"},
        {path.c_str(), 10, "...\\表.exe"},
        {path.c_str(), 9, "表.exe"},
        // Dropping "表\" for "...\" widens the text, so one more folder goes.
        {"表\\表\\表.exe", 11, "...\\表.exe"},
        {"表\\表\\表.exe", 9, "表.exe"},
    });
}

TEST_F(KestrlibPath, MeasuresTheTextItWouldShowAndStopsAtTheFirstFit) {
    std::vector<std::string> measured;
    auto width = [&](const std::string& s) {
        measured.push_back(s);
        return static_cast<int>(s.size()) * 7;
    };
    EXPECT_EQ(ShortenPath("C:\\Program Files\\Tools\\app.exe", 100, width), "C:\\...\\app.exe");
    EXPECT_EQ(measured, (std::vector<std::string>{"C:\\Program Files\\Tools\\app.exe", "C:\\...\\Tools\\app.exe",
                                                  "C:\\...\\app.exe"}));
}
