#include "gui/ui/WindowPlacement.h"

#include <algorithm>

namespace quiltara::gui {

QPoint CascadePlace(int index, const QSize& window, const QSize& area, int step) {
    step = std::max(step, 1);
    const int roomX = area.width() - window.width(), roomY = area.height() - window.height();
    // How many places fit before the cascade would leave the area (at least one).
    const int places =
        std::max(1, std::min(roomX < 0 ? 0 : roomX / step, roomY < 0 ? 0 : roomY / step) + 1);
    const int slot = std::max(index, 0) % places;
    return {slot * step, slot * step};
}

QRect HoldInside(const QRect& frame, const QRect& available) {
    if (available.isEmpty()) return frame;
    QRect r = frame;
    r.setWidth(std::min(std::max(r.width(), 1), available.width()));
    r.setHeight(std::min(std::max(r.height(), 1), available.height()));
    r.moveLeft(std::clamp(r.left(), available.left(), available.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), available.top(), available.bottom() + 1 - r.height()));
    return r;
}

QRect UncoveredBand(const QRect& area, const std::vector<QRect>& covers, int leastWidth) {
    QRect band = area;
    for (const QRect& cover : covers) {
        if (!cover.intersects(area)) continue;
        if (cover.center().x() < area.center().x())
            band.setLeft(std::max(band.left(), cover.right() + 1));
        else
            band.setRight(std::min(band.right(), cover.left() - 1));
    }
    return band.width() < std::max(leastWidth, 1) ? area : band;
}

} // namespace quiltara::gui
