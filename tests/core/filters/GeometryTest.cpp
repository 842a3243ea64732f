#include "core/base/SettingsStore.h"
#include "core/filters/Resize.h"
#include "core/filters/ResizeImageModel.h"
#include "core/filters/RightAngle.h"
#include "core/filters/RotateByAngle.h"
#include "core/image/DIBSection2.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace quiltara;

namespace {

std::vector<std::uint8_t> Pattern(int w, int h, std::uint32_t seed = 7) {
    CDIBSection2 pic;
    test::MakePatternPicture(pic, w, h, seed);
    return {pic.GetBits(), pic.GetBits() + pic.PixelBytes()};
}

std::uint32_t PixelOf(const std::vector<std::uint8_t>& p, int w, int x, int y) {
    std::uint32_t v;
    std::memcpy(&v, &p[(std::size_t(y) * w + x) * 4], 4);
    return v;
}

} // namespace

TEST(RightAngle, TurnsAndFlipsUndoEachOther) {
    const int w = 37, h = 23;
    const auto original = Pattern(w, h);
    auto p = original;
    RotateRightAngle(p.data(), w, h, kRotate90CW);
    EXPECT_NE(p, original);
    RotateRightAngle(p.data(), h, w, kRotate90CCW);
    EXPECT_EQ(p, original);

    for (int i = 0; i < 4; ++i)
        RotateRightAngle(p.data(), i % 2 ? h : w, i % 2 ? w : h, kRotate90CW);
    EXPECT_EQ(p, original);
    RotateRightAngle(p.data(), w, h, kRotate180);
    RotateRightAngle(p.data(), w, h, kRotate180);
    EXPECT_EQ(p, original);

    FlipHorizontal(p.data(), w, h);
    EXPECT_NE(p, original);
    FlipHorizontal(p.data(), w, h);
    EXPECT_EQ(p, original);
    FlipVertical(p.data(), w * 4, h);
    EXPECT_NE(p, original);
    FlipVertical(p.data(), w * 4, h);
    EXPECT_EQ(p, original);

    // Two flips are a half turn.
    auto flipped = original, turned = original;
    FlipHorizontal(flipped.data(), w, h);
    FlipVertical(flipped.data(), w * 4, h);
    RotateRightAngle(turned.data(), w, h, kRotate180);
    EXPECT_EQ(flipped, turned);
}

TEST(RightAngle, ClockwiseMovesTheTopLeftCornerToTheTopRight) {
    // Picture rows from the top through GetRow; memory rows are bottom-up.
    CDIBSection2 pic;
    test::MakePatternPicture(pic, 5, 3);
    std::uint32_t topLeft, bottomLeft;
    std::memcpy(&topLeft, pic.GetRow(0), 4);
    std::memcpy(&bottomLeft, pic.GetRow(2), 4);
    ASSERT_TRUE(RotatePictureRightAngle(pic, kRotate90CW));
    ASSERT_EQ(pic.GetWidth(), 3);
    ASSERT_EQ(pic.GetHeight(), 5);
    std::uint32_t v;
    std::memcpy(&v, pic.GetRow(0) + 2 * 4, 4); // top-right
    EXPECT_EQ(v, topLeft);
    std::memcpy(&v, pic.GetRow(0), 4); // bottom-left of the old picture is the new top-left
    EXPECT_EQ(v, bottomLeft);

    ASSERT_TRUE(RotatePictureRightAngle(pic, kRotate90CCW));
    std::memcpy(&v, pic.GetRow(0), 4);
    EXPECT_EQ(v, topLeft);
}

TEST(RotateByAngle, ZeroAndFullTurnsGiveAnUnchangedCopy) {
    const int w = 19, h = 11;
    const auto original = Pattern(w, h);
    for (double angle : {0.0, 360.0, -360.0, 720.0}) {
        const RotatedPicture r = RotateByAngle(original.data(), w, h, angle, MakeColorRef(1, 2, 3));
        EXPECT_EQ(r.width, w) << angle;
        EXPECT_EQ(r.height, h) << angle;
        EXPECT_EQ(r.pixels, original) << angle;
    }
}

