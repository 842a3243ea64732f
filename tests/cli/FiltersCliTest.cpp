#include "CliRunner.h"

#include "core/base/ProgressReporter.h"
#include "core/filters/AdjustDispatcher.h"
#include "core/filters/FilterFactory.h"
#include "core/filters/Resize.h"
#include "core/filters/RotateByAngle.h"
#include "core/image/DIBSection2.h"
#include "core/image/ImageFileRoutines.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace quiltara;
using test::RunCli;

namespace {

// A w x h picture with opaque pixels (the files carry no alpha).
void MakeOpaque(CDIBSection2& pic, int w, int h, std::uint32_t seed) {
    test::MakePatternPicture(pic, w, h, seed);
    for (std::size_t i = 3; i < pic.PixelBytes(); i += 4) pic.GetBits()[i] = 255;
}

// Pictures go in and out through the codec layer, in the format of the extension.
void WritePicture(const std::string& path, const CDIBSection2& pic) {
    CNullProgress progress;
    const SaveResult saved = SavePictureFile(pic, path, 90, progress);
    ASSERT_TRUE(saved.ok) << path << ": " << saved.message;
}

bool ReadPicture(const std::string& path, CDIBSection2& pic) {
    LoadedPicture loaded;
    if (LoadPictureFile(path, loaded) != 0) return false;
    pic.ImportRGB(loaded.rgb.data(), loaded.width, loaded.height, 255);
    return true;
}

// The files carry no alpha: compare the colour bytes.
bool SameColours(const CDIBSection2& a, const CDIBSection2& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (std::size_t i = 0; i < a.PixelBytes(); ++i)
        if (i % 4 != 3 && a.GetBits()[i] != b.GetBits()[i]) return false;
    return true;
}

struct CliPictures : ::testing::Test {
    test::TempFolder folder;
    CDIBSection2 input;
    std::string in, out;
    void SetUp() override {
        MakeOpaque(input, 21, 13, 17);
        in = folder.File("in.png");
        out = folder.File("out.png");
        WritePicture(in, input);
    }
    CDIBSection2 Output() {
        CDIBSection2 pic;
        EXPECT_TRUE(ReadPicture(out, pic));
        return pic;
    }
};

} // namespace

TEST_F(CliPictures, FilterBySlotNameAndValues) {
    CDIBSection2 expected;
    expected.Copy(&input);
    CFilterFactory f;
    f.SelectFilter(37);
    f.SetValue(0, 200);
    f.SetValue(1, 90);
    f.SetValue(2, 4);
    f.SetImage(expected.GetBits(), 21, 13);
    f.Apply();

    for (const std::string args :
         {"37 amount=200 radius=90 Treshold=4", "\"Unsharp mask\" 0=200 1=90 2=4",
          "--slot 37 --values 200,90,4"}) {
        const auto r = RunCli("filter " + in + " " + out + " " + args);
        ASSERT_EQ(r.status, 0) << args << ": " << r.output;
        EXPECT_TRUE(test::SamePixels(Output(), expected)) << args;
    }
}

TEST_F(CliPictures, FilterRefusesWhatItCannotRun) {
    EXPECT_NE(RunCli("filter " + in + " " + out + " 28").status, 0); // empty slot
    EXPECT_NE(RunCli("filter " + in + " " + out + " 36 radius=256").status, 0);
    EXPECT_NE(RunCli("filter " + in + " " + out + " 36 size=3").status, 0);
    const auto r = RunCli("filter " + in + " " + out + " \"No such filter\"");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("no filter"), std::string::npos) << r.output;
    const auto list = RunCli("filters");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("36  Gaussian Blur"), std::string::npos);
    EXPECT_NE(list.output.find("Treshold"), std::string::npos);
}

TEST_F(CliPictures, AdjustMatchesTheDispatcher) {
    struct Case {
        std::string args;
        int op;
        AdjustSettings settings;
    };
    AdjustSettings bc, gamma, hs, levels;
    bc.brightness = 40, bc.contrast = -30;
    gamma.gammaPosition = 150;
    hs.huePosition = 90, hs.saturationPosition = 150, hs.lightnessPosition = 80;
    for (auto& l : levels.levels)
        l.inBlack = 10, l.gamma = 1.5, l.inWhite = 255, l.outBlack = 5, l.outWhite = 250;
    const std::vector<Case> cases = {{"sepia", kAdjSepia, {}},
                                     {"brightness-contrast 40 -30", kAdjBrightnessContrast, bc},
                                     {"gamma 150", kAdjGamma, gamma},
                                     {"hue-saturation 90 150 80", kAdjHueSaturation, hs},
                                     {"levels 10 1.5 300 5 250", kAdjLevels, levels},
                                     {"despeckle", kAdjDespeckle, {}},
                                     {"9", kAdjRotate90CW, {}}};
    for (const Case& c : cases) {
        CDIBSection2 expected;
        expected.Copy(&input);
        AdjustTarget t = AdjustTarget::ForPicture(expected);
        ASSERT_TRUE(RunAdjustment(t, c.op, &c.settings));
        const auto r = RunCli("adjust " + in + " " + out + " " + c.args);
        ASSERT_EQ(r.status, 0) << c.args << ": " << r.output;
        EXPECT_TRUE(test::SamePixels(Output(), expected)) << c.args;
    }
    EXPECT_NE(RunCli("adjust " + in + " " + out + " gamma").status, 0);
    EXPECT_NE(RunCli("adjust " + in + " " + out + " curves 100 100 201").status, 0);
    EXPECT_NE(RunCli("adjust " + in + " " + out + " sepia 3").status, 0);
    EXPECT_NE(RunCli("adjust " + in + " " + out + " sharpest").status, 0);
    EXPECT_NE(RunCli("adjustments").output.find("thermo"), std::string::npos);
}

