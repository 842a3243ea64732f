// The seam meter, the repetition measure and tiled sheets, on tiles whose seams and
// blotches are known because the tests make them.
#include "core/tiling/SeamMeter.h"
#include "TilingTestPictures.h"
#include "core/filters/FlattenLight.h"
#include "core/tiling/RepetitionMeasure.h"
#include "core/tiling/TileEffects.h"
#include "core/tiling/TileRepeat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A texture that wraps perfectly: waves of whole periods across the tile, and grain
// that knows no place. Each channel its own.
void MakeWrappingTexture(CDIBSection2& tile, int w, int h, std::uint32_t seed, double grain = 10) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> noise(0, grain);
    struct Wave {
        int fx, fy;
        double phase, amp;
    };
    std::vector<Wave> waves;
    for (int i = 0; i < 10; ++i)
        waves.push_back(
            {int(u(rng) * 12) - 6, int(u(rng) * 12) - 6, u(rng) * kTwoPi, 4 + u(rng) * 10});
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = 128;
            for (const Wave& wv : waves)
                v += wv.amp *
                     std::sin(kTwoPi * (double(wv.fx) * x / w + double(wv.fy) * y / h) + wv.phase);
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp(v + c * 10 - 10 + noise(rng), 0.0, 255.0));
            p[3] = 255;
        }
}

// Adds a soft blotch (a wrapped Gaussian of the given amplitude) centred at (cx, cy).
void AddBlotch(CDIBSection2& tile, int cx, int cy, double radius, double amplitude) {
    const int w = tile.GetWidth(), h = tile.GetHeight();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = std::min(std::abs(x - cx), w - std::abs(x - cx));
            const int dy = std::min(std::abs(y - cy), h - std::abs(y - cy));
            const double g =
                amplitude * std::exp(-(double(dx) * dx + double(dy) * dy) / (2 * radius * radius));
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::clamp(p[c] + g, 0.0, 255.0));
        }
}

// Stones: discs of many sizes and shades strewn over the tile, wrapping around its
// edges, over grain; a texture with shapes as large as the seam's neighbourhood.
void MakeStones(CDIBSection2& tile, int w, int h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<double> value(std::size_t(w) * h, 90);
    for (int i = 0; i < w * h / 150; ++i) {
        const double cx = u(rng) * w, cy = u(rng) * h, r = 5 + u(rng) * 12,
                     shade = 60 + u(rng) * 150;
        for (int dy = -int(r) - 1; dy <= int(r) + 1; ++dy)
            for (int dx = -int(r) - 1; dx <= int(r) + 1; ++dx) {
                if (dx * dx + dy * dy > r * r) continue;
                const int x = ((int(cx) + dx) % w + w) % w, y = ((int(cy) + dy) % h + h) % h;
                // Lit from the upper left, as stones are.
                value[std::size_t(y) * w + x] = shade * (1 + 0.4 * (dy - dx) / r);
            }
    }
    std::normal_distribution<double> grain(0, 4);
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(
                    std::clamp(value[std::size_t(y) * w + x] + grain(rng), 0.0, 255.0));
            p[3] = 255;
        }
}

// The tile of w x h whose bottom-left corner is (x0, y0) in the picture.
void Cut(const CDIBSection2& picture, int x0, int y0, int w, int h, CDIBSection2& tile) {
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        std::memcpy(tile.PixelAt(0, y), picture.PixelAt(x0, y0 + y), std::size_t(w) * 4);
}

SeamScores Measure(const CDIBSection2& tile) {
    CSeamMeter meter;
    meter.Measure(tile);
    return meter.Scores();
}

} // namespace

