#include "core/devices/ScanFrames.h"
#include "core/devices/SaneScanner.h"
#include "support/SaneTestBackend.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

using namespace quiltara;

namespace {
using Bytes = std::vector<std::uint8_t>;

// Feeds each frame in small, uneven pieces, as a scanner's reads arrive.
bool Assemble(CScanAssembler& a, const std::vector<std::pair<ScanFrameParameters, Bytes>>& frames) {
    for (const auto& [p, data] : frames) {
        if (!a.BeginFrame(p)) return false;
        for (std::size_t at = 0; at < data.size(); at += 3)
            if (!a.AddData(data.data() + at, std::min<std::size_t>(3, data.size() - at)))
                return false;
        a.EndFrame();
    }
    return a.Complete();
}

// 16-bit samples in the machine's byte order, the low byte noise.
Bytes As16(const Bytes& samples) {
    Bytes out(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::uint16_t v = std::uint16_t(samples[i] << 8 | 0x7F);
        std::memcpy(out.data() + 2 * i, &v, 2);
    }
    return out;
}
} // namespace

// Every way of sending the same 2 x 2 picture (red, green / blue, gray 128) gives the
// same RGB buffer.
TEST(ScanFrames, EveryFrameLayoutGivesThePicture) {
    const Bytes expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
    const Bytes rgb8 = {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
    const Bytes red = {255, 0, 0, 128}, green = {0, 255, 0, 128}, blue = {0, 0, 255, 128};
    // Padding bytes at the end of each line must be skipped.
    const Bytes paddedRgb = {255, 0, 0, 0, 255, 0, 9, 9, 0, 0, 255, 128, 128, 128, 9, 9};
    struct Case {
        const char* name;
        std::vector<std::pair<ScanFrameParameters, Bytes>> frames;
    };
    const Case cases[] = {
        {"rgb 8", {{{kFrameRgb, true, 6, 2, 2, 8}, rgb8}}},
        {"rgb 16", {{{kFrameRgb, true, 12, 2, 2, 16}, As16(rgb8)}}},
        {"padded lines", {{{kFrameRgb, true, 8, 2, 2, 8}, paddedRgb}}},
        {"three planes",
         {{{kFrameRed, false, 2, 2, 2, 8}, red},
          {{kFrameGreen, false, 2, 2, 2, 8}, green},
          {{kFrameBlue, true, 2, 2, 2, 8}, blue}}},
        {"three planes, blue first",
         {{{kFrameBlue, false, 2, 2, 2, 8}, blue},
          {{kFrameRed, false, 2, 2, 2, 8}, red},
          {{kFrameGreen, true, 2, 2, 2, 8}, green}}},
        {"unknown height", {{{kFrameRgb, true, 6, 2, -1, 8}, rgb8}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScanAssembler a;
        ASSERT_TRUE(Assemble(a, c.frames));
        EXPECT_EQ(a.Width(), 2);
        EXPECT_EQ(a.Height(), 2);
        EXPECT_EQ(a.Rgb(), expected);
    }
}

TEST(ScanFrames, GrayAndLineart) {
    CScanAssembler gray;
    ASSERT_TRUE(Assemble(gray, {{{kFrameGray, true, 3, 3, 1, 8}, {0, 100, 255}}}));
    EXPECT_EQ(gray.Rgb(), (Bytes{0, 0, 0, 100, 100, 100, 255, 255, 255}));
    // Lineart: a set bit is black; 10 pixels in two bytes, most significant bit first.
    CScanAssembler lineart;
    ASSERT_TRUE(Assemble(lineart, {{{kFrameGray, true, 2, 10, 1, 1}, {0b10000000, 0b01000000}}}));
    ASSERT_EQ(lineart.Rgb().size(), 30u);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(lineart.Rgb()[3 * x], (x == 0 || x == 9) ? 0 : 255) << x;
}

// What a scanner announces or sends is not trusted.
TEST(ScanFrames, RefusesWhatDoesNotFit) {
    const ScanFrameParameters bad[] = {
        {7, true, 6, 2, 2, 8},                      // unknown format
        {kFrameRgb, true, 6, 2, 2, 4},              // unknown depth
        {kFrameRgb, true, 5, 2, 2, 8},              // line shorter than its pixels
        {kFrameRgb, true, 6, 0, 2, 8},              // no width
        {kFrameRgb, true, 6, 2, 0, 8},              // no height
        {kFrameGray, true, 60001, 60001, 2, 8},     // too wide
        {kFrameGray, true, 50000, 50000, 50000, 8}, // too many pixels
        {kFrameRgb, false, 6, 2, 2, 8},             // a single frame that is not last
    };
    for (const ScanFrameParameters& p : bad) {
        CScanAssembler a;
        EXPECT_FALSE(a.BeginFrame(p)) << p.format << " " << p.bytesPerLine << " " << p.lines;
    }
    // A second plane of another size.
    CScanAssembler planes;
    ASSERT_TRUE(planes.BeginFrame({kFrameRed, false, 2, 2, 2, 8}));
    planes.EndFrame();
    EXPECT_FALSE(planes.BeginFrame({kFrameGreen, false, 3, 3, 2, 8}));
    // Data past the announced lines is dropped; a short scan stays white below.
    CScanAssembler extra;
    ASSERT_TRUE(Assemble(extra, {{{kFrameGray, true, 1, 1, 2, 8}, {7, 8, 9, 10}}}));
    EXPECT_EQ(extra.Rgb(), (Bytes{7, 7, 7, 8, 8, 8}));
    CScanAssembler shortScan;
    ASSERT_TRUE(Assemble(shortScan, {{{kFrameGray, true, 1, 1, 2, 8}, {7}}}));
    EXPECT_EQ(shortScan.Rgb(), (Bytes{7, 7, 7, 255, 255, 255}));
    // An endless picture of unknown height stops at the limit.
    CScanAssembler endless;
    ASSERT_TRUE(endless.BeginFrame({kFrameGray, true, 1, 1, -1, 8}));
    const Bytes lines(CScanAssembler::kMaxSide, 1);
    EXPECT_TRUE(endless.AddData(lines.data(), lines.size()));
    EXPECT_FALSE(endless.AddData(lines.data(), 1));
}

// The real library with its "test" backend: the same colour pattern in one pass, in
// three passes and at 16 bits.
TEST(SaneScanner, TestBackendPictures) {
    test::SaneTestBackend backend("resolution 25\n");
    CSaneLibrary library;
    if (!library.Load()) GTEST_SKIP() << "no " << CSaneLibrary::kLibraryName;
    const std::vector<ScannerDevice> devices = library.Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "test:0");

    CSaneDevice device(library);
    ASSERT_TRUE(device.Open(devices[0].name));
    const std::vector<std::string> modes = device.Choices("mode");
    ASSERT_NE(std::find(modes.begin(), modes.end(), "Color"), modes.end());
    auto scan = [&](const char* mode, const char* picture, bool threePass, int depth) {
        EXPECT_TRUE(device.SetOption("mode", mode));
        EXPECT_TRUE(device.SetOption("test-picture", picture));
        if (std::string(mode) == "Color") {
            EXPECT_TRUE(device.SetOption("three-pass", threePass ? "1" : "0"));
        }
        EXPECT_TRUE(device.SetOption("depth", std::to_string(depth)));
        CScanAssembler a;
        std::int64_t lastDone = -1;
        EXPECT_EQ(device.Scan(a,
                              [&](std::int64_t done, std::int64_t) {
                                  EXPECT_GE(done, lastDone);
                                  lastDone = done;
                                  return true;
                              }),
                  ScanResult::Done)
            << device.LastError();
        device.EndScans();
        return a;
    };
    const CScanAssembler black = scan("Gray", "Solid black", false, 8);
    // 80 x 100 mm at 25 pixels per inch.
    EXPECT_NEAR(black.Width(), 80 / 25.4 * 25, 1.0);
    EXPECT_NEAR(black.Height(), 100 / 25.4 * 25, 1.0);
    EXPECT_EQ(std::count(black.Rgb().begin(), black.Rgb().end(), 0),
              std::ptrdiff_t(black.Rgb().size()));
    EXPECT_EQ(device.Value("mode"), "Gray");

    const CScanAssembler onePass = scan("Color", "Color pattern", false, 8);
    const CScanAssembler threePass = scan("Color", "Color pattern", true, 8);
    // 16-bit samples arrive as twice the bytes.
    const CScanAssembler deep = scan("Color", "Color pattern", false, 16);
    ASSERT_TRUE(onePass.Complete());
    EXPECT_EQ(threePass.Rgb(), onePass.Rgb());
    EXPECT_EQ(deep.Width(), onePass.Width());
    EXPECT_EQ(deep.Height(), onePass.Height());
    // A pattern, not a plain field.
    EXPECT_NE(std::count(onePass.Rgb().begin(), onePass.Rgb().end(), onePass.Rgb()[0]),
              std::ptrdiff_t(onePass.Rgb().size()));

    // Cancelling on the first piece of data.
    CScanAssembler cancelled;
    EXPECT_EQ(device.Scan(cancelled, [](std::int64_t, std::int64_t) { return false; }),
              ScanResult::Cancelled);
    EXPECT_FALSE(device.SetOption("no-such-option", "1"));
    EXPECT_FALSE(CSaneDevice(library).Open("test:9"));
}
