#pragma once
// The standard controls: push button, edit boxes, memo, drop-down list,
// label and group box. Buttons, edit boxes and lists are the system's own
// windows; the label draws itself.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Framework/Controls.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    std::string ClassName() const override { return "TButton"; }

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int r) { FModalResult = r; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Hands the button's modal result to its form, then raises OnClick.
    void Click() override;
    // Enter clicks the focused button, else the default button when no other
    // button has the focus; Esc clicks the cancel button. Either only while
    // the button could take the focus (it and its parents shown and enabled).
    bool DialogKey(WORD key, TShiftState shift) override;
    // Its access key clicks the button; the focus stays where it is.
    bool DialogChar(char key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void CNCommand(WORD code) override;

private:
    // The look of the button that Enter presses: the focused push button,
    // else the form's default button.
    void SetActiveLook(bool active);
    TButton* FormDefaultButton();
    int FModalResult = 0;
    bool FDefault = false;
    bool FCancel = false;
};

// What the system edit box and the memo share.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomEdit"; }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    // 0: no limit of its own (the system's largest).
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    void SelectAll();
    int SelStart();
    int SelLength();
    void SetSelStart(int pos);
    void Clear() { SetText(std::string()); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void WndProc(TMessage& m) override;
    void CNCommand(WORD code) override;
    HBRUSH CNCtlColor(HDC dc) override;
    virtual void Change();
    // True while a left-button press on the text itself is being handled (the
    // focus that comes with it must not select the text).
    bool LButtonPressing() const { return FLButtonPressing; }

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FAutoSelect = true;
    bool FLButtonPressing = false;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    std::string ClassName() const override { return "TEdit"; }

protected:
    void CreateParams(TCreateParams& params) override;
    void DoEnter() override;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo;

// The lines of a memo, read from and written to its window.
class TMemoLines {
public:
    explicit TMemoLines(TCustomMemo& memo) : FMemo(memo) {}
    int Count() const;
    std::string Strings(int i) const;
    // Appends a line at the end.
    void Add(const std::string& line);
    void Clear();
    // The lines joined with CR LF, each ended by one.
    std::string Text() const;
    void SetText(const std::string& text);

private:
    TCustomMemo& FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomMemo"; }

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    TMemoLines& Lines() { return FLines; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;

private:
    // Style changes the system reads only when the window is made.
    void RecreateWindow();
    TMemoLines FLines{*this};
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
    std::string ClassName() const override { return "TMemo"; }
};

// A drop-down list the user picks from (no typing). Each entry carries a data
// word.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    std::string ClassName() const override { return "TComboBox"; }

    void AddItem(const std::string& text, intptr_t data = 0);
    void Clear();
    int ItemCount() const { return static_cast<int>(FItems.size()); }
    const std::string& ItemText(int i) const;
    intptr_t ItemData(int i) const;
    // -1: no entry selected.
    int ItemIndex();
    void SetItemIndex(int i);
    // The selected entry's text, or empty.
    std::string Text();
    // Selects the entry with this text; the empty text (or a text no entry
    // has) removes the selection.
    void SetText(const std::string& text);
    void SetCaption(const std::string& text) override { SetText(text); }
    void SetBounds(int left, int top, int width, int height) override;

    // Raised when the user picks an entry (not when the program selects one).
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void CNCommand(WORD code) override;
    HBRUSH CNCtlColor(HDC dc) override;

private:
    struct Item {
        std::string text;
        intptr_t data;
    };
    // The window is as tall as the open list; the closed box keeps its own height.
    void SizeDropDown();
    std::vector<Item> FItems;
    int FItemIndex = -1;
    int FDropDownCount = 8;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A label that draws its caption itself; derived labels override Paint.
class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* AOwner);
    std::string ClassName() const override { return "TLabel"; }

    void SetCaption(const std::string& text) override;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }

protected:
    bool CustomPaint() const override { return true; }
    void Paint(TCanvas& canvas) override;
    void WndProc(TMessage& m) override;
    void EnabledChanged() override { Invalidate(); }
    // DrawText flags of the label's settings.
    UINT TextFlags() const;

private:
    // Fits the label to its text (with AutoSize on).
    void AdjustBounds();
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};

// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    std::string ClassName() const override { return "TGroupBox"; }
    // Its access key puts the focus on the first control inside that can
    // take it.
    bool DialogChar(char key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
};
