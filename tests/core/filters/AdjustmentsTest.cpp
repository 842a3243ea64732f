#include "core/filters/AdjustDispatcher.h"
#include "core/filters/ChannelLut.h"
#include "core/filters/LevelsModel.h"
#include "core/filters/ToneAdjustments.h"
#include "core/image/DIBSection2.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace quiltara;

namespace {

// Memory order blue, green, red, alpha.
std::vector<std::uint8_t> Pixels(std::initializer_list<std::array<int, 3>> rgb) {
    std::vector<std::uint8_t> p;
    for (const auto& c : rgb)
        p.insert(p.end(), {std::uint8_t(c[2]), std::uint8_t(c[1]), std::uint8_t(c[0]), 77});
    return p;
}

std::vector<std::uint8_t> Pattern(int w, int h, std::uint32_t seed = 9) {
    CDIBSection2 pic;
    test::MakePatternPicture(pic, w, h, seed);
    return {pic.GetBits(), pic.GetBits() + pic.PixelBytes()};
}

} // namespace

TEST(ToneAdjustments, DesaturateNegativeSepia) {
    auto p = Pixels({{255, 255, 255}, {0, 0, 0}, {200, 100, 50}});
    Sepia(p.data(), 3, 1);
    EXPECT_EQ(p, Pixels({{255, 254, 224}, {30, 0, 0}, {31650 / 256 + 30, 123, 93}}));

    p = Pixels({{200, 100, 50}});
    Desaturate(p.data(), 1, 1);
    const int g = (76 * 200 + 150 * 100 + 29 * 50) >> 8;
    EXPECT_EQ(p, Pixels({{g, g, g}}));

    p = Pixels({{200, 100, 0}});
    Negative(p.data(), 1, 1);
    EXPECT_EQ(p, Pixels({{55, 155, 255}}));
}

TEST(ToneAdjustments, AutoLevelsStretchesAndLeavesOneLevelAlone) {
    EXPECT_NEAR(AutoLevelsClip(0.05), 12 * 100.0 / 255, 1e-12);
    EXPECT_NEAR(AutoLevelsClip(0.02), 5 * 100.0 / 255, 1e-12);

    // One luminance: a small picture finds the black point at bin 0 (nothing to clip),
    // a large one finds black = white; both stay as they were.
    for (int side : {2, 40}) {
        std::vector<std::uint8_t> flat(std::size_t(side) * side * 4, 90);
        const auto before = flat;
        EXPECT_FALSE(AutoLevels(flat.data(), side, side, AutoLevelsClip(0.05)).changed) << side;
        EXPECT_EQ(flat, before) << side;
    }

    // Grey levels 100 and 150, half each. 4 pixels: lowCount 0 (bin 0), highCount
    // trunc(4 * 0.9529) = 3: first reached at 150. lo = 0, hi = 150.
    auto two = Pixels({{100, 100, 100}, {100, 100, 100}, {150, 150, 150}, {150, 150, 150}});
    const AutoLevelsResult r = AutoLevels(two.data(), 2, 2, AutoLevelsClip(0.05));
    EXPECT_EQ(r.lo, 0);
    EXPECT_EQ(r.hi, 150);
    ASSERT_TRUE(r.changed);
    // Y' = trunc((Y - 0) * 255 / 150); each channel moves by Y' - Y.
    EXPECT_EQ(two, Pixels({{170, 170, 170}, {170, 170, 170}, {255, 255, 255}, {255, 255, 255}}));

    // Luminances 103, 11, 203, 0: lo = 0, hi = 103. The second pixel: Y' =
    // trunc(11 * 255 / 103) = 27, every channel + 16, colour differences kept.
    auto colour = Pixels({{120, 100, 80}, {20, 10, 0}, {220, 200, 180}, {0, 0, 0}});
    const AutoLevelsResult c = AutoLevels(colour.data(), 2, 2, AutoLevelsClip(0.05));
    EXPECT_EQ(c.hi, 103);
    EXPECT_EQ(colour[4 + 2], 36);
    EXPECT_EQ(colour[4 + 1], 26);
    EXPECT_EQ(colour[4 + 0], 16);
}