TEST(RotateByAngle, RightAnglesArePreRotationsOnly) {
    const int w = 19, h = 11;
    const auto original = Pattern(w, h);
    auto cw = original, half = original, ccw = original;
    RotateRightAngle(cw.data(), w, h, kRotate90CW);
    RotateRightAngle(half.data(), w, h, kRotate180);
    RotateRightAngle(ccw.data(), w, h, kRotate90CCW);
    const RotatedPicture r90 = RotateByAngle(original.data(), w, h, 90.0, 0);
    EXPECT_EQ(r90.width, h);
    EXPECT_EQ(r90.pixels, cw);
    EXPECT_EQ(RotateByAngle(original.data(), w, h, 180.0, 0).pixels, half);
    EXPECT_EQ(RotateByAngle(original.data(), w, h, -90.0, 0).pixels, ccw);
}

TEST(RotateByAngle, SizesFollowTheShearsAndTheBackgroundStaysClean) {
    const int w = 40, h = 20;
    const ColorRef grey = MakeColorRef(128, 100, 60);
    // A picture of the background colour itself turns into nothing but that colour:
    // the blend at both ends of every line mixes with the background, not past 255.
    std::vector<std::uint8_t> flat(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < flat.size(); i += 4)
        flat[i] = 60, flat[i + 1] = 100, flat[i + 2] = 128, flat[i + 3] = 255;
    for (double angle : {17.5, -30.0, 44.0, 100.0, 330.0}) {
        const RotatedPicture r = RotateByAngle(flat.data(), w, h, angle, grey);
        double residual = std::fmod(angle + 360.0, 360.0);
        int ww = w, hh = h;
        if (residual > 45 && residual <= 135)
            residual -= 90, std::swap(ww, hh);
        else if (residual > 135 && residual <= 225)
            residual -= 180;
        else if (residual > 225 && residual <= 315)
            residual -= 270, std::swap(ww, hh);
        const double th = residual * 0.017453292519943295;
        EXPECT_EQ(r.width, int(ww * std::cos(th) + hh * std::fabs(std::sin(th))) + 1) << angle;
        EXPECT_EQ(r.height, int(ww * std::fabs(std::sin(th)) + hh * std::cos(th)) + 1) << angle;
        ASSERT_EQ(r.pixels.size(), std::size_t(r.width) * r.height * 4);
        for (std::size_t i = 0; i < r.pixels.size(); i += 4) {
            ASSERT_EQ(r.pixels[i], 60) << angle << " at " << i / 4;
            ASSERT_EQ(r.pixels[i + 1], 100);
            ASSERT_EQ(r.pixels[i + 2], 128);
        }
    }
}

