// The open and save routines' core: loading into a picture with progress, the save
// path's format, the save dialog's start.
#include "core/image/ImageFileRoutines.h"
#include "CodecTestHelpers.h"
#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quiltara;
using namespace quiltara::test;

namespace {

struct RecordingProgress : IProgressReporter {
    std::vector<std::string> events;
    void Begin(const std::string& caption, int range) override {
        events.push_back("begin " + caption + " " + std::to_string(range));
    }
    void SetPos(int pos) override { events.push_back(std::to_string(pos)); }
    void End() override { events.push_back("end"); }
};

} // namespace

TEST(OpenRoutine, LoadsWithProgressAlphaZeroAndTheCameraBlock) {
    TempFolder folder;
    const Pixels rgb = SmoothRGB(12, 9);
    CSink sink;
    std::vector<JPGMarker> markers = {{0xE1, {'E', 'x', 'i', 'f', 0, 0, 1, 2}}};
    ASSERT_TRUE(WriteJPG(sink, rgb.data(), 12, 9, 90, &markers));
    WriteFile(folder.File("photo.jpg"), sink.Bytes());

    CDIBSection2 original;
    std::vector<std::uint8_t> camera;
    RecordingProgress progress;
    ASSERT_EQ(OpenPictureFile(folder.File("photo.jpg"), original, camera, progress), 0u);
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"begin Loading 100", "10", "80", "100", "end"}));
    EXPECT_EQ(original.GetWidth(), 12);
    EXPECT_EQ(original.GetHeight(), 9);
    EXPECT_EQ(original.GetRow(0)[3], 0); // imported with alpha 0
    EXPECT_EQ(camera, markers[0].data);

    // A failed open leaves the picture and the camera block as they were.
    RecordingProgress failed;
    EXPECT_EQ(OpenPictureFile(folder.File("missing.png"), original, camera, failed),
              unsigned(kErrFileOpen));
    EXPECT_EQ(original.GetWidth(), 12);
    EXPECT_EQ(camera, markers[0].data);
    EXPECT_EQ(failed.events.back(), "end");
    // A file that gives no picture fails too.
    WriteFile(folder.File("x.gif"), {'G', 'I', 'F', '8', '7', 'a', 0, 0});
    LoadedPicture picture;
    EXPECT_EQ(LoadPictureFile(folder.File("x.gif"), picture), unsigned(kErrBadParam));
}

TEST(SaveRoutine, FormatByTheFileNamesExtension) {
    const struct {
        const char* path;
        int code;
    } cases[] = {
        {"/a/b.jpg", kFormatJPG},   {"/a/b.JPEG", kFormatJPG}, {"/a/b.TIF", kFormatTIFF},
        {"/a/b.tiff", kFormatTIFF}, {"/a/b.png", kFormatPNG},  {"x.tar.tga", kFormatTGA},
        {"png", kFormatNone},       {"/a.png/b", kFormatNone}, {"/a/b.jpe", kFormatNone},
        {"/a/b.xyz", kFormatNone},  {"/a/b.", kFormatNone},
    };
    for (const auto& c : cases) EXPECT_EQ(SaveFormatForPath(c.path), c.code) << c.path;

    TempFolder folder;
    CDIBSection2 picture;
    MakePatternPicture(picture, 8, 6);
    RecordingProgress progress;
    const SaveResult unknown = SavePictureFile(picture, folder.File("b.xyz"), 75, progress);
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.code, 0u);
    EXPECT_EQ(unknown.message, "Unknown extnsion\n" + folder.File("b.xyz"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("b.xyz")));
    EXPECT_EQ(progress.events.back(), "end");
    // Long extensions name their formats: the file holds what the name says.
    for (const char* name : {"b.jpeg", "b.tiff"}) {
        ASSERT_TRUE(SavePictureFile(picture, folder.File(name), 90, progress).ok) << name;
        LoadedPicture read;
        ASSERT_EQ(LoadPictureFile(folder.File(name), read), 0u) << name;
        EXPECT_EQ(read.formatCode, SaveFormatForPath(name)) << name;
        EXPECT_EQ(read.width, 8);
    }
    // A BMP is written straight from the picture's rows: the same file as the writer
    // of RGB buffers makes, on sizes with and without row padding.
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 7}, {8, 6}, {33, 2}}) {
        CDIBSection2 p;
        MakePatternPicture(p, w, h);
        ASSERT_TRUE(SavePictureFile(p, folder.File("d.bmp"), 75, progress).ok);
        Pixels rgb(std::size_t(w) * h * 3);
        p.ExportRGB(rgb.data());
        CSink memory;
        ASSERT_TRUE(WriteBMP(memory, rgb.data(), w, h).Ok());
        EXPECT_EQ(ReadFile(folder.File("d.bmp")), memory.Bytes()) << w << "x" << h;
    }
    EXPECT_EQ(SavePictureFile(CDIBSection2(), folder.File("e.bmp"), 75, progress).code,
              unsigned(kErrBadParam));
    // Nothing to save is a bad parameter, and no file.
    const SaveResult empty = SavePictureFile(CDIBSection2(), folder.File("e.png"), 75, progress);
    EXPECT_EQ(empty.code, unsigned(kErrBadParam));
    EXPECT_EQ(empty.message, "bad user param");
    EXPECT_FALSE(std::filesystem::exists(folder.File("e.png")));

    RecordingProgress saving;
    const SaveResult saved = SavePictureFile(picture, folder.File("b.tga"), 75, saving);
    EXPECT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(saving.events, (std::vector<std::string>{"begin Saving 100", "100", "end"}));
    LoadedPicture back;
    ASSERT_EQ(LoadPictureFile(folder.File("b.tga"), back), 0u);
    Pixels expected(8 * 6 * 3);
    picture.ExportRGB(expected.data());
    EXPECT_TRUE(back.rgb == expected);
    // The quality reaches the JPEG writer.
    ASSERT_TRUE(SavePictureFile(picture, folder.File("q10.jpg"), 10, saving).ok);
    ASSERT_TRUE(SavePictureFile(picture, folder.File("q95.jpg"), 95, saving).ok);
    EXPECT_LT(std::filesystem::file_size(folder.File("q10.jpg")),
              std::filesystem::file_size(folder.File("q95.jpg")));
    // Asked to, a PNG keeps the picture's alpha (top row first, as the file has it).
    ASSERT_TRUE(SavePictureFile(picture, folder.File("alpha.png"), 75, saving, true).ok);
    CImageFileBuffer withAlpha;
    withAlpha.keepAlpha = true;
    ASSERT_EQ(withAlpha.Load(folder.File("alpha.png")), 0u);
    const std::uint8_t* rgba = withAlpha.LockRGBA();
    ASSERT_NE(rgba, nullptr);
    const std::uint8_t* top = picture.GetRow(0);
    EXPECT_EQ(rgba[0], top[2]);
    EXPECT_EQ(rgba[3], top[3]);
    EXPECT_EQ(rgba[4 + 3], top[4 + 3]);
    withAlpha.Unlock();
}

