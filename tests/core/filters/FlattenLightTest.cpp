// Light flattening: the light goes, the mean and the grain stay, and the wrap holds.
#include "core/filters/FlattenLight.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace quiltara;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Grain (each channel its own) under light that brightens towards the tile's middle
// column and fades out to both edges again, so that the tile still wraps.
void MakeLitGrain(CDIBSection2& tile, int w, int h, double light, std::uint32_t seed = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> grain(0, 12);
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double gain = 1 - light * std::cos(kTwoPi * x / w);
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp((100 + 20 * c + grain(rng)) * gain, 0.0, 255.0));
            p[3] = std::uint8_t(x + y);
        }
}

// Mean of one channel over a band of columns.
double ColumnMean(const CDIBSection2& pic, int x0, int x1, int c) {
    double sum = 0;
    for (int y = 0; y < pic.GetHeight(); ++y)
        for (int x = x0; x < x1; ++x) sum += pic.PixelAt(x, y)[c];
    return sum / (double(x1 - x0) * pic.GetHeight());
}

double Mean(const CDIBSection2& pic, int c) {
    return ColumnMean(pic, 0, pic.GetWidth(), c);
}

} // namespace

TEST(FlattenLight, TakesTheLightOutAndKeepsTheMeanAndTheGrain) {
    CDIBSection2 lit, unlit;
    MakeLitGrain(lit, 192, 128, 0.4);
    MakeLitGrain(unlit, 192, 128, 0);
    for (FlattenLightMode mode : {FlattenLightMode::Divide, FlattenLightMode::Subtract}) {
        CDIBSection2 flat;
        flat.Copy(&lit);
        ASSERT_TRUE(FlattenLight(flat, {0, mode}));
        for (int c = 0; c < 3; ++c) {
            // Dark edges and a bright middle before; level after.
            const double edge = ColumnMean(lit, 0, 12, c), middle = ColumnMean(lit, 90, 102, c);
            EXPECT_GT(middle - edge, 50);
            const double edgeAfter = ColumnMean(flat, 0, 12, c);
            const double middleAfter = ColumnMean(flat, 90, 102, c);
            EXPECT_LT(std::abs(middleAfter - edgeAfter), 0.1 * (middle - edge)) << c;
            EXPECT_NEAR(Mean(flat, c), Mean(lit, c), mode == FlattenLightMode::Subtract ? 0.5 : 3);
        }
        // Grain: dividing gives back the grain as it was before the light fell on it,
        // subtracting keeps it as lit. Alpha is untouched.
        const CDIBSection2& grain = mode == FlattenLightMode::Divide ? unlit : lit;
        double before = 0, after = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 191; ++x) {
                before += std::abs(grain.PixelAt(x + 1, y)[1] - grain.PixelAt(x, y)[1]);
                after += std::abs(flat.PixelAt(x + 1, y)[1] - flat.PixelAt(x, y)[1]);
                ASSERT_EQ(flat.PixelAt(x, y)[3], lit.PixelAt(x, y)[3]);
            }
        EXPECT_NEAR(after / before, 1.0, 0.05);
    }
}

TEST(FlattenLight, WrapsAroundTheTile) {
    CDIBSection2 lit, flat;
    MakeLitGrain(lit, 160, 120, 0.3, 5);
    flat.Copy(&lit);
    ASSERT_TRUE(FlattenLight(flat));
    // The light across the edge is the same on both sides of it.
    CLightField field;
    ASSERT_TRUE(field.Measure(lit));
    EXPECT_FALSE(field.HasSlope());
    for (int y : {0, 37, 119}) {
        double last[3], first[3];
        field.LightAt(159, y, last);
        field.LightAt(0, y, first);
        field.LightAt(160, y, first); // the same point once more, from beyond the edge
        double again[3];
        field.LightAt(0, y, again);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(last[c], first[c], 1.0);
            EXPECT_DOUBLE_EQ(first[c], again[c]);
        }
    }
    // Anything laid in step with the tile is corrected as the tile is: three by three
    // copies of the tile, corrected from the middle copy's corner, are three by three
    // copies of the flattened tile.
    CDIBSection2 sheet;
    sheet.Create(480, 360, 32, true);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 480; ++x)
            std::memcpy(sheet.PixelAt(x, y), lit.PixelAt(x % 160, y % 120), 4);
    field.Apply(sheet, 160, 120);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 480; ++x)
            ASSERT_EQ(std::memcmp(sheet.PixelAt(x, y), flat.PixelAt(x % 160, y % 120), 4), 0)
                << x << "," << y;
    // And from any other corner, shifted accordingly.
    CDIBSection2 shifted;
    shifted.Create(160, 120, 32, true);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            std::memcpy(shifted.PixelAt(x, y), lit.PixelAt((x + 33) % 160, (y + 7) % 120), 4);
    field.Apply(shifted, -33, -7);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(
                std::memcmp(shifted.PixelAt(x, y), flat.PixelAt((x + 33) % 160, (y + 7) % 120), 4),
                0);
}

