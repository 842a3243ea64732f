// Files as other programs write them: made here with the formats' own libraries, or
// byte by byte for the formats whose code is ours.
#include "CodecTestHelpers.h"
#include "core/image/codecs/Codecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

Pixels Decode(ReadResult (*reader)(const CSource&), const std::vector<std::uint8_t>& file, int& w,
              int& h) {
    CSource source(file.data(), file.size());
    ReadResult r = reader(source);
    w = r.width, h = r.height;
    return std::move(r.pixels);
}

// ---------------------------------------------------------------- PNG via libpng

struct PngOptions {
    int colorType = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    bool interlace = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;        // tRNS of a palette file
    const png_color_16* transparent = nullptr; // tRNS of a gray or RGB file
};

template <class Rows>
std::vector<std::uint8_t> MakePng(int w, int h, const PngOptions& o, const Rows& rows) {
    std::vector<std::uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep d, png_size_t n) {
            auto* f = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            f->insert(f->end(), d, d + n);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), o.depth, o.colorType,
                 o.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    if (!o.palette.empty()) png_set_PLTE(png, info, o.palette.data(), int(o.palette.size()));
    if (!o.paletteAlpha.empty() || o.transparent)
        png_set_tRNS(png, info, o.paletteAlpha.empty() ? nullptr : o.paletteAlpha.data(),
                     int(o.paletteAlpha.size()), o.transparent);
    png_write_info(png, info);
    const std::size_t stride = rows.size() / std::size_t(h);
    std::vector<png_bytep> pointers;
    for (int y = 0; y < h; ++y)
        pointers.push_back(const_cast<png_bytep>(rows.data() + stride * std::size_t(y)));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

TEST(ForeignPng, PaletteGray16BitAndInterlacedFilesDecodeExactly) {
    const int w = 9, h = 7;
    const Pixels rgb = NoiseRGB(w, h);
    int ow, oh;
    // 16-bit RGB, interlaced: the high bytes are the picture.
    std::vector<std::uint8_t> rows16;
    for (std::uint8_t v : rgb) rows16.push_back(v), rows16.push_back(std::uint8_t(255 - v));
    PngOptions o16;
    o16.depth = 16, o16.interlace = true;
    EXPECT_TRUE(Decode(ReadPNG, MakePng(w, h, o16, rows16), ow, oh) == rgb);
    // Palette, 4 bits a pixel.
    PngOptions op;
    op.colorType = PNG_COLOR_TYPE_PALETTE, op.depth = 4;
    for (int i = 0; i < 16; ++i)
        op.palette.push_back({png_byte(i * 16), png_byte(255 - i), png_byte(i * 3)});
    std::vector<std::uint8_t> rows4;
    Pixels expected;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < 10; x += 2)
            rows4.push_back(std::uint8_t(((x + y) % 16) << 4 | ((x + 1 + y) % 16)));
        for (int x = 0; x < w; ++x) {
            const png_color& c = op.palette[std::size_t((x + y) % 16)];
            expected.insert(expected.end(), {c.red, c.green, c.blue});
        }
    }
    EXPECT_TRUE(Decode(ReadPNG, MakePng(w, h, op, rows4), ow, oh) == expected);
    // Gray 16-bit.
    std::vector<std::uint8_t> gray16;
    Pixels grayExpected;
    for (int i = 0; i < w * h; ++i) {
        gray16.push_back(std::uint8_t(i * 3)), gray16.push_back(0x77);
        grayExpected.insert(grayExpected.end(), 3, std::uint8_t(i * 3));
    }
    PngOptions og;
    og.colorType = PNG_COLOR_TYPE_GRAY, og.depth = 16;
    EXPECT_TRUE(Decode(ReadPNG, MakePng(w, h, og, gray16), ow, oh) == grayExpected);
    // Gray with alpha read with alpha: the alpha survives, RGB without it drops it.
    std::vector<std::uint8_t> grayAlpha;
    for (int i = 0; i < w * h; ++i)
        grayAlpha.push_back(std::uint8_t(i)), grayAlpha.push_back(std::uint8_t(200 - i));
    PngOptions oga;
    oga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    const auto gaFile = MakePng(w, h, oga, grayAlpha);
    CSource gaSource(gaFile.data(), gaFile.size());
    const Pixels rgba = ReadPNGAlpha(gaSource).pixels;
    ASSERT_EQ(rgba.size(), std::size_t(w * h * 4));
    EXPECT_EQ(rgba[4 * 10 + 0], 10);
    EXPECT_EQ(rgba[4 * 10 + 3], 190);
    // RGB read with alpha gets the alpha given.
    PngOptions orgb;
    const auto rgbFile = MakePng(w, h, orgb, rgb);
    CSource rgbSource(rgbFile.data(), rgbFile.size());
    EXPECT_EQ(ReadPNGAlpha(rgbSource, 77).pixels[3], 77);
}

