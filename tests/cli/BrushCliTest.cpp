#include "CliRunner.h"
#include "core/base/Archive.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <png.h>
#include <sstream>
#include <vector>

using namespace quiltara::test;

namespace {

// A w x h RGB PNG of one colour, white unless told.
void WriteWhitePng(const std::string& path, int w, int h, std::uint8_t r = 255,
                   std::uint8_t g = 255, std::uint8_t b = 255) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w), image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        pixels[i] = r, pixels[i + 1] = g, pixels[i + 2] = b;
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

TEST(PaintCommand, ToolsRetouchFillAndRefuse) {
    TempFolder folder;
    const std::string in = folder.File("in.png");
    WriteWhitePng(in, 40, 30, 200, 100, 40);
    auto pixel = [&](const std::string& file, int x, int y) {
        int w = 0, h = 0;
        const auto px = ReadRgbPng(folder.File(file), w, h);
        const std::uint8_t* p = &px[(std::size_t(y) * w + x) * 3];
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    // Desaturate: trunc(0.30 x 200 + 0.59 x 100 + 0.11 x 40) = 123 under the stroke.
    CliResult r = RunCli("paint " + in + " " + folder.File("grey.png") +
                         " --tool 14 --size 6 --blur 0 --stroke 10,10 20,10");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(pixel("grey.png", 15, 10), (std::array<int, 3>{123, 123, 123}));
    EXPECT_EQ(pixel("grey.png", 15, 25), (std::array<int, 3>{200, 100, 40}));
    // The bucket needs no stroke and fills with the background colour.
    r = RunCli("paint " + in + " " + folder.File("fill.png") + " --tool 10 --background 00FF80");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(pixel("fill.png", 39, 29), (std::array<int, 3>{0, 255, 128}));
    // Noise is the same for the same seed.
    for (const char* name : {"n1.png", "n2.png"})
        ASSERT_EQ(RunCli("paint " + in + " " + folder.File(name) +
                         " --tool 30 --seed 9 --size 20 --stroke 5,5 35,25")
                      .status,
                  0);
    int w = 0, h = 0;
    EXPECT_EQ(ReadRgbPng(folder.File("n1.png"), w, h), ReadRgbPng(folder.File("n2.png"), w, h));
    // Points that are not finite or lie absurdly far, and colours that are not six hex
    // digits, are refused before anything is painted.
    for (const char* bad : {"--stroke nan,3", "--stroke 1e300,3", "--color +FFFFF --stroke 1,1",
                            "--tool 10 --background 12345G"}) {
        r = RunCli("paint " + in + " " + folder.File("o.png") + " " + bad);
        EXPECT_EQ(r.status, 1) << bad << ": " << r.output;
    }
    // Tools that do not paint here are refused.
    for (const char* tool : {"21", "50", "99", "x"}) {
        r = RunCli("paint " + in + " " + folder.File("o.png") + " --tool " + tool +
                   " --stroke 1,1");
        EXPECT_EQ(r.status, 1) << tool;
        EXPECT_NE(r.output.find("tool"), std::string::npos) << r.output;
    }
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
