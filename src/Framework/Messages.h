#pragma once
// Window messages as the framework hands them to message handlers, and hidden
// utility windows whose messages go to a method.
#include <windows.h>

#include <functional>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

using TWndMethod = std::function<void(TMessage&)>;

// A hidden top-level window whose every message goes to method. Exceptions
// that escape the method are reported by the application's handler.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);
