#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/CloneState.h"
#include "core/paint/PaintingContext.h"
#include "core/paint/ToolOperatorState.h"
#include "core/paint/ToolStroke.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace quiltara;
using namespace quiltara::test;

namespace {

using Points = std::vector<std::pair<double, double>>;

// A hard round brush that ignores the pen.
CPaintingContext HardBrushContext(int size) {
    CPaintingContext context;
    CBrush brush;
    brush.size = size;
    brush.blur = 0;
    brush.pressureMode = kPressureNone;
    context.SelectBrush(brush);
    return context;
}

// One stroke of a tool through points (picture coordinates); readImage null: a
// snapshot of the picture taken at the press.
int Paint(int tool, CPaintingContext& context, CDIBSection2& pic, const CToolSources& sources,
          const Points& points, CDIBSection2* readImage = nullptr, int pressure = 255) {
    CToolOperatorState operators;
    CRuntimeRandom random(7);
    CDIBSection2 snapshot;
    snapshot.Copy(&pic);
    CToolStroke stroke(tool, context, operators, random, pic, readImage ? *readImage : snapshot,
                       sources);
    if (tool == kLineBridge)
        stroke.SetGuide(points.front().first, points.front().second, points.back().first,
                        points.back().second);
    int dabs = stroke.Press(points[0].first, points[0].second, CStrokeView{}, pressure).dabs;
    for (std::size_t k = 1; k < points.size(); ++k)
        dabs += stroke.Move(points[k].first, points[k].second, CStrokeView{}, pressure).dabs;
    return dabs;
}

} // namespace

TEST(CloneTools, CopyingToolsPaintTheirPictureAtItsOffsetAcrossTheEdge) {
    // A 20 x 16 tile whose corner lies at (20, 16) in its 60 x 48 surroundings (memory
    // rows), and its 20 x 16 Original. A stroke along picture row 8 from column 14 to
    // 5 pixels past the right edge copies columns 14 ... 24 of the picture (plus the
    // offset) into tile columns 14 ... 19 and 0 ... 4, whatever the pen (pressure 0
    // would wipe out the dabs if it counted).
    const int W = 20, H = 16;
    CDIBSection2 around, original;
    MakePatternPicture(around, 60, 48, 3);
    MakePatternPicture(original, W, H, 5);
    for (const int tool : {54, 20}) {
        SCOPED_TRACE(tool);
        CToolSources sources;
        sources.surroundings = &around;
        sources.surroundingsOffsetX = 20, sources.surroundingsOffsetY = 16;
        sources.original = &original;
        const CDIBSection2& from = tool == 54 ? around : original;
        const int ox = tool == 54 ? 20 : 0, oy = tool == 54 ? 16 : 0;
        CDIBSection2 tile;
        MakeSolid(tile, W, H, Bgr{9, 9, 9});
        CPaintingContext context = HardBrushContext(4);
        context.brush.pressureMode = kPressureSize;
        ASSERT_GT(Paint(tool, context, tile, sources, {{14, 8}, {W + 4, 8}}, nullptr, 0), 0);
        const int row = H - 1 - 8;
        for (int x = 14; x < W + 5; ++x)
            EXPECT_EQ(At(tile, x % W, row), At(from, (ox + x) % from.GetWidth(), oy + row)) << x;
        EXPECT_EQ(At(tile, 9, row), (Bgr{9, 9, 9}));      // left of the stroke
        EXPECT_EQ(At(tile, 16, row + 5), (Bgr{9, 9, 9})); // below it
    }
}

TEST(CloneTools, RubberStampInTheSameImageWrapsAndKeepsItsOffset) {
    // Source point (2, 10) cloned to (20, 10): the dab's source corner lies left of the
    // picture, so its left part comes from the right-hand columns. With feedback (the
    // picture itself as read image) a single dab that does not overlap its source
    // clones alike.
    for (const bool live : {false, true}) {
        SCOPED_TRACE(live ? "live read image" : "snapshot");
        const int W = 30, H = 20;
        CDIBSection2 pic, before;
        MakePatternPicture(pic, W, H, 11);
        before.Copy(&pic);
        CCloneState clone;
        clone.feedback = live;
        clone.SetSource(nullptr, 2, 10);
        CToolSources sources;
        sources.clone = &clone;
        CPaintingContext context = HardBrushContext(6);
        Paint(4, context, pic, sources, {{20, 10}}, live ? &pic : nullptr);
        for (int d = -2; d <= 2; ++d)
            EXPECT_EQ(AtPicture(pic, 20 + d, 10), AtPicture(before, (2 + d + W) % W, 10)) << d;
        EXPECT_EQ(clone.tx, 20);
        EXPECT_EQ(clone.targetMarkerX, 20);
        EXPECT_EQ(clone.sourceMarkerX, 2);

        // The next stroke keeps the offset (-18, 0): a press at (12, 4) clones (24, 4),
        // wrapped from -6.
        before.Copy(&pic);
        Paint(4, context, pic, sources, {{12, 4}}, live ? &pic : nullptr);
        EXPECT_EQ(AtPicture(pic, 12, 4), AtPicture(before, 24, 4));
        EXPECT_EQ(clone.sourceMarkerX, 24);
    }
}

