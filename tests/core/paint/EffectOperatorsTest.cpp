#include "core/paint/EffectOperators.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/BlendModes.h"
#include "core/paint/ToolOperatorState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// pic after one picture-wide dab of the effect.
void ApplyEffect(CDIBSection2& pic, int kind, int offsetX = 0, int offsetY = 0, int blend = 0,
                 std::uint32_t seed = 1) {
    CRuntimeRandom random(seed);
    CToolOperatorState state;
    state.ToolChosen(kind, random);
    const auto source = MakeEffectSource(kind, state, random);
    ASSERT_TRUE(source) << kind;
    ApplySource(pic, kind, *source, offsetX, offsetY, blend);
}

Bgr Effect(int kind, Bgr u, int blend = 0) {
    CDIBSection2 pic;
    MakeSolid(pic, 1, 1, u);
    ApplyEffect(pic, kind, 0, 0, blend);
    return At(pic, 0, 0);
}

} // namespace

TEST(EffectOperators, PointEffectsOnChosenPixels) {
    // 29 is the picture itself: under "Multiply" u x u / 256.
    EXPECT_EQ(Effect(kEffectSelf, {200, 100, 50}, kBlendMultiply), (Bgr{156, 39, 9}));
    // 33: grey (76 x 100 + 150 x 200 + 29 x 40) / 256 = 151; 192 mod 151 = 41 added.
    EXPECT_EQ(Effect(kEffectLighten, {40, 100, 200}), (Bgr{81, 141, 241}));
    EXPECT_EQ(Effect(kEffectLighten, {10, 10, 10}), (Bgr{13, 13, 13})); // grey 9: + 3
    EXPECT_EQ(Effect(kEffectLighten, {0, 0, 0}), (Bgr{0, 0, 0}));       // grey held at 1
    EXPECT_EQ(Effect(kEffectLighten, {250, 250, 250}), (Bgr{255, 255, 255}));
    // 37 at grey 128 (d = 0.5): green exp(0), red and blue 255 exp(-1) = 93.8.
    EXPECT_EQ(Effect(kEffectHeat, {129, 129, 129}), (Bgr{93, 255, 93}));
    // Grey 0: blue 255 exp(-(0.2 x 4.1667)^4) = 157.4, the others vanish.
    EXPECT_EQ(Effect(kEffectHeat, {0, 0, 0}), (Bgr{157, 0, 0}));
}

TEST(EffectOperators, NoiseIsATonedGrainReproducibleUnderASeed) {
    CDIBSection2 a, b, c;
    MakeSolid(a, 40, 30, Bgr{150, 150, 150}); // warm grey 149
    b.Copy(&a);
    c.Copy(&a);
    ApplyEffect(a, kEffectNoise, 0, 0, 0, 7);
    ApplyEffect(b, kEffectNoise, 0, 0, 0, 7);
    ApplyEffect(c, kEffectNoise, 0, 0, 0, 8);
    EXPECT_TRUE(SamePixels(a, b));
    EXPECT_FALSE(SamePixels(a, c));
    std::set<int> values;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Bgr p = At(a, x, y);
            // n = 149 - (column term 0 ... 32 + pixel term 0 ... 32); B = n - 20,
            // G = n + 10, R = n + 40.
            ASSERT_GE(p[0], 149 - 64 - 20);
            ASSERT_LE(p[0], 149 - 20);
            ASSERT_EQ(p[1] - p[0], 30);
            ASSERT_EQ(p[2] - p[1], 30);
            values.insert(p[0]);
        }
    EXPECT_GT(values.size(), 30u);
}

TEST(EffectOperators, NoiseTableIsRefilledWhenTheToolIsChosen) {
    CRuntimeRandom r1(3), r2(3);
    CToolOperatorState s1, s2;
    s1.ToolChosen(kEffectNoise, r1);
    s2.ToolChosen(kEffectNoise, r2);
    EXPECT_EQ(s1.NoiseTable(), s2.NoiseTable());
    const std::set<int> entries(s1.NoiseTable().begin(), s1.NoiseTable().end());
    EXPECT_GT(entries.size(), 20u);
    EXPECT_LE(*entries.rbegin(), 32);
    s1.ToolChosen(kEffectMosaic, r1); // other tools leave it alone
    EXPECT_EQ(s1.NoiseTable(), s2.NoiseTable());
    s1.ToolChosen(kEffectNoise, r1);
    EXPECT_NE(s1.NoiseTable(), s2.NoiseTable());
}

TEST(EffectOperators, MosaicBlocksStartAtThePicturesTopLeft) {
    // Blue is the column, green the row from the top: a block shows its centre pixel,
    // 10 into the block, held inside the picture (45 rows: the last block is rows 40-44).
    CDIBSection2 pic;
    MakeGradient(pic, 50, 45);
    ApplyEffect(pic, kEffectMosaic);
    for (int row = 0; row < 45; ++row)
        for (int x = 0; x < 50; ++x) {
            const int cx = std::min(x / 20 * 20 + 10, 49), cy = std::min(row / 20 * 20 + 10, 44);
            ASSERT_EQ(AtPicture(pic, x, row), (Bgr{cx, cy, 0})) << x << "," << row;
        }
}

