#pragma once
// Window messages as the framework hands them to message handlers, and hidden
// utility windows whose messages go to a method.
#include <windows.h>

#include <functional>

// One message with the window it was sent to, so that every handler can
// answer it (DefWindowProcA and the like) without keeping the handle itself.
struct TMessage {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

using TWndMethod = std::function<void(TMessage&)>;

// Registers a window class of this module under name, once: a later call with
// the same name does nothing. Raises the framework's exception
// "ウィンドウクラスを登録できません: <name>" when the system refuses it. Every
// window class of the framework is registered here.
void RegisterWindowClass(const char* name, WNDPROC proc, UINT style = 0, HCURSOR cursor = nullptr);

// A hidden top-level window whose every message goes to method. Exceptions
// that escape the method are reported by the application's handler.
HWND AllocateHWnd(TWndMethod method);
// The same as a message-only window: it gets what is sent or posted to it,
// but no broadcast, and it is no window of the display, so it costs far less
// to make (under Wine the display driver makes a window of its own for every
// top-level one).
HWND AllocateMessageHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);