// Every colour type and depth with and without a transparent colour, plain and
// interlaced, read as RGB and as RGBA: the colours of the file, and alpha 0 exactly
// where the transparent colour or index is.
TEST(ForeignPng, EveryLayoutWithAndWithoutTransparencyOpens) {
    const int w = 11, h = 6;
    const png_color_16 grayKey{0, 0, 0, 0, 5};
    const png_color_16 rgbKey{0, 10, 20, 30, 0};
    png_color_16 key16{};
    const struct {
        int colorType, depth;
        bool key;
    } layouts[] = {{PNG_COLOR_TYPE_PALETTE, 8, true},     {PNG_COLOR_TYPE_PALETTE, 2, true},
                   {PNG_COLOR_TYPE_PALETTE, 8, false},    {PNG_COLOR_TYPE_GRAY, 8, true},
                   {PNG_COLOR_TYPE_GRAY, 4, false},       {PNG_COLOR_TYPE_GRAY, 16, true},
                   {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}, {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
                   {PNG_COLOR_TYPE_RGB, 8, true},         {PNG_COLOR_TYPE_RGB, 16, true},
                   {PNG_COLOR_TYPE_RGB_ALPHA, 16, false}};
    for (const auto& layout : layouts)
        for (bool interlace : {false, true}) {
            PngOptions o;
            o.colorType = layout.colorType, o.depth = layout.depth, o.interlace = interlace;
            const int colours = layout.colorType == PNG_COLOR_TYPE_PALETTE ? 1 << layout.depth : 0;
            for (int i = 0; i < colours; ++i)
                o.palette.push_back({png_byte(i * 7), png_byte(255 - i), png_byte(i * 3)});
            if (layout.key && colours) o.paletteAlpha = {0, 255, 128}; // index 0 transparent
            if (layout.key && !colours)
                o.transparent = layout.colorType == PNG_COLOR_TYPE_GRAY ? &grayKey : &rgbKey;
            std::vector<std::uint8_t> rows;
            Pixels rgba; // what the reader must give
            for (int y = 0; y < h; ++y) {
                std::vector<int> samples; // the row's samples, unpacked
                for (int x = 0; x < w; ++x) {
                    const int i = y * w + x;
                    if (colours) {
                        const int index = i % colours;
                        samples.push_back(index);
                        const png_color& c = o.palette[std::size_t(index)];
                        const int a = index < int(o.paletteAlpha.size())
                                          ? o.paletteAlpha[std::size_t(index)]
                                          : 255;
                        rgba.insert(rgba.end(), {c.red, c.green, c.blue, std::uint8_t(a)});
                        continue;
                    }
                    const int maxSample = layout.depth == 16 ? 255 : (1 << layout.depth) - 1;
                    const int g = i % (maxSample + 1);
                    const int r = (i * 10) % 256, gg = (i * 20) % 256, b = (i * 30) % 256;
                    const int a = (i * 37) % 256;
                    const bool gray = !(layout.colorType & PNG_COLOR_MASK_COLOR);
                    std::vector<int> px = gray ? std::vector<int>{g} : std::vector<int>{r, gg, b};
                    if (layout.colorType & PNG_COLOR_MASK_ALPHA) px.push_back(a);
                    for (int v : px) samples.push_back(v);
                    const int g8 = layout.depth < 8 ? g * 255 / maxSample : g;
                    int alpha = layout.colorType & PNG_COLOR_MASK_ALPHA ? a : 255;
                    // The key is compared at the file's depth: 16-bit samples are v * 257.
                    if (o.transparent == &grayKey && g == 5) alpha = 0;
                    if (o.transparent == &rgbKey && r == 10 && gg == 20 && b == 30) alpha = 0;
                    if (gray)
                        rgba.insert(rgba.end(), {std::uint8_t(g8), std::uint8_t(g8),
                                                 std::uint8_t(g8), std::uint8_t(alpha)});
                    else
                        rgba.insert(rgba.end(), {std::uint8_t(r), std::uint8_t(gg), std::uint8_t(b),
                                                 std::uint8_t(alpha)});
                }
                // Pack the samples at the file's depth (16-bit: v * 257, big-endian).
                std::vector<std::uint8_t> row;
                int bits = 0, acc = 0;
                for (int v : samples) {
                    if (layout.depth == 16) {
                        row.push_back(std::uint8_t(v)), row.push_back(std::uint8_t(v));
                    } else if (layout.depth == 8) {
                        row.push_back(std::uint8_t(v));
                    } else {
                        acc = acc << layout.depth | v, bits += layout.depth;
                        if (bits == 8) row.push_back(std::uint8_t(acc)), bits = acc = 0;
                    }
                }
                if (bits) row.push_back(std::uint8_t(acc << (8 - bits)));
                rows.insert(rows.end(), row.begin(), row.end());
            }
            if (o.transparent && layout.depth == 16) {
                // The key at 16 bits: v * 257 matches the samples written above.
                key16 = *o.transparent;
                key16.gray *= 257, key16.red *= 257, key16.green *= 257, key16.blue *= 257;
                o.transparent = &key16;
            }
            const std::vector<std::uint8_t> file = MakePng(w, h, o, rows);
            const std::string what = "type " + std::to_string(layout.colorType) + " depth " +
                                     std::to_string(layout.depth) +
                                     (interlace ? " interlaced" : "");
            CSource source(file.data(), file.size());
            const ReadResult withAlpha = ReadPNGAlpha(source);
            ASSERT_TRUE(withAlpha.Ok()) << what << ": " << ErrorText(withAlpha.code);
            EXPECT_TRUE(withAlpha.pixels == rgba) << what;
            const ReadResult plain = ReadPNG(source);
            ASSERT_TRUE(plain.Ok()) << what << ": " << ErrorText(plain.code);
            Pixels rgb;
            for (std::size_t i = 0; i < rgba.size(); i += 4)
                rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
            EXPECT_TRUE(plain.pixels == rgb) << what;
        }
}

// ---------------------------------------------------------------- JPEG via libjpeg

template <class Rows>
std::vector<std::uint8_t> MakeJpeg(int w, int h, int components, J_COLOR_SPACE space,
                                   bool progressive, const Rows& pixels, bool adobe = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(w), c.image_height = JDIMENSION(h);
    c.input_components = components, c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (space == JCS_CMYK) jpeg_set_colorspace(&c, JCS_CMYK), c.write_Adobe_marker = adobe;
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(pixels.data() + std::size_t(c.next_scanline) * w * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

TEST(ForeignJpeg, ProgressiveGrayAndCmykFilesDecode) {
    const int w = 32, h = 24;
    const Pixels rgb = SmoothRGB(w, h);
    int ow, oh;
    auto read = ReadJPG;
    const Pixels progressive = Decode(read, MakeJpeg(w, h, 3, JCS_RGB, true, rgb), ow, oh);
    EXPECT_EQ(ow, w);
    EXPECT_LT(MeanDifference(progressive, rgb), 2.0);
    Pixels gray(std::size_t(w) * h);
    for (std::size_t i = 0; i < gray.size(); ++i) gray[i] = rgb[3 * i];
    EXPECT_LT(MaxDifference(Decode(read, MakeJpeg(w, h, 1, JCS_GRAYSCALE, false, gray), ow, oh),
                            GrayToRGB(gray)),
              4);
    // CMYK with Adobe's inverted inks: C = 255 - ink. A flat colour: no ink but K.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i)
        cmyk.insert(cmyk.end(), {255, 255, 255, 128}); // inverted: K at 50%
    const Pixels fromCmyk = Decode(read, MakeJpeg(w, h, 4, JCS_CMYK, false, cmyk, true), ow, oh);
    ASSERT_FALSE(fromCmyk.empty());
    EXPECT_NEAR(fromCmyk[0], 128, 3);
    EXPECT_NEAR(fromCmyk[1], 128, 3);
}

// ---------------------------------------------------------------- TIFF via libtiff

struct TiffOptions {
    int compression = COMPRESSION_NONE;
    int bits = 8, samples = 3, photometric = PHOTOMETRIC_RGB;
    bool tiled = false;
    std::vector<std::uint16_t> colormap; // 3 x 2^bits
};

template <class Rows>
std::vector<std::uint8_t> MakeTiff(const std::string& path, int w, int h, const TiffOptions& o,
                                   const Rows& rows) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, o.bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, o.samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, o.photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, o.compression);
    if (!o.colormap.empty()) {
        const std::size_t n = o.colormap.size() / 3;
        TIFFSetField(t, TIFFTAG_COLORMAP, o.colormap.data(), o.colormap.data() + n,
                     o.colormap.data() + 2 * n);
    }
    const std::size_t stride = rows.size() / std::size_t(h);
    if (o.tiled) {
        const int tile = 16;
        TIFFSetField(t, TIFFTAG_TILEWIDTH, tile);
        TIFFSetField(t, TIFFTAG_TILELENGTH, tile);
        const std::size_t pixelBytes = std::size_t(o.samples * o.bits / 8);
        std::vector<std::uint8_t> buffer(std::size_t(tile) * tile * pixelBytes);
        for (int ty = 0; ty < h; ty += tile)
            for (int tx = 0; tx < w; tx += tile) {
                std::fill(buffer.begin(), buffer.end(), 0);
                for (int y = 0; y < tile && ty + y < h; ++y)
                    for (int x = 0; x < tile && tx + x < w; ++x)
                        std::memcpy(
                            &buffer[(std::size_t(y) * tile + x) * pixelBytes],
                            &rows[stride * std::size_t(ty + y) + std::size_t(tx + x) * pixelBytes],
                            pixelBytes);
                TIFFWriteTile(t, buffer.data(), std::uint32_t(tx), std::uint32_t(ty), 0, 0);
            }
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 3);
        for (int y = 0; y < h; ++y)
            TIFFWriteScanline(t, const_cast<std::uint8_t*>(rows.data() + stride * std::size_t(y)),
                              std::uint32_t(y), 0);
    }
    TIFFClose(t);
    return ReadFile(path);
}

