// Libraries resolved at run time: a failure names the library, the function
// and the system's reason, and is not remembered.
#include <gtest/gtest.h>

#include <string>

#include "Framework/Exception.h"
#include "Framework/SystemLibrary.h"

namespace {

std::string FailureOf(const char* library, const char* name) {
    try {
        SystemProc(library, name);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

TEST(SystemLibrary, FailuresNameTheLibraryTheFunctionAndTheSystemsReason) {
    const std::string missing = FailureOf("kvnosuch.dll", "Anything");
    EXPECT_NE(missing.find("kvnosuch.dll"), std::string::npos) << missing;
    EXPECT_NE(missing.find("(126"), std::string::npos) << "ERROR_MOD_NOT_FOUND: " << missing;

    const std::string noEntry = FailureOf("version.dll", "KvNoSuchFunction");
    EXPECT_NE(noEntry.find("version.dll"), std::string::npos) << noEntry;
    EXPECT_NE(noEntry.find("KvNoSuchFunction"), std::string::npos) << noEntry;
    EXPECT_NE(noEntry.find("(127"), std::string::npos) << "ERROR_PROC_NOT_FOUND: " << noEntry;

    EXPECT_NE(SystemProc("version.dll", "GetFileVersionInfoSizeA"), nullptr);
}

TEST(SystemLibrary, LoadsFromTheSystemFolder) {
    HMODULE module = LoadSystemLibrary("comctl32.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = {}, system[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(module, path, MAX_PATH), 0u);
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, static_cast<int>(length), system,
                             static_cast<int>(length)),
              CSTR_EQUAL)
        << path;
    FreeLibrary(module);
}

}  // namespace
