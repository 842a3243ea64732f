#include "CliRunner.h"
#include "support/ExifBlockWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace quiltara::test;

namespace {
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
} // namespace

TEST(CliExif, PrintsTheReportOneEntryALine) {
    TempFolder folder;
    ExifBlockWriter w(true);
    w.AddAscii(ExifBlockWriter::Ifd0, 271, "Olympus");
    w.AddPointer(ExifBlockWriter::Ifd0, 34665, ExifBlockWriter::Exif);
    w.AddRationals(ExifBlockWriter::Exif, 33434, {{1, 125}});
    const std::vector<std::uint8_t> xmp = {0xFF, 0xE1, 0x00, 0x08, 'h', 't', 't', 'p', ':', '/'};
    WriteFile(folder.File("photo.jpg"), JpegWithSegments({w.Segment(), xmp}));

    const auto r = RunCli("exif " + folder.File("photo.jpg"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(
        r.output.rfind("Make: Olympus\nModel: ---\nDate & Time: ---\nExposure Time: 1/125\n", 0),
        0u)
        << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 103);
    EXPECT_EQ(r.output.find('\r'), std::string::npos);
    EXPECT_NE(r.output.find("\nDate & Time Original: ---\n"), std::string::npos);
}

TEST(CliExif, WithoutCameraInformationFails) {
    TempFolder folder;
    const std::vector<std::uint8_t> jfif = {0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0};
    WriteFile(folder.File("plain.jpg"), JpegWithSegments({jfif}));
    const auto r = RunCli("exif " + folder.File("plain.jpg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("No Camera information can be found in this document..."),
              std::string::npos)
        << r.output;
    EXPECT_EQ(RunCli("exif " + folder.File("missing.jpg")).status, 1);
    EXPECT_EQ(RunCli("exif").status, 2);
}
