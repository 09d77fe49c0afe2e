#include "Hotkey/HookHotKey.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Framework/Forms.h"

namespace {

// Combinations that hold all four modifiers, so that nothing else on the
// desktop is likely to hold them.
constexpr ShortCutCode AllF9 = 0xF078;
constexpr ShortCutCode AllF10 = 0xF079;
constexpr ShortCutCode AllF11 = 0xF07A;
constexpr ShortCutCode AllF12 = 0xF07B;

// Presses and releases the shortcut's modifiers and key as the keyboard would.
void Press(ShortCutCode code) {
    std::vector<WORD> modifiers;
    if (code & 0x1000) modifiers.push_back(VK_LWIN);
    if (code & 0x2000) modifiers.push_back(VK_SHIFT);
    if (code & 0x4000) modifiers.push_back(VK_CONTROL);
    if (code & 0x8000) modifiers.push_back(VK_MENU);
    std::vector<INPUT> inputs;
    auto key = [&inputs](WORD vk, DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = flags;
        inputs.push_back(in);
    };
    for (WORD vk : modifiers) key(vk, 0);
    key(static_cast<WORD>(code & 0xFF), 0);
    key(static_cast<WORD>(code & 0xFF), KEYEVENTF_KEYUP);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) key(*it, KEYEVENTF_KEYUP);
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

// Dispatches this thread's messages until done() holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= 5000) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000 - elapsed, QS_ALLINPUT);
    }
    return true;
}

// A hidden window of its own, standing for another program's registrations.
class ForeignWindow {
public:
    ForeignWindow()
        : FWnd(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               nullptr, nullptr)) {}
    ~ForeignWindow() {
        for (int id : FIds) UnregisterHotKey(FWnd, id);
        DestroyWindow(FWnd);
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;
    bool Register(int id, ShortCutCode code) {
        UINT modifiers = 0;
        if (code & 0x1000) modifiers |= MOD_WIN;
        if (code & 0x2000) modifiers |= MOD_SHIFT;
        if (code & 0x4000) modifiers |= MOD_CONTROL;
        if (code & 0x8000) modifiers |= MOD_ALT;
        if (!RegisterHotKey(FWnd, id, modifiers, code & 0xFF)) return false;
        FIds.push_back(id);
        return true;
    }

private:
    HWND FWnd;
    std::vector<int> FIds;
};

struct Reported {
    TObject* sender;
    std::string message;
};

// Records a press: its sender, its identifier and the foreground window then.
struct Caught {
    TObject* sender;
    int index;
    HWND foreground;
};

// A registrar whose press handling can be watched, and replaced.
class TProbeHotKey : public THookHotKey {
public:
    using THookHotKey::THookHotKey;
    int caught = 0;
    bool replaceHandling = false;

    void CatchHotKey(int Index) override {
        ++caught;
        if (!replaceHandling) THookHotKey::CatchHotKey(Index);
    }
};

class HookHotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeys = new TProbeHotKey(&owner);
        Application->OnException = [this](TObject* Sender, const std::exception& E) {
            reported.push_back({Sender, E.what()});
        };
    }
    void TearDown() override {
        for (int id : registered) hotKeys->Delete(id);
        Application->OnException = nullptr;
    }
    // Registers and remembers the identifier for the clean-up.
    int Add(int id, ShortCutCode code) {
        registered.push_back(id);
        return hotKeys->Add(id, code);
    }
    // Presses the shortcut and waits until the registrar has seen the press.
    bool PressAndWait(ShortCutCode code) {
        const int before = hotKeys->caught;
        Press(code);
        return PumpUntil([&] { return hotKeys->caught > before; });
    }

    TComponent owner{nullptr};
    TProbeHotKey* hotKeys = nullptr;
    std::vector<int> registered{TrialHotKeyId};
    std::vector<Reported> reported;
    std::vector<Caught> presses;
};

}  // namespace

TEST_F(HookHotKeyTest, GetHookKeyGivesTheSystemsModifierFlagsAndTheKey) {
    struct Case { ShortCutCode code; UINT modifiers; std::uint16_t key; };
    const Case cases[] = {
        {0x1041, MOD_WIN, 0x41},
        {0x8041, MOD_ALT, 0x41},
        {0x4070, MOD_CONTROL, 0x70},
        {0x2070, MOD_SHIFT, 0x70},
        {0xF07B, MOD_WIN | MOD_ALT | MOD_CONTROL | MOD_SHIFT, 0x7B},
        {0x1341, MOD_WIN, 0x341},
        {0x0000, 0, 0},
    };
    for (const Case& c : cases) {
        UINT modifiers = 0xFFFF;
        std::uint16_t key = 0xFFFF;
        hotKeys->GetHookKey(c.code, modifiers, key);
        EXPECT_EQ(modifiers, c.modifiers) << c.code;
        EXPECT_EQ(key, c.key) << c.code;
    }
}

