#include "core/devices/PspFile.h"
#include "core/devices/TubeFrames.h"
#include "support/PspFileWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace quiltara;
using namespace quiltara::test;

namespace {

int LoadBytes(CPspFile& psp, const Bytes& bytes) {
    return psp.LoadFromMemory(bytes.data(), bytes.size());
}

std::array<int, 4> PixelAt(const CPspFile& psp, int x, int y) {
    const std::uint8_t* p = psp.Canvas().data() + (std::size_t(y) * psp.Width() + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

std::string LastMessage(const CPspFile& psp) {
    return psp.Messages().empty() ? "" : psp.Messages().back();
}

// A 3 x 2 picture (rows padded in uncompressed files) with different values everywhere.
PspLayer GradientLayer() {
    PspLayer l;
    l.saved = {0, 0, 3, 2};
    l.channels = {{0, 1, {10, 20, 30, 40, 50, 60}, {}},
                  {0, 2, {11, 21, 31, 41, 51, 61}, {}},
                  {0, 3, {12, 22, 32, 42, 52, 62}, {}}};
    return l;
}

Bytes GradientFile(int major, int compression) {
    PspFileWriter w(major, compression);
    w.AddGeneralAttributes(3, 2, 1);
    w.AddCreator({{0, "Sunset"}, {3, "Ann"}, {4, "(c) Ann"}, {5, "warm"}, {1, "1234"}});
    w.AddLayers({GradientLayer()});
    return w.File();
}

} // namespace

TEST(PspFile, EveryLayoutAndCompressionGivesTheSameCanvas) {
    for (int major : {3, 5}) {
        for (int compression : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "major " << major << " compression " << compression);
            CPspFile psp;
            ASSERT_EQ(LoadBytes(psp, GradientFile(major, compression)), 1) << LastMessage(psp);
            EXPECT_TRUE(psp.Messages().empty());
            EXPECT_EQ(psp.MajorVersion(), major);
            ASSERT_EQ(psp.Width(), 3);
            ASSERT_EQ(psp.Height(), 2);
            EXPECT_EQ(psp.BitDepth(), 24);
            EXPECT_EQ(psp.LayerCount(), 1);
            EXPECT_EQ(psp.Title(), "Sunset");
            EXPECT_EQ(psp.Artist(), "Ann");
            EXPECT_EQ(psp.Copyright(), "(c) Ann");
            EXPECT_EQ(psp.Description(), "warm");
            EXPECT_EQ(PixelAt(psp, 0, 0), (std::array<int, 4>{10, 11, 12, 255}));
            EXPECT_EQ(PixelAt(psp, 2, 0), (std::array<int, 4>{30, 31, 32, 255}));
            EXPECT_EQ(PixelAt(psp, 1, 1), (std::array<int, 4>{50, 51, 52, 255}));
            EXPECT_EQ(PixelAt(psp, 2, 1), (std::array<int, 4>{60, 61, 62, 255}));
        }
    }
}

TEST(PspFile, RunLengthChannelsWithFullLiteralRunsAndOverlongRuns) {
    // 16 x 16 values: a literal run of exactly 128 bytes, a repeat of 127, one literal.
    Bytes values(256);
    for (int i = 0; i < 128; ++i) values[std::size_t(i)] = std::uint8_t(i * 2 + 1);
    for (int i = 128; i < 255; ++i) values[std::size_t(i)] = 7;
    values[255] = 99;
    Bytes encoded = {128};
    encoded.insert(encoded.end(), values.begin(), values.begin() + 128);
    encoded.push_back(128 + 127);
    encoded.push_back(7);
    encoded.push_back(1);
    encoded.push_back(99);

    PspLayer layer;
    layer.saved = {0, 0, 16, 16};
    layer.channels = {{0, 1, values, encoded}, {0, 2, values, encoded}, {0, 3, values, {}}};
    PspFileWriter w(5, 1);
    w.AddGeneralAttributes(16, 16, 1);
    w.AddLayers({layer});
    CPspFile psp;
    ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
    for (int i = 0; i < 256; ++i) {
        const auto p = PixelAt(psp, i % 16, i / 16);
        ASSERT_EQ(p[0], values[std::size_t(i)]) << i;
        ASSERT_EQ(p[1], values[std::size_t(i)]) << i;
        ASSERT_EQ(p[2], values[std::size_t(i)]) << i;
    }

    // A repeat run longer than what is left of the channel stops at its end.
    PspLayer small;
    small.saved = {0, 0, 2, 2};
    small.channels = {{0, 1, {5, 5, 5, 5}, {255, 5}},
                      {0, 2, {6, 6, 6, 6}, {128 + 3, 6, 3, 6, 6, 6}},
                      {0, 3, {7, 7, 7, 7}, {}}};
    PspFileWriter s(5, 1);
    s.AddGeneralAttributes(2, 2, 1);
    s.AddLayers({small});
    CPspFile cut;
    ASSERT_EQ(LoadBytes(cut, s.File()), 1) << LastMessage(cut);
    EXPECT_EQ(PixelAt(cut, 1, 1), (std::array<int, 4>{5, 6, 7, 255}));

    // Data that ends before the channel is full fails instead of reading on.
    small.channels[0].encoded = {128 + 2, 5};
    PspFileWriter t(5, 1);
    t.AddGeneralAttributes(2, 2, 1);
    t.AddLayers({small});
    CPspFile shortRun;
    EXPECT_EQ(LoadBytes(shortRun, t.File()), -1);
    EXPECT_EQ(LastMessage(shortRun), "PSP: Error reading channel data");
}

TEST(PspFile, GreyscaleGivesGreyOpaquePixels) {
    PspLayer l;
    l.saved = {0, 0, 2, 1};
    l.channels = {{0, 0, {40, 200}, {}}};
    for (int compression : {0, 2}) {
        PspFileWriter w(4, compression);
        w.AddGeneralAttributes(2, 1, 1, true);
        w.AddLayers({l});
        CPspFile psp;
        ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
        EXPECT_EQ(PixelAt(psp, 0, 0), (std::array<int, 4>{40, 40, 40, 255}));
        EXPECT_EQ(PixelAt(psp, 1, 0), (std::array<int, 4>{200, 200, 200, 255}));
    }
}

TEST(PspFile, HalfTransparentMaskBlendsOverTheLayerBelow) {
    // The lower layer covers the left column only; the upper layer covers both columns
    // with a mask of 128 at opacity 255.
    PspLayer lower = ColourLayer(0, 0, 1, 1, 50, 50, 50);
    PspLayer upper = ColourLayer(0, 0, 2, 1, 200, 100, 0);
    upper.bitmapCount = 2;
    upper.channels.push_back({1, 0, {128, 128}, {}});
    for (bool transparent : {true, false}) {
        PspFileWriter w(5, 0);
        w.AddGeneralAttributes(2, 1, 2);
        w.AddLayers({lower, upper});
        CPspFile psp;
        psp.SetTransparentBackground(transparent);
        ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
        // Over the opaque lower layer: (200 x 128 + 50 x 127) / 255 = 125.3, alpha 255.
        EXPECT_EQ(PixelAt(psp, 0, 0), (std::array<int, 4>{125, 75, 24, 255}));
        if (transparent) // over nothing: the layer's colour at its own alpha
            EXPECT_EQ(PixelAt(psp, 1, 0), (std::array<int, 4>{200, 100, 0, 128}));
        else // over a white opaque background
            EXPECT_EQ(PixelAt(psp, 1, 0), (std::array<int, 4>{227, 177, 127, 255}));
    }

    // Opacity lowers the mask: mask 255 at opacity 64 leaves source alpha 64/255.
    upper.channels[3].values = {255, 255};
    upper.opacity = 64;
    PspFileWriter w(5, 2);
    w.AddGeneralAttributes(2, 1, 2);
    w.AddLayers({lower, upper});
    CPspFile psp;
    ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
    // (200 x 64 + 50 x 191) / 255 = 87.6
    EXPECT_EQ(PixelAt(psp, 0, 0), (std::array<int, 4>{87, 62, 37, 255}));
    EXPECT_EQ(PixelAt(psp, 1, 0)[3], 64);
}

TEST(PspFile, LayersAreClippedAndEmptyLayersSkipped) {
    PspLayer empty = ColourLayer(1, 1, 0, 2, 9, 9, 9); // zero-width saved rectangle
    empty.channels = {{0, 1, {1, 2}, {}}, {0, 2, {3, 4}, {}}};
    PspLayer outside = ColourLayer(-1, 2, 3, 3, 100, 110, 120); // partly off the canvas
    PspFileWriter w(5, 0);
    w.AddGeneralAttributes(3, 3, 2);
    w.AddLayers({empty, outside});
    CPspFile psp;
    ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const bool covered = y == 2 && x <= 1;
            EXPECT_EQ(PixelAt(psp, x, y), covered ? (std::array<int, 4>{100, 110, 120, 255})
                                                  : (std::array<int, 4>{0, 0, 0, 0}))
                << x << "," << y;
        }