TEST(RotateByAngle, ASmallTurnMovesTheCentreLittleAndTheCornersToBackground) {
    const int w = 41, h = 41;
    std::vector<std::uint8_t> white(std::size_t(w) * h * 4, 255);
    const RotatedPicture r = RotateByAngle(white.data(), w, h, 30.0, MakeColorRef(0, 0, 0));
    // Centre stays white, the corners of the bigger result are background.
    EXPECT_EQ(PixelOf(r.pixels, r.width, r.width / 2, r.height / 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelOf(r.pixels, r.width, 0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(PixelOf(r.pixels, r.width, r.width - 1, r.height - 1) & 0xFFFFFF, 0u);
    // Area is kept: about w * h white pixels.
    double sum = 0;
    for (std::size_t i = 0; i < r.pixels.size(); i += 4) sum += r.pixels[i] / 255.0;
    EXPECT_NEAR(sum, double(w) * h, 0.03 * w * h);
}

TEST(Bilinear, ContributorsAreNormalisedAndLocal) {
    for (auto [n, m] : {std::pair{10, 10}, {10, 25}, {25, 10}, {7, 3}, {1, 5}, {5, 1}}) {
        const auto list = BilinearContributors(n, m);
        ASSERT_EQ(int(list.size()), m);
        const double width = m >= n ? 1.0 : double(n) / m;
        for (int j = 0; j < m; ++j) {
            float sum = 0;
            ASSERT_FALSE(list[j].index.empty());
            ASSERT_LE(int(list[j].index.size()), 2 * int(std::ceil(width)) + 1);
            for (std::size_t k = 0; k < list[j].index.size(); ++k) {
                EXPECT_GE(list[j].index[k], 0);
                EXPECT_LT(list[j].index[k], n);
                EXPECT_LE(std::fabs(list[j].index[k] - j * double(n) / m), width);
                sum += list[j].weight[k];
            }
            EXPECT_NEAR(sum, 1.0f, 1e-5f) << n << " -> " << m << " at " << j;
        }
    }
}

TEST(Bilinear, HalvingAveragesAndSameSizeChangesNothing) {
    // 4 x 1 -> 2 x 1: scale 0.5, width 2; output 0 centred on source 0 takes
    // weights 1/2 (0) and 1/4 (1), normalised 2/3 and 1/3.
    std::uint8_t src[16] = {30,  30,  30,  255, 90,  90,  90,  255,
                            150, 150, 150, 255, 210, 210, 210, 255};
    std::uint8_t dst[8];
    ResizeBilinear(src, 4, 1, dst, 2, 1);
    EXPECT_EQ(dst[0], int(30 * 2.0 / 3 + 90 / 3.0)); // 50
    // Output 1 centred on source 2: 1/4, 1/2, 1/4 over 90, 150, 210.
    EXPECT_EQ(dst[4], 150);

    CDIBSection2 pic, same;
    test::MakePatternPicture(pic, 13, 9);
    same.Copy(&pic);
    ResizeBilinear(pic, 13, 9);
    EXPECT_TRUE(test::SamePixels(pic, same));
    ResizeBilinear(pic, 0, 9);
    EXPECT_TRUE(test::SamePixels(pic, same));
    std::vector<std::uint8_t> out(same.PixelBytes());
    ResizeBilinear(same.GetBits(), 13, 9, out.data(), 13, 9);
    EXPECT_EQ(0, std::memcmp(out.data(), same.GetBits(), out.size()));

    ResizeBilinear(pic, 26, 5);
    EXPECT_EQ(pic.GetWidth(), 26);
    EXPECT_EQ(pic.GetHeight(), 5);
}

TEST(Bicubic, MatchesTheSplineInsideAndCopiesTheMargin) {
    const int w = 16, h = 12, nw = 23, nh = 17;
    const auto src = Pattern(w, h, 3);
    std::vector<std::uint8_t> dst(std::size_t(nw) * nh * 4);
    ResizeBicubic(src.data(), w, h, dst.data(), nw, nh);
    auto spline = [](double t, int i) {
        const double w3[4] = {(1 - t) * (1 - t) * (1 - t) / 6, (3 * t * t * t - 6 * t * t + 4) / 6,
                              (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6, t * t * t / 6};
        return w3[i];
    };
    int inside = 0, margin = 0;
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            const double sx = double(x) * w / nw, sy = double(y) * h / nh;
            const std::uint8_t* d = &dst[(std::size_t(y) * nw + x) * 4];
            if (sx >= 1 && sx < w - 2 && sy >= 1 && sy < h - 2) {
                ++inside;
                const int ix = int(sx), iy = int(sy);
                for (int c = 0; c < 4; ++c) {
                    double sum = 0;
                    for (int j = 0; j < 4; ++j)
                        for (int i = 0; i < 4; ++i)
                            sum += spline(sx - ix, i) * spline(sy - iy, j) *
                                   src[(std::size_t(iy - 1 + j) * w + ix - 1 + i) * 4 + c];
                    EXPECT_NEAR(d[c], std::floor(std::clamp(sum, 0.0, 255.0)), 1.0);
                }
            } else {
                ++margin;
                const int nx = int(std::min(sx, double(w - 1))),
                          ny = int(std::min(sy, double(h - 1)));
                EXPECT_EQ(0, std::memcmp(d, &src[(std::size_t(ny) * w + nx) * 4], 4))
                    << x << "," << y;
            }
        }
    EXPECT_GT(inside, 0);
    EXPECT_GT(margin, 0);
    // The last two rows and columns are always nearest copies.
    const std::uint8_t* corner = &dst[(std::size_t(nh - 1) * nw + nw - 1) * 4];
    EXPECT_EQ(0, std::memcmp(corner, &src[(std::size_t(h - 1) * w + w - 1) * 4], 4));
}

TEST(ResizeImageModel, CouplesPixelsAndPercents) {
    CResizeImageModel m(100, 50);
    EXPECT_TRUE(m.PreserveRatio());
    EXPECT_FALSE(m.HeightSpinsVisible());
    ASSERT_TRUE(m.SetWidth(50));
    EXPECT_EQ(m.NewWidth(), 50u);
    EXPECT_EQ(m.NewHeight(), 25u);
    EXPECT_DOUBLE_EQ(m.WidthPercent(), 50.0);
    EXPECT_DOUBLE_EQ(m.HeightPercent(), 50.0);
    EXPECT_FALSE(m.SetWidth(0));
    EXPECT_EQ(m.NewWidth(), 50u);

    ASSERT_TRUE(m.SetHeightPercent(150));
    EXPECT_EQ(m.NewHeight(), 75u);
    EXPECT_EQ(m.NewWidth(), 150u);
    EXPECT_DOUBLE_EQ(m.WidthPercent(), 150.0);

    m.SetPreserveRatio(false);
    EXPECT_TRUE(m.HeightSpinsVisible());
    ASSERT_TRUE(m.SetWidth(30));
    EXPECT_EQ(m.NewHeight(), 75u);
    EXPECT_DOUBLE_EQ(m.WidthPercent(), 30.0);
    EXPECT_DOUBLE_EQ(m.HeightPercent(), 150.0);
    EXPECT_EQ(m.WidthSpinMin(), 25);
    EXPECT_EQ(m.WidthSpinMax(), 200);
    EXPECT_EQ(m.HeightSpinMin(), 12);
}

TEST(ResizeImageModel, MemoryTexts) {
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(600, 600), "Memory Image Size: 1 Mb");
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(500, 500), "Memory Image Size: 1000 kb");
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(100, 100), "Memory Image Size: 40 kb");
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(10, 10), "Memory Image Size: 400 b");
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(6000, 6000), "Memory Image Size: 144 Mb");
    EXPECT_EQ(CResizeImageModel::MemoryTextFor(7000, 10), "Well, aren't you going a bit too far?");
    CResizeImageModel m(100, 100);
    m.SetWidth(7000);
    EXPECT_EQ(m.MemoryText(), "Well, aren't you going a bit too far?");
    EXPECT_EQ(m.NewWidth(), 7000u); // the text warns, the size stays
}

