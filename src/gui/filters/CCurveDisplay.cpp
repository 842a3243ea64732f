#include "gui/filters/CCurveDisplay.h"

#include <QPainter>
#include <QPainterPath>

namespace quiltara::gui {

CCurveDisplay::CCurveDisplay(QWidget* parent) : QWidget(parent) {
    setObjectName("curve");
    setFixedSize(sizeHint());
}

void CCurveDisplay::SetLut(const ChannelLut& lut) {
    m_lut = lut;
    update();
}

void CCurveDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -3, -3);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0xD8, 0xD8, 0xD8));
    for (int q = 1; q < 4; ++q) {
        const double x = area.left() + area.width() * q / 4;
        const double y = area.top() + area.height() * q / 4;
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    p.setPen(QColor(0xB0, 0xB0, 0xB0));
    p.drawLine(area.bottomLeft(), area.topRight());
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    p.setRenderHint(QPainter::Antialiasing);
    auto curve = [&](int k) {
        QPainterPath path;
        for (int i = 0; i < 256; ++i) {
            const QPointF pt(area.left() + area.width() * i / 255.0,
                             area.bottom() - area.height() *
                                                 m_lut.table[std::size_t(k)][std::size_t(i)] /
                                                 255.0);
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        return path;
    };
    const bool same = m_lut.table[0] == m_lut.table[1] && m_lut.table[1] == m_lut.table[2];
    if (same) {
        p.setPen(QPen(Qt::black, 1.5));
        p.drawPath(curve(0));
        return;
    }
    // Table 0 maps blue, 1 green, 2 red.
    const QColor colours[3] = {QColor(0, 0, 230), QColor(0, 170, 0), QColor(220, 0, 0)};
    // Red widest underneath, blue finest on top: curves that coincide stay visible.
    for (int k = 2; k >= 0; --k) {
        p.setPen(QPen(colours[k], 1.5 + k));
        p.drawPath(curve(k));
    }
}

} // namespace quiltara::gui
