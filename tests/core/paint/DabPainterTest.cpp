#include "core/paint/DabPainter.h"
#include "PaintTestHelpers.h"
#include "core/paint/BlendModes.h"
#include "core/paint/Brush.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// One dab of a 1 x 1 opaque stamp of colour c over a 1 x 1 picture of colour u.
Bgr PaintOne(int mode, Bgr c, Bgr u, int alpha = 255, int opacity = 255) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 1, 1, u);
    read.Copy(&image);
    MakeSolid(stamp, 1, 1, c, alpha);
    CDabArgs args;
    args.stamp = &stamp;
    args.blendMode = mode;
    args.opacity = opacity;
    EXPECT_TRUE(PaintDab(image, read, args));
    return At(image, 0, 0);
}

int CountChanged(const CDIBSection2& a, const CDIBSection2& b) {
    int n = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) n += At(a, x, y) != At(b, x, y);
    return n;
}

} // namespace

TEST(BlendModes, EachModeOnChosenPixelPairs) {
    const Bgr c{200, 100, 50}, u{100, 150, 250};
    EXPECT_EQ(PaintOne(kBlendNormal, c, u), (Bgr{200, 100, 50}));
    EXPECT_EQ(PaintOne(kBlendMultiply, c, u), (Bgr{78, 58, 48}));
    EXPECT_EQ(PaintOne(kBlendDifference, c, u), (Bgr{100, 50, 200}));
    EXPECT_EQ(PaintOne(kBlendScreen, c, u), (Bgr{222, 192, 251}));
    EXPECT_EQ(PaintOne(kBlendOverlay, c, u), (Bgr{156, 128, 247}));
    EXPECT_EQ(PaintOne(kBlendDarken, c, u), (Bgr{100, 100, 50}));
    EXPECT_EQ(PaintOne(kBlendLighten, c, u), (Bgr{200, 150, 250}));
    EXPECT_EQ(PaintOne(kBlendHardLight, c, u), (Bgr{189, 117, 98}));
    EXPECT_EQ(PaintOne(kBlendSoftLight, c, u), (Bgr{156, 128, 247}));
    // Sums 350 against 500: "If Lighter" keeps the picture, "If Darker" paints.
    EXPECT_EQ(PaintOne(kBlendIfLighter, c, u), u);
    EXPECT_EQ(PaintOne(kBlendIfDarker, c, u), c);
}

TEST(BlendModes, IfLighterAndIfDarkerPaintOnEqualSums) {
    const Bgr c{10, 20, 30}, u{30, 20, 10};
    EXPECT_EQ(PaintOne(kBlendIfLighter, c, u), c);
    EXPECT_EQ(PaintOne(kBlendIfDarker, c, u), c);
}

TEST(BlendModes, SoftLightLeavesTheRangeAndIsClampedWhenWritten) {
    // 255 - 2 * 255 * 255 / 255 = -255 and 2 * 255 * 255 / 255 = 510.
    EXPECT_EQ(PaintOne(kBlendSoftLight, Bgr{0, 0, 0}, Bgr{0, 0, 0}), (Bgr{0, 0, 0}));
    EXPECT_EQ(PaintOne(kBlendSoftLight, Bgr{255, 255, 255}, Bgr{255, 255, 255}),
              (Bgr{255, 255, 255}));
    // Partial alpha: the sum is held within 0 ... 255 before truncation.
    EXPECT_EQ(PaintOne(kBlendSoftLight, Bgr{255, 255, 255}, Bgr{200, 200, 200}, 128),
              (Bgr{255, 255, 255}));
    EXPECT_EQ(PaintOne(kBlendSoftLight, Bgr{0, 0, 0}, Bgr{10, 10, 10}, 128), (Bgr{0, 0, 0}));
}

