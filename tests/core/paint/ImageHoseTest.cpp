#include "core/paint/ImageHose.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolSet.h"
#include "core/paint/ToolStroke.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// A w x h picture whose every pixel is different: blue = x, green = row from the top,
// red = 7, alpha = (x + row) * 3.
void MakeCoded(CDIBSection2& pic, int w, int h) {
    pic.Create(w, h, 32, true);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = pic.GetRow(row) + x * 4;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(row), p[2] = 7;
            p[3] = std::uint8_t((x + row) * 3);
        }
}

} // namespace

TEST(ImageHose, FilmStripCutsColumnsTopDownAndKeepsOrFillsAlpha) {
    struct Case {
        int w, h;
        bool alpha;
    };
    for (const Case c : {Case{300, 40, true}, Case{300, 40, false}, Case{1, 3, true}}) {
        CDIBSection2 strip;
        MakeCoded(strip, c.w, c.h);
        const auto frames = FilmStripFrames(strip, c.alpha);
        ASSERT_EQ(int(frames.size()), c.w);
        for (int x = 0; x < c.w; x += 37)
            for (int row = 0; row < c.h; ++row) {
                ASSERT_EQ(frames[std::size_t(x)].GetWidth() * 1000 +
                              frames[std::size_t(x)].GetHeight(),
                          1000 + c.h);
                const std::uint8_t* p = frames[std::size_t(x)].GetRow(row);
                EXPECT_EQ(p[0], std::uint8_t(x)) << x << "," << row;
                EXPECT_EQ(p[1], row);
                EXPECT_EQ(p[3], c.alpha ? std::uint8_t((x + row) * 3) : 255);
            }
    }
    EXPECT_TRUE(FilmStripFrames(CDIBSection2(), true).empty());

    // A hose that is nearly full takes only what it has room for, from the left.
    CBrush brush;
    brush.hoseFrames.resize(std::size_t(kMaxHoseFrames) - 2);
    CDIBSection2 strip;
    MakeCoded(strip, 5, 2);
    EXPECT_EQ(AppendHoseFrames(brush, FilmStripFrames(strip, true, HoseRoom(brush))),
              kMaxHoseFrames - 1);
    EXPECT_EQ(brush.hoseFrames.back().GetRow(0)[0], 1);
    EXPECT_EQ(AddHoseFrame(brush, strip, true), -1);
}

TEST(ImageHose, AddRemoveAndAlphaMaskEditTheRightFrame) {
    CBrush brush;
    brush.type = kBrushImageHose;
    CDIBSection2 a, b;
    MakeCoded(a, 4, 3);
    MakeCoded(b, 6, 2);
    EXPECT_EQ(AddHoseFrame(brush, a, true), 0);
    EXPECT_EQ(AddHoseFrame(brush, b, false), 1);
    EXPECT_EQ(AddHoseFrame(brush, CDIBSection2(), false), -1);
    EXPECT_EQ(brush.hoseFrames[0].GetRow(1)[4 * 2 + 3], 9); // own alpha kept
    EXPECT_EQ(brush.hoseFrames[1].GetRow(1)[4 * 2 + 3], 255);

    // A white mask picture of another size: frame 1 becomes opaque or, negative, clear;
    // frame 0 is not touched.
    CDIBSection2 white;
    MakeSolid(white, 9, 9, Bgr{255, 255, 255});
    for (bool negative : {false, true}) {
        ASSERT_TRUE(LoadHoseFrameAlpha(brush, 1, white, negative));
        EXPECT_EQ(brush.hoseFrames[1].GetWidth(), 6);
        EXPECT_EQ(brush.hoseFrames[1].GetRow(0)[3], negative ? 0 : 255);
        EXPECT_EQ(brush.hoseFrames[1].GetRow(1)[4 * 5], 5); // colours stay
        EXPECT_EQ(brush.hoseFrames[0].GetRow(1)[4 * 2 + 3], 9);
    }
    EXPECT_FALSE(LoadHoseFrameAlpha(brush, 2, white, false));

    // Removing frames: out of range changes nothing; the last one leaves the hose empty
    // and the stamp is the mask again.
    brush.hoseCursor = 1;
    EXPECT_FALSE(RemoveHoseFrame(brush, 2));
    ASSERT_TRUE(RemoveHoseFrame(brush, 0));
    EXPECT_EQ(brush.hoseFrames[0].GetWidth(), 6);
    EXPECT_EQ(brush.hoseCursor, 0);
    ASSERT_TRUE(RemoveHoseFrame(brush, 0));
    EXPECT_TRUE(brush.hoseFrames.empty());
    CRuntimeRandom random(3);
    EXPECT_EQ(&StampForDab(brush, 0, random), &brush.mask);
}

