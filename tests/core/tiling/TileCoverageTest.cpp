// The frame stays on the photograph: held tile sizes, held placements, and the turned
// picture's corners, which the rotation leaves black.
#include "core/tiling/TileCoverage.h"
#include "TilingTestPictures.h"
#include "core/tiling/SeamMeasure.h"
#include "core/tiling/TileSource.h"
#include "core/tiling/TileWizardModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;

namespace {

void White(CDIBSection2& pic, int w, int h) {
    pic.Create(w, h, 32, true);
    pic.FillOpaque(MakeColorRef(255, 255, 255));
}

// Nothing of the black a turn leaves: every pixel is white (the wash's blends, which
// divide by 256, take white down to 253).
bool AllWhite(const CDIBSection2& tile) {
    for (int y = 0; y < tile.GetHeight(); ++y)
        for (int x = 0; x < tile.GetWidth(); ++x)
            for (int c = 0; c < 3; ++c)
                if (tile.PixelAt(x, y)[c] < 253) return false;
    return true;
}

} // namespace

// What counts as covered after a turn is white in a turned white picture, and it is
// nearly all of the picture: only a thin rim is given up.
TEST(CoveredArea, TurnedPictureIsCoveredInsideItsCornersOnly) {
    for (double degrees : {3.0, -7.5, -12.0, 30.0, 45.0, 95.0, 200.0, 317.0}) {
        CDIBSection2 turned;
        White(turned, 300, 200);
        ASSERT_TRUE(RotateSource(turned, degrees));
        const CCoveredArea covered = CCoveredArea::Turned(300, 200, degrees);
        int inside = 0;
        for (int y = 0; y < turned.GetHeight(); ++y) {
            for (int x = 0; x < turned.GetWidth(); ++x) {
                if (!covered.Contains({x, y, x + 1, y + 1})) continue;
                ++inside;
                ASSERT_EQ(turned.PixelAt(x, y)[0], 255) << degrees << " at " << x << "," << y;
            }
        }
        EXPECT_GT(inside, (300 - 8) * (200 - 8)) << degrees;
    }
}

TEST(CoveredArea, HoldMovesTheLeastAndRefusesWhatCannotFit) {
    const CCoveredArea whole = CCoveredArea::Whole(300, 200);
    SourceArea a{-40, 150, 60, 250}; // off the left and the top
    ASSERT_TRUE(whole.Hold(a));
    EXPECT_EQ(a, (SourceArea{0, 100, 100, 200}));
    a = {10, 10, 60, 60};
    ASSERT_TRUE(whole.Hold(a));
    EXPECT_EQ(a, (SourceArea{10, 10, 60, 60})); // inside: left alone
    a = {0, 0, 301, 10};
    EXPECT_FALSE(whole.Hold(a));
    EXPECT_FALSE(CCoveredArea{}.Fits(1, 1));
}

// A tile larger than the source is held to it, by what the mode reads around the frame.
TEST(CoveredArea, LargestFrameByMode) {
    const CCoveredArea whole = CCoveredArea::Whole(300, 200);
    const struct {
        int mode, askedW, askedH, w, h;
    } cases[] = {
        {kTileEffectNone, 100, 100, 100, 100},     {kTileEffectNone, 500, 500, 300, 200},
        {kTileEffectMandalay, 500, 150, 300, 150}, {kTileEffectSunflower, 500, 100, 200, 100},
        {kTileEffectWash, 500, 500, 240, 133},
    };
    for (const auto& c : cases) {
        const TileSize s = LargestFrameInside(whole, c.mode, c.askedW, c.askedH);
        EXPECT_EQ(s.width, c.w) << c.mode << " " << c.askedW << "x" << c.askedH;
        EXPECT_EQ(s.height, c.h) << c.mode << " " << c.askedW << "x" << c.askedH;
        EXPECT_TRUE(whole.Fits(TileFootprint(c.mode, {0, 0, s.width, s.height}).Width(),
                               TileFootprint(c.mode, {0, 0, s.width, s.height}).Height()));
    }
}

// Whatever the user does, the tile is made of photograph only: large tiles, the picture
// dragged far off, a pitch correction, each mode.
TEST(CoveredArea, WizardTilesHoldOnlyPhotograph) {
    CDIBSection2 photo;
    White(photo, 300, 200);
    const struct {
        double pitch;
        int tileW, tileH;
    } setups[] = {{0, 500, 500}, {0, 200, 120}, {30, 200, 200}, {-12, 260, 150}, {95, 150, 150}};
    const int drags[][2] = {{0, 0}, {1000, 0}, {-1000, 0}, {0, 1000}, {0, -1000}, {700, -700}};
    for (const auto& s : setups) {
        for (int mode = 0; mode < kTileEffectCount; ++mode) {
            CTileWizardModel m(photo, 440, 330);
            m.SetTileWidth(s.tileW);
            m.SetTileHeight(s.tileH);
            m.SetEffectMode(mode);
            m.EnterStep2();
            if (s.pitch != 0) {
                ASSERT_TRUE(m.ApplyPitch(s.pitch));
            }
            for (const auto& d : drags) {
                m.Drag(d[0], d[1]);
                EXPECT_TRUE(m.Covered().Contains(TileFootprint(mode, m.Frame())));
                EXPECT_TRUE(AllWhite(m.ResultTile()))
                    << "pitch " << s.pitch << " mode " << mode << " drag " << d[0] << "," << d[1];
            }
        }
    }
}

// A finished tile opened again is framed whole, and "Finish" gives it back unchanged;
// a photograph, or a tile larger than the wizard makes, starts with the usual frame.
TEST(CoveredArea, FinishedTileIsFramedWhole) {
    CDIBSection2 photo, tile, flat;
    test::MakePhotoLike(photo, 600, 500);
    ComputeTile(photo, {150, 400, 300, 240}, kTileEffectWash, tile); // wraps: 150 x 120
    {
        CTileWizardModel m(tile, 440, 330);
        ASSERT_TRUE(m.FrameFinishedTile());
        m.Finish();
        TileWizardOutcome out;
        m.TakeOutcome(out);
        EXPECT_TRUE(test::SamePixels(out.image, tile));
    }
    CDIBSection2 crop;
    ComputeTile(photo, {150, 400, 300, 240}, kTileEffectNone, crop); // seams show
    CTileWizardModel cropped(crop, 440, 330);
    EXPECT_FALSE(cropped.FrameFinishedTile());
    EXPECT_EQ(cropped.TileWidth(), CTileWizardModel::kStartTileSide);
    for (int w : {CTileWizardModel::kMaxTileSide, CTileWizardModel::kMaxTileSide + 1}) {
        flat.Create(w, 2, 32, true);
        flat.FillOpaque(MakeColorRef(90, 120, 30)); // a flat picture wraps perfectly
        CTileWizardModel m(flat, 440, 330);
        EXPECT_EQ(m.FrameFinishedTile(), w <= CTileWizardModel::kMaxTileSide) << w;
    }
}