TEST(SeamMeter, APerfectWrapScoresZero) {
    // Chance alone makes the step across the wrap a little larger than the steps
    // beside it now and then; the score leaves that out, all but a rare trace.
    int seams = 0, zeros = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
        for (const auto& [w, h] : {std::pair{128, 96}, std::pair{257, 64}, std::pair{40, 300}}) {
            CDIBSection2 tile;
            MakeWrappingTexture(tile, w, h, seed);
            const SeamScores s = Measure(tile);
            ASSERT_TRUE(s.leftRight.measured && s.topBottom.measured);
            for (const SeamScore& seam : {s.leftRight, s.topBottom}) {
                EXPECT_LT(seam.score, 0.1) << "seed " << seed << " " << w << "x" << h;
                ++seams;
                zeros += seam.score == 0;
            }
            // The steps are real ones, the same across the wrap as inside.
            EXPECT_GT(s.leftRight.inside, 5);
            EXPECT_NEAR(s.leftRight.across / s.leftRight.inside, 1.0, 0.25);
        }
    EXPECT_GE(zeros, seams * 95 / 100);
    // A plain colour has no steps at all.
    CDIBSection2 flat;
    flat.Create(20, 20, 32, true);
    flat.FillOpaque(MakeColorRef(90, 120, 30));
    EXPECT_EQ(Measure(flat).overall.score, 0);
}

TEST(SeamMeter, AShiftedHalfScoresHighOnItsSeamOnly) {
    CDIBSection2 tile, shifted;
    MakeWrappingTexture(tile, 160, 120, 7, 4);
    // The right half turned down by a quarter of the height (wrapping in itself): every
    // column still wraps top to bottom, but its rows no longer meet the left half's.
    shifted.Copy(&tile);
    for (int y = 0; y < 120; ++y)
        for (int x = 80; x < 160; ++x)
            std::memcpy(shifted.PixelAt(x, y), tile.PixelAt(x, (y + 30) % 120), 4);
    const SeamScores s = Measure(shifted);
    EXPECT_GT(s.leftRight.score, 1.0);
    EXPECT_EQ(s.topBottom.score, 0);
    EXPECT_GT(s.overall.score, 0.4);
    EXPECT_LT(s.overall.score, s.leftRight.score);
}

TEST(SeamMeter, ScoresFallAsTheSeamIsMendedWithTheContinuation) {
    // A tile cut from a photograph does not wrap; the cross-border cloner paints the
    // photograph's continuation beyond one edge over the other side, fading inwards.
    CDIBSection2 photo, tile;
    test::MakePhotoLike(photo, 600, 500);
    const int x0 = 150, y0 = 120, w = 256, h = 200;
    Cut(photo, x0, y0, w, h, tile);
    const SeamScores before = Measure(tile);
    EXPECT_GT(before.leftRight.score, 0.5);
    EXPECT_GT(before.topBottom.score, 0.5);

    // Columns 0 .. reach - 1 of rows 0 .. rows - 1 take the columns right of the
    // tile, fully at the wrap.
    auto mend = [&](int reach, int rows) {
        CDIBSection2 mended;
        mended.Copy(&tile);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < reach; ++x) {
                const double weight = 1.0 - double(x) / reach;
                const std::uint8_t* c = photo.PixelAt(x0 + w + x, y0 + y);
                std::uint8_t* p = mended.PixelAt(x, y);
                for (int k = 0; k < 3; ++k)
                    p[k] = std::uint8_t(std::lround(c[k] * weight + p[k] * (1 - weight)));
            }
        return Measure(mended);
    };
    for (int reach : {4, 16, 48}) {
        const SeamScores after = mend(reach, h);
        EXPECT_LT(after.leftRight.score, 0.1 * before.leftRight.score) << "reach " << reach;
        EXPECT_LT(after.overall.score, before.overall.score);
        // The other seam is not touched but at its ends.
        EXPECT_NEAR(after.topBottom.score, before.topBottom.score, 0.1 * before.topBottom.score);
    }
    // Half the seam mended: the score falls part of the way.
    const SeamScores half = mend(16, h / 2);
    EXPECT_GT(half.leftRight.score, 0.15 * before.leftRight.score);
    EXPECT_LT(half.leftRight.score, 0.85 * before.leftRight.score);
}

