#include "CliRunner.h"
#include "core/base/Archive.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <png.h>
#include <sstream>
#include <vector>

using namespace quiltara::test;

namespace {

// A white w x h RGB PNG.
void WriteWhitePng(const std::string& path, int w, int h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w), image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 3, 255);
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
}

std::vector<std::uint8_t> ReadRgbPng(const std::string& path, int& w, int& h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    w = int(image.width), h = int(image.height);
    return pixels;
}

std::string BuildBrushes() {
    return (std::filesystem::path(QUILTARA_CLI).parent_path() / "Brushes").string();
}

} // namespace

TEST(PaintCommand, StrokeAcrossTheEdgeWrapsToTheOtherSide) {
    TempFolder folder;
    WriteWhitePng(folder.File("in.png"), 40, 30);
    const CliResult r = RunCli("paint " + folder.File("in.png") + " " + folder.File("out.png") +
                               " --size 6 --blur 0 --color 0000FF --stroke 35,10 45,10");
    ASSERT_EQ(r.status, 0) << r.output;
    int w = 0, h = 0;
    const auto px = ReadRgbPng(folder.File("out.png"), w, h);
    ASSERT_EQ(w, 40);
    auto blue = [&](int x, int y) {
        const std::uint8_t* p = &px[(std::size_t(y) * w + x) * 3];
        return p[0] == 0 && p[1] == 0 && p[2] == 255;
    };
    EXPECT_TRUE(blue(35, 10));
    EXPECT_TRUE(blue(39, 10));
    EXPECT_TRUE(blue(2, 10)); // column 42 wraps to 2
    EXPECT_FALSE(blue(20, 10));
    EXPECT_FALSE(blue(35, 20));
}

TEST(PaintCommand, OpacityZeroAndBadArguments) {
    TempFolder folder;
    WriteWhitePng(folder.File("in.png"), 16, 16);
    ASSERT_EQ(RunCli("paint " + folder.File("in.png") + " " + folder.File("out.png") +
                     " --opacity 0 --color 000000 --stroke 8,8 12,8")
                  .status,
              0);
    int w = 0, h = 0;
    const auto px = ReadRgbPng(folder.File("out.png"), w, h);
    for (std::uint8_t v : px) ASSERT_EQ(v, 255);
    EXPECT_NE(RunCli("paint " + folder.File("in.png") + " " + folder.File("o.png") +
                     " --blend 12 --stroke 1,1")
                  .status,
              0);
    EXPECT_NE(RunCli("paint " + folder.File("in.png") + " " + folder.File("o.png")).status, 0);
    EXPECT_NE(
        RunCli("paint " + folder.File("none.png") + " " + folder.File("o.png") + " --stroke 1,1")
            .status,
        0);
}

TEST(BrushesCommand, ListsTheBuiltDefaultLibraryAndWritesPreviews) {
    TempFolder folder;
    const CliResult r = RunCli("brushes " + BuildBrushes() + "/Brush/default.brs --previews " +
                               folder.File("previews"));
    ASSERT_EQ(r.status, 0) << r.output;
    std::istringstream lines(r.output);
    std::string line;
    int count = 0;
    std::string fifth;
    while (std::getline(lines, line)) {
        if (count == 4) fifth = line;
        ++count;
    }
    EXPECT_GE(count, 10);
    EXPECT_NE(fifth.find("Circular"), std::string::npos) << fifth;
    EXPECT_NE(fifth.find("size 20"), std::string::npos) << fifth;
    EXPECT_TRUE(std::filesystem::exists(folder.File("previews/004.png")));

    const CliResult hose = RunCli("brushes " + BuildBrushes() + "/Nozzle/default.brs");
    ASSERT_EQ(hose.status, 0);
    EXPECT_NE(hose.output.find("Image Hose"), std::string::npos);
}

TEST(BrushesCommand, BrokenLibrariesFailWithTheirMessages) {
    TempFolder folder;
    // One brush whose mask claims 2 x 2 pixels in 15 bytes.
    quiltara::CArchiveWriter ar;
    ar.WriteInt32(1);
    ar.WriteString("x");
    ar.WriteInt32(0), ar.WriteInt32(5), ar.WriteDouble(0.15), ar.WriteDouble(0.15);
    ar.WriteInt32(255), ar.WriteDouble(2.0), ar.WriteInt32(0), ar.WriteInt32(1);
    ar.WriteInt32(0), ar.WriteInt32(2), ar.WriteInt32(2), ar.WriteInt32(15);
    const std::vector<std::uint8_t>& bytes = ar.Bytes();
    {
        FILE* f = std::fopen(folder.File("bad.brs").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const CliResult r = RunCli("brushes " + folder.File("bad.brs"));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("Corupted Data!"), std::string::npos) << r.output;
}