TEST(CloneTools, RubberStampFromAnotherImageRepeatsItOnlyWhenAsked) {
    // A 10 x 8 source whose point (1, 4) is cloned to (20, 10) of a 30 x 20 picture with
    // a 7-pixel dab: the dab's left columns fall left of the source.
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrapping" : "not wrapping");
        CDIBSection2 source, pic;
        MakePatternPicture(source, 10, 8, 2);
        MakeSolid(pic, 30, 20, Bgr{9, 9, 9});
        CCloneState clone;
        clone.wrapOther = wrap;
        clone.SetSource(&source, 1, 4);
        CToolSources sources;
        sources.clone = &clone;
        CPaintingContext context = HardBrushContext(6);
        Paint(4, context, pic, sources, {{20, 10}});
        for (int d = -2; d <= 2; ++d) {
            const int sx = 1 + d;
            const Bgr expected = sx >= 0 ? AtPicture(source, sx, 4)
                                         : (wrap ? AtPicture(source, sx + 10, 4) : Bgr{9, 9, 9});
            EXPECT_EQ(AtPicture(pic, 20 + d, 10), expected) << d;
        }
    }
}

TEST(CloneTools, LineBridgeChangesOnlyTheSpanOfItsGuide) {
    struct Case {
        Points stroke; // the guide runs from the first to the last point
        bool horizontal;
        int lo, hi; // the span: columns or rows from the top
    } cases[] = {
        {{{15, 10}}, true, 15, 15},                    // no length: one column
        {{{12, 12}, {12, 6}, {12, 12}}, true, 12, 12}, // back where it began
        {{{9, 10}, {15, 11}}, true, 9, 15},            // mostly across
        {{{12, 6}, {13, 12}}, false, 6, 12},           // mostly down
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.lo * 100 + test.hi);
        const int W = 30, H = 24;
        CDIBSection2 pic, before;
        MakePatternPicture(pic, W, H, 4);
        before.Copy(&pic);
        CPaintingContext context = HardBrushContext(8);
        Paint(kLineBridge, context, pic, {}, test.stroke);
        int changed = 0;
        for (int row = 0; row < H; ++row)
            for (int x = 0; x < W; ++x) {
                const Bgr now = AtPicture(pic, x, row), was = AtPicture(before, x, row);
                if (now == was) continue;
                ++changed;
                const int at = test.horizontal ? x : row;
                ASSERT_TRUE(at >= test.lo && at <= test.hi) << x << "," << row;
                if (test.lo != test.hi) continue;
                // The anchors lie at most a pixel either side of the column; the colour
                // is one of them or lies between them.
                for (int i = 0; i < 3; ++i) {
                    int least = 255, most = 0;
                    for (int a = test.lo - 1; a <= test.hi + 1; ++a) {
                        const int v = test.horizontal ? AtPicture(before, a, row)[i]
                                                      : AtPicture(before, x, a)[i];
                        least = std::min(least, v), most = std::max(most, v);
                    }
                    ASSERT_GE(now[i], least);
                    ASSERT_LE(now[i], most);
                }
            }
        EXPECT_GT(changed, 0);
    }
}

TEST(CloneTools, LineBridgeBlendsTheTwoSidesOfASeam) {
    // Black left of column 10, white from it: a guide from 4 to 16 turns the step into a
    // ramp across the span, each pixel's anchors jittered by a pixel or so.
    CDIBSection2 pic;
    MakeSolid(pic, 24, 12, Bgr{0, 0, 0});
    for (int y = 0; y < 12; ++y)
        for (int x = 10; x < 24; ++x) Set(pic, x, y, Bgr{255, 255, 255});
    CPaintingContext context = HardBrushContext(40); // covers the whole picture
    Paint(kLineBridge, context, pic, {}, {{4, 6}, {16, 6}});
    for (int row = 0; row < 12; ++row) {
        for (int x = 4; x <= 16; ++x)
            EXPECT_NEAR(AtPicture(pic, x, row)[0], 255 * (x - 4) / 12, 45) << x << "," << row;
        EXPECT_EQ(AtPicture(pic, 3, row)[0], 0);
        EXPECT_EQ(AtPicture(pic, 17, row)[0], 255);
    }
}