TEST(FlattenLight, LightFromOneSideIsTakenOutToo) {
    // Light that grows from the left edge to the right one: the tile steps across its
    // wrap, which a wrapping blur alone cannot mend.
    std::mt19937 rng(3);
    std::normal_distribution<double> grain(0, 8);
    CDIBSection2 lit;
    lit.Create(200, 150, 32, true);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            std::uint8_t* p = lit.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp(
                    (110 + grain(rng)) * (0.6 + 0.8 * x / 200.0) + 0.2 * y * (c == 2), 0.0, 255.0));
            p[3] = 255;
        }
    for (FlattenLightMode mode : {FlattenLightMode::Divide, FlattenLightMode::Subtract}) {
        CDIBSection2 flat;
        flat.Copy(&lit);
        CLightField field;
        ASSERT_TRUE(field.Measure(flat, {0, mode}));
        EXPECT_TRUE(field.HasSlope());
        field.Apply(flat);
        for (int c = 0; c < 3; ++c) {
            const double left = ColumnMean(flat, 0, 10, c), middle = ColumnMean(flat, 95, 105, c);
            const double right = ColumnMean(flat, 190, 200, c);
            EXPECT_NEAR(left, middle, 3) << c;
            EXPECT_NEAR(right, middle, 3) << c;
            EXPECT_NEAR(Mean(flat, c), Mean(lit, c), 2) << c;
        }
        // Red also grew from the bottom up; now the bottom and top rows agree.
        double bottom = 0, top = 0;
        for (int x = 0; x < 200; ++x) {
            bottom += flat.PixelAt(x, 0)[2] + flat.PixelAt(x, 1)[2];
            top += flat.PixelAt(x, 148)[2] + flat.PixelAt(x, 149)[2];
        }
        EXPECT_NEAR(bottom / 400, top / 400, 3);
    }
}

TEST(FlattenLight, EvenLightAndOddInputs) {
    // A blur wider than the tile sees only the mean: nothing changes.
    CDIBSection2 lit, copy;
    MakeLitGrain(lit, 64, 48, 0.3);
    copy.Copy(&lit);
    ASSERT_TRUE(FlattenLight(copy, {1e5, FlattenLightMode::Divide}));
    EXPECT_TRUE(test::SamePixels(copy, lit));
    // Dark light does not blow the grain up: gains are held to 4. Far from a bright
    // band the light is 2, the mean about 33.
    CDIBSection2 dark;
    dark.Create(64, 64, 32, true);
    dark.FillOpaque(MakeColorRef(2, 2, 2));
    for (int y = 0; y < 64; ++y)
        for (int x = 20; x < 28; ++x) std::memset(dark.PixelAt(x, y), 250, 3);
    ASSERT_TRUE(FlattenLight(dark, {4, FlattenLightMode::Divide}));
    EXPECT_EQ(dark.PixelAt(52, 20)[1], 8);
    // One pixel, an empty and a non-32-bit picture.
    CDIBSection2 one;
    one.Create(1, 1, 32, true);
    one.FillOpaque(MakeColorRef(10, 20, 30));
    ASSERT_TRUE(FlattenLight(one));
    EXPECT_EQ(one.PixelAt(0, 0)[0], 30);
    CDIBSection2 empty, gray;
    empty.MakeEmpty();
    EXPECT_FALSE(FlattenLight(empty));
    gray.Create(8, 8, 8, false);
    EXPECT_FALSE(FlattenLight(gray));
    CLightField field;
    EXPECT_FALSE(field.Measure(gray));
    field.Apply(lit); // an empty field changes nothing
    EXPECT_TRUE(test::SamePixels(copy, lit));
}