TEST(ImageHose, MaskAfterEditingIsTheNextFrameAtTheLargestSize) {
    CBrush brush;
    brush.type = kBrushImageHose;
    CRuntimeRandom random(1);
    SetMaskFromHose(brush, random);
    EXPECT_EQ(brush.mask.GetWidth(), 40);
    EXPECT_EQ(brush.mask.GetHeight(), 40);

    CDIBSection2 wide, tall;
    MakeSolid(wide, 30, 5, Bgr{1, 1, 1});
    MakeSolid(tall, 8, 20, Bgr{2, 2, 2});
    AddHoseFrame(brush, wide, false);
    AddHoseFrame(brush, tall, false);
    brush.hoseCursor = 1; // sequential: the next dab lays frame 1
    SetMaskFromHose(brush, random);
    EXPECT_EQ(brush.mask.GetWidth(), 30);
    EXPECT_EQ(brush.mask.GetHeight(), 20);
    EXPECT_EQ(brush.mask.GetRow(10)[4 * 15], 2);
    EXPECT_EQ(brush.hoseCursor, 0); // the cursor moved on as for a dab
}

TEST(ImageHose, SequentialFilmStripLaysThePictureColumnByColumn) {
    // A 10 x 5 strip painted along a row, one dab a pixel, puts column k at the k-th
    // dab's place: the picture appears again, upright, wherever the stroke started.
    CDIBSection2 strip;
    MakeCoded(strip, 10, 5);
    CPaintingContext context;
    CBrush brush;
    brush.type = kBrushImageHose;
    brush.hoseMode = kHoseSequential;
    brush.spacing = brush.spacingCopy = 1.0;
    AppendHoseFrames(brush, FilmStripFrames(strip, false));
    CRuntimeRandom random(5);
    SetMaskFromHose(brush, random);
    brush.hoseCursor = 0;
    context.SelectBrush(brush);
    context.opacity = 255;
    CToolOperatorState operators;
    CDIBSection2 pic, read;
    MakeSolid(pic, 30, 12, Bgr{200, 200, 200});
    read.Copy(&pic);
    CToolStroke stroke(kToolImageNozzle, context, operators, random, pic, read);
    ASSERT_TRUE(stroke.Paints());
    // Starts near the right edge: the last columns wrap to the left.
    stroke.Press(25, 6, CStrokeView{});
    for (int x = 26; x <= 34; ++x) stroke.Move(x, 6, CStrokeView{});
    for (int k = 0; k < 10; ++k)
        for (int row = 0; row < 5; ++row) {
            const Bgr got = AtPicture(pic, (25 + k) % 30, 6 - 5 / 2 + row);
            EXPECT_EQ(got, (Bgr{k, row, 7})) << k << "," << row;
        }
}

TEST(ImageHose, SavedFrameReadsBackWithItsAlpha) {
    TempFolder folder;
    CDIBSection2 frame, back;
    MakeCoded(frame, 7, 4);
    std::string message;
    const std::string path = folder.File("frame.png");
    ASSERT_EQ(SaveHoseFrame(frame, path, message), 0u) << message;
    bool alpha = false;
    ASSERT_EQ(LoadHosePicture(path, back, alpha, message), 0u) << message;
    EXPECT_TRUE(alpha);
    EXPECT_TRUE(SamePixels(frame, back));
    EXPECT_NE(SaveHoseFrame(CDIBSection2(), path, message), 0u);
    EXPECT_NE(LoadHosePicture(folder.File("missing.png"), back, alpha, message), 0u);
    EXPECT_FALSE(message.empty());
}
