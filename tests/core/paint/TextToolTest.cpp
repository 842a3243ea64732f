#include "core/paint/TextTool.h"
#include "core/base/SettingsStore.h"
#include "core/filters/Resize.h"
#include "core/image/FontRaster.h"
#include "core/paint/BrushStamp.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace quiltara;

namespace {

// The text tests need a font; the machine's fontconfig gives one wherever the
// project's dependencies are installed (fonts-dejavu-core).
bool HaveFont() {
    return !FindFont({}).file.empty();
}

std::vector<std::uint8_t> AlphaTopDown(const CDIBSection2& p) {
    std::vector<std::uint8_t> out;
    for (int y = p.GetHeight() - 1; y >= 0; --y)
        for (int x = 0; x < p.GetWidth(); ++x) out.push_back(p.PixelAt(x, y)[3]);
    return out;
}

} // namespace

TEST(TextTool, SizeLimitsAndTheirMessages) {
    const struct {
        double size;
        const char* message;
    } cases[] = {
        {3999, nullptr},
        {4000, kTextSizeTooLarge},
        {1e9, kTextSizeTooLarge},
        {1, nullptr},
        {0.99, kTextSizeTooSmall},
        {-5, kTextSizeTooSmall},
        {std::nan(""), kTextSizeTooLarge},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckTextSize(c.size), c.message ? c.message : "") << c.size;
    EXPECT_NE(std::string(kTextSizeTooLarge).find("\nI don't think your PC have enough memory"),
              std::string::npos);
}

TEST(TextTool, SettingsComeBackFromTheStore) {
    CMemorySettingsStore store;
    CTextSettings s;
    s.fontName = "DejaVu Serif", s.size = 37.5, s.bold = true, s.italic = true, s.align = 2;
    s.color = 0x123456, s.shadowColor = 0x654321, s.shadow = true, s.shadowDistance = 7;
    s.bevel = true;
    StoreTextSettings(store, s);
    CTextSettings back;
    LoadTextSettings(store, back);
    EXPECT_EQ(back.fontName, s.fontName);
    EXPECT_EQ(back.size, s.size);
    EXPECT_TRUE(back.bold && back.italic && back.shadow && back.bevel);
    EXPECT_EQ(back.align, 2);
    EXPECT_EQ(back.color, s.color);
    EXPECT_EQ(back.shadowColor, s.shadowColor);
    EXPECT_EQ(back.shadowDistance, 7);
    EXPECT_EQ(store.GetInt("Font", "Height", 0), -75);
    EXPECT_EQ(store.GetInt("Font", "Weight", 0), 700);
}

// The shadow is the coverage moved by max(distance, 1) x 5 right and down, blurred,
// under the text; the picture grows by the same amount before it is halved, and the
// text stays where it was measured (right-aligned lines too).
TEST(TextTool, DropShadowOffsetAndComposition) {
    if (!HaveFont()) GTEST_SKIP() << "no font installed at all";
    for (auto [text, align, distance] :
         {std::tuple{"I", 0, 0}, {"I", 0, 1}, {"I", 0, 2}, {"Wide\nI", 2, 0}}) {
        SCOPED_TRACE(testing::Message() << text << " " << align << " " << distance);
        CTextSettings plain;
        plain.text = text, plain.size = 20, plain.align = align;
        plain.color = 0x0000FF, plain.shadowColor = 0x00FF00;
        const TextPicture base = RenderTextPicture(plain, false);
        ASSERT_TRUE(base.ok) << base.error;
        const int w0 = base.picture.GetWidth(), h0 = base.picture.GetHeight();
        const std::vector<std::uint8_t> t = AlphaTopDown(base.picture);
        const int d = distance < 1 ? 5 : distance * 5;
        ASSERT_EQ(ShadowOffset(distance), d);
        CTextSettings s = plain;
        s.shadow = true, s.shadowDistance = distance;
        const TextPicture big = RenderTextPicture(s, false);
        ASSERT_EQ(big.picture.GetWidth(), w0 + d);
        ASSERT_EQ(big.picture.GetHeight(), h0 + d);
        const int w = w0 + d, h = h0 + d;
        std::vector<std::uint8_t> coverage(std::size_t(w) * h, 0), shade(coverage);
        for (int y = 0; y < h0; ++y)
            for (int x = 0; x < w0; ++x) {
                coverage[std::size_t(y) * w + x] = t[std::size_t(y) * w0 + x];
                shade[std::size_t(y + d) * w + x + d] = t[std::size_t(y) * w0 + x];
            }
        GaussianBlurPlane(shade.data(), w, h, 20 * 0.05 + 1);
        const std::vector<std::uint8_t> alpha = AlphaTopDown(big.picture);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * w + x;
                ASSERT_EQ(alpha[i], std::max(coverage[i], shade[i])) << x << "," << y;
                const std::uint8_t* p = big.picture.PixelAt(x, h - 1 - y);
                ASSERT_EQ(p[2], (255 * coverage[i]) >> 8);         // red: the text
                ASSERT_EQ(p[1], (255 * (255 - coverage[i])) >> 8); // green: the shadow
            }
        const TextPicture small = RenderTextPicture(s);
        EXPECT_EQ(small.picture.GetWidth(), (w0 + d) / 2);
        EXPECT_EQ(small.picture.GetHeight(), (h0 + d) / 2);
        EXPECT_TRUE(test::SamePixels(small.picture, HalvePicture(big.picture)));
    }
}

