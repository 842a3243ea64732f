#include "core/base/ProgressReporter.h"
#include "core/base/RuntimeRandom.h"
#include "core/base/SettingsStore.h"
#include "core/filters/FilterFactory.h"
#include "core/filters/FilterPixelOps.h"
#include "core/filters/GaussianWrap.h"
#include "core/image/DIBSection2.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace quiltara;

namespace {

std::vector<std::uint8_t> Pattern(int w, int h, std::uint32_t seed = 5) {
    CDIBSection2 pic;
    test::MakePatternPicture(pic, w, h, seed);
    return {pic.GetBits(), pic.GetBits() + pic.PixelBytes()};
}

// Runs slot on a copy of pixels with the given values (defaults for the rest).
std::vector<std::uint8_t> RunSlot(int slot, std::vector<std::uint8_t> pixels, int w, int h,
                                  std::vector<int> values = {}) {
    CFilterFactory f;
    f.SelectFilter(slot);
    for (std::size_t i = 0; i < values.size(); ++i) f.SetValue(int(i), values[i]);
    f.SetImage(pixels.data(), w, h);
    f.Apply();
    return pixels;
}

// A second, plain implementation of the wrapping blur: the same weights, the same
// order of fused multiply-adds, no vectors, no threads.
std::vector<std::uint8_t> ReferenceBlur(const std::vector<std::uint8_t>& src, int w, int h, int r) {
    const std::vector<float> k = GaussianKernel(r);
    if (k.empty()) return src;
    const int g = int(k.size()) / 2;
    auto clampTrunc = [](float v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : int(v)); };
    std::vector<std::uint8_t> temp(src.size()), out(src);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float acc = 0;
                for (int j = 0; j < int(k.size()); ++j) {
                    const int sx = ((x + j - g) % w + w) % w;
                    acc = std::fmaf(k[j], src[(std::size_t(y) * w + sx) * 4 + c], acc);
                }
                temp[(std::size_t(y) * w + x) * 4 + c] = clampTrunc(acc);
            }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float acc = 0;
                for (int j = 0; j < int(k.size()); ++j) {
                    const int sy = ((y + j - g) % h + h) % h;
                    acc = std::fmaf(k[j], temp[(std::size_t(sy) * w + x) * 4 + c], acc);
                }
                out[(std::size_t(y) * w + x) * 4 + c] = clampTrunc(acc);
            }
    return out;
}

int At(const std::vector<std::uint8_t>& p, int w, int x, int y, int memoryByte) {
    return p[(std::size_t(y) * w + x) * 4 + memoryByte];
}

} // namespace

TEST(FilterTable, SlotsNamesAndDefaults) {
    const auto& t = FilterTable();
    int used = 0;
    for (int s = 0; s < kFilterSlotCount; ++s) used += IsFilterSlotUsed(s);
    EXPECT_EQ(used, 31); // 0..27, 30, 36, 37
    EXPECT_EQ(t[0].name, "Color - Boost");
    EXPECT_EQ(t[10].name, "Effect -Ebossed");
    EXPECT_EQ(t[37].params[2].name, "Treshold");
    EXPECT_EQ(t[28].name, "Empty 28");
    EXPECT_EQ(t[28].id, -1);
    EXPECT_EQ(t[7].paramCount, 6);
    EXPECT_EQ(t[7].params[5].defaultValue, 255);
    EXPECT_EQ(t[30].paramCount, 7);
    EXPECT_TRUE(t[36].previewOneToOne);
    EXPECT_TRUE(t[37].previewOneToOne);
    EXPECT_FALSE(t[0].previewOneToOne);
    EXPECT_EQ(t[3].params[1].colour, kSliderGrey);
    EXPECT_EQ(t[2].params[2].colour, MakeColorRef(0, 0, 255));
    EXPECT_EQ(FindFilterSlot("Gaussian Blur"), 36);
    EXPECT_EQ(FindFilterSlot("unsharp-mask"), 37);
    EXPECT_EQ(FindFilterSlot("Empty 28"), -1);
    EXPECT_EQ(FilterSlotForCommand(32869), 36);
    EXPECT_EQ(FilterSlotForCommand(32832), -1);
    for (const auto& item : FilterMenuItems())
        EXPECT_TRUE(IsFilterSlotUsed(FilterSlotForCommand(item.commandId)));
}

