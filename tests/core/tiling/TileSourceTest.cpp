#include "core/tiling/TileSource.h"
#include "TilingTestPictures.h"
#include "core/filters/RightAngle.h"
#include "core/tiling/SeamMeasure.h"
#include "core/tiling/TileSurroundings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

TEST(TileSource, PitchAnglesComeIntoOneTurn) {
    EXPECT_DOUBLE_EQ(NormalizePitchAngle(-90), 270);
    EXPECT_DOUBLE_EQ(NormalizePitchAngle(450), 90);
    EXPECT_DOUBLE_EQ(NormalizePitchAngle(360), 0);
    EXPECT_DOUBLE_EQ(NormalizePitchAngle(-720), 0);
    EXPECT_DOUBLE_EQ(NormalizePitchAngle(12.5), 12.5);
    EXPECT_GE(NormalizePitchAngle(-1e-300), 0);
    EXPECT_LT(NormalizePitchAngle(-1e-300), 360);
}

TEST(TileSource, RotationByMinus90Is270AndTurnsCounterClockwise) {
    CDIBSection2 picture, a, b, turned;
    test::MakePatternPicture(picture, 13, 7, 4);
    a.Copy(&picture);
    b.Copy(&picture);
    ASSERT_TRUE(RotateSource(a, -90));
    ASSERT_TRUE(RotateSource(b, 270));
    EXPECT_TRUE(test::SamePixels(a, b));
    turned.Copy(&picture);
    RotatePictureRightAngle(turned, kRotate90CCW);
    EXPECT_EQ(a.GetWidth(), 7);
    EXPECT_EQ(a.GetHeight(), 13);
    EXPECT_TRUE(test::SamePixels(a, turned));
    // 450 is a quarter turn clockwise.
    a.Copy(&picture);
    ASSERT_TRUE(RotateSource(a, 450));
    turned.Copy(&picture);
    RotatePictureRightAngle(turned, kRotate90CW);
    EXPECT_TRUE(test::SamePixels(a, turned));
}

TEST(TileSource, SmallAngleGrowsThePictureWithBlackCorners) {
    CDIBSection2 picture;
    std::vector<std::vector<int>> rows(40, std::vector<int>(60, 200));
    test::MakeGray(picture, rows);
    ASSERT_TRUE(RotateSource(picture, 10));
    EXPECT_GT(picture.GetWidth(), 60);
    EXPECT_GT(picture.GetHeight(), 40);
    EXPECT_EQ(test::GrayAt(picture, 0, 0), 0);
    EXPECT_EQ(test::GrayAt(picture, picture.GetWidth() / 2, picture.GetHeight() / 2), 200);
}

TEST(TileSource, ResampleRaisesSmallSizesAndDropsTheOwnSize) {
    CDIBSection2 picture, source;
    test::MakePatternPicture(picture, 50, 40);
    EXPECT_TRUE(ResampleSource(picture, 25, 4, source));
    EXPECT_EQ(source.GetWidth(), 25);
    EXPECT_EQ(source.GetHeight(), 10);
    EXPECT_FALSE(ResampleSource(picture, 50, 40, source));
    EXPECT_TRUE(source.IsEmpty());
    // A flat picture stays flat whatever the size (the resizer rounds its single-
    // precision sums down in each of its two passes, so 77 may lose up to two levels).
    std::vector<std::vector<int>> rows(40, std::vector<int>(50, 77));
    test::MakeGray(picture, rows);
    ASSERT_TRUE(ResampleSource(picture, 17, 93, source));
    for (int y = 0; y < 93; ++y)
        for (int x = 0; x < 17; ++x) ASSERT_NEAR(test::GrayAt(source, x, y), 77, 2);
}

TEST(TileSurroundings, CutAroundATileInsideThePicture) {
    CDIBSection2 source;
    test::MakePatternPicture(source, 1000, 800);
    Surroundings s;
    CutSurroundings(source, {400, 300, 600, 500}, 200, 200, s);
    EXPECT_EQ(s.image.GetWidth(), 600);
    EXPECT_EQ(s.image.GetHeight(), 600);
    EXPECT_EQ(s.offsetX, 200);
    EXPECT_EQ(s.offsetY, 200);
    EXPECT_EQ(0, std::memcmp(s.image.PixelAt(0, 0), source.PixelAt(200, 100), 4));
    EXPECT_EQ(0, std::memcmp(s.image.PixelAt(599, 599), source.PixelAt(799, 699), 4));
}

TEST(TileSurroundings, ClippingMovesTheOffset) {
    CDIBSection2 source;
    test::MakePatternPicture(source, 300, 250);
    Surroundings s;
    // Columns 50-100 .. 50+200 -> 0..249, rows 20-100 .. 20+200 -> 0..219.
    CutSurroundings(source, {50, 20, 150, 120}, 100, 100, s);
    EXPECT_EQ(s.image.GetWidth(), 250);
    EXPECT_EQ(s.image.GetHeight(), 220);
    EXPECT_EQ(s.offsetX, 50);
    EXPECT_EQ(s.offsetY, 20);
    // Clipped on the far side: the width ends at the picture.
    CutSurroundings(source, {250, 200, 299, 249}, 100, 100, s);
    EXPECT_EQ(s.image.GetWidth(), 150);  // 150..299
    EXPECT_EQ(s.image.GetHeight(), 150); // 100..249
    EXPECT_EQ(s.offsetX, 100);
    // Nothing left of the picture: empty, no offset.
    CutSurroundings(source, {5000, 20, 5100, 120}, 100, 100, s);
    EXPECT_TRUE(s.image.IsEmpty());
    EXPECT_EQ(s.offsetX, 0);
}

TEST(SeamMeasure, WorkedByHand) {
    CDIBSection2 tile;
    // Rows (bottom first): 10 20 40 / 16 20 46.
    test::MakeGray(tile, {{10, 20, 40}, {16, 20, 46}});
    const SeamMeasure m = MeasureSeams(tile);
    EXPECT_DOUBLE_EQ(m.seamColumns, (30 + 30) / 2.0);
    EXPECT_DOUBLE_EQ(m.insideColumns, (10 + 20 + 4 + 26) / 4.0);
    EXPECT_DOUBLE_EQ(m.seamRows, (6 + 0 + 6) / 3.0);
    EXPECT_DOUBLE_EQ(m.insideRows, (6 + 0 + 6) / 3.0);
}
