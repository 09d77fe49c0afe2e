#include "Framework/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework/Exception.h"
#include "Framework/Locale.h"

namespace {
struct Probe : TComponent {
    Probe(TComponent* owner, std::vector<int>* log, int id) : TComponent(owner), log(log), id(id) {}
    ~Probe() override { log->push_back(id); }
    std::vector<int>* log;
    int id;
};
}  // namespace

TEST(TComponent, OwnerDestroysWhatItOwnsLastCreatedFirst) {
    std::vector<int> log;
    auto* root = new Probe(nullptr, &log, 0);
    new Probe(root, &log, 1);
    auto* b = new Probe(root, &log, 2);
    new Probe(b, &log, 3);
    EXPECT_EQ(root->ComponentCount(), 2);
    delete root;
    // The owner's own destructor runs first, then its components, newest first.
    EXPECT_EQ(log, (std::vector<int>{0, 2, 3, 1}));
}

TEST(TComponent, AComponentDestroyedEarlyLeavesItsOwner) {
    std::vector<int> log;
    Probe root(nullptr, &log, 0);
    auto* a = new Probe(&root, &log, 1);
    delete a;
    EXPECT_EQ(root.ComponentCount(), 0);
}

namespace {
// What the palette's factories made; they outlive the test that registers them.
std::vector<int> paletteLog;
}  // namespace

TEST(ComponentPalette, CreatesARegisteredClassByNameUnderItsOwner) {
    EXPECT_EQ(ComponentPage("TPaletteProbe"), "");
    EXPECT_EQ(CreateComponent("TPaletteProbe", nullptr), nullptr);

    RegisterComponents("Tests", "TPaletteProbe", [](TComponent* owner) { return new Probe(owner, &paletteLog, 1); });
    EXPECT_EQ(ComponentPage("TPaletteProbe"), "Tests");
    {
        TComponent owner(nullptr);
        TComponent* made = CreateComponent("TPaletteProbe", &owner);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->Owner(), &owner);
        EXPECT_EQ(owner.ComponentCount(), 1);
    }
    EXPECT_EQ(paletteLog, (std::vector<int>{1})) << "the owner destroyed it";

    // A second registration of the name replaces the first.
    RegisterComponents("Samples", "TPaletteProbe", [](TComponent* owner) { return new Probe(owner, &paletteLog, 2); });
    EXPECT_EQ(ComponentPage("TPaletteProbe"), "Samples");
    {
        TComponent owner(nullptr);
        EXPECT_NE(CreateComponent("TPaletteProbe", &owner), nullptr);
    }
    EXPECT_EQ(paletteLog, (std::vector<int>{1, 2}));
}

TEST(TStringList, IndexErrorsNameTheIndex) {
    TStringList list;
    list.Add("a");
    try {
        list.Strings(3);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (3)");
    }
}

TEST(TStringList, SortsCaseInsensitivelyAndFindsAnyCase) {
    TStringList list;
    for (const char* s : {"#Item  02", "#item  00", "#Item  01"}) list.Add(s);
    list.Sort();
    EXPECT_EQ(list.Strings(0), "#item  00");
    EXPECT_EQ(list.Strings(2), "#Item  02");
    EXPECT_EQ(list.IndexOf("#ITEM  01"), 1);
    EXPECT_EQ(list.IndexOf("nothing"), -1);
}

TEST(TNativeLocale, FoldsAsciiLettersButNotTrailBytes) {
    TNativeLocale loc;
    EXPECT_EQ(loc.CompareText("FormMain", "FORMMAIN"), 0);
    // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: different characters.
    EXPECT_NE(loc.CompareText("ア", "ヂ"), 0);
    EXPECT_LT(loc.CompareStr("A", "a"), 0);
}
