#pragma once
// Libraries come from the system folder only. Keyvane is unzipped wherever the
// user likes, often into Downloads, and starts with every logon; a DLL that
// lands beside Keyvane.exe and is named like one of ours must never run
// inside it. The known DLLs (kernel32, user32, gdi32, shell32, ole32, ...)
// always come from the system; comctl32 and version.dll are not on that list,
// so the program does not import them: it resolves what it calls of them
// here, after the search has been restricted.
#include <windows.h>
#include <commctrl.h>

// Restricts the library search of the process to the system folder. The
// application object calls it before it loads anything. Where the system
// lacks SetDefaultDllDirectories (a Windows 7 without its update), the
// program's folder can't be taken out of the search: the current folder is,
// and LoadSystemLibrary names every library by its full path, with the
// search for that library's own imports starting in the system folder.
void RestrictLibrarySearch();

// Loads a library from the system folder: by its name once the search is
// restricted, by its full path in the system folder otherwise. Null on
// failure, with the system's reason in GetLastError.
HMODULE LoadSystemLibrary(const char* name);

// The entry point of a system library, which is loaded on first use and kept
// for the life of the process. Raises Exception naming the library, the
// function and the system's reason; a failure is tried afresh at the next use.
FARPROC SystemProc(const char* library, const char* name);

// What the program calls of comctl32 and version.dll, each resolved once.
namespace comctl32 {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
BOOL SetWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id);
LRESULT DefSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace comctl32

namespace version {
DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);
}  // namespace version
