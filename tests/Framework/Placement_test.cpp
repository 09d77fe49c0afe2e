#include "Framework/Placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

// A laptop screen with its taskbar, and a larger monitor to its right.
TEST(Placement, TheWindowLandsOnAPresentMonitorAtAUsableSize) {
    const std::vector<TRect> areas{{0, 0, 1024, 738}, {1024, 0, 2304, 1024}};
    const struct {
        const char* what;
        TWindowBounds stored, placed;
    } cases[] = {
        {"off every monitor: onto the nearest", {3000, 2000, 696, 478}, {1608, 546, 696, 478}},
        {"caption above the screen", {100, -50, 696, 478}, {100, 0, 696, 478}},
        {"only the bottom off: the caption is in reach", {100, 600, 696, 478}, {100, 600, 696, 478}},
        {"larger than the work area", {-4, -4, 1500, 900}, {0, 0, 1024, 738}},
        {"tiny", {100, 100, 5, 5}, {100, 100, 520, 320}},
        {"negative", {100, 100, -5, -300}, {100, 100, 520, 320}},
        {"on the second monitor", {1200, 100, 696, 478}, {1200, 100, 696, 478}},
        {"across both monitors", {700, 100, 696, 478}, {700, 100, 696, 478}},
        {"huge", {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {1024, 0, 1280, 1024}},
    };
    for (const auto& c : cases) {
        const TWindowBounds p = PlaceOnWorkAreas(c.stored, areas, 520, 320, 30);
        EXPECT_TRUE(p == c.placed) << c.what << ": " << p.Left << "," << p.Top << "," << p.Width << "," << p.Height;
    }
}
