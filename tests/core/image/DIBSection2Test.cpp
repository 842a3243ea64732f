#include "core/image/DIBSection2.h"
#include "core/base/Archive.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

using namespace quiltara;
using namespace quiltara::test;

namespace {

std::uint8_t* Px(CDIBSection2& p, int x, int y) {
    return p.PixelAt(x, y);
}

void SetPx(CDIBSection2& p, int x, int y, int b, int g, int r, int a) {
    std::uint8_t* q = p.PixelAt(x, y);
    q[0] = std::uint8_t(b), q[1] = std::uint8_t(g), q[2] = std::uint8_t(r), q[3] = std::uint8_t(a);
}

std::uintmax_t FileSize(const std::string& path) {
    return std::filesystem::file_size(path);
}

} // namespace

TEST(Placeholders, NewPictureIsEmptyWithGrayRampPlaceholder) {
    CDIBSection2 pic;
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(pic.GetWidth(), 16);
    EXPECT_EQ(pic.GetHeight(), 16);
    EXPECT_EQ(pic.GetBitsPerPixel(), 8);
    ASSERT_NE(pic.GetPalette(), nullptr);
    const std::uint8_t* entry254 = pic.GetPalette() + 4 * 254;
    EXPECT_EQ(entry254[0], 255);
    EXPECT_EQ(entry254[1], 255);
    EXPECT_EQ(entry254[2], 255);
    // Entry i is trunc(255 / 254 * i): 1 -> 1, 127 -> 127, 128 -> 128.
    EXPECT_EQ(pic.GetPalette()[4 * 127], 127);
    EXPECT_EQ(pic.GetPalette()[4 * 0 + 3], 255);
    // Entry 255 is outside the ramp and stays zero.
    EXPECT_EQ(pic.GetPalette()[4 * 255], 0);
}

TEST(Placeholders, MakeEmptyLeavesTwoByTwoAndIsIdempotent) {
    CDIBSection2 pic;
    pic.MakeEmpty(); // already empty: nothing changes
    EXPECT_EQ(pic.GetWidth(), 16);
    pic.Create(30, 20, 32, true);
    EXPECT_FALSE(pic.IsEmpty());
    pic.MakeEmpty();
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(pic.GetWidth(), 2);
    EXPECT_EQ(pic.GetHeight(), 2);
    EXPECT_EQ(pic.GetBitsPerPixel(), 32);
}

TEST(Layout, RowTableRunsBottomUpAndBytesPerLineRounds) {
    CDIBSection2 pic;
    pic.Create(3, 4, 32, false);
    EXPECT_EQ(pic.GetRow(0), pic.GetBits() + 3 * 12); // top row is the last in memory
    EXPECT_EQ(pic.GetRow(3), pic.GetBits());
    EXPECT_EQ(CBmp::BytesPerLine(3, 24), 12u);
    EXPECT_EQ(CBmp::BytesPerLine(9, 1), 4u);
    EXPECT_EQ(CBmp::BytesPerLine(33, 1), 8u);
    EXPECT_EQ(CBmp::BytesPerLine(5, 4), 4u);
    EXPECT_THROW(pic.Create(0, 5, 32, true), std::bad_alloc);
    EXPECT_THROW(pic.Create(1 << 30, 1 << 30, 32, true), std::bad_alloc);
}

TEST(Copying, CopyOfNullOrEmptyChangesNothing) {
    CDIBSection2 pic, empty;
    MakePatternPicture(pic, 5, 5);
    CDIBSection2 before;
    before.Copy(&pic);
    pic.Copy(nullptr);
    pic.Copy(&empty);
    EXPECT_TRUE(SamePixels(pic, before));
}

TEST(Copying, CopyIntoSwappedOutPictureStaysSwappedOutWithNewPixels) {
    TempFolder folder;
    CDIBSection2 pic, source;
    MakePatternPicture(pic, 4, 4, 1);
    ASSERT_EQ(pic.SwapOut(), PictureError::kNone);
    MakePatternPicture(source, 7, 3, 2);
    source.SetTag(77);
    pic.Copy(&source);
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_TRUE(pic.IsSwappedOut());
    EXPECT_EQ(FileSize(pic.GetTempPath()), 8u + 7 * 3 * 4);
    pic.SwapIn();
    EXPECT_TRUE(SamePixels(pic, source));
    EXPECT_EQ(pic.GetTag(), 77u);
}

