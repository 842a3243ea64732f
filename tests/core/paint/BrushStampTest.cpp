#include "core/paint/BrushStamp.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quiltara;
using namespace quiltara::test;

namespace {
CBrush Generated(int type, int size, double blur) {
    CBrush b;
    b.type = type;
    b.size = size;
    b.blur = blur;
    b.color = MakeColorRef(10, 20, 30);
    GenerateStamp(b);
    return b;
}
CDIBSection2 Frame(int tag) {
    CDIBSection2 f;
    MakeSolid(f, 2, 2, Bgr{tag, tag, tag});
    return f;
}
} // namespace

TEST(StampGeneration, CircularSize20ReachesRootOf200BeforeBlurring) {
    const CBrush b = Generated(kBrushCircular, 20, 0);
    ASSERT_EQ(b.mask.GetWidth(), 60); // trunc((20 + 0) * 3)
    ASSERT_EQ(b.mask.GetHeight(), 60);
    const int c = 30; // (60 - 20) / 2 + 10
    double farthest = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const int a = b.mask.PixelAt(x, y)[3];
            ASSERT_TRUE(a == 0 || a == 255);
            const int d2 = (x - c) * (x - c) + (y - c) * (y - c);
            EXPECT_EQ(a == 255, d2 <= 200) << x << "," << y;
            if (a) farthest = std::max(farthest, std::sqrt(double(d2)));
        }
    EXPECT_DOUBLE_EQ(farthest, std::sqrt(200.0));
    EXPECT_EQ(At(b.mask, 30, 30), (Bgr{30, 20, 10}));
}

TEST(StampGeneration, RectangularIsInclusiveAndSizeOneIsOnePixel) {
    const CBrush r = Generated(kBrushRectangular, 4, 0); // 12 x 12, columns 4 ... 8
    int covered = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) covered += r.mask.PixelAt(x, y)[3] == 255;
    EXPECT_EQ(covered, 25);
    EXPECT_EQ(r.mask.PixelAt(8, 8)[3], 255);
    EXPECT_EQ(r.mask.PixelAt(9, 8)[3], 0);
    const CBrush one = Generated(kBrushCircular, 1, 0);
    ASSERT_EQ(one.mask.GetWidth(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(one.mask.PixelAt(x, y)[3], x == 1 && y == 1 ? 255 : 0);
}

TEST(StampGeneration, BlurSoftensAndCropsToTheCoverageWithAOnePixelRim) {
    const CBrush b = Generated(kBrushCircular, 20, 2.0);
    const CDIBSection2& m = b.mask;
    const int w = m.GetWidth(), h = m.GetHeight();
    EXPECT_LT(w, 72); // smaller than the uncropped 72 x 72
    EXPECT_EQ(w, h);
    bool rimEmpty = true, innerTouched[4] = {false, false, false, false};
    int partial = 0;
    for (int i = 0; i < w; ++i) {
        rimEmpty = rimEmpty && !m.PixelAt(i, 0)[3] && !m.PixelAt(i, h - 1)[3] &&
                   !m.PixelAt(0, i)[3] && !m.PixelAt(w - 1, i)[3];
        innerTouched[0] |= m.PixelAt(i, 1)[3] != 0;
        innerTouched[1] |= m.PixelAt(i, h - 2)[3] != 0;
        innerTouched[2] |= m.PixelAt(1, i)[3] != 0;
        innerTouched[3] |= m.PixelAt(w - 2, i)[3] != 0;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) partial += m.PixelAt(x, y)[3] > 0 && m.PixelAt(x, y)[3] < 255;
    EXPECT_TRUE(rimEmpty);
    for (bool t : innerTouched) EXPECT_TRUE(t);
    EXPECT_GT(partial, 50);
    EXPECT_EQ(m.PixelAt(w / 2, h / 2)[3], 255);
    // Symmetric left-right and up-down.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(m.PixelAt(x, y)[3], m.PixelAt(w - 1 - x, y)[3]);
            EXPECT_EQ(m.PixelAt(x, y)[3], m.PixelAt(x, h - 1 - y)[3]);
        }
}

TEST(StampGeneration, LoadedPicturesAreCroppedUnlessTheyFillTheFrame) {
    CBrush b;
    b.type = kBrushImage;
    MakeSolid(b.mask, 10, 8, Bgr{1, 2, 3}, 0);
    b.mask.PixelAt(4, 3)[3] = 9;
    b.mask.PixelAt(6, 4)[3] = 9;
    b.color = 0xFFFFFF;
    GenerateStamp(b);
    EXPECT_EQ(b.mask.GetWidth(), 5); // columns 3 ... 7
    EXPECT_EQ(b.mask.GetHeight(), 4);
    EXPECT_EQ(At(b.mask, 1, 1), (Bgr{1, 2, 3})); // an image brush keeps its colours
    b.SetColor(0x00FF00);
    EXPECT_EQ(At(b.mask, 1, 1), (Bgr{1, 2, 3}));

    CBrush full;
    full.type = kBrushBitmap;
    MakeSolid(full.mask, 6, 5, Bgr{0, 0, 0}, 200);
    full.color = MakeColorRef(0, 0, 255);
    GenerateStamp(full);
    EXPECT_EQ(full.mask.GetWidth(), 6);
    EXPECT_EQ(full.mask.GetHeight(), 5);
    EXPECT_EQ(At(full.mask, 0, 0), (Bgr{255, 0, 0})); // a bitmap takes the colour
}

