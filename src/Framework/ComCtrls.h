#pragma once
// The page control: the system's tab control with one sheet per tab.
#include <windows.h>

#include <string>
#include <vector>

#include "Framework/Controls.h"

class TPageControl;

// One page: a surface for controls, shown while its tab is selected.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    std::string ClassName() const override { return "TTabSheet"; }

    TPageControl* PageControl() const { return FPageControl; }
    // Makes the sheet the last page of pageControl (nullptr takes it out).
    void SetPageControl(TPageControl* pageControl);
    int PageIndex() const;
    void SetCaption(const std::string& text) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CustomPaint() const override { return true; }

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    std::string ClassName() const override { return "TPageControl"; }

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int i) const { return FPages.at(static_cast<size_t>(i)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    void SetActivePageIndex(int i);
    // The area below the tabs that the sheets fill, in client coordinates.
    RECT DisplayRect();

    // Raised when the user selects another tab.
    TNotifyEvent OnChange;
    // Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and
    // Ctrl+PgUp to the previous one, wrapping around, wherever the focus is
    // on the form; the switch is the user's, as a click on a tab is.
    bool DialogKey(WORD key, TShiftState shift) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void WndProc(TMessage& m) override;
    LRESULT CNNotify(NMHDR* hdr) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTab(TTabSheet* page);
    void LayoutPages();
    void ShowActive();
    // The user chose the tab that the control now shows as selected.
    void TabChanged();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
