#include "core/tiling/TileWizardModel.h"
#include "TilingTestPictures.h"
#include "core/tiling/SeamMeasure.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

namespace {

struct Wizard : ::testing::Test {
    CDIBSection2 picture;
    void SetUp() override { test::MakePatternPicture(picture, 500, 400, 9); }
};

} // namespace

TEST_F(Wizard, StartsCentredWithA200Tile) {
    CTileWizardModel m(picture, 400, 300);
    EXPECT_EQ(m.Step(), 1);
    EXPECT_EQ(m.EffectMode(), kTileEffectNone);
    EXPECT_FALSE(m.HasWorkingSource());
    EXPECT_EQ(m.PictureX(), -50);
    EXPECT_EQ(m.PictureY(), -50);
    EXPECT_EQ(m.FrameX(), 100);
    EXPECT_EQ(m.FrameY(), 50);
    // Centred frame over 500 x 400: columns 150..349, picture rows 100..299, which
    // are buffer rows 100..299 as well.
    const TileFrame f = m.Frame();
    EXPECT_EQ(f.left, 150);
    EXPECT_EQ(f.top, 300);
    m.Drag(10, -5); // the picture moves right and up: the frame sees further left and lower
    EXPECT_EQ(m.Frame().left, 140);
    EXPECT_EQ(m.Frame().top, 295);
    const TileWizardButtons b = m.Buttons();
    EXPECT_FALSE(b.apply || b.sharpen || b.resetResample || b.resetWhole);
}

TEST_F(Wizard, TypedSizesWaitForApply) {
    CTileWizardModel m(picture, 400, 300);
    EXPECT_FALSE(m.TypeSourceWidth(0));
    EXPECT_FALSE(m.TypeSourcePercent(0));
    EXPECT_FALSE(m.ResizePending());
    ASSERT_TRUE(m.TypeSourceWidth(250));
    EXPECT_DOUBLE_EQ(m.SourcePercent(), 50);
    EXPECT_TRUE(m.ResizePending());
    EXPECT_EQ(m.PendingWidth(), 250);
    EXPECT_EQ(m.PendingHeight(), 400); // the height field was not touched
    TileWizardButtons b = m.Buttons();
    EXPECT_TRUE(b.apply && b.resetWhole);
    EXPECT_FALSE(b.sharpen || b.resetResample);
    EXPECT_EQ(m.SharpenTarget(), nullptr);

    ASSERT_TRUE(m.TypeSourcePercent(66.6)); // 333, trunc(0.8 * 333) = 266
    EXPECT_EQ(m.SourceWidth(), 333);
    EXPECT_EQ(m.SourceHeight(), 266);
    m.Apply();
    EXPECT_FALSE(m.ResizePending());
    EXPECT_EQ(m.WorkingSource().GetWidth(), 333);
    EXPECT_EQ(m.WorkingSource().GetHeight(), 266);
    EXPECT_EQ(m.PictureX(), (400 - 333) / 2);
    EXPECT_EQ(m.PictureY(), (300 - 266) / 2);
    b = m.Buttons();
    EXPECT_FALSE(b.apply);
    EXPECT_TRUE(b.sharpen && b.resetResample && b.resetWhole);
    ASSERT_NE(m.SharpenTarget(), nullptr);

    // The first Reset throws a sharpening away, the second returns to the picture.
    m.SharpenTarget()->FillOpaque(0);
    m.ResetResample();
    EXPECT_EQ(m.WorkingSource().GetWidth(), 333);
    EXPECT_NE(m.WorkingSource().PixelAt(5, 5)[0] | m.WorkingSource().PixelAt(6, 5)[0], 0);
    ASSERT_TRUE(m.TypeSourceHeight(100));
    EXPECT_DOUBLE_EQ(m.SourcePercent(), 25);
    m.ResetWhole();
    EXPECT_FALSE(m.HasWorkingSource());
    EXPECT_EQ(m.SourceWidth(), 500);
    EXPECT_EQ(m.SourceHeight(), 400);
    EXPECT_DOUBLE_EQ(m.SourcePercent(), 100);
    EXPECT_FALSE(m.ResizePending());
}

