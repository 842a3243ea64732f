// Files written by other programs (tests/data/corpus, made by tests/data/make-corpus.py
// with ImageMagick and Pillow): each opens as the program opens it and holds the
// pattern it was made from, exactly for lossless formats.
#include "CodecTestHelpers.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include <array>
#include <cstdlib>
#include <string>

using namespace quiltara;
using namespace quiltara::test;

namespace {

constexpr int kW = 13, kH = 7;

// The patterns of make-corpus.py.
enum Pattern { kColour, kColour16, kMono, kGray, kRGBA, kGrayAlpha };

std::array<int, 3> PatternAt(Pattern p, int x, int y) {
    switch (p) {
    case kColour:
    case kRGBA:
        return {x * 20 + 5, y * 40 + 10, (x * 7 + y * 31) & 0xFF};
    case kColour16: {
        const int i = (x + 2 * y) % 16;
        return {i * 17, 255 - i * 17, i * 5 % 16 * 17};
    }
    case kMono:
        return (x * 3 + y * 5) % 7 < 3 ? std::array<int, 3>{255, 255, 255}
                                       : std::array<int, 3>{0, 0, 0};
    case kGray:
    case kGrayAlpha:
        break;
    }
    const int g = x * 18 + y * 5;
    return {g, g, g};
}

int AlphaAt(int x, int y) {
    return 255 - x * 15 - y * 5;
}

struct CorpusFile {
    const char* name;
    Pattern pattern;
    int tolerance;     // largest difference of a channel: 0 for lossless files
    double mean = 256; // and the mean difference, for lossy ones
};

// clang-format off
const CorpusFile kCorpus[] = {
    {"im-rgb.png", kColour, 0},          {"im-rgba.png", kRGBA, 0},
    {"im-palette.png", kColour, 0},      {"im-gray.png", kGray, 0},
    {"im-grayalpha.png", kGrayAlpha, 0}, {"im-16bit.png", kColour, 0},
    {"im-16bit-rgba.png", kRGBA, 0},     {"im-interlaced.png", kColour, 0},
    {"im-mono.png", kMono, 0},           {"pil-rgb.png", kColour, 0},
    {"pil-rgba.png", kRGBA, 0},          {"pil-palette.png", kColour, 0},
    {"pil-palette-trns.png", kColour, 0}, {"pil-gray.png", kGray, 0},
    {"pil-grayalpha.png", kGrayAlpha, 0}, {"pil-16bit-gray.png", kGray, 0},
    {"pil-optimized.png", kColour, 0},
    {"im-baseline.jpg", kColour, 4},     {"im-progressive.jpg", kColour, 4},
    {"im-gray.jpg", kGray, 2},           {"im-cmyk.jpg", kColour, 4},
    {"pil-baseline.jpg", kColour, 4},    {"pil-progressive.jpg", kColour, 4},
    {"pil-gray.jpg", kGray, 2},
    {"im-none.tif", kColour, 0},         {"im-lzw.tif", kColour, 0},
    {"im-deflate.tif", kColour, 0},      {"im-packbits.tif", kColour, 0},
    {"im-16bit.tif", kColour, 0},        {"im-rgba.tif", kRGBA, 0},
    {"im-tiled.tif", kColour, 0},        {"im-planar.tif", kColour, 0},
    {"im-gray.tif", kGray, 0},           {"im-palette.tif", kColour, 0},
    {"im-mono.tif", kMono, 0},           {"pil-lzw.tif", kColour, 0},
    {"pil-deflate.tif", kColour, 0},     {"pil-packbits.tif", kColour, 0},
    {"pil-rgba.tif", kRGBA, 0},
    {"im-1bit.bmp", kMono, 0},           {"im-4bit.bmp", kColour16, 0},
    {"im-8bit.bmp", kColour, 0},         {"im-rle8.bmp", kColour, 0},
    {"im-24bit.bmp", kColour, 0},        {"im-32bit.bmp", kRGBA, 0},
    {"im-565.bmp", kColour, 8},          {"pil-1bit.bmp", kMono, 0},
    {"pil-8bit.bmp", kColour, 0},        {"pil-gray.bmp", kGray, 0},
    {"pil-24bit.bmp", kColour, 0},       {"pil-32bit.bmp", kRGBA, 0},
    {"im-raw.tga", kColour, 0},          {"im-rle.tga", kColour, 0},
    {"pil-bottom.tga", kColour, 0},      {"pil-top.tga", kColour, 0},
    {"pil-rle-bottom.tga", kColour, 0},  {"pil-rle-top.tga", kColour, 0},
    {"pil-palette.tga", kColour, 0},     {"pil-gray.tga", kGray, 0},
    {"pil-rgba.tga", kRGBA, 0},
    {"im-rgb.pcx", kColour, 0},          {"im-palette.pcx", kColour, 0},
    {"im-mono.pcx", kMono, 0},           {"pil-rgb.pcx", kColour, 0},
    {"pil-palette.pcx", kColour, 0},     {"pil-16colour.pcx", kColour16, 0},
    {"pil-gray.pcx", kGray, 0},          {"pil-mono.pcx", kMono, 0},
    {"im-rle.psd", kColour, 0},          {"im-raw.psd", kColour, 0},
    {"im-rgba.psd", kRGBA, 0},           {"im-16bit.psd", kColour, 0},
    {"im-gray.psd", kGray, 0},           {"im-cmyk.psd", kColour, 0},
    {"im-lossless.webp", kColour, 0},    {"im-lossy.webp", kColour, 255, 6},
    {"pil-lossless.webp", kColour, 0},   {"pil-lossy.webp", kColour, 255, 6},
};
// clang-format on

std::string CorpusPath(const char* name) {
    return std::string(QUILTARA_TEST_DATA) + "/corpus/" + name;
}

} // namespace

