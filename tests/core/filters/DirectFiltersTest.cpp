#include "core/filters/DirectFilters.h"
#include "core/image/DIBSection2.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace quiltara;

namespace {

std::vector<std::uint8_t> Flat(int w, int h, std::uint8_t v) {
    std::vector<std::uint8_t> p(std::size_t(w) * h * 4, v);
    for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 1;
    return p;
}

std::vector<std::uint8_t> Pattern(int w, int h, std::uint32_t seed = 4) {
    CDIBSection2 pic;
    test::MakePatternPicture(pic, w, h, seed);
    return {pic.GetBits(), pic.GetBits() + pic.PixelBytes()};
}

int& Byte(std::vector<int>& v, int w, int x, int y) {
    return v[std::size_t(y) * w + x];
}

} // namespace

TEST(DirectFilters, UniformPicturesStayAsTheyAre) {
    using Filter = void (*)(std::uint8_t*, int, int);
    for (Filter f : {Filter(Blur), Filter(BlurMore), Filter(Sharpen), Filter(SharpenMore),
                     Filter(MedianCutRepeatEdge)}) {
        auto p = Flat(7, 5, 140);
        const auto before = p;
        f(p.data(), 7, 5);
        EXPECT_EQ(p, before);
    }
}

TEST(DirectFilters, BlurMoreIsTheMeanOfTheNeighboursInMemoryOrder) {
    // A second implementation on one channel: in place, rows from memory row 0,
    // edges repeated.
    const int w = 6, h = 5;
    const auto src = Pattern(w, h);
    for (int amount : {100, 50}) {
        std::vector<int> plane(std::size_t(w) * h);
        for (int i = 0; i < w * h; ++i) plane[std::size_t(i)] = src[std::size_t(i) * 4 + 1];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int s8 = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                        if (i || j)
                            s8 += Byte(plane, w, std::clamp(x + i, 0, w - 1),
                                       std::clamp(y + j, 0, h - 1));
                const double k = amount * 0.01;
                Byte(plane, w, x, y) = int(k * (s8 >> 3) + (1 - k) * Byte(plane, w, x, y));
            }
        auto p = src;
        BlurSharpenRepeatEdge(p.data(), w, h, amount, BlurSharpenMode::Blur);
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(p[std::size_t(i) * 4 + 1], plane[std::size_t(i)]) << amount << " at " << i;
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(p[std::size_t(i) * 4 + 3], src[std::size_t(i) * 4 + 3]);
    }
    // First pixel of Blur More: its eight neighbours (edge repeated), the pixel itself not counted.
    std::vector<std::uint8_t> tiny = {0,   0,   0,   0, 80,  80,  80,  0,
                                      160, 160, 160, 0, 240, 240, 240, 0};
    BlurMore(tiny.data(), 2, 2);
    // Neighbours of (0,0) in a 2 x 2 picture: (0,0) x3, (1,0) x2, (0,1) x2, (1,1) x1 minus the
    // centre.
    EXPECT_EQ(tiny[0], (0 * 2 + 80 * 2 + 160 * 2 + 240) / 8);
}

TEST(DirectFilters, SharpenFormula) {
    std::vector<std::uint8_t> p = {100, 100, 100, 0, 100, 100, 100, 0, 100, 100, 100, 0,
                                   100, 100, 100, 0, 200, 200, 200, 0, 100, 100, 100, 0,
                                   100, 100, 100, 0, 100, 100, 100, 0, 100, 100, 100, 0};
    Sharpen(p.data(), 3, 3);
    // The first pixels have unchanged neighbours: 100 - 0.05 * (100*7 + 200 - 800) = 95.
    EXPECT_EQ(p[0], 95);
    // The centre sees 0.05 * (S8 - 1600) less; S8 now holds the filtered pixels before it.
}

TEST(DirectFilters, MedianTakesTheFifthValue) {
    // One bright pixel in a dark 3 x 3: the median removes it; a 2-pixel line stays
    // where its neighbourhood holds enough of it.
    auto p = Flat(3, 3, 10);
    p[4 * 4] = 250;
    MedianCutRepeatEdge(p.data(), 3, 3);
    EXPECT_EQ(p[4 * 4], 10);
    std::vector<std::uint8_t> line = {0, 0, 0, 0, 9, 9, 9, 0, 3, 3, 3, 0};
    MedianCutRepeatEdge(line.data(), 3, 1);
    // Pixel 0: rows repeat: {0,0,9} x3 -> median 0; pixel 1: {0,9,3} x3 -> 3; pixel 2: {9,3,3}
    // -> 3.
    EXPECT_EQ(line[0], 0);
    EXPECT_EQ(line[4], 3);
    EXPECT_EQ(line[8], 3);
}

TEST(DirectFilters, DespeckleLowersASpeckAndDarkensABrightBorder) {
    auto p = Flat(9, 9, 50);
    p[(4 * 9 + 4) * 4 + 1] = 250;
    Despeckle(p.data(), 9, 9);
    EXPECT_LT(p[(4 * 9 + 4) * 4 + 1], 250);
    EXPECT_EQ(p[(4 * 9 + 4) * 4 + 3], 1);

    for (std::uint8_t level : {200, 255}) {
        auto bright = Flat(9, 9, level);
        Despeckle(bright.data(), 9, 9);
        EXPECT_LT(bright[0], level);               // corner, next to the zero frame
        EXPECT_EQ(bright[(4 * 9 + 4) * 4], level); // the middle is far from the frame
    }
}

TEST(DirectFilters, ThermoPaletteAndLookup) {
    const auto pal = ThermoPalette();
    // Blue peaks at t = 0.2, with a steeper flank below it.
    EXPECT_NEAR(pal[52][2], int(255 * std::exp(-std::pow((52 / 256.0 - 0.2) * 3.3333333, 4))), 1);
    EXPECT_NEAR(pal[40][2], int(255 * std::exp(-std::pow((0.2 - 40 / 256.0) * 4.1666665, 4))), 1);
    EXPECT_NEAR(pal[40][1], int(255 * std::exp(-std::pow((40 / 256.0 - 0.5) * 3.3333333, 4))), 1);
    EXPECT_EQ(pal[128][1], 255); // t = 0.5: green at its peak
    EXPECT_GT(pal[205][0], 250); // t = 0.8: red
    EXPECT_LT(pal[0][0], 5);
    std::vector<std::uint8_t> p = {0, 0, 0, 7, 255, 255, 255, 7};
    ThermoVision(p.data(), 2, 1);
    EXPECT_EQ(p[2], pal[0][0]);
    EXPECT_EQ(p[0], pal[0][2]);
    EXPECT_EQ(p[6], pal[254][0]); // white: 255 * 255 >> 8 = 254
    EXPECT_EQ(p[7], 7);
}

TEST(DirectFilters, AutoCleanSkinMixesByBrightness) {
    auto flat = Flat(16, 16, 255);
    AutoCleanSkin(flat.data(), 16, 16);
    // Far from the frame despeckle leaves 255, f = 254: (255 * 254 + 255 * 1) >> 8.
    EXPECT_EQ(flat[(8 * 16 + 8) * 4], (255 * 254 + 255 * 1) >> 8);
    auto black = Flat(4, 4, 0);
    AutoCleanSkin(black.data(), 4, 4);
    EXPECT_EQ(black, Flat(4, 4, 0));
    auto p = Pattern(10, 8);
    AutoCleanSkin(p.data(), 10, 8); // runs on noise without trouble
}