    // The image rectangle's corner moves the layer too.
    PspLayer moved = ColourLayer(1, 0, 1, 1, 1, 2, 3);
    moved.image = {1, 1, 2, 2};
    PspFileWriter m(3, 0);
    m.AddGeneralAttributes(3, 3, 1);
    m.AddLayers({moved});
    CPspFile mp;
    ASSERT_EQ(LoadBytes(mp, m.File()), 1) << LastMessage(mp);
    EXPECT_EQ(PixelAt(mp, 2, 1), (std::array<int, 4>{1, 2, 3, 255}));
}

TEST(PspFile, TubeBlocksAndModeNames) {
    PspFileWriter w(3, 0);
    w.AddGeneralAttributes(4, 2, 1);
    w.AddCreator({{3, "Bob"}});
    w.AddTube("Flowers", {7, 4, 2, 8, 1, 2});
    CPspFile psp;
    ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
    EXPECT_EQ(psp.Title(), "Flowers");
    EXPECT_EQ(psp.Artist(), "Bob");
    EXPECT_EQ(psp.TubeValue(1), 7);
    EXPECT_EQ(psp.CellsAcross(), 4);
    EXPECT_EQ(psp.CellsDown(), 2);
    EXPECT_EQ(psp.CellCount(), 8);
    EXPECT_STREQ(CPspFile::PlacementModeName(psp.PlacementMode()), "constant");
    EXPECT_STREQ(CPspFile::SelectionModeName(psp.SelectionMode()), "angular");

    // A creator title is kept; new layouts have no tube name.
    PspFileWriter n(5, 0);
    n.AddGeneralAttributes(4, 2, 1);
    n.AddCreator({{0, "Named"}});
    n.AddTube("ignored", {1, 2, 1, 2, 0, 4});
    CPspFile named;
    ASSERT_EQ(LoadBytes(named, n.File()), 1) << LastMessage(named);
    EXPECT_EQ(named.Title(), "Named");
    EXPECT_EQ(named.CellCount(), 2);
    EXPECT_STREQ(CPspFile::PlacementModeName(0), "random");
    EXPECT_STREQ(CPspFile::PlacementModeName(2), "default");
    EXPECT_STREQ(CPspFile::SelectionModeName(0), "random");
    EXPECT_STREQ(CPspFile::SelectionModeName(1), "incremental");
    EXPECT_STREQ(CPspFile::SelectionModeName(3), "pressure");
    EXPECT_STREQ(CPspFile::SelectionModeName(4), "velocity");
    EXPECT_STREQ(CPspFile::SelectionModeName(-1), "default");
}