TEST(Corpus, EveryFileOpensWithThePatternItWasMadeFrom) {
    for (const CorpusFile& f : kCorpus) {
        const std::string path = CorpusPath(f.name);
        CImageFileBuffer buffer;
        ASSERT_EQ(buffer.Load(path), 0u) << f.name << ": " << ErrorText(buffer.Load(path));
        ASSERT_EQ(buffer.Width(), kW) << f.name;
        ASSERT_EQ(buffer.Height(), kH) << f.name;
        EXPECT_EQ(buffer.Warning(), "") << f.name;
        const std::uint8_t* rgb = buffer.LockRGB();
        ASSERT_NE(rgb, nullptr) << f.name;
        int worst = 0, worstX = 0, worstY = 0;
        double sum = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const std::array<int, 3> want = PatternAt(f.pattern, x, y);
                for (int c = 0; c < 3; ++c) {
                    const int d = std::abs(rgb[(y * kW + x) * 3 + c] - want[std::size_t(c)]);
                    sum += d;
                    if (d > worst) worst = d, worstX = x, worstY = y;
                }
            }
        buffer.Unlock();
        EXPECT_LE(worst, f.tolerance) << f.name << " at " << worstX << "," << worstY;
        EXPECT_LE(sum / (kW * kH * 3), f.mean) << f.name;
        // PNG files keep their transparency when asked.
        if ((f.pattern == kRGBA || f.pattern == kGrayAlpha) && PathExtension(path) == ".png") {
            CSource source(ReadFile(path));
            const ReadResult r = ReadPNGAlpha(source);
            ASSERT_TRUE(r.Ok()) << f.name;
            int alphaWorst = 0;
            for (int i = 0; i < kW * kH; ++i)
                alphaWorst = std::max(alphaWorst, std::abs(r.pixels[std::size_t(i) * 4 + 3] -
                                                           AlphaAt(i % kW, i / kW)));
            EXPECT_EQ(alphaWorst, 0) << f.name;
        }
    }
}

