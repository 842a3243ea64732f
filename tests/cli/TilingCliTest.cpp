#include "CliRunner.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "core/tiling/AutoTexture.h"
#include "core/tiling/TileEffects.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;
using test::RunCli;

namespace {

// An opaque pattern written as PNG, and read back as the tool would.
void WritePng(const std::string& path, CDIBSection2& picture, int w, int h) {
    test::MakePatternPicture(picture, w, h, 17);
    picture.SetAlpha(255);
    ASSERT_TRUE(test::WritePngFile(path, picture));
}

bool SameColours(const CDIBSection2& a, const CDIBSection2& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (std::memcmp(a.PixelAt(x, y), b.PixelAt(x, y), 3) != 0) return false;
    return true;
}

struct TileCli : ::testing::Test {
    test::TempFolder folder;
    CDIBSection2 picture;
    std::string in, out;
    void SetUp() override {
        in = folder.File("in.png");
        out = folder.File("out.png");
        WritePng(in, picture, 300, 200);
    }
};

} // namespace

TEST_F(TileCli, WashOfTheCentredFrame) {
    const test::CliResult r = RunCli("tile " + in + " " + out + " --mode wash");
    ASSERT_EQ(r.status, 0) << r.output;
    CDIBSection2 tile, expected;
    ASSERT_TRUE(test::ReadPngFile(out, tile));
    // The wash reads a quarter of the width left of the frame and half its height above
    // it: on 300 x 200 the 200 x 200 frame is held to 200 x 133 (133 + 67 rows read) and
    // moved down to where all it reads is picture.
    ComputeTile(picture, {50, 133, 200, 133}, kTileEffectWash, expected);
    EXPECT_EQ(tile.GetWidth(), 100);
    EXPECT_TRUE(SameColours(tile, expected));
}

TEST_F(TileCli, FramePlacedAtWithSurroundings) {
    const std::string around = folder.File("around.png");
    const test::CliResult r =
        RunCli("tile " + in + " " + out + " --tile 60x40 --at 20,10 --surroundings " + around);
    ASSERT_EQ(r.status, 0) << r.output;
    // Rows 10..49 from the top are buffer rows 150..189; the surroundings reach 40
    // below (110) and are clipped 20 columns left of the frame.
    EXPECT_EQ(r.output, "offset: 20 40\n");
    CDIBSection2 tile, surroundings, expected;
    ASSERT_TRUE(test::ReadPngFile(out, tile));
    ASSERT_TRUE(test::ReadPngFile(around, surroundings));
    expected.Crop(&picture, {20, 150, 80, 190});
    EXPECT_TRUE(SameColours(tile, expected));
    EXPECT_EQ(surroundings.GetWidth(), 20 + 120);   // columns 0..139
    EXPECT_EQ(surroundings.GetHeight(), 200 - 110); // buffer rows 110..199
    EXPECT_EQ(0, std::memcmp(surroundings.PixelAt(20, 40), tile.PixelAt(0, 0), 3));
}

TEST_F(TileCli, SunflowerSquareAndWholeResizedPicture) {
    ASSERT_EQ(RunCli("tile " + in + " " + out + " --mode sunflower --tile 80x30").status, 0);
    CDIBSection2 result;
    ASSERT_TRUE(test::ReadPngFile(out, result));
    EXPECT_EQ(result.GetWidth(), 80);
    EXPECT_EQ(result.GetHeight(), 80);
    ASSERT_EQ(RunCli("tile " + in + " " + out + " --whole --source-size 150x100").status, 0);
    ASSERT_TRUE(test::ReadPngFile(out, result));
    EXPECT_EQ(result.GetWidth(), 150);
    EXPECT_EQ(result.GetHeight(), 100);
    // A quarter turn of the whole picture.
    ASSERT_EQ(RunCli("tile " + in + " " + out + " --whole --pitch -90").status, 0);
    ASSERT_TRUE(test::ReadPngFile(out, result));
    EXPECT_EQ(result.GetWidth(), 200);
    EXPECT_EQ(result.GetHeight(), 300);
}

TEST_F(TileCli, RefusesWhatItCannotDo) {
    const struct {
        std::string args, says;
    } cases[] = {
        {"--mode swirl", "--mode"},
        {"--tile 0", "--tile"},
        {"--tile 20x", "--tile"},
        {"--source-size 100", "--source-size"},
        {"--at 5", "--at"},
        {"--whole --surroundings " + folder.File("s.png"), "--whole"},
        {"--bogus", "unknown option"},
        {"--at 5000,5000 --surroundings " + folder.File("s.png"), "outside"},
    };
    for (const auto& c : cases) {
        const test::CliResult r = RunCli("tile " + in + " " + out + " " + c.args);
        EXPECT_NE(r.status, 0) << c.args;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << ": " << r.output;
    }
    EXPECT_NE(RunCli("tile " + folder.File("missing.png") + " " + out).status, 0);
    EXPECT_NE(RunCli("tile " + in + " " + folder.File("out.xyz")).status, 0);
}

TEST_F(TileCli, TextureAroundAPoint) {
    const test::CliResult r = RunCli("texture " + in + " " + out + " 120,30 --size 80 --yratio 60");
    ASSERT_EQ(r.status, 0) << r.output;
    CDIBSection2 texture, expected;
    ASSERT_TRUE(test::ReadPngFile(out, texture));
    // 80 wide, 160 high; picture row 30 is buffer row 169.
    MakeAutoTexture(picture, 120, 169, {80, 160}, expected);
    EXPECT_EQ(texture.GetWidth(), 40);
    EXPECT_EQ(texture.GetHeight(), 80);
    EXPECT_TRUE(SameColours(texture, expected));
    ASSERT_EQ(RunCli("texture " + in + " " + out + " 0,0 --double").status, 0);
    ASSERT_TRUE(test::ReadPngFile(out, texture));
    EXPECT_EQ(texture.GetWidth(), 100);
    EXPECT_EQ(texture.GetHeight(), 100);
    EXPECT_NE(RunCli("texture " + in + " " + out + " 1,1 --size 3").status, 0);
    EXPECT_NE(RunCli("texture " + in + " " + out + " 1;1").status, 0);
}
