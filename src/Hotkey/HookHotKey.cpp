#include "Hotkey/HookHotKey.h"

#include <string>

#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/SysUtils.h"

THookHotKey::THookHotKey(TComponent* AOwner) : TComponent(AOwner) {
    // The system posts a press to the window the key was registered for, and
    // that is all this window hears: it needs to be no window of the display.
    FHandle = AllocateMessageHWnd([this](TMessage& Message) { WndProc(Message); });
}

THookHotKey::~THookHotKey() { DeallocateHWnd(FHandle); }

void THookHotKey::SetActivate(bool Value) {
    if (FActivate == Value) return;
    FActivate = Value;
}

void THookHotKey::GetHookKey(ShortCutCode ShortCut, UINT& Modifiers, std::uint16_t& Key) const {
    Modifiers = 0;
    Key = 0;
    ShiftKeys shift;
    SplitShortCut(ShortCut, Key, shift);
    if (shift.Contains(ShiftKey::Alt)) Modifiers |= MOD_ALT;
    if (shift.Contains(ShiftKey::Shift)) Modifiers |= MOD_SHIFT;
    if (shift.Contains(ShiftKey::Ctrl)) Modifiers |= MOD_CONTROL;
    if (shift.Contains(ShiftKey::Win)) Modifiers |= MOD_WIN;
}

int THookHotKey::Add(int Index, ShortCutCode ShortCut) {
    UINT modifiers = 0;
    std::uint16_t key = 0;
    GetHookKey(ShortCut, modifiers, key);
    if (RegisterHotKey(FHandle, Index, modifiers, key)) return 0;
    const DWORD error = GetLastError();
    // A refusal must never read as success, even if the system left no code.
    return error != 0 ? static_cast<int>(error) : static_cast<int>(ERROR_INVALID_PARAMETER);
}

int THookHotKey::Add(int Index, std::uint16_t Key, ShiftKeys Shift) {
    const ShortCutCode code = MakeShortCut(Key, Shift);
    if (code == 0) throw Exception("Exception occured at C:\\Prj\\Hotkey\\HookHotKey(277).");
    return Add(Index, code);
}

bool THookHotKey::Delete(int Index) { return UnregisterHotKey(FHandle, Index) != 0; }

bool THookHotKey::Change(int Index, ShortCutCode ShortCut) {
    const bool deleted = Delete(Index);
    const int added = Add(Index, ShortCut);
    return deleted && added == 0;
}

bool THookHotKey::Apply(int Index, ShortCutCode ShortCut, bool Enable) {
    return Enable ? Change(Index, ShortCut) : Delete(Index);
}

bool THookHotKey::IsValidKey(ShortCutCode ShortCut) {
    const int result = Add(TrialHotKeyId, ShortCut);
    if (result == 0) {
        if (Delete(TrialHotKeyId)) return true;
        throw Exception("Exception occured at C:\\Prj\\Hotkey\\HookHotKey(350).");
    }
    if (result == ERROR_HOTKEY_ALREADY_REGISTERED) return false;
    throw Exception(std::string("HookHotKey(358)予期せぬエラー(") + IntToStr(result) + ")");
}

void THookHotKey::WndProc(TMessage& Message) {
    if (Message.Msg != WM_HOTKEY) {
        Message.Result = DefWindowProcA(Message.Wnd, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    // Whatever the handler raises is shown and ends there, so that the next
    // press is handled as usual.
    try {
        CatchHotKey(static_cast<int>(Message.WParam));
    } catch (...) {
        Application->HandleException(this);
    }
}

void THookHotKey::CatchHotKey(int Index) {
    if (!FOnHotKey) return;
    // Windows lets only the foreground program bring another window to the
    // front; taking the foreground first lets the program the handler starts
    // come up in front instead of behind the window the user was in.
    if (FActivate) SetForegroundWindow(ForegroundForm()->Handle());
    FOnHotKey(this, Index);
}

TForm* THookHotKey::ForegroundForm() {
    if (!FForegroundForm) FForegroundForm = new TForm(Owner() ? Owner() : this);
    return FForegroundForm;
}

void Register() {
    RegisterComponents("Samples", "THookHotKey", [](TComponent* AOwner) -> TComponent* { return new THookHotKey(AOwner); });
}
