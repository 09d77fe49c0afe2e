#include "Framework/Messages.h"

#include <memory>
#include <set>
#include <string>

#include "Framework/Exception.h"
#include "Framework/Forms.h"

namespace {

const char UtilClass[] = "TPUtilWindow";

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!method) return DefWindowProcA(wnd, msg, wp, lp);
    TMessage m{wnd, msg, wp, lp, 0};
    try {
        (*method)(m);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return m.Result;
}

}  // namespace

void RegisterWindowClass(const char* name, WNDPROC proc, UINT style, HCURSOR cursor) {
    static std::set<std::string> registered;
    if (registered.count(name)) return;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    // A class left behind by an earlier registration of this module (a test
    // process that made the objects again) serves as well.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("ウィンドウクラスを登録できません: ") + name);
    registered.insert(name);
}

namespace {

HWND AllocateUtilWindow(TWndMethod method, DWORD exStyle, DWORD style, HWND parent) {
    RegisterWindowClass(UtilClass, UtilWndProc);
    HWND wnd = CreateWindowExA(exStyle, UtilClass, "", style, 0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    if (!wnd) throw EOutOfMemory("ウィンドウを作成できません。");
    auto owned = std::make_unique<TWndMethod>(std::move(method));
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
    return wnd;
}

}  // namespace

HWND AllocateHWnd(TWndMethod method) {
    return AllocateUtilWindow(std::move(method), WS_EX_TOOLWINDOW, WS_POPUP, nullptr);
}

HWND AllocateMessageHWnd(TWndMethod method) { return AllocateUtilWindow(std::move(method), 0, 0, HWND_MESSAGE); }

void DeallocateHWnd(HWND wnd) {
    if (!wnd) return;
    std::unique_ptr<TWndMethod> method(reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)));
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    DestroyWindow(wnd);
}