TEST(BlendModes, EdgeSmartPaintsLikeColoursAndSparesEdges) {
    // A grey picture with one pure blue pixel away from the dab's centre block.
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 5, 5, Bgr{100, 100, 100});
    Set(image, 0, 0, Bgr{255, 0, 0});
    read.Copy(&image);
    MakeSolid(stamp, 5, 5, Bgr{200, 100, 50});
    CDabArgs args;
    args.stamp = &stamp;
    args.blendMode = kBlendEdgeSmart;
    ASSERT_TRUE(PaintDab(image, read, args));
    // Like colour: K = 0, (255 * c) >> 8.
    EXPECT_EQ(At(image, 2, 2), (Bgr{199, 99, 49}));
    EXPECT_EQ(At(image, 4, 4), (Bgr{199, 99, 49}));
    // Chroma far off: K = 255, (255 * u) >> 8.
    EXPECT_EQ(At(image, 0, 0), (Bgr{254, 0, 0}));
}

TEST(BlendModes, EdgeSmartWeightSteps) {
    const CEdgeSmartColor m{100, 0, 0};
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100 + 119, 0, 0}, m), 0); // 119 / 4 = 29
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100, 0, 15}, m), 0);      // S = 30
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100, 0, 16}, m), 2 * 40); // S = 32
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100, 2, 15}, m), 4 * 40); // S = 34
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100 + 140, 0, 0}, m),
              255);                                                   // S = 35: 280, held at 255
    EXPECT_EQ(EdgeSmartWeight(CEdgeSmartColor{100 - 4, 0, 0}, m), 0); // |dY| / 4 = 1
}

TEST(DabComposite, OpacityAndPartialAlphaMixExactly) {
    // o = 128: (200 * 128 + 100 * 128) / 256 = 150.
    EXPECT_EQ(PaintOne(kBlendNormal, Bgr{200, 0, 255}, Bgr{100, 255, 0}, 255, 128),
              (Bgr{150, 127, 127}));
    // A = 64: (200 * 64 + 100 * 192) >> 8 = 125.
    EXPECT_EQ(PaintOne(kBlendNormal, Bgr{200, 0, 255}, Bgr{100, 255, 0}, 64), (Bgr{125, 191, 63}));
    // A = 0 writes nothing.
    EXPECT_EQ(PaintOne(kBlendNormal, Bgr{200, 0, 255}, Bgr{100, 255, 0}, 0), (Bgr{100, 255, 0}));
}

TEST(DabComposite, OpacityZeroChangesNothingInAnyMode) {
    CDIBSection2 image, before, stamp;
    MakePatternPicture(image, 16, 16, 3);
    MakePatternPicture(stamp, 9, 9, 4);
    for (int mode = 0; mode < kBlendModeCount; ++mode) {
        before.Copy(&image);
        CDIBSection2 read;
        read.Copy(&image);
        CDabArgs args;
        args.stamp = &stamp;
        args.left = 12, args.top = -3;
        args.opacity = 0;
        args.blendMode = mode;
        ASSERT_TRUE(PaintDab(image, read, args));
        EXPECT_TRUE(SamePixels(image, before)) << BlendModeLabel(mode);
    }
}

TEST(DabComposite, FourthByteOfTheDestinationIsKept) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 2, 2, Bgr{1, 2, 3}, 17);
    read.Copy(&image);
    MakeSolid(stamp, 2, 2, Bgr{9, 9, 9}, 255);
    CDabArgs args;
    args.stamp = &stamp;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(image.PixelAt(1, 1)[3], 17);
    EXPECT_EQ(At(image, 1, 1), (Bgr{9, 9, 9}));
}

TEST(DabWrap, DabOnTheCornerPaintsFourQuarters) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 10, 8, Bgr{255, 255, 255});
    read.Copy(&image);
    MakeSolid(stamp, 4, 4, Bgr{0, 0, 0});
    CDabArgs args;
    args.stamp = &stamp;
    args.left = -2, args.top = -2; // centred on pixel (0, 0)
    ASSERT_TRUE(PaintDab(image, read, args));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inX = x < 2 || x >= 8, inY = y < 2 || y >= 6;
            EXPECT_EQ(At(image, x, y)[0], inX && inY ? 0 : 255) << x << "," << y;
        }
}

