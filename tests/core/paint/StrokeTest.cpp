#include "core/paint/Stroke.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/BlendModes.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/PaintingContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quiltara;
using namespace quiltara::test;

namespace {

struct StrokeFixture {
    CDIBSection2 image, read;
    CBrush brush;
    CRuntimeRandom random{3};
    StrokeFixture(int w, int h, int size, double blur, double spacing = 0.15) {
        MakeSolid(image, w, h, Bgr{255, 255, 255});
        read.Copy(&image);
        brush.size = size;
        brush.blur = blur;
        brush.spacing = spacing;
        brush.color = 0;
        brush.pressureMode = kPressureNone;
        GenerateStamp(brush, 0);
    }
    // Picture coordinates: row 0 at the top.
    bool Painted(int x, int row) const { return image.GetRow(row)[4 * x] != 255; }
};

} // namespace

TEST(StrokeSegments, TheFirstDabLiesExactlyUnderThePointer) {
    StrokeFixture f(20, 16, 1, 0); // a one-pixel stamp
    CStroke stroke(f.image, f.read, f.brush, f.random);
    EXPECT_EQ(stroke.Press(5, 7, CStrokeView{}).dabs, 1);
    for (int row = 0; row < 16; ++row)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(f.Painted(x, row), x == 5 && row == 7) << x << "," << row;
}

TEST(StrokeSegments, SpacingGateAndDabCount) {
    StrokeFixture f(200, 50, 20, 0, 0.25); // 60 x 60 stamp: spacing 15 pixels
    CStroke stroke(f.image, f.read, f.brush, f.random);
    EXPECT_EQ(stroke.Spacing(), 15);
    std::vector<int> centres;
    stroke.prepareDab = [&](CDabArgs&, int cx, int) { centres.push_back(cx); };
    stroke.Press(10, 20, CStrokeView{});
    EXPECT_EQ(stroke.Move(24, 20, CStrokeView{}).dabs, 0); // 14 < 15: held back
    const CStrokeSegment s = stroke.Move(10 + 52, 20, CStrokeView{});
    EXPECT_EQ(s.dabs, 3); // trunc(52 / 15 + 0.5)
    EXPECT_EQ(centres, (std::vector<int>{10, 27, 45, 62}));
    // At zoom 2 the same view distance is half as far in the picture.
    EXPECT_EQ(stroke.Move(62 + 28, 20, CStrokeView{2.0, 0, 0}).dabs, 0);
    EXPECT_EQ(stroke.Move(62 + 60, 20, CStrokeView{2.0, 0, 0}).dabs, 2);
}

TEST(StrokeSegments, WithoutSpacingEveryMoveIsOneDab) {
    StrokeFixture f(100, 50, 20, 0);
    f.brush.spacingOn = 0;
    CStroke stroke(f.image, f.read, f.brush, f.random);
    stroke.Press(10, 10, CStrokeView{});
    EXPECT_EQ(stroke.Move(11, 10, CStrokeView{}).dabs, 1);
    EXPECT_EQ(stroke.Move(90, 10, CStrokeView{}).dabs, 1);
}

TEST(StrokeSegments, SizeOneBrushLaysAPixelLine) {
    StrokeFixture f(20, 5, 1, 0);
    CStroke stroke(f.image, f.read, f.brush, f.random);
    stroke.Press(0, 2, CStrokeView{});
    EXPECT_EQ(stroke.Move(10, 2, CStrokeView{}).dabs, 10);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(f.Painted(x, 2), x <= 10) << x;
    // The changed rectangle in memory rows: row 2 from the top is memory row 2 of 5.
    EXPECT_EQ(stroke.ChangedRect(), (CRect{-1, 1, 12, 4}));
}

TEST(StrokeSegments, TextureOffsetsAndPressureOncePerSegment) {
    StrokeFixture f(100, 100, 4, 0);
    f.brush.pressureMode = kPressureOpacity;
    CStroke stroke(f.image, f.read, f.brush, f.random);
    stroke.dabTemplate.pressureMode = kPressureOpacity;
    std::vector<std::array<int, 3>> seen;
    stroke.prepareDab = [&](CDabArgs& a, int, int) {
        seen.push_back({a.offsetX, a.offsetY, a.pressure});
    };
    stroke.Press(10, 10, CStrokeView{}, 100);
    EXPECT_EQ(seen.back(), (std::array<int, 3>{0, 0, 100}));
    stroke.textureAligned = false;
    seen.clear();
    stroke.Move(40, 10, CStrokeView{}, 50);
    ASSERT_GT(seen.size(), 2u);
    for (const auto& s : seen) {
        EXPECT_EQ(s, seen.front()); // one draw and one pressure for the whole segment
        EXPECT_GE(s[0], 0);
        EXPECT_LE(s[0], 255);
    }
    EXPECT_EQ(seen.front()[2], 50);
    // Pressure mode 0 passes full pressure whatever the tablet says.
    stroke.dabTemplate.pressureMode = kPressureNone;
    seen.clear();
    stroke.Move(80, 10, CStrokeView{}, 10);
    EXPECT_EQ(seen.front()[2], 255);
}

TEST(StrokeSegments, WrappedChangedRectangles) {
    EXPECT_EQ(WrapRectIntoImage(CRect{-3, 2, 4, 5}, 10, 10), (CRect{0, 2, 10, 5}));
    EXPECT_EQ(WrapRectIntoImage(CRect{12, -8, 15, -6}, 10, 10), (CRect{2, 2, 5, 4}));
    EXPECT_EQ(WrapRectIntoImage(CRect{0, 0, 30, 3}, 10, 10), (CRect{0, 0, 10, 3}));
    EXPECT_TRUE(WrapRectIntoImage(CRect{}, 10, 10).IsEmpty());
}

