#include "gui/filters/CLevelSlider.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace quiltara::gui {

namespace {
constexpr int kMargin = 6;
constexpr int kRampHeight = 10;
} // namespace

CLevelSlider::CLevelSlider(int handles, QWidget* parent) : QWidget(parent) {
    handles = handles == 3 ? 3 : 2;
    m_values = handles == 3 ? std::vector<int>{0, 128, 255} : std::vector<int>{0, 255};
    setFixedHeight(sizeHint().height());
    setMinimumWidth(sizeHint().width());
}

void CLevelSlider::SetValue(int handle, int value) {
    if (handle < 0 || handle >= HandleCount()) return;
    m_values[std::size_t(handle)] = std::clamp(value, 0, 255);
    update();
}

int CLevelSlider::XOf(int value) const {
    return kMargin + int(double(value) * (width() - 2 * kMargin - 1) / 255.0 + 0.5);
}

int CLevelSlider::ValueAt(int x) const {
    const double span = width() - 2 * kMargin - 1;
    if (span <= 0) return 0;
    return std::clamp(int((x - kMargin) * 255.0 / span + 0.5), 0, 255);
}

void CLevelSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int x = event->position().toPoint().x();
    // The nearest handle. Handles lying on each other are parted by taking the one
    // that has room: near the left end the later, near the right end the earlier.
    int best = -1, bestDistance = 1 << 30;
    for (int i = 0; i < HandleCount(); ++i) {
        const int d = std::abs(XOf(m_values[std::size_t(i)]) - x);
        if (d < bestDistance || (d == bestDistance && m_values[std::size_t(i)] < 128)) {
            best = i;
            bestDistance = d;
        }
    }
    if (bestDistance > 8) return;
    m_dragged = best;
    m_moved = false;
}

void CLevelSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragged < 0) return;
    const std::size_t k = std::size_t(m_dragged);
    int v = ValueAt(event->position().toPoint().x());
    const int low = m_dragged > 0 ? m_values[k - 1] + 1 : 0;
    const int high = m_dragged + 1 < HandleCount() ? m_values[k + 1] - 1 : 255;
    v = std::clamp(v, std::min(low, high), std::max(low, high));
    if (v == m_values[k]) return;
    m_values[k] = v;
    m_moved = true;
    update();
    emit handleMoved(m_dragged, v);
}

void CLevelSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_dragged < 0) return;
    m_dragged = -1;
    if (m_moved) emit released();
}

void CLevelSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect ramp(kMargin, 2, width() - 2 * kMargin, kRampHeight);
    QLinearGradient gradient(ramp.topLeft(), ramp.topRight());
    gradient.setColorAt(0, Qt::black);
    gradient.setColorAt(1, Qt::white);
    p.fillRect(ramp, gradient);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(ramp.adjusted(0, 0, -1, -1));
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < HandleCount(); ++i) {
        const int x = XOf(m_values[std::size_t(i)]);
        const int top = ramp.bottom() + 2;
        const QPointF tri[3] = {QPointF(x, top), QPointF(x - 5, top + 9), QPointF(x + 5, top + 9)};
        QColor fill = Qt::white;
        if (i == 0)
            fill = Qt::black;
        else if (HandleCount() == 3 && i == 1)
            fill = QColor(128, 128, 128);
        p.setBrush(fill);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawPolygon(tri, 3);
    }
}

} // namespace quiltara::gui
