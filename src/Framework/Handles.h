#pragma once
// Owners of the system's handles, one small class per kind. Each releases its
// handle exactly once; ownership moves, copies are deleted. The owners above
// the Windows section compile everywhere, for the portable code; the rest
// serve the windows and the platform glue.
#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shtypes.h>
#else
#include <unistd.h>
#endif

// Owns one handle of the kind TTraits describes:
//   using Handle = ...;                 the handle's type
//   static Handle Empty();              what an owner holds when it holds nothing
//   static bool Valid(Handle);          false for every value that names nothing
//   static bool Close(Handle);          releases a valid handle; false when refused
// Any value that names nothing is taken as Empty(), so Get() and Release()
// give the one empty value of the kind.
template <class TTraits>
class TUniqueHandle {
public:
    using Handle = typename TTraits::Handle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle handle) : FHandle(Normal(handle)) {}
    ~TUniqueHandle() { Close(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    Handle Get() const { return FHandle; }
    bool Valid() const { return TTraits::Valid(FHandle); }
    explicit operator bool() const { return Valid(); }
    // Gives the handle up to the caller, who releases it.
    Handle Release() { return std::exchange(FHandle, TTraits::Empty()); }
    // Releases what is held and holds handle instead. Holding the same handle
    // again releases nothing: it is still in use.
    void Reset(Handle handle = TTraits::Empty()) {
        const Handle old = std::exchange(FHandle, Normal(handle));
        if (old != handle && TTraits::Valid(old)) TTraits::Close(old);
    }
    // Releases the handle now and says whether the system agreed: closing a
    // file can report a write that failed late. Empty afterwards either way.
    bool Close() {
        const Handle old = Release();
        return !TTraits::Valid(old) || TTraits::Close(old);
    }

private:
    static Handle Normal(Handle handle) { return TTraits::Valid(handle) ? handle : TTraits::Empty(); }

    Handle FHandle = TTraits::Empty();
};

// ------------------------------------------------------------ portable

struct TStdFileTraits {
    using Handle = std::FILE*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle file) { return file != nullptr; }
    // fclose flushes: its failure is a failed write.
    static bool Close(Handle file) { return std::fclose(file) == 0; }
};
// A C runtime stream from fopen.
using TStdFile = TUniqueHandle<TStdFileTraits>;

#ifndef _WIN32
struct TFileDescriptorTraits {
    using Handle = int;
    static Handle Empty() { return -1; }
    static bool Valid(Handle fd) { return fd >= 0; }
    static bool Close(Handle fd) { return ::close(fd) == 0; }
};
// A POSIX file descriptor from open.
using TFileDescriptor = TUniqueHandle<TFileDescriptorTraits>;
#endif

// ------------------------------------------------------------ Windows

#ifdef _WIN32

// A handle whose empty value is null and which one call releases.
template <class THandleType, auto Free>
struct TNullHandleTraits {
    using Handle = THandleType;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static bool Close(Handle handle) { return Free(handle) != 0; }
};

// A kernel object (file, mutex, event, process, snapshot). The calls that
// make them report failure either as null (CreateMutex, OpenProcess) or as
// INVALID_HANDLE_VALUE (CreateFile, CreateToolhelp32Snapshot); either result
// can go straight into the owner, which then holds null.
struct TKernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != 0; }
};
using TKernelHandle = TUniqueHandle<TKernelHandleTraits>;

// A search from FindFirstFile; INVALID_HANDLE_VALUE when nothing was found.
struct TFindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return FindClose(handle) != 0; }
};
using TFindHandle = TUniqueHandle<TFindHandleTraits>;

// A pen, brush, font or bitmap, deleted with DeleteObject. It must no longer
// be selected into a device context by then (see TSelectedObject).
template <class THandleType = HGDIOBJ>
using TGdiObject = TUniqueHandle<TNullHandleTraits<THandleType, DeleteObject>>;

// A device context made by CreateCompatibleDC, deleted with DeleteDC.
using TMemoryDC = TUniqueHandle<TNullHandleTraits<HDC, DeleteDC>>;

// A menu that is not (or no longer) attached to a window.
using TMenuHandle = TUniqueHandle<TNullHandleTraits<HMENU, DestroyMenu>>;

// A module from LoadLibrary.
using TLibrary = TUniqueHandle<TNullHandleTraits<HMODULE, FreeLibrary>>;

// One icon handle, destroyed with DestroyIcon.
using TIconHandle = TUniqueHandle<TNullHandleTraits<HICON, DestroyIcon>>;

// Memory the shell or COM allocated with the task allocator.
template <class T>
struct TCoTaskMemTraits {
    using Handle = T*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle memory) { return memory != nullptr; }
    static bool Close(Handle memory) {
        CoTaskMemFree(memory);
        return true;
    }
};
// An item identifier list the shell allocated.
using TPidl = TUniqueHandle<TCoTaskMemTraits<ITEMIDLIST>>;

