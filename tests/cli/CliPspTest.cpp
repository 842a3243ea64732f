#include "CliRunner.h"
#include "support/PspFileWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>

using namespace quiltara::test;

namespace {

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

struct Png {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads a PNG back as 8-bit RGBA with libpng's simplified interface.
Png ReadPng(const std::string& path) {
    Png result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
    image.format = PNG_FORMAT_RGBA;
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) return {};
    result.width = int(image.width);
    result.height = int(image.height);
    return result;
}

// A 400 x 100 tube of 4 x 2 cells, each cell one colour: red = 10 x its number.
Bytes TubeFile() {
    PspFileWriter w(5, 2);
    w.AddGeneralAttributes(400, 100, 8);
    w.AddCreator({{0, "Leaves"}, {3, "Cy"}});
    std::vector<PspLayer> layers;
    for (int i = 0; i < 8; ++i)
        layers.push_back(
            ColourLayer(100 * (i % 4), 50 * (i / 4), 100, 50, std::uint8_t(10 * i), 1, 2));
    w.AddLayers(layers);
    w.AddTube("", {1, 4, 2, 8, 0, 1});
    return w.File();
}

} // namespace

TEST(CliPsp, WritesTheCompositedCanvasAsRgbaPng) {
    TempFolder folder;
    PspFileWriter w(5, 0);
    w.AddGeneralAttributes(3, 2, 1);
    w.AddLayers({ColourLayer(1, 0, 2, 1, 9, 8, 7)});
    WriteFile(folder.File("in.psp"), w.File());

    const auto r = RunCli("psp " + folder.File("in.psp") + " " + folder.File("out.png"));
    ASSERT_EQ(r.status, 0) << r.output;
    const Png png = ReadPng(folder.File("out.png"));
    ASSERT_EQ(png.width, 3);
    ASSERT_EQ(png.height, 2);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 9, 8, 7, 255, 9, 8, 7, 255,
                                                0, 0, 0, 0, 0, 0, 0, 0,   0, 0, 0, 0};
    EXPECT_EQ(png.rgba, expected);
}

TEST(CliPsp, ReportsTheReadersMessage) {
    TempFolder folder;
    PspFileWriter w(5, 0);
    w.AddLayers({ColourLayer(0, 0, 1, 1, 1, 1, 1)});
    WriteFile(folder.File("bad.psp"), w.File());
    const auto r = RunCli("psp " + folder.File("bad.psp") + " " + folder.File("out.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("PSP: Missing General Image Attributes block"), std::string::npos)
        << r.output;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.png")));
    EXPECT_EQ(RunCli("psp " + folder.File("none.psp") + " " + folder.File("out.png")).status, 1);
}

TEST(CliTube, CutsTheFramesAndPrintsTheTubeInformation) {
    TempFolder folder;
    WriteFile(folder.File("leaves.tub"), TubeFile());
    const auto r = RunCli("tube " + folder.File("leaves.tub") + " " + folder.File("frames"));
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* line : {"Title: Leaves\n", "Artist: Cy\n", "Cells across: 4\n",
                             "Cells down: 2\n", "Cell count: 8\n", "Placement mode: random\n",
                             "Selection mode: incremental\n", "Frames: 8\n"})
        EXPECT_NE(r.output.find(line), std::string::npos) << line << r.output;
    for (int i = 0; i < 8; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frames/frame%03d.png", i + 1);
        const Png png = ReadPng(folder.File(name));
        ASSERT_EQ(png.width, 100) << name;
        ASSERT_EQ(png.height, 50) << name;
        EXPECT_EQ(png.rgba[0], 10 * i) << name;
        EXPECT_EQ(png.rgba[png.rgba.size() - 4], 10 * i) << name;
        EXPECT_EQ(png.rgba[3], 255) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("frames/frame009.png")));
}
