#include "core/paint/ToolStroke.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/CloneState.h"
#include "core/paint/PaintBucket.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// A hard round brush of the given size that ignores the pen unless told otherwise.
void UseHardBrush(CPaintingContext& context, int size, int pressureMode = kPressureNone) {
    CBrush brush;
    brush.size = size;
    brush.blur = 0;
    brush.pressureMode = pressureMode;
    context.SelectBrush(brush);
}

} // namespace

TEST(ToolStroke, RoutingTableGivesEachToolItsColourSource) {
    std::map<int, int> expected = {{1, 0},  {2, 0},  {3, 0},  {24, 0}, {25, 0}, {8, 2},  {9, 3},
                                   {18, 4}, {19, 5}, {21, 7}, {4, 1},  {20, 1}, {54, 1}, {28, 28}};
    for (int id = 11; id <= 17; ++id) expected[id] = id;
    for (int id = 29; id <= 37; ++id) expected[id] = id;
    for (int id = -1; id <= 60; ++id) {
        const auto it = expected.find(id);
        const int kind = it == expected.end() ? -1 : it->second;
        EXPECT_EQ(ToolColorSourceKind(id), kind) << id;
        EXPECT_EQ(IsStrokeTool(id), kind >= 0) << id;
    }
}

TEST(ToolStroke, EachToolPassesItsArguments) {
    CPaintingContext context;
    context.opacity = 99;
    context.blendMode = 3;
    MakeSolid(context.texture, 4, 4, Bgr{1, 2, 3});
    context.textureDefined = true;
    context.textureStrength = 150;
    context.textureMode = 1;
    context.textureAligned = false;
    UseHardBrush(context, 5, kPressureSizeAndOpacity);
    CToolOperatorState operators;
    CRuntimeRandom random;
    CDIBSection2 pic, read, original, around;
    MakeSolid(pic, 8, 8, Bgr{0, 0, 0});
    read.Copy(&pic);
    MakeSolid(original, 8, 8, Bgr{0, 0, 0});
    MakeSolid(around, 24, 24, Bgr{0, 0, 0});
    CCloneState clone;
    clone.SetSource(nullptr, 1, 1);
    CToolSources sources;
    sources.original = &original;
    sources.surroundings = &around;
    sources.clone = &clone;
    for (int id = 0; id <= 60; ++id) {
        if (!IsStrokeTool(id)) continue;
        CToolStroke stroke(id, context, operators, random, pic, read, sources);
        ASSERT_TRUE(stroke.Paints()) << id;
        const CDabArgs& args = stroke.Engine().dabTemplate;
        const int kind = ToolColorSourceKind(id);
        const bool painting = kind == kSourcePlain;
        EXPECT_EQ(args.opacity, 99) << id;
        EXPECT_EQ(args.blendMode, 3) << id;
        EXPECT_EQ(args.colorSource, kind) << id;
        const bool ignoresPen = id == 20 || id == 21 || id == 54;
        EXPECT_EQ(args.pressureMode, ignoresPen ? 0 : kPressureSizeAndOpacity) << id;
        // The texture, its mode and the random offsets belong to the painting brushes;
        // the restore brush and the cross-border clonner copy a picture that repeats.
        const bool copies = id == 20 || id == 54;
        EXPECT_EQ(args.textureStrength, painting ? 150 : copies ? 255 : 0) << id;
        EXPECT_EQ(args.source == &context.texture, painting) << id;
        if (copies) {
            EXPECT_EQ(args.source, id == 20 ? &original : &around) << id;
        }
        EXPECT_EQ(stroke.Engine().textureAligned, !painting) << id;
        EXPECT_EQ(args.customSource != nullptr,
                  !painting && kind > kSourceClone && kind != kSourceHistory)
            << id;
    }
}

TEST(ToolStroke, RetouchStrokePaintsUnderTheBrushOnly) {
    CPaintingContext context;
    UseHardBrush(context, 6);
    CToolOperatorState operators;
    CRuntimeRandom random;
    CDIBSection2 pic, read, before;
    MakeSolid(pic, 40, 30, Bgr{40, 100, 200});
    read.Copy(&pic);
    before.Copy(&pic);
    CToolStroke stroke(14, context, operators, random, pic, read);
    EXPECT_TRUE(stroke.Paints());
    EXPECT_GT(stroke.Press(20, 10, CStrokeView{}).dabs, 0);
    stroke.Move(30, 10, CStrokeView{});
    EXPECT_EQ(AtPicture(pic, 20, 10), (Bgr{123, 123, 123}));
    EXPECT_EQ(AtPicture(pic, 30, 10), (Bgr{123, 123, 123}));
    EXPECT_EQ(AtPicture(pic, 20, 20), (Bgr{40, 100, 200}));
    const CRect changed = stroke.ChangedRect();
    EXPECT_LE(changed.left, 20 - 3);
    EXPECT_GE(changed.right, 30 + 3);

    // The rubber stamp without a source leaves the picture alone.
    CDIBSection2 other;
    other.Copy(&before);
    CToolStroke stamp(4, context, operators, random, other, read);
    EXPECT_FALSE(stamp.Paints());
    EXPECT_EQ(stamp.Press(20, 10, CStrokeView{}).dabs, 0);
    EXPECT_TRUE(SamePixels(other, before));
}

