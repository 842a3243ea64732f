// Truncated, oversized and corrupt files fail cleanly: no read outside the input
// (the sanitizer builds check that), no allocation from an unchecked size, no
// endless loop.
#include "CodecTestHelpers.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

using Writer = CodecStatus (*)(CSink&, const std::uint8_t*, int, int);

std::vector<std::uint8_t> Encode(Writer writer, int w, int h) {
    const Pixels rgb = NoiseRGB(w, h);
    CSink sink;
    EXPECT_TRUE(writer(sink, rgb.data(), w, h));
    return sink.Bytes();
}

ReadResult ReadAny(int code, const std::vector<std::uint8_t>& bytes) {
    CSource source(bytes.data(), bytes.size());
    const FormatEntry* entry = FindFormat(code);
    return entry->read(source);
}

// No picture, and the failure code expected.
::testing::AssertionResult FailsWith(const ReadResult& r, unsigned code) {
    if (!r.pixels.empty()) return ::testing::AssertionFailure() << "a picture was read";
    if (r.code != code) return ::testing::AssertionFailure() << "code " << r.code;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(HostileInput, EveryTruncationOfEveryFormatFailsOrStaysInside) {
    const struct {
        Writer writer;
        int code;
    } formats[] = {
        {WriteBMP, kFormatBMP},
        {WritePCX, kFormatPCX},
        {WriteTGA, kFormatTGA},
        {WritePSD, kFormatPSD},
        {WritePNG, kFormatPNG},
        {WriteTIFF, kFormatTIFF},
        {WriteWebP, kFormatWebP},
        {WriteWMF, kFormatWMF},
        {WriteEMF, kFormatEMF},
        {[](CSink& s, const std::uint8_t* p, int w, int h) { return WriteJPG(s, p, w, h, 75); },
         kFormatJPG}};
    for (const auto& f : formats) {
        const std::vector<std::uint8_t> whole = Encode(f.writer, 7, 5);
        const ReadResult complete = ReadAny(f.code, whole);
        ASSERT_TRUE(complete.Ok() && !complete.Partial()) << "code " << f.code;
        const bool lossy = f.code == kFormatJPG; // upsampling blends the last rows held
        int failures = 0;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            // A copy of exactly n bytes, so that any read past it is caught.
            const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            const ReadResult r = ReadAny(f.code, part);
            if (r.pixels.empty()) {
                ++failures;
                EXPECT_NE(r.code, 0u) << "code " << f.code << " at " << n;
                EXPECT_EQ(r.width, 0);
                continue;
            }
            // A picture from a cut file is the whole picture, or says what it lacks: the
            // rows it names are black and the others are the file's.
            ASSERT_EQ(r.pixels.size(), complete.pixels.size()) << "code " << f.code;
            if (!r.Partial()) {
                EXPECT_EQ(r.pixels, complete.pixels) << "code " << f.code << " at " << n;
            } else if (r.missingFirst >= 0 && !lossy) {
                for (int y = 0; y < r.height; ++y) {
                    const bool missing = y >= r.missingFirst && y <= r.missingLast;
                    const std::size_t row = std::size_t(r.width) * 3, at = row * std::size_t(y);
                    const Pixels got(r.pixels.begin() + std::ptrdiff_t(at),
                                     r.pixels.begin() + std::ptrdiff_t(at + row));
                    const Pixels want =
                        missing ? Pixels(row, 0)
                                : Pixels(complete.pixels.begin() + std::ptrdiff_t(at),
                                         complete.pixels.begin() + std::ptrdiff_t(at + row));
                    EXPECT_EQ(got, want) << "code " << f.code << " at " << n << ", row " << y;
                }
            }
        }
        // The header at least must be there; a torn metafile record ends the picture. The
        // plain formats open the cuts that hold a row.
        EXPECT_GT(failures, f.code == kFormatWMF || f.code == kFormatEMF ? 20 : 12)
            << "code " << f.code;
        if (f.code == kFormatBMP || f.code == kFormatPCX || f.code == kFormatTGA ||
            f.code == kFormatPSD) {
            EXPECT_LT(failures, int(whole.size())) << "code " << f.code;
        }
    }
}