TEST(SeamMeter, HeatFollowsThePartOfTheSeamThatShows) {
    CDIBSection2 tile;
    MakeWrappingTexture(tile, 100, 120, 9, 4);
    // A step across the wrap in rows 40 .. 79 only: the right half brightened there.
    for (int y = 40; y < 80; ++y)
        for (int x = 50; x < 100; ++x) {
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::min(255, p[c] + 70));
        }
    CSeamMeter meter;
    meter.Measure(tile);
    const std::vector<float>& heat = meter.LeftRightHeat();
    ASSERT_EQ(heat.size(), 120u);
    ASSERT_EQ(meter.TopBottomHeat().size(), 100u);
    for (int y = 0; y < 120; ++y) {
        const float value = heat[std::size_t(y)];
        // The heat is smoothed over up to 8 rows each way.
        if (y >= 50 && y < 70) {
            EXPECT_GT(value, 0.9f) << y;
        } else if (y < 30 || y >= 90) {
            EXPECT_LT(value, 0.35f) << y;
        }
    }
    // The strips carry the heat's colours, row for row.
    CDIBSection2 leftRight, topBottom;
    RenderSeamStrips(meter, leftRight, topBottom);
    ASSERT_EQ(leftRight.GetWidth(), 1);
    ASSERT_EQ(leftRight.GetHeight(), 120);
    EXPECT_EQ(topBottom.GetWidth(), 100);
    std::uint8_t hot[4], cool[4];
    SeamHeatColour(heat[60], hot);
    SeamHeatColour(heat[10], cool);
    EXPECT_EQ(std::memcmp(leftRight.PixelAt(0, 60), hot, 4), 0);
    EXPECT_EQ(std::memcmp(leftRight.PixelAt(0, 10), cool, 4), 0);
    EXPECT_GT(hot[2], hot[1]);   // red
    EXPECT_GT(cool[1], cool[2]); // green
    EXPECT_GT(hot[3], cool[3]);
}

TEST(SeamMeter, MapShowsTheWrapInTheMiddle) {
    CDIBSection2 tile, map;
    MakeWrappingTexture(tile, 128, 128, 2, 4);
    // The right half redder: a red step across the wrap.
    for (int y = 0; y < 128; ++y)
        for (int x = 64; x < 128; ++x) tile.PixelAt(x, y)[2] = 255;
    CSeamMeter meter;
    meter.Measure(tile);
    RenderSeamMap(tile, meter, map);
    ASSERT_EQ(map.GetWidth(), 128);
    ASSERT_EQ(map.GetHeight(), 128);
    // The band along the left/right seam runs down the middle columns and is red; far
    // from both seams the map is gray.
    const std::uint8_t* band = map.PixelAt(64, 20);
    EXPECT_GT(band[2], 200);
    EXPECT_LT(band[0], 60);
    const std::uint8_t* away = map.PixelAt(20, 20);
    EXPECT_EQ(away[0], away[2]);
    // Too small to measure: no map.
    CDIBSection2 tiny;
    tiny.Create(2, 2, 32, true);
    meter.Measure(tiny);
    EXPECT_FALSE(meter.Scores().leftRight.measured);
    RenderSeamMap(tiny, meter, map);
    EXPECT_TRUE(map.IsEmpty());
}

TEST(RepetitionMeasure, BlotchesAndGradientsRepeatGrainDoesNot) {
    // Grain only: nothing of it is left from afar.
    CDIBSection2 grain;
    grain.Create(256, 256, 32, true);
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(128, 30);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 4; ++c)
                grain.PixelAt(x, y)[c] = std::uint8_t(std::clamp(noise(rng), 0.0, 255.0));
    const double plain = MeasureRepetition(grain);
    EXPECT_LT(plain, 0.05);

    double last = plain;
    for (double amplitude : {20.0, 50.0, 100.0}) {
        CDIBSection2 blotched;
        blotched.Copy(&grain);
        AddBlotch(blotched, 70, 180, 30, amplitude);
        const double r = MeasureRepetition(blotched);
        EXPECT_GT(r, last + 0.05) << amplitude;
        last = r;
    }
    EXPECT_GT(last, 0.4);
    // Light from one side repeats as strongly.
    CDIBSection2 lit;
    lit.Copy(&grain);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c)
                lit.PixelAt(x, y)[c] = std::uint8_t(lit.PixelAt(x, y)[c] * (0.4 + x / 400.0));
    EXPECT_GT(MeasureRepetition(lit), 0.5);

    // A flat tile has no variation to share out.
    CDIBSection2 flat;
    flat.Create(64, 64, 32, true);
    flat.FillOpaque(MakeColorRef(1, 2, 3));
    EXPECT_EQ(MeasureRepetition(flat), 0);
}

