#include "Controls/EliGeometry.h"

#include <algorithm>
#include <cstdint>

TEliRect EllipsisEditRect(int clientWidth, int clientHeight) {
    return TEliRect{0, 0, std::max(0, clientWidth - EllipsisButtonWidth), clientHeight};
}

bool EllipsisIBeamAt(int x, int clientWidth) { return x < clientWidth - EllipsisCursorMargin; }

int KvMulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t half = den / 2;
    int64_t r = (num >= 0 ? num + half : num - half) / den;
    if (r > INT32_MAX || r < -INT32_MAX) return -1;
    return static_cast<int>(r);
}

TEliBounds EllipsisScaledBounds(const TEliBounds& bounds, int M, int D) {
    int left = KvMulDiv(bounds.Left, M, D);
    int top = KvMulDiv(bounds.Top, M, D);
    int width = KvMulDiv(bounds.Left + bounds.Width, M, D) - left;
    int height = KvMulDiv(bounds.Top + bounds.Height, M, D) - top;
    return TEliBounds{left, top, width, height};
}

bool EllipsisScalesFont(bool parentFont, bool loading, bool scaleFontFlag) {
    if (parentFont) return false;
    return !loading || scaleFontFlag;
}
