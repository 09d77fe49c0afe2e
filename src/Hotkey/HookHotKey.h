#pragma once
// The hot-key unit: shortcut codes and their text form (Hotkey/ShortCut.h),
// and the registrar, which registers system-wide hot keys for a hidden window
// of its own and turns each press into an OnHotKey event.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "Framework/Classes.h"
#include "Framework/Messages.h"
#include "Hotkey/ShortCut.h"

class TForm;

using THotKeyEvent = std::function<void(TObject* Sender, int Index)>;

// The identifier of the trial registration that IsValidKey makes. Items use
// identifiers from 0 upward and never reach it.
constexpr int TrialHotKeyId = 0xB0000;

// The registrar keeps no table of its registrations: the system holds them,
// keyed by the hidden window and the caller's identifier. Callers unregister
// their keys before they destroy it.
class THookHotKey : public TComponent {
public:
    explicit THookHotKey(TComponent* AOwner);
    ~THookHotKey() override;

    // 0 when registered, otherwise the system's error code (1409 when the
    // combination is taken, by this program or another).
    int Add(int Index, ShortCutCode ShortCut);
    // Raises when the key does not fit in a shortcut code.
    int Add(int Index, std::uint16_t Key, ShiftKeys Shift);
    // The system's modifier flags and virtual key of a shortcut code.
    void GetHookKey(ShortCutCode ShortCut, UINT& Modifiers, std::uint16_t& Key) const;
    // False when nothing was registered under Index.
    bool Delete(int Index);
    // Unregisters and registers again; true only when both succeed.
    bool Change(int Index, ShortCutCode ShortCut);
    bool Apply(int Index, ShortCutCode ShortCut, bool Enable);
    // Whether the shortcut can be registered now, found by a trial registration
    // that is undone at once.
    bool IsValidKey(ShortCutCode ShortCut);

    // The hidden window's message handler.
    void WndProc(TMessage& Message);
    // Handles one press as a WM_HOTKEY for Index does: takes the foreground
    // when Activate is set and raises OnHotKey. Descendants may replace it.
    virtual void CatchHotKey(int Index);

    // Whether the program takes the foreground before OnHotKey runs, so that
    // what the handler starts may come to the front.
    bool GetActivate() const { return FActivate; }
    void SetActivate(bool Value);
    const THotKeyEvent& GetOnHotKey() const { return FOnHotKey; }
    void SetOnHotKey(THotKeyEvent Value) { FOnHotKey = std::move(Value); }

private:
    TForm* ForegroundForm();

    bool FActivate = true;
    THotKeyEvent FOnHotKey;
    HWND FHandle = nullptr;
    // Created on the first press that takes the foreground, owned like the
    // registrar and reused for later presses.
    TForm* FForegroundForm = nullptr;
};

// Puts the registrar on the component palette's "Samples" page, so that it
// can be created by its class name like any other registered component. The
// program creates its registrar directly and never calls this.
void Register();