TEST(ForeignTiff, StripsTilesCompressionsPaletteGrayAnd16BitDecodeExactly) {
    char folder[] = "/tmp/quiltara-tiff-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/t.tif";
    const int w = 37, h = 29;
    const Pixels rgb = NoiseRGB(w, h);
    int ow, oh;
    auto read = ReadTIFF;
    for (int compression :
         {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS}) {
        for (bool tiled : {false, true}) {
            TiffOptions o;
            o.compression = compression, o.tiled = tiled;
            EXPECT_TRUE(Decode(read, MakeTiff(path, w, h, o, rgb), ow, oh) == rgb)
                << "compression " << compression << (tiled ? " tiled" : " strips");
        }
    }
    // 16-bit RGB with samples v * 257, which every scaling takes to v.
    std::vector<std::uint8_t> rows16;
    for (std::uint8_t v : rgb) rows16.push_back(v), rows16.push_back(v);
    TiffOptions o16;
    o16.bits = 16;
    const Pixels from16 = Decode(read, MakeTiff(path, w, h, o16, rows16), ow, oh);
    EXPECT_TRUE(from16 == rgb);
    // 8-bit gray, and white-is-zero gray.
    std::vector<std::uint8_t> gray(std::size_t(w) * h);
    for (std::size_t i = 0; i < gray.size(); ++i) gray[i] = std::uint8_t(i * 7);
    TiffOptions og;
    og.samples = 1, og.photometric = PHOTOMETRIC_MINISBLACK, og.compression = COMPRESSION_LZW;
    EXPECT_TRUE(Decode(read, MakeTiff(path, w, h, og, gray), ow, oh) == GrayToRGB(gray));
    og.photometric = PHOTOMETRIC_MINISWHITE;
    Pixels inverted = GrayToRGB(gray);
    for (auto& v : inverted) v = std::uint8_t(255 - v);
    EXPECT_TRUE(Decode(read, MakeTiff(path, w, h, og, gray), ow, oh) == inverted);
    // Palette.
    TiffOptions op;
    op.samples = 1, op.photometric = PHOTOMETRIC_PALETTE, op.compression = COMPRESSION_PACKBITS;
    op.colormap.resize(768);
    for (int i = 0; i < 256; ++i)
        op.colormap[std::size_t(i)] = std::uint16_t(i * 257),
        op.colormap[256 + std::size_t(i)] = std::uint16_t((255 - i) * 257),
        op.colormap[512 + std::size_t(i)] = std::uint16_t((i * 5 & 255) * 257);
    Pixels paletteExpected;
    for (std::uint8_t v : gray)
        paletteExpected.insert(paletteExpected.end(),
                               {v, std::uint8_t(255 - v), std::uint8_t(v * 5 & 255)});
    EXPECT_TRUE(Decode(read, MakeTiff(path, w, h, op, gray), ow, oh) == paletteExpected);
    std::remove(path.c_str());
    rmdir(folder);
}

