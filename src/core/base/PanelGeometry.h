#pragma once
#include "core/base/Rect.h"

#include <span>

namespace quiltara {

/// The floating panels' geometry in screen pixels: the title strip with its two
/// buttons, where a dragged panel lands, where a remembered one comes back and where
/// each starts. Rectangles have exclusive right and bottom edges.

/// Height of the title strip at the top of a panel, and of a collapsed panel.
constexpr int kPanelStripHeight = 21;
/// The strip's collapse button spans 101 < x < 111, its close button 116 < x < 126.
constexpr int kPanelCollapseButtonX = 101;
constexpr int kPanelCloseButtonX = 116;
/// How near an edge of the work area a dragged panel must come to be put on it, and
/// how near an edge of another panel.
constexpr int kPanelWorkAreaSnap = 7;
constexpr int kPanelNeighbourSnap = 6;
/// A remembered panel comes back at least this far inside the work area's right and
/// bottom edges, so that it can still be grabbed.
constexpr int kPanelRestoreMargin = 40;

enum class PanelStripHit { None, Collapse, Close };

/// What a button press at (x, y) in panel coordinates hits in the title strip.
PanelStripHit HitPanelStrip(int x, int y);

/// The panel's new rectangle when it is dragged by (dx, dy) from current: snapped to the
/// work area's edges, then to the edges of the other panels (empty rectangles stand for
/// panels that are not on the screen). When snapping to a panel would put it at a
/// negative coordinate, only the work-area snap applies. The size stays.
CRect DragPanel(const CRect& current, int dx, int dy, const CRect& workArea,
                std::span<const CRect> others);

/// Where a panel saved at saved comes back: its corner kept inside the work area (at
/// least kPanelRestoreMargin inside the right and bottom edges), with the given size when
/// it has one (width and height above 0), else the saved size of at least 20 x 10.
/// A saved rectangle whose right edge is 0 was never stored: the result is empty.
CRect RestorePanelRect(const CRect& saved, const CRect& workArea, int width, int height);

/// The panels in the order they are made, listed, saved and offered in the View menu.
enum PanelIndex {
    kPanelColor,
    kPanelBrushes,
    kPanelTools,
    kPanelStamp,
    kPanelRetouch,
    kPanelEffects,
    kPanelClone,
    kPanelCount
};

/// A panel's start rectangle of the given size: its start point (x from the work area's
/// left or right edge, y on the screen), moved back inside the work area where a wide or tall panel
/// would stick out.
CRect PanelStartRect(int panel, const CRect& workArea, int width, int height);

/// Where a balloon of the given size shows for the point (x, y): a negative x centres it
/// on -x, a negative y becomes 0, and a balloon that would stick out of the desktop on
/// the right or at the bottom is moved to lie one pixel inside.
CRect PlaceBubble(int x, int y, int width, int height, const CRect& desktop);

} // namespace quiltara