namespace {

// A gray progressive JPEG whose first `bands` AC coefficients (and the DC) are sent
// bit by bit, one scan each, and the rest in one scan: 11 + 11 x bands + 1 scans.
std::vector<std::uint8_t> ManyScanJpeg(const Pixels& gray, int w, int h, int bands) {
    std::vector<jpeg_scan_info> script;
    auto add = [&](int ss, int se, int ah, int al) {
        jpeg_scan_info scan{};
        scan.comps_in_scan = 1, scan.component_index[0] = 0;
        scan.Ss = ss, scan.Se = se, scan.Ah = ah, scan.Al = al;
        script.push_back(scan);
    };
    for (int band = 0; band <= bands; ++band) {
        add(band, band, 0, 10);
        for (int al = 9; al >= 0; --al) add(band, band, al + 1, al);
    }
    if (bands < 63) add(bands + 1, 63, 0, 0);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(w), cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 1, cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    cinfo.scan_info = script.data(), cinfo.num_scans = int(script.size());
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(gray.data() + std::size_t(cinfo.next_scanline) * w);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

} // namespace

// Every scan of a progressive file is a pass over the whole picture: a small file
// with hundreds of scans is refused with what was refused, a file within the limit
// opens.
TEST(HostileInput, ProgressiveJpegScansAreCapped) {
    const int w = 24, h = 16;
    Pixels gray(std::size_t(w) * h);
    for (int i = 0; i < w * h; ++i) gray[std::size_t(i)] = std::uint8_t(i % w * 9 + i / w * 3);
    const std::vector<std::uint8_t> within = ManyScanJpeg(gray, w, h, 30); // 342 scans
    const ReadResult opened = ReadAny(kFormatJPG, within);
    ASSERT_TRUE(opened.Ok()) << ErrorText(opened.code);
    const Pixels expected = GrayToRGB(gray);
    EXPECT_LT(MeanDifference(opened.pixels, expected), 4);

    const std::vector<std::uint8_t> beyond = ManyScanJpeg(gray, w, h, 63); // 704 scans
    EXPECT_LT(beyond.size(), 64u * 1024);
    const ReadResult refused = ReadAny(kFormatJPG, beyond);
    EXPECT_TRUE(FailsWith(refused, kErrTooLarge));
    EXPECT_EQ(refused.detail, "too many scans: a progressive JPEG of 24 x 16 pixels may hold at "
                              "most 500");
}

TEST(HostileInput, HugeDimensionsAreRefusedBeforeAllocating) {
    // BMP claiming 1,000,000 x 1,000,000 with a few bytes of pixels.
    Bytes bmp;
    bmp.str("BM")
        .le32(0)
        .le32(0)
        .le32(54)
        .le32(40)
        .le32(1000000)
        .le32(1000000)
        .le16(1)
        .le16(24)
        .le32(0)
        .fill(20, 0)
        .fill(16, 0);
    EXPECT_TRUE(FailsWith(ReadAny(kFormatBMP, bmp.v), kErrBadBMP));
    // RLE8 claiming 60000 x 60000: over the pixel limit.
    Bytes rle;
    rle.str("BM")
        .le32(0)
        .le32(0)
        .le32(54)
        .le32(40)
        .le32(60000)
        .le32(60000)
        .le16(1)
        .le16(8)
        .le32(1)
        .fill(20, 0)
        .u8(0)
        .u8(1);
    EXPECT_TRUE(FailsWith(ReadAny(kFormatBMP, rle.v), kErrTooLarge));
    // Targa 65535 x 65535 raw with no pixels; run-length coded with too few packets.
    Bytes tga;
    tga.u8(0).u8(0).u8(2).fill(5, 0).le16(0).le16(0).le16(65535).le16(65535).u8(24).u8(0).fill(30,
                                                                                               0);
    EXPECT_TRUE(ReadAny(kFormatTGA, tga.v).pixels.empty());
    tga.v[2] = 10;
    EXPECT_TRUE(FailsWith(ReadAny(kFormatTGA, tga.v), kErrTooLarge));
    // PCX 65535 x 65535.
    Bytes pcx;
    pcx.u8(0x0A)
        .u8(5)
        .u8(1)
        .u8(8)
        .le16(0)
        .le16(0)
        .le16(65534)
        .le16(65534)
        .le16(72)
        .le16(72)
        .fill(48, 0)
        .u8(0)
        .u8(3)
        .le16(65535)
        .le16(1)
        .fill(58, 0)
        .fill(10, 0xC1);
    EXPECT_TRUE(FailsWith(ReadAny(kFormatPCX, pcx.v), kErrTooLarge));
    // Photoshop 30000 x 30000, RLE with a short count table.
    Bytes psd;
    psd.str("8BPS")
        .be16(1)
        .fill(6, 0)
        .be16(3)
        .be32(30000)
        .be32(30000)
        .be16(8)
        .be16(3)
        .be32(0)
        .be32(0)
        .be32(0)
        .be16(1)
        .fill(100, 0);
    EXPECT_TRUE(ReadAny(kFormatPSD, psd.v).pixels.empty());
    // PNG whose header says 1,000,000 x 1,000,000: the pixel limit refuses it.
    std::vector<std::uint8_t> png = Encode(WritePNG, 2, 2);
    png[16] = 0x00, png[17] = 0x0F, png[18] = 0x42, png[19] = 0x40; // width
    png[20] = 0x00, png[21] = 0x0F, png[22] = 0x42, png[23] = 0x40; // height (CRC now wrong)
    EXPECT_TRUE(ReadAny(kFormatPNG, png).pixels.empty());
    // EMF whose bounds are 100000 pixels wide.
    Bytes emf;
    emf.le32(1).le32(88).le32(0).le32(0).le32(100000).le32(10).fill(16, 0).str(" EMF").fill(44, 0);
    EXPECT_TRUE(FailsWith(ReadAny(kFormatEMF, emf.v), kErrBadMetafile));
    // The pixel limit can be lowered (fuzzing does) and restored.
    const std::uint64_t limit = CodecPixelLimit();
    SetCodecPixelLimit(10);
    EXPECT_TRUE(FailsWith(ReadAny(kFormatBMP, Encode(WriteBMP, 4, 4)), kErrTooLarge));
    SetCodecPixelLimit(limit);
    EXPECT_FALSE(ReadAny(kFormatBMP, Encode(WriteBMP, 4, 4)).pixels.empty());
}

TEST(HostileInput, CorruptRunLengthDataEndsCleanly) {
    // BMP RLE8 with an absolute run longer than the data, then a delta past the end.
    Bytes bmp;
    bmp.str("BM")
        .le32(0)
        .le32(0)
        .le32(54 + 8)
        .le32(40)
        .le32(4)
        .le32(4)
        .le16(1)
        .le16(8)
        .le32(1)
        .fill(20, 0);
    bmp.fill(8, 0).u8(0).u8(200).u8(1).u8(2);
    EXPECT_TRUE(ReadAny(kFormatBMP, bmp.v).pixels.empty());
    Bytes delta = bmp;
    delta.v.erase(delta.v.end() - 4, delta.v.end());
    delta.u8(0).u8(2).u8(250).u8(250).u8(3).u8(1);
    EXPECT_FALSE(ReadAny(kFormatBMP, delta.v).pixels.empty()); // a delta off the picture ends it
    // RLE on a top-down bitmap is not a thing.
    Bytes topDown = bmp;
    topDown.v[22 + 3] = 0xFF, topDown.v[22] = 0xFC; // height -4
    EXPECT_TRUE(ReadAny(kFormatBMP, topDown.v).pixels.empty());
    // PCX whose runs stop short of the picture: the rows they fill, and a warning.
    Bytes pcx;
    pcx.u8(0x0A)
        .u8(5)
        .u8(1)
        .u8(8)
        .le16(0)
        .le16(0)
        .le16(9)
        .le16(9)
        .le16(72)
        .le16(72)
        .fill(48, 0)
        .u8(0)
        .u8(1)
        .le16(10)
        .le16(1)
        .fill(58, 0)
        .u8(0xFF)
        .u8(1)
        .u8(0xC5)
        .u8(2)
        .u8(0xC0);
    const ReadResult cutPcx = ReadAny(kFormatPCX, pcx.v);
    EXPECT_EQ(cutPcx.Warning(), "the file ends early: rows 7\u202610 are missing");
    // Targa run packet cut in the middle of its pixel.
    Bytes tga;
    tga.u8(0).u8(0).u8(10).fill(5, 0).le16(0).le16(0).le16(2).le16(2).u8(24).u8(0).u8(0x83).u8(1);
    EXPECT_TRUE(ReadAny(kFormatTGA, tga.v).pixels.empty());
    // Photoshop RLE rows whose counts point past the end.
    Bytes psd;
    psd.str("8BPS")
        .be16(1)
        .fill(6, 0)
        .be16(1)
        .be32(1)
        .be32(4)
        .be16(8)
        .be16(1)
        .be32(0)
        .be32(0)
        .be32(0)
        .be16(1)
        .be16(500)
        .u8(3)
        .u8(1);
    EXPECT_TRUE(ReadAny(kFormatPSD, psd.v).pixels.empty());
    // Metafile records with sizes of zero and larger than the file end the picture.
    Bytes wmf;
    wmf.le16(1)
        .le16(9)
        .le16(0x300)
        .le32(0)
        .le16(0)
        .le32(0)
        .le16(0)
        .le32(0)
        .le16(0x041B)
        .le32(0xFFFFFF)
        .le16(0x041B);
    EXPECT_FALSE(ReadAny(kFormatWMF, wmf.v).pixels.empty());
}

namespace {

// Sets a TIFF's width and height (the first directory's entries 256 and 257).
void SetTiffSize(std::vector<std::uint8_t>& tif, std::uint32_t w, std::uint32_t h) {
    auto u16 = [&](std::size_t at) { return unsigned(tif[at] | tif[at + 1] << 8); };
    const std::size_t ifd = tif[4] | tif[5] << 8 | tif[6] << 16 | std::size_t(tif[7]) << 24;
    for (unsigned i = 0; i < u16(ifd); ++i) {
        const std::size_t e = ifd + 2 + 12 * i;
        const unsigned tag = u16(e);
        if (tag != 256 && tag != 257) continue;
        const std::uint32_t v = tag == 256 ? w : h;
        for (int k = 0; k < 4; ++k) tif[e + 8 + std::size_t(k)] = std::uint8_t(v >> (8 * k));
        if (u16(e + 2) == 3) tif[e + 10] = tif[e + 11] = 0; // a SHORT holds the low half
    }
}

// Sets a JPEG's frame size (the first SOFn segment).
void SetJpegSize(std::vector<std::uint8_t>& jpg, unsigned w, unsigned h) {
    for (std::size_t i = 2; i + 9 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && (jpg[i + 1] == 0xC0 || jpg[i + 1] == 0xC2)) {
            jpg[i + 5] = std::uint8_t(h >> 8), jpg[i + 6] = std::uint8_t(h);
            jpg[i + 7] = std::uint8_t(w >> 8), jpg[i + 8] = std::uint8_t(w);
            return;
        }
}

} // namespace

// Small files claiming huge pictures are refused before the work starts, with a text
// that says what was refused; malformed Photoshop files say so.
TEST(HostileInput, SizesTheDataCannotFillAreRefusedWithWhatWasRefused) {
    std::vector<std::uint8_t> tif = Encode(WriteTIFF, 4, 4);
    SetTiffSize(tif, 16384, 16384);
    std::vector<std::uint8_t> jpg = Encode(
        [](CSink& s, const std::uint8_t* p, int w, int h) { return WriteJPG(s, p, w, h, 75); }, 16,
        16);
    SetJpegSize(jpg, 16384, 16384);
    Bytes rle; // RLE8 BMP of 60000 x 60000: over the pixel limit
    rle.str("BM").le32(0).le32(0).le32(54).le32(40).le32(60000).le32(60000).le16(1).le16(8);
    rle.le32(1).fill(20, 0).u8(0).u8(1);
    std::vector<std::uint8_t> psd = Encode(WritePSD, 4, 4);
    psd[13] = 2; // two channels for an RGB picture
    const struct {
        int format;
        std::vector<std::uint8_t> file;
        unsigned code;
        std::string text; // the start of the refusal's text
    } cases[] = {
        {kFormatTIFF, tif, kErrTooLarge,
         "image too large: 16384 x 16384 pixels exceeds the limit of "},
        {kFormatJPG, jpg, kErrTooLarge,
         "image too large: 16384 x 16384 pixels exceeds the limit of "},
        {kFormatBMP, rle.v, kErrTooLarge,
         "image too large: 60000 x 60000 pixels exceeds the limit of 268435456"},
        {kFormatPSD, psd, kErrBadPSD, ""},
    };
    for (const auto& c : cases) {
        const ReadResult r = ReadAny(c.format, c.file);
        EXPECT_TRUE(FailsWith(r, c.code)) << c.format;
        EXPECT_EQ(r.detail.substr(0, c.text.size()), c.text) << c.format;
    }
    EXPECT_EQ(ErrorText(kErrBadPSD), "bad PSD file");
    // The file routines hand the refusal's text on.
    TempFolder folder;
    WriteFile(folder.File("huge.tif"), tif);
    LoadedPicture picture;
    EXPECT_EQ(LoadPictureFile(folder.File("huge.tif"), picture), unsigned(kErrTooLarge));
    EXPECT_EQ(picture.message.rfind("image too large: 16384 x 16384 pixels", 0), 0u)
        << picture.message;
}