// ---------------------------------------------------------------- BMP byte by byte

std::vector<std::uint8_t> BmpFile(int w, int h, int bpp, std::uint32_t compression,
                                  const std::vector<std::uint32_t>& table,
                                  const std::vector<std::uint8_t>& bits,
                                  const std::vector<std::uint32_t>& masks = {}) {
    Bytes info;
    info.le32(40)
        .le32(std::uint32_t(w))
        .le32(std::uint32_t(h))
        .le16(1)
        .le16(unsigned(bpp))
        .le32(compression)
        .le32(std::uint32_t(bits.size()))
        .le32(2835)
        .le32(2835)
        .le32(std::uint32_t(table.size()))
        .le32(0);
    for (std::uint32_t m : masks) info.le32(m);
    for (std::uint32_t c : table) info.le32(c);
    Bytes file;
    file.str("BM")
        .le32(std::uint32_t(14 + info.v.size() + bits.size()))
        .le32(0)
        .le32(std::uint32_t(14 + info.v.size()));
    return file.raw(info.v).raw(bits).v;
}

TEST(ForeignBmp, EveryDepthRunLengthAndTopDownFileDecodes) {
    int w, h;
    auto read = ReadBMP;
    const std::vector<std::uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // 1-bit, 3 x 2: rows bottom-up, padded to four bytes. Bottom row 1 0 1, top 0 1 1.
    const auto one = BmpFile(3, 2, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0, 0x60, 0, 0, 0});
    const Pixels p1 = Decode(read, one, w, h);
    const Pixels e1 = {0,   0,   0,   255, 255, 255, 255, 255, 255,
                       255, 255, 255, 0,   0,   0,   255, 255, 255};
    EXPECT_TRUE(p1 == e1);
    // 4-bit, 3 x 1: indices 1 2 3.
    const Pixels p4 = Decode(read, BmpFile(3, 1, 4, 0, table, {0x12, 0x30, 0, 0}), w, h);
    EXPECT_TRUE(p4 == Pixels({255, 0, 0, 0, 255, 0, 0, 0, 255}));
    // 8-bit top-down (negative height), 2 x 2.
    const Pixels p8 = Decode(read, BmpFile(2, -2, 8, 0, table, {1, 2, 0, 0, 3, 0, 0, 0}), w, h);
    EXPECT_EQ(h, 2);
    EXPECT_TRUE(p8 == Pixels({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}));
    // RLE8, 4 x 2: bottom row a run of four index 1; top row absolute 2 3 2, then end.
    const Pixels rle8 =
        Decode(read, BmpFile(4, 2, 8, 1, table, {4, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 1}), w, h);
    EXPECT_TRUE(rle8 == Pixels({0,   255, 0, 0,   0, 255, 0,   255, 0, 0,   0, 0,
                                255, 0,   0, 255, 0, 0,   255, 0,   0, 255, 0, 0}));
    // RLE4, 4 x 1: run of 4 alternating 1, 2.
    const Pixels rle4 = Decode(read, BmpFile(4, 1, 4, 2, table, {4, 0x12, 0, 1}), w, h);
    EXPECT_TRUE(rle4 == Pixels({255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0}));
    // RLE8 with a delta: skipped pixels take index 0.
    const Pixels delta =
        Decode(read, BmpFile(3, 1, 8, 1, table, {1, 3, 0, 2, 1, 0, 1, 1, 0, 1}), w, h);
    EXPECT_TRUE(delta == Pixels({0, 0, 255, 0, 0, 0, 255, 0, 0}));
    // 16-bit 5-6-5 bit fields, 1 x 1: pure green.
    const Pixels p16 =
        Decode(read, BmpFile(1, 1, 16, 3, {}, {0xE0, 0x07, 0, 0}, {0xF800, 0x07E0, 0x001F}), w, h);
    EXPECT_TRUE(p16 == Pixels({0, 255, 0}));
    // 32-bit, blue green red x.
    const Pixels p32 = Decode(read, BmpFile(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}), w, h);
    EXPECT_TRUE(p32 == Pixels({3, 2, 1, 6, 5, 4}));
    // The old 12-byte header with three-byte colour entries.
    Bytes core;
    core.str("BM").le32(0).le32(0).le32(14 + 12 + 6).le32(12).le16(2).le16(1).le16(1).le16(8);
    core.u8(10).u8(20).u8(30).u8(40).u8(50).u8(60).u8(1).u8(0).u8(0).u8(0);
    std::vector<std::uint8_t> coreFile = core.v;
    // An 8-bit file with a 256-entry table is expected; this one uses two entries.
    const Pixels pc = Decode(read, coreFile, w, h);
    ASSERT_EQ(pc.size(), 6u);
    EXPECT_EQ(pc[0], 60);
    EXPECT_EQ(pc[3], 30);
}

