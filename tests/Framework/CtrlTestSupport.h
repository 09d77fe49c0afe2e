#pragma once
// Helpers of the controls' tests under Wine: waiting for a condition while
// the message loop runs, reading back what a window shows, saving pictures.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "Framework/Forms.h"
#include "Framework/Handles.h"

namespace ctltest {

// Runs the program's message dispatch until pred holds or the time is up.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Application->ProcessMessages();
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Lets every pending message (paints included) run.
inline void Settle() {
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// What a window shows now, as 0x00RRGGBB pixels, top row first. The window
// paints itself into the picture (whatever lies above it on the screen).
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    COLORREF Color(int x, int y) const {
        uint32_t p = At(x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Pixels of colour c inside [x0, x1) x [y0, y1).
    int Count(COLORREF c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += Color(x, y) == c;
        return n;
    }
    // Pixels that differ from c inside [x0, x1) x [y0, y1).
    int CountOther(COLORREF c, int x0, int y0, int x1, int y1) const {
        return (x1 - x0) * (y1 - y0) - Count(c, x0, y0, x1, y1);
    }
};

// The whole window (frame included) of a top-level window, or the client
// area of a child, as it is on the screen now.
inline Picture Capture(HWND wnd, bool wholeWindow = false) {
    Picture pic;
    RECT r;
    if (wholeWindow) GetWindowRect(wnd, &r);
    else GetClientRect(wnd, &r);
    pic.width = r.right - r.left;
    pic.height = r.bottom - r.top;
    if (pic.width <= 0 || pic.height <= 0) return pic;
    const TBorrowedDC src = wholeWindow ? TBorrowedDC(wnd, GetWindowDC(wnd)) : TBorrowedDC(wnd);
    const TMemoryDC mem(CreateCompatibleDC(src.Get()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pic.width;
    bi.bmiHeader.biHeight = -pic.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TGdiObject<HBITMAP> dib(CreateDIBSection(mem.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TSelectedObject selected(mem.Get(), dib.Get());
    BitBlt(mem.Get(), 0, 0, pic.width, pic.height, src.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pic.pixels.assign(p, p + static_cast<size_t>(pic.width) * pic.height);
    for (uint32_t& px : pic.pixels) px &= 0xFFFFFF;
    return pic;
}

// Saves a picture as a 24-bit BMP file; false when the file can't be written.
inline bool SaveBmp(const Picture& pic, const std::string& path) {
    int stride = (pic.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = pic.width;
    ih.biHeight = pic.height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = static_cast<DWORD>(stride * pic.height);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int y = pic.height - 1; y >= 0; --y) {
        for (int x = 0; x < pic.width; ++x) {
            uint32_t p = pic.At(x, y);
            row[static_cast<size_t>(x) * 3] = p & 0xFF;
            row[static_cast<size_t>(x) * 3 + 1] = (p >> 8) & 0xFF;
            row[static_cast<size_t>(x) * 3 + 2] = (p >> 16) & 0xFF;
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

// Where tests put their pictures: $KV_SHOT_DIR, else the temporary folder.
inline std::string ShotPath(const std::string& name) {
    char dir[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("KV_SHOT_DIR", dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) n = GetTempPathA(MAX_PATH, dir);
    std::string d(dir, n < MAX_PATH ? n : 0);
    if (!d.empty() && d.back() != '\\' && d.back() != '/') d += '\\';
    return d + name;
}

// Posts a key press (down and up) to a window, as the keyboard would.
inline void PostKey(HWND wnd, WPARAM vk) {
    PostMessageA(wnd, WM_KEYDOWN, vk, 1);
    PostMessageA(wnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

// Holds keys (Shift, Ctrl, ...) down in this thread's keyboard state while
// it lives.
class KeysHeld {
public:
    explicit KeysHeld(std::initializer_list<BYTE> keys) {
        GetKeyboardState(FSaved);
        BYTE state[256];
        GetKeyboardState(state);
        for (BYTE key : keys) state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~KeysHeld() { SetKeyboardState(FSaved); }
    KeysHeld(const KeysHeld&) = delete;
    KeysHeld& operator=(const KeysHeld&) = delete;

private:
    BYTE FSaved[256];
};

// Presses Tab (Shift+Tab) in from and waits until the focus reaches to.
// Another program on the display may take this one's activation (and with it
// the focus) away at any moment; a step is therefore tried a few times, and
// only a step that goes wrong every time fails.
inline bool TabStep(TWinControl* from, TWinControl* to, bool shift = false) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        from->SetFocus();
        if (!from->Focused()) continue;
        if (shift) {
            KeysHeld held{VK_SHIFT};
            PostKey(from->Handle(), VK_TAB);
            if (WaitFor([&] { return to->Focused(); }, 1000)) return true;
        } else {
            PostKey(from->Handle(), VK_TAB);
            if (WaitFor([&] { return to->Focused(); }, 1000)) return true;
        }
    }
    return false;
}

}  // namespace ctltest