TEST_F(HookHotKeyTest, ACombinationHeldElsewhereIsRefusedWith1409) {
    ForeignWindow other;
    ASSERT_TRUE(other.Register(1, AllF9));
    EXPECT_EQ(Add(1, AllF9), 1409);
    EXPECT_FALSE(hotKeys->IsValidKey(AllF9));

    // Held by this program for an item: taken until the item lets it go.
    ASSERT_EQ(Add(2, AllF10), 0);
    EXPECT_FALSE(hotKeys->IsValidKey(AllF10));
    EXPECT_TRUE(hotKeys->Delete(2));
    EXPECT_TRUE(hotKeys->IsValidKey(AllF10));
}

TEST_F(HookHotKeyTest, IsValidKeyLeavesNoRegistrationBehind) {
    ASSERT_TRUE(hotKeys->IsValidKey(AllF11));
    EXPECT_FALSE(hotKeys->Delete(TrialHotKeyId));
    ForeignWindow other;
    EXPECT_TRUE(other.Register(1, AllF11));
}

TEST_F(HookHotKeyTest, DeleteOfAnIdentifierNeverRegisteredIsFalse) {
    EXPECT_FALSE(hotKeys->Delete(12345));
    ASSERT_EQ(Add(3, AllF9), 0);
    EXPECT_TRUE(hotKeys->Delete(3));
    EXPECT_FALSE(hotKeys->Delete(3));
}

TEST_F(HookHotKeyTest, AddOfAKeyAndSetRaisesForAKeyThatNoCodeHolds) {
    struct Case { std::uint16_t key; ShiftKeys shift; };
    const Case cases[] = {{0x0141, {ShiftKey::Win}}, {0x0100, {}}, {0, {}}, {0, {ShiftKey::Left}}};
    for (const Case& c : cases) {
        try {
            hotKeys->Add(4, c.key, c.shift);
            ADD_FAILURE() << c.key;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Exception occured at C:\\Prj\\Hotkey\\HookHotKey(277).");
        }
    }
    registered.push_back(4);
    EXPECT_EQ(hotKeys->Add(4, 0x78, ShiftKeys::FromBits(0xFF)), 0);
    EXPECT_FALSE(hotKeys->IsValidKey(AllF9));
}

TEST_F(HookHotKeyTest, ChangeIsTrueOnlyWhenBothStepsSucceed) {
    ASSERT_EQ(Add(5, AllF9), 0);
    EXPECT_TRUE(hotKeys->Change(5, AllF10));
    EXPECT_TRUE(hotKeys->IsValidKey(AllF9));
    EXPECT_FALSE(hotKeys->IsValidKey(AllF10));

    // Nothing under 6 to unregister: false, though the key is now registered.
    registered.push_back(6);
    EXPECT_FALSE(hotKeys->Change(6, AllF11));
    EXPECT_FALSE(hotKeys->IsValidKey(AllF11));
    EXPECT_TRUE(hotKeys->Delete(6));

    // The new key is taken: the old registration is gone all the same.
    ForeignWindow other;
    ASSERT_TRUE(other.Register(1, AllF12));
    EXPECT_FALSE(hotKeys->Change(5, AllF12));
    EXPECT_FALSE(hotKeys->Delete(5));
}

TEST_F(HookHotKeyTest, ApplyChangesWhenEnabledAndDeletesOtherwise) {
    ASSERT_EQ(Add(7, AllF9), 0);
    EXPECT_TRUE(hotKeys->Apply(7, AllF10, true));
    EXPECT_FALSE(hotKeys->IsValidKey(AllF10));
    EXPECT_TRUE(hotKeys->Apply(7, AllF11, false));
    EXPECT_TRUE(hotKeys->IsValidKey(AllF10));
    EXPECT_FALSE(hotKeys->Apply(7, AllF11, false));
    EXPECT_FALSE(hotKeys->Apply(8, AllF11, true));
    registered.push_back(8);
}

TEST_F(HookHotKeyTest, IsValidKeyRaisesOnAnUnexpectedRefusal) {
    // Registrations belong to the thread of their window: a registrar made by
    // another thread is refused with 1408 here.
    std::promise<THookHotKey*> made;
    std::promise<void> done;
    std::thread worker([&] {
        TComponent foreignOwner(nullptr);
        made.set_value(new THookHotKey(&foreignOwner));
        done.get_future().wait();
    });
    THookHotKey* foreign = made.get_future().get();
    std::string message;
    try {
        foreign->IsValidKey(AllF9);
    } catch (const Exception& e) {
        message = e.Message();
    }
    done.set_value();
    worker.join();
    EXPECT_EQ(message, "HookHotKey(358)予期せぬエラー(1408)");
}

