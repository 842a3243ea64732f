#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace quiltara::gui {

/// Where the document window number index (0 the first) of the given size opens in a
/// work area of area: cascaded by step down and right from the top-left, starting
/// again at the top-left when the next place would leave the area.
QPoint CascadePlace(int index, const QSize& window, const QSize& area, int step);

/// frame moved, and shrunk where it must, so that it lies within available: a window
/// placement restored from another screen or scale stays on this one.
QRect HoldInside(const QRect& frame, const QRect& available);

/// The part of area between the windows that cover its sides: a cover whose centre lies
/// left of the area's centre pushes the band's left edge past it, one on the right its
/// right edge. Covers outside area do not count; when the band would be narrower than
/// leastWidth, the whole area is given back.
QRect UncoveredBand(const QRect& area, const std::vector<QRect>& covers, int leastWidth);

} // namespace quiltara::gui
