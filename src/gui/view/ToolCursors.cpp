#include "gui/view/ToolCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace quiltara::gui {

namespace {

// Cursors are drawn twice, a wide white line under a thin black one, so that they
// stay visible over dark and light pixels alike.
QPixmap Outlined(int size, const std::function<void(QPainter&)>& shape) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 3, Qt::SolidLine, Qt::RoundCap));
    shape(p);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap));
    shape(p);
    return pixmap;
}

void SmallCross(QPainter& p, QPointF c) {
    p.drawLine(c + QPointF(-4, 0), c + QPointF(-1.5, 0));
    p.drawLine(c + QPointF(1.5, 0), c + QPointF(4, 0));
    p.drawLine(c + QPointF(0, -4), c + QPointF(0, -1.5));
    p.drawLine(c + QPointF(0, 1.5), c + QPointF(0, 4));
}

QCursor BrushCursor(int diameter) {
    // Outlines below 7 pixels hide the cross; above 256 they are slow to make and
    // leave the cursor's box on many systems.
    if (diameter < 7 || diameter > 256) {
        const QPixmap pm = Outlined(17, [](QPainter& p) { SmallCross(p, {8.5, 8.5}); });
        return QCursor(pm, 8, 8);
    }
    const int size = diameter + 5;
    const double c = size / 2.0;
    const QPixmap pm = Outlined(size, [&](QPainter& p) {
        p.drawEllipse(QPointF(c, c), diameter / 2.0, diameter / 2.0);
        SmallCross(p, {c, c});
    });
    return QCursor(pm, size / 2, size / 2);
}

QCursor Eyedropper(bool texture) {
    const QPixmap pm = Outlined(24, [texture](QPainter& p) {
        QPainterPath tube;
        tube.moveTo(2, 22);
        tube.lineTo(4, 16);
        tube.lineTo(14, 6);
        tube.lineTo(18, 10);
        tube.lineTo(8, 20);
        tube.closeSubpath();
        p.drawPath(tube);
        p.drawLine(QPointF(13, 3), QPointF(21, 11));
        p.drawLine(QPointF(16, 2), QPointF(22, 8));
        if (texture) p.drawRect(QRectF(14, 15, 7, 7));
    });
    return QCursor(pm, 2, 22);
}

QCursor Bucket() {
    const QPixmap pm = Outlined(24, [](QPainter& p) {
        QPainterPath pail;
        pail.moveTo(5, 9);
        pail.lineTo(13, 3);
        pail.lineTo(20, 12);
        pail.lineTo(12, 18);
        pail.closeSubpath();
        p.drawPath(pail);
        p.drawLine(QPointF(5, 9), QPointF(3, 17));
        p.drawEllipse(QPointF(3, 20), 1.5, 2);
    });
    return QCursor(pm, 3, 21);
}

QCursor Magnifier(bool out) {
    const QPixmap pm = Outlined(24, [out](QPainter& p) {
        p.drawEllipse(QPointF(9, 9), 6.5, 6.5);
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        p.drawLine(QPointF(6, 9), QPointF(12, 9));
        if (!out) p.drawLine(QPointF(9, 6), QPointF(9, 12));
    });
    return QCursor(pm, 9, 9);
}

} // namespace

bool CursorShowsBrush(int toolId) {
    switch (toolId) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 9:
    case 24:
    case 25:
    case 28:
    case 54:
        return true;
    default:
        return (toolId >= 11 && toolId <= 21) || (toolId >= 29 && toolId <= 37);
    }
}

QCursor ToolCursor(int toolId, int brushDiameterOnScreen, bool dragging) {
    if (CursorShowsBrush(toolId)) return BrushCursor(brushDiameterOnScreen);
    switch (toolId) {
    case 0:
        return Qt::ArrowCursor;
    case 5:
        return Magnifier(false);
    case 6:
        return Magnifier(true);
    case 7:
        return Eyedropper(false);
    case 22:
        return Eyedropper(true);
    case 10:
        return Bucket();
    case 23:
        return dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor;
    default:
        return Qt::CrossCursor; // rectangles, selection, crop, text
    }
}

} // namespace quiltara::gui
