#include "Framework/Classes.h"

#include <algorithm>
#include <map>
#include <utility>

#include "Framework/Locale.h"
#include "Framework/SysUtils.h"

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* c) {
    if (c->FOwner) c->FOwner->RemoveComponent(c);
    FComponents.push_back(c);
    c->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(FComponents.begin(), FComponents.end(), c);
    if (it != FComponents.end()) FComponents.erase(it);
    c->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
}

namespace {

struct TPaletteEntry {
    std::string Page;
    TComponentFactory Create;
};

std::map<std::string, TPaletteEntry>& Palette() {
    static std::map<std::string, TPaletteEntry> palette;
    return palette;
}

}  // namespace

void RegisterComponents(const std::string& Page, const std::string& ClassName, TComponentFactory Create) {
    Palette()[ClassName] = TPaletteEntry{Page, std::move(Create)};
}

std::string ComponentPage(const std::string& ClassName) {
    const auto it = Palette().find(ClassName);
    return it != Palette().end() ? it->second.Page : std::string();
}

TComponent* CreateComponent(const std::string& ClassName, TComponent* AOwner) {
    const auto it = Palette().find(ClassName);
    return it != Palette().end() ? it->second.Create(AOwner) : nullptr;
}

void TStringList::Check(int i) const {
    if (i < 0 || i >= Count()) RaiseListIndexError(i);
}

const std::string& TStringList::Strings(int i) const {
    Check(i);
    return FItems[static_cast<size_t>(i)].s;
}

void* TStringList::Objects(int i) const {
    Check(i);
    return FItems[static_cast<size_t>(i)].object;
}

int TStringList::AddObject(const std::string& s, void* object) {
    FItems.push_back({s, object});
    return Count() - 1;
}

void TStringList::Delete(int i) {
    Check(i);
    FItems.erase(FItems.begin() + i);
}

void TStringList::Exchange(int i, int j) {
    Check(i);
    Check(j);
    std::swap(FItems[static_cast<size_t>(i)], FItems[static_cast<size_t>(j)]);
}

int TStringList::IndexOf(const std::string& s) const {
    const TLocale& loc = Locale();
    for (int i = 0; i < Count(); ++i)
        if (loc.CompareText(FItems[static_cast<size_t>(i)].s, s) == 0) return i;
    return -1;
}

void TStringList::Sort() {
    const TLocale& loc = Locale();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [&](const Item& a, const Item& b) { return loc.CompareText(a.s, b.s) < 0; });
}

std::string TStringList::Text() const {
    std::string r;
    for (const Item& it : FItems) {
        r += it.s;
        r += "\r\n";
    }
    return r;
}