TEST(ToneAdjustments, EqualizeSpreadsTheUpperValuesAndKeepsZeroToTwelve) {
    auto p = Pixels({{0, 12, 13}, {5, 100, 13}, {12, 100, 200}, {200, 13, 200}});
    Equalize(p.data(), 2, 2);
    // Red: counted values 200 (1 pixel) -> 255; 0, 5, 12 stay.
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[6], 5);
    EXPECT_EQ(p[10], 12);
    EXPECT_EQ(p[14], 255);
    // Green: 12 stays; counted 13 (1) and 100 (2): 13 -> 85, 100 -> 255.
    EXPECT_EQ(p[1], 12);
    EXPECT_EQ(p[5], 255);
    EXPECT_EQ(p[9], 255);
    EXPECT_EQ(p[13], 85);
    // Blue: 13 (2), 200 (2): 13 -> 127, 200 -> 255.
    EXPECT_EQ(p[0], 127);
    EXPECT_EQ(p[4], 127);
    EXPECT_EQ(p[8], 255);
    EXPECT_EQ(p[12], 255);

    auto dark = Pattern(16, 16);
    for (std::size_t i = 0; i < dark.size(); ++i) dark[i] %= 13;
    const auto before = dark;
    Equalize(dark.data(), 16, 16);
    EXPECT_EQ(dark, before);
}

TEST(ChannelLut, NeutralSettingsAreIdentities) {
    EXPECT_TRUE(BrightnessContrastLut(0, 0).IsIdentity(0));
    EXPECT_TRUE(BrightnessContrastLut(0, 0).IsIdentity(2));
    EXPECT_TRUE(GammaLut(100).IsIdentity(1));
    EXPECT_TRUE(RgbCurvesLut(100, 100, 100).IsIdentity(0));
    LevelsChannel neutral[3];
    EXPECT_TRUE(LevelsLut(neutral).IsIdentity(2));
    const auto hs = MakeHueSaturationTables(180, 100, 100);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(hs.hue[i], i);
        EXPECT_EQ(hs.lightness[i], i);
        EXPECT_EQ(hs.saturation[i], i);
    }
}

TEST(ChannelLut, CurveTablesWithNumbers) {
    EXPECT_EQ(CurveEntry(0.5), 128); // 127.5 + 0.5
    EXPECT_EQ(CurveEntry(-1), 0);
    EXPECT_EQ(CurveEntry(2), 255);

    EXPECT_DOUBLE_EQ(GammaFromPosition(0), 0.1);
    EXPECT_DOUBLE_EQ(GammaFromPosition(200), 3.0);
    EXPECT_NEAR(GammaFromPosition(50), 0.1 + 50 * 0.00909090909090909, 1e-15);
    // Gamma at 0: x^(1/0.1) = x^10.
    const ChannelLut g0 = GammaLut(0);
    EXPECT_EQ(g0.table[0][128], int(255 * std::pow(128 / 255.0, 10) + 0.5));
    EXPECT_EQ(g0.table[0][255], 255);

    // Brightness 127 (b = 0.498): x = 0 gives r = 0.498, h = 0.498, e = 1, y = 0.498.
    EXPECT_EQ(BrightnessContrastLut(127, 0).table[0][0], 127);
    // Contrast 127: c = 1 > 0.9, e = 10: 0.25 -> (0.5)^10 / 2.
    EXPECT_EQ(BrightnessContrastLut(0, 127).table[0][64],
              int(255 * std::pow(2 * 64 / 255.0, 10) / 2 + 0.5));
    EXPECT_EQ(BrightnessContrastLut(0, 127).table[0][200],
              int(255 * (1 - std::pow(2 * (1 - 200 / 255.0), 10) / 2) + 0.5));
    // Contrast -127: e = 0, every value goes to 0.5 (m = 1/2).
    EXPECT_EQ(BrightnessContrastLut(0, -127).table[0][10], 128);

    // Curves: k = 2 (position 150) on red: 1 - (1 - x)^2; blue stays.
    const ChannelLut curves = RgbCurvesLut(150, 100, 100);
    EXPECT_EQ(curves.table[2][128], int(255 * (1 - std::pow(1 - 128 / 255.0, 2)) + 0.5));
    EXPECT_TRUE(curves.IsIdentity(0));

    // Levels: input 50..200 to output 0..255.
    EXPECT_NEAR(LevelsCurve(125 / 255.0, 50, 200, 0, 255, 1), 0.5, 1e-12);
    EXPECT_NEAR(LevelsCurve(0, 50, 200, 0, 255, 1), -50.0 / 150, 1e-12);
    EXPECT_NEAR(LevelsCurve(0.25, 0, 255, 0, 255, 0.5), 0.0625, 1e-12);
    // Equal input black and white: no division.
    EXPECT_NEAR(LevelsCurve(1, 100, 100, 0, 255, 1), 155, 1e-12);
}