TEST(RepetitionMeasure, FlatteningTheLightLowersIt) {
    CDIBSection2 tile;
    MakeWrappingTexture(tile, 256, 192, 8, 20);
    AddBlotch(tile, 60, 60, 40, 70);
    const double before = MeasureRepetition(tile);
    for (FlattenLightMode mode : {FlattenLightMode::Divide, FlattenLightMode::Subtract}) {
        CDIBSection2 flat;
        flat.Copy(&tile);
        ASSERT_TRUE(FlattenLight(flat, {0, mode}));
        EXPECT_LT(MeasureRepetition(flat), 0.6 * before);
        // Flattening a wrapping tile keeps it wrapping.
        EXPECT_EQ(Measure(flat).overall.score, 0);
    }
    // A texture of stones as large as the seam's surroundings stays seamless too.
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        CDIBSection2 stones;
        MakeStones(stones, 180, 140, seed);
        ASSERT_EQ(Measure(stones).overall.score, 0);
        ASSERT_TRUE(FlattenLight(stones));
        EXPECT_LT(Measure(stones).overall.score, 0.02) << seed;
    }
    // So with tiles the wizard makes seamless from a photograph lit from one side.
    CDIBSection2 photo, wizardTile;
    test::MakePhotoLike(photo, 600, 500);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 600; ++x)
            for (int c = 0; c < 3; ++c)
                photo.PixelAt(x, y)[c] = std::uint8_t(photo.PixelAt(x, y)[c] * (0.6 + x / 1000.0));
    for (int mode : {kTileEffectWash, kTileEffectMandalay}) {
        ComputeTile(photo, {100, 400, 300, 300}, mode, wizardTile);
        ASSERT_EQ(Measure(wizardTile).overall.score, 0);
        const double lit = MeasureRepetition(wizardTile);
        ASSERT_TRUE(FlattenLight(wizardTile));
        EXPECT_LT(Measure(wizardTile).overall.score, 0.02) << mode;
        EXPECT_LT(MeasureRepetition(wizardTile), lit) << mode;
    }
}

TEST(TileSheet, SheetsRepeatTheTileAndTheHalfOffsetWraps) {
    CDIBSection2 tile, sheet, moved, back;
    test::MakePatternPicture(tile, 7, 5, 3);
    ASSERT_EQ(RepeatTile(tile, 3, 2, false, sheet), RepeatResult::Done);
    ASSERT_EQ(sheet.GetWidth(), 21);
    ASSERT_EQ(sheet.GetHeight(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 21; ++x)
            ASSERT_EQ(std::memcmp(sheet.PixelAt(x, y), tile.PixelAt(x % 7, y % 5), 4), 0);

    // Moved by half: the tile's first column and top row come to the middle.
    ASSERT_EQ(RepeatTile(tile, 1, 1, true, moved), RepeatResult::Done);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(std::memcmp(moved.PixelAt((x + 3) % 7, y), tile.PixelAt(x, (y + 2) % 5), 4),
                      0);
    // An even tile moved twice is back where it was.
    CDIBSection2 even;
    test::MakePatternPicture(even, 8, 6, 4);
    ASSERT_EQ(RepeatTile(even, 1, 1, true, moved), RepeatResult::Done);
    ASSERT_EQ(RepeatTile(moved, 1, 1, true, back), RepeatResult::Done);
    EXPECT_TRUE(test::SamePixels(even, back));

    // Refusals leave the output alone.
    sheet.Copy(&tile);
    EXPECT_EQ(RepeatTile(tile, 0, 2, false, sheet), RepeatResult::BadCount);
    EXPECT_EQ(RepeatTile(tile, 10000, 10000, false, sheet), RepeatResult::TooLarge);
    EXPECT_EQ(RepeatTile(tile, 3, 1 << 30, false, sheet), RepeatResult::TooLarge);
    EXPECT_TRUE(test::SamePixels(sheet, tile));
    CDIBSection2 empty;
    empty.MakeEmpty();
    EXPECT_EQ(RepeatTile(empty, 1, 1, false, sheet), RepeatResult::NotAPicture);
}