TEST(EffectOperators, GlassBlocksEnlargeEachCellsMiddle) {
    CDIBSection2 pic;
    MakeGradient(pic, 50, 45);
    ApplyEffect(pic, kEffectGlassBlocks);
    // (13, 7): 10 + 3 x 5/3 = 15, 10 - 3 x 5/3 = 5; on a linear ramp the bilinear
    // mix is the position itself.
    EXPECT_EQ(AtPicture(pic, 13, 7), (Bgr{15, 5, 0}));
    // (31, 26): 30 + 5/3 = 31.67 and 30 - 4 x 5/3 = 23.33, truncated.
    EXPECT_EQ(AtPicture(pic, 31, 26), (Bgr{31, 23, 0}));
    // The last cell, cut short at column 49, is still read about its centre 50:
    // 50 - 5 x 5/3 = 41.67.
    EXPECT_EQ(AtPicture(pic, 45, 30), (Bgr{41, 30, 0}));
    // Positions before the first column or row keep the pixel: 10 - 8 x 5/3 < 0.
    EXPECT_EQ(AtPicture(pic, 2, 12), (Bgr{2, 12, 0}));
    EXPECT_EQ(AtPicture(pic, 13, 2), (Bgr{13, 2, 0}));
    // And beyond the last: 30 + 4 x 5/3 = 36.67 in a picture of 35.
    MakeGradient(pic, 35, 35);
    ApplyEffect(pic, kEffectGlassBlocks);
    EXPECT_EQ(AtPicture(pic, 34, 5), (Bgr{34, 5, 0}));
    EXPECT_EQ(AtPicture(pic, 5, 34), (Bgr{5, 34, 0}));
}

TEST(EffectOperators, EmbossIsLitFromTheTopLeftAndWraps) {
    // Grey 100 (luma 99) with a white half (luma 254).
    auto emboss = [](bool rightHalf, int x, int row) {
        CDIBSection2 pic;
        MakeSolid(pic, 8, 8, Bgr{100, 100, 100});
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (rightHalf ? c >= 4 : r < 4) Set(pic, c, 7 - r, Bgr{255, 255, 255});
        ApplyEffect(pic, kEffectEmboss);
        return AtPicture(pic, x, row)[0];
    };
    // Flat: s = 240 sin(30) = 120, (120 - 255) x 0.2 = -27.
    EXPECT_EQ(emboss(true, 1, 3), 73);
    // Left of the white half: tx = 297 - 762 = -465, K = 68340 + 14400, s = 344,
    // 100 + trunc(89 x 0.2).
    EXPECT_EQ(emboss(true, 3, 3), 117);
    // Column 0 has the white half on its left, wrapped: K < 0, s = 0, 100 - 51.
    EXPECT_EQ(emboss(true, 0, 3), 49);
    // Below the white top half the slope faces down: dark; the bottom row, with the
    // white top wrapped under it, faces up: lit.
    EXPECT_EQ(emboss(false, 2, 4), 49);
    EXPECT_EQ(emboss(false, 2, 7), 117);
}

TEST(EffectOperators, ContrastColouringCountsOutsideNeighboursAsBlack) {
    CDIBSection2 pic;
    MakeSolid(pic, 5, 5, Bgr{120, 124, 126}); // luma 123
    ApplyEffect(pic, kEffectContrastColor);
    // Inside a flat area D = 0: every channel becomes the grey.
    EXPECT_EQ(At(pic, 2, 2), (Bgr{123, 123, 123}));
    // Left edge, three neighbours black: blue 123 + 360 x (-3) x 128 / 2048 = 123 - 67.5.
    EXPECT_EQ(At(pic, 0, 2), (Bgr{56, 146, 193}));
    // Corner, five black: blue 123 - 112.5, green 123 + 38.75, red 123 + 118.1.
    EXPECT_EQ(At(pic, 0, 0), (Bgr{11, 161, 241}));
}

TEST(EffectOperators, RadialBlurSamplesOutwardsFromTheCentre) {
    // Centre (10, 12) in picture coordinates; memory rows 44 - row.
    CDIBSection2 pic;
    MakeGradient(pic, 50, 45);
    ApplyEffect(pic, kEffectRadialBlur, 10, 12);
    // Along the centre's row, 20 to the right: columns trunc(20 t + 10) for
    // t = 1, 1.03, ... 1.42: 30, 30, 31, 31, 32, 33, 33, 34, 34, 35, 36, 36, 37, 37, 38.
    EXPECT_EQ(AtPicture(pic, 30, 12), (Bgr{507 / 15, 12, 0}));
    // Near the right edge only the 5 samples up to column 49 are taken.
    EXPECT_EQ(AtPicture(pic, 45, 12), (Bgr{47, 12, 0}));
    // Straight below, truncated in memory rows: picture rows 30, 31, 32, 32, 33, ... 38.
    EXPECT_EQ(AtPicture(pic, 10, 30), (Bgr{10, 34, 0}));
    EXPECT_EQ(AtPicture(pic, 10, 12), (Bgr{10, 12, 0}));
}

TEST(EffectOperators, RadialSmearFadesFromThePressPoint) {
    CDIBSection2 pic;
    MakeGradient(pic, 50, 45);
    ApplyEffect(pic, kEffectRadialSmear, 20, 20); // memory row 20: picture row 24
    // At the press point r = 0: (q x 255) >> 8.
    EXPECT_EQ(At(pic, 20, 20), (Bgr{19, 23, 0}));
    // 5 away: r = 15, (q x 240 + u x 15) >> 8 with q = (20, 24) and u = (23, 20).
    EXPECT_EQ(At(pic, 23, 24), (Bgr{20, 23, 0}));
}