TEST(FilterTable, ValueTexts) {
    EXPECT_EQ(FormatParamValue(ParamFormat::Plain, 74), "74");
    EXPECT_EQ(FormatParamValue(ParamFormat::Centered, 100), "-28");
    EXPECT_EQ(FormatParamValue(ParamFormat::Radius, 0), "0");
    EXPECT_EQ(FormatParamValue(ParamFormat::Radius, 40), "1.1"); // 10^0.3125 - 1 = 1.05
    EXPECT_EQ(FormatParamValue(ParamFormat::Radius, 255), "97"); // 96.2... shown with two digits
    EXPECT_EQ(FormatParamValue(ParamFormat::Percent, 150), "58%");
    EXPECT_EQ(FormatParamValue(ParamFormat::Percent200, 255), "200%");
    EXPECT_EQ(FormatParamValue(ParamFormat::Percent200, 128), "100%");
    EXPECT_EQ(FormatParamValue(ParamFormat::Corner, 92), "3");
    EXPECT_EQ(FormatParamValue(ParamFormat::Corner, 255), "8");
    EXPECT_EQ(FormatParamValue(ParamFormat::None, 9), "");
}

// A value typed into the box beside a slider: every text the box shows reads back to a
// value showing the same text, and numbers beyond the slider's ends give its ends.
TEST(FilterTable, TypedValueTexts) {
    for (ParamFormat f : {ParamFormat::Plain, ParamFormat::Centered, ParamFormat::Radius,
                          ParamFormat::Percent, ParamFormat::Percent200, ParamFormat::Corner}) {
        for (int v = 0; v <= kFilterValueMax; ++v) {
            const std::string shown = FormatParamValue(f, v);
            const std::optional<int> read = ParamValueFromText(f, shown);
            ASSERT_TRUE(read) << shown;
            EXPECT_EQ(FormatParamValue(f, *read), shown) << int(f) << " " << v;
        }
    }
    const struct {
        ParamFormat format;
        const char* text;
        int value;
    } typed[] = {
        {ParamFormat::Plain, "300", 255},    {ParamFormat::Plain, " -5 ", 0},
        {ParamFormat::Centered, "-200", 0},  {ParamFormat::Centered, "+10", 138},
        {ParamFormat::Percent, "150%", 255}, {ParamFormat::Radius, "2,5", 69},
        {ParamFormat::Corner, "9", 255},
    };
    for (const auto& t : typed) EXPECT_EQ(ParamValueFromText(t.format, t.text), t.value) << t.text;
    for (const char* junk : {"", "abc", "%", "1.2.3", "12px"})
        EXPECT_FALSE(ParamValueFromText(ParamFormat::Plain, junk)) << junk;
    EXPECT_FALSE(ParamValueFromText(ParamFormat::None, "5"));
}

TEST(FilterFactory, SelectionAccessorsAndSettings) {
    CMemorySettingsStore store;
    store.SetInt("Effects", "EFF9_1", 17);
    store.SetInt("Effects", "EFF9_2", 999); // a hand-edited setting is kept in range
    CFilterFactory f(&store);
    EXPECT_EQ(f.SelectFilter(9), "Color - Quantize");
    EXPECT_EQ(f.GetParamCount(), 3);
    EXPECT_EQ(f.GetValue(0), 240);
    EXPECT_EQ(f.GetValue(1), 17);
    EXPECT_EQ(f.GetValue(2), 255);
    EXPECT_EQ(f.GetValue(8), 0);
    EXPECT_EQ(f.GetParamName(0), "Red");
    EXPECT_EQ(f.GetParamName(-1), "");
    EXPECT_EQ(f.GetParamColour(9), kSliderWhite);
    EXPECT_EQ(f.GetDefaultValue(1), 240);

    f.ResetToDefaults();
    EXPECT_EQ(f.GetValue(1), 240);
    f.SetValue(3, 300);
    EXPECT_EQ(f.GetValue(3), 255);
    f.SaveParams();
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(store.Has("Effects", "EFF9_" + std::to_string(i))) << i;
    EXPECT_EQ(store.GetInt("Effects", "EFF9_3", -1), 255);

    EXPECT_EQ(f.SelectFilter(99), ""); // clamped to 50, which holds nothing
    EXPECT_EQ(f.GetCurrent(), 50);
    EXPECT_EQ(f.GetParamCount(), 0);
    EXPECT_EQ(f.SelectFilter(-4), "Color - Boost");
    EXPECT_EQ(CFilterFactory::GetSlotName(28), "");
    EXPECT_EQ(CFilterFactory::GetSlotName(50), "");
    f.SelectFilter(36);
    EXPECT_TRUE(f.PreviewOneToOne());
    EXPECT_EQ(f.FormatParam(0), "1.1");
}