TEST(DabWrap, StampWiderThanThePictureWrapsMoreThanOnce) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 3, 1, Bgr{255, 255, 255});
    read.Copy(&image);
    MakeSolid(stamp, 7, 1, Bgr{0, 0, 0}, 128);
    CDabArgs args;
    args.stamp = &stamp;
    ASSERT_TRUE(PaintDab(image, read, args));
    // Column 0 is covered three times: 255 -> 127 -> 63 -> 31; the others twice.
    EXPECT_EQ(At(image, 0, 0)[1], 31);
    EXPECT_EQ(At(image, 1, 0)[1], 63);
    EXPECT_EQ(At(image, 2, 0)[1], 63);
}

TEST(DabWrap, FarCoordinatesWrapLikeNearOnes) {
    CDIBSection2 a, b, read, stamp;
    MakePatternPicture(a, 13, 11, 5);
    b.Copy(&a);
    read.Copy(&a);
    MakePatternPicture(stamp, 6, 5, 6);
    CDabArgs args;
    args.stamp = &stamp;
    args.left = 10, args.top = 9;
    ASSERT_TRUE(PaintDab(a, read, args));
    args.left = 10 - 13 * 40, args.top = 9 + 11 * 70;
    ASSERT_TRUE(PaintDab(b, read, args));
    EXPECT_TRUE(SamePixels(a, b));
}

TEST(DabPressure, PressureModesAdjustTheAlpha) {
    EXPECT_EQ(PressureAlpha(100, 0, kPressureNone), 100);
    EXPECT_EQ(PressureAlpha(100, 0, kPressureSpeed), 100);
    EXPECT_EQ(PressureAlpha(100, 200, kPressureSize), 45);
    EXPECT_EQ(PressureAlpha(50, 200, kPressureSize), 0);
    EXPECT_EQ(PressureAlpha(100, 200, kPressureSpeedAndSize), 45);
    EXPECT_EQ(PressureAlpha(200, 0, kPressureOpacity), 0);
    EXPECT_NEAR(PressureAlpha(200, 255, kPressureOpacity), 200, 1);
    EXPECT_NEAR(PressureAlpha(200, 128, kPressureSpeedAndOpacity), 100, 1);
    // k = 255 - 55 * 55 / 255 = 244; (200 + 244 - 255) * 244 / 255 = 180.8...
    EXPECT_EQ(PressureAlpha(200, 200, kPressureSizeAndOpacity), 180);
    EXPECT_EQ(PressureAlpha(200, 200, kPressureAll), 180);
    EXPECT_EQ(PressureAlpha(10, 0, kPressureAll), 0);
}

TEST(DabPressure, PressureModeWithNoPressureMakesTheDabVanish) {
    CDIBSection2 image, before, read, stamp;
    MakeSolid(image, 8, 8, Bgr{255, 255, 255});
    before.Copy(&image);
    read.Copy(&image);
    MakePatternPicture(stamp, 6, 6, 9);
    stamp.PixelAt(2, 2)[3] = 255; // even full coverage drops to 0
    CDabArgs args;
    args.stamp = &stamp;
    args.pressureMode = kPressureSize;
    args.pressure = 0;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_TRUE(SamePixels(image, before));
}

TEST(DabSkips, MismatchedOrMissingPicturesAreSkipped) {
    CDIBSection2 image, read, stamp, before;
    MakeSolid(image, 8, 8, Bgr{1, 1, 1});
    before.Copy(&image);
    MakeSolid(read, 8, 7, Bgr{1, 1, 1});
    MakeSolid(stamp, 3, 3, Bgr{9, 9, 9});
    CDabArgs args;
    args.stamp = &stamp;
    EXPECT_FALSE(PaintDab(image, read, args));
    EXPECT_TRUE(SamePixels(image, before));
    CDIBSection2 empty;
    EXPECT_FALSE(PaintDab(empty, empty, args));
    args.stamp = nullptr;
    read.Copy(&image);
    EXPECT_FALSE(PaintDab(image, read, args));
}