TEST(Copying, CropNormalisesAndClips) {
    CDIBSection2 src, out;
    MakePatternPicture(src, 10, 8);
    out.Crop(&src, {7, 6, 2, 1}); // reversed both ways
    ASSERT_FALSE(out.IsEmpty());
    EXPECT_EQ(out.GetWidth(), 5);
    EXPECT_EQ(out.GetHeight(), 5);
    EXPECT_EQ(0, std::memcmp(out.PixelAt(0, 0), src.PixelAt(2, 1), 4));
    EXPECT_EQ(0, std::memcmp(out.PixelAt(4, 4), src.PixelAt(6, 5), 4));

    out.Crop(&src, {-5, -5, 3, 100}); // clipped to the source
    EXPECT_EQ(out.GetWidth(), 3);
    EXPECT_EQ(out.GetHeight(), 8);
    EXPECT_EQ(0, std::memcmp(out.PixelAt(0, 0), src.PixelAt(0, 0), 4));

    CDIBSection2 untouched;
    MakePatternPicture(untouched, 2, 2, 9);
    CDIBSection2 reference;
    reference.Copy(&untouched);
    untouched.Crop(&src, {20, 20, 30, 30}); // entirely outside
    EXPECT_TRUE(SamePixels(untouched, reference));
}

TEST(Copying, CopyTopOverWhiteTakesTopRowsAndBlendsOnWhite) {
    CDIBSection2 src, out;
    src.Create(4, 6, 32, true);
    SetPx(src, 0, 5, 10, 20, 30, 0);   // memory row 5 = picture row 0 (top)
    SetPx(src, 1, 5, 10, 20, 30, 255); // opaque
    SetPx(src, 2, 5, 100, 0, 200, 128);
    out.CopyTopOverWhite(&src, 3, 2, false);
    ASSERT_EQ(out.GetWidth(), 3);
    ASSERT_EQ(out.GetHeight(), 2);
    EXPECT_EQ(out.GetRow(0)[0], 254); // ((255-0)*255 + 10*0) >> 8
    EXPECT_EQ(out.GetRow(0)[4], 9);   // (0*255 + 10*255) >> 8
    EXPECT_EQ(out.GetRow(0)[8], (127 * 255 + 100 * 128) >> 8);
    EXPECT_EQ(out.GetRow(0)[11], 128); // alpha copied
    out.CopyTopOverWhite(&src, 3, 2, true);
    EXPECT_EQ(out.GetRow(0)[0], 10);
}

TEST(Pasting, PasteAtNegativePositionCopiesOnlyTheOverlap) {
    CDIBSection2 target, source;
    target.Create(6, 6, 32, true);
    target.FillOpaque(0);
    MakePatternPicture(source, 4, 4);
    target.PasteFrom(source, -2, -1, 0);
    // Source (2, 1) lands at target (0, 0); source (3, 3) at (1, 2).
    EXPECT_EQ(0, std::memcmp(target.PixelAt(0, 0), source.PixelAt(2, 1), 4));
    EXPECT_EQ(0, std::memcmp(target.PixelAt(1, 2), source.PixelAt(3, 3), 4));
    EXPECT_EQ(Px(target, 2, 0)[3], 255); // outside the overlap: untouched
    EXPECT_EQ(Px(target, 0, 3)[3], 255);
}

TEST(Pasting, PasteNeedsAlphaAndBlendsByCoverage) {
    CDIBSection2 target, source;
    target.Create(2, 1, 32, false);
    target.FillOpaque(0);
    source.Create(2, 1, 32, true);
    source.FillOpaque(0xFFFFFF);
    target.PasteFrom(source, 0, 0, 0);
    EXPECT_EQ(Px(target, 0, 0)[0], 0); // no hasAlpha: nothing happens

    target.Create(3, 1, 32, true);
    target.FillOpaque(MakeColorRef(0, 0, 100)); // blue byte 100
    SetPx(source, 0, 0, 200, 200, 200, 0);
    SetPx(source, 1, 0, 200, 200, 200, 64);
    source.Create(3, 1, 32, true);
    SetPx(source, 0, 0, 200, 200, 200, 0);
    SetPx(source, 1, 0, 200, 200, 200, 64);
    SetPx(source, 2, 0, 200, 200, 200, 255);
    target.PasteFrom(source, 0, 0, 1);
    EXPECT_EQ(Px(target, 0, 0)[0], 100);
    EXPECT_EQ(Px(target, 1, 0)[0], (100 * 191 + 200 * 64) >> 8);
    EXPECT_EQ(Px(target, 2, 0)[0], 200);
    EXPECT_EQ(Px(target, 1, 0)[3], 255); // target alpha stays
}

