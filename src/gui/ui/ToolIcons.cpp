#include "gui/ui/ToolIcons.h"

#include "gui/app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quiltara::gui {

namespace {

const QColor kInk(40, 40, 40);
const QColor kAccent(214, 140, 45);

void Magnifier(QPainter& p, const char* sign) {
    p.setPen(QPen(kInk, 2));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(20, 20));
    if (!sign) return;
    p.setPen(QPen(kAccent, 2));
    p.drawLine(QPointF(6, 9), QPointF(12, 9));
    if (sign[0] == '+') p.drawLine(QPointF(9, 6), QPointF(9, 12));
}

void Draw(QPainter& p, int id) {
    switch (id) {
    case ID_ZOOM_IN:
        Magnifier(p, "+");
        break;
    case ID_ZOOM_OUT:
        Magnifier(p, "-");
        break;
    case ID_TOOL_ZOOM:
        Magnifier(p, nullptr);
        break;
    case ID_FIT_TO_SCREEN:
        p.setPen(QPen(kInk, 2));
        p.drawRect(QRectF(3, 5, 16, 12));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(QPointF(7, 11), QPointF(15, 11));
        p.drawLine(QPointF(7, 11), QPointF(9, 9));
        p.drawLine(QPointF(15, 11), QPointF(13, 9));
        break;
    case ID_TILE_BORDER:
        // Nine tiles, the middle one outlined.
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) p.drawRect(QRectF(2 + i * 6.5, 2 + j * 6.5, 6, 6));
        p.setPen(QPen(kAccent, 2, Qt::DotLine));
        p.drawRect(QRectF(8.5, 8.5, 6, 6));
        break;
    case ID_TOOL_ARROW: {
        QPainterPath arrow;
        arrow.moveTo(6, 3);
        arrow.lineTo(6, 18);
        arrow.lineTo(10, 14);
        arrow.lineTo(13, 20);
        arrow.lineTo(15, 19);
        arrow.lineTo(12, 13);
        arrow.lineTo(17, 13);
        arrow.closeSubpath();
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case ID_TOOL_MOVE_CANVAS:
        p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 3), QPointF(11, 19));
        p.drawLine(QPointF(3, 11), QPointF(19, 11));
        for (const auto& [a, b, c] :
             {std::tuple{QPointF(8, 6), QPointF(11, 3), QPointF(14, 6)},
              std::tuple{QPointF(8, 16), QPointF(11, 19), QPointF(14, 16)},
              std::tuple{QPointF(6, 8), QPointF(3, 11), QPointF(6, 14)},
              std::tuple{QPointF(16, 8), QPointF(19, 11), QPointF(16, 14)}}) {
            p.drawLine(a, b);
            p.drawLine(b, c);
        }
        break;
    case ID_TOOL_CROP:
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(6, 2), QPointF(6, 16));
        p.drawLine(QPointF(6, 16), QPointF(20, 16));
        p.drawLine(QPointF(2, 6), QPointF(16, 6));
        p.drawLine(QPointF(16, 6), QPointF(16, 20));
        break;
    case ID_TOOL_FLOAT:
        p.setPen(QPen(kInk, 1.5, Qt::DashLine));
        p.drawRect(QRectF(3, 3, 12, 12));
        p.setPen(QPen(kInk, 1));
        p.setBrush(kAccent);
        p.drawRect(QRectF(8, 8, 11, 11));
        break;
    case ID_EDIT_CUT:
        p.setPen(QPen(kInk, 1.5));
        p.drawEllipse(QRectF(3, 14, 5, 5));
        p.drawEllipse(QRectF(14, 14, 5, 5));
        p.drawLine(QPointF(7, 14), QPointF(15, 3));
        p.drawLine(QPointF(15, 14), QPointF(7, 3));
        break;
    case ID_EDIT_COPY:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 3, 10, 12));
        p.drawRect(QRectF(9, 7, 10, 12));
        break;
    case ID_EDIT_PASTE:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(225, 200, 150));
        p.drawRect(QRectF(4, 4, 14, 16));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 2, 6, 4));
        p.drawRect(QRectF(9, 9, 10, 11));
        break;
    default:
        break;
    }
}

} // namespace

QIcon ToolIcon(int commandId) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, commandId);
    painter.end();
    return QIcon(pixmap);
}

} // namespace quiltara::gui