TEST_F(Wizard, TinySourcesAreRaisedToTen) {
    CTileWizardModel m(picture, 400, 300);
    ASSERT_TRUE(m.TypeSourcePercent(1)); // 5 x 4
    m.Apply();
    EXPECT_EQ(m.WorkingSource().GetWidth(), 10);
    EXPECT_EQ(m.WorkingSource().GetHeight(), 10);
    EXPECT_EQ(m.SourceWidth(), 10);
}

TEST_F(Wizard, FineTuningSlidersAndLabels) {
    CTileWizardModel m(picture, 400, 300);
    ASSERT_TRUE(m.SetTileHeight(150));
    EXPECT_FALSE(m.SetTileWidth(0));
    ASSERT_TRUE(m.TypeSourceWidth(450));
    m.EnterStep2(); // applies the waiting resize first
    EXPECT_EQ(m.Step(), 2);
    EXPECT_EQ(m.WorkingSource().GetWidth(), 450);
    EXPECT_EQ(m.Sliders().sizeMin, 100);
    EXPECT_EQ(m.Sliders().sizeMax, 400);
    EXPECT_EQ(m.Sliders().aspectPos, 28); // 150 / 200: -10 / (0.75 - 1.1) = 28.6
    EXPECT_EQ(m.ResultTile().GetWidth(), 200);
    EXPECT_EQ(m.ResultTile().GetHeight(), 150);
    m.SetEffectMode(kTileEffectSunflower);
    EXPECT_EQ(m.TileSizeText(), "Tile Size: 200 x 150");
    EXPECT_EQ(m.ActualTileSizeText(), "Actual Tile Size: 200 x 200");
    EXPECT_EQ(m.ResultTile().GetHeight(), 200);
    m.SetSliders(200, 100);
    m.SetEffectMode(kTileEffectWash);
    EXPECT_EQ(m.ActualTileSizeText(), "Actual Tile Size: 100 x 100");
    EXPECT_EQ(m.ResultTile().GetWidth(), 100);
    m.SetSliders(300, 200); // 300 x 1500 asked; the wash reads 1.5 heights of 400
    EXPECT_EQ(m.TileSizeText(), "Tile Size: 300 x 266");
    EXPECT_EQ(m.HeldText(), "Held to 300 x 266: on the photograph, at most 5000 a side");
    m.SetSliders(300, 0);
    EXPECT_EQ(m.TileSizeText(), "Tile Size: 300 x 3");
    EXPECT_EQ(m.HeldText(), "");
    m.BackToStep1();
    EXPECT_EQ(m.Step(), 1);
}

TEST_F(Wizard, PitchRotatesTheResampledPictureAfresh) {
    CTileWizardModel m(picture, 400, 300);
    m.EnterStep2();
    ASSERT_TRUE(m.ApplyPitch(90));
    EXPECT_EQ(m.WorkingSource().GetWidth(), 400);
    EXPECT_EQ(m.WorkingSource().GetHeight(), 500);
    EXPECT_EQ(m.SourceWidth(), 400);
    EXPECT_DOUBLE_EQ(m.SourcePercent(), 100);
    EXPECT_EQ(m.PictureX(), 0);
    EXPECT_EQ(m.PictureY(), -100);
    // A second angle starts again from the picture, not from the turned one.
    ASSERT_TRUE(m.ApplyPitch(-360));
    EXPECT_TRUE(test::SamePixels(m.WorkingSource(), picture));
    ASSERT_TRUE(m.ApplyPitch(-90));
    EXPECT_EQ(m.WorkingSource().GetWidth(), 400);
}

TEST_F(Wizard, FinishHandsOverTileSurroundingsAndOffset) {
    CTileWizardModel m(picture, 400, 300);
    m.Drag(30, 0); // frame columns 120..319
    m.Finish();
    TileWizardOutcome out;
    m.TakeOutcome(out);
    EXPECT_FALSE(out.useWholeImage);
    ASSERT_EQ(out.image.GetWidth(), 200);
    ASSERT_EQ(out.image.GetHeight(), 200);
    // Columns 120-200 .. 120+400 -> 0..499, rows 100-200 .. 100+400 -> 0..399.
    EXPECT_EQ(out.surroundings.image.GetWidth(), 500);
    EXPECT_EQ(out.surroundings.image.GetHeight(), 400);
    EXPECT_EQ(out.surroundings.offsetX, 120);
    EXPECT_EQ(out.surroundings.offsetY, 100);
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 200; x += 7)
            ASSERT_EQ(0, std::memcmp(out.image.PixelAt(x, y),
                                     out.surroundings.image.PixelAt(120 + x, 100 + y), 4));
}

