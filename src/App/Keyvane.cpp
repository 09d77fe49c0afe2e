// The program's entry: one running copy per executable file name, the two
// windows, a hidden start behind the tray icon, and the message loop.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "App/Item.h"
#include "App/Main.h"
#include "App/StartProfile.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"

namespace {

// Whether the path comes back unchanged from the ANSI code page: a character
// the code page lacks comes back as another one, or as "?".
bool FitsAnsi(const std::wstring& path) {
    const int bytes = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
    std::wstring back(path.size() + 1, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, back.data(), static_cast<int>(back.size()))) return false;
    return back.c_str() == path;
}

// The program finds its settings file, its help and its version through its
// own path in the ANSI code page. A name that code page can't write would
// reach those calls altered, so the program would stop half-way or use files
// of another name; the user is told instead, in a box of wide characters that
// shows the path as it is. False then: nothing is to be started or written.
bool ProgramPathFitsAnsi() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return true;
    path.resize(length);
    if (FitsAnsi(path)) return true;
    const std::wstring text =
        L"Keyvane を置いた場所の名前（フォルダ名またはファイル名）に、この Windows の文字コード（ANSI）で"
        L"表せない文字があるため、Keyvane は起動できません。\n\n" +
        path +
        L"\n\nKeyvane.exe を、英数字や日本語など表せる文字だけの名前のフォルダ（例: C:\\Tools\\Keyvane）に"
        L"移してから、もう一度起動してください。";
    MessageBoxW(nullptr, text.c_str(), L"Keyvane", MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartPhaseEnd("application object: comctl32, display driver");
    if (!ProgramPathFitsAnsi()) return -1;
    // Named after the executable only, so copies under other names run side by side.
    const std::string name = ChangeFileExt(ExtractFileName(Application->ExeName()), "");
    const std::string mutexName = name + name;
    // The handle stays open until the windows have saved the settings, so a
    // new copy can't start and read the file while this one is still writing it.
    TKernelHandle mutex(CreateMutexA(nullptr, FALSE, mutexName.c_str()));
    const DWORD error = GetLastError();
    if (!mutex) {
        ShowMessage("Mutex Error");
        return -1;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        ShowMessage("二重起動はできません。");
        return -1;
    }

    StartPhaseEnd("single-instance guard");

    try {
        Application->Initialize();
        Application->SetTitle("Keyvane 『Windowsキーをもっと使おう』");
        StartPhaseEnd("application title");
        Application->CreateForm(FormMain);
        Application->CreateForm(ItemForm);
        StartPhaseEnd("item editor");
        Application->SetShowMainForm(false);
        ShowWindow(Application->Handle(), SW_HIDE);
        StartPhaseEnd("ready");
        StartPhasesWrite();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    ReleaseMutex(mutex.Get());
    // The main window saves the settings as it goes.
    Application->DestroyForms();
    return 0;
}

// The runtime's default terminate handler prints a demangled type name, which
// pulls the whole name demangler into the program; a launcher has no console to
// print to, so ending at once is all that handler could usefully do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
