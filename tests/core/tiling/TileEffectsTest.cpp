#include "core/tiling/TileEffects.h"
#include "TilingTestPictures.h"
#include "core/tiling/AutoTexture.h"
#include "core/tiling/TileSurroundings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;
using test::GrayAt;
using test::MakeGray;

namespace {

// 6 x 4, every pixel its own value: 10 * column + 60 * buffer row + 7.
void MakeNumbered(CDIBSection2& pic, int w, int h) {
    std::vector<std::vector<int>> rows(std::size_t(h), std::vector<int>(std::size_t(w), 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[std::size_t(y)][std::size_t(x)] = (10 * x + 60 * y + 7) % 256;
    MakeGray(pic, rows);
}

} // namespace

TEST(TileEffects, ResultSizesPerMode) {
    CDIBSection2 source, tile;
    test::MakePatternPicture(source, 300, 300);
    const struct {
        int mode, w, h, expectW, expectH;
    } cases[] = {
        {kTileEffectNone, 200, 150, 200, 150},      {kTileEffectMandalay, 200, 150, 200, 150},
        {kTileEffectSunflower, 200, 150, 200, 200}, {kTileEffectWash, 200, 200, 100, 100},
        {kTileEffectWash, 201, 7, 100, 3},          {kTileEffectWash, 1, 1, 1, 1},
        {kTileEffectSunflower, 1, 9, 2, 2},
    };
    for (const auto& c : cases) {
        ComputeTile(source, {50, 250, c.w, c.h}, c.mode, tile);
        EXPECT_EQ(tile.GetWidth(), c.expectW) << "mode " << c.mode;
        EXPECT_EQ(tile.GetHeight(), c.expectH) << "mode " << c.mode;
        const TileSize size = ResultTileSize(c.mode, c.w, c.h);
        EXPECT_EQ(size.width, c.expectW);
        EXPECT_EQ(size.height, c.expectH);
    }
}

TEST(TileEffects, PlainCopyIsTheFramedArea) {
    CDIBSection2 source, tile;
    test::MakePatternPicture(source, 40, 30);
    // Frame: columns 5..16, buffer rows 20 - 8 .. 19.
    ComputeTile(source, {5, 20, 12, 8}, kTileEffectNone, tile);
    ASSERT_EQ(tile.GetWidth(), 12);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(0, std::memcmp(tile.PixelAt(x, y), source.PixelAt(5 + x, 12 + y), 4));
}

// Worked by hand: a 4 x 4 window, so each half is 2 wide and the weights are 0, 127.
TEST(TileEffects, WashOfASmallWindowWorkedByHand) {
    CDIBSection2 source, tile;
    MakeGray(source, {{10, 200, 30, 90}, {250, 0, 120, 60}, {40, 180, 220, 5}, {100, 70, 15, 255}});
    // left - W/4 = 0 and top - H/2 = 0: the window is the whole picture.
    ComputeTile(source, {1, 2, 4, 4}, kTileEffectWash, tile);
    ASSERT_EQ(tile.GetWidth(), 2);
    ASSERT_EQ(tile.GetHeight(), 2);
    // Rows across: (30*255)>>8 = 29, (90*128 + 200*127)>>8 = 144; ... then rows:
    // (219*255)>>8 = 218, (91*255)>>8 = 90, (14*128 + 119*127)>>8 = 66, (162*128 + 30*127)>>8 = 95.
    EXPECT_EQ(GrayAt(tile, 0, 0), 218);
    EXPECT_EQ(GrayAt(tile, 1, 0), 90);
    EXPECT_EQ(GrayAt(tile, 0, 1), 66);
    EXPECT_EQ(GrayAt(tile, 1, 1), 95);
    EXPECT_EQ(tile.PixelAt(0, 0)[3], 255); // the fourth byte travels with the pixel
}

TEST(TileEffects, WashColumnZeroComesFromOneSourceColumnAlone) {
    const int left = 40, top = 230, side = 200; // W/4 = 50: column 90
    CDIBSection2 a, b, tileA, tileB;
    test::MakePatternPicture(a, 300, 300, 11);
    test::MakePatternPicture(b, 300, 300, 12);
    // b keeps only column left + W/4 of a: the tile's first column must not notice.
    for (int y = 0; y < 300; ++y)
        std::memcpy(b.PixelAt(left + side / 4, y), a.PixelAt(left + side / 4, y), 4);
    ComputeTile(a, {left, top, side, side}, kTileEffectWash, tileA);
    ComputeTile(b, {left, top, side, side}, kTileEffectWash, tileB);
    ASSERT_EQ(tileA.GetWidth(), 100);
    for (int y = 0; y < 100; ++y)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(tileA.PixelAt(0, y)[c], tileB.PixelAt(0, y)[c]) << y;
    int differing = 0;
    for (int y = 0; y < 100; ++y) differing += tileA.PixelAt(1, y)[0] != tileB.PixelAt(1, y)[0];
    EXPECT_GT(differing, 50);

    // A column of constant value s: weight 0 in both passes gives ((255 * ((255 * s) >> 8)) >> 8).
    CDIBSection2 flat;
    std::vector<std::vector<int>> rows(300, std::vector<int>(300, 17));
    for (auto& row : rows) row[std::size_t(left + side / 4)] = 200;
    MakeGray(flat, rows);
    ComputeTile(flat, {left, top, side, side}, kTileEffectWash, tileA);
    for (int y = 0; y < 100; ++y) ASSERT_EQ(GrayAt(tileA, 0, y), 198); // 200 -> 199 -> 198
}

TEST(TileEffects, WashRowZeroComesFromBufferRowTopAlone) {
    const int left = 60, top = 150, side = 120;
    CDIBSection2 a, b, tileA, tileB;
    test::MakePatternPicture(a, 300, 300, 21);
    test::MakePatternPicture(b, 300, 300, 22);
    std::memcpy(b.PixelAt(0, top), a.PixelAt(0, top), 300 * 4);
    ComputeTile(a, {left, top, side, side}, kTileEffectWash, tileA);
    ComputeTile(b, {left, top, side, side}, kTileEffectWash, tileB);
    for (int x = 0; x < 60; ++x)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(tileA.PixelAt(x, 0)[c], tileB.PixelAt(x, 0)[c]) << x;

    CDIBSection2 flat;
    std::vector<std::vector<int>> rows(300, std::vector<int>(300, 90));
    rows[top] = std::vector<int>(300, 255);
    MakeGray(flat, rows);
    ComputeTile(flat, {left, top, side, side}, kTileEffectWash, tileA);
    for (int x = 0; x < 60; ++x) ASSERT_EQ(GrayAt(tileA, x, 0), 253); // 255 -> 254 -> 253
}

TEST(TileEffects, WashLastColumnAndRowAreAlmostTheNeighboursOfTheFirst) {
    // Columns numbered by value: the tile's last column is nearly column left + W/4 - 1.
    CDIBSection2 source, tile;
    std::vector<std::vector<int>> rows(100, std::vector<int>(100));
    for (auto& row : rows)
        for (int x = 0; x < 100; ++x) row[std::size_t(x)] = 2 * x + 20;
    MakeGray(source, rows);
    ComputeTile(source, {20, 80, 40, 40}, kTileEffectWash, tile); // window columns 10..49
    ASSERT_EQ(tile.GetWidth(), 20);
    // Column 19: a = trunc(19 * 12.75) = 242: (118 * 13 + 78 * 242) >> 8 = 79; all rows are
    // alike, so the rows' pass gives (79 * 255) >> 8 whatever its weight.
    EXPECT_EQ(GrayAt(tile, 19, 0), (79 * 255) >> 8);
    EXPECT_EQ(GrayAt(tile, 0, 0), (((2 * 30 + 20) * 255 >> 8) * 255) >> 8);
}

// Hand-made from the order of the copies: columns 0 1 2 4 4 1, rows 0 1 3 1.
TEST(TileEffects, MandalayMirrorsInTheStatedOrder) {
    CDIBSection2 source, tile;
    MakeNumbered(source, 6, 4);
    ComputeTile(source, {0, 4, 6, 4}, kTileEffectMandalay, tile);
    const int columns[] = {0, 1, 2, 4, 4, 1}, rows[] = {0, 1, 3, 1};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(GrayAt(tile, x, y), GrayAt(source, columns[x], rows[y])) << x << "," << y;
}

TEST(TileEffects, MandalayOfNarrowTilesStaysInsideTheTile) {
    CDIBSection2 source, tile, copy;
    MakeNumbered(source, 6, 6);
    for (int w = 1; w <= 2; ++w) {
        ComputeTile(source, {1, 5, w, 3}, kTileEffectMandalay, tile);
        ComputeTile(source, {1, 5, w, 3}, kTileEffectNone, copy);
        // Columns: nothing to mirror. Rows: 1 <- 2, then 2 <- 1 (already row 2).
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) {
                const int from[] = {0, 2, 2};
                EXPECT_EQ(GrayAt(tile, x, y), GrayAt(copy, x, from[y]))
                    << w << ": " << x << "," << y;
            }
    }
}

// M = 4, q = 3: the 3 x 3 quadrant Q fills rows and columns 0..2; the clamped last
// row and column end with the quadrant's row 0 and column 0.
TEST(TileEffects, SunflowerFoldsAQuadrantIntoASquare) {
    CDIBSection2 source, tile;
    MakeNumbered(source, 8, 8);
    const int left = 2, top = 7;
    ComputeTile(source, {left, top, 4, 9}, kTileEffectSunflower, tile);
    ASSERT_EQ(tile.GetWidth(), 4);
    ASSERT_EQ(tile.GetHeight(), 4);
    // Q(r, c) reads (left + min(r, c), top - 4 + max(r, c)).
    auto q = [&](int r, int c) {
        return GrayAt(source, left + std::min(r, c), top - 4 + std::max(r, c));
    };
    const int map[] = {0, 1, 2, 0};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(GrayAt(tile, c, r), q(map[r], map[c])) << r << "," << c;
    // The fold: below the diagonal mirrors above it.
    EXPECT_EQ(GrayAt(tile, 0, 1), GrayAt(tile, 1, 0));
    EXPECT_EQ(GrayAt(tile, 1, 0), GrayAt(source, left, top - 3));
}

TEST(TileEffects, FramesOutsideThePictureRepeatItsEdges) {
    CDIBSection2 source, padded, tile, expected;
    test::MakePatternPicture(source, 30, 20, 5);
    const int margin = 100;
    test::PadWithEdges(source, margin, padded);
    const TileFrame frames[] = {
        {-7, 10, 16, 12}, {20, 27, 16, 12}, {-40, -5, 24, 24}, {25, 90, 30, 50}};
    for (int mode = 0; mode < kTileEffectCount; ++mode)
        for (const TileFrame& f : frames) {
            ComputeTile(source, f, mode, tile);
            ComputeTile(padded, {f.left + margin, f.top + margin, f.width, f.height}, mode,
                        expected);
            EXPECT_TRUE(test::SamePixels(tile, expected)) << "mode " << mode << " left " << f.left;
        }
}

TEST(TileEffects, SelectionIsClampedToTheSource) {
    // Frame columns -5..194, buffer rows 70..269 over a 150 x 100 source.
    const TileSelection s = ClampedSelection({-5, 270, 200, 200}, 150, 100);
    EXPECT_EQ(s, (TileSelection{0, 70, 149, 99}));
    const TileSelection inside = ClampedSelection({10, 90, 20, 30}, 150, 100);
    EXPECT_EQ(inside, (TileSelection{10, 60, 30, 90}));
}

TEST(TileEffects, EmptySourceGivesNoTile) {
    CDIBSection2 empty, tile;
    empty.MakeEmpty();
    for (int mode = 0; mode < kTileEffectCount; ++mode) {
        ComputeTile(empty, {0, 10, 10, 10}, mode, tile);
        EXPECT_TRUE(tile.IsEmpty());
    }
}

// The maker's window is centred where the wash's reaches a quarter left of the frame
// and half below its top: the same cross-fade with the window moved.
TEST(AutoTexture, IsTheWashOfACentredWindow) {
    CDIBSection2 image, texture, wash;
    test::MakePatternPicture(image, 300, 200, 8);
    const TextureWindow window = TextureWindowFor(100, 60, false); // 100 x 200
    MakeAutoTexture(image, 140, 90, window, texture);
    ASSERT_EQ(texture.GetWidth(), 50);
    ASSERT_EQ(texture.GetHeight(), 100);
    // Wash window: columns from left - 25, rows from top - 100; centred: from 90, -10.
    ComputeTile(image, {140 - 50 + 25, 90, 100, 200}, kTileEffectWash, wash);
    EXPECT_TRUE(test::SamePixels(texture, wash));
    // The point wraps into the image.
    MakeAutoTexture(image, 140 + 300, 90 - 200, window, wash);
    EXPECT_TRUE(test::SamePixels(texture, wash));
}