TEST(PspFile, BrokenFilesFailWithTheirMessages) {
    struct Case {
        Bytes file;
        int result;
        const char* message;
    };
    std::vector<Case> cases;

    PspFileWriter onlyLayers(5, 0);
    onlyLayers.AddLayers({GradientLayer()});
    cases.push_back({onlyLayers.File(), 0, "PSP: Missing General Image Attributes block"});

    Bytes shortHeader = GradientFile(5, 0);
    shortHeader.resize(30);
    cases.push_back({shortHeader, 0, "Error reading file header  in PSP file"});

    Bytes badSignature = GradientFile(5, 0);
    badSignature[26] = 0x1B;
    cases.push_back({badSignature, 0, "Incorrect file signature in PSP file"});

    PspFileWriter compression(5, 3);
    compression.AddGeneralAttributes(3, 2, 1);
    cases.push_back({compression.File(), 0, "PSP: Unknown compression type 3"});

    PspFileWriter depth(5, 0);
    depth.AddGeneralAttributes(3, 2, 1, false, 8);
    cases.push_back({depth.File(), 0, "PSP: Unsupported bit depth"});

    PspFileWriter twice(5, 0);
    twice.AddGeneralAttributes(3, 2, 1);
    twice.AddGeneralAttributes(3, 2, 1);
    cases.push_back({twice.File(), 0, "PSP: Duplicate General Image Attributes block"});

    Bytes badMagic = GradientFile(5, 0);
    badMagic[37] = 0x43;
    cases.push_back({badMagic, 0, "PSP: Invalid block header"});

    Bytes cutHeader = GradientFile(5, 0);
    cutHeader.resize(40);
    cases.push_back({cutHeader, 0, "PSP: Error reading block header"});

    PspFileWriter shortAttributes(3, 0);
    shortAttributes.AddRaw(shortAttributes.Block(0, Bytes(20, 0), Bytes(30, 0)));
    cases.push_back(
        {shortAttributes.File(), 0, "PSP: Error reading general image attribute block"});

    PspFileWriter notLayer(5, 0);
    notLayer.AddGeneralAttributes(3, 2, 1);
    notLayer.AddRaw(notLayer.Block(3, notLayer.Block(5, Bytes(16, 0), {}), {}));
    cases.push_back({notLayer.File(), -1, "PSP: Invalid layer sub-block CHANNEL, should be LAYER"});

    PspLayer badType = GradientLayer();
    badType.channels[1].channelType = 4;
    PspFileWriter channelType(5, 0);
    channelType.AddGeneralAttributes(3, 2, 1);
    channelType.AddLayers({badType});
    cases.push_back(
        {channelType.File(), -1, "PSP: Invalid channel type in channel information chunk"});

    PspLayer badBitmap = GradientLayer();
    badBitmap.channels[0].bitmapType = 3;
    PspFileWriter bitmapType(5, 0);
    bitmapType.AddGeneralAttributes(3, 2, 1);
    bitmapType.AddLayers({badBitmap});
    cases.push_back(
        {bitmapType.File(), -1, "PSP: Invalid bitmap type in channel information chunk"});

    PspLayer garbage = GradientLayer();
    garbage.channels[2].encoded = {1, 2, 3, 4, 5, 6, 7, 8};
    PspFileWriter zlib(5, 2);
    zlib.AddGeneralAttributes(3, 2, 1);
    zlib.AddLayers({garbage});
    cases.push_back({zlib.File(), -1, "PSP: zlib error"});

    PspFileWriter creator(5, 0);
    creator.AddGeneralAttributes(3, 2, 1);
    creator.AddRaw(creator.Block(1, {0x7E, 0x46, 0x4C, 0x01, 0, 0, 1, 0, 0, 0, 'x'}, {}));
    cases.push_back({creator.File(), -1, "PSP: Invalid keyword chunk header"});

    PspFileWriter creatorData(5, 0);
    creatorData.AddGeneralAttributes(3, 2, 1);
    creatorData.AddRaw(creatorData.Block(1, {0x7E, 0x46, 0x4C, 0x00, 0, 0, 50, 0, 0, 0, 'x'}, {}));
    cases.push_back({creatorData.File(), -1, "PSP: Error reading creator keyword data"});

    PspFileWriter tube(3, 0);
    tube.AddGeneralAttributes(3, 2, 1);
    tube.AddRaw(tube.Block(11, {1, 0, 'a', 'b'}, {}));
    cases.push_back(
        {tube.File(), -1, "PSP: Error reading tube data chunk - old version, Tube name."});

    PspFileWriter huge(5, 0);
    huge.AddGeneralAttributes(100000, 100000, 1);
    cases.push_back({huge.File(), 0, "PSP: Image too large"});

    PspFileWriter negative(5, 0);
    negative.AddGeneralAttributes(-5, 3, 1);
    cases.push_back({negative.File(), 0, "PSP: Image too large"});

    // A layer claiming 16383 x 16383 pixels with a few bytes of data: refused before
    // any work, as the data cannot fill it.
    PspLayer claim = GradientLayer();
    claim.saved = {0, 0, 16383, 16383};
    for (auto& channel : claim.channels) channel.encoded = {0x78, 0x9C, 3, 0, 0, 0, 0, 1};
    PspFileWriter tiny(5, 2);
    tiny.AddGeneralAttributes(16, 16, 1);
    tiny.AddLayers({claim});
    cases.push_back({tiny.File(), -1, "PSP: Image too large"});

    for (std::size_t i = 0; i < cases.size(); ++i) {
        CPspFile psp;
        EXPECT_EQ(LoadBytes(psp, cases[i].file), cases[i].result) << i << " " << LastMessage(psp);
        EXPECT_EQ(LastMessage(psp), cases[i].message) << i;
    }
}