TEST(Pasting, CompositeFloatBlendsOverPictureAndGrayOutside) {
    CDIBSection2 base, layer, result;
    base.Create(2, 1, 32, true);
    base.FillOpaque(MakeColorRef(0, 0, 40));
    layer.Create(3, 1, 32, true);
    SetPx(layer, 0, 0, 200, 0, 0, 0);   // inside, transparent: base pixel
    SetPx(layer, 1, 0, 200, 0, 0, 100); // inside, partial
    SetPx(layer, 2, 0, 200, 0, 0, 100); // outside, partial over gray
    base.CompositeFloat(&result, layer, 0, 0);
    ASSERT_EQ(result.GetWidth(), 3);
    EXPECT_EQ(result.PixelAt(0, 0)[0], 40);
    EXPECT_EQ(result.PixelAt(1, 0)[0], (40 * 155 + 200 * 100) >> 8);
    EXPECT_EQ(result.PixelAt(2, 0)[0], (200 * 100 + 155 * 128) >> 8);
    EXPECT_EQ(result.PixelAt(2, 0)[1], (0 * 100 + 155 * 128) >> 8);
}

TEST(PointOperations, FillTintFlattenAndMasks) {
    CDIBSection2 pic;
    pic.Create(2, 1, 32, true);
    pic.SetAlpha(7);
    pic.Fill(MakeColorRef(1, 2, 3));
    EXPECT_EQ(Px(pic, 0, 0)[0], 3); // blue
    EXPECT_EQ(Px(pic, 0, 0)[2], 1); // red
    EXPECT_EQ(Px(pic, 0, 0)[3], 7); // alpha kept

    SetPx(pic, 0, 0, 30, 60, 90, 128);
    pic.FlattenOnColour(MakeColorRef(255, 255, 255));
    EXPECT_EQ(Px(pic, 0, 0)[0], (30 * 128 + 255 * 127) >> 8);

    SetPx(pic, 0, 0, 240, 240, 240, 0);
    pic.Tint(MakeColorRef(10, 20, 250));
    EXPECT_EQ(Px(pic, 0, 0)[2], 0);   // -15 + 10 clamps at 0
    EXPECT_EQ(Px(pic, 0, 0)[1], 5);   // -15 + 20
    EXPECT_EQ(Px(pic, 0, 0)[0], 235); // -15 + 250

    CDIBSection2 mask;
    mask.Create(11, 11, 32, true);
    mask.MakeRectMask(4, 4); // cx = cy = 3: 3..7 inclusive
    EXPECT_EQ(Px(mask, 3, 3)[3], 255);
    EXPECT_EQ(Px(mask, 7, 7)[3], 255);
    EXPECT_EQ(Px(mask, 8, 7)[3], 0);
    EXPECT_EQ(Px(mask, 2, 5)[3], 0);
    mask.MakeRoundMask(6, 6); // centre (5, 5), radius squared 18
    EXPECT_EQ(Px(mask, 5, 5)[3], 255);
    EXPECT_EQ(Px(mask, 8, 8)[3], 255); // 9 + 9 = 18
    EXPECT_EQ(Px(mask, 9, 8)[3], 0);
    mask.SetAlpha(0);
    mask.MakeRoundMask(1, 1);
    EXPECT_EQ(Px(mask, 5, 5)[3], 255);
    EXPECT_EQ(Px(mask, 4, 5)[3], 0);
}