TEST(StampGeneration, PreviewIsWhiteAndSquare) {
    CBrush b = Generated(kBrushCircular, 60, 4);
    EXPECT_EQ(b.preview.GetWidth(), 100);
    EXPECT_EQ(b.preview.GetHeight(), 100);
    EXPECT_EQ(At(b.preview, 50, 50), (Bgr{255, 255, 255}));
    EXPECT_EQ(b.preview.PixelAt(50, 50)[3], 255);
    EXPECT_EQ(b.preview.PixelAt(0, 0)[3], 0);

    b.colorOverlay = 1;
    b.type = kBrushCircular;
    GenerateStamp(b);
    EXPECT_EQ(b.colorOverlay, 0); // drawn types lose the flag

    CBrush small;
    small.type = kBrushImageHose;
    MakeSolid(small.mask, 4, 2, Bgr{9, 9, 9}, 80);
    small.colorOverlay = 1;
    MakeBrushPreview(small, 10);
    EXPECT_EQ(small.preview.GetWidth(), 10);
    EXPECT_EQ(small.preview.PixelAt(0, 0)[3], 255); // colour overlay: opaque throughout
    small.autoGenerate = 0;
    CDIBSection2 before;
    before.Copy(&small.preview);
    GenerateStamp(small);
    EXPECT_EQ(small.preview.GetWidth(), before.GetWidth());
}

TEST(HoseFrames, SequentialRandomAndDirectional) {
    CRuntimeRandom random(7);
    CBrush b;
    b.type = kBrushImageHose;
    for (int i = 0; i < 4; ++i) b.hoseFrames.push_back(Frame(i));
    auto tag = [&](int angle) { return At(StampForDab(b, angle, random), 0, 0)[0]; };
    EXPECT_EQ(tag(0), 0);
    EXPECT_EQ(tag(0), 1);
    EXPECT_EQ(tag(0), 2);
    EXPECT_EQ(tag(0), 3);
    EXPECT_EQ(tag(0), 0);

    b.hoseMode = kHoseRandom;
    int last = -1, seen[4] = {0, 0, 0, 0};
    for (int i = 0; i < 200; ++i) {
        const int cursorBefore = b.hoseCursor;
        const int t = tag(0);
        EXPECT_NE(b.hoseCursor, cursorBefore);
        ++seen[t];
        last = t;
    }
    (void)last;
    for (int s : seen) EXPECT_GT(s, 10);

    b.hoseMode = kHoseDirectional; // 90 degrees a frame, centred on 0, 90, 180, 270
    EXPECT_EQ(tag(0), 0);
    EXPECT_EQ(tag(44), 0);
    EXPECT_EQ(tag(45), 1);
    EXPECT_EQ(tag(180), 2);
    EXPECT_EQ(tag(314), 3);
    EXPECT_EQ(tag(315), 0); // (315 + 45) / 90 = 4: beyond the frames

    CBrush round;
    EXPECT_EQ(&StampForDab(round, 0, random), &round.mask);
}

TEST(HoseFrames, StrokeAngleInDegrees) {
    EXPECT_EQ(StrokeAngle(1, 0, 5), 0);
    EXPECT_EQ(StrokeAngle(0, 1, 5), 90);
    EXPECT_EQ(StrokeAngle(-1, 0, 5), 180);
    EXPECT_EQ(StrokeAngle(0, -1, 5), 270);
    EXPECT_EQ(StrokeAngle(1, -1, 5), 315);
    EXPECT_EQ(StrokeAngle(0, 0, 123), 123);
}

TEST(BrushRecord, CopiesAreDeepAndEmptyPicturesStayEmpty) {
    CBrush a = Generated(kBrushCircular, 8, 1);
    a.hoseFrames.push_back(Frame(5));
    CBrush b = a;
    b.mask.PixelAt(0, 0)[0] = 99;
    EXPECT_NE(a.mask.PixelAt(0, 0)[0], 99);
    ASSERT_EQ(b.hoseFrames.size(), 1u);
    CBrush plain; // empty mask and preview
    b = plain;
    EXPECT_TRUE(b.mask.IsEmpty());
    EXPECT_TRUE(b.preview.IsEmpty());
    EXPECT_TRUE(b.hoseFrames.empty());
}

TEST(BrushRecord, HostileSizesMakeBoundedStamps) {
    CBrush b;
    b.size = 2000000000;
    b.blur = std::nan("");
    GenerateStamp(b, 0);
    EXPECT_LE(b.mask.GetWidth(), 1024);
    b.size = -5;
    b.blur = 1e300;
    GenerateStamp(b, 0);
    EXPECT_LE(b.mask.GetWidth(), 1024);
}