// ---------------------------------------------------------------- Targa byte by byte

TEST(ForeignTga, ColourMappedGrayRunLengthAndBothOriginsDecode) {
    int w, h;
    auto read = ReadTGA;
    // Top-left origin, true colour 2 x 2, BGR.
    Bytes top;
    top.u8(0).u8(0).u8(2).fill(5, 0).le16(0).le16(0).le16(2).le16(2).u8(24).u8(0x20);
    top.u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).u8(9).u8(10).u8(11).u8(12);
    const Pixels expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
    EXPECT_TRUE(Decode(read, top.v, w, h) == expected);
    // The same picture bottom-left, run-length coded: bottom row first.
    Bytes rle;
    rle.u8(0).u8(0).u8(10).fill(5, 0).le16(0).le16(0).le16(2).le16(2).u8(24).u8(0);
    rle.u8(1).u8(7).u8(8).u8(9).u8(10).u8(11).u8(12).u8(1).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6);
    EXPECT_TRUE(Decode(read, rle.v, w, h) == expected);
    // A run packet: four pixels of one colour, 16-bit (5-5-5): pure red.
    Bytes run;
    run.u8(0).u8(0).u8(10).fill(5, 0).le16(0).le16(0).le16(2).le16(2).u8(16).u8(0);
    run.u8(0x83).le16(0x7C00);
    EXPECT_TRUE(Decode(read, run.v, w, h) == Pixels({255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}));
    // Colour-mapped with the map starting at entry 2, right-to-left origin.
    Bytes mapped;
    mapped.u8(0).u8(1).u8(1).le16(2).le16(2).u8(24).le16(0).le16(0).le16(2).le16(1).u8(8).u8(0x30);
    mapped.u8(10).u8(20).u8(30).u8(40).u8(50).u8(60).u8(2).u8(3);
    EXPECT_TRUE(Decode(read, mapped.v, w, h) == Pixels({60, 50, 40, 30, 20, 10}));
    // Gray.
    Bytes gray;
    gray.u8(0).u8(0).u8(3).fill(5, 0).le16(0).le16(0).le16(2).le16(1).u8(8).u8(0x20).u8(9).u8(200);
    EXPECT_TRUE(Decode(read, gray.v, w, h) == Pixels({9, 9, 9, 200, 200, 200}));
}