TEST_F(HookHotKeyTest, APressReachesOnHotKeyWithItsIdentifier) {
    hotKeys->SetOnHotKey([this](TObject* Sender, int Index) {
        presses.push_back({Sender, Index, GetForegroundWindow()});
    });
    ASSERT_EQ(Add(9, AllF9), 0);
    ASSERT_EQ(Add(10, AllF10), 0);
    ASSERT_TRUE(PressAndWait(AllF10));
    ASSERT_TRUE(PressAndWait(AllF9));
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].index, 10);
    EXPECT_EQ(presses[1].index, 9);
    EXPECT_EQ(presses[0].sender, hotKeys);

    // The program took the foreground with one hidden form of the owner's,
    // made on the first press and used again for the next.
    ASSERT_EQ(owner.ComponentCount(), 2);
    auto* form = dynamic_cast<TForm*>(owner.Components(1));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(presses[0].foreground, form->Handle());
    EXPECT_EQ(presses[1].foreground, form->Handle());
}

TEST_F(HookHotKeyTest, WithoutActivateThePressLeavesTheForegroundAlone) {
    hotKeys->SetActivate(false);
    hotKeys->SetOnHotKey([this](TObject* Sender, int Index) {
        presses.push_back({Sender, Index, GetForegroundWindow()});
    });
    ASSERT_EQ(Add(11, AllF11), 0);
    ASSERT_TRUE(PressAndWait(AllF11));
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].index, 11);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST_F(HookHotKeyTest, WithoutOnHotKeyAPressDoesNothing) {
    ASSERT_EQ(Add(12, AllF12), 0);
    const HWND foreground = GetForegroundWindow();
    ASSERT_TRUE(PressAndWait(AllF12));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(GetForegroundWindow(), foreground);
    EXPECT_TRUE(reported.empty());
}

TEST_F(HookHotKeyTest, ADescendantReplacesTheHandlingOfAPress) {
    hotKeys->replaceHandling = true;
    hotKeys->SetOnHotKey([this](TObject* Sender, int Index) { presses.push_back({Sender, Index, nullptr}); });
    ASSERT_EQ(Add(13, AllF9), 0);
    ASSERT_TRUE(PressAndWait(AllF9));
    EXPECT_TRUE(presses.empty());
}

TEST_F(HookHotKeyTest, AHandlerThatRaisesIsReportedOnceAndTheNextPressIsHandled) {
    int calls = 0;
    hotKeys->SetOnHotKey([&](TObject*, int Index) {
        ++calls;
        if (calls == 1) throw Exception("RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(96).");
        if (calls == 2) throw 42;
        presses.push_back({nullptr, Index, nullptr});
    });
    ASSERT_EQ(Add(14, AllF10), 0);
    ASSERT_TRUE(PressAndWait(AllF10));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].sender, hotKeys);
    EXPECT_EQ(reported[0].message, "RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(96).");

    // Not even an exception of a foreign type escapes the window.
    ASSERT_TRUE(PressAndWait(AllF10));
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1].sender, hotKeys);

    ASSERT_TRUE(PressAndWait(AllF10));
    EXPECT_EQ(calls, 3);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].index, 14);
    EXPECT_EQ(reported.size(), 2u);
}

TEST_F(HookHotKeyTest, CatchHotKeyCalledFromOutsideHandlesAPressAsTheWindowWould) {
    hotKeys->SetOnHotKey([this](TObject* Sender, int Index) {
        presses.push_back({Sender, Index, GetForegroundWindow()});
    });
    THookHotKey& registrar = *hotKeys;
    registrar.CatchHotKey(21);
    EXPECT_EQ(hotKeys->caught, 1) << "a descendant's handling takes the call";
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].sender, hotKeys);
    EXPECT_EQ(presses[0].index, 21);
    ASSERT_EQ(owner.ComponentCount(), 2) << "the foreground form";
    auto* form = dynamic_cast<TForm*>(owner.Components(1));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(presses[0].foreground, form->Handle());
}

TEST_F(HookHotKeyTest, RegisterPutsTheRegistrarOnTheSamplesPage) {
    Register();
    EXPECT_EQ(ComponentPage("THookHotKey"), "Samples");
    TComponent paletteOwner(nullptr);
    auto* made = dynamic_cast<THookHotKey*>(CreateComponent("THookHotKey", &paletteOwner));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Owner(), &paletteOwner);
    EXPECT_TRUE(made->GetActivate());
    // A working registrar, with a hidden window of its own.
    ASSERT_EQ(made->Add(15, AllF9), 0);
    EXPECT_FALSE(hotKeys->IsValidKey(AllF9));
    EXPECT_TRUE(made->Delete(15));
}
