#include "Lib/Kestrlib.h"

#include <commctrl.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "Framework/Handles.h"
#include "Framework/SystemLibrary.h"

void DrawTextInRect(const std::string& text, const RECT& rect, int halign, TCanvas& canvas, UINT options,
                    int valign) {
    if (text.empty()) return;
    SIZE size = canvas.TextExtent(text);
    TTextOrigin at = TextOriginInRect(rect.left, rect.top, rect.right, rect.bottom, size.cx, size.cy, halign, valign);
    ExtTextOutA(canvas.Handle(), at.X, at.Y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
}

HICON GetFileSmallIcon(const std::string& path) {
#ifdef _WIN64
    static_assert(sizeof(SHFILEINFOA) == 360, "the shell's file information record, 64-bit");
#else
    static_assert(sizeof(SHFILEINFOA) == 352, "the shell's file information record");
#endif
    constexpr UINT flags = SHGFI_SYSICONINDEX | SHGFI_ATTRIBUTES | SHGFI_TYPENAME | SHGFI_ICON | SHGFI_SMALLICON;
    static_assert(flags == 0x4D01, "system index, attributes, type name, icon, small icon");
    SHFILEINFOA info{};
    DWORD_PTR list = SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, flags);
    // The record's own icon is a copy we have no use for: the list's is taken.
    TIconHandle recordIcon(info.hIcon);
    if (!list) return nullptr;
    return comctl32::ImageList_GetIcon(reinterpret_cast<HIMAGELIST>(list), info.iIcon, ILD_NORMAL);
}

namespace {

// The link object takes its texts as zero-terminated strings of at most
// MAX_PATH bytes.
bool FitsPathBuffer(const std::string& text) { return text.size() < MAX_PATH; }

// The link file's path as the persistence interface takes it; false when it
// does not fit MAX_PATH wide characters with the terminator.
bool WideLinkPath(const std::string& linkPath, WCHAR (&widePath)[MAX_PATH]) {
    const int wideChars = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0);
    if (wideChars <= 0 || wideChars > MAX_PATH) return false;
    return MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) != 0;
}

}  // namespace

std::string ShellLinkTarget(const std::string& linkPath) {
    WCHAR widePath[MAX_PATH];
    if (!WideLinkPath(linkPath, widePath)) return std::string();
    TComRef<IShellLinkA> link;
    TComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutVoid())))
        return std::string();
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return std::string();
    if (FAILED(file->Load(widePath, STGM_READ))) return std::string();
    // The stored path as it is: not resolved, which could go looking for a
    // program that moved and report where it went.
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return std::string();
    return std::string(target, strnlen(target, MAX_PATH));
}

bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& description,
                     const std::string& workDir) {
    if (!FitsPathBuffer(target) || !FitsPathBuffer(description) || !FitsPathBuffer(workDir)) return false;
    WCHAR widePath[MAX_PATH];
    if (!WideLinkPath(linkPath, widePath)) return false;

    // The persistence interface is released before the link object.
    TComRef<IShellLinkA> link;
    TComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutVoid())))
        return false;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (FAILED(link->SetDescription(description.c_str()))) return false;
    if (!workDir.empty() && FAILED(link->SetWorkingDirectory(workDir.c_str()))) return false;
    return SUCCEEDED(file->Save(widePath, TRUE));
}