// ---------------------------------------------------------------- PCX byte by byte

std::vector<std::uint8_t> PcxHeader(int w, int h, int bpp, int planes, int bytesPerLine) {
    Bytes b;
    b.u8(0x0A)
        .u8(5)
        .u8(1)
        .u8(unsigned(bpp))
        .le16(0)
        .le16(0)
        .le16(unsigned(w - 1))
        .le16(unsigned(h - 1))
        .le16(72)
        .le16(72);
    b.fill(48, 0).u8(0).u8(unsigned(planes)).le16(unsigned(bytesPerLine)).le16(1).fill(58, 0);
    return b.v;
}

TEST(ForeignPcx, MonochromeSixteenColourAnd256ColourFilesDecode) {
    int w, h;
    auto read = ReadPCX;
    // 1-bit, 10 x 1: bits 1100000001 -> runs coded and plain.
    Bytes mono;
    mono.raw(PcxHeader(10, 1, 1, 1, 2)).u8(0xC1).u8(0xC0).u8(0x40);
    const Pixels m = Decode(read, mono.v, w, h);
    ASSERT_EQ(m.size(), 30u);
    EXPECT_EQ(m[0], 255);
    EXPECT_EQ(m[6], 0);
    EXPECT_EQ(m[27], 255);
    // 8-bit with the closing palette; a run of 3 index 2 then index 1.
    Bytes p8;
    p8.raw(PcxHeader(4, 1, 8, 1, 4)).u8(0xC3).u8(2).u8(1).u8(0x0C);
    for (int i = 0; i < 256; ++i) p8.u8(unsigned(i)).u8(unsigned(255 - i)).u8(7);
    EXPECT_TRUE(Decode(read, p8.v, w, h) == Pixels({2, 253, 7, 2, 253, 7, 2, 253, 7, 1, 254, 7}));
    // 16 colours in four 1-bit planes with the header palette: pixel 0 = index 5 (planes 0 and 2).
    std::vector<std::uint8_t> header = PcxHeader(1, 1, 1, 4, 2);
    for (int i = 0; i < 16; ++i) header[16 + 3 * i] = std::uint8_t(i * 10);
    Bytes ega;
    ega.raw(header).u8(0x80).u8(0).u8(0).u8(0).u8(0x80).u8(0).u8(0).u8(0);
    EXPECT_EQ(Decode(read, ega.v, w, h)[0], 50);
}

// ---------------------------------------------------------------- Photoshop byte by byte

std::vector<std::uint8_t> PsdHead(int channels, int w, int h, int depth, int mode) {
    Bytes b;
    b.str("8BPS")
        .be16(1)
        .fill(6, 0)
        .be16(unsigned(channels))
        .be32(std::uint32_t(h))
        .be32(std::uint32_t(w))
        .be16(unsigned(depth))
        .be16(unsigned(mode));
    return b.v;
}

TEST(ForeignPsd, RunLengthGraySixteenBitAndCmykCompositesDecode) {
    int w, h;
    auto read = ReadPSD;
    // RGB with an extra alpha channel, 3 x 1, PackBits rows; layers section skipped.
    Bytes rgb;
    rgb.raw(PsdHead(4, 3, 1, 8, 3)).be32(0).be32(4).str("junk").be32(6).str("layers").be16(1);
    rgb.be16(2).be16(4).be16(2).be16(2); // row byte counts
    rgb.u8(0xFE).u8(10);                 // R: run of 3 x 10
    rgb.u8(2).u8(1).u8(2).u8(3);         // G: literal 1 2 3
    rgb.u8(0xFE).u8(30);                 // B
    rgb.u8(0xFE).u8(99);                 // alpha, ignored
    EXPECT_TRUE(Decode(read, rgb.v, w, h) == Pixels({10, 1, 30, 10, 2, 30, 10, 3, 30}));
    // Gray 16-bit raw, 2 x 1.
    Bytes gray;
    gray.raw(PsdHead(1, 2, 1, 16, 1)).be32(0).be32(0).be32(0).be16(0).be16(0x1234).be16(0xFF00);
    EXPECT_TRUE(Decode(read, gray.v, w, h) == Pixels({0x12, 0x12, 0x12, 0xFF, 0xFF, 0xFF}));
    // CMYK raw 1 x 1: inverted inks; no ink and half black gives half gray.
    Bytes cmyk;
    cmyk.raw(PsdHead(4, 1, 1, 8, 4)).be32(0).be32(0).be32(0).be16(0).u8(255).u8(255).u8(0).u8(128);
    const Pixels c = Decode(read, cmyk.v, w, h);
    EXPECT_TRUE(c == Pixels({128, 128, 0}));
    // Indexed with its palette.
    Bytes indexed;
    indexed.raw(PsdHead(1, 2, 1, 8, 2)).be32(768);
    for (int ch = 0; ch < 3; ++ch)
        for (int i = 0; i < 256; ++i) indexed.u8(unsigned(ch == 0 ? i : ch == 1 ? 255 - i : 9));
    indexed.be32(0).be32(0).be16(0).u8(4).u8(250);
    EXPECT_TRUE(Decode(read, indexed.v, w, h) == Pixels({4, 251, 9, 250, 5, 9}));
}

