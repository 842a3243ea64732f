#include "core/paint/BrushFile.h"
#include "PaintTestHelpers.h"
#include "core/base/Archive.h"
#include "core/paint/BrushLibrary.h"
#include "core/paint/DefaultBrushes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quiltara;
using namespace quiltara::test;

namespace {

std::vector<std::uint8_t> RecordBytes(const CBrush& b) {
    CArchiveWriter ar;
    WriteBrushRecord(ar, b);
    return ar.Bytes();
}

std::vector<std::uint8_t> LibraryBytes(const std::vector<CBrush>& brushes) {
    CArchiveWriter ar;
    WriteBrushLibrary(ar, brushes);
    return ar.Bytes();
}

CBrush Named(const std::string& name) {
    CBrush b;
    b.name = name;
    return b;
}

// The offset of field 12 (hose mode) in a record with empty mask and preview.
std::size_t AfterPictures(const std::string& name) {
    return 1 + name.size() + 4 + 4 + 8 + 8 + 4 + 8 + 4 + 4 + 4 + 4;
}

} // namespace

TEST(BrushFileLayout, EmptyLibraryIsEightBytes) {
    EXPECT_EQ(LibraryBytes({}), (std::vector<std::uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    std::vector<CBrush> read{Named("x")};
    const auto bytes = LibraryBytes({});
    EXPECT_TRUE(ReadBrushLibrary(bytes.data(), bytes.size(), read).ok);
    EXPECT_TRUE(read.empty());
}

TEST(BrushFileLayout, RecordFieldsInOrder) {
    CBrush b; // "Brush", empty mask and preview
    b.size = 7;
    b.spacing = 0.5;
    const auto bytes = RecordBytes(b);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6),
              (std::vector<std::uint8_t>{0x05, 0x42, 0x72, 0x75, 0x73, 0x68}));
    CArchiveReader ar(bytes);
    EXPECT_EQ(ar.ReadString(), "Brush");
    EXPECT_EQ(ar.ReadInt32(), 0);    // type
    EXPECT_EQ(ar.ReadInt32(), 7);    // size
    EXPECT_EQ(ar.ReadDouble(), 0.5); // spacing
    EXPECT_EQ(ar.ReadDouble(), 0.15);
    EXPECT_EQ(ar.ReadInt32(), 255);  // strength
    EXPECT_EQ(ar.ReadDouble(), 2.0); // blur
    EXPECT_EQ(ar.ReadInt32(), 0);    // colour overlay
    EXPECT_EQ(ar.ReadInt32(), 1);    // auto generate
    EXPECT_NE(ar.ReadInt32(), 0);    // the empty mask: one non-zero int32 ...
    EXPECT_NE(ar.ReadInt32(), 0);    // ... and the empty preview likewise
    EXPECT_EQ(ar.ReadInt32(), 0);    // hose mode
    EXPECT_EQ(ar.ReadInt32(), 0);    // frames
    EXPECT_EQ(ar.ReadInt32(), 2);    // pressure mode
    EXPECT_EQ(ar.ReadInt32(), 1);    // spacing on
    EXPECT_EQ(ar.ReadInt32(), -1);
    EXPECT_TRUE(ar.Ok());
    EXPECT_TRUE(ar.AtEnd());
    EXPECT_EQ(bytes.size(), AfterPictures("Brush") + 4 + 4 + 12);
}

