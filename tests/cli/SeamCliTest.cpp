// quiltara-cli seam, flatten and repeat, run as a user runs them.
#include "CliRunner.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "core/tiling/TileRepeat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

using namespace quiltara;
using test::RunCli;

namespace {

void WritePng(const std::string& path, const CDIBSection2& picture) {
    ASSERT_TRUE(test::WritePngFile(path, picture));
}

// Grain that wraps, under light from the left that does not.
void MakeTile(CDIBSection2& tile, int w, int h, double light) {
    std::mt19937 rng(11);
    std::normal_distribution<double> grain(0, 10);
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = tile.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(
                    std::clamp((120 + grain(rng)) * (1 - light + 2 * light * x / w), 0.0, 255.0));
            p[3] = 255;
        }
}

// The number after "name: " in the tool's output, NaN when missing.
double Value(const std::string& output, const std::string& name) {
    const std::size_t at = output.find(name + ": ");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(output.c_str() + at + name.size() + 2, nullptr);
}

struct SeamCli : ::testing::Test {
    test::TempFolder folder;
    std::string wraps, lit, out;
    void SetUp() override {
        wraps = folder.File("wraps.png");
        lit = folder.File("lit.png");
        out = folder.File("out.png");
        CDIBSection2 tile;
        MakeTile(tile, 120, 90, 0);
        WritePng(wraps, tile);
        MakeTile(tile, 120, 90, 0.4);
        WritePng(lit, tile);
    }
};

} // namespace

TEST_F(SeamCli, ScoresTheWrapAndTheRepetitionAndDrawsTheMap) {
    test::CliResult r = RunCli("seam " + wraps);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(Value(r.output, "overall"), 0) << r.output;
    EXPECT_LT(Value(r.output, "repetition"), 0.1) << r.output;
    // Light from the left makes a step where the bright right edge meets the dark
    // left one, and a gradient that repeats.
    r = RunCli("seam " + lit + " --map " + out);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_GT(Value(r.output, "left/right"), 1) << r.output;
    EXPECT_EQ(Value(r.output, "top/bottom"), 0) << r.output;
    EXPECT_GT(Value(r.output, "repetition"), 0.5) << r.output;
    CDIBSection2 map;
    ASSERT_TRUE(test::ReadPngFile(out, map));
    EXPECT_EQ(map.GetWidth(), 120);
    EXPECT_EQ(map.GetHeight(), 90);
    // The band down the middle glows red; the top/bottom band across stays green.
    EXPECT_GT(map.PixelAt(60, 20)[2], 200);
    EXPECT_GT(map.PixelAt(20, 45)[1], map.PixelAt(20, 45)[2]);
}

TEST_F(SeamCli, FlattenTakesTheGradientOut) {
    const test::CliResult r = RunCli("flatten " + lit + " " + out);
    ASSERT_EQ(r.status, 0) << r.output;
    const double before = Value(RunCli("seam " + lit).output, "repetition");
    const double after = Value(RunCli("seam " + out).output, "repetition");
    EXPECT_LT(after, 0.5 * before);
    ASSERT_EQ(RunCli("flatten " + lit + " " + out + " --radius 30 --subtract").status, 0);
    EXPECT_LT(Value(RunCli("seam " + out).output, "repetition"), 0.5 * before);
}

TEST_F(SeamCli, TileFlattensAsFlattenDoes) {
    const std::string plain = folder.File("plain.png"), flat = folder.File("flat.png");
    ASSERT_EQ(RunCli("tile " + lit + " " + plain + " --tile 80x60").status, 0);
    ASSERT_EQ(RunCli("flatten " + plain + " " + flat).status, 0);
    ASSERT_EQ(RunCli("tile " + lit + " " + out + " --tile 80x60 --flatten-light").status, 0);
    CDIBSection2 a, b;
    ASSERT_TRUE(test::ReadPngFile(flat, a));
    ASSERT_TRUE(test::ReadPngFile(out, b));
    EXPECT_TRUE(test::SamePixels(a, b));
}

TEST_F(SeamCli, RepeatWritesTheSheet) {
    ASSERT_EQ(RunCli("repeat " + wraps + " " + out + " 3x2").status, 0);
    CDIBSection2 tile, sheet, moved;
    ASSERT_TRUE(test::ReadPngFile(wraps, tile));
    ASSERT_TRUE(test::ReadPngFile(out, sheet));
    ASSERT_EQ(sheet.GetWidth(), 360);
    ASSERT_EQ(sheet.GetHeight(), 180);
    EXPECT_EQ(std::memcmp(sheet.PixelAt(250, 100), tile.PixelAt(10, 10), 3), 0);
    ASSERT_EQ(RunCli("repeat " + wraps + " " + out + " 1x1 --offset-half").status, 0);
    ASSERT_TRUE(test::ReadPngFile(out, sheet));
    ASSERT_EQ(RepeatTile(tile, 1, 1, true, moved), RepeatResult::Done);
    EXPECT_TRUE(test::SamePixels(sheet, moved));
}

TEST_F(SeamCli, RefusesWhatItCannotDo) {
    const struct {
        std::string args, says;
    } cases[] = {
        {"seam " + wraps + " --bogus", "unknown option"},
        {"seam", "usage"},
        {"seam " + folder.File("missing.png"), "missing.png"},
        {"flatten " + wraps + " " + out + " --radius 0", "--radius"},
        {"flatten " + wraps + " " + out + " --radius x", "--radius"},
        {"flatten " + wraps, "usage"},
        {"repeat " + wraps + " " + out + " 3", "NxM"},
        {"repeat " + wraps + " " + out + " 0x2", "NxM"},
        {"repeat " + wraps + " " + out + " 3x-1", "NxM"},
        {"repeat " + wraps + " " + out + " 1000x1000", "too large"},
        {"repeat " + wraps + " " + folder.File("out.xyz") + " 2x2", "xyz"},
    };
    for (const auto& c : cases) {
        const test::CliResult r = RunCli(c.args);
        EXPECT_NE(r.status, 0) << c.args;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << ": " << r.output;
    }
}
