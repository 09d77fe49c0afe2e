#include "Version/AVerInfo.h"

#include <winver.h>

#include <new>
#include <vector>

#include "Framework/Forms.h"
#include "Framework/SysUtils.h"
#include "Framework/SystemLibrary.h"

TAVerInfo::TAVerInfo(TComponent* AOwner) : TComponent(AOwner) {}

std::string TAVerInfo::ModuleFileName() const {
    if (!FHModule) return Application->ExeName();
    char namebuf[MAX_PATH];
    DWORD n = GetModuleFileNameA(FHModule, namebuf, MAX_PATH);
    if (n == 0)
        throw EAssertionFailed(
            "Assertion failed: GetModuleFileName(FHModule,namebuf,MAX_PATH) (C:\\Prj\\Version\\AVerInfo, line 183)");
    // A name cut at the buffer's end may be unterminated; it then names no file.
    return std::string(namebuf, n);
}

int TAVerInfo::GetVersion(VersionType type) {
    const std::string file = ModuleFileName();
    DWORD size = version::GetFileVersionInfoSizeA(file.c_str(), nullptr);
    if (size == 0) throw Exception("FAILED(VER) 'GetFileVersionInfoSize'");
    std::vector<char> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("メモリが不足しています");
    }
    if (!version::GetFileVersionInfoA(file.c_str(), 0, size, block.data())) throw Exception("FAILED(VER) 'GetFileVersionInfo'");
    void* value = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!version::VerQueryValueA(block.data(), root, &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        throw Exception("FAILED(VER) 'VerQueryValue'");
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    switch (type) {
        case vtMajor: return HIWORD(info->dwFileVersionMS);
        case vtMinor: return LOWORD(info->dwFileVersionMS);
        case vtRelease: return HIWORD(info->dwFileVersionLS);
        case vtBuild: return LOWORD(info->dwFileVersionLS);
    }
    throw Exception("FAILED(VER) 'wrong VersionType'");
}

void TAVerInfo::SetShowVer(bool value) {
    if (value == FShowVer) return;
    FShowVer = value;
    UpdateCaption();
}

void TAVerInfo::SetHModule(HMODULE module) {
    FHModule = module;
    UpdateCaption();
}

void TAVerInfo::UpdateCaption() {
    if (Designing()) return;
    auto* form = dynamic_cast<TForm*>(Owner());
    if (!form) throw Exception("TVerInfoのOwnerはTFormの派生クラスに限られます。");
    if (!FShowVer) {
        // Nothing was ever appended: the form's caption is its own.
        if (FCaptionSaved) form->SetCaption(FSavedCaption);
        return;
    }
    if (!FCaptionSaved) {
        FSavedCaption = form->Caption();
        FCaptionSaved = true;
    }
    form->SetCaption(FSavedCaption +
                     Format(" - %d.%d.%d.%d", GetMajor(), GetMinor(), GetRelease(), GetBuild()));
}