TEST(BrushFileLayout, OlderShortRecordsKeepTheDefaults) {
    CBrush b = Named("Old");
    b.pressureMode = 6;
    b.spacingOn = 0;
    auto bytes = RecordBytes(b);
    const std::size_t field15 = AfterPictures("Old") + 8;
    // Without fields 15 and 16: the end mark right after the frames.
    std::vector<std::uint8_t> shortest(bytes.begin(), bytes.begin() + field15);
    shortest.insert(shortest.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    CBrush read;
    read.pressureMode = 2;
    CBrushFileResult result;
    CArchiveReader ar(shortest);
    EXPECT_TRUE(ReadBrushRecord(ar, read, result));
    EXPECT_EQ(read.name, "Old");
    EXPECT_EQ(read.pressureMode, 2);
    EXPECT_EQ(read.spacingOn, 1);
    EXPECT_TRUE(ar.AtEnd());
    // Without field 16.
    std::vector<std::uint8_t> middle(bytes.begin(), bytes.begin() + field15 + 4);
    middle.insert(middle.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    CBrush read2;
    CArchiveReader ar2(middle);
    EXPECT_TRUE(ReadBrushRecord(ar2, read2, result));
    EXPECT_EQ(read2.pressureMode, 6);
    EXPECT_EQ(read2.spacingOn, 1);
    // A library of two short records reads both, in order.
    std::vector<std::uint8_t> library{2, 0, 0, 0};
    library.insert(library.end(), shortest.begin(), shortest.end());
    library.insert(library.end(), middle.begin(), middle.end());
    library.insert(library.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    std::vector<CBrush> brushes;
    ASSERT_TRUE(ReadBrushLibrary(library.data(), library.size(), brushes).ok);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[1].pressureMode, 6);
    EXPECT_TRUE(result.messages.empty());
}

TEST(BrushFileLayout, EveryDefaultLibraryRoundTripsByteForByte) {
    for (const char* folder :
         {"Brush", "Pen", "Airbrush", "Stamp", "Retouch", "Nozzle", "Natural"}) {
        const std::vector<CBrush> brushes = MakeDefaultBrushes(folder);
        ASSERT_GE(brushes.size(), 4u) << folder;
        const auto first = LibraryBytes(brushes);
        std::vector<CBrush> read;
        const CBrushFileResult result = ReadBrushLibrary(first.data(), first.size(), read);
        ASSERT_TRUE(result.ok) << folder;
        EXPECT_TRUE(result.messages.empty());
        EXPECT_EQ(LibraryBytes(read), first) << folder;
    }
}

TEST(BrushFileLayout, RememberedSelectionsPointAtBrushes) {
    for (const CToolLibrary& tool : ToolLibraries()) {
        const auto brushes = MakeDefaultBrushes(tool.folder);
        ASSERT_LT(tool.defaultSelection, int(brushes.size())) << tool.folder;
        const CBrush& chosen = brushes[std::size_t(tool.defaultSelection)];
        EXPECT_FALSE(chosen.mask.IsEmpty()) << tool.folder;
        EXPECT_FALSE(chosen.preview.IsEmpty()) << tool.folder;
    }
    const auto nozzles = MakeDefaultBrushes("Nozzle");
    EXPECT_EQ(nozzles[0].type, kBrushImageHose);
    EXPECT_GE(nozzles[0].hoseFrames.size(), 4u);
    EXPECT_EQ(MakeDefaultBrushes("Brush")[4].size, 20);
}

TEST(BrushFileHostile, ImageRecordFaultsComeBackAsTexts) {
    // Byte count 15 for a 2 x 2 picture: "Corupted Data!", and reading goes on.
    CArchiveWriter bad;
    bad.WriteInt32(0), bad.WriteInt32(2), bad.WriteInt32(2), bad.WriteInt32(15);
    CDIBSection2 pic;
    CBrushFileResult result;
    CArchiveReader ar(bad.Bytes());
    ReadImageRecord(ar, pic, result);
    EXPECT_EQ(result.messages, (std::vector<std::string>{"Corupted Data!"}));
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_TRUE(ar.Ok());
    // Pixels missing: "Bitmap:: Data Read Error!" and no picture made.
    CArchiveWriter shortPixels;
    shortPixels.WriteInt32(0), shortPixels.WriteInt32(1000), shortPixels.WriteInt32(1000),
        shortPixels.WriteInt32(4000000), shortPixels.WriteInt32(7);
    CBrushFileResult result2;
    CArchiveReader ar2(shortPixels.Bytes());
    ReadImageRecord(ar2, pic, result2);
    EXPECT_EQ(result2.messages, (std::vector<std::string>{"Bitmap:: Data Read Error!"}));
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_FALSE(ar2.Ok());
}

TEST(BrushFileHostile, TruncatedLibrariesFailAndLeaveTheListAlone) {
    const auto bytes = LibraryBytes(MakeDefaultBrushes("Nozzle"));
    // Every cut through the records fails without touching the list. (The end mark
    // alone may be missing.)
    for (std::size_t cut = 0; cut + 4 < bytes.size(); cut += cut < 200 ? 1 : 997) {
        std::vector<CBrush> brushes{Named("keep")};
        const CBrushFileResult r = ReadBrushLibrary(bytes.data(), cut, brushes);
        ASSERT_FALSE(r.ok) << cut;
        ASSERT_EQ(brushes.size(), 1u);
        EXPECT_EQ(brushes[0].name, "keep");
    }
}

TEST(BrushFileHostile, HugeCountsEndQuickly) {
    std::vector<std::uint8_t> bytes{0xFF, 0xFF, 0xFF, 0x7F}; // 2^31 - 1 brushes
    const auto one = RecordBytes(Named("a"));
    bytes.insert(bytes.end(), one.begin(), one.end());
    std::vector<CBrush> brushes;
    EXPECT_FALSE(ReadBrushLibrary(bytes.data(), bytes.size(), brushes).ok);
    std::vector<std::uint8_t> negative{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(ReadBrushLibrary(negative.data(), negative.size(), brushes).ok);

    // A frame count of 2^31 - 1 with few frames behind it.
    auto record = RecordBytes(Named("h"));
    const std::size_t frames = AfterPictures("h") + 4;
    record[frames] = 0xFF, record[frames + 1] = 0xFF, record[frames + 2] = 0xFF,
    record[frames + 3] = 0x7F;
    CBrush b;
    CBrushFileResult result;
    CArchiveReader ar(record);
    EXPECT_FALSE(ReadBrushRecord(ar, b, result));
    // Empty frames, 4 bytes each: a count beyond the data is not believed.
    std::vector<std::uint8_t> many = RecordBytes(Named("h"));
    many.resize(frames);
    many.insert(many.end(), {0x00, 0x00, 0x10, 0x00}); // 1048576 frames
    for (int i = 0; i < 3; ++i) many.insert(many.end(), {1, 0, 0, 0});
    CArchiveReader ar2(many);
    EXPECT_FALSE(ReadBrushRecord(ar2, b, result));
}

TEST(BrushLibraryFiles, LoadSaveImportExport) {
    TempFolder folder;
    CBrushLibrary library;
    library.Brushes() = MakeDefaultBrushes("Pen");
    const std::string path = folder.File("pens.brs");
    ASSERT_TRUE(library.Save(path));
    EXPECT_TRUE(library.Path().empty()); // "Save Library" does not change the path

    CBrushLibrary loaded;
    loaded.Append(Named("old"));
    ASSERT_TRUE(loaded.Load(path).ok);
    EXPECT_EQ(loaded.Path(), path);
    EXPECT_EQ(loaded.Serialize(), library.Serialize());

    // A file that cannot be read, or is not whole, changes nothing.
    EXPECT_FALSE(loaded.Load(folder.File("missing.brs")).ok);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    ASSERT_TRUE(WriteFileAtomically(folder.File("cut.brs"), bytes.data(), bytes.size() / 2));
    EXPECT_FALSE(loaded.Load(folder.File("cut.brs")).ok);
    EXPECT_EQ(loaded.Path(), path);
    EXPECT_EQ(loaded.Count(), library.Count());

    // One brush out and back in, byte for byte.
    ASSERT_TRUE(ExportBrush(folder.File("chisel.br1"), *loaded.At(8)));
    CBrush imported;
    ASSERT_TRUE(ImportBrush(folder.File("chisel.br1"), imported).ok);
    EXPECT_EQ(RecordBytes(imported), RecordBytes(*loaded.At(8)));
    EXPECT_FALSE(ImportBrush(folder.File("nothing.br1"), imported).ok);
}

TEST(BrushLibraryFiles, OperationsSaveToTheRememberedPath) {
    TempFolder folder;
    const std::string path = folder.File("lib.brs");
    CBrushLibrary library;
    // Without a path nothing is written.
    EXPECT_EQ(library.Add(Named("a")), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(library.Save(path));
    ASSERT_TRUE(library.Load(path).ok);
    EXPECT_EQ(library.Add(Named("b")), 1);
    EXPECT_EQ(library.Add(Named("c")), 2);
    CBrushLibrary check;
    ASSERT_TRUE(check.Load(path).ok);
    EXPECT_EQ(check.Count(), 3);

    EXPECT_TRUE(library.Edit(1, Named("B")));
    EXPECT_FALSE(library.Edit(3, Named("x")));
    EXPECT_EQ(library.Delete(2), 1); // selects the one before
    EXPECT_EQ(library.Delete(7), 7); // outside: nothing
    EXPECT_EQ(library.Delete(0), 0); // the first stays selected
    ASSERT_TRUE(check.Load(path).ok);
    ASSERT_EQ(check.Count(), 1);
    EXPECT_EQ(check.At(0)->name, "B");

    // Sorting: moves stay inside the list; renaming.
    library.Append(Named("x"));
    library.Append(Named("y"));
    EXPECT_FALSE(library.MoveUp(0));
    EXPECT_FALSE(library.MoveDown(2));
    EXPECT_TRUE(library.MoveDown(0));
    EXPECT_TRUE(library.MoveUp(2));
    EXPECT_TRUE(library.Rename(0, "first"));
    EXPECT_FALSE(library.Rename(5, "none"));
    EXPECT_EQ(library.At(0)->name, "first");
    EXPECT_EQ(library.At(1)->name, "y");
    EXPECT_EQ(library.At(2)->name, "B");
    CBrushLibrary single;
    single.Append(Named("only"));
    EXPECT_FALSE(single.MoveDown(0));
}

TEST(BrushLibraryFiles, DefaultLibrariesAreWrittenForEveryTool) {
    TempFolder folder;
    ASSERT_TRUE(WriteDefaultLibraries(folder.Path() + "Brushes"));
    for (const CToolLibrary& tool : ToolLibraries()) {
        CBrushLibrary library;
        const std::string path = folder.Path() + "Brushes/" + tool.folder + "/default.brs";
        ASSERT_TRUE(library.Load(path).ok) << path;
        EXPECT_EQ(library.Serialize(), [&] {
            CBrushLibrary fresh;
            fresh.Brushes() = MakeDefaultBrushes(tool.folder);
            return fresh.Serialize();
        }());
    }
}
