#include "gui/ui/CValueSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace quiltara::gui {

namespace {
constexpr int kThumbRadius = 6;

QColor Mix(const QColor& a, const QColor& b, double w) {
    return QColor(int(w * a.red() + (1 - w) * b.red()), int(w * a.green() + (1 - w) * b.green()),
                  int(w * a.blue() + (1 - w) * b.blue()));
}
} // namespace

CValueSlider::CValueSlider(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(22);
}

void CValueSlider::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_value = std::clamp(m_value, m_minimum, m_maximum);
    update();
}

void CValueSlider::SetValue(int value) {
    m_value = std::clamp(value, m_minimum, m_maximum);
    update();
}

void CValueSlider::SetBaseColour(ColorRef colour) {
    m_baseColour = colour;
    update();
}

void CValueSlider::SetColourMode(ColourMode mode) {
    m_colourMode = mode;
    update();
}

void CValueSlider::SetThumbStyle(int style) {
    m_thumbStyle = style;
    update();
}

void CValueSlider::SetShowValue(bool show) {
    m_showValue = show;
    setFixedHeight(show ? 32 : 22);
    update();
}

int CValueSlider::ValueAt(int x) const {
    const double cell = double(width() - 2 * m_margin) / double(m_maximum + 1 - m_minimum);
    if (cell <= 0) return m_minimum;
    const int v = int((x - m_margin) / cell) + m_minimum;
    return std::clamp(v, m_minimum, m_maximum);
}

int CValueSlider::PositionOf(int value) const {
    const double cell = double(width() - 2 * m_margin) / double(m_maximum + 1 - m_minimum);
    const double start = (value - m_minimum) * cell;
    // The middle of the value's cell, taken so that ValueAt gives the value back
    // whenever every value has a pixel of its own.
    if (cell >= 1) return m_margin + int(std::ceil(start + (cell - 1) / 2));
    return m_margin + int(start + cell / 2);
}

int CValueSlider::TrackTop() const {
    return m_showValue ? 14 : 4;
}

bool CValueSlider::TrackTo(int x) {
    const int v = ValueAt(x);
    if (v == m_value) return false;
    m_value = v;
    return true;
}

void CValueSlider::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || event->button() != Qt::LeftButton) return;
    setFocus();
    m_dragging = true;
    m_moved = false;
    if (TrackTo(event->position().toPoint().x())) {
        m_moved = true;
        Notify(kThumbTrack);
    }
    update();
}

void CValueSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    if (TrackTo(event->position().toPoint().x())) {
        m_moved = true;
        Notify(kThumbTrack);
        update();
    }
}

void CValueSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton) return;
    m_dragging = false;
    if (TrackTo(event->position().toPoint().x())) {
        m_moved = true;
        Notify(kThumbTrack);
    }
    // A drag that ends where it began tells nothing.
    if (m_moved) Notify(kEndScroll);
    update();
}

void CValueSlider::keyPressEvent(QKeyEvent* event) {
    int step = 0, code = 0;
    switch (event->key()) {
    case Qt::Key_PageUp:
        step = -m_pageSize, code = kPageLeft;
        break;
    case Qt::Key_PageDown:
        step = m_pageSize, code = kPageRight;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -m_lineSize, code = kLineLeft;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = m_lineSize, code = kLineRight;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const int span = m_maximum + 1 - m_minimum;
    int v = m_value + step;
    while (v < m_minimum) v += span;
    while (v > m_maximum) v -= span;
    m_value = v;
    Notify(code);
    update();
}

void CValueSlider::keyReleaseEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (!event->isAutoRepeat()) Notify(kEndScroll);
        return;
    default:
        QWidget::keyReleaseEvent(event);
    }
}

void CValueSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));

    const int top = TrackTop();
    const int tickTop = top + 12;
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(w / 2 - 1, tickTop, w / 2 - 1, tickTop + 2);
    p.drawLine(6, tickTop, 6, tickTop + 1);
    if (m_colourMode != kSymmetric) {
        p.drawLine(w - 7, tickTop, w - 7, tickTop + 1);
        p.drawLine(6 + (w - 12) / 4, tickTop, 6 + (w - 12) / 4, tickTop + 1);
        p.drawLine(6 + 3 * (w - 12) / 4, tickTop, 6 + 3 * (w - 12) / 4, tickTop + 1);
    }

    // The track: the base colour scaled by how far the value is along.
    double r = m_maximum > m_minimum ? double(m_value - m_minimum) / (m_maximum - m_minimum) : 0;
    if (m_colourMode == kInverted) r = 1 - r;
    if (m_colourMode == kSymmetric) r = std::abs(r - 0.5) * 2;
    const QColor fill = isEnabled()
                            ? QColor(int(RedOf(m_baseColour) * r), int(GreenOf(m_baseColour) * r),
                                     int(BlueOf(m_baseColour) * r))
                            : QColor(0xC0, 0xC0, 0xC0);
    const QRect track(m_margin, top + 2, w - 2 * m_margin, 7);
    p.fillRect(track, fill);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(track.topLeft(), track.topRight());
    p.drawLine(track.topLeft(), track.bottomLeft());
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(track.bottomLeft(), track.bottomRight());
    p.drawLine(track.topRight(), track.bottomRight());

    // The thumb: a disc with two shaded rings, lit from the top left.
    const int cx = PositionOf(m_value);
    const int cy = top + 5;
    QColor thumb = pal.color(QPalette::Button);
    if (m_showValue)
        thumb = Qt::white;
    else if (m_thumbStyle == 1)
        thumb = QColor(RedOf(m_baseColour), GreenOf(m_baseColour), BlueOf(m_baseColour));
    else if (m_thumbStyle == 0)
        thumb = QColor(0xC0, 0x80, 0x80);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(thumb);
    p.drawEllipse(QPoint(cx, cy), kThumbRadius - 1, kThumbRadius - 1);
    const bool on = isEnabled();
    const QColor gray = pal.color(QPalette::Disabled, QPalette::WindowText);
    const QColor rings[2][2] = {
        {on ? pal.color(QPalette::Light) : gray, on ? pal.color(QPalette::Shadow) : gray},
        {on ? pal.color(QPalette::Midlight) : gray, on ? pal.color(QPalette::Dark) : gray}};
    for (int ring = 0; ring < 2; ++ring) {
        const double radius = kThumbRadius - ring;
        const int steps = int(radius * 8);
        for (int s = 0; s < steps; ++s) {
            const double a = s * 2 * M_PI / steps;
            double a2 = -a - 2.356;
            while (a2 < -3.1415) a2 += 6.293;
            while (a2 > 3.1415) a2 -= 6.293;
            const double weight = (std::cos(a2) + 1) / 2;
            p.setPen(Mix(rings[ring][0], rings[ring][1], weight));
            p.drawPoint(QPoint(cx + int(std::lround(radius * std::cos(a))),
                               cy - int(std::lround(radius * std::sin(a)))));
        }
    }

    if (m_showValue) {
        QFont font("Arial");
        font.setPixelSize(10);
        p.setFont(font);
        p.setPen(pal.color(QPalette::WindowText));
        const QString text = QString::number(m_value);
        const int tw = p.fontMetrics().horizontalAdvance(text);
        const int x = std::clamp(cx - tw / 2, 0, std::max(0, w - tw));
        p.drawText(x, 10, text);
    }
    if (hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace quiltara::gui
