#include "Lib/Kestrlib.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "Framework/Handles.h"

namespace {

std::string ModulePath() {
    char buf[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

bool FileExistsA(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    {
        const TFindHandle find(FindFirstFileA((dir + "\\*").c_str(), &fd));
        if (find) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
                else DeleteFileA(full.c_str());
            } while (FindNextFileA(find.Get(), &fd));
        }
    }
    RemoveDirectoryA(dir.c_str());
}

// A fresh folder under the temporary folder, removed with what it holds.
class TTempFolder {
public:
    TTempFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        for (unsigned n = GetTickCount();; ++n) {
            FPath = std::string(temp) + "kvlink-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
            if (CreateDirectoryA(FPath.c_str(), nullptr)) break;
        }
    }
    ~TTempFolder() { RemoveTree(FPath); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// ------------------------------------------------------------ DrawTextInRect

// A white 32-bit bitmap selected into a memory DC, with pixel access.
class TPixelSurface {
public:
    TPixelSurface(int width, int height) : FWidth(width), FHeight(height), FDC(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap.Reset(CreateDIBSection(FDC.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        FBits = static_cast<DWORD*>(bits);
        FSelected = TSelectedObject(FDC.Get(), FBitmap.Get());
        Clear();
    }
    TPixelSurface(const TPixelSurface&) = delete;
    TPixelSurface& operator=(const TPixelSurface&) = delete;

    HDC DC() const { return FDC.Get(); }
    void Clear() {
        GdiFlush();
        for (int i = 0; i < FWidth * FHeight; ++i) FBits[i] = 0xFFFFFF;
    }
    // Bounding box of every pixel that is no longer white; empty when none.
    RECT Painted() const {
        GdiFlush();
        RECT box{FWidth, FHeight, 0, 0};
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if ((FBits[y * FWidth + x] & 0xFFFFFF) != 0xFFFFFF) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        if (box.right == 0) box = RECT{0, 0, 0, 0};
        return box;
    }

private:
    int FWidth, FHeight;
    // In this order, so that the bitmap leaves the DC before either goes.
    TMemoryDC FDC;
    TGdiObject<HBITMAP> FBitmap;
    TSelectedObject FSelected;
    DWORD* FBits = nullptr;
};

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << a.left << "," << a.top << "," << a.right << "," << a.bottom
                                         << "} vs {" << b.left << "," << b.top << "," << b.right << "," << b.bottom
                                         << "}";
}

}  // namespace

// The canvas paints the text's cell in its red background colour, so the
// painted box is exactly where the text was put and how it was clipped.
TEST(DrawTextInRect, PutsTheTextCellWhereTheAlignmentSaysAndClipsItToTheRectangle) {
    TPixelSurface surface(240, 80);
    TCanvas canvas(surface.DC());
    canvas.SetBrushColor(clRed);
    const RECT rect{20, 10, 180, 50};
    struct Case {
        const char* text;
        int halign, valign;
        UINT options;
    };
    const Case cases[] = {
        {"Keyvane", 0, 0, ETO_CLIPPED},
        {"Keyvane", 1, 1, ETO_CLIPPED},
        {"Keyvane", 2, 2, ETO_CLIPPED},
        {"WIN + F12", 0, 2, ETO_CLIPPED},
        {"ショートカット", 2, 2, ETO_CLIPPED},
        // Wider than the rectangle: starts left of it and is clipped to it...
        {"C:\\Program Files\\Keyvane Tools\\Launcher\\app.exe", 2, 2, ETO_CLIPPED},
        {"C:\\Program Files\\Keyvane Tools\\Launcher\\app.exe", 1, 0, ETO_CLIPPED},
        // ...unless the caller's options leave clipping out.
        {"C:\\Program Files\\Keyvane\\app.exe", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " align " << c.halign << "/" << c.valign << " options "
                                          << c.options);
        surface.Clear();
        DrawTextInRect(c.text, rect, c.halign, canvas, c.options, c.valign);
        SIZE size = canvas.TextExtent(c.text);
        TTextOrigin at = TextOriginInRect(rect.left, rect.top, rect.right, rect.bottom, size.cx, size.cy, c.halign,
                                          c.valign);
        RECT cell{at.X, at.Y, at.X + size.cx, at.Y + size.cy};
        RECT expected = cell;
        if (c.options & ETO_CLIPPED) IntersectRect(&expected, &cell, &rect);
        const RECT bitmap{0, 0, 240, 80};
        IntersectRect(&expected, &expected, &bitmap);
        EXPECT_TRUE(SameRect(surface.Painted(), expected));
    }
}

TEST(DrawTextInRect, AnEmptyTextDrawsNothing) {
    TPixelSurface surface(100, 40);
    TCanvas canvas(surface.DC());
    canvas.SetBrushColor(clRed);
    DrawTextInRect("", RECT{0, 0, 100, 40}, 2, canvas, ETO_CLIPPED | ETO_OPAQUE, 2);
    EXPECT_TRUE(SameRect(surface.Painted(), RECT{0, 0, 0, 0}));
}

// ------------------------------------------------------------ GetFileSmallIcon

TEST(GetFileSmallIcon, GivesTheSmallIconOfAnExistingFileAndNoneOtherwise) {
    const TIconHandle icon(GetFileSmallIcon(ModulePath()));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    const TGdiObject<HBITMAP> mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON));