TEST(PspFile, StrayBlocksAndLengthZeroBlocksDoNotStopOrLoop) {
    PspFileWriter w(5, 0);
    w.AddGeneralAttributes(3, 2, 1);
    w.AddRaw(w.Block(5, {}, {}));  // a channel at the main level: a warning
    w.AddRaw(w.Block(42, {}, {})); // unknown and empty: skipped
    w.AddLayers({GradientLayer()});
    CPspFile psp;
    ASSERT_EQ(LoadBytes(psp, w.File()), 1) << LastMessage(psp);
    ASSERT_EQ(psp.Messages().size(), 1u);
    EXPECT_EQ(psp.Messages()[0], "PSP: Sub-block should not occur at main level of file");
    EXPECT_EQ(PixelAt(psp, 2, 1), (std::array<int, 4>{60, 61, 62, 255}));
}

TEST(PspFile, EveryTruncationFailsCleanly) {
    for (int major : {3, 5})
        for (int compression : {0, 1, 2}) {
            const Bytes full = GradientFile(major, compression);
            for (std::size_t n = 0; n < full.size(); ++n) {
                CPspFile psp;
                const Bytes cut(full.begin(), full.begin() + long(n));
                const int r = LoadBytes(psp, cut);
                // A file cut right after a complete block is a complete shorter file.
                if (r != 1) {
                    EXPECT_FALSE(psp.Messages().empty()) << n;
                }
            }
        }
}