TEST(ChannelLut, AppliesBlueGreenRedTablesAndKeepsAlpha) {
    ChannelLut lut;
    lut.SetCurve(0, [](double) { return 0.0; }); // blue
    lut.SetCurve(2, [](double) { return 1.0; }); // red
    auto p = Pixels({{10, 20, 30}});
    lut.Apply32(p.data(), 1, 1);
    EXPECT_EQ(p, Pixels({{255, 20, 0}}));
    std::vector<std::uint8_t> rgb = {10, 20, 30};
    lut.Apply24(rgb.data(), 1, 1);
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{0, 20, 255}));
}

TEST(HueSaturation, TablesAndConversions) {
    // Hue +180 positions: shift trunc(180 * 0.70833) = 127, wrapping past 255.
    const auto t = MakeHueSaturationTables(360, 200, 0);
    EXPECT_EQ(t.hue[0], 127);
    EXPECT_EQ(t.hue[200], 200 + 127 - 255);
    // Lightness -100: f = -127: i * 128 / 255.
    EXPECT_EQ(t.lightness[255], 128);
    EXPECT_EQ(t.lightness[100], 100 * 128 / 255);
    // Saturation +100: s = trunc(100 * 2.55) = 254 in double: i * 509 / 255 capped at 255.
    EXPECT_EQ(t.saturation[100], 100 * 509 / 255);
    EXPECT_EQ(t.saturation[200], 255);
    EXPECT_EQ(MakeHueSaturationTables(180, 100, 200).lightness[0], 127); // f = 127

    Hls red = RgbToHls(255, 0, 0);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(red.l, 127);
    EXPECT_EQ(red.s, 255);
    Hls green = RgbToHls(0, 255, 0);
    EXPECT_EQ(green.h, 85);
    Hls blue = RgbToHls(0, 0, 255);
    EXPECT_EQ(blue.h, 170);
    EXPECT_EQ(RgbToHls(90, 90, 90).s, 0);
    int r, g, b;
    HlsToRgb(Hls{0, 127, 255}, r, g, b);
    // m2 = 127 * 510 / 65025 = 0.996, m1 = 0.0; red at t = 85 gets 255 m2.
    EXPECT_EQ(r, int(255 * (127.0 * 510 / 65025)));
    EXPECT_EQ(b, 0);
    HlsToRgb(Hls{10, 60, 0}, r, g, b);
    EXPECT_EQ(r, 60);
    EXPECT_EQ(g, 60);
    EXPECT_EQ(b, 60);
}

TEST(Levels, ModelRules) {
    auto p = Pixels({{10, 20, 30}, {200, 100, 0}});
    CLevelsModel m(p.data(), 2, 1);
    EXPECT_EQ(m.GetHistograms().channel[0][10], 1u);
    EXPECT_EQ(m.GetHistograms().channel[2][0], 1u);
    // Intensity counts each pixel at max and at the mean: 30, 20, 200, 100.
    EXPECT_EQ(m.GetHistograms().intensity[30], 1u);
    EXPECT_EQ(m.GetHistograms().intensity[20], 1u);
    EXPECT_EQ(m.GetHistograms().intensity[200], 1u);
    EXPECT_EQ(m.GetHistograms().intensity[100], 1u);

    m.Select(CLevelsModel::kGreen);
    m.SetInputWhite(300);
    EXPECT_EQ(m.Shown().inWhite, 255);
    m.SetInputBlack(-5);
    EXPECT_EQ(m.Shown().inBlack, 0);
    m.SetInputBlack(40);
    EXPECT_EQ(m.Channel(1).inBlack, 40);
    EXPECT_EQ(m.Channel(0).inBlack, 0);
    m.SetGamma(0);
    EXPECT_DOUBLE_EQ(m.Shown().gamma, 0.1);
    m.Select(CLevelsModel::kRGB);
    m.SetOutputWhite(200);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.Channel(c).outWhite, 200);
    EXPECT_EQ(&m.ShownHistogram(), &m.GetHistograms().intensity);

    // A highlight darker than the shadow sets black one below white.
    m.PickShadow(100, 100, 100);
    m.PickHighlights(50, 150, 20);
    EXPECT_EQ(m.Channel(0).inBlack, 49);
    EXPECT_EQ(m.Channel(1).inBlack, 100);
    EXPECT_EQ(m.Channel(2).inBlack, 19);
    EXPECT_EQ(m.Lut().table[1][150], 200); // green: white 150 maps to output white 200
    EXPECT_EQ(std::string(CLevelsModel::SelectionName(4)), "Intensity");
}

