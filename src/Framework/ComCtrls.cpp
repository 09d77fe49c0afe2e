#include "Framework/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

// ---------------------------------------------------------------- TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { SetVisibleField(false); }

TTabSheet::~TTabSheet() {
    MarkDestroying();
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    if (pageControl == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    FPageControl = pageControl;
    if (pageControl) pageControl->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetCaption(const std::string& text) {
    if (text == Caption()) return;
    TWinControl::SetCaption(text);
    if (FPageControl) FPageControl->UpdateTab(this);
}

// ---------------------------------------------------------------- TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl() {
    MarkDestroying();
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
}

void TPageControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SysClassName = WC_TABCONTROLA;
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPageControl::HandleCreated() {
    for (size_t i = 0; i < FPages.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string text = FPages[i]->Caption();
        item.pszText = &text[0];
        SendMessageA(FHandle, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    if (FActivePage) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FActivePage->PageIndex()), 0);
    LayoutPages();
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    page->SetParent(this);
    if (FHandle) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string text = page->Caption();
        item.pszText = &text[0];
        SendMessageA(FHandle, TCM_INSERTITEMA, FPages.size() - 1, reinterpret_cast<LPARAM>(&item));
    }
    LayoutPages();
    if (!FActivePage) SetActivePage(page);
    else page->Hide();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    int index = static_cast<int>(it - FPages.begin());
    FPages.erase(it);
    page->FPageControl = nullptr;
    if (FHandle) SendMessageA(FHandle, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    if (FActivePage == page) {
        FActivePage = nullptr;
        if (!Destroying() && !FPages.empty())
            SetActivePage(FPages[static_cast<size_t>(std::min(index, PageCount() - 1))]);
    }
}

void TPageControl::UpdateTab(TTabSheet* page) {
    if (!FHandle) return;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = page->Caption();
    item.pszText = &text[0];
    SendMessageA(FHandle, TCM_SETITEMA, static_cast<WPARAM>(page->PageIndex()), reinterpret_cast<LPARAM>(&item));
    LayoutPages();
}

RECT TPageControl::DisplayRect() {
    RECT r = ClientRect();
    if (FHandle) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TPageControl::LayoutPages() {
    if (!FHandle) return;
    RECT r = DisplayRect();
    for (TTabSheet* p : FPages) p->SetBounds(r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top));
}

void TPageControl::SetActivePageIndex(int i) {
    SetActivePage(i >= 0 && i < PageCount() ? FPages[static_cast<size_t>(i)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->FPageControl != this) return;
    if (page == FActivePage) return;
    FActivePage = page;
    if (FHandle) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(page ? page->PageIndex() : -1), 0);
    ShowActive();
}

void TPageControl::ShowActive() {
    // Show the new sheet first so that the focus has somewhere to go.
    if (FActivePage) {
        FActivePage->Show();
        if (FActivePage->HandleAllocated())
            SetWindowPos(FActivePage->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TTabSheet* p : FPages)
        if (p != FActivePage) {
            // The focus of a sheet that goes away goes to the tabs.
            if (p->ContainsFocus() && FHandle) ::SetFocus(FHandle);
            p->Hide();
        }
}

void TPageControl::TabChanged() {
    int i = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
    TTabSheet* page = i >= 0 && i < PageCount() ? FPages[static_cast<size_t>(i)] : nullptr;
    if (page == FActivePage) return;
    FActivePage = page;
    ShowActive();
    if (OnChange) OnChange(this);
}

LRESULT TPageControl::CNNotify(NMHDR* hdr) {
    if (hdr->code == TCN_SELCHANGE) TabChanged();
    return 0;
}

bool TPageControl::DialogKey(WORD key, TShiftState shift) {
    const bool tab = key == VK_TAB && (shift & ~ssShift) == ssCtrl;
    const bool page = (key == VK_NEXT || key == VK_PRIOR) && shift == ssCtrl;
    if ((!tab && !page) || !FActivePage || !FHandle || !CanFocus()) return false;
    const bool forward = tab ? !(shift & ssShift) : key == VK_NEXT;
    const int n = PageCount();
    const int next = (FActivePage->PageIndex() + (forward ? 1 : n - 1)) % n;
    SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
    TabChanged();
    return true;
}

void TPageControl::WndProc(TMessage& m) {
    if (m.Msg == WM_SIZE) {
        TWinControl::WndProc(m);
        LayoutPages();
        return;
    }
    TWinControl::WndProc(m);
}
