#include "Framework/Messages.h"

#include <memory>

#include "Framework/Forms.h"

namespace {

const char kUtilClass[] = "TPUtilWindow";

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!method) return DefWindowProcA(wnd, msg, wp, lp);
    TMessage m{msg, wp, lp, 0};
    try {
        (*method)(m);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return m.Result;
}

void RegisterUtilClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kUtilClass;
    RegisterClassA(&wc);
    registered = true;
}

}  // namespace

HWND AllocateHWnd(TWndMethod method) {
    RegisterUtilClass();
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!wnd) throw EOutOfMemory("ウィンドウを作成できません。");
    auto owned = std::make_unique<TWndMethod>(std::move(method));
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
    return wnd;
}

void DeallocateHWnd(HWND wnd) {
    if (!wnd) return;
    std::unique_ptr<TWndMethod> method(reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)));
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    DestroyWindow(wnd);
}