TEST(DabSources, BackgroundKindPaintsTheBackgroundColour) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 4, 4, Bgr{0, 0, 0});
    read.Copy(&image);
    MakeSolid(stamp, 2, 2, Bgr{7, 7, 7});
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = kSourceBackground;
    args.backColor = MakeColorRef(10, 20, 30);
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 1, 1), (Bgr{30, 20, 10}));
    EXPECT_EQ(At(image, 2, 2), (Bgr{0, 0, 0}));
}

TEST(DabSources, TextureModesMixAtTheUnwrappedPositionPlusOffsets) {
    CDIBSection2 image, read, stamp, texture;
    MakeSolid(image, 8, 8, Bgr{0, 0, 0});
    read.Copy(&image);
    MakeSolid(stamp, 1, 1, Bgr{100, 100, 100});
    MakeSolid(texture, 4, 4, Bgr{0, 0, 0});
    Set(texture, 1, 3, Bgr{60, 90, 120}); // mean 90
    CDabArgs args;
    args.stamp = &stamp;
    args.source = &texture;
    args.textureStrength = 200;
    // x = -2 + 3 = 1 (mod 4), y = -1 + 4 = 3: the dab lands on (6, 7) of the picture.
    args.left = -2, args.top = -1, args.offsetX = 3, args.offsetY = 4;
    ASSERT_TRUE(PaintDab(image, read, args));
    // Mode 0: (T * 200 + c * 55) >> 8.
    EXPECT_EQ(At(image, 6, 7), (Bgr{(60 * 200 + 100 * 55) >> 8, (90 * 200 + 100 * 55) >> 8,
                                    (120 * 200 + 100 * 55) >> 8}));
    // Mode 1: k = 90 * 200 / 255 = 70; 255 - 155 * 185 / 255 = 143.
    args.textureMode = 1;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 6, 7), (Bgr{143, 143, 143}));
    // Mode 2 mixes toward the background: ((255 - 70) * 100 + 70 * 250) >> 8 = 140.
    args.textureMode = 2;
    args.backColor = MakeColorRef(250, 250, 250);
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 6, 7), (Bgr{140, 140, 140}));
}

TEST(DabSources, CentreSamplingTakesOneColourPerDab) {
    CDIBSection2 image, read, stamp, texture;
    MakeSolid(image, 8, 8, Bgr{0, 0, 0});
    read.Copy(&image);
    MakeSolid(stamp, 3, 3, Bgr{100, 100, 100});
    MakePatternPicture(texture, 5, 5, 12);
    CDabArgs args;
    args.stamp = &stamp;
    args.source = &texture;
    args.centreSampling = true;
    args.left = 6, args.top = 6, args.offsetX = 2, args.offsetY = 1;
    ASSERT_TRUE(PaintDab(image, read, args));
    // Centre (7, 7) wrapped, plus the offsets: texture (9 mod 5, 8 mod 5) = (4, 3).
    const Bgr expected = At(texture, 4, 3);
    for (int y : {6, 7, 0})
        for (int x : {6, 7, 0}) EXPECT_EQ(At(image, x, y), expected);
    // No source: black.
    args.source = nullptr;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 7, 7), (Bgr{0, 0, 0}));
}

TEST(DabSources, ColourOverlayIsShadedByTheStamp) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 2, 1, Bgr{0, 0, 0});
    read.Copy(&image);
    MakeSolid(stamp, 2, 1, Bgr{255, 255, 255});
    Set(stamp, 1, 0, Bgr{100, 130, 160}); // mean 130: g = 125
    CDabArgs args;
    args.stamp = &stamp;
    args.colorOverlay = true;
    args.overlayColor = MakeColorRef(200, 100, 50);
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 0, 0), (Bgr{50, 100, 200}));
    EXPECT_EQ(At(image, 1, 0), (Bgr{0, 0, 75}));
}