TEST_F(Wizard, FinishAppliesAWaitingResize) {
    CTileWizardModel m(picture, 400, 300);
    ASSERT_TRUE(m.TypeSourcePercent(50));
    m.Finish();
    EXPECT_EQ(m.WorkingSource().GetWidth(), 250);
    TileWizardOutcome out;
    m.TakeOutcome(out);
    EXPECT_EQ(out.surroundings.image.GetWidth(), 250);
}

TEST_F(Wizard, WholeImageKeepsThePictureOrTheWorkingSource) {
    TileWizardOutcome out;
    {
        CTileWizardModel m(picture, 400, 300);
        m.UseWholeImage();
        m.TakeOutcome(out);
        EXPECT_TRUE(out.useWholeImage);
        EXPECT_TRUE(out.image.IsEmpty()); // the loaded picture stays
        EXPECT_TRUE(out.surroundings.image.IsEmpty());
    }
    CTileWizardModel m(picture, 400, 300);
    ASSERT_TRUE(m.TypeSourceWidth(100));
    m.UseWholeImage(); // the waiting resize is applied first
    m.TakeOutcome(out);
    EXPECT_EQ(out.image.GetWidth(), 100);
    EXPECT_EQ(out.image.GetHeight(), 400);
}

TEST(TileRepeat, CopiesAroundTheFrameAtMost20) {
    TileRepeatLayout l = RepeatLayout(400, 300, 100, 100);
    EXPECT_EQ(l.firstX, -50);
    EXPECT_EQ(l.across, 5);
    EXPECT_EQ(l.firstY, 0);
    EXPECT_EQ(l.down, 3);
    l = RepeatLayout(400, 300, 10, 10);
    EXPECT_EQ(l.across, 20);
    EXPECT_EQ(l.down, 20);
    EXPECT_EQ(l.firstX, 195 - 9 * 10);
    l = RepeatLayout(400, 300, 500, 350); // larger than the preview: one copy
    EXPECT_EQ(l.across, 1);
    EXPECT_EQ(l.firstX, -50);
    EXPECT_EQ(l.firstY, -25);
}

TEST(TileJob, CentredByDefaultOrPlacedAt) {
    CDIBSection2 picture;
    test::MakePatternPicture(picture, 301, 211, 2);
    TileWizardOutcome out;
    TileJob job;
    job.tileW = 40;
    job.tileH = 30;
    ASSERT_TRUE(RunTileJob(picture, job, out));
    // Left (301 - 40) / 2 = 130, top picture row (211 - 30) / 2 = 90: buffer rows 91..120.
    EXPECT_EQ(0, std::memcmp(out.image.PixelAt(0, 0), picture.PixelAt(130, 91), 4));
    EXPECT_EQ(out.surroundings.offsetX, 40);
    job.hasAt = true;
    job.atX = 3;
    job.atY = 0; // top picture row 0: buffer rows 181..210
    ASSERT_TRUE(RunTileJob(picture, job, out));
    EXPECT_EQ(0, std::memcmp(out.image.PixelAt(0, 29), picture.PixelAt(3, 210), 4));
    EXPECT_EQ(out.surroundings.offsetX, 3);
    EXPECT_EQ(out.surroundings.offsetY, 30);
    job.tileW = 0;
    EXPECT_FALSE(RunTileJob(picture, job, out));
}

