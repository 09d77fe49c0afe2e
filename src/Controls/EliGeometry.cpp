#include "Controls/EliGeometry.h"

#include <algorithm>

TRect EllipsisEditRect(int clientWidth, int clientHeight) {
    return TRect{0, 0, std::max(0, clientWidth - EllipsisButtonWidth), clientHeight};
}

bool EllipsisIBeamAt(int x, int clientWidth) { return x < clientWidth - EllipsisCursorMargin; }

TRect EllipsisScaledBounds(const TRect& bounds, int M, int D) {
    return TRect{KvMulDiv(bounds.Left, M, D), KvMulDiv(bounds.Top, M, D), KvMulDiv(bounds.Right, M, D),
                 KvMulDiv(bounds.Bottom, M, D)};
}

bool EllipsisScalesFont(bool parentFont, bool loading, bool scaleFontFlag) {
    if (parentFont) return false;
    return !loading || scaleFontFlag;
}
