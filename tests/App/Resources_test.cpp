// The executable's resources as Windows itself loads them: the ellipsis
// glyph pixel by pixel, the two icons at their sizes and colour depth, and
// the version resource. This test links the same resource object as
// Keyvane.exe and reads everything from its own module; the application
// manifest is read from the built Keyvane.exe itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Framework/Handles.h"

namespace {

HMODULE Self() { return GetModuleHandleA(nullptr); }

// A resource's bytes, straight from the module.
std::string ResourceBytes(LPCSTR name, LPCSTR type) {
    HRSRC info = FindResourceA(Self(), name, type);
    if (!info)
        return {};
    HGLOBAL loaded = LoadResource(Self(), info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return std::string(static_cast<const char*>(data), SizeofResource(Self(), info));
}

template <typename T>
T ReadAt(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// ---------------------------------------------------------------------------
// ELIPSIS15

const char* const ElipsisRows[] = {
    "............g#",
    ".##..##..##.g#",
    ".##..##..##.g#",
    "............g#",
    "............g#",
};
constexpr int ElipsisWidth = 14;
constexpr int ElipsisHeight = 5;

COLORREF ElipsisColour(char c) {
    switch (c) {
    case '.': return RGB(192, 192, 192);
    case '#': return RGB(0, 0, 0);
    default: return RGB(128, 128, 128);
    }
}

TEST(ElipsisBitmap, IsStoredRunLengthEncodedWithEightBitsPerPixel) {
    const std::string bytes = ResourceBytes("ELIPSIS15", MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
    const auto header = ReadAt<BITMAPINFOHEADER>(bytes, 0);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, ElipsisWidth);
    EXPECT_EQ(header.biHeight, ElipsisHeight);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RLE8));
    const size_t colours = header.biClrUsed ? header.biClrUsed : 256;
    EXPECT_GE(colours, 3u);
    // The encoded pixels fill the rest of the resource exactly and end with
    // the end-of-bitmap mark.
    const size_t bits = header.biSize + colours * sizeof(RGBQUAD);
    EXPECT_EQ(bits + header.biSizeImage, bytes.size());
    ASSERT_GE(bytes.size(), bits + 2);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\0\1", 2));
}

enum class Loader { LoadBitmap, LoadImageDib };

std::ostream& operator<<(std::ostream& os, Loader loader) {
    return os << (loader == Loader::LoadBitmap ? "LoadBitmapA" : "LoadImageA");
}

class ElipsisPixels : public ::testing::TestWithParam<Loader> {};

TEST_P(ElipsisPixels, MatchTheGlyphRowByRow) {
    TGdiObject<HBITMAP> bitmap(GetParam() == Loader::LoadBitmap
                         ? LoadBitmapA(Self(), "ELIPSIS15")
                         : static_cast<HBITMAP>(LoadImageA(Self(), "ELIPSIS15", IMAGE_BITMAP, 0, 0,
                                                           LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap) << "error " << GetLastError();
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap.Get(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, ElipsisWidth);
    EXPECT_EQ(info.bmHeight, ElipsisHeight);

    TMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    TSelectedObject selected(dc.Get(), bitmap.Get());
    for (int y = 0; y < ElipsisHeight; ++y) {
        for (int x = 0; x < ElipsisWidth; ++x) {
            EXPECT_EQ(GetPixel(dc.Get(), x, y), ElipsisColour(ElipsisRows[y][x]))
                << "pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Loaders, ElipsisPixels, ::testing::Values(Loader::LoadBitmap, Loader::LoadImageDib),
                         ::testing::PrintToStringParamName());

// ---------------------------------------------------------------------------
// Icons

struct IconCase {
    const char* Name;
    int Size;
};

std::ostream& operator<<(std::ostream& os, const IconCase& c) { return os << c.Name << " " << c.Size; }

// The sixteen colours a 16-colour icon can show.
const COLORREF VgaColours[] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

bool IsVgaColour(COLORREF c) {
    for (COLORREF v : VgaColours)
        if (v == c)
            return true;
    return false;
}

class Icons : public ::testing::TestWithParam<IconCase> {};

TEST_P(Icons, HaveASixteenColourImageOfTheirSize) {
    const IconCase& c = GetParam();
    const std::string group = ResourceBytes(c.Name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u) << "no icon group";
    EXPECT_EQ(ReadAt<WORD>(group, 2), 1) << "not an icon group";
    const WORD count = ReadAt<WORD>(group, 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);

    // Group entries: width, height, colour count, reserved, planes, bit count,
    // bytes in resource, icon resource id.
    int id = -1;
    for (WORD i = 0; i < count; ++i) {
        const size_t at = 6 + 14 * i;
        if (ReadAt<BYTE>(group, at) == c.Size && ReadAt<BYTE>(group, at + 1) == c.Size) {
            EXPECT_EQ(ReadAt<BYTE>(group, at + 2), 16);
            EXPECT_EQ(ReadAt<WORD>(group, at + 6), 4);
            id = ReadAt<WORD>(group, at + 12);
        }
    }
    ASSERT_NE(id, -1) << "no " << c.Size << " x " << c.Size << " image";

    const std::string image = ResourceBytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3) /* RT_ICON */);
    const auto header = ReadAt<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ(header.biWidth, c.Size);
    EXPECT_EQ(header.biHeight, 2 * c.Size) << "XOR image and AND mask";
    EXPECT_EQ(header.biBitCount, 4);
    const size_t xorBytes = static_cast<size_t>((c.Size * 4 + 31) / 32 * 4) * c.Size;
    const size_t andBytes = static_cast<size_t>((c.Size + 31) / 32 * 4) * c.Size;
    EXPECT_EQ(image.size(), header.biSize + 16 * sizeof(RGBQUAD) + xorBytes + andBytes);
}

TEST_P(Icons, LoadAtTheirSize) {
    const IconCase& c = GetParam();
    TIconHandle icon(static_cast<HICON>(LoadImageA(Self(), c.Name, IMAGE_ICON, c.Size, c.Size, 0)));
    ASSERT_TRUE(icon) << "error " << GetLastError();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    TGdiObject<HBITMAP> mask(info.hbmMask);
    TGdiObject<HBITMAP> colour(info.hbmColor);
    EXPECT_TRUE(info.fIcon);
    ASSERT_TRUE(colour) << "a colour icon has a colour bitmap";
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(colour.Get(), sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, c.Size);
    EXPECT_EQ(bm.bmHeight, c.Size);
}

// Drawn over a colour that no 16-colour icon holds, the icon must let it
// through at its rounded corners, show only palette colours elsewhere, and
// show the blue key and the yellow bolt (a palette stored in the wrong byte
// order would turn yellow into aqua).
TEST_P(Icons, DrawTransparentCornersAndPaletteColours) {
    const IconCase& c = GetParam();
    TIconHandle icon(static_cast<HICON>(LoadImageA(Self(), c.Name, IMAGE_ICON, c.Size, c.Size, 0)));
    ASSERT_TRUE(icon);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.Size;
    bi.bmiHeader.biHeight = -c.Size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject<HBITMAP> surface(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(surface);
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    TSelectedObject selected(dc.Get(), surface.Get());

    const COLORREF background = RGB(0x12, 0x34, 0x56);
    TGdiObject<HBRUSH> brush(CreateSolidBrush(background));
    const RECT all{0, 0, c.Size, c.Size};
    FillRect(dc.Get(), &all, brush.Get());
    ASSERT_TRUE(DrawIconEx(dc.Get(), 0, 0, icon.Get(), c.Size, c.Size, 0, nullptr, DI_NORMAL));

    const int last = c.Size - 1;
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), background);
    EXPECT_EQ(GetPixel(dc.Get(), last, 0), background);
    EXPECT_EQ(GetPixel(dc.Get(), 0, last), background);
    EXPECT_EQ(GetPixel(dc.Get(), last, last), background);
    EXPECT_NE(GetPixel(dc.Get(), c.Size / 2, c.Size / 2), background);

    int yellow = 0;
    int blue = 0;
    for (int y = 0; y < c.Size; ++y) {
        for (int x = 0; x < c.Size; ++x) {
            const COLORREF p = GetPixel(dc.Get(), x, y);
            if (p == background)
                continue;
            EXPECT_TRUE(IsVgaColour(p)) << "pixel " << x << "," << y << " = " << std::hex << p;
            yellow += p == RGB(255, 255, 0);
            blue += p == RGB(0, 0, 255);
        }
    }
    EXPECT_GT(yellow, c.Size) << "the bolt";
    EXPECT_GT(blue, c.Size) << "the key's face";
}

// MAINICON is the window icon (32 x 32) and carries a 16 x 16 image for
// small views; TRAYICON is the notification-area icon. Both carry the sizes
// of 150 % scaling.
INSTANTIATE_TEST_SUITE_P(Resources, Icons,
                         ::testing::Values(IconCase{"MAINICON", 32}, IconCase{"MAINICON", 16},
                                           IconCase{"MAINICON", 48}, IconCase{"MAINICON", 24},
                                           IconCase{"TRAYICON", 16}, IconCase{"TRAYICON", 24}),
                         [](const auto& info) {
                             return std::string(info.param.Name) + "_" + std::to_string(info.param.Size);
                         });

BOOL CALLBACK KeepFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    *reinterpret_cast<std::string*>(param) =
        IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
    return FALSE;
}

TEST(IconOrder, ProgramIconComesFirstForExplorer) {
    // Explorer shows the first icon group of the executable.
    std::string first;
    EnumResourceNamesA(Self(), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, KeepFirstName,
                       reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, "MAINICON");
}

// ---------------------------------------------------------------------------
// Version

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        ASSERT_GT(length, 0u);
        ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &handle);
        ASSERT_GT(size, 0u) << "no version resource, error " << GetLastError();
        FBlock.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, FBlock.data()));
    }

    // The value under a sub-block path, or nullptr with length 0.
    const void* Query(const char* subBlock, UINT& length) {
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueA(FBlock.data(), subBlock, &value, &length))
            return nullptr;
        return value;
    }

    std::vector<char> FBlock;
};

