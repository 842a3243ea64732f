// Content detection, the camera block, metafiles, the 8-bit save codes, failure
// codes and safe replacement of files.
#include "CodecTestHelpers.h"
#include "core/image/ColorReduction.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/PackedBitmap.h"
#include "core/image/codecs/FormatTable.h"
#include "core/image/codecs/MetafileCanvas.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <png.h>
#include <sys/stat.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

std::vector<std::uint8_t> Encode(CodecStatus (*writer)(CSink&, const std::uint8_t*, int, int),
                                 const Pixels& rgb, int w, int h) {
    CSink sink;
    EXPECT_TRUE(writer(sink, rgb.data(), w, h));
    return sink.Bytes();
}

// A JPEG with extra APP1 markers inserted right after SOI.
std::vector<std::uint8_t> JpegWithApp1(const std::vector<std::vector<std::uint8_t>>& blocks) {
    const Pixels rgb = SmoothRGB(8, 8);
    CSink sink;
    std::vector<JPGMarker> markers;
    for (const auto& b : blocks) markers.push_back({0xE1, b});
    EXPECT_TRUE(WriteJPG(sink, rgb.data(), 8, 8, 80, &markers));
    return sink.Bytes();
}

std::vector<std::uint8_t> ExifBlock(std::uint8_t tag) {
    std::vector<std::uint8_t> b = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, tag};
    return b;
}

} // namespace

