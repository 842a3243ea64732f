#include "core/tiling/TileSliders.h"

#include <gtest/gtest.h>

using namespace quiltara;

TEST(TileSliders, SetupOnEnteringFineTuning) {
    const TileSliderSetup s = TileSlidersFor(200, 200);
    EXPECT_EQ(s.sizeMin, 100);
    EXPECT_EQ(s.sizeMax, 400);
    EXPECT_EQ(s.sizePos, 200);
    EXPECT_EQ(s.aspectMin, 0);
    EXPECT_EQ(s.aspectMax, 200);
    EXPECT_EQ(s.aspectPos, 100);
    EXPECT_EQ(TileSlidersFor(101, 50).sizeMin, 50);
    // 2: 200 - 10/1.1 = 190.9; 0.5: -10/-0.6 = 16.7; 1.5: 200 - 10/0.6 = 183.3.
    EXPECT_EQ(AspectSliderPosition(2.0), 190);
    EXPECT_EQ(AspectSliderPosition(0.5), 16);
    EXPECT_EQ(AspectSliderPosition(1.5), 183);
    EXPECT_EQ(AspectSliderPosition(1.0), 100);
    EXPECT_EQ(TileSlidersFor(200, 100).aspectPos, 16);
}

TEST(TileSliders, AspectPositionToRatio) {
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(200), 5.0); // 10/0: infinitely large, clamped
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(0), 0.01);  // 10/0 below: clamped up
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(100), 1.0);
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(150), 0.9 + 10.0 / 50); // 1.1
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(50), 1.1 - 10.0 / 50);  // 0.9
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(199), 5.0);             // 10.9 clamped
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(5), 0.01);              // -0.9 clamped
    EXPECT_DOUBLE_EQ(AspectRatioFromSlider(195), 0.9 + 10.0 / 5);  // 2.9
    // Next to the middle the ratio stays on its side of 1.
    EXPECT_GE(AspectRatioFromSlider(101), 1.0);
    EXPECT_LE(AspectRatioFromSlider(99), 1.0);
}

TEST(TileSliders, SizeFromPositions) {
    EXPECT_EQ(TileSizeFromSliders(200, 150).width, 200);
    EXPECT_EQ(TileSizeFromSliders(200, 150).height, 220);
    EXPECT_EQ(TileSizeFromSliders(300, 200).height, 1500);
    EXPECT_EQ(TileSizeFromSliders(30, 0).height, 1); // 0.3 truncates to 0, held at 1
    EXPECT_EQ(TileSizeFromSliders(0, 100).width, 1);
    EXPECT_EQ(TileSizeFromSliders(77, 50).height, 69); // 77 * 0.9 = 69.3
}

TEST(TileSliders, AutoTextureMakerWindow) {
    EXPECT_DOUBLE_EQ(TextureYRatio(50), 1.0);
    EXPECT_DOUBLE_EQ(TextureYRatio(0), 1.0 / 6);
    EXPECT_DOUBLE_EQ(TextureYRatio(100), 6.0);
    EXPECT_DOUBLE_EQ(TextureYRatio(40), 0.5);
    EXPECT_DOUBLE_EQ(TextureYRatio(60), 2.0);
    TextureWindow w = TextureWindowFor(100, 60, false);
    EXPECT_EQ(w.width, 100);
    EXPECT_EQ(w.height, 200);
    w = TextureWindowFor(100, 50, true);
    EXPECT_EQ(w.width, 200);
    EXPECT_EQ(w.height, 200);
    w = TextureWindowFor(1, 0, false); // 2 wide, 2/6 high: both held at 2
    EXPECT_EQ(w.width, 2);
    EXPECT_EQ(w.height, 2);
    w = TextureWindowFor(50, 45, false); // 50 / 1.5 = 33.3
    EXPECT_EQ(w.height, 33);
}
