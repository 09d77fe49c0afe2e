#include "Framework/Scaling.h"

#include <algorithm>
#include <cstdint>

namespace {

// The system's MulDiv rounding on 64-bit values; c is not 0.
int64_t MulDiv64(int64_t a, int b, int c) {
    int64_t num = a * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const int64_t half = den / 2;
    return (num >= 0 ? num + half : num - half) / den;
}

int Saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -INT32_MAX, INT32_MAX)); }

}  // namespace

int KvMulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t r = MulDiv64(a, b, c);
    if (r > INT32_MAX || r < -INT32_MAX) return -1;
    return static_cast<int>(r);
}

TWindowBounds ScaleBounds(const TWindowBounds& bounds, int M, int D) {
    if (M == D || D == 0) return bounds;
    const int64_t left = MulDiv64(bounds.Left, M, D), top = MulDiv64(bounds.Top, M, D);
    const int64_t right = MulDiv64(static_cast<int64_t>(bounds.Left) + bounds.Width, M, D);
    const int64_t bottom = MulDiv64(static_cast<int64_t>(bounds.Top) + bounds.Height, M, D);
    return TWindowBounds{Saturate(left), Saturate(top), Saturate(right - left), Saturate(bottom - top)};
}