TEST_F(VersionResource, FixedInfoCarriesTheVersion) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\", length));
    ASSERT_TRUE(fixed);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 0);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 5);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 1);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 77);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResource, IsJapaneseShiftJis) {
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation", length));
    ASSERT_TRUE(translation);
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
}

TEST_F(VersionResource, StringTableNamesTheProduct) {
    const struct {
        const char* Key;
        const char* Expected;
    } cases[] = {
        {"CompanyName", "Keyvane Project"},
        {"FileDescription", "Keyvane"},
        {"FileVersion", "0.5.1.77"},
        {"InternalName", "Keyvane"},
        {"OriginalFilename", "Keyvane.exe"},
        {"ProductName", "Keyvane"},
        {"ProductVersion", "0.5.1.77"},
    };
    for (const auto& c : cases) {
        const std::string path = std::string("\\StringFileInfo\\041103A4\\") + c.Key;
        UINT length = 0;
        const auto* text = static_cast<const char*>(Query(path.c_str(), length));
        ASSERT_TRUE(text) << c.Key;
        EXPECT_STREQ(text, c.Expected) << c.Key;
    }
}

// ---------------------------------------------------------------------------
// Application manifest of the built program

// The built program, opened as a data file: its resources without running it.
// The build hands its Unix path over; Wine shows the root as drive Z:.
class BuiltProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::string path = std::string("Z:") + KV_KEYVANE_EXE;
        for (char& c : path)
            if (c == '/') c = '\\';
        FModule.Reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(FModule) << path << ": error " << GetLastError();
    }

    // The text of the manifest resource 1, empty when there is none.
    std::string Manifest() const {
        HRSRC info = FindResourceA(FModule.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        HGLOBAL loaded = info ? LoadResource(FModule.Get(), info) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return {};
        return std::string(static_cast<const char*>(data), SizeofResource(FModule.Get(), info));
    }

    TLibrary FModule;
};

