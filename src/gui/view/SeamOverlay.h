#pragma once
#include "core/tiling/SeamMeter.h"

#include <QRect>
#include <QString>

class QPainter;

namespace quiltara {
class CCanvasGeometry;
}

namespace quiltara::gui {

/// The seam meter of a canvas's picture, its heat strips and its repetition score,
/// and the drawing of the heat along the seams of the 3 x 3 view. The numbers and
/// the strips' pixels come from the core; this only places them on the screen.
class CSeamOverlay {
public:
    /// Measures the seams again (a pass along the picture's edges) and renders the
    /// heat strips.
    void MeasureSeams(const CDIBSection2& picture);
    /// Measures the repetition again (a pass over the whole picture).
    void MeasureRepetition(const CDIBSection2& picture);

    const SeamScores& Scores() const { return m_meter.Scores(); }
    const CSeamMeter& Meter() const { return m_meter; }
    double Repetition() const { return m_repetition; }
    /// "Seams 0.42 (L/R 0.61, T/B 0.23)  Repetition 0.18" for the status bar; empty
    /// before anything was measured.
    QString StatusText() const;

    /// Draws the heat in a band along each seam that the view shows: between the
    /// tile and its neighbours, left and right, above and below.
    void Draw(QPainter& painter, const CCanvasGeometry& geometry, const QRect& clip) const;

private:
    CSeamMeter m_meter;
    CDIBSection2 m_leftRight, m_topBottom;
    double m_repetition = 0;
    bool m_repetitionMeasured = false;
};

} // namespace quiltara::gui
