#include "CliRunner.h"

#include "filters/AdjustDispatcher.h"
#include "filters/FilterFactory.h"
#include "filters/Resize.h"
#include "filters/RotateByAngle.h"
#include "image/DIBSection2.h"
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

// A w x h picture with opaque pixels (PPM has no alpha).
void MakeOpaque(CDIBSection2& pic, int w, int h, std::uint32_t seed) {
    test::MakePatternPicture(pic, w, h, seed);
    for (std::size_t i = 3; i < pic.PixelBytes(); i += 4) pic.GetBits()[i] = 255;
}

void WritePpm(const std::string& path, const CDIBSection2& pic) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n# made by the test\n" << pic.GetWidth() << " " << pic.GetHeight() << "\n255\n";
    for (int y = 0; y < pic.GetHeight(); ++y)
        for (int x = 0; x < pic.GetWidth(); ++x) {
            const std::uint8_t* p = pic.GetRow(y) + x * 4;
            out.put(char(p[2])).put(char(p[1])).put(char(p[0]));
        }
}

// Reads back a PPM the tool wrote (trusted: written by the tool under test).
bool ReadPpm(const std::string& path, CDIBSection2& pic) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    if (!(in >> magic >> w >> h >> max) || magic != "P6" || max != 255) return false;
    in.get();
    std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() != std::size_t(w) * h * 3) return false;
    pic.ImportRGB(reinterpret_cast<const std::uint8_t*>(data.data()), w, h, 255);
    return true;
}

// PPM carries no alpha: compare the colour bytes.
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
        in = folder.File("in.ppm");
        out = folder.File("out.ppm");
        WritePpm(in, input);
    }
    CDIBSection2 Output() {
        CDIBSection2 pic;
        EXPECT_TRUE(ReadPpm(out, pic));
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
    bilinear.ResizeBilinear(10, 40);
    ASSERT_EQ(RunCli("resize " + in + " " + out + " 10 40 --method bilinear").status, 0);
    EXPECT_TRUE(SameColours(Output(), bilinear));
    EXPECT_NE(RunCli("resize " + in + " " + out + " 0 40").status, 0);

    ASSERT_EQ(RunCli("rotate " + in + " " + out + " 90cw").status, 0);
    const std::string turned = folder.File("turned.ppm");
    ASSERT_EQ(RunCli("rotate " + out + " " + turned + " 90ccw").status, 0);
    CDIBSection2 back;
    ASSERT_TRUE(ReadPpm(turned, back));
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

TEST_F(CliPictures, HostileInputFilesAreRefused) {
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder.File(name), std::ios::binary) << bytes;
        return folder.File(name);
    };
    const std::vector<std::string> bad = {
        write("short.ppm", "P6\n4 4\n255\n\x01\x02\x03"),
        write("huge.ppm", "P6\n1048576 1048576\n255\n"),
        write("overflow.ppm", "P6\n99999999999999999999 2\n255\n"),
        write("zero.ppm", "P6\n0 5\n255\n"),
        write("maxval.ppm", "P6\n1 1\n0\n\x01\x02\x03"),
        write("p3.ppm", "P3\n1 1\n255\n1 2 3\n"),
        write("pam.pam",
              "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\nab"),
        write("noend.pam", "P7\nWIDTH 1\nHEIGHT 1\n"),
        write("empty.ppm", ""),
    };
    for (const std::string& path : bad) {
        const auto r = RunCli("adjust " + path + " " + out + " negative");
        EXPECT_EQ(r.status, 1) << path << ": " << r.output;
    }
    EXPECT_EQ(RunCli("adjust " + folder.File("missing.ppm") + " " + out + " negative").status, 1);

    // A 16-bit PAM with alpha is read and scaled.
    std::string pam = "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 4\nMAXVAL 65535\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    pam += std::string("\xFF\xFF\x00\x00\x80\x00\xFF\xFF", 8);
    const std::string good = write("good.pam", pam);
    ASSERT_EQ(RunCli("adjust " + good + " " + out + " negative").status, 0);
    CDIBSection2 pic;
    ASSERT_TRUE(ReadPpm(out, pic));
    EXPECT_EQ(pic.GetRow(0)[2], 0);   // red 255 negated
    EXPECT_EQ(pic.GetRow(0)[1], 255); // green 0 negated
    EXPECT_EQ(pic.GetRow(0)[0], 127); // blue 0x8000 -> 128, negated
}
