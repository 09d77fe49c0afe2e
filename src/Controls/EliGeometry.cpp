#include "Controls/EliGeometry.h"

#include <algorithm>
#include <cstdint>

TRect EllipsisEditRect(int clientWidth, int clientHeight) {
    return TRect{0, 0, std::max(0, clientWidth - EllipsisButtonWidth), clientHeight};
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

TRect EllipsisScaledBounds(const TRect& bounds, int M, int D) {
    return TRect{KvMulDiv(bounds.Left, M, D), KvMulDiv(bounds.Top, M, D), KvMulDiv(bounds.Right, M, D),
                 KvMulDiv(bounds.Bottom, M, D)};
}

bool EllipsisScalesFont(bool parentFont, bool loading, bool scaleFontFlag) {
    if (parentFont) return false;
    return !loading || scaleFontFlag;
}