TEST(CloneTools, MissingSourcesAreToldAndPaintNothing) {
    CDIBSection2 single, empty, texture;
    MakeSolid(single, 1, 1, Bgr{1, 2, 3}); // what a new document has as its Original
    MakeSolid(texture, 4, 4, Bgr{1, 2, 3});
    CCloneState unset;
    using P = ToolSourceProblem;
    struct Case {
        int tool;
        int cloneKind;
        const CDIBSection2* original;
        const CDIBSection2* surroundings;
        CCloneState* clone;
        P expected;
    } cases[] = {
        {54, 0, nullptr, &single, nullptr, P::NoSurroundings},
        {54, 0, nullptr, &empty, nullptr, P::NoSurroundings},
        {20, 0, &single, nullptr, nullptr, P::NoOriginalForRestore},
        {20, 0, nullptr, nullptr, nullptr, P::NoOriginalForRestore},
        {4, 0, nullptr, nullptr, nullptr, P::NoStampSource},
        {4, 0, nullptr, nullptr, &unset, P::NoStampSource},
        {1, kCloneTexture, nullptr, nullptr, nullptr, P::NoTextureForTextureClone},
        {25, kCloneOriginal, &single, nullptr, nullptr, P::NoOriginalForOriginalClone},
        {2, kCloneOriginal, &texture, nullptr, nullptr, P::None},
        {3, kCloneNone, nullptr, nullptr, nullptr, P::None},
        {28, 0, nullptr, nullptr, nullptr, P::None},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.tool * 10 + int(test.expected));
        CPaintingContext context = HardBrushContext(6);
        context.cloneSourceKind = test.cloneKind;
        CToolSources sources;
        sources.original = test.original;
        sources.surroundings = test.surroundings;
        sources.clone = test.clone;
        EXPECT_EQ(ToolSourceMissing(test.tool, sources, context), test.expected);
        EXPECT_EQ(*CloneMessage(test.expected) == 0, test.expected == P::None);
        CDIBSection2 pic, before;
        MakePatternPicture(pic, 16, 12, 8);
        before.Copy(&pic);
        const int dabs = Paint(test.tool, context, pic, sources, {{8, 6}, {12, 6}});
        EXPECT_EQ(dabs > 0, test.expected == P::None);
        if (test.expected != P::None) {
            EXPECT_TRUE(SamePixels(pic, before));
        }
    }
    EXPECT_NE(std::string(CloneMessage(P::NoOriginalForOriginalClone))
                  .find("You can define current image as original from menu Image - Set as "
                        "Original."),
              std::string::npos);
}

TEST(CloneState, SourceTargetAndMarkers) {
    CCloneState clone;
    EXPECT_FALSE(clone.HasSource());
    clone.SetSource(nullptr, 5, 6);
    EXPECT_TRUE(clone.HasSource() && clone.newSourcePending);
    // The first press becomes the target start; the source marker stays on the source.
    clone.BeginStroke(20, 30);
    EXPECT_FALSE(clone.newSourcePending);
    EXPECT_EQ(std::make_pair(clone.tx, clone.ty), std::make_pair(20, 30));
    EXPECT_EQ(std::make_pair(clone.sourceMarkerX, clone.sourceMarkerY), std::make_pair(5, 6));
    EXPECT_EQ(std::make_pair(clone.targetMarkerX, clone.targetMarkerY), std::make_pair(5, 6));
    // The markers follow the dabs, wrapped by the sizes given.
    clone.DabMoved(25, 31);
    EXPECT_EQ(std::make_pair(clone.sourceMarkerX, clone.sourceMarkerY), std::make_pair(10, 7));
    EXPECT_EQ(std::make_pair(clone.targetMarkerX, clone.targetMarkerY), std::make_pair(25, 31));
    clone.DabMoved(12, 31, 16, 16, 16, 16);
    EXPECT_EQ(std::make_pair(clone.sourceMarkerX, clone.sourceMarkerY), std::make_pair(13, 7));
    EXPECT_EQ(std::make_pair(clone.targetMarkerX, clone.targetMarkerY), std::make_pair(12, 15));
    // A later stroke keeps the offset; pressing twice at the same point changes nothing.
    for (int twice = 0; twice < 2; ++twice) {
        clone.BeginStroke(40, 50);
        EXPECT_EQ(std::make_pair(clone.sourceMarkerX, clone.sourceMarkerY), std::make_pair(25, 26));
        EXPECT_EQ(clone.SourceXFor(40), 25);
    }
    // Not aligned: every stroke starts again from the source point.
    clone.aligned = false;
    clone.BeginStroke(40, 50);
    EXPECT_EQ(clone.SourceXFor(40), 5);
    EXPECT_EQ(clone.SourceYFor(50), 6);
    // A point on a picture is wrapped into it.
    CDIBSection2 image;
    MakeSolid(image, 10, 8, Bgr{0, 0, 0});
    clone.SetSource(&image, -1, 19);
    EXPECT_EQ(std::make_pair(clone.sx, clone.sy), std::make_pair(9, 3));
    // Choosing a tool forgets the source and the markers, not the options.
    clone.feedback = clone.wrapOther = true;
    clone.Reset();
    EXPECT_FALSE(clone.HasSource());
    EXPECT_EQ(clone.sourceImage, nullptr);
    EXPECT_EQ(clone.sourceMarkerX, -1);
    EXPECT_EQ(clone.targetMarkerY, -1);
    EXPECT_TRUE(clone.feedback && clone.wrapOther && !clone.aligned);
}
