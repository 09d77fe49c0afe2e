// Ends a running Keyvane the way Windows does at logoff: its main window gets
// the end-of-session query, which saves the settings, and then the end of the
// session, which ends it. Used by the run script so that stopping it never
// loses what the user changed.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND main = FindWindowA("TFormMain", nullptr);
    if (!main) return 1;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer)) return 2;
    if (!answer) return 3;
    SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    return 0;
}