TEST(ResizeImageModel, InterpolationSetting) {
    CMemorySettingsStore store;
    EXPECT_EQ(CResizeImageModel::LoadInterpolation(store), CResizeImageModel::kBicubic);
    CResizeImageModel::SaveInterpolation(store, CResizeImageModel::kBilinear);
    EXPECT_EQ(store.GetInt("Resize", "type", -1), 0);
    EXPECT_EQ(CResizeImageModel::LoadInterpolation(store), CResizeImageModel::kBilinear);
    // Going back to "Bicubic" is remembered as well.
    CResizeImageModel::SaveInterpolation(store, CResizeImageModel::kBicubic);
    EXPECT_EQ(CResizeImageModel::LoadInterpolation(store), CResizeImageModel::kBicubic);
}

// A flat picture stays flat whatever the resampler: the weights of an output pixel add
// up to one, and single-precision sums must not lose a level to rounding down.
TEST(ResizeFlatColour, BilinearAndBicubicKeepEveryLevel) {
    for (int level : {1, 77, 128, 200, 254, 255}) {
        const int w = 37, h = 23;
        std::vector<std::uint8_t> src(std::size_t(w) * h * 4, std::uint8_t(level));
        for (auto [nw, nh] : {std::pair{101, 57}, std::pair{13, 9}, std::pair{37, 80}}) {
            std::vector<std::uint8_t> dst(std::size_t(nw) * nh * 4, 0);
            quiltara::ResizeBilinear(src.data(), w, h, dst.data(), nw, nh);
            for (std::uint8_t v : dst) ASSERT_EQ(int(v), level) << "bilinear " << nw << "x" << nh;
            std::fill(dst.begin(), dst.end(), 0);
            quiltara::ResizeBicubic(src.data(), w, h, dst.data(), nw, nh);
            for (std::uint8_t v : dst) ASSERT_EQ(int(v), level) << "bicubic " << nw << "x" << nh;
        }
    }
}