TEST(PspFile, LoadFromAFile) {
    TempFolder folder;
    CPspFile psp;
    EXPECT_EQ(psp.Load(folder.File("missing.tub")), 0);
    EXPECT_TRUE(psp.Messages().empty());
    const Bytes bytes = GradientFile(5, 2);
    std::ofstream(folder.File("a.psp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_EQ(psp.Load(folder.File("a.psp")), 1);
    EXPECT_EQ(psp.Title(), "Sunset");
}

TEST(TubeFrames, FourByTwoTubeGivesEightFramesInReadingOrder) {
    const int w = 400, h = 100;
    std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = rgba.data() + (std::size_t(y) * w + x) * 4;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(y),
            p[2] = std::uint8_t(x / 100 + 10 * (y / 50));
            p[3] = std::uint8_t(200 + y % 50);
        }
    const auto frames = CutTubeFrames(rgba.data(), w, h, 4, 2, 8);
    ASSERT_EQ(frames.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(frames[std::size_t(i)].GetWidth(), 100);
        ASSERT_EQ(frames[std::size_t(i)].GetHeight(), 50);
        // Top-left pixel of the frame (picture row 0) in blue, green, red, alpha order.
        const std::uint8_t* p = frames[std::size_t(i)].GetRow(0);
        EXPECT_EQ(p[0], (i % 4) + 10 * (i / 4)) << i; // blue: the cell number
        EXPECT_EQ(p[1], 50 * (i / 4)) << i;           // green: the tube row
        EXPECT_EQ(p[2], std::uint8_t(100 * (i % 4))) << i;
        EXPECT_EQ(p[3], 200) << i;
    }
    // Upright: the bottom row of the first frame is tube row 49.
    EXPECT_EQ(frames[0].GetRow(49)[1], 49);

    EXPECT_EQ(CutTubeFrames(rgba.data(), w, h, 4, 2, 5).size(), 5u);
    EXPECT_EQ(CutTubeFrames(rgba.data(), w, h, 4, 2, 50).size(), 8u);
    const auto whole = CutTubeFrames(rgba.data(), w, h, 1, 1, 1);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].GetWidth(), 400);
    EXPECT_TRUE(CutTubeFrames(rgba.data(), w, h, 0, 2, 8).empty());
    EXPECT_TRUE(CutTubeFrames(rgba.data(), w, h, 500, 1, 8).empty());
}

