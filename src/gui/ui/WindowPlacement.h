#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

namespace quiltara::gui {

/// Where the document window number index (0 the first) of the given size opens in a
/// work area of area: cascaded by step down and right from the top-left, starting
/// again at the top-left when the next place would leave the area.
QPoint CascadePlace(int index, const QSize& window, const QSize& area, int step);

/// frame moved, and shrunk where it must, so that it lies within available: a window
/// placement restored from another screen or scale stays on this one.
QRect HoldInside(const QRect& frame, const QRect& available);

} // namespace quiltara::gui
