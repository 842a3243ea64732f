#include "CliRunner.h"
#include "support/PspFileWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace quiltara;
using namespace quiltara::test;

// The Image Nozzle with a 4 x 2 tube of 10 x 5 cells, one dab a cell width along a
// row from near the right edge: the cells come in reading order and the last one
// wraps to the left.
TEST(PaintCommand, TubeHosePaintsItsCellsInOrder) {
    TempFolder folder;
    PspFileWriter w(5, 1);
    w.AddGeneralAttributes(40, 10, 8);
    std::vector<PspLayer> cells;
    for (int i = 0; i < 8; ++i)
        cells.push_back(
            ColourLayer(10 * (i % 4), 5 * (i / 4), 10, 5, std::uint8_t(20 * (i + 1)), 9, 3));
    w.AddLayers(cells);
    w.AddTube("", {1, 4, 2, 8, 0, 1});
    const Bytes bytes = w.File();
    std::ofstream(folder.File("t.tub"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    CDIBSection2 white;
    white.Create(60, 30, 32, true);
    white.FillOpaque(0xFFFFFF);
    ASSERT_TRUE(WritePngFile(folder.File("in.png"), white));

    const std::string paint = "paint " + folder.File("in.png") + " " + folder.File("out.png");
    const CliResult r = RunCli(paint + " --tool 24 --tube " + folder.File("t.tub") +
                               " --spacing 1 --stroke 25,10 65,10");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("8 frames, Sequentially"), std::string::npos) << r.output;
    CDIBSection2 out;
    ASSERT_TRUE(ReadPngFile(folder.File("out.png"), out));
    for (int k = 0; k < 5; ++k) {
        const std::uint8_t* p = out.GetRow(10) + ((25 + 10 * k) % 60) * 4;
        EXPECT_EQ(p[2], 20 * (k + 1)) << k;
        EXPECT_EQ(p[1], 9) << k;
    }
    EXPECT_EQ(out.GetRow(20)[25 * 4 + 2], 255); // below the cells' height

    EXPECT_NE(
        RunCli(paint + " --tool 24 --tube " + folder.File("none.tub") + " --stroke 1,1").status, 0);
}