TEST(ToolStroke, HistoryBrushPaintsTheSavedRegionAndIgnoresThePen) {
    CPaintingContext context;
    UseHardBrush(context, 30, kPressureSize); // pen pressure 0 would wipe out every dab
    CToolOperatorState operators;
    CRuntimeRandom random;
    CDIBSection2 pic, read, saved;
    MakeSolid(pic, 40, 30, Bgr{1, 1, 1});
    read.Copy(&pic);
    MakeSolid(saved, 4, 3, Bgr{50, 60, 70});
    CToolSources sources;
    sources.history = &saved;
    sources.historyLeft = 10, sources.historyTop = 5; // memory rows 5-7
    CToolStroke stroke(21, context, operators, random, pic, read, sources);
    stroke.Press(12, 30 - 1 - 6, CStrokeView{}, 0);
    for (int y = 3; y < 10; ++y)
        for (int x = 8; x < 16; ++x) {
            const bool inside = x >= 10 && x < 14 && y >= 5 && y < 8;
            EXPECT_EQ(At(pic, x, y), inside ? (Bgr{50, 60, 70}) : (Bgr{1, 1, 1})) << x << "," << y;
        }
}

TEST(ToolStroke, RadialBlurRunsFromThePressPoint) {
    CPaintingContext context;
    UseHardBrush(context, 50); // reaches 35 pixels from the dab centre
    CToolOperatorState operators;
    CRuntimeRandom random;
    CDIBSection2 pic, read;
    MakeGradient(pic, 50, 45);
    read.Copy(&pic);
    CToolStroke stroke(34, context, operators, random, pic, read);
    stroke.Press(10, 12, CStrokeView{});
    stroke.Move(25, 12, CStrokeView{});
    // Column 40 was last painted by the dab at 25, but sampled outwards from the press
    // point (10, 12): columns 40, 40, 41, ... 49, 49, mean 44 (about the dab centre it
    // would be 42).
    EXPECT_EQ(AtPicture(pic, 40, 12), (Bgr{44, 12, 0}));
}

TEST(PaintBucket, FillsWithTheBackgroundAtTheContextsOpacityAndTexture) {
    CPaintingContext context;
    context.backColor = MakeColorRef(10, 20, 30);
    CRuntimeRandom random;
    CDIBSection2 pic, before;
    MakePatternPicture(pic, 13, 9, 2);
    before.Copy(&pic);

    // Opacity 0 changes nothing, whatever the blend mode and texture.
    context.opacity = 0;
    context.blendMode = 4;
    MakePatternPicture(context.texture, 5, 4, 3);
    context.textureDefined = true;
    EXPECT_EQ(PaintBucket(pic, context, random), (CRect{0, 0, 13, 9}));
    EXPECT_TRUE(SamePixels(pic, before));

    // Without a texture: the background colour everywhere, the alpha kept.
    context.opacity = 255;
    context.blendMode = 0;
    context.textureDefined = false;
    EXPECT_EQ(PaintBucket(pic, context, random), (CRect{0, 0, 13, 9}));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            ASSERT_EQ(At(pic, x, y), (Bgr{30, 20, 10}));
            ASSERT_EQ(pic.PixelAt(x, y)[3], before.PixelAt(x, y)[3]);
        }

    // With an aligned texture at strength 200: (T x 200 + background x 55) >> 8, the
    // texture repeated from the picture's first pixel.
    context.textureDefined = true;
    context.textureStrength = 200;
    PaintBucket(pic, context, random);
    for (int y : {0, 4, 8})
        for (int x : {0, 6, 12}) {
            const Bgr t = At(context.texture, x % 5, y % 4);
            const Bgr back{30, 20, 10};
            Bgr expected;
            for (int i = 0; i < 3; ++i) expected[i] = (t[i] * 200 + back[i] * 55) >> 8;
            EXPECT_EQ(At(pic, x, y), expected) << x << "," << y;
        }

    CDIBSection2 empty;
    EXPECT_TRUE(PaintBucket(empty, context, random).IsEmpty());
}