TEST(Detection, ContentComesFirstAndTargaGoesByExtensionOnly) {
    TempFolder folder;
    const Pixels rgb = NoiseRGB(6, 4);
    // A PNG named .jpg loads as PNG.
    WriteFile(folder.File("png.jpg"), Encode(WritePNG, rgb, 6, 4));
    CImageFileBuffer buffer;
    EXPECT_EQ(buffer.Load(folder.File("png.jpg")), 0u);
    ASSERT_EQ(buffer.Width(), 6);
    EXPECT_EQ(std::memcmp(buffer.LockRGB(), rgb.data(), rgb.size()), 0);
    buffer.Unlock();
    // A Targa file is read when its name says so, and not otherwise.
    const auto tga = Encode(WriteTGA, rgb, 6, 4);
    CSource tgaSource(tga.data(), tga.size());
    EXPECT_EQ(DetectFormat(tgaSource), 0);
    WriteFile(folder.File("a.tga"), tga);
    WriteFile(folder.File("a.TGA.dat"), tga);
    EXPECT_EQ(buffer.Load(folder.File("a.tga")), 0u);
    EXPECT_EQ(buffer.Width(), 6);
    EXPECT_EQ(buffer.Load(folder.File("a.TGA.dat")), 0u);
    EXPECT_FALSE(buffer.HasPixels());
    // No extension and unknown content: code 0 and no picture.
    WriteFile(folder.File("mystery"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(buffer.Load(folder.File("mystery")), 0u);
    EXPECT_FALSE(buffer.HasPixels());
    // GIF is recognised and gives no picture.
    WriteFile(folder.File("g.png"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0});
    CSource gif(ReadFile(folder.File("g.png")));
    EXPECT_EQ(DetectFormat(gif), int(kDetectGIF));
    EXPECT_EQ(buffer.Load(folder.File("g.png")), 0u);
    EXPECT_FALSE(buffer.HasPixels());
    // So is PAX, by its content and not its name: a PAX file named .pcx is not read
    // (and refused) as a PCX file.
    std::vector<std::uint8_t> pax(200, 0);
    pax[0] = 'P', pax[1] = 'A', pax[2] = 'X';
    CSource paxSource(pax.data(), pax.size());
    EXPECT_EQ(DetectFormat(paxSource), int(kDetectPAX));
    WriteFile(folder.File("p.pcx"), pax);
    EXPECT_EQ(buffer.Load(folder.File("p.pcx")), 0u);
    EXPECT_EQ(buffer.LoadedFormat(), int(kFormatPAX));
    EXPECT_FALSE(buffer.HasPixels());
    // A missing file.
    EXPECT_EQ(buffer.Load(folder.File("none.png")), unsigned(kErrFileOpen));
    // Every detector on its own format.
    const struct {
        CodecStatus (*writer)(CSink&, const std::uint8_t*, int, int);
        int id;
    } kinds[] = {{WriteBMP, kDetectBMP},   {WritePNG, kDetectPNG}, {WritePCX, kDetectPCX},
                 {WriteTIFF, kDetectTIFF}, {WriteWMF, kDetectWMF}, {WriteEMF, kDetectEMF},
                 {WritePSD, kDetectPSD}};
    for (const auto& k : kinds) {
        const auto bytes = Encode(k.writer, rgb, 6, 4);
        CSource s(bytes.data(), bytes.size());
        EXPECT_EQ(DetectFormat(s), k.id);
    }
}

TEST(Extensions, SearchOrderAndCase) {
    EXPECT_EQ(FormatFromExtension(".JpEg"), int(kFormatJPG));
    EXPECT_EQ(FormatFromExtension(".tiff"), int(kFormatTIFF));
    EXPECT_EQ(FormatFromExtension(".pax"), int(kFormatPAX));
    EXPECT_EQ(FormatFromExtension(""), int(kFormatNone));
    EXPECT_EQ(FormatFromExtension(".xyz"), int(kFormatNone));
    EXPECT_EQ(PathExtension("/a.b/c"), "");
    EXPECT_EQ(PathExtension("/a/c.Tga"), ".Tga");
}

TEST(CameraBlock, TheLastExifApp1IsKept) {
    TempFolder folder;
    CImageFileBuffer buffer;
    // Two camera blocks: the second wins.
    WriteFile(folder.File("two.jpg"), JpegWithApp1({ExifBlock(1), ExifBlock(2)}));
    ASSERT_EQ(buffer.Load(folder.File("two.jpg")), 0u);
    EXPECT_EQ(buffer.CameraBlock(), ExifBlock(2));
    // A camera block followed by an XMP block: the camera block stays.
    std::vector<std::uint8_t> xmp(30, 'x');
    const char* ns = "http://ns.adobe.com/xap/1.0/";
    std::copy(ns, ns + std::strlen(ns), xmp.begin());
    WriteFile(folder.File("xmp.jpg"), JpegWithApp1({ExifBlock(3), xmp}));
    ASSERT_EQ(buffer.Load(folder.File("xmp.jpg")), 0u);
    EXPECT_EQ(buffer.CameraBlock(), ExifBlock(3));
    // No camera block: the buffer keeps none, not the one of the file before.
    WriteFile(folder.File("none.jpg"), JpegWithApp1({xmp}));
    ASSERT_EQ(buffer.Load(folder.File("none.jpg")), 0u);
    EXPECT_TRUE(buffer.CameraBlock().empty());
    // Read directly, the markers and their numbers are in the result, in file order.
    const auto bytes = JpegWithApp1({ExifBlock(4), xmp});
    CSource s(bytes.data(), bytes.size());
    const ReadResult read = ReadJPG(s);
    ASSERT_TRUE(read.Ok());
    int app1 = 0;
    for (const JPGMarker& m : read.markers) app1 += m.marker == 0xE1;
    EXPECT_EQ(app1, 2);
    EXPECT_EQ(PickCameraBlock(read.markers), ExifBlock(4));
    // A failed read gives no markers and nothing stays behind for the next one.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 40);
    CSource cutSource(cut.data(), cut.size());
    const ReadResult failed = ReadJPG(cutSource);
    EXPECT_EQ(failed.code, unsigned(kErrBadJPG));
    EXPECT_TRUE(failed.markers.empty());
}

TEST(Metafiles, WithoutSizeRender100By100OnGray128) {
    TempFolder folder;
    // A plain metafile (no placeable header): header and end record only.
    Bytes wmf;
    wmf.le16(1).le16(9).le16(0x300).le32(12).le16(0).le32(3).le16(0).le32(3).le16(0);
    WriteFile(folder.File("plain.wmf"), wmf.v);
    CImageFileBuffer buffer;
    ASSERT_EQ(buffer.Load(folder.File("plain.wmf")), 0u);
    ASSERT_EQ(buffer.Width(), 100);
    ASSERT_EQ(buffer.Height(), 100);
    const std::uint8_t* p = buffer.LockRGB();
    EXPECT_TRUE(std::all_of(p, p + 30000, [](std::uint8_t v) { return v == 128; }));
    buffer.Unlock();
    // An enhanced metafile whose bounds are empty.
    Bytes emf;
    emf.le32(1)
        .le32(88)
        .le32(0)
        .le32(0)
        .le32(std::uint32_t(-1))
        .le32(std::uint32_t(-1))
        .fill(16, 0)
        .str(" EMF")
        .le32(0x10000)
        .le32(108)
        .le32(2)
        .fill(32, 0)
        .le32(14)
        .le32(20)
        .le32(0)
        .le32(16)
        .le32(20);
    WriteFile(folder.File("empty.emf"), emf.v);
    ASSERT_EQ(buffer.Load(folder.File("empty.emf")), 0u);
    EXPECT_EQ(buffer.Width(), 100);
    EXPECT_EQ(buffer.LockRGB()[0], 128);
    buffer.Unlock();
}

TEST(Metafiles, ShapesAreDrawnWithTheirBrushes) {
    // Placeable, 20 x 10 units at 96 an inch; a red rectangle (no pen) and a blue
    // triangle.
    Bytes wmf;
    wmf.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(20).le16(10).le16(96).le32(0).le16(0);
    wmf.le16(1).le16(9).le16(0x300).le32(0).le16(3).le32(0).le16(0);
    wmf.le32(7).le16(0x02FC).le16(0).le32(0x0000FF).le16(0); // brush 0: red
    wmf.le32(4).le16(0x012D).le16(0);                        // select
    wmf.le32(8).le16(0x02FA).le16(5).le32(0).le32(0);        // pen 1: null
    wmf.le32(4).le16(0x012D).le16(1);
    wmf.le32(7).le16(0x041B).le16(5).le16(5).le16(1).le16(1); // rectangle (1,1)-(5,5)
    wmf.le32(7).le16(0x02FC).le16(0).le32(0xFF0000).le16(0);  // brush 2: blue
    wmf.le32(4).le16(0x012D).le16(2);
    wmf.le32(10).le16(0x0324).le16(3).le16(10).le16(0).le16(20).le16(0).le16(20).le16(
        10); // triangle
    wmf.le32(3).le16(0);
    CSource source(wmf.v.data(), wmf.v.size());
    const ReadResult r = RenderMetafile(source);
    const int w = r.width, h = r.height;
    const Pixels& p = r.pixels;
    ASSERT_EQ(w, 20);
    ASSERT_EQ(h, 10);
    auto at = [&](int x, int y) { return &p[(std::size_t(y) * w + x) * 3]; };
    EXPECT_EQ(at(2, 2)[0], 255);
    EXPECT_EQ(at(2, 2)[2], 0);
    EXPECT_EQ(at(0, 0)[0], 128); // background
    EXPECT_EQ(at(5, 5)[0], 128); // rectangles leave out their right and bottom edges
    EXPECT_EQ(at(18, 2)[2], 255);
    EXPECT_EQ(at(11, 8)[2], 128); // below the triangle's diagonal
}

TEST(SaveCodes, GrayPngHasTheIdentityRampAndEightBitPngHasAPalette) {
    TempFolder folder;
    const Pixels rgb = NoiseRGB(16, 16);
    CImageFileBuffer buffer;
    buffer.Allocate(16, 16);
    std::memcpy(buffer.LockRGB(), rgb.data(), rgb.size());
    buffer.Unlock();
    auto header = [](const std::vector<std::uint8_t>& png) {
        return std::make_pair(png[24], png[25]);
    }; // depth, colour type
    ASSERT_EQ(buffer.Save(folder.File("gray.png"), kFormatPNGGray), 0u);
    EXPECT_EQ(header(ReadFile(folder.File("gray.png"))),
              std::make_pair(std::uint8_t(8), std::uint8_t(PNG_COLOR_TYPE_GRAY)));
    // The save dialog's "8-bit PNG File (*.png)" entry writes a 256-colour PNG
    // whatever the name says.
    EXPECT_EQ(BufferSaveDialogCode(4), int(kFormatPNG8));
    ASSERT_EQ(buffer.Save(folder.File("named.jpg"), BufferSaveDialogCode(4)), 0u);
    const auto png8 = ReadFile(folder.File("named.jpg"));
    ASSERT_TRUE(IsPNG(png8.data(), png8.size()));
    EXPECT_EQ(header(png8), std::make_pair(std::uint8_t(8), std::uint8_t(PNG_COLOR_TYPE_PALETTE)));
    // Its palette chunk holds 256 entries.
    bool plte256 = false;
    for (std::size_t i = 4; i + 4 < png8.size(); ++i)
        if (std::memcmp(&png8[i], "PLTE", 4) == 0)
            plte256 = (png8[i - 2] << 8 | png8[i - 1]) == 768;
    EXPECT_TRUE(plte256);
    EXPECT_EQ(BufferSaveDialogCode(0), int(kFormatPNG));
    EXPECT_EQ(BufferSaveDialogCode(5), int(kFormatPSD));
    EXPECT_EQ(BufferSaveDialogCode(6), int(kFormatNone));
    // GIF and unknown codes write nothing and say so.
    EXPECT_EQ(buffer.Save(folder.File("x.gif"), kFormatGIF), unsigned(kErrBadParam));
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.gif")));
}

TEST(SafeSaving, AFailedSaveLeavesTheOldFileAndNoTemporaryFiles) {
    TempFolder folder;
    const std::string path = folder.File("keep.wmf");
    WriteFile(path, {'o', 'l', 'd'});
    CImageFileBuffer buffer;
    // Metafiles cannot hold 40000 pixels across: the writer fails.
    ASSERT_EQ(buffer.Allocate(40000, 1), 0);
    EXPECT_EQ(buffer.Save(path, kFormatWMF), unsigned(kErrBadParam));
    EXPECT_EQ(ReadFile(path), std::vector<std::uint8_t>({'o', 'l', 'd'}));
    // A successful save replaces it, keeping its permissions.
    ::chmod(path.c_str(), 0640);
    buffer.Allocate(3, 2);
    EXPECT_EQ(buffer.Save(path, kFormatWMF), 0u);
    EXPECT_GT(ReadFile(path).size(), 3u);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);
    // A folder that does not exist: the sink cannot be opened.
    EXPECT_EQ(buffer.Save(folder.File("no/such/a.png"), kFormatPNG), unsigned(kErrFileOpen));
}

TEST(FailureCodes, TextsAndStatus) {
    EXPECT_EQ(ErrorText(0), "no err");
    EXPECT_EQ(ErrorText(7), "some RLE variations are not supported");
    EXPECT_EQ(ErrorText(29), "a call to BitBlt failed.");
    EXPECT_EQ(ErrorText(32), "bad TGA File");
    EXPECT_EQ(ErrorText(36), "LZW de/compression is not permitted");
    EXPECT_EQ(ErrorText(8), "Error #8!");
    EXPECT_EQ(ErrorText(1234), "Error #1234!");
    EXPECT_EQ(CImageFileBuffer::ErrorText(22), "invalid PCX image");
    // A status tests true exactly on success and carries its code.
    EXPECT_TRUE(CodecStatus().Ok());
    EXPECT_FALSE(CodecStatus(kErrPaletteFull));
    EXPECT_EQ(CodecStatus(31u).Code(), 31u);
}

TEST(ColourReduction, GrayPaletteAndQuantising) {
    const std::uint8_t rgb[] = {255, 255, 255, 0, 0, 0, 255, 0, 0, 10, 200, 30};
    std::uint8_t gray[4];
    ToGray(rgb, 4, 1, gray);
    EXPECT_EQ(gray[0], 255);
    EXPECT_EQ(gray[1], 0);
    EXPECT_EQ(gray[2], (77 * 255) >> 8);
    EXPECT_EQ(gray[3], (77 * 10 + 150 * 200 + 29 * 30) >> 8);
    const Palette256 identity = IdentityPalette();
    EXPECT_TRUE(IsIdentityPalette(identity));
    EXPECT_EQ(identity[200], (PaletteEntry{200, 200, 200}));
    // More than 256 colours: 256 entries, each pixel close to its entry.
    const int w = 128, h = 64;
    const Pixels smooth = SmoothRGB(w, h);
    Pixels index(std::size_t(w) * h);
    Palette256 palette;
    QuantizeTo256(smooth.data(), w, h, index.data(), 256, palette);
    Pixels back;
    for (std::uint8_t i : index)
        back.insert(back.end(), {palette[i].r, palette[i].g, palette[i].b});
    EXPECT_LT(MaxDifference(back, smooth), 24);
    EXPECT_LT(MeanDifference(back, smooth), 4.0);
    Palette256 made;
    EXPECT_EQ(MakePalette256(smooth.data(), w, h, 256, made), 256);
    EXPECT_EQ(MakePalette256(rgb, 4, 1, 256, made), 4);
    EXPECT_EQ(made[3], (PaletteEntry{10, 200, 30}));
    EXPECT_EQ(made[4], (PaletteEntry{0, 0, 0}));
}

TEST(Preview, CheckerboardMixFollowsTheFormula) {
    // 22 x 12 pixels, half transparent, colour (100, 50, 0) in the block's order.
    const int w = 22, h = 12;
    Pixels block(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < block.size(); i += 4)
        block[i] = 100, block[i + 1] = 50, block[i + 2] = 0, block[i + 3] = 128;
    CImageFileBuffer buffer;
    ASSERT_EQ(buffer.MakeCheckerPreview(block.data(), w, h), 0);
    const std::uint8_t* p = buffer.LockRGB();
    auto mix = [](int c, int checker) { return (c * 128 + 127 * checker) >> 8; };
    EXPECT_EQ(p[0], mix(100, 192));                    // (0, 0): same half
    EXPECT_EQ(p[10 * 3], mix(100, 192));               // column 10 is still the first half
    EXPECT_EQ(p[11 * 3], mix(100, 255));               // column 11: other half
    EXPECT_EQ(p[(11 * w + 11) * 3 + 1], mix(50, 192)); // both in the second half
    EXPECT_EQ(p[(11 * w + 0) * 3 + 2], mix(0, 255));
    EXPECT_EQ(p[(0 * w + 20) * 3], mix(100, 192)); // column 20 starts again
    buffer.Unlock();
}

TEST(PackedBitmaps, ClipboardConversionsAndSavingThem) {
    const Pixels rgb = NoiseRGB(5, 3);
    const std::vector<std::uint8_t> dib = RGBToDIB(rgb.data(), 5, 3);
    ASSERT_EQ(dib.size(), 40u + 16u * 3u);
    const ReadResult back = DIBToRGB(dib.data(), dib.size());
    EXPECT_TRUE(back.pixels == rgb);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    const ReadResult cut = DIBToRGB(dib.data(), 30);
    EXPECT_TRUE(cut.pixels.empty());
    EXPECT_EQ(cut.code, unsigned(kErrBadBMP));
    TempFolder folder;
    CImageFileBuffer buffer;
    EXPECT_EQ(buffer.SaveClipboardBitmap(dib.data(), dib.size(), folder.File("clip.bmp")), 1);
    EXPECT_EQ(buffer.Load(folder.File("clip.bmp")), 0u);
    EXPECT_EQ(std::memcmp(buffer.LockRGB(), rgb.data(), rgb.size()), 0);
    buffer.Unlock();
    EXPECT_EQ(buffer.SaveClipboardBitmap(dib.data(), 10, folder.File("bad.bmp")), 0);
    EXPECT_EQ(buffer.SaveClipboardBitmap(dib.data(), dib.size(), folder.File("no/dir.bmp")), 3);
}
