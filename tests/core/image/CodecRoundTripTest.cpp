// Every writable format code written and read back.
#include "CodecTestHelpers.h"
#include "core/image/ColorReduction.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

struct Loaded {
    unsigned code = 0;
    Pixels rgb;
    int w = 0, h = 0;
};

// Writes rgb with code to path through the buffer, then loads it by content or
// extension.
Loaded RoundTrip(const std::string& path, const Pixels& rgb, int w, int h, int code,
                 int quality = 75) {
    CImageFileBuffer out;
    EXPECT_EQ(out.Allocate(w, h), 0);
    std::memcpy(out.LockRGB(), rgb.data(), rgb.size());
    out.Unlock();
    out.jpegQuality = quality;
    const unsigned saved = out.Save(path, code);
    EXPECT_EQ(saved, 0u) << "code " << code << ": " << ErrorText(saved);
    CImageFileBuffer in;
    Loaded result;
    result.code = in.Load(path);
    result.w = in.Width(), result.h = in.Height();
    if (std::uint8_t* p = in.LockRGB()) {
        result.rgb.assign(p, p + std::size_t(in.Width()) * in.Height() * 3);
        in.Unlock();
    }
    return result;
}

} // namespace

TEST(RoundTrip, LosslessTrueColourFormatsGiveTheSamePixels) {
    TempFolder folder;
    // Odd sizes catch row padding; noise catches every run-length path.
    const int w = 37, h = 23;
    const Pixels rgb = NoiseRGB(w, h);
    const struct {
        int code;
        const char* name;
    } formats[] = {{kFormatPNG, "a.png"},  {kFormatBMP, "a.bmp"}, {kFormatPCX, "a.pcx"},
                   {kFormatTIFF, "a.tif"}, {kFormatTGA, "a.tga"}, {kFormatWMF, "a.wmf"},
                   {kFormatEMF, "a.emf"},  {kFormatPSD, "a.psd"}, {kFormatWebP, "a.webp"}};
    for (const auto& f : formats) {
        const Loaded back = RoundTrip(folder.File(f.name), rgb, w, h, f.code);
        EXPECT_EQ(back.code, 0u) << f.name;
        EXPECT_EQ(back.w, w) << f.name;
        EXPECT_EQ(back.h, h) << f.name;
        EXPECT_TRUE(back.rgb == rgb) << f.name;
    }
    // Runs of equal bytes, long and short, through the run-length writers.
    const Pixels few = FewColoursRGB(200, 9, 5);
    for (const auto& f : formats) {
        const Loaded back =
            RoundTrip(folder.File(std::string("few_") + f.name), few, 200, 9, f.code);
        EXPECT_TRUE(back.rgb == few) << f.name;
    }
}

// Pictures of more than 8 MB take the readers' large-memory path.
TEST(RoundTrip, LargePicturesOfThePlainFormats) {
    const int w = 1931, h = 1543;
    const Pixels rgb = NoiseRGB(w, h);
    const struct {
        CodecStatus (*write)(CSink&, const std::uint8_t*, int, int);
        ReadResult (*read)(const CSource&);
    } formats[] = {
        {WriteBMP, ReadBMP}, {WriteTGA, ReadTGA}, {WritePCX, ReadPCX}, {WritePSD, ReadPSD}};
    for (const auto& f : formats) {
        CSink sink;
        ASSERT_TRUE(f.write(sink, rgb.data(), w, h));
        CSource source(sink.Bytes().data(), sink.Bytes().size());
        const ReadResult r = f.read(source);
        ASSERT_TRUE(r.Ok());
        EXPECT_TRUE(r.pixels == rgb);
    }
}

TEST(RoundTrip, JpegStaysWithinTheCodecsErrorAndQualityMatters) {
    TempFolder folder;
    const int w = 64, h = 48;
    const Pixels rgb = SmoothRGB(w, h);
    const Loaded good = RoundTrip(folder.File("good.jpg"), rgb, w, h, kFormatJPG, 95);
    ASSERT_EQ(good.code, 0u);
    EXPECT_LT(MeanDifference(good.rgb, rgb), 2.0);
    EXPECT_LT(MaxDifference(good.rgb, rgb), 24);
    const Loaded poor = RoundTrip(folder.File("poor.jpg"), rgb, w, h, kFormatJPG, 5);
    EXPECT_GT(MeanDifference(poor.rgb, rgb), MeanDifference(good.rgb, rgb));
    EXPECT_LT(ReadFile(folder.File("poor.jpg")).size(), ReadFile(folder.File("good.jpg")).size());
}

TEST(RoundTrip, PaletteCodesAreExactForPicturesOfAtMost256Colours) {
    TempFolder folder;
    const int w = 41, h = 17;
    const Pixels rgb = FewColoursRGB(w, h, 256);
    const struct {
        int code;
        const char* name;
    } formats[] = {{kFormatPNG8, "p.png"},
                   {kFormatBMP8, "p.bmp"},
                   {kFormatPCX8, "p.pcx"},
                   {kFormatTIFF8, "p.tif"},
                   {kFormatTGA8, "p.tga"}};
    for (const auto& f : formats) {
        const Loaded back = RoundTrip(folder.File(f.name), rgb, w, h, f.code);
        EXPECT_EQ(back.code, 0u) << f.name;
        EXPECT_TRUE(back.rgb == rgb) << f.name;
    }
}

