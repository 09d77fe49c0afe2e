#include "Controls/EliGeometry.h"

#include <gtest/gtest.h>

TEST(EllipsisEditRect, LeavesTheButtonStripFree) {
    struct Case {
        int w, h, right;
    };
    const Case cases[] = {{146, 16, 131}, {501, 16, 486}, {15, 16, 0}, {16, 16, 1}, {10, 16, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        const TRect r = EllipsisEditRect(c.w, c.h);
        EXPECT_EQ(r.Left, 0) << c.w;
        EXPECT_EQ(r.Top, 0) << c.w;
        EXPECT_EQ(r.Right, c.right) << c.w;
        EXPECT_EQ(r.Bottom, c.h) << c.w;
    }
}

TEST(EllipsisIBeamAt, TextCursorEndsSeventeenPixelsBeforeTheRightEdge) {
    struct Case {
        int x, width;
        bool ibeam;
    };
    const Case cases[] = {
        {0, 146, true}, {146 - 18, 146, true}, {146 - 17, 146, false}, {145, 146, false},
        {-1, 146, true}, {0, 17, false}, {0, 18, true},
    };
    for (const Case& c : cases) EXPECT_EQ(EllipsisIBeamAt(c.x, c.width), c.ibeam) << c.x << "/" << c.width;
}

TEST(KvMulDiv, RoundsHalvesAwayFromZeroLikeTheSystem) {
    struct Case {
        int a, b, c, r;
    };
    const Case cases[] = {
        {8, 120, 96, 10},   {505, 120, 96, 631}, {9, 120, 96, 11},  {2, 5, 4, 3},      {-2, 5, 4, -3},
        {2, -5, 4, -3},     {2, 5, -4, -3},      {-2, -5, 4, 3},    {1, 1, 2, 1},      {1, 1, 3, 0},
        {5, 1, 0, -1},      {0, 7, 3, 0},        {2000000000, 2, 2, 2000000000},
        {2000000000, 3, 2, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(KvMulDiv(c.a, c.b, c.c), c.r) << c.a << "*" << c.b << "/" << c.c;
}

TEST(EllipsisScaledBounds, ScalesCornersSoThatNeighboursStayFlush) {
    // The command box of the item editor at 120/96.
    const TRect b = EllipsisScaledBounds(TRect{8, 16, 8 + 505, 16 + 20}, 120, 96);
    EXPECT_EQ(b.Left, 10);
    EXPECT_EQ(b.Top, 20);
    EXPECT_EQ(b.Width(), 641 - 10);   // MulDiv(513) = 641.25 -> 641
    EXPECT_EQ(b.Height(), 45 - 20);   // MulDiv(36) = 45
    // Two boxes side by side still touch after scaling.
    const TRect a1 = EllipsisScaledBounds(TRect{3, 0, 3 + 7, 10}, 120, 96);
    const TRect a2 = EllipsisScaledBounds(TRect{10, 0, 10 + 7, 10}, 120, 96);
    EXPECT_EQ(a1.Left + a1.Width(), a2.Left);
    // Scaling down.
    const TRect d = EllipsisScaledBounds(TRect{10, 20, 10 + 150, 20 + 20}, 96, 120);
    EXPECT_EQ(d.Left, 8);
    EXPECT_EQ(d.Top, 16);
    EXPECT_EQ(d.Width(), 128 - 8);
    EXPECT_EQ(d.Height(), 32 - 16);
}

TEST(EllipsisScalesFont, OwnFontOnlyAndWhileLoadingOnlyWithFontScaling) {
    struct Case {
        bool parentFont, loading, flag, scales;
    };
    const Case cases[] = {
        {true, false, true, false}, {true, true, true, false},  {false, false, false, true},
        {false, false, true, true}, {false, true, true, true},  {false, true, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EllipsisScalesFont(c.parentFont, c.loading, c.flag), c.scales)
            << c.parentFont << c.loading << c.flag;
}