TEST(StrokeSegments, HoseStrokeTakesTheFramesInTurn) {
    StrokeFixture f(64, 16, 20, 0);
    f.brush.type = kBrushImageHose;
    for (int i = 0; i < 3; ++i) {
        f.brush.hoseFrames.emplace_back();
        MakeSolid(f.brush.hoseFrames.back(), 1, 1, Bgr{i * 10, 0, 0});
    }
    f.brush.spacingOn = 0;
    CStroke stroke(f.image, f.read, f.brush, f.random);
    stroke.Press(1, 8, CStrokeView{});
    stroke.Move(5, 8, CStrokeView{});
    stroke.Move(9, 8, CStrokeView{});
    stroke.Move(13, 8, CStrokeView{});
    EXPECT_EQ(f.image.GetRow(8)[4 * 1], 0);
    EXPECT_EQ(f.image.GetRow(8)[4 * 5], 10);
    EXPECT_EQ(f.image.GetRow(8)[4 * 9], 20);
    EXPECT_EQ(f.image.GetRow(8)[4 * 13], 0);
}

// A stroke over the tile's corner paints what the same stroke paints on a canvas of
// nine tiles, folded back into one tile: the seams stay continuous.
TEST(StrokeWrap, StrokeAcrossTheCornerMatchesTheNineTileCanvas) {
    const int W = 96, H = 100; // larger than the stroke, so that it never meets itself
    CDIBSection2 tile, big;
    MakePatternPicture(tile, W, H, 31);
    big.Create(3 * W, 3 * H, 32, true);
    for (int ty = 0; ty < 3; ++ty)
        for (int tx = 0; tx < 3; ++tx)
            for (int y = 0; y < H; ++y)
                std::copy_n(tile.PixelAt(0, y), 4 * W, big.PixelAt(tx * W, ty * H + y));
    CDIBSection2 bigBefore;
    bigBefore.Copy(&big);

    auto paint = [](CDIBSection2& target, double ox, double oy) {
        CDIBSection2 read;
        read.Copy(&target);
        CBrush brush;
        brush.size = 12;
        brush.blur = 3;
        brush.color = MakeColorRef(250, 40, 10);
        GenerateStamp(brush, 0);
        CRuntimeRandom random(1);
        CStroke stroke(target, read, brush, random);
        stroke.dabTemplate.blendMode = kBlendScreen;
        stroke.dabTemplate.opacity = 200;
        const CStrokeView view{1.0, int(-ox), int(-oy)};
        stroke.Press(-6, 40, view);
        stroke.Move(3, 2, view);
        stroke.Move(20, -9, view);
    };
    paint(tile, 0, 0);
    paint(big, W, H); // the same picture points, in the middle tile
    CDIBSection2 tileBefore;
    MakePatternPicture(tileBefore, W, H, 31);
    int changed = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            Bgr expected = At(tileBefore, x, y);
            for (int ty = 0; ty < 3; ++ty)
                for (int tx = 0; tx < 3; ++tx)
                    if (At(big, tx * W + x, ty * H + y) != At(bigBefore, tx * W + x, ty * H + y))
                        expected = At(big, tx * W + x, ty * H + y);
            ASSERT_EQ(At(tile, x, y), expected) << x << "," << y;
            changed += expected != At(tileBefore, x, y);
        }
    EXPECT_GT(changed, 300);
}

TEST(PaintingContext, BrushArgumentsFollowTheContext) {
    CPaintingContext context;
    CBrush brush;
    brush.size = 6;
    brush.blur = 0;
    context.SelectBrush(brush);
    EXPECT_EQ(At(context.brush.mask, 9, 9), (Bgr{0, 0, 255})); // the default red
    context.SetForeColor(MakeColorRef(0, 255, 0));
    EXPECT_EQ(At(context.brush.mask, 9, 9), (Bgr{0, 255, 0}));

    CDabArgs args = context.BrushDabArgs();
    EXPECT_EQ(args.textureStrength, 0); // no texture defined
    EXPECT_EQ(args.source, nullptr);
    MakeSolid(context.texture, 4, 4, Bgr{1, 2, 3});
    context.textureDefined = true;
    args = context.BrushDabArgs();
    EXPECT_EQ(args.textureStrength, 200);
    EXPECT_EQ(args.source, &context.texture);
    EXPECT_FALSE(args.centreSampling);
    CDIBSection2 original;
    context.cloneSourceKind = kCloneOriginal;
    args = context.BrushDabArgs(&original);
    EXPECT_EQ(args.source, &original);
    EXPECT_TRUE(args.centreSampling);
}

// The wrapped pieces of a rectangle cover exactly the pixels its unwrapped pixels land
// on, each once, for rectangles anywhere and of any size.
TEST(Stroke, WrappedPiecesCoverTheWrappedPixelsOnce) {
    const int w = 7, h = 5;
    CRuntimeRandom random(11);
    for (int trial = 0; trial < 300; ++trial) {
        const int left = random.Next() % 40 - 20, top = random.Next() % 40 - 20;
        const CRect rect{left, top, left + random.Next() % 12, top + random.Next() % 9};
        std::vector<int> expected(w * h, 0), got(w * h, 0);
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                expected[((y % h + h) % h) * w + (x % w + w) % w] = 1;
        CRect pieces[4];
        const int count = WrappedPieces(rect, w, h, pieces);
        for (int k = 0; k < count; ++k)
            for (int y = pieces[k].top; y < pieces[k].bottom; ++y)
                for (int x = pieces[k].left; x < pieces[k].right; ++x) ++got[y * w + x];
        ASSERT_EQ(got, expected) << rect.left << "," << rect.top << " " << rect.Width() << "x"
                                 << rect.Height();
    }
}