TEST(RoundTrip, GrayCodesWriteTheGrayValues) {
    TempFolder folder;
    const int w = 30, h = 20;
    const Pixels rgb = NoiseRGB(w, h);
    Pixels gray(std::size_t(w) * h);
    ToGray(rgb.data(), w, h, gray.data());
    const Pixels expected = GrayToRGB(gray);
    const struct {
        int code;
        const char* name;
    } formats[] = {{kFormatPNGGray, "g.png"},
                   {kFormatBMPGray, "g.bmp"},
                   {kFormatPCXGray, "g.pcx"},
                   {kFormatTIFFGray, "g.tif"},
                   {kFormatTGAGray, "g.tga"}};
    for (const auto& f : formats) {
        const Loaded back = RoundTrip(folder.File(f.name), rgb, w, h, f.code);
        EXPECT_EQ(back.code, 0u) << f.name;
        EXPECT_TRUE(back.rgb == expected) << f.name;
    }
    const Pixels smooth = SmoothRGB(w, h);
    ToGray(smooth.data(), w, h, gray.data());
    const Loaded jpeg = RoundTrip(folder.File("g.jpg"), smooth, w, h, kFormatJPGGray, 90);
    EXPECT_LT(MaxDifference(jpeg.rgb, GrayToRGB(gray)), 16);
    // A gray JPEG has one component.
    const auto bytes = ReadFile(folder.File("g.jpg"));
    bool oneComponent = false;
    for (std::size_t i = 0; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) oneComponent = bytes[i + 9] == 1;
    EXPECT_TRUE(oneComponent);
}

TEST(RoundTrip, PngKeepsAlphaWhenAskedAndSetFromRGBAFlipsRows) {
    TempFolder folder;
    // A 32-bit block: bottom row first, blue, green, red, alpha.
    const int w = 5, h = 3;
    const Pixels bgra = NoiseRGB(w, h, 4);
    CImageFileBuffer out;
    out.SetFromRGBA(bgra.data(), w, h);
    EXPECT_TRUE(out.keepAlpha);
    EXPECT_TRUE(out.IsRGBA());
    EXPECT_EQ(out.LockRGB(), nullptr);
    const std::uint8_t* top = out.LockRGBA();
    ASSERT_NE(top, nullptr);
    const std::uint8_t* lastRow = &bgra[std::size_t(h - 1) * w * 4];
    EXPECT_EQ(top[0], lastRow[2]);
    EXPECT_EQ(top[2], lastRow[0]);
    EXPECT_EQ(top[3], lastRow[3]);
    out.Unlock();
    out.Unlock();
    EXPECT_EQ(out.LockCount(), 0);
    ASSERT_EQ(out.Save(folder.File("alpha.png"), kFormatPNG), 0u);

    CImageFileBuffer in;
    in.keepAlpha = true;
    ASSERT_EQ(in.Load(folder.File("alpha.png")), 0u);
    ASSERT_TRUE(in.IsRGBA());
    const std::uint8_t* back = in.LockRGBA();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* s = &bgra[(std::size_t(h - 1 - y) * w + x) * 4];
            const std::uint8_t* d = back + (std::size_t(y) * w + x) * 4;
            EXPECT_EQ(d[0], s[2]);
            EXPECT_EQ(d[1], s[1]);
            EXPECT_EQ(d[2], s[0]);
            EXPECT_EQ(d[3], s[3]);
        }
    in.Unlock();
    // Without keepAlpha the same file reads as RGB.
    CImageFileBuffer rgb;
    ASSERT_EQ(rgb.Load(folder.File("alpha.png")), 0u);
    EXPECT_FALSE(rgb.IsRGBA());
    // An RGBA buffer saved to a format without alpha writes its colours.
    ASSERT_EQ(out.Save(folder.File("alpha.bmp"), kFormatBMP), 0u);
    ASSERT_EQ(rgb.Load(folder.File("alpha.bmp")), 0u);
    EXPECT_EQ(rgb.LockRGB()[0], lastRow[2]);
    rgb.Unlock();
}

TEST(RoundTrip, BufferBasics) {
    CImageFileBuffer a;
    EXPECT_EQ(a.Allocate(4, 3), 0);
    EXPECT_EQ(a.Width(), 4);
    a.LockRGB()[5] = 9;
    a.Unlock();
    CImageFileBuffer b;
    EXPECT_EQ(b.CopyFrom(a), 0);
    EXPECT_EQ(b.LockRGB()[5], 9);
    b.Unlock();
    b.Free();
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.LockRGB(), nullptr);
    // Saving an empty buffer is a bad parameter and creates no file.
    TempFolder folder;
    EXPECT_EQ(b.Save(folder.File("empty.png"), kFormatPNG), unsigned(kErrBadParam));
    EXPECT_TRUE(ReadFile(folder.File("empty.png")).empty());
}