TEST(ForeignPsd, ZipCompositesWithAndWithoutPredictionAndLab) {
    const int w = 5, h = 3;
    const Pixels rgb = NoiseRGB(w, h);
    int ow, oh;
    for (int depth : {8, 16}) {
        const std::size_t rowBytes = std::size_t(w * depth / 8);
        std::vector<std::uint8_t> planes;
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < w * h; ++i) {
                planes.push_back(rgb[std::size_t(i) * 3 + std::size_t(c)]);
                if (depth == 16) planes.push_back(0x55);
            }
        for (int compression : {2, 3}) {
            std::vector<std::uint8_t> data = planes;
            if (compression == 3) // each sample minus the one before it, row by row
                for (std::size_t row = 0; row < data.size(); row += rowBytes)
                    for (std::size_t x = rowBytes - depth / 8; x > 0; x -= depth / 8) {
                        std::uint8_t* d = &data[row + x];
                        if (depth == 8) {
                            d[0] = std::uint8_t(d[0] - d[-1]);
                        } else {
                            const unsigned v =
                                (unsigned(d[0]) << 8 | d[1]) - (unsigned(d[-2]) << 8 | d[-1]);
                            d[0] = std::uint8_t(v >> 8), d[1] = std::uint8_t(v);
                        }
                    }
            uLongf packedSize = compressBound(uLong(data.size()));
            std::vector<std::uint8_t> packed(packedSize);
            ASSERT_EQ(compress2(packed.data(), &packedSize, data.data(), uLong(data.size()), 9),
                      Z_OK);
            packed.resize(packedSize);
            Bytes file;
            file.raw(PsdHead(3, w, h, depth, 3))
                .be32(0)
                .be32(0)
                .be32(0)
                .be16(unsigned(compression));
            file.raw(packed);
            EXPECT_TRUE(Decode(ReadPSD, file.v, ow, oh) == rgb)
                << "depth " << depth << " compression " << compression;
        }
    }
    // Lab 3 x 1, raw planes: white, black and a strong red.
    Bytes lab;
    lab.raw(PsdHead(3, 3, 1, 8, 9)).be32(0).be32(0).be32(0).be16(0);
    lab.u8(255).u8(0).u8(138).u8(128).u8(128).u8(208).u8(128).u8(128).u8(195);
    const Pixels fromLab = Decode(ReadPSD, lab.v, ow, oh);
    ASSERT_EQ(fromLab.size(), 9u);
    EXPECT_EQ(Pixels(fromLab.begin(), fromLab.begin() + 6), Pixels({255, 255, 255, 0, 0, 0}));
    EXPECT_GT(fromLab[6], 230);
    EXPECT_LT(fromLab[7], 40);
    EXPECT_LT(fromLab[8], 40);
}

} // namespace

// ---------------------------------------------------------------- files that end early

namespace {

// An uncompressed TIFF with its directory first (as many programs write them), four
// samples a pixel (the fourth unassociated alpha), one row a strip.
std::vector<std::uint8_t> RgbaTiffDirectoryFirst(int w, int h, int bits, const Pixels& rgba) {
    const std::uint32_t n = std::uint32_t(h), stripBytes = std::uint32_t(w * 4 * bits / 8);
    const std::uint32_t values = 8 + 2 + 10 * 12 + 4, data = values + 8 + 8 * n;
    Bytes t;
    t.str("II").le16(42).le32(8).le16(10);
    auto entry = [&](unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        t.le16(tag).le16(type).le32(count);
        type == 3 && count == 1 ? t.le16(value).le16(0) : t.le32(value);
    };
    entry(256, 4, 1, std::uint32_t(w));
    entry(257, 4, 1, std::uint32_t(h));
    entry(258, 3, 4, values);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 2);
    entry(273, 4, n, values + 8);
    entry(277, 3, 1, 4);
    entry(278, 4, 1, 1);
    entry(279, 4, n, values + 8 + 4 * n);
    entry(338, 3, 1, 2);
    t.le32(0);
    for (int i = 0; i < 4; ++i) t.le16(unsigned(bits));
    for (std::uint32_t i = 0; i < n; ++i) t.le32(data + i * stripBytes);
    for (std::uint32_t i = 0; i < n; ++i) t.le32(stripBytes);
    for (std::uint8_t v : rgba) bits == 16 ? t.le16(v * 257u) : t.u8(v);
    return t.v;
}

} // namespace