// One reference to a COM interface, released on leaving. Several are
// declared in the reverse of the order they are to be released in.
template <class T>
class TComRef {
public:
    TComRef() = default;
    ~TComRef() { Reset(); }
    TComRef(TComRef&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TComRef& operator=(TComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            FPtr = std::exchange(other.FPtr, nullptr);
        }
        return *this;
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;

    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // Where CoCreateInstance or QueryInterface puts the interface; whatever
    // was held before is released first.
    void** OutVoid() {
        Reset();
        return reinterpret_cast<void**>(&FPtr);
    }
    void Reset() {
        if (FPtr) std::exchange(FPtr, nullptr)->Release();
    }

private:
    T* FPtr = nullptr;
};

// A window's device context borrowed with GetDC and given back with ReleaseDC
// for the same window.
class TBorrowedDC {
public:
    TBorrowedDC() = default;
    // The client area's DC of wnd; the whole screen's for nullptr.
    explicit TBorrowedDC(HWND wnd) : FWnd(wnd), FDC(GetDC(wnd)) {}
    // A DC that GetWindowDC or GetDCEx lent for wnd.
    TBorrowedDC(HWND wnd, HDC dc) : FWnd(wnd), FDC(dc) {}
    ~TBorrowedDC() { Reset(); }
    TBorrowedDC(TBorrowedDC&& other) noexcept
        : FWnd(other.FWnd), FDC(std::exchange(other.FDC, nullptr)) {}
    TBorrowedDC& operator=(TBorrowedDC&& other) noexcept {
        if (this != &other) {
            Reset();
            FWnd = other.FWnd;
            FDC = std::exchange(other.FDC, nullptr);
        }
        return *this;
    }
    TBorrowedDC(const TBorrowedDC&) = delete;
    TBorrowedDC& operator=(const TBorrowedDC&) = delete;

    HDC Get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }
    // Gives the DC back now.
    void Reset() {
        if (FDC) ReleaseDC(FWnd, std::exchange(FDC, nullptr));
    }

private:
    HWND FWnd = nullptr;
    HDC FDC = nullptr;
};

// The device context of one WM_PAINT, from BeginPaint to EndPaint. EndPaint
// gives the DC back and shows the caret again, also when the drawing ended
// with an exception. Neither copied nor moved: it lives for the one message.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : FWnd(wnd), FDC(BeginPaint(wnd, &FPaint)) {}
    ~TPaintDC() { EndPaint(FWnd, &FPaint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Get() const { return FDC; }
    // The area of the window that needs painting.
    const RECT& Area() const { return FPaint.rcPaint; }

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{};
    HDC FDC;
};

// An object selected into a device context, with the one it replaced put back
// on leaving, so that the object can be deleted and the DC gets its own again.
// Declare it after the owners of the DC and of the object: it must go first.
class TSelectedObject {
public:
    TSelectedObject() = default;
    // A failed selection (a null DC or object) leaves nothing to put back.
    TSelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {
        if (FOld == HGDI_ERROR) FOld = nullptr;
    }
    ~TSelectedObject() { Restore(); }
    TSelectedObject(TSelectedObject&& other) noexcept
        : FDC(other.FDC), FOld(std::exchange(other.FOld, nullptr)) {}
    TSelectedObject& operator=(TSelectedObject&& other) noexcept {
        if (this != &other) {
            Restore();
            FDC = other.FDC;
            FOld = std::exchange(other.FOld, nullptr);
        }
        return *this;
    }
    TSelectedObject(const TSelectedObject&) = delete;
    TSelectedObject& operator=(const TSelectedObject&) = delete;

    explicit operator bool() const { return FOld != nullptr; }
    // Puts the replaced object back now.
    void Restore() {
        if (FOld) SelectObject(FDC, std::exchange(FOld, nullptr));
    }

private:
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
};

// COM initialised on this thread for as long as the owner lives. Only a
// successful CoInitialize (S_OK, or S_FALSE when it already was) is balanced
// by CoUninitialize; a failed one (RPC_E_CHANGED_MODE in a multithreaded
// thread) must not be, or it would undo an initialisation that is not ours.
// Neither copied nor moved: it belongs to the scope and thread that made it.
class TComInit {
public:
    TComInit() : FInitialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~TComInit() {
        if (FInitialised) CoUninitialize();
    }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;

    bool Initialised() const { return FInitialised; }

private:
    bool FInitialised;
};

// The clipboard, open while this lives.
class TClipboardLock {
public:
    explicit TClipboardLock(HWND owner) : FOpen(OpenClipboard(owner) != 0) {}
    ~TClipboardLock() {
        if (FOpen) CloseClipboard();
    }
    TClipboardLock(const TClipboardLock&) = delete;
    TClipboardLock& operator=(const TClipboardLock&) = delete;
    bool Open() const { return FOpen; }

private:
    bool FOpen;
};

// A global memory block, locked while this lives; the block stays its owner's.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL block) : FBlock(block), FData(block ? GlobalLock(block) : nullptr) {}
    ~TGlobalLock() {
        if (FData) GlobalUnlock(FBlock);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    // The block's bytes, or nullptr when it could not be locked.
    const void* Data() const { return FData; }
    SIZE_T Size() const { return FData ? GlobalSize(FBlock) : 0; }

private:
    HGLOBAL FBlock;
    void* FData;
};

#endif
