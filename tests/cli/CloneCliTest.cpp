#include "CliRunner.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace quiltara;
using test::RunCli;

namespace {

void WritePng(const std::string& path, int w, int h) {
    CDIBSection2 picture;
    test::MakePatternPicture(picture, w, h, 23);
    ASSERT_TRUE(test::WritePngFile(path, picture));
}

} // namespace

TEST(CloneCli, TileMendedAcrossItsEdgeFromTheSurroundingsAndMissingSourcesRefused) {
    test::TempFolder folder;
    const std::string photo = folder.File("photo.png"), tile = folder.File("tile.png"),
                      around = folder.File("around.png"), mended = folder.File("mended.png");
    WritePng(photo, 200, 150);
    test::CliResult r = RunCli("tile " + photo + " " + tile +
                               " --mode none --tile 60x40 --at 70,50 --surroundings " + around);
    ASSERT_EQ(r.status, 0) << r.output;
    int ox = 0, oy = 0;
    ASSERT_EQ(std::sscanf(r.output.c_str(), "offset: %d %d", &ox, &oy), 2) << r.output;

    // Picture row 20 from column 50 to 5 pixels past the right edge.
    const std::string offset = " --offset " + std::to_string(ox) + "," + std::to_string(oy);
    r = RunCli("paint " + tile + " " + mended + " --tool 54 --size 6 --blur 0 --surroundings " +
               around + offset + " --stroke 50,20 64,20");
    ASSERT_EQ(r.status, 0) << r.output;
    CDIBSection2 result, surroundings;
    ASSERT_TRUE(test::ReadPngFile(mended, result));
    ASSERT_TRUE(test::ReadPngFile(around, surroundings));
    const int row = 40 - 1 - 20;
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(
            0, std::memcmp(result.PixelAt(c, row), surroundings.PixelAt(ox + 60 + c, oy + row), 3))
            << c;

    // The other clone tools run; a missing source is told and nothing is written.
    const struct {
        std::string options;
        const char* says; // empty: paints
    } cases[] = {
        {"--tool 4 --source-point 10,10 --stroke 40,20 44,22", ""},
        {"--tool 4 --source-point 10,10 --source " + photo + " --wrap-source 1 --stroke 40,20", ""},
        {"--tool 20 --original " + photo + " --stroke 5,5 9,9", ""},
        {"--tool 28 --stroke 55,10 66,12", ""},
        {"--clone texture --texture " + photo + " --stroke 5,5 9,9", ""},
        {"--tool 54 --stroke 1,1", "no surroundings"},
        {"--tool 20 --stroke 1,1", "working on a New document"},
        {"--tool 4 --stroke 1,1", "no source"},
        {"--clone texture --stroke 1,1", "You don't have any texture selected!"},
        {"--tool 2 --clone original --stroke 1,1", "This image doesn't have an Original!"},
        {"--tool 54 --surroundings " + around + " --stroke 1,1", "--offset"},
    };
    for (const auto& test : cases) {
        const std::string out = folder.File("o.png");
        std::remove(out.c_str());
        r = RunCli("paint " + tile + " " + out + " " + test.options);
        EXPECT_EQ(r.status, *test.says ? 1 : 0) << test.options << ": " << r.output;
        EXPECT_NE(r.output.find(test.says), std::string::npos) << r.output;
        CDIBSection2 written;
        EXPECT_EQ(test::ReadPngFile(out, written), !*test.says) << test.options;
    }
}
