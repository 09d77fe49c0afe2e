#include "Framework/SystemLibrary.h"

#include <string>

#include "Framework/Exception.h"
#include "Framework/SysUtils.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32: the system folder and nothing else.
constexpr DWORD SearchSystem32 = 0x00000800;

bool searchRestricted = false;

// The system's text for an error code, or its number when it has none.
std::string Reason(DWORD error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    std::string reason = Format("%lu", static_cast<unsigned long>(error));
    return length > 0 ? reason + ": " + std::string(text, length) : reason;
}

template <typename T>
T Entry(const char* library, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(SystemProc(library, name)));
}

}  // namespace

void RestrictLibrarySearch() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (proc && reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void*>(proc))(SearchSystem32)) {
        searchRestricted = true;
        return;
    }
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name) {
    if (searchRestricted) return LoadLibraryA(name);
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0) return nullptr;
    if (length >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    // The libraries this one loads in turn are looked for in its own folder,
    // the system folder, before the program's.
    return LoadLibraryExA((std::string(folder, length) + "\\" + name).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProc(const char* library, const char* name) {
    // Each entry point is resolved once and its library never freed, so the
    // reference taken here is the one that keeps it loaded.
    HMODULE module = LoadSystemLibrary(library);
    if (!module)
        throw Exception(Format("ライブラリ %s を読み込めません (%s)。", library, Reason(GetLastError()).c_str()));
    FARPROC proc = GetProcAddress(module, name);
    if (!proc)
        throw Exception(
            Format("ライブラリ %s に %s がありません (%s)。", library, name, Reason(GetLastError()).c_str()));
    return proc;
}

namespace comctl32 {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    static const auto entry = Entry<decltype(&::InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    return entry(icc);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) {
    static const auto entry = Entry<decltype(&::ImageList_GetIcon)>("comctl32.dll", "ImageList_GetIcon");
    return entry(list, index, flags);
}

BOOL SetWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    static const auto entry = Entry<decltype(&::SetWindowSubclass)>("comctl32.dll", "SetWindowSubclass");
    return entry(wnd, proc, id, data);
}

BOOL RemoveWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id) {
    static const auto entry = Entry<decltype(&::RemoveWindowSubclass)>("comctl32.dll", "RemoveWindowSubclass");
    return entry(wnd, proc, id);
}

LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const auto entry = Entry<decltype(&::DefSubclassProc)>("comctl32.dll", "DefSubclassProc");
    return entry(wnd, msg, wParam, lParam);
}

}  // namespace comctl32

namespace version {

DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle) {
    static const auto entry = Entry<decltype(&::GetFileVersionInfoSizeA)>("version.dll", "GetFileVersionInfoSizeA");
    return entry(file, handle);
}

BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data) {
    static const auto entry = Entry<decltype(&::GetFileVersionInfoA)>("version.dll", "GetFileVersionInfoA");
    return entry(file, handle, size, data);
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
    static const auto entry = Entry<decltype(&::VerQueryValueA)>("version.dll", "VerQueryValueA");
    return entry(block, subBlock, buffer, length);
}

}  // namespace version