TEST(FilterFactory, RandomDrawsEveryValueFromTheGenerator) {
    CFilterFactory f;
    f.SelectFilter(7);
    CRuntimeRandom a(42), b(42);
    f.Randomize(a);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(f.GetValue(i), int(b.Next() / 32767.0 * 255.0 + 0.5)) << i;
}

TEST(FilterFactory, EverySlotRunsAndStaysInTheColourBytes) {
    const int w = 23, h = 17;
    const auto original = Pattern(w, h);
    for (int slot = 0; slot <= kFilterSlotCount; ++slot) {
        auto out = RunSlot(slot, original, w, h);
        for (std::size_t i = 3; i < out.size(); i += 4)
            ASSERT_EQ(out[i], original[i]) << "alpha, slot " << slot;
        // Balance's defaults (128, 128, 128) are its identity.
        const bool changes =
            (PixelOperationFor(slot) != nullptr && slot != 2) || slot == 36 || slot == 37;
        if (changes)
            EXPECT_NE(out, original) << "slot " << slot << " changed nothing";
        else
            EXPECT_EQ(out, original) << "slot " << slot << " has no operation";
    }
    // One-pixel pictures: neighbours are the pixel itself, the blur wraps onto it.
    for (int slot : {4, 5, 10, 11, 12, 19, 20, 21, 24, 25, 26, 27, 36, 37}) {
        const auto one = Pattern(1, 1);
        RunSlot(slot, one, 1, 1);
        const auto row = Pattern(9, 1);
        RunSlot(slot, row, 9, 1);
        const auto column = Pattern(1, 9);
        RunSlot(slot, column, 1, 9);
    }
}

TEST(FilterFactory, ApplyWithoutAPictureDoesNothing) {
    CFilterFactory f;
    f.SelectFilter(0);
    f.Apply();
    f.SetImage(nullptr, 5, 5);
    f.Apply();
    EXPECT_EQ(f.Width(), 0);
}

TEST(FilterOperations, WorkedExamples) {
    // One pixel, memory order blue, green, red, alpha.
    auto one = [](int r, int g, int b) {
        return std::vector<std::uint8_t>{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 9};
    };
    // Balance at 128 is the identity; at 64 halves.
    const auto pattern = Pattern(11, 7);
    EXPECT_EQ(RunSlot(2, pattern, 11, 7, {128, 128, 128}), pattern);
    EXPECT_EQ(RunSlot(2, one(200, 100, 51), 1, 1, {64, 128, 255}), one(100, 100, 101));
    // Quantize 240 keeps the top two bits.
    EXPECT_EQ(RunSlot(9, one(255, 0x7F, 0xC1), 1, 1, {240, 240, 240}), one(0xC0, 0x40, 0xC0));
    // Boost: k = trunc(255 - 254 * 74 / 256) = 181; R' = trunc(200 * 255 / 181 + 150 * (181 - 255)
    // / 181) / 2.
    {
        const int k = 181;
        const int r = int(2 * 100 * 255.0 / k + (50 + 100) * (k - 255.0) / k) / 2;
        const int g = int(2 * 50 * 255.0 / k + (100 + 100) * (k - 255.0) / k) / 2;
        const int b = int(2 * 100 * 255.0 / k + (100 + 50) * (k - 255.0) / k) / 2;
        EXPECT_EQ(RunSlot(0, one(100, 50, 100), 1, 1), one(r, std::max(g, 0), b));
    }
    // Solarize: T = 60, 3 * 62 = 186 >= 60: every channel gains 126.
    EXPECT_EQ(RunSlot(8, one(10, 20, 30), 1, 1), one(136, 146, 156));
    // Shift with the red and blue amounts at 0 trades red and blue (green amount 0 keeps green).
    EXPECT_EQ(RunSlot(7, one(200, 77, 13), 1, 1, {0, 0, 0, 0, 0, 0}), one(13, 77, 200));
    // Green amount and shift 255 take green from red.
    EXPECT_EQ(RunSlot(7, one(200, 77, 13), 1, 1, {0, 0, 255, 255, 0, 0}), one(13, 200, 200));
    // 3 Colors: L = (29 * 200 + 150 * 100 + 76 * 50) >> 8 = 96.
    EXPECT_EQ(RunSlot(18, one(200, 100, 50), 1, 1, {95, 96, 200}), one(0, 255, 255));
    // Colored: c XOR |L - P|, L = 96.
    EXPECT_EQ(RunSlot(15, one(200, 100, 50), 1, 1, {96, 0, 100}), one(200, 100 ^ 96, 50 ^ 4));
    // Pastel Pop: P0 mod L + c with L = (290 + 3000 + 2280) >> 8 = 21.
    EXPECT_EQ(RunSlot(13, one(10, 20, 30), 1, 1, {200}),
              one(10 + 200 % 21, 20 + 200 % 21, 30 + 200 % 21));
    // Pop Colors: a = 100; red window 90 +- 20: 255 - 10 * 255 / 20; green outside; blue range 0
    // gives 0.
    EXPECT_EQ(RunSlot(17, one(100, 100, 100), 1, 1, {90, 20, 200, 50, 100, 0}),
              one(255 - 127, 0, 0));
    // Melter, Effect 0: m = P_k exactly, folded below 256.
    EXPECT_EQ(RunSlot(16, one(1, 2, 3), 1, 1, {0, 30, 200, 255}), one(30, 200, 255));
}

