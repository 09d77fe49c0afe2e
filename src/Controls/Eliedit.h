#pragma once
// The ellipsis edit box: a one-line text box with a small "..." button inside
// its right edge. The button raises OnEllipsisClick, with which the owner
// offers a chooser for the value (a file dialog, say).
#include <windows.h>

#include <string>

#include "Framework/Buttons.h"
#include "Framework/ExtCtrls.h"
#include "Framework/StdCtrls.h"

// What a form's scaling may change while it is being loaded.
enum TScalingFlag : unsigned { sfLeft = 1, sfTop = 2, sfWidth = 4, sfHeight = 8, sfFont = 16 };

// A multi-line box held to one line: the system honours a formatting
// rectangle (which keeps the text clear of the button) on multi-line boxes only.
class TCustomEllipsisEdit : public TCustomMemo {
public:
    // The button and the spacer are owned components: they go with the box.
    explicit TCustomEllipsisEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomEllipsisEdit"; }

    void CreateHandle() override;
    // Keeps the text left of the button.
    void UpdateEditRect();
    // Raises OnEllipsisClick as the button does.
    void EllipsisClick() { DoEllipsisClick(this); }
    // Scales the box by M/D (its font too, unless it takes its parent's); the
    // button and the spacer keep their widths.
    void ChangeScale(int M, int D) override;

    const std::string& GetEllipsisHint() const;
    void SetEllipsisHint(const std::string& hint);
    bool GetEllipsisEnabled() const;
    void SetEllipsisEnabled(bool enabled);
    unsigned ScalingFlags() const { return FScalingFlags; }
    void SetScalingFlags(unsigned flags) { FScalingFlags = flags; }

    // Sender: the edit box, not its button.
    TNotifyEvent OnEllipsisClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void EnabledChanged() override;
    void DoEnter() override;
    void DoEllipsisClick(TObject* Sender);
    void DoEllipsisMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void WMSetCursor(TMessage& m);
    // Pastes the first line of the clipboard's text only: the box has one line.
    void PasteFirstLine();
    TShape* FSpacer;
    TSpeedButton* FButton;
    unsigned FScalingFlags = sfLeft | sfTop | sfWidth | sfHeight | sfFont;
};

class TEllipsisEdit : public TCustomEllipsisEdit {
public:
    using TCustomEllipsisEdit::TCustomEllipsisEdit;
    std::string ClassName() const override { return "TEllipsisEdit"; }
};