// A cut file opens with the rows it holds; the rest are black, never what memory held,
// and the result says which rows are missing.
TEST(TruncatedFiles, OpenWithTheRowsTheyHoldAndTheRestBlack) {
    const int w = 40, h = 96;
    const Pixels smooth = SmoothRGB(w, h);
    Pixels rgba = NoiseRGB(w, h, 4);
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    Pixels rgbOfRgba;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgbOfRgba.insert(rgbOfRgba.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    CSink pngSink;
    ASSERT_TRUE(WritePNG(pngSink, rgbOfRgba.data(), w, h));
    CSink webpSink;
    ASSERT_TRUE(WriteWebP(webpSink, rgbOfRgba.data(), w, h));
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        ReadResult (*read)(const CSource&);
        const Pixels& expected;
        double meanError; // lossy formats: the rows held are close, not exact
    } cases[] = {
        {"png", pngSink.Bytes(), ReadPNG, rgbOfRgba, 0},
        {"tiff rgba", RgbaTiffDirectoryFirst(w, h, 8, rgba), ReadTIFF, rgbOfRgba, 0},
        {"tiff 16-bit", RgbaTiffDirectoryFirst(w, h, 16, rgba), ReadTIFF, rgbOfRgba, 0},
        {"jpeg", MakeJpeg(w, h, 3, JCS_RGB, false, smooth), ReadJPG, smooth, 3},
        {"webp", webpSink.Bytes(), ReadWebP, rgbOfRgba, 0},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> cut(
            c.file.begin(), c.file.begin() + std::ptrdiff_t(c.file.size() * 6 / 10));
        CSource source(cut.data(), cut.size());
        const ReadResult r = c.read(source);
        ASSERT_TRUE(r.Ok()) << c.name << ": " << ErrorText(r.code);
        ASSERT_TRUE(r.Partial()) << c.name;
        EXPECT_GT(r.missingFirst, 0) << c.name;
        EXPECT_EQ(r.missingLast, h - 1) << c.name;
        EXPECT_EQ(r.Warning(), "the file ends early: rows " + std::to_string(r.missingFirst + 1) +
                                   "\u2026" + std::to_string(h) + " are missing");
        const std::size_t split = std::size_t(r.missingFirst) * w * 3;
        EXPECT_TRUE(std::all_of(r.pixels.begin() + std::ptrdiff_t(split), r.pixels.end(),
                                [](std::uint8_t v) { return v == 0; }))
            << c.name;
        const Pixels held(r.pixels.begin(), r.pixels.begin() + std::ptrdiff_t(split));
        const Pixels original(c.expected.begin(), c.expected.begin() + std::ptrdiff_t(split));
        EXPECT_LE(MeanDifference(held, original), c.meanError) << c.name;
        // The whole file is not partial.
        CSource whole(c.file.data(), c.file.size());
        EXPECT_FALSE(c.read(whole).Partial()) << c.name;
    }
    // A progressive JPEG cut in a later scan has every row, with less detail.
    const std::vector<std::uint8_t> progressive = MakeJpeg(w, h, 3, JCS_RGB, true, smooth);
    CSource progressiveCut(progressive.data(), progressive.size() * 6 / 10);
    const ReadResult coarse = ReadJPG(progressiveCut);
    EXPECT_TRUE(coarse.Partial());
    EXPECT_EQ(coarse.missingFirst, -1);
    EXPECT_EQ(coarse.Warning(), "the file ends early: the picture is incomplete");
    EXPECT_LT(MeanDifference(coarse.pixels, smooth), 8);
    // With alpha, the missing rows are transparent.
    CSink alphaSink;
    ASSERT_TRUE(WritePNGAlpha(alphaSink, rgba.data(), w, h));
    CSource alphaCut(alphaSink.Bytes().data(), alphaSink.Bytes().size() / 2);
    const ReadResult withAlpha = ReadPNGAlpha(alphaCut);
    ASSERT_TRUE(withAlpha.Partial());
    EXPECT_EQ(withAlpha.pixels.back(), 0);
}

// A metafile cut before its end record shows what it drew, with a warning.
TEST(TruncatedFiles, MetafilesWithoutTheirEndRecordWarn) {
    const Pixels rgb = NoiseRGB(6, 5);
    for (auto writer : {WriteWMF, WriteEMF}) {
        CSink sink;
        ASSERT_TRUE(writer(sink, rgb.data(), 6, 5));
        const std::vector<std::uint8_t>& whole = sink.Bytes();
        CSource complete(whole.data(), whole.size());
        EXPECT_FALSE(RenderMetafile(complete).Partial());
        CSource cut(whole.data(), whole.size() - whole.size() / 3);
        const ReadResult r = RenderMetafile(cut);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.Warning(), "the file ends early: the picture is incomplete");
    }
}