// The loader's view of the built program, read from its file: the flags of its
// optional header and the names of the libraries it imports.
struct TImportsAndFlags {
    WORD DllCharacteristics = 0;
    std::vector<std::string> Imports;
};

TImportsAndFlags ReadImportsAndFlags(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto read = [&](size_t offset, void* to, size_t size) {
        if (offset > bytes.size() || size > bytes.size() - offset) throw std::runtime_error("truncated image");
        std::memcpy(to, bytes.data() + offset, size);
    };
    IMAGE_DOS_HEADER dos;
    read(0, &dos, sizeof dos);
    // The test is built for the program's own machine, so the native header fits.
    IMAGE_NT_HEADERS nt;
    read(static_cast<size_t>(dos.e_lfanew), &nt, sizeof nt);
    if (nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) throw std::runtime_error("another machine's image");
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    read(static_cast<size_t>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
             nt.FileHeader.SizeOfOptionalHeader,
         sections.data(), sections.size() * sizeof(IMAGE_SECTION_HEADER));
    const auto offsetOf = [&](DWORD rva) -> size_t {
        for (const IMAGE_SECTION_HEADER& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        throw std::runtime_error("address outside the sections");
    };
    TImportsAndFlags result;
    result.DllCharacteristics = nt.OptionalHeader.DllCharacteristics;
    const DWORD table = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = offsetOf(table);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR entry;
        read(at, &entry, sizeof entry);
        if (entry.Name == 0) break;
        result.Imports.emplace_back(bytes.c_str() + offsetOf(entry.Name));
    }
    return result;
}

