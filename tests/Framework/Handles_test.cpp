#include "Framework/Handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// True while handle names an open kernel object of this process.
bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

HANDLE NewEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

}  // namespace

TEST(TKernelHandle, NullAndInvalidHandleValueAreBothEmptyAndHeldAsNull) {
    // INVALID_HANDLE_VALUE is also the current process's pseudo handle, so it
    // must never be taken for something to close, nor given back as a handle.
    for (HANDLE empty : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        TKernelHandle owner(empty);
        EXPECT_FALSE(owner);
        EXPECT_EQ(owner.Get(), nullptr);
        EXPECT_TRUE(owner.Close()) << "nothing to close is no failure";
    }
}

TEST(TKernelHandle, ClosesAValidHandleOnceWhenItGoes) {
    const HANDLE raw = NewEvent();
    ASSERT_TRUE(IsOpen(raw));
    {
        TKernelHandle owner(raw);
        EXPECT_TRUE(owner);
        owner.Reset(raw);
        EXPECT_TRUE(IsOpen(raw)) << "holding the same handle again must not close it";
    }
    EXPECT_FALSE(IsOpen(raw));

    const HANDLE replaced = NewEvent();
    TKernelHandle owner(replaced);
    owner.Reset(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(IsOpen(replaced));
    EXPECT_EQ(owner.Get(), nullptr);
}

TEST(TKernelHandle, MovingLeavesTheSourceEmptyAndTheTargetOwning) {
    const HANDLE raw = NewEvent();
    TKernelHandle target;
    {
        TKernelHandle source(raw);
        target = std::move(source);
        EXPECT_FALSE(source);
        TKernelHandle constructed(std::move(target));
        EXPECT_FALSE(target);
        target = std::move(constructed);
    }
    EXPECT_TRUE(IsOpen(raw)) << "an emptied source closed the handle it gave away";
    EXPECT_EQ(target.Get(), raw);
    target.Reset();
    EXPECT_FALSE(IsOpen(raw));
}

TEST(TSelectedObject, PutsBackTheObjectItReplacedOnceWhenItsLastOwnerGoes) {
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ own = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    const TGdiObject<HBITMAP> first(CreateCompatibleBitmap(dc.Get(), 4, 4));
    const TGdiObject<HBITMAP> second(CreateCompatibleBitmap(dc.Get(), 4, 4));
    {
        TSelectedObject outer;
        {
            TSelectedObject selected(dc.Get(), first.Get());
            ASSERT_TRUE(selected);
            EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), first.Get());
            outer = std::move(selected);
            EXPECT_FALSE(selected);
        }
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), first.Get()) << "an emptied source put it back";
        {
            const TSelectedObject nested(dc.Get(), second.Get());
            EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), second.Get());
        }
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), first.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), own);
}

// Whether the calling thread is in COM's multithreaded apartment is read by
// trying to enter it once more: S_FALSE when it already is, S_OK when COM had
// been left, RPC_E_CHANGED_MODE in a single-threaded apartment.
TEST(TComInit, UndoesOnlyASuccessfulInitialisation) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
        // The single-threaded CoInitialize fails in a multithreaded thread.
        const TComInit com;
        EXPECT_FALSE(com.Initialised());
    }
    const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(again, S_FALSE) << "the failed initialisation undid the thread's own";
    if (SUCCEEDED(again)) CoUninitialize();
    CoUninitialize();

    {
        const TComInit com;
        EXPECT_TRUE(com.Initialised());
    }
    const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(after, S_OK) << "the successful initialisation was left in place";
    if (SUCCEEDED(after)) CoUninitialize();
}
