#include "CliRunner.h"
#include "support/ExifBlockWriter.h"
#include "support/TestSupport.h"

#include "core/image/codecs/Codecs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace quiltara::test;

namespace {
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A real 8 x 8 JPEG carrying the given APP1 segments (marker bytes and length dropped).
std::vector<std::uint8_t> JpegWith(const std::vector<std::vector<std::uint8_t>>& segments) {
    std::vector<quiltara::JPGMarker> markers;
    for (const auto& s : segments) markers.push_back({0xE1, {s.begin() + 4, s.end()}});
    const std::vector<std::uint8_t> rgb(8 * 8 * 3, 128);
    quiltara::CSink sink;
    EXPECT_TRUE(quiltara::WriteJPG(sink, rgb.data(), 8, 8, 90, &markers));
    return sink.Bytes();
}
} // namespace

TEST(CliExif, PrintsTheReportOneEntryALine) {
    TempFolder folder;
    ExifBlockWriter w(true);
    w.AddAscii(ExifBlockWriter::Ifd0, 271, "Olympus");
    w.AddPointer(ExifBlockWriter::Ifd0, 34665, ExifBlockWriter::Exif);
    w.AddRationals(ExifBlockWriter::Exif, 33434, {{1, 125}});
    const std::vector<std::uint8_t> xmp = {0xFF, 0xE1, 0x00, 0x08, 'h', 't', 't', 'p', ':', '/'};
    WriteFile(folder.File("photo.jpg"), JpegWith({w.Segment(), xmp}));

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
    WriteFile(folder.File("plain.jpg"), JpegWith({}));
    const auto r = RunCli("exif " + folder.File("plain.jpg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("No Camera information can be found in this document..."),
              std::string::npos)
        << r.output;
    EXPECT_EQ(RunCli("exif " + folder.File("missing.jpg")).status, 1);
    EXPECT_EQ(RunCli("exif").status, 2);
}

// A photograph from a Debian package (python3-skimage), when it is installed: its Exif
// APP1 is followed by an XMP APP1.
TEST(CliExif, ReadsARealPhotographWhoseExifIsFollowedByXmp) {
    const std::string path = "/usr/lib/python3/dist-packages/skimage/data/hubble_deep_field.jpg";
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " is not installed";
    const auto r = RunCli("exif " + path);
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* line :
         {"Date & Time: 2012-09-17T15:53:45-04:00\n", "Orientation: upper left\n",
          "Exif Image Width: 1000\n", "Exif Image Height: 872\n", "Exif Version: 30323230\n",
          "Software: Adobe Photoshop CS5 Macintosh\n", "X Res: 3000000/10000 \n",
          "Resolution Unit: inch\n"})
        EXPECT_NE(r.output.find(line), std::string::npos) << line;
}