TEST(SaveRoutine, DialogStartNameAndFilterOrder) {
    EXPECT_EQ(CutTitleForSave("Tile #2"), "Tile.png");
    EXPECT_EQ(CutTitleForSave("Bricks#1"), "Bricks.png");
    EXPECT_EQ(CutTitleForSave("a%b;c"), "a.png");
    EXPECT_EQ(CutTitleForSave("Untitled"), "Untitled.png");

    SaveDialogSetup fromTitle = MakeSaveDialogSetup("", "Stone wall", true);
    EXPECT_EQ(fromTitle.name, "Stone");
    EXPECT_EQ(fromTitle.extension, "png");
    EXPECT_EQ(fromTitle.pattern, "*.png");
    const std::string rest =
        "Tif File (*.tif)|*.tif|Targa File (*.tga)|*.tga|Windows Metafile (*.wmf)|*.wmf|"
        "Enhanced Metafile (*.emf)|*.emf||";
    EXPECT_EQ(fromTitle.filter,
              "Portable Graphics (*.png)|*.png|JPG File (*.jpg)|*.jpg|Windows Bitmap (*.bmp)|*.bmp|"
              "Adobe Photoshop (*.psd)|*.psd|" +
                  rest);

    SaveDialogSetup fromPath = MakeSaveDialogSetup("/home/u/Photo.JPG", "ignored", true);
    EXPECT_EQ(fromPath.name, "Photo");
    EXPECT_EQ(fromPath.pattern, "*.jpg");
    EXPECT_EQ(fromPath.filter.rfind(
                  "JPG File (*.jpg)|*.jpg|Portable Graphics (*.png)|*.png|Windows Bitmap", 0),
              0u);
    EXPECT_EQ(SaveDialogFilter("*.bmp").rfind("Windows Bitmap (*.bmp)|*.bmp|Portable Graphics", 0),
              0u);
    EXPECT_EQ(SaveDialogFilter("*.psd").rfind(
                  "Adobe Photoshop (*.psd)|*.psd|Portable Graphics (*.png)|*.png|JPG", 0),
              0u);
    EXPECT_EQ(
        SaveDialogFilter("*.tga"),
        "Last File Extension (*.tga)|*.tga|Portable Graphics (*.png)|*.png|JPG File (*.jpg)|*.jpg|"
        "Windows Bitmap (*.bmp)|*.bmp|Adobe Photoshop (*.psd)|*.psd|" +
            rest);
    // Without replace and without a path there is no proposed name.
    SaveDialogSetup none = MakeSaveDialogSetup("", "Stone wall", false);
    EXPECT_EQ(none.name, "");
    EXPECT_EQ(none.pattern, "*.png");
}
