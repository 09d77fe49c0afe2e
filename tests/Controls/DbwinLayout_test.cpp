#include "Controls/DbwinLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Framework/Exception.h"

namespace {

TDebugLine Line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    TDebugLine line = FormatDebugLine(format, args);
    va_end(args);
    return line;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TempDir {
    std::filesystem::path dir;
    std::string path;
    TempDir() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() / (std::string("dbwin-") + test->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        path = dir.string();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace

TEST(DebugWindowPlacement, DocksAtTheRightEdgeFromTopToBottom) {
    const struct {
        int sw, sh, fw;
    } cases[] = {{1024, 768, 250}, {1920, 1080, 250}, {200, 150, 250}};
    for (const auto& c : cases) {
        const TRect b = DockRight(c.sw, c.sh, c.fw);
        EXPECT_EQ(b.Right, c.sw) << c.sw;
        EXPECT_EQ(b.Width(), c.fw) << c.sw;
        EXPECT_EQ(b.Top, 0) << c.sw;
        EXPECT_EQ(b.Bottom, c.sh) << c.sw;
    }
}

TEST(DebugLineFormat, FormatsLikePrintfAndCountsInFull) {
    TDebugLine l = Line("%d:%x:%s", 42, 255, "abc");
    EXPECT_EQ(l.Count, 9);
    EXPECT_FALSE(l.TooLong);
    EXPECT_STREQ(l.Text, "42:ff:abc");
    l = Line("%s", "");
    EXPECT_EQ(l.Count, 0);
    EXPECT_STREQ(l.Text, "");
}

TEST(DebugLineFormat, ALineAtTheLimitFitsAndALongerOneIsCutInsideTheBuffer) {
    const struct {
        int length;
        bool tooLong;
    } cases[] = {{16382, false}, {16383, false}, {16384, true}, {16385, true}, {100000, true}};
    for (const auto& c : cases) {
        std::string text(static_cast<size_t>(c.length), 'x');
        text[0] = 'A';
        TDebugLine l = Line("%s", text.c_str());
        EXPECT_EQ(l.Count, c.length);
        EXPECT_EQ(l.TooLong, c.tooLong) << c.length;
        std::string kept = l.Text;
        EXPECT_EQ(kept, text.substr(0, DebugBufferSize - 1)) << c.length;
    }
}

TEST(DebugText, SavingReplacesTheFileWithTheTextAsItIs) {
    TempDir dir;
    std::string name = dir.path + "/out.txt";
    SaveDebugText(name, std::string(1000, 'z'));
    SaveDebugText(name, "one\r\ntwo\r\n");
    EXPECT_EQ(ReadFile(name), "one\r\ntwo\r\n");
    SaveDebugText(name, "");
    EXPECT_EQ(ReadFile(name), "");
}

TEST(DebugText, AFileThatCannotBeCreatedRaisesTheFileCreationError) {
    TempDir dir;
    std::string name = dir.path + "/missing/out.txt";
    try {
        SaveDebugText(name, "x");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + name + " を作成できません");
    }
}
