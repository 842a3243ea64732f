// The canvas's scroll and wheel arithmetic: every neighbour of the tile can be brought
// into view, at any zoom, along both axes.
#include "core/document/CanvasGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quiltara;

namespace {
CCanvasGeometry Make(int imageW, int imageH, int clientW, int clientH, double zoom) {
    CCanvasGeometry g;
    g.SetImageSize(imageW, imageH);
    g.SetClientSize(clientW, clientH);
    g.SetZoom(zoom);
    g.CenterImage();
    return g;
}
} // namespace

// Over the whole scroll range the window shows the tile and its neighbours only, and the
// ends bring the outer edges of the left and right (top and bottom) neighbours to the
// window's edges.
TEST(CanvasGeometry, ScrollRangeReachesEveryNeighbour) {
    const struct {
        int imageW, imageH, clientW, clientH;
        double zoom;
    } cases[] = {
        {512, 512, 800, 500, 1.0}, // wider window than tile: only the height scrolled before
        {200, 100, 400, 300, 1.0}, {1000, 800, 400, 300, 1.0},
        {300, 300, 700, 700, 0.5}, {64, 48, 900, 600, 3.0},
    };
    for (const auto& c : cases) {
        CCanvasGeometry g = Make(c.imageW, c.imageH, c.clientW, c.clientH, c.zoom);
        const double tileW = c.imageW * g.Zoom(), tileH = c.imageH * g.Zoom();
        EXPECT_EQ(g.HorizontalRange(), std::max(0, int(3 * tileW - c.clientW)));
        EXPECT_EQ(g.VerticalRange(), std::max(0, int(3 * tileH - c.clientH)));
        for (bool horizontal : {true, false}) {
            const int range = horizontal ? g.HorizontalRange() : g.VerticalRange();
            const double tile = horizontal ? tileW : tileH;
            const int client = horizontal ? c.clientW : c.clientH;
            for (int pos : {0, range / 3, range}) {
                g.Scroll(horizontal, CCanvasGeometry::ScrollCode::ThumbPosition, pos);
                const int origin = horizontal ? g.OriginX() : g.OriginY();
                EXPECT_EQ(horizontal ? g.HorizontalPosition() : g.VerticalPosition(), pos);
                if (range == 0) continue;
                EXPECT_LE(origin - tile, 0.5) << horizontal << " " << pos;
                EXPECT_GE(origin + 2 * tile, client - 0.5) << horizontal << " " << pos;
            }
        }
        // Move Canvas moves across as well as down.
        g.Scroll(true, CCanvasGeometry::ScrollCode::ThumbPosition, g.HorizontalRange() / 2);
        g.Scroll(false, CCanvasGeometry::ScrollCode::ThumbPosition, g.VerticalRange() / 2);
        const int x0 = g.OriginX(), y0 = g.OriginY();
        g.MoveBy(-7, -9);
        EXPECT_EQ(g.OriginX(), g.HorizontalRange() ? x0 - 7 : x0);
        EXPECT_EQ(g.OriginY(), g.VerticalRange() ? y0 - 9 : y0);
    }
}

TEST(CanvasGeometry, WheelScrollsAndZoomsAboutThePointer) {
    CCanvasGeometry g = Make(512, 512, 800, 500, 1.0);
    g.Scroll(true, CCanvasGeometry::ScrollCode::ThumbPosition, 300);
    g.Scroll(false, CCanvasGeometry::ScrollCode::ThumbPosition, 300);
    const int x0 = g.OriginX(), y0 = g.OriginY();
    g.ScrollByWheel(0, -120); // a notch towards the user: the picture moves up
    EXPECT_EQ(g.OriginY(), y0 - CCanvasGeometry::kWheelStep);
    g.ScrollByWheel(240, 0);
    EXPECT_EQ(g.OriginX(), x0 + 2 * CCanvasGeometry::kWheelStep);

    const CCanvasGeometry::Point at{200, 150};
    const CCanvasGeometry::Point under = g.ClientToImage(at.x, at.y);
    g.ZoomAt(at, 2.0);
    EXPECT_EQ(g.Zoom(), 2.0);
    const CCanvasGeometry::Point still = g.ImageToClient(under.x, under.y);
    EXPECT_NEAR(still.x, at.x, 2);
    EXPECT_NEAR(still.y, at.y, 2);

    const struct {
        double zoom;
        int notches;
        double expected;
    } zooms[] = {{1.0, 1, 1.3},  {1.0, -1, 0.8},  {1.0, 2, 1.6}, {0.1, 1, 0.2},
                 {0.1, -1, 0.1}, {20.0, 1, 20.0}, {0.3, -1, 0.2}};
    for (const auto& z : zooms)
        EXPECT_NEAR(CCanvasGeometry::WheelZoom(z.zoom, z.notches), z.expected, 1e-9)
            << z.zoom << " " << z.notches;
}
