#include "Version/AVerInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Framework/Forms.h"
#include "Framework/Handles.h"

// The test program carries file version 1.2.3.40000 (AVerInfo_test.rc); its
// product version 9.8.7.6 must never show.

namespace {

std::string WindowText(HWND wnd) {
    char buf[256] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// A form that goes with the test, with a version reader on it.
struct FormWithVerInfo {
    FormWithVerInfo() : form(new TForm(Application)), ver(new TAVerInfo(form.get())) {
        form->SetCaption("Keyvane");
        form->HandleNeeded();
    }
    std::string Caption() const { return form->Caption(); }
    std::unique_ptr<TForm> form;
    TAVerInfo* ver;
};

template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

}  // namespace

TEST(TAVerInfo, ReadsTheFourFileVersionNumbersOfTheProgram) {
    TAVerInfo ver(nullptr);
    EXPECT_EQ(ver.GetMajor(), 1);
    EXPECT_EQ(ver.GetMinor(), 2);
    EXPECT_EQ(ver.GetRelease(), 3);
    EXPECT_EQ(ver.GetBuild(), 40000);
    EXPECT_EQ(ver.GetVersion(vtBuild), 40000);
    EXPECT_EQ(MessageOf<Exception>([&] { ver.GetVersion(static_cast<VersionType>(4)); }),
              "FAILED(VER) 'wrong VersionType'");
    EXPECT_EQ(MessageOf<Exception>([&] { ver.GetVersion(static_cast<VersionType>(-1)); }),
              "FAILED(VER) 'wrong VersionType'");
}

TEST(TAVerInfo, ShowVerAppendsTheVersionToTheSavedCaptionOnce) {
    FormWithVerInfo f;
    f.ver->SetShowVer(true);
    EXPECT_EQ(f.Caption(), "Keyvane - 1.2.3.40000");
    EXPECT_EQ(WindowText(f.form->Handle()), "Keyvane - 1.2.3.40000");
    f.ver->SetShowVer(false);
    EXPECT_EQ(f.Caption(), "Keyvane");
    f.ver->SetShowVer(true);
    EXPECT_EQ(f.Caption(), "Keyvane - 1.2.3.40000");
    // Every update starts again from the saved caption.
    f.ver->UpdateCaption();
    f.ver->SetHModule(nullptr);
    EXPECT_EQ(f.Caption(), "Keyvane - 1.2.3.40000");
    f.form->SetCaption("Changed elsewhere");
    f.ver->UpdateCaption();
    EXPECT_EQ(f.Caption(), "Keyvane - 1.2.3.40000");
}

TEST(TAVerInfo, AnUnchangedShowVerTouchesNothing) {
    FormWithVerInfo f;
    f.ver->SetShowVer(true);
    f.form->SetCaption("Changed elsewhere");
    f.ver->SetShowVer(true);
    EXPECT_EQ(f.Caption(), "Changed elsewhere");

    // Not even the owner is checked.
    TComponent owner(nullptr);
    auto* ver = new TAVerInfo(&owner);
    EXPECT_NO_THROW(ver->SetShowVer(false));
}

TEST(TAVerInfo, WithShowVerOffAndNothingSavedTheCaptionIsLeftAlone) {
    FormWithVerInfo f;
    f.ver->SetHModule(nullptr);
    EXPECT_EQ(f.Caption(), "Keyvane");
    // An empty caption, once suffixed, comes back empty.
    f.form->SetCaption("");
    f.ver->SetShowVer(true);
    EXPECT_EQ(f.Caption(), " - 1.2.3.40000");
    f.ver->SetShowVer(false);
    EXPECT_EQ(f.Caption(), "");
    f.ver->SetShowVer(true);
    EXPECT_EQ(f.Caption(), " - 1.2.3.40000");
}

TEST(TAVerInfo, AnOwnerThatIsNoFormIsRefusedButTheValueIsKept) {
    TComponent owner(nullptr);
    auto* ver = new TAVerInfo(&owner);
    const std::string ownerMessage = "TVerInfoのOwnerはTFormの派生クラスに限られます。";
    EXPECT_EQ(MessageOf<Exception>([&] { ver->SetShowVer(true); }), ownerMessage);
    EXPECT_TRUE(ver->ShowVer());
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(MessageOf<Exception>([&] { ver->SetHModule(self); }), ownerMessage);
    EXPECT_EQ(ver->HModule(), self);
    EXPECT_EQ(ver->GetBuild(), 40000);
}

TEST(TAVerInfo, AModuleHandleSelectsThatModulesVersion) {
    FormWithVerInfo f;
    f.ver->SetShowVer(true);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    f.ver->SetHModule(kernel);
    const std::string kernelVersion = std::to_string(f.ver->GetMajor()) + "." + std::to_string(f.ver->GetMinor()) +
                                      "." + std::to_string(f.ver->GetRelease()) + "." +
                                      std::to_string(f.ver->GetBuild());
    EXPECT_NE(kernelVersion, "1.2.3.40000");
    EXPECT_EQ(f.Caption(), "Keyvane - " + kernelVersion);
    f.ver->SetHModule(nullptr);
    EXPECT_EQ(f.Caption(), "Keyvane - 1.2.3.40000");
}

TEST(TAVerInfo, AHandleThatNamesNoModuleIsAFailedAssertionNotACrash) {
    TAVerInfo ver(nullptr);
    EXPECT_THROW(ver.SetHModule(reinterpret_cast<HMODULE>(0x10)), Exception);
    const std::string message = MessageOf<EAssertionFailed>([&] { ver.GetMajor(); });
    EXPECT_NE(message.find("GetModuleFileName(FHModule,namebuf,MAX_PATH)"), std::string::npos) << message;
    EXPECT_NE(message.find("C:\\Prj\\Version\\AVerInfo"), std::string::npos) << message;
    EXPECT_NE(message.find("183"), std::string::npos) << message;
}

TEST(TAVerInfo, AModuleWithoutVersionResourceIsReported) {
    // A copy of this program with its resources taken out.
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string copy =
        std::string(temp) + "kvver-" + std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileA(exe, copy.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(copy.c_str(), TRUE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    ASSERT_EQ(GetFileVersionInfoSizeA(copy.c_str(), nullptr), 0u);
    TLibrary module(LoadLibraryExA(copy.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(module);
    TAVerInfo ver(nullptr);
    EXPECT_THROW(ver.SetHModule(module.Get()), Exception);
    EXPECT_EQ(MessageOf<Exception>([&] { ver.GetMajor(); }), "FAILED(VER) 'GetFileVersionInfoSize'");
    // The file can't be deleted while it is loaded.
    module.Reset();
    DeleteFileA(copy.c_str());
}