TEST(Dispatcher, OperationTableAndNames) {
    ASSERT_EQ(AdjustOperations().size(), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(AdjustOperations()[i].number, i);
    EXPECT_EQ(FindAdjustOperation("sepia"), 12);
    EXPECT_EQ(FindAdjustOperation("Gama..."), 17);
    EXPECT_EQ(FindAdjustOperation("clean-skin"), 22);
    EXPECT_EQ(FindAdjustOperation("nothing"), -1);
}

TEST(Dispatcher, CancelRestoresExactlyAndOkKeeps) {
    CDIBSection2 pic, before;
    test::MakePatternPicture(pic, 12, 7);
    before.Copy(&pic);
    AdjustTarget t = AdjustTarget::ForPicture(pic);
    AdjustSettings s;
    s.brightness = 60;
    s.contrast = -20;
    ASSERT_TRUE(RenderAdjustmentPreview(t, kAdjBrightnessContrast, s)); // live preview
    EXPECT_FALSE(test::SamePixels(pic, before));
    EXPECT_FALSE(RunAdjustment(t, kAdjBrightnessContrast, nullptr)); // cancelled
    EXPECT_TRUE(test::SamePixels(pic, before));

    s.gammaPosition = 160;
    EXPECT_TRUE(RunAdjustment(t, kAdjGamma, &s));
    std::vector<std::uint8_t> expected(before.GetBits(), before.GetBits() + before.PixelBytes());
    GammaLut(160).Apply32(expected.data(), 12, 7);
    EXPECT_EQ(0, std::memcmp(pic.GetBits(), expected.data(), expected.size()));

    EXPECT_FALSE(RunAdjustment(t, 24));
    EXPECT_FALSE(RunAdjustment(t, -1));
}

TEST(Dispatcher, TurnsChangeThePictureShape) {
    CDIBSection2 pic, before;
    test::MakePatternPicture(pic, 12, 7);
    before.Copy(&pic);
    AdjustTarget t = AdjustTarget::ForPicture(pic);
    ASSERT_TRUE(RunAdjustment(t, kAdjRotate90CW));
    EXPECT_TRUE(t.sizeChanged);
    EXPECT_EQ(pic.GetWidth(), 7);
    EXPECT_EQ(t.width, 7);
    EXPECT_EQ(t.pixels, pic.GetBits());
    ASSERT_TRUE(RunAdjustment(t, kAdjRotate90CCW));
    EXPECT_TRUE(test::SamePixels(pic, before));
    for (int op : {kAdjFlipHorizontal, kAdjFlipHorizontal, kAdjFlipVertical, kAdjFlipVertical,
                   kAdjRotate180, kAdjRotate180})
        ASSERT_TRUE(RunAdjustment(t, op));
    EXPECT_TRUE(test::SamePixels(pic, before));
}

TEST(Dispatcher, EveryOperationRunsOnSmallPictures) {
    AdjustSettings s;
    s.huePosition = 250;
    for (auto [w, h] : {std::pair{9, 6}, {1, 1}, {1, 5}, {6, 1}}) {
        for (int op = 0; op < 24; ++op) {
            CDIBSection2 pic;
            test::MakePatternPicture(pic, w, h, std::uint32_t(op));
            AdjustTarget t = AdjustTarget::ForPicture(pic);
            EXPECT_TRUE(RunAdjustment(t, op, &s)) << op;
            EXPECT_EQ(std::size_t(t.width) * t.height, std::size_t(w) * h) << op;
        }
    }
}