TEST(FilterOperations, SharedArithmetic) {
    using namespace filter_math;
    EXPECT_EQ(Luminance(255, 0, 0), 28);
    EXPECT_EQ(Luminance(0, 0, 255), 75);
    EXPECT_EQ(Blend(10, 20, 0, 0), 10);
    EXPECT_EQ(Blend(100, 0, 1, 4), 25);
    EXPECT_EQ(Lerp(5, 3, 3, 0, 7), 7);
    EXPECT_EQ(Lerp(-511, -511, 512, 0, 255), 0);
    EXPECT_EQ(Lerp(512, -511, 512, 0, 255), 255);
    EXPECT_EQ(Sin512(256), 512);
    EXPECT_EQ(Cos512(0), 512);
    EXPECT_EQ(Sin512(128), 362); // 512 sin(pi / 4) = 362.03
    EXPECT_EQ(Angle(0, 0), 0);
    EXPECT_EQ(Angle(0, 5), 256);
    EXPECT_EQ(Angle(-1, 0), 512);
    FilterPixelContext c;
    c.P[0] = 255;
    EXPECT_EQ(Map(c, 0, 255, 1), 1);
    c.P[0] = 0;
    EXPECT_EQ(Map(c, 0, 255, 1), 255);
}

TEST(FilterOperations, AgedPhotoOnATinyPictureIsSafeAndRepeatable) {
    const auto p = Pattern(2, 2);
    CRuntimeRandom r1(3), r2(3);
    std::vector<std::uint8_t> a = p, b = p;
    CFilterFactory f1(nullptr, &r1), f2(nullptr, &r2);
    f1.SelectFilter(12);
    f2.SelectFilter(12);
    f1.SetImage(a.data(), 2, 2);
    f2.SetImage(b.data(), 2, 2);
    f1.Apply();
    f2.Apply();
    EXPECT_EQ(a, b);
    EXPECT_NE(a, p);
}

TEST(Gaussian, KernelMatchesTheRadiusValue) {
    EXPECT_TRUE(GaussianKernel(0).empty());
    const auto k40 = GaussianKernel(40);
    EXPECT_EQ(k40.size(), 11u); // sigma 1.05, g = 5
    const auto k255 = GaussianKernel(255);
    EXPECT_EQ(k255.size(), 395u); // sigma 97.2, g = 197
    EXPECT_NEAR(GaussianSigma(255), 97.2, 0.05);
    double sum = 0;
    for (float v : k255) sum += v;
    EXPECT_NEAR(sum, 1.0, 1e-5);
    EXPECT_FLOAT_EQ(k40[0], k40[10]);
    EXPECT_GT(k40[5], k40[4]);
}

TEST(Gaussian, SameBytesAsAPlainSecondImplementation) {
    for (auto [w, h, r] :
         {std::tuple{37, 29, 40}, {16, 9, 120}, {5, 3, 200}, {1, 1, 80}, {64, 1, 60}}) {
        const auto src = Pattern(w, h, 11);
        std::vector<std::uint8_t> out(src.size());
        GaussianBlurWrap(src.data(), out.data(), w, h, r);
        EXPECT_EQ(out, ReferenceBlur(src, w, h, r)) << w << "x" << h << " r=" << r;
    }
}

TEST(Gaussian, RadiusZeroChangesNothingAndUniformStaysUniform) {
    const auto src = Pattern(20, 10);
    EXPECT_EQ(RunSlot(36, src, 20, 10, {0}), src);
    EXPECT_EQ(RunSlot(37, src, 20, 10, {255, 0, 0}), src);
    std::vector<std::uint8_t> flat(20 * 10 * 4, 200), out(flat.size());
    GaussianBlurWrap(flat.data(), out.data(), 20, 10, 100);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % 4 != 3) {
            ASSERT_NEAR(out[i], 200, 1) << i;
        }
    }
}