// Windows takes these from the system folder whatever lies beside the
// program; any other library would be searched for in the program's folder
// first, before the program could restrict the search.
TEST(BuiltProgramImage, ImportsOnlyKnownSystemLibrariesAndIsHardened) {
    const TImportsAndFlags image = ReadImportsAndFlags(std::string("Z:") + KV_KEYVANE_EXE);
    const std::vector<std::string> known{"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                         "shell32.dll",  "ole32.dll",  "oleaut32.dll", "comdlg32.dll",
                                         "shlwapi.dll",  "imm32.dll",  "msvcrt.dll"};
    EXPECT_FALSE(image.Imports.empty());
    for (std::string name : image.Imports) {
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(std::find(known.begin(), known.end(), name) != known.end()) << name << " is no known DLL";
    }
    WORD expected = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT |
                    IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE;
#ifdef _WIN64
    expected |= IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA;
#else
    expected |= IMAGE_DLLCHARACTERISTICS_NO_SEH;
#endif
    EXPECT_EQ(image.DllCharacteristics & expected, expected) << std::hex << image.DllCharacteristics;
}

TEST_F(BuiltProgram, ManifestRunsAsInvokerWithoutVirtualisationOnEveryListedWindows) {
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty()) << "Keyvane.exe carries no application manifest";
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string::npos);
    EXPECT_NE(manifest.find("version=\"0.5.1.77\""), std::string::npos) << "the program's own version";
    const struct {
        const char* Windows;
        const char* Id;
    } systems[] = {
        {"7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
        {"8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
        {"8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {"10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    };
    for (const auto& os : systems)
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + os.Id + "\"/>"), std::string::npos)
            << "Windows " << os.Windows;
}

// System DPI awareness, not per monitor: the program scales its forms once, at creation.
TEST_F(BuiltProgram, ManifestKeepsTheClassicControlsAndDeclaresSystemDpiAwareness) {
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    const char dpiAware[] = "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>";
    EXPECT_NE(manifest.find(dpiAware), std::string::npos);
    for (const char* absent : {"Microsoft.Windows.Common-Controls", "dependency", "dpiAwareness", "PerMonitor"})
        EXPECT_EQ(manifest.find(absent), std::string::npos) << absent;
}

} // namespace