// The layers of a file share one pixel budget: each may be within the limit while
// together they are not.
TEST(PspFile, LayersShareOnePixelBudget) {
    PspFileWriter w(5, 0);
    w.AddGeneralAttributes(3, 2, 3);
    w.AddLayers({GradientLayer(), GradientLayer(), GradientLayer()});
    for (const auto& [limit, result] : {std::pair{18, 1}, std::pair{12, -1}}) {
        CPspFile psp;
        psp.SetPixelLimit(std::uint64_t(limit));
        EXPECT_EQ(LoadBytes(psp, w.File()), result) << limit;
        if (result != 1) {
            EXPECT_EQ(LastMessage(psp), "PSP: Image too large");
        }
    }
}

// A file's own cell layout, or the user's answer when it has none; the info text.
TEST(TubeFrames, LayoutFromTheFileOrTheAnswerAndTheInfoText) {
    PspFileWriter t(5, 0);
    t.AddGeneralAttributes(8, 4, 1);
    t.AddCreator({{0, "Stars"}});
    t.AddLayers({ColourLayer(0, 0, 8, 4, 30, 20, 10)});
    t.AddTube("", {3, 4, 2, 7, 1, 2});
    CPspFile tube;
    ASSERT_EQ(LoadBytes(tube, t.File()), 1) << LastMessage(tube);
    const TubeCells cells = TubeCellsOf(tube);
    EXPECT_EQ(cells.across * 100 + cells.down * 10 + cells.count, 427);
    const auto frames = CutTube(tube, cells, 100);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(CutTube(tube, cells, 3).size(), 3u);
    EXPECT_EQ(frames[6].GetWidth() * 10 + frames[6].GetHeight(), 22);
    const std::string info = TubeInfoText(tube);
    for (const char* line :
         {"Title: Stars\n", "Step size: 3\n", "Cells across: 4\n", "Cell count: 7\n",
          "Placement mode: constant\n", "Selection mode: angular\n"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " in " << info;

    // Without tube data the user answers; 1 x 1 gives the whole picture.
    PspFileWriter p(5, 0);
    p.AddGeneralAttributes(8, 4, 1);
    p.AddLayers({ColourLayer(0, 0, 8, 4, 30, 20, 10)});
    CPspFile plain;
    ASSERT_EQ(LoadBytes(plain, p.File()), 1) << LastMessage(plain);
    EXPECT_TRUE(TubeCellsOf(plain).Empty());
    EXPECT_TRUE(TubeCellsAnswered(0, 3).Empty());
    EXPECT_EQ(TubeCellsAnswered(3, 2).count, 6);
    const auto whole = CutTube(plain, TubeCellsAnswered(1, 1), 100);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].GetWidth() * 10 + whole[0].GetHeight(), 84);
    EXPECT_EQ(whole[0].GetRow(3)[2], 30); // red
    EXPECT_EQ(whole[0].GetRow(3)[3], 255);
    EXPECT_TRUE(CutTube(plain, TubeCellsOf(plain), 100).empty());
}