TEST(Buffers, ImportExportRoundTripAndAlphaFromGray) {
    const int w = 3, h = 2;
    std::uint8_t rgb[w * h * 3];
    for (int i = 0; i < w * h * 3; ++i) rgb[i] = std::uint8_t(i * 11);
    CDIBSection2 pic;
    pic.ImportRGB(rgb, w, h, 0);
    ASSERT_EQ(pic.GetWidth(), w);
    // The buffer's first pixel is the top-left: memory row h-1.
    EXPECT_EQ(pic.PixelAt(0, h - 1)[2], rgb[0]);
    EXPECT_EQ(pic.PixelAt(0, h - 1)[0], rgb[2]);
    EXPECT_EQ(pic.PixelAt(0, h - 1)[3], 0);
    std::uint8_t back[w * h * 3];
    pic.ExportRGB(back);
    EXPECT_EQ(0, std::memcmp(rgb, back, sizeof rgb));

    pic.SetAlpha(9);
    pic.ImportRGB(rgb, w, h, -1); // alpha left as it was
    EXPECT_EQ(pic.PixelAt(2, 0)[3], 9);

    std::uint8_t gray[2 * 1 * 3] = {50, 0, 0, 60, 0, 0};
    pic.SetAlphaFromGray(gray, 2, 1, true);
    EXPECT_EQ(pic.GetRow(0)[3], 205);
    EXPECT_EQ(pic.GetRow(0)[7], 195);
    EXPECT_EQ(pic.GetRow(0)[11], 9); // outside the buffer
    EXPECT_EQ(pic.GetRow(1)[3], 9);

    std::uint8_t rgba[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    pic.ImportRGBA(rgba, 2, 1);
    EXPECT_EQ(pic.GetWidth(), 2);
    EXPECT_EQ(pic.PixelAt(1, 0)[0], 7);
    EXPECT_EQ(pic.PixelAt(1, 0)[3], 8);
}

TEST(Swapping, TempNamesArePrefixFiveDigitsBelowNineAndUnique) {
    TempFolder folder;
    std::set<std::string> names;
    std::vector<std::unique_ptr<CDIBSection2>> pictures;
    // "und", five digits from 0 to 8, ".tmp" (no std::regex: GCC's optimiser warns
    // inside it under the sanitizers).
    auto wellFormed = [](const std::string& name) {
        return name.size() == 12 && name.rfind("und", 0) == 0 && name.compare(8, 4, ".tmp") == 0 &&
               std::all_of(name.begin() + 3, name.begin() + 8,
                           [](char c) { return c >= '0' && c <= '8'; });
    };
    for (int i = 0; i < 50; ++i) {
        auto pic = std::make_unique<CDIBSection2>();
        pic->SetTempPrefix("und");
        const std::string path = pic->GetTempPath();
        EXPECT_EQ(path.rfind(folder.Path(), 0), 0u);
        const std::string name = path.substr(folder.Path().size());
        EXPECT_TRUE(wellFormed(name)) << name;
        EXPECT_EQ(pic->GetTempPath(), path); // stable
        names.insert(path);
        pictures.push_back(std::move(pic));
    }
    // Fifty pictures made in the same few milliseconds still get fifty files.
    EXPECT_EQ(names.size(), 50u);
}

TEST(Swapping, SwapOutTwiceWritesOnceAndSwapInRestores) {
    TempFolder folder;
    CDIBSection2 pic, reference;
    MakePatternPicture(pic, 9, 5);
    reference.Copy(&pic);
    ASSERT_EQ(pic.SwapOut(), PictureError::kNone);
    const std::string path = pic.GetTempPath();
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(pic.GetSwappedWidth(), 9);
    const auto firstWrite = std::filesystem::last_write_time(path);
    std::filesystem::remove(path);
    ASSERT_EQ(pic.SwapOut(), PictureError::kNone); // empty and swapped out: nothing is written
    EXPECT_FALSE(std::filesystem::exists(path));
    (void)firstWrite;

    CDIBSection2 again;
    MakePatternPicture(again, 4, 4);
    again.SwapIn(); // not swapped out: nothing
    EXPECT_FALSE(again.IsEmpty());

    CDIBSection2 other;
    other.Copy(&reference);
    ASSERT_EQ(other.SwapOut(), PictureError::kNone);
    other.SwapIn();
    EXPECT_TRUE(SamePixels(other, reference));
    const std::string otherPath = other.GetTempPath();
    other.DeleteTempFile();
    EXPECT_FALSE(std::filesystem::exists(otherPath));
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_FALSE(other.IsSwappedOut());
}

TEST(Swapping, DestructorDeletesTheFile) {
    TempFolder folder;
    std::string path;
    {
        CDIBSection2 pic;
        MakePatternPicture(pic, 3, 3);
        ASSERT_EQ(pic.SwapOut(), PictureError::kNone);
        path = pic.GetTempPath();
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Swapping, FailedSwapOutKeepsPixelsAndReportsTheFile) {
    TempFolder folder;
    MessageCollector messages;
    CDIBSection2 pic, reference;
    MakePatternPicture(pic, 6, 6);
    reference.Copy(&pic);
    pic.SetTempDir(folder.Path() + "missing-folder/");
    EXPECT_EQ(pic.SwapOut(), PictureError::kTempFileWrite);
    EXPECT_FALSE(pic.IsEmpty());
    EXPECT_TRUE(SamePixels(pic, reference));
    // A copy into it swaps out again and fails the same way.
    EXPECT_EQ(pic.Copy(&reference), PictureError::kTempFileWrite);
    // The picture only reports; what the user is told is its caller's business.
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(PictureErrorText(PictureError::kTempFileWrite, pic.GetTempPath()),
              "Can't save temporary file to disk. Not enough disk space.\n" + pic.GetTempPath());
    EXPECT_EQ(PictureErrorText(PictureError::kNone), "");
}

TEST(RawFiles, BadSizesAndShortFiles) {
    TempFolder folder;
    CDIBSection2 pic, reference;
    MakePatternPicture(pic, 4, 4);
    reference.Copy(&pic);
    auto write = [&](const std::string& name, std::int32_t w, std::int32_t h, std::size_t pixels) {
        std::ofstream out(folder.File(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&w), 4);
        out.write(reinterpret_cast<const char*>(&h), 4);
        std::string bytes(pixels, '\x5A');
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return folder.File(name);
    };
    EXPECT_EQ(pic.LoadRaw(folder.File("nope.raw")), 0);
    EXPECT_EQ(pic.LoadRaw(write("neg.raw", -3, 4, 0)), 1); // success without change
    EXPECT_TRUE(SamePixels(pic, reference));
    EXPECT_EQ(pic.LoadRaw(write("zero.raw", 5, 0, 0)), 1);
    EXPECT_TRUE(SamePixels(pic, reference));
    EXPECT_EQ(pic.LoadRaw(write("short.raw", 3, 2, 10)), 0); // short: new size, what was read
    EXPECT_EQ(pic.GetWidth(), 3);
    EXPECT_EQ(pic.PixelAt(0, 0)[0], 0x5A);
    EXPECT_EQ(pic.LoadRaw(write("huge.raw", 1 << 30, 1 << 30, 4)), 0); // no terabyte allocation
    EXPECT_EQ(pic.LoadRaw(write("good.raw", 2, 2, 16)), 1);
    EXPECT_EQ(pic.GetWidth(), 2);
}

TEST(Archive, EmptyPictureIsTheSingleIntegerOneAndRoundTrips) {
    CDIBSection2 empty;
    CArchiveWriter w;
    empty.Store(w);
    ASSERT_EQ(w.Bytes().size(), 4u);
    EXPECT_EQ(w.Bytes()[0], 1);

    CDIBSection2 pic, back;
    MakePatternPicture(pic, 5, 3);
    CArchiveWriter w2;
    pic.Store(w2);
    EXPECT_EQ(w2.Bytes().size(), 16u + 5 * 3 * 4);
    CArchiveReader r(w2.Bytes());
    EXPECT_EQ(back.Load(r), PictureError::kNone);
    EXPECT_TRUE(SamePixels(pic, back));

    CDIBSection2 keep;
    MakePatternPicture(keep, 2, 2, 5);
    CDIBSection2 keepRef;
    keepRef.Copy(&keep);
    CArchiveReader r1(w.Bytes());
    EXPECT_EQ(keep.Load(r1), PictureError::kNone); // flag 1: left as it was
    EXPECT_TRUE(SamePixels(keep, keepRef));
}

TEST(Archive, CorruptCountsAndShortDataAreReported) {
    MessageCollector messages;
    CArchiveWriter w;
    w.WriteInt32(0);
    w.WriteInt32(4);
    w.WriteInt32(4);
    w.WriteUInt32(60); // should be 64
    CDIBSection2 pic;
    CArchiveReader r(w.Bytes());
    const PictureError corrupt = pic.Load(r);
    EXPECT_EQ(corrupt, PictureError::kCorruptedData);
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(PictureErrorText(corrupt), "Corupted Data!");

    CArchiveWriter w2;
    w2.WriteInt32(0);
    w2.WriteInt32(4);
    w2.WriteInt32(4);
    w2.WriteUInt32(64);
    w2.WriteBytes("abc", 3);
    CArchiveReader r2(w2.Bytes());
    const PictureError missing = pic.Load(r2);
    EXPECT_EQ(missing, PictureError::kDataRead);
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(PictureErrorText(missing), "Bitmap:: Data Read Error!");
    // The picture tells nobody itself: its caller decides.
    EXPECT_TRUE(messages.messages.empty());
}

TEST(PackedBitmaps, CreateFromInfoChecksTheBlockAndCopiesPixels) {
    CDIBSection2 pic;
    MakePatternPicture(pic, 3, 2);
    const std::vector<std::uint8_t> packed = pic.CopyToGlobal();
    EXPECT_EQ(packed.size(), 40u + 3 * 2 * 4);
    CDIBSection2 back;
    ASSERT_TRUE(back.CreateFromInfo(packed.data(), packed.size()));
    EXPECT_EQ(0, std::memcmp(back.GetBits(), pic.GetBits(), pic.PixelBytes()));
    EXPECT_FALSE(back.CreateFromInfo(packed.data(), packed.size() - 1)); // truncated
    EXPECT_FALSE(back.CreateFromInfo(packed.data(), 20));
}