// The point of the feature: a tile from a photograph wraps without a visible seam.
// The wrap of "H/V Wash" and "Mandalay" joins two neighbours of the photograph, so
// its step is one of the photograph's own; the blend inside the wash averages grain
// away, so the step is measured against the largest inside step, not the mean one.
TEST(SeamMeasure, WashAndMandalayHideTheSeamThatACopyShows) {
    CDIBSection2 photo, tile;
    test::MakePhotoLike(photo, 600, 500);
    for (const TileFrame& frame : {TileFrame{150, 400, 256, 256}, TileFrame{37, 300, 200, 160}}) {
        ComputeTile(photo, frame, kTileEffectNone, tile);
        const SeamMeasure copy = MeasureSeams(tile);
        EXPECT_GT(copy.seamColumns, 2 * copy.insideColumnsMax);
        EXPECT_GT(copy.seamRows, 2 * copy.insideRowsMax);
        for (int mode : {kTileEffectWash, kTileEffectMandalay}) {
            ComputeTile(photo, frame, mode, tile);
            const SeamMeasure m = MeasureSeams(tile);
            EXPECT_LE(m.seamColumns, m.insideColumnsMax) << "mode " << mode;
            EXPECT_LE(m.seamRows, m.insideRowsMax) << "mode " << mode;
            // And close to the photograph's ordinary step, far below the copy's seam.
            EXPECT_LT(m.seamColumns, 2 * copy.insideColumns) << "mode " << mode;
            EXPECT_LT(m.seamRows, 2 * copy.insideRows) << "mode " << mode;
        }
    }
}

// "Flatten Light" in the second step: the tile loses its light, and the photograph
// around it loses the same light where it lies, so that a clone from beyond the
// tile's edge lands in the tile's light.
TEST(TileWizardFlatten, TheTileAndItsSurroundingsLoseTheSameLight) {
    // Grain under light from the left, nothing else that is large.
    CDIBSection2 photo;
    photo.Create(600, 500, 32, true);
    std::mt19937 rng(2);
    std::normal_distribution<double> grain(128, 12);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 600; ++x) {
            std::uint8_t* p = photo.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp(grain(rng) * (0.5 + x / 1200.0), 0.0, 255.0));
            p[3] = 255;
        }
    TileJob job;
    job.tileW = 160;
    job.tileH = 120;
    TileWizardOutcome plain, flat;
    ASSERT_TRUE(RunTileJob(photo, job, plain));
    job.flattenLight = true;
    ASSERT_TRUE(RunTileJob(photo, job, flat));

    CDIBSection2 expected;
    expected.Copy(&plain.image);
    ASSERT_TRUE(FlattenLight(expected));
    EXPECT_TRUE(test::SamePixels(flat.image, expected));
    // The surroundings hold the unflattened tile at the offset; corrected, it is the
    // flattened tile.
    const Surroundings& s = flat.surroundings;
    ASSERT_EQ(s.image.GetWidth(), plain.surroundings.image.GetWidth());
    ASSERT_EQ(s.offsetX, plain.surroundings.offsetX);
    for (int y = 0; y < 120; ++y)
        ASSERT_EQ(std::memcmp(s.image.PixelAt(s.offsetX, s.offsetY + y), flat.image.PixelAt(0, y),
                              160 * 4),
                  0)
            << y;
    // Beyond the tile the light goes on rising as the slope says, and is taken out
    // there too: a band right of the tile is as bright as one inside it.
    auto bandMean = [](const CDIBSection2& pic, int x0) {
        double sum = 0;
        for (int y = 0; y < pic.GetHeight(); ++y)
            for (int x = x0; x < x0 + 20; ++x) sum += pic.PixelAt(x, y)[1];
        return sum / (20.0 * pic.GetHeight());
    };
    const int inside = s.offsetX + 10, beyond = s.offsetX + 160 + 30;
    const double plainStep =
        bandMean(plain.surroundings.image, beyond) - bandMean(plain.surroundings.image, inside);
    const double flatStep = bandMean(s.image, beyond) - bandMean(s.image, inside);
    EXPECT_GT(plainStep, 15);
    EXPECT_LT(std::abs(flatStep), 0.2 * plainStep);

    // The model redoes the tile when the box is ticked in the second step.
    CTileWizardModel model(photo, 400, 300);
    model.EnterStep2();
    CDIBSection2 before;
    before.Copy(&model.ResultTile());
    model.SetFlattenLight(true);
    EXPECT_TRUE(model.FlattenLightOn());
    EXPECT_FALSE(test::SamePixels(before, model.ResultTile()));
    model.SetFlattenLight(false);
    EXPECT_TRUE(test::SamePixels(before, model.ResultTile()));
}
