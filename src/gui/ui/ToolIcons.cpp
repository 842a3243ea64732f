#include "gui/ui/ToolIcons.h"

#include "core/image/ProgramIcon.h"

#include "gui/app/CommandIds.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <initializer_list>

namespace quiltara::gui {

namespace {

const QColor kInk(40, 40, 40);
const QColor kAccent(214, 140, 45);
const QColor kPaper(252, 252, 248);
const QColor kBlue(38, 94, 170);

// A bent arrow from the right to the left (Undo); Redo draws it mirrored.
void BentArrow(QPainter& p) {
    QPainterPath bend;
    bend.moveTo(18, 17);
    bend.cubicTo(18, 8, 12, 7, 6, 9);
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    QPainterPath head;
    head.moveTo(3, 9.5);
    head.lineTo(9, 4.5);
    head.lineTo(9.5, 13.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
}

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
    case ID_FILE_NEW: {
        QPainterPath page;
        page.moveTo(5, 2);
        page.lineTo(13, 2);
        page.lineTo(18, 7);
        page.lineTo(18, 20);
        page.lineTo(5, 20);
        page.closeSubpath();
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawPath(page);
        p.drawLine(QPointF(13, 2), QPointF(13, 7));
        p.drawLine(QPointF(13, 7), QPointF(18, 7));
        p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.5, 10), QPointF(11.5, 17));
        p.drawLine(QPointF(8, 13.5), QPointF(15, 13.5));
        break;
    }
    case ID_FILE_OPEN:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(232, 190, 90));
        p.drawRect(QRectF(2, 5, 15, 13));
        p.drawRect(QRectF(2, 3.5, 6, 2));
        p.setBrush(QColor(246, 214, 120));
        p.drawPolygon(QPolygonF({QPointF(5, 9), QPointF(21, 9), QPointF(17, 18), QPointF(2, 18)}));
        break;
    case ID_FILE_SAVE:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(2.5, 2.5, 17, 17), 1.5, 1.5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(5.5, 2.5, 11, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(6.5, 13, 9, 6.5));
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(13.5, 4), QPointF(13.5, 8));
        break;
    case ID_EDIT_UNDO:
        BentArrow(p);
        break;
    case ID_EDIT_REDO:
        p.translate(22, 0);
        p.scale(-1, 1);
        BentArrow(p);
        break;
    case ID_HELP: {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(2, 2, 18, 18));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(14);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 18, 18), Qt::AlignCenter, "?");
        break;
    }
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

// The art is drawn afresh for each scale, so that it stays sharp on screens that
// double every pixel.
template <typename Art>
QIcon DrawnIcon(int side, double designSide, Art art, std::initializer_list<int> sides = {}) {
    QIcon icon;
    auto add = [&](int pixels, double ratio) {
        QPixmap pixmap(pixels, pixels);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(pixels / ratio / designSide, pixels / ratio / designSide);
        art(painter);
        painter.end();
        icon.addPixmap(pixmap);
    };
    add(side, 1.0);
    add(side * 2, 2.0);
    for (int s : sides) add(s, 1.0);
    return icon;
}

} // namespace

QIcon ToolIcon(int commandId) {
    return DrawnIcon(22, 22, [commandId](QPainter& p) { Draw(p, commandId); });
}

QIcon ProgramIcon() {
    // The installed icon's own drawing, so that the windows, the desktop entry and the
    // packages show one picture.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::vector<std::uint8_t> rgba = DrawProgramIcon(size);
        icon.addPixmap(QPixmap::fromImage(
            QImage(rgba.data(), size, size, size * 4, QImage::Format_RGBA8888).copy()));
    }
    return icon;
}

} // namespace quiltara::gui
