#pragma once
// Menu items, the pop-up menu and a window's main menu.
#include <windows.h>

#include <string>
#include <vector>

#include "Framework/Classes.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& c) { FCaption = c; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    void Add(TMenuItem* item) { FItems.push_back(item); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int i) const { return FItems.at(static_cast<size_t>(i)); }
    UINT Command() const { return FCommand; }
    void Click();
    TNotifyEvent OnClick;

    // Appends this item (and its sub-items) to a menu handle.
    void AppendTo(HMENU menu);
    TMenuItem* FindCommand(UINT id);

private:
    std::string FCaption;
    bool FEnabled = true;
    UINT FCommand;
    std::vector<TMenuItem*> FItems;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    TMenuItem* Items() { return FItems; }
    // Runs the click of the item with this command number; false if none has it.
    bool DispatchCommand(UINT id);

protected:
    TMenuItem* FItems;
};

class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
    // Shows the menu at a screen position and runs the chosen item's click.
    void Popup(int x, int y);
    // The menu handle while it is shown (nullptr otherwise); for tests and tools.
    static HMENU ShownMenu();
};

class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    ~TMainMenu() override;
    HMENU Handle();

private:
    HMENU FHandle = nullptr;
};
