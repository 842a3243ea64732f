#include "core/base/PanelGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quiltara;

namespace {
const CRect kWorkArea{0, 0, 1280, 1000};
CRect At(int left, int top, int w, int h) {
    return {left, top, left + w, top + h};
}
} // namespace

// A panel 130 x 200 dragged from (300, 300) so that its corner is proposed at `to`.
TEST(PanelGeometry, DragSnapsToWorkAreaAndNeighbours) {
    const CRect colour = At(1140, 60, 130, 220);
    struct Case {
        const char* what;
        int toLeft, toTop;
        std::vector<CRect> others;
        CRect expected;
    } cases[] = {
        {"5 from the left edge lands on it", 5, 300, {}, At(0, 300, 130, 200)},
        {"8 from the left edge stays", 8, 300, {}, At(8, 300, 130, 200)},
        {"7 from the right edge lands on it", 1280 - 130 - 7, 300, {}, At(1150, 300, 130, 200)},
        {"6 from the top and the bottom: the top wins", 300, 6, {}, At(300, 0, 130, 200)},
        {"4 from the bottom", 300, 1000 - 200 - 4, {}, At(300, 800, 130, 200)},
        {"4 under a panel, lefts 3 apart: both aligned",
         1137,
         284,
         {colour},
         At(1140, 280, 130, 200)},
        {"4 under a panel, lefts 7 apart: only the top",
         1133,
         284,
         {colour},
         At(1133, 280, 130, 200)},
        {"4 under a wider panel, rights 5 apart",
         1140,
         284,
         {At(1100, 60, 175, 220)},
         At(1145, 280, 130, 200)},
        {"5 left of a panel, tops 2 apart", 1140 - 130 - 5, 62, {colour}, At(1010, 60, 130, 200)},
        {"beside a panel, bottoms 6 apart", 1140 - 130 - 5, 86, {colour}, At(1010, 80, 130, 200)},
        {"7 under a panel stays", 1140, 287, {colour}, At(1140, 287, 130, 200)},
        {"spans apart: no pull", 500, 284, {colour}, At(500, 284, 130, 200)},
        {"above a panel, bottom 3 over its top",
         1140,
         60 + 220 + 100 - 200 - 3,
         {At(1140, 380, 130, 100)},
         At(1140, 180, 130, 200)},
        {"an empty rectangle pulls only at the origin",
         400,
         400,
         {CRect{}},
         At(400, 400, 130, 200)},
        {"a neighbour pulling below 0 is ignored",
         -10,
         300,
         {At(125, 250, 100, 100)},
         At(-10, 300, 130, 200)},
    };
    for (const Case& c : cases) {
        const CRect from = At(300, 300, 130, 200);
        EXPECT_EQ(DragPanel(from, c.toLeft - 300, c.toTop - 300, kWorkArea, c.others), c.expected)
            << c.what;
    }
}

// Whatever the drag, the panel keeps its size, and a panel snapped to the work area
// never ends beyond it.
TEST(PanelGeometry, DragKeepsSizeAndSnappedEdgesInside) {
    const std::vector<CRect> others = {At(1140, 60, 130, 220), At(10, 70, 60, 300)};
    for (int dx = -400; dx <= 1400; dx += 3)
        for (int dy = -400; dy <= 1100; dy += 7) {
            const CRect r = DragPanel(At(0, 0, 130, 200), dx, dy, kWorkArea, others);
            ASSERT_EQ(r.Width(), 130);
            ASSERT_EQ(r.Height(), 200);
            if (dx >= -7 && dx <= 7) {
                ASSERT_EQ(r.left, 0) << dx << "," << dy;
            }
            if (r.right > kWorkArea.right) {
                ASSERT_GT(r.right - kWorkArea.right, 7);
            }
        }
}

TEST(PanelGeometry, RestoreKeepsThePanelReachable) {
    struct Case {
        const char* what;
        CRect saved;
        int width, height;
        CRect expected;
    } cases[] = {
        {"left edge at -50", At(-50, 100, 130, 200), 130, 200, At(0, 100, 130, 200)},
        {"beyond the right edge", At(1500, 100, 130, 200), 130, 200, At(1240, 100, 130, 200)},
        {"below the bottom", At(100, 2000, 130, 200), 130, 200, At(100, 960, 130, 200)},
        {"the art's size wins", At(100, 100, 50, 50), 130, 200, At(100, 100, 130, 200)},
        {"without art: the saved size, at least 20 x 10", At(-50, 100, 5, 3), 0, 0,
         At(0, 100, 20, 10)},
        {"never stored", CRect{40, 40, 0, 0}, 130, 200, CRect{}},
        {"nonsense from the settings", CRect{-2147483647 - 1, 2147483647, 2147483647, -5}, 0, 0,
         At(0, 960, 32768, 10)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestorePanelRect(c.saved, kWorkArea, c.width, c.height), c.expected) << c.what;
}

TEST(PanelGeometry, StartPointsStripAndBubble) {
    EXPECT_EQ(PanelStartRect(kPanelColor, kWorkArea, 130, 220), At(1140, 60, 130, 220));
    EXPECT_EQ(PanelStartRect(kPanelTools, kWorkArea, 60, 300), At(10, 70, 60, 300));
    EXPECT_EQ(PanelStartRect(kPanelClone, kWorkArea, 130, 100), At(1000, 290, 130, 100));
    // A panel wider than its distance from the right edge is moved in, not cut.
    EXPECT_EQ(PanelStartRect(kPanelColor, kWorkArea, 200, 220), At(1080, 60, 200, 220));
    EXPECT_EQ(PanelStartRect(kPanelEffects, {0, 0, 800, 600}, 130, 200), At(80, 400, 130, 200));

    struct Hit {
        int x, y;
        PanelStripHit expected;
    } hits[] = {{101, 5, PanelStripHit::None},      {102, 5, PanelStripHit::Collapse},
                {110, 20, PanelStripHit::Collapse}, {111, 5, PanelStripHit::None},
                {117, 0, PanelStripHit::Close},     {125, 10, PanelStripHit::Close},
                {126, 10, PanelStripHit::None},     {105, 21, PanelStripHit::None}};
    for (const Hit& h : hits) EXPECT_EQ(HitPanelStrip(h.x, h.y), h.expected) << h.x << "," << h.y;

    const CRect desktop{0, 0, 1024, 768};
    EXPECT_EQ(PlaceBubble(-500, 100, 80, 20, desktop), At(460, 100, 80, 20)); // centred
    EXPECT_EQ(PlaceBubble(10, -5, 80, 20, desktop), At(10, 0, 80, 20));
    EXPECT_EQ(PlaceBubble(1000, 760, 80, 20, desktop), At(943, 747, 80, 20));
}