TEST_F(CliPictures, ResizeAndRotate) {
    CDIBSection2 bicubic;
    bicubic.Create(30, 9, 32, true);
    ResizeBicubic(input.GetBits(), 21, 13, bicubic.GetBits(), 30, 9);
    ASSERT_EQ(RunCli("resize " + in + " " + out + " 30 9").status, 0);
    EXPECT_TRUE(SameColours(Output(), bicubic));

    CDIBSection2 bilinear;
    bilinear.Copy(&input);
    ResizeBilinear(bilinear, 10, 40);
    ASSERT_EQ(RunCli("resize " + in + " " + out + " 10 40 --method bilinear").status, 0);
    EXPECT_TRUE(SameColours(Output(), bilinear));
    // A BMP is resized from its rows as they are read: the same pixels.
    const std::string bmp = folder.File("in.bmp");
    WritePicture(bmp, input);
    ASSERT_EQ(RunCli("resize " + bmp + " " + out + " 30 9").status, 0);
    EXPECT_TRUE(SameColours(Output(), bicubic));
    ASSERT_EQ(RunCli("resize " + bmp + " " + out + " 10 40 --method bilinear").status, 0);
    EXPECT_TRUE(SameColours(Output(), bilinear));
    EXPECT_NE(RunCli("resize " + in + " " + out + " 0 40").status, 0);

    ASSERT_EQ(RunCli("rotate " + in + " " + out + " 90cw").status, 0);
    const std::string turned = folder.File("turned.bmp");
    ASSERT_EQ(RunCli("rotate " + out + " " + turned + " 90ccw").status, 0);
    CDIBSection2 back;
    ASSERT_TRUE(ReadPicture(turned, back));
    EXPECT_TRUE(test::SamePixels(back, input));

    const RotatedPicture r =
        RotateByAngle(input.GetBits(), 21, 13, 17.5, MakeColorRef(0x12, 0x34, 0x56));
    ASSERT_EQ(RunCli("rotate " + in + " " + out + " 17.5 --background 123456").status, 0);
    const CDIBSection2 rotated = Output();
    ASSERT_EQ(rotated.GetWidth(), r.width);
    ASSERT_EQ(rotated.GetHeight(), r.height);
    for (std::size_t i = 0; i < r.pixels.size(); i += 4)
        ASSERT_EQ(0, std::memcmp(rotated.GetBits() + i, r.pixels.data() + i, 3)) << i / 4;
    EXPECT_NE(RunCli("rotate " + in + " " + out + " sideways").status, 0);
}

TEST_F(CliPictures, FilesGoThroughTheCodecLayer) {
    // Any format the codec layer writes comes back the same (lossless ones exactly).
    for (const char* name : {"out.bmp", "out.tif", "out.tga", "out.pcx"}) {
        const std::string path = folder.File(name);
        ASSERT_EQ(RunCli("adjust " + in + " " + path + " negative").status, 0) << name;
        CDIBSection2 expected, back;
        expected.Copy(&input);
        AdjustTarget t = AdjustTarget::ForPicture(expected);
        ASSERT_TRUE(RunAdjustment(t, kAdjNegative));
        ASSERT_TRUE(ReadPicture(path, back)) << name;
        EXPECT_TRUE(SameColours(back, expected)) << name;
    }
    // JPEG in, PNG out.
    const std::string jpeg = folder.File("in.jpg");
    WritePicture(jpeg, input);
    ASSERT_EQ(RunCli("filter " + jpeg + " " + out + " 0").status, 0);
    EXPECT_EQ(Output().GetWidth(), 21);

    // An extension nobody writes is refused with the program's text, and no file made.
    const auto r = RunCli("filter " + in + " " + folder.File("out.xyz") + " 0");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("Unknown extnsion"), std::string::npos) << r.output;
    EXPECT_FALSE(std::ifstream(folder.File("out.xyz")).good());
}

TEST_F(CliPictures, HostileInputFilesAreRefused) {
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder.File(name), std::ios::binary) << bytes;
        return folder.File(name);
    };
    std::string png;
    {
        std::ifstream file(in, std::ios::binary);
        png.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(png.size(), 40u);
    std::string hugePng = png;
    hugePng.replace(16, 8, std::string("\x7F\xFF\xFF\xFF\x7F\xFF\xFF\xFF", 8)); // IHDR size
    const std::vector<std::string> bad = {
        write("short.png", png.substr(0, png.size() / 2)),
        write("header.png", png.substr(0, 30)),
        write("huge.png", hugePng),
        write("garbage.png", "not a picture at all"),
        write("short.bmp", "BM\x01\x02"),
        write("empty.png", ""),
    };
    for (const std::string& path : bad) {
        const auto r = RunCli("adjust " + path + " " + out + " negative");
        // A file cut in its pixel data stops with the status of files that end early.
        EXPECT_EQ(r.status, path == bad[0] ? 3 : 1) << path << ": " << r.output;
    }
    EXPECT_EQ(RunCli("adjust " + folder.File("missing.png") + " " + out + " negative").status, 1);
}
