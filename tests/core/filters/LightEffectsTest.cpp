// Lens flare and sparkle: the drag's rules, the wrap, the rays and the threaded render.
#include "core/filters/LightEffects.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

namespace {

void MakeBlack(CDIBSection2& pic, int w, int h) {
    test::MakePatternPicture(pic, w, h, 1);
    pic.FillOpaque(0);
}

LightDragResult Drag(CDIBSection2& pic, LightKind tool, int x0, int y0, int x1, int y1,
                     int strength = 255, bool threaded = true) {
    CNullProgress progress;
    return RenderLightDrag(pic.GetBits(), pic.GetWidth(), pic.GetHeight(), tool, x0, y0, x1, y1,
                           strength, progress, threaded);
}

// Stops at the first poll.
struct CancellingProgress : IProgressReporter {
    int range = 0;
    void Begin(const std::string&, int r) override { range = r; }
    void SetPos(int) override {}
    void End() override {}
    bool CancelRequested() override { return true; }
};

} // namespace

TEST(LightEffects, RaySharpnessExponents) {
    EXPECT_NEAR(RaySharpnessExponent(10), 10.32, 0.01);
    EXPECT_NEAR(RaySharpnessExponent(20), 7.21, 0.01);
}

TEST(LightEffects, ZeroLengthDragChangesNothing) {
    CDIBSection2 pic, before;
    test::MakePatternPicture(pic, 40, 30, 3);
    before.Copy(&pic);
    for (LightKind tool : {LightKind::LensFlare, LightKind::Sparkle}) {
        EXPECT_EQ(Drag(pic, tool, 12, 9, 12, 9), LightDragResult::Nothing) << int(tool);
        EXPECT_TRUE(test::SamePixels(pic, before)) << int(tool);
    }
    CNullProgress none;
    EXPECT_FALSE(LightRenderer(nullptr, 40, 30).RenderFlare(1, 1, 5, none));
    EXPECT_FALSE(LightRenderer(nullptr, 40, 30).RenderSparkle(1, 1, 5));
}

TEST(LightEffects, LightNearTheRightEdgeLightsTheLeftEdge) {
    for (LightKind tool : {LightKind::Sparkle, LightKind::LensFlare}) {
        CDIBSection2 pic;
        MakeBlack(pic, 64, 32);
        // Light at column 62, picture row 16 (memory row 15), size 10.
        ASSERT_EQ(Drag(pic, tool, 62, 16, 62, 26, 0), LightDragResult::Done);
        const std::uint8_t* left = pic.PixelAt(1, 15); // three columns to the right, wrapped
        const std::uint8_t* right = pic.PixelAt(59, 15);
        EXPECT_GT(left[2], 20) << int(tool);
        // The glows are round: three columns either side of the light get the same
        // (the flare's ghosts lie elsewhere).
        if (tool == LightKind::Sparkle) {
            EXPECT_EQ(std::memcmp(left, right, 3), 0);
        }
        for (std::size_t i = 3; i < pic.PixelBytes(); i += 4)
            ASSERT_EQ(pic.GetBits()[i], 255) << "the fourth byte is left alone";
    }
    // The sparkle stays within its square: the middle of the picture is untouched.
    CDIBSection2 pic;
    MakeBlack(pic, 64, 32);
    Drag(pic, LightKind::Sparkle, 62, 16, 62, 26);
    EXPECT_EQ(pic.PixelAt(30, 15)[2], 0);
}

TEST(LightEffects, RaysTurnWithTheDragAndVanishAtStrengthZero) {
    // Glows are round, so without rays the direction of the drag makes no difference.
    for (LightKind tool : {LightKind::Sparkle, LightKind::LensFlare}) {
        CDIBSection2 a, b;
        MakeBlack(a, 48, 48);
        MakeBlack(b, 48, 48);
        Drag(a, tool, 24, 24, 24, 34, 0);
        Drag(b, tool, 24, 24, 30, 32, 0);
        if (tool == LightKind::Sparkle) {
            EXPECT_TRUE(test::SamePixels(a, b));
        }
        MakeBlack(a, 48, 48);
        MakeBlack(b, 48, 48);
        Drag(a, tool, 24, 24, 24, 34, 255);
        Drag(b, tool, 24, 24, 30, 32, 255);
        EXPECT_FALSE(test::SamePixels(a, b)) << int(tool);
    }
}

TEST(LightEffects, ThreadedRenderMatchesTheSingleThreadedOne) {
    struct Case {
        LightKind tool;
        int x0, y0, x1, y1, strength;
    };
    // Small and large lights, lights outside the picture and larger than it.
    const Case cases[] = {
        {LightKind::LensFlare, 5, 7, 9, 2, 255},     {LightKind::LensFlare, 36, 1, 20, 30, 128},
        {LightKind::LensFlare, -10, 40, 60, -5, 40}, {LightKind::Sparkle, 2, 20, 12, 20, 255},
        {LightKind::Sparkle, 30, 5, -20, 40, 200},   {LightKind::Sparkle, -7, -3, 0, 0, 90}};
    for (const Case& c : cases) {
        CDIBSection2 one, many;
        test::MakePatternPicture(one, 37, 23, 5);
        many.Copy(&one);
        ASSERT_EQ(Drag(one, c.tool, c.x0, c.y0, c.x1, c.y1, c.strength, false),
                  LightDragResult::Done);
        ASSERT_EQ(Drag(many, c.tool, c.x0, c.y0, c.x1, c.y1, c.strength, true),
                  LightDragResult::Done);
        EXPECT_TRUE(test::SamePixels(one, many)) << int(c.tool) << " from " << c.x0 << "," << c.y0;
    }
}

TEST(LightEffects, CancelledFlareAndSparkleReportIt) {
    // The flare's range is 3 x the height; the sparkle's the rows of its square of side
    // 3.2 x the drag's length (10): trunc(24 - 16) to trunc(24 + 16).
    for (LightKind tool : {LightKind::LensFlare, LightKind::Sparkle})
        for (bool threaded : {false, true}) {
            CDIBSection2 pic;
            MakeBlack(pic, 40, 30);
            CancellingProgress progress;
            EXPECT_EQ(
                RenderLightDrag(pic.GetBits(), 40, 30, tool, 5, 5, 15, 5, 255, progress, threaded),
                LightDragResult::Cancelled);
            EXPECT_EQ(progress.range, tool == LightKind::LensFlare ? 90 : 32);
        }
}
