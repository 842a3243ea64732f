#include "gui/filters/CHistogramDisplay.h"

#include <QPainter>
#include <algorithm>

namespace quiltara::gui {

CHistogramDisplay::CHistogramDisplay(QWidget* parent) : QWidget(parent) {
    setObjectName("histogram");
    setFixedSize(sizeHint());
}

void CHistogramDisplay::SetHistogram(const std::array<std::uint64_t, 256>& bins,
                                     const QColor& colour) {
    m_bins = bins;
    m_colour = colour;
    update();
}

void CHistogramDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const std::uint64_t most = *std::max_element(m_bins.begin(), m_bins.end());
    if (most == 0) return;
    const int left = (width() - 256) / 2, bottom = height() - 3, tall = height() - 6;
    p.setPen(m_colour);
    for (int i = 0; i < 256; ++i) {
        const int h = int(double(m_bins[std::size_t(i)]) * tall / double(most) + 0.5);
        if (h > 0) p.drawLine(left + i, bottom, left + i, bottom - h + 1);
    }
}

} // namespace quiltara::gui