// Real files of the formats whose readers are ours, cut at every length: a cut that
// keeps a whole row opens with the rows it holds exactly as the whole file gives them,
// names the rows it lacks and leaves them black.
TEST(Corpus, CutFilesOfThePlainFormatsOpenWithTheRowsTheyHold) {
    for (const CorpusFile& f : kCorpus) {
        const std::string path = CorpusPath(f.name);
        const int code = FormatFromExtension(PathExtension(path));
        if (code != kFormatBMP && code != kFormatTGA && code != kFormatPCX && code != kFormatPSD)
            continue;
        const std::vector<std::uint8_t> whole = ReadFile(path);
        const FormatEntry* entry = FindFormat(code);
        CSource wholeSource(whole.data(), whole.size());
        const ReadResult complete = entry->read(wholeSource);
        ASSERT_TRUE(complete.Ok()) << f.name;
        // An 8-bit PCX file keeps its palette at the end: cut, its rows are indices.
        const bool paletteLast = code == kFormatPCX && whole[3] == 8 && whole[65] == 1;
        int partial = 0;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            CSource source(cut.data(), cut.size());
            const ReadResult r = entry->read(source);
            if (!r.Ok()) continue;
            ASSERT_EQ(r.pixels.size(), complete.pixels.size()) << f.name << " at " << n;
            if (!r.Partial()) {
                if (!paletteLast) {
                    EXPECT_EQ(r.pixels, complete.pixels) << f.name << " at " << n;
                }
                continue;
            }
            ++partial;
            ASSERT_GE(r.missingFirst, 0) << f.name;
            EXPECT_EQ(r.Warning(), "the file ends early: rows " +
                                       std::to_string(r.missingFirst + 1) + "\u2026" +
                                       std::to_string(r.missingLast + 1) + " are missing");
            // The rows missing are at one end: where the file's row order ends.
            EXPECT_TRUE(r.missingFirst == 0 || r.missingLast == kH - 1) << f.name;
            const std::size_t row = std::size_t(kW) * 3;
            for (int y = 0; y < kH; ++y) {
                const bool missing = y >= r.missingFirst && y <= r.missingLast;
                const auto at = std::ptrdiff_t(row * std::size_t(y));
                const Pixels got(r.pixels.begin() + at,
                                 r.pixels.begin() + at + std::ptrdiff_t(row));
                const Pixels want =
                    missing ? Pixels(row, 0)
                            : Pixels(complete.pixels.begin() + at,
                                     complete.pixels.begin() + at + std::ptrdiff_t(row));
                if (missing || !paletteLast) {
                    EXPECT_EQ(got, want) << f.name << " at " << n << ", row " << y;
                }
            }
        }
        EXPECT_GT(partial, 0) << f.name;
    }
}

// Loading into a picture reads the common BMP straight into it: every file gives the
// picture (and size, format and resolution) that the RGB buffer gives, whichever way it
// was read. Made files add a top-down BMP, rows without their last padding and a cut file.
TEST(Corpus, LoadingIntoAPictureEqualsImportingTheBuffer) {
    std::vector<std::string> paths;
    for (const CorpusFile& f : kCorpus) paths.push_back(CorpusPath(f.name));
    TempFolder folder;
    // Rows of 3, 9, 39 and 111 bytes, padded to 4, 12, 40 and 112.
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 7}, {13, 5}, {37, 3}}) {
        CSink made;
        ASSERT_TRUE(WriteBMP(made, NoiseRGB(w, h).data(), w, h).Ok());
        std::vector<std::uint8_t> bottomUp = made.Bytes(), topDown = bottomUp;
        const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
        for (int r = 0; r < h; ++r)
            std::copy_n(bottomUp.begin() + 54 + std::ptrdiff_t(stride) * r, stride,
                        topDown.begin() + 54 + std::ptrdiff_t(stride) * (h - 1 - r));
        const std::int32_t negative = -h;
        std::memcpy(&topDown[22], &negative, 4);
        const std::vector<std::uint8_t> unpadded( // the last row without its padding
            bottomUp.begin(), bottomUp.end() - std::ptrdiff_t(stride - std::size_t(w) * 3));
        const std::vector<std::uint8_t> cut(
            bottomUp.begin(), bottomUp.end() - std::ptrdiff_t(stride) * (h > 2 ? 2 : 0));
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        for (const auto& [name, bytes] :
             {std::pair{"top", topDown}, {"unpadded", unpadded}, {"cut", cut}}) {
            const std::string path = folder.File(name + size + ".bmp");
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            paths.push_back(path);
        }
    }
    for (const std::string& path : paths) {
        LoadedPicture viaBuffer, direct;
        ASSERT_EQ(LoadPictureFile(path, viaBuffer), 0u) << path;
        CDIBSection2 want, got;
        want.ImportRGB(viaBuffer.rgb.data(), viaBuffer.width, viaBuffer.height, 255);
        ASSERT_EQ(LoadPictureFile(path, got, 255, direct), 0u) << path;
        EXPECT_TRUE(direct.rgb.empty());
        ASSERT_EQ(got.GetWidth(), want.GetWidth()) << path;
        ASSERT_EQ(got.GetHeight(), want.GetHeight()) << path;
        EXPECT_EQ(0, std::memcmp(got.GetBits(), want.GetBits(), want.PixelBytes())) << path;
        EXPECT_EQ(direct.formatCode, viaBuffer.formatCode) << path;
        EXPECT_EQ(direct.resolution.x, viaBuffer.resolution.x) << path;
        EXPECT_EQ(direct.warning, viaBuffer.warning) << path;
    }
}
