// Libraries resolved at run time: a failure names the library, the function
// and the system's reason. That they come from the system folder, the
// end-to-end test with planted libraries shows.
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

}  // namespace