    EXPECT_EQ(GetFileSmallIcon(FolderOf(ModulePath()) + "no-such-file-4711.exe"), nullptr);
}

// ------------------------------------------------------------ CreateShellLink

namespace {

struct LinkContents {
    std::string path, workDir, description, arguments;
};

class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FCom.Initialised()); }

    static bool ReadLink(const std::string& linkPath, LinkContents& out) {
        TComRef<IShellLinkA> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())))
            return false;
        TComRef<IPersistFile> file;
        bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid()));
        if (ok) {
            WCHAR wide[1024] = {};
            MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, 1024);
            ok = SUCCEEDED(file->Load(wide, STGM_READ));
            char buf[1024];
            buf[0] = 0;
            ok = ok && SUCCEEDED(link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH));
            out.path = buf;
            buf[0] = 0;
            ok = ok && SUCCEEDED(link->GetWorkingDirectory(buf, sizeof buf));
            out.workDir = buf;
            buf[0] = 0;
            ok = ok && SUCCEEDED(link->GetDescription(buf, sizeof buf));
            out.description = buf;
            buf[0] = 0;
            ok = ok && SUCCEEDED(link->GetArguments(buf, sizeof buf));
            out.arguments = buf;
        }
        return ok;
    }

    TComInit FCom;
    TTempFolder temp;
};

}  // namespace

TEST_F(ShellLinkTest, SavesALinkWithTargetWorkingFolderAndDescription) {
    const std::string exe = ModulePath();
    const std::string link = temp.Path() + "\\Kestrlib_test.lnk";
    const std::string title = "Keyvane 『Windowsキーをもっと使おう』";
    ASSERT_TRUE(CreateShellLink(exe, link, title, FolderOf(exe)));
    LinkContents got;
    ASSERT_TRUE(ReadLink(link, got));
    EXPECT_EQ(got.path, exe);
    EXPECT_EQ(got.workDir, FolderOf(exe));
    EXPECT_EQ(got.description, title);
    EXPECT_EQ(got.arguments, "");
}

TEST_F(ShellLinkTest, AnEmptyWorkingFolderIsNotSet) {
    const std::string link = temp.Path() + "\\nowork.lnk";
    ASSERT_TRUE(CreateShellLink(ModulePath(), link, "d", ""));
    LinkContents got;
    ASSERT_TRUE(ReadLink(link, got));
    EXPECT_EQ(got.workDir, "");
    EXPECT_EQ(got.description, "d");
}

TEST_F(ShellLinkTest, TheLinkPathIsLimitedInCharactersNotBytes) {
    // 80 double-byte characters: 160 bytes each, far fewer characters.
    std::string word;
    for (int i = 0; i < 80; ++i) word += "あ";
    const std::string folder = temp.Path() + "\\" + word;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string link = folder + "\\" + word + ".lnk";
    ASSERT_GE(link.size(), 260u);
    ASSERT_TRUE(CreateShellLink(ModulePath(), link, "wide", ""));
    EXPECT_TRUE(FileExistsA(link));
    LinkContents got;
    ASSERT_TRUE(ReadLink(link, got));
    EXPECT_EQ(got.description, "wide");
}

TEST_F(ShellLinkTest, RefusesTextsThatDoNotFitThePathBuffersAndWritesNothing) {
    const std::string exe = ModulePath();
    const std::string ok = temp.Path() + "\\ok.lnk";
    auto padded = [](std::string text, size_t size) {
        text.resize(size, 'x');
        return text;
    };
    // Exactly 259 characters, the most the path buffer holds.
    const std::string longest = padded(temp.Path() + "\\", 255) + ".lnk";
    const std::string tooLong = padded(temp.Path() + "\\", 256) + ".lnk";
    ASSERT_EQ(longest.size(), 259u);
    struct Case {
        const char* what;
        std::string target, link, description, workDir;
        bool expected;
    };
    const Case cases[] = {
        {"target of 260 bytes", padded("C:\\", 260), ok, "d", "", false},
        {"description of 260 bytes", exe, ok, padded("", 260), "", false},
        {"working folder of 260 bytes", exe, ok, "d", padded("C:\\", 260), false},
        {"link path of 260 characters", exe, tooLong, "d", "", false},
        {"link path of 259 characters", exe, longest, "d", "", true},
        {"description of 259 bytes", exe, ok, padded("", 259), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(c.link.c_str());
        EXPECT_EQ(CreateShellLink(c.target, c.link, c.description, c.workDir), c.expected);
        EXPECT_EQ(FileExistsA(c.link), c.expected);
        if (c.expected) {
            LinkContents got;
            ASSERT_TRUE(ReadLink(c.link, got));
            EXPECT_EQ(got.description, c.description);
        }
    }
}

TEST_F(ShellLinkTest, ASaveThatFailsIsReportedAsFalse) {
    const std::string link = temp.Path() + "\\no-such-folder\\x.lnk";
    EXPECT_FALSE(CreateShellLink(ModulePath(), link, "d", ""));
    EXPECT_FALSE(FileExistsA(link));
}
