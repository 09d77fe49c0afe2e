#include "Framework/Scaling.h"

#include <gtest/gtest.h>

// Sizes go up to the screen's pixels per inch and the settings file's numbers
// come back down, halves rounded away from zero as the system's MulDiv does.
TEST(Scaling, BoundsFontsAndTheSettingsFileRoundTrip) {
    const struct {
        int dpi;
        TWindowBounds formRect;  // FormRect=100,100,400,300 on this screen
        int buttonWidth, charHeight12, points9, points10;
    } cases[] = {{96, {100, 100, 400, 300}, 75, 12, 12, 13},
                 {120, {125, 125, 500, 375}, 94, 15, 15, 17},
                 {144, {150, 150, 600, 450}, 113, 18, 18, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_TRUE(ScaleBounds({100, 100, 400, 300}, c.dpi, 96) == c.formRect);
        EXPECT_EQ(ScaleBounds({8, 8, 75, 25}, c.dpi, 96).Width, c.buttonWidth) << "by edges";
        EXPECT_EQ(KvMulDiv(-12, c.dpi, 96), -c.charHeight12);
        EXPECT_EQ(PointsToPixels(9, c.dpi), c.points9);
        EXPECT_EQ(PointsToPixels(10, c.dpi), c.points10);
        for (const TWindowBounds stored : {TWindowBounds{-7, 3, 401, 299}, TWindowBounds{1, 1, 1, 1}})
            EXPECT_TRUE(ScaleBounds(ScaleBounds(stored, c.dpi, 96), 96, c.dpi) == stored);
        for (const int width : {1, 63, 110, 1023}) EXPECT_EQ(KvMulDiv(KvMulDiv(width, c.dpi, 96), 96, c.dpi), width);
    }
    EXPECT_GT(ScaleBounds({2147483647, 0, 2147483647, 1}, 144, 96).Left, 0) << "no overflow";
}
