#include "CliRunner.h"
#include "core/image/codecs/Codecs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace quiltara;
using quiltara::test::RunCli;
using quiltara::test::TempFolder;

namespace {

void WritePngFile(const std::string& path, int w, int h) {
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = std::uint8_t(i * 13);
    CSink sink;
    ASSERT_TRUE(WritePNG(sink, rgb.data(), w, h));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(sink.Bytes().data()),
               std::streamsize(sink.Bytes().size()));
}

} // namespace

TEST(CliImageFiles, InfoReportsSizeFormatAndCamera) {
    TempFolder folder;
    WritePngFile(folder.File("a.png"), 21, 13);
    const auto info = RunCli("info " + folder.File("a.png"));
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.output, "size: 21 x 13\nformat: 3\ncamera: no\n");
    const auto missing = RunCli("info " + folder.File("nothing.png"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("error on file open"), std::string::npos) << missing.output;
    EXPECT_EQ(RunCli("info").status, 2);
}

TEST(CliImageFiles, ConvertByExtensionAndByCode) {
    TempFolder folder;
    WritePngFile(folder.File("a.png"), 10, 8);
    for (const char* name :
         {"b.bmp", "b.tga", "b.pcx", "b.tif", "b.psd", "b.emf", "b.wmf", "b.jpeg"}) {
        const auto r =
            RunCli("convert " + folder.File("a.png") + " " + folder.File(name) + " --quality 90");
        EXPECT_EQ(r.status, 0) << name << ": " << r.output;
        const auto info = RunCli("info " + folder.File(name));
        EXPECT_NE(info.output.find("size: 10 x 8"), std::string::npos)
            << name << ": " << info.output;
    }
    // Targa is found by extension alone; the code names the format whatever the name.
    EXPECT_NE(RunCli("info " + folder.File("b.tga")).output.find("format: 16"), std::string::npos);
    ASSERT_EQ(
        RunCli("convert " + folder.File("b.tga") + " " + folder.File("gray.bin") + " --code 5")
            .status,
        0);
    EXPECT_NE(RunCli("info " + folder.File("gray.bin")).output.find("format: 3"),
              std::string::npos);
    // Alpha passes through PNG to PNG when asked.
    ASSERT_EQ(
        RunCli("convert " + folder.File("a.png") + " " + folder.File("c.png") + " --alpha").status,
        0);
}

TEST(CliImageFiles, ConvertFailuresExitWithTheText) {
    TempFolder folder;
    WritePngFile(folder.File("a.png"), 4, 4);
    const auto unknown = RunCli("convert " + folder.File("a.png") + " " + folder.File("a.xyz"));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("Unknown extnsion\n" + folder.File("a.xyz")), std::string::npos)
        << unknown.output;
    std::ofstream(folder.File("bad.bmp")) << "BMnot really a bitmap";
    const auto bad = RunCli("convert " + folder.File("bad.bmp") + " " + folder.File("x.png"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("bad BMP file"), std::string::npos) << bad.output;
    EXPECT_EQ(RunCli("convert " + folder.File("a.png") + " " + folder.File("x.gif")).status, 1);
    EXPECT_EQ(
        RunCli("convert " + folder.File("a.png") + " " + folder.File("x.jpg") + " --quality 101")
            .status,
        1);
    EXPECT_EQ(RunCli("convert " + folder.File("a.png")).status, 2);
}

// A file that ends early: the warning on stderr and exit status 3, no output written;
// with --allow-partial the command goes on with what the file holds.
TEST(CliImageFiles, FilesThatEndEarlyNeedAllowPartial) {
    TempFolder folder;
    WritePngFile(folder.File("whole.png"), 64, 64);
    std::ifstream in(folder.File("whole.png"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(folder.File("cut.png"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    const std::string cut = folder.File("cut.png");
    const struct {
        std::string arguments, output;
    } commands[] = {{"info " + cut, ""},
                    {"convert " + cut + " " + folder.File("out.bmp"), folder.File("out.bmp")},
                    {"rotate " + cut + " " + folder.File("r.png") + " 90cw", folder.File("r.png")}};
    for (const auto& c : commands) {
        const auto stopped = RunCli(c.arguments);
        EXPECT_EQ(stopped.status, 3) << c.arguments << ": " << stopped.output;
        EXPECT_NE(stopped.output.find(cut + ": the file ends early: rows "), std::string::npos)
            << stopped.output;
        if (!c.output.empty()) {
            EXPECT_FALSE(std::ifstream(c.output).good()) << c.arguments;
        }
        const auto allowed = RunCli(c.arguments + " --allow-partial");
        EXPECT_EQ(allowed.status, 0) << c.arguments << ": " << allowed.output;
        EXPECT_NE(allowed.output.find("the file ends early"), std::string::npos);
        if (!c.output.empty()) {
            EXPECT_TRUE(std::ifstream(c.output).good()) << c.arguments;
        }
    }
    // A bitmap cut in its rows: they run bottom up, so the top ones are missing.
    std::vector<std::uint8_t> rgb(64 * 64 * 3, 200);
    CSink sink;
    ASSERT_TRUE(WriteBMP(sink, rgb.data(), 64, 64));
    const std::string bmp = folder.File("cut.bmp");
    std::ofstream(bmp, std::ios::binary)
        .write(reinterpret_cast<const char*>(sink.Bytes().data()), 54 + 192 * 40);
    const auto stopped = RunCli("info " + bmp);
    EXPECT_EQ(stopped.status, 3) << stopped.output;
    EXPECT_NE(stopped.output.find(bmp + ": the file ends early: rows 1\u202624 are missing"),
              std::string::npos)
        << stopped.output;
    EXPECT_EQ(RunCli("info " + bmp + " --allow-partial").status, 0);
}
