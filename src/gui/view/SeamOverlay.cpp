#include "gui/view/SeamOverlay.h"

#include "core/document/CanvasGeometry.h"
#include "core/tiling/RepetitionMeasure.h"
#include "gui/image/PictureDrawing.h"

#include <QPainter>

namespace quiltara::gui {

namespace {
// The band is this many screen pixels across, whatever the zoom: wide enough to see,
// narrow enough to leave the seam's pixels beside it in view.
constexpr double kBandWidth = 6;
} // namespace

void CSeamOverlay::MeasureSeams(const CDIBSection2& picture) {
    m_meter.Measure(picture);
    RenderSeamStrips(m_meter, m_leftRight, m_topBottom);
}

void CSeamOverlay::MeasureRepetition(const CDIBSection2& picture) {
    m_repetition = quiltara::MeasureRepetition(picture);
    m_repetitionMeasured = true;
}

QString CSeamOverlay::StatusText() const {
    const SeamScores& s = m_meter.Scores();
    QString text;
    if (s.overall.measured) {
        text = QString("Seams %1").arg(s.overall.score, 0, 'f', 2);
        if (s.leftRight.measured && s.topBottom.measured)
            text += QString(" (L/R %1, T/B %2)")
                        .arg(s.leftRight.score, 0, 'f', 2)
                        .arg(s.topBottom.score, 0, 'f', 2);
    }
    if (m_repetitionMeasured)
        text += QString(text.isEmpty() ? "" : "  ") +
                QString("Repetition %1").arg(m_repetition, 0, 'f', 2);
    return text;
}

void CSeamOverlay::Draw(QPainter& painter, const CCanvasGeometry& g, const QRect& clip) const {
    const int w = m_meter.Width(), h = m_meter.Height();
    if (w <= 0 || h <= 0 || w != g.ImageWidth() || h != g.ImageHeight()) return;
    const double zoom = g.Zoom(), zw = w * zoom, zh = h * zoom;
    const double left = g.OriginX(), top = g.OriginY();
    const bool smooth = zoom < 1.0;
    painter.save();
    painter.setClipRect(clip);
    for (int copy = -1; copy <= 1; ++copy) {
        // The seams between the tile and its left and right neighbours, in each row of
        // copies; then those above and below, in each column.
        if (!m_leftRight.IsEmpty())
            for (int seam = 0; seam <= 1; ++seam)
                DrawPartScaled(
                    painter, m_leftRight, QRect(0, 0, 1, h),
                    QRectF(left + seam * zw - kBandWidth / 2, top + copy * zh, kBandWidth, zh),
                    smooth, true);
        if (!m_topBottom.IsEmpty())
            for (int seam = 0; seam <= 1; ++seam)
                DrawPartScaled(
                    painter, m_topBottom, QRect(0, 0, w, 1),
                    QRectF(left + copy * zw, top + seam * zh - kBandWidth / 2, zw, kBandWidth),
                    smooth, true);
    }
    painter.restore();
}

} // namespace quiltara::gui
