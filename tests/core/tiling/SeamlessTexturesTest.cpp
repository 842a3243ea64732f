#include "core/tiling/SeamlessTextures.h"
#include "core/paint/TextureSources.h"
#include "core/tiling/AutoTexture.h"
#include "core/tiling/SeamMeasure.h"
#include "core/tiling/TileSliders.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;

namespace {
// A seam shows when the step across the wrap is above the steps between neighbours
// inside the picture.
// A stated tolerance allows for a fade whose weights stop short of the whole.
void ExpectSeamless(const CDIBSection2& picture, const char* what, double tolerance = 1.0) {
    const SeamMeasure m = MeasureSeams(picture);
    EXPECT_LE(m.seamColumns, m.insideColumnsMax * tolerance) << what;
    EXPECT_LE(m.seamRows, m.insideRowsMax * tolerance) << what;
}
} // namespace

TEST(SeamlessTextures, EveryShippedTextureTilesAndIsReadBack) {
    test::TempFolder folder;
    ASSERT_TRUE(WriteSeamlessTextures(folder.Path(), 64));
    const std::vector<std::string> names = TextureListNames(folder.Path());
    ASSERT_EQ(names.size(), SeamlessTextureKinds().size() + 2);
    for (const CSeamlessTextureKind& k : SeamlessTextureKinds()) {
        CDIBSection2 made, read;
        MakeSeamlessTexture(k.kind, 64, 1, made);
        ASSERT_EQ(made.GetWidth(), 64);
        ExpectSeamless(made, k.fileName);
        ASSERT_TRUE(ReadTexturePicture(folder.File(k.fileName), read)) << k.fileName;
        EXPECT_EQ(read.GetWidth(), 64);
    }
    // The same seed draws the same picture; another seed another one.
    CDIBSection2 a, b, c;
    MakeSeamlessTexture(2, 64, 5, a);
    MakeSeamlessTexture(2, 64, 5, b);
    MakeSeamlessTexture(2, 64, 6, c);
    EXPECT_TRUE(test::SamePixels(a, b));
    EXPECT_FALSE(test::SamePixels(a, c));
}

TEST(SeamlessTextures, AutoTextureFromAPhotographTiles) {
    // A photograph-like picture that does not tile: a ramp with noise on it.
    CDIBSection2 photo;
    test::MakePatternPicture(photo, 300, 240, 3);
    for (int row = 0; row < 240; ++row)
        for (int x = 0; x < 300; ++x) {
            std::uint8_t* px = photo.GetRow(row) + x * 4;
            px[0] = std::uint8_t(x * 255 / 300 / 2 + px[0] / 4);
            px[1] = std::uint8_t(row * 255 / 240 / 2 + px[1] / 4);
            px[2] = std::uint8_t((x + row) / 3 + px[2] / 8);
        }
    EXPECT_GT(MeasureSeams(photo).seamColumns, MeasureSeams(photo).insideColumnsMax);
    // The fade's weights stop at 254/256 and darken the last column and row a little:
    // the seam may lie up to a tenth above the largest inside step, far below the
    // photograph's own.
    for (const int size : {kTexturePickSize, 40, 160, 250}) {
        CDIBSection2 texture;
        MakeAutoTexture(photo, 150, 120, TextureWindowFor(size, kTextureYRatioSquare, false),
                        texture);
        ASSERT_EQ(texture.GetWidth(), size / 2);
        ExpectSeamless(texture, "auto texture", 1.1);
    }
}