TEST(Gaussian, WrapsAcrossTheTileEdges) {
    // Left half black, right half white: after blurring, column W-1 and column 0 are
    // as close as any two neighbouring columns, and the picture is the same when
    // shifted by any amount before blurring (the blur sees a torus).
    const int w = 32, h = 8;
    std::vector<std::uint8_t> src(std::size_t(w) * h * 4, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) std::memset(&src[(std::size_t(y) * w + x) * 4], 0, 3);
    std::vector<std::uint8_t> out(src.size());
    GaussianBlurWrap(src.data(), out.data(), w, h, 128);
    const int seam = std::abs(At(out, w, w - 1, 3, 0) - At(out, w, 0, 3, 0));
    const int inner = std::abs(At(out, w, w / 2, 3, 0) - At(out, w, w / 2 - 1, 3, 0));
    EXPECT_GT(At(out, w, 0, 3, 0), 0);       // white came around from the right edge
    EXPECT_LT(At(out, w, w - 1, 3, 0), 255); // black came around from the left
    EXPECT_NEAR(seam, inner, 1);

    const int shift = 11;
    std::vector<std::uint8_t> shifted(src.size()), shiftedOut(src.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(&shifted[(std::size_t((y + 3) % h) * w + (x + shift) % w) * 4],
                        &src[(std::size_t(y) * w + x) * 4], 4);
    GaussianBlurWrap(shifted.data(), shiftedOut.data(), w, h, 128);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(0,
                      std::memcmp(&shiftedOut[(std::size_t((y + 3) % h) * w + (x + shift) % w) * 4],
                                  &out[(std::size_t(y) * w + x) * 4], 3));
}

TEST(UnsharpMask, FollowsTheFormulaAndTheThreshold) {
    const int w = 24, h = 16;
    const auto src = Pattern(w, h, 21);
    const auto blurred = ReferenceBlur(src, w, h, 40);
    for (int threshold : {0, 40, 255}) {
        const auto out = RunSlot(37, src, w, h, {200, 40, threshold});
        for (std::size_t i = 0; i < src.size(); ++i) {
            if (i % 4 == 3) continue;
            int d = int(src[i]) - int(blurred[i]);
            if (std::abs(2 * d) < threshold) d = 0;
            const int expected = std::clamp(int(200 / 128.0 * d + src[i]), 0, 255);
            ASSERT_EQ(out[i], expected) << "threshold " << threshold << " at " << i;
        }
    }
    // Threshold 255 changes only pixels whose difference passes 127.
    const auto high = RunSlot(37, src, w, h, {128, 40, 255});
    for (std::size_t i = 0; i < src.size(); ++i) {
        if (high[i] != src[i]) {
            EXPECT_GT(std::abs(int(src[i]) - int(blurred[i])), 127);
        }
    }
}

TEST(UnsharpMask, IsContinuousAcrossTheWrap) {
    // A picture that is itself periodic gives a periodic result: shifting before or
    // after filtering is the same.
    const int w = 20, h = 12;
    const auto src = Pattern(w, h, 2);
    std::vector<std::uint8_t> rolled(src.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(&rolled[(std::size_t(y) * w + (x + 7) % w) * 4],
                        &src[(std::size_t(y) * w + x) * 4], 4);
    const auto a = RunSlot(37, src, w, h, {128, 90, 0});
    const auto b = RunSlot(37, rolled, w, h, {128, 90, 0});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(0, std::memcmp(&b[(std::size_t(y) * w + (x + 7) % w) * 4],
                                     &a[(std::size_t(y) * w + x) * 4], 4));
}

namespace {
struct RecordingProgress : IProgressReporter {
    std::string caption;
    int range = -1, last = -1, ends = 0;
    void Begin(const std::string& c, int r) override { caption = c, range = r; }
    void SetPos(int p) override { last = p; }
    void End() override { ++ends; }
};
} // namespace

TEST(FilterFactory, ReportsWorkingProgress) {
    const auto src = Pattern(8, 300);
    auto p = src;
    CFilterFactory f;
    f.SelectFilter(3);
    f.SetImage(p.data(), 8, 300);
    RecordingProgress progress;
    f.Apply(&progress);
    EXPECT_EQ(progress.caption, "Working");
    EXPECT_EQ(progress.range, 300);
    EXPECT_EQ(progress.last % 5, 0);
    EXPECT_EQ(progress.ends, 1);
    f.SelectFilter(36);
    RecordingProgress blur;
    f.Apply(&blur);
    EXPECT_EQ(blur.range, 8 + 300);
}