TEST(TextTool, HalvingIsTheTriangleResizeAtHalfSize) {
    for (auto [w, h] : {std::pair{2, 2}, {8, 6}, {30, 4}, {64, 48}}) {
        CDIBSection2 source;
        test::MakePatternPicture(source, w, h, std::uint32_t(w * h));
        CDIBSection2 expected;
        expected.Copy(&source);
        ResizeBilinear(expected, w / 2, h / 2);
        EXPECT_TRUE(test::SamePixels(HalvePicture(source), expected)) << w << "x" << h;
    }
    CDIBSection2 one;
    test::MakePatternPicture(one, 1, 1);
    EXPECT_EQ(HalvePicture(one).GetWidth(), 1);
}

TEST(TextTool, PicturesFollowTheSettings) {
    if (!HaveFont()) GTEST_SKIP() << "no font installed at all";
    CTextSettings s;
    s.text.clear();
    EXPECT_TRUE(RenderTextPicture(s).ok);
    EXPECT_TRUE(RenderTextPicture(s).picture.IsEmpty());
    s.text = "Wg\nW";
    s.size = 30;
    const TextPicture left = RenderTextPicture(s, false);
    ASSERT_TRUE(left.ok);
    // Two lines, each as high as the font's line, the widest line's width.
    CFontRaster raster;
    ASSERT_TRUE(raster.Open({s.fontName, false, false}, 60));
    EXPECT_EQ(left.picture.GetHeight(), 2 * raster.LineHeight());
    EXPECT_EQ(left.picture.GetWidth(), raster.LineWidth("Wg"));
    // Right alignment moves the short second line to the right edge; italic widens.
    auto inkCentre = [](const CDIBSection2& p, int fromRow) {
        double sum = 0, mass = 0;
        for (int y = 0; y < fromRow; ++y)
            for (int x = 0; x < p.GetWidth(); ++x)
                sum += x * p.PixelAt(x, y)[3], mass += p.PixelAt(x, y)[3];
        return mass > 0 ? sum / mass : -1;
    };
    s.align = 2;
    const TextPicture right = RenderTextPicture(s, false);
    const int lowerHalf = left.picture.GetHeight() / 2;
    EXPECT_GT(inkCentre(right.picture, lowerHalf), inkCentre(left.picture, lowerHalf) + 5);
    s.italic = true, s.align = 0;
    CFontRaster italic;
    ASSERT_TRUE(italic.Open({s.fontName, false, true}, 60));
    EXPECT_EQ(RenderTextPicture(s, false).picture.GetWidth(),
              italic.LineWidth("Wg") + italic.LineWidth("M"));
    // The bevel only changes colours, and lights the upper-left slopes more than the
    // lower-right ones.
    s.italic = false, s.text = "O", s.size = 40, s.color = 0x808080;
    const TextPicture flat = RenderTextPicture(s);
    s.bevel = true;
    const TextPicture bevel = RenderTextPicture(s);
    ASSERT_EQ(AlphaTopDown(flat.picture), AlphaTopDown(bevel.picture));
    long long upperLeft = 0, lowerRight = 0;
    const int bw = bevel.picture.GetWidth(), bh = bevel.picture.GetHeight();
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            const std::uint8_t* p = bevel.picture.PixelAt(x, y);
            if (p[3] < 128) continue;
            const bool up = y >= bh / 2; // memory rows: the upper half has the larger rows
            if (up && x < bw / 2) upperLeft += p[0];
            if (!up && x >= bw / 2) lowerRight += p[0];
        }
    EXPECT_GT(upperLeft, lowerRight);
}

TEST(TextTool, OversizedDrawingIsAMemoryError) {
    if (!HaveFont()) GTEST_SKIP() << "no font installed at all";
    CTextSettings s;
    s.size = 3999;
    s.text = std::string(400, 'W');
    const TextPicture huge = RenderTextPicture(s);
    EXPECT_FALSE(huge.ok);
    EXPECT_EQ(huge.error, kTextMemoryError);
    EXPECT_TRUE(huge.picture.IsEmpty());
}