TEST(DabSources, CloneReadsTheReadImageWrappedOrASourceImage) {
    CDIBSection2 image, read, stamp, other;
    MakePatternPicture(image, 6, 6, 20);
    read.Copy(&image);
    MakeSolid(stamp, 2, 1, Bgr{0, 0, 0});
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = kSourceClone;
    args.left = 0, args.top = 0, args.offsetX = -1, args.offsetY = 2;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(image, 0, 0), At(read, 5, 2)); // left of the picture: its right column
    EXPECT_EQ(At(image, 1, 0), At(read, 0, 2));

    // Another picture without wrapping: outside it the target keeps its colour.
    MakePatternPicture(other, 3, 3, 21);
    CDIBSection2 target;
    target.Copy(&read);
    args.source = &other;
    args.textureStrength = 0;
    ASSERT_TRUE(PaintDab(target, read, args));
    EXPECT_EQ(At(target, 0, 0), At(read, 0, 0));
    EXPECT_EQ(At(target, 1, 0), At(other, 0, 2));
    args.textureStrength = 1; // the wrap flag
    ASSERT_TRUE(PaintDab(target, read, args));
    EXPECT_EQ(At(target, 0, 0), At(other, 2, 2));
}

TEST(DabSources, CloneFeedbackCopiesPaintIntoTheReadImage) {
    CDIBSection2 image, read, stamp, source;
    MakeSolid(image, 4, 1, Bgr{0, 0, 0});
    read.Copy(&image);
    MakeSolid(source, 4, 1, Bgr{77, 77, 77});
    MakeSolid(stamp, 1, 1, Bgr{0, 0, 0});
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = kSourceClone;
    args.source = &source;
    args.feedback = true;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(read, 0, 0), (Bgr{77, 77, 77}));
    args.feedback = false;
    args.left = 1;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(At(read, 1, 0), (Bgr{0, 0, 0}));
}

TEST(DabSources, HistoryKindReadsTheSavedPictureWithoutWrapping) {
    CDIBSection2 image, read, stamp, saved;
    MakeSolid(image, 6, 1, Bgr{1, 1, 1});
    read.Copy(&image);
    MakeSolid(saved, 2, 1, Bgr{50, 60, 70});
    MakeSolid(stamp, 6, 1, Bgr{0, 0, 0});
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = kSourceHistory;
    args.source = &saved;
    args.offsetX = 2; // the saved picture covers columns 2 and 3
    ASSERT_TRUE(PaintDab(image, read, args));
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(At(image, x, 0), x == 2 || x == 3 ? (Bgr{50, 60, 70}) : (Bgr{1, 1, 1})) << x;
}

namespace {
struct InvertSource : IDabColorSource {
    int begun = 0, pixels = 0;
    void BeginDab(const CDIBSection2&, const CDabArgs&) override { ++begun; }
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        ++pixels;
        for (int i = 0; i < 3; ++i) c[i] = 255 - p.u[i];
    }
};
} // namespace

TEST(DabSources, OtherKindsComeFromTheToolsColourSource) {
    CDIBSection2 image, read, stamp;
    MakeSolid(image, 4, 4, Bgr{10, 20, 30});
    read.Copy(&image);
    MakeSolid(stamp, 3, 2, Bgr{0, 0, 0});
    stamp.PixelAt(0, 0)[3] = 0;
    InvertSource invert;
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = 14;
    args.customSource = &invert;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(invert.begun, 1);
    EXPECT_EQ(invert.pixels, 6); // the uncovered pixel too
    EXPECT_EQ(At(image, 1, 0), (Bgr{245, 235, 225}));
    EXPECT_EQ(At(image, 0, 0), (Bgr{10, 20, 30}));
    // Without an operator the kind paints the read colour: the covered pixels go back
    // to the picture as it was at the press.
    EXPECT_EQ(CountChanged(image, read), 5);
    args.customSource = nullptr;
    ASSERT_TRUE(PaintDab(image, read, args));
    EXPECT_EQ(CountChanged(image, read), 0);
}
