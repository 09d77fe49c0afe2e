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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartPhaseEnd("application object: comctl32, display driver");
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
