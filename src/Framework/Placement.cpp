#include "Framework/Placement.h"

#include <algorithm>

namespace {

// Positions in 64 bits: a stored left of 2147483647 plus a width must not overflow.
struct TBox {
    long long Left, Top, Right, Bottom;
};

long long Overlap(const TBox& a, const TRect& b) {
    const long long w = std::min<long long>(a.Right, b.Right) - std::max<long long>(a.Left, b.Left);
    const long long h = std::min<long long>(a.Bottom, b.Bottom) - std::max<long long>(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

// How far apart two boxes lie (squared); 0 when they touch or overlap.
long long Distance(const TBox& a, const TRect& b) {
    const long long dx = std::max({0LL, b.Left - a.Right, a.Left - b.Right});
    const long long dy = std::max({0LL, b.Top - a.Bottom, a.Top - b.Bottom});
    return dx * dx + dy * dy;
}

}  // namespace

TWindowBounds PlaceOnWorkAreas(const TWindowBounds& window, const std::vector<TRect>& workAreas, int minWidth,
                               int minHeight, int captionHeight) {
    TWindowBounds placed{window.Left, window.Top, std::max(window.Width, minWidth),
                         std::max(window.Height, minHeight)};
    if (workAreas.empty()) return placed;

    const TBox box{placed.Left, placed.Top, static_cast<long long>(placed.Left) + placed.Width,
                   static_cast<long long>(placed.Top) + placed.Height};
    const TBox caption{box.Left, box.Top, box.Right, box.Top + std::max(1, std::min(captionHeight, placed.Height))};
    // Work areas don't overlap, so their shares of the caption add up to the part that is shown.
    long long shown = 0;
    for (const TRect& area : workAreas) shown += Overlap(caption, area);
    if (shown >= (caption.Right - caption.Left) * (caption.Bottom - caption.Top)) return placed;

    const TRect* target = nullptr;
    long long bestOverlap = 0, bestDistance = 0;
    for (const TRect& area : workAreas) {
        if (area.Empty()) continue;
        const long long overlap = Overlap(box, area), distance = Distance(box, area);
        if (!target || overlap > bestOverlap || (overlap == bestOverlap && distance < bestDistance)) {
            target = &area;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    if (!target) return placed;
    placed.Width = std::min(placed.Width, target->Width());
    placed.Height = std::min(placed.Height, target->Height());
    placed.Left = std::clamp(placed.Left, target->Left, target->Right - placed.Width);
    placed.Top = std::clamp(placed.Top, target->Top, target->Bottom - placed.Height);
    return placed;
}
