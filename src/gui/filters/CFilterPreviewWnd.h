#pragma once
#include "core/image/DIBSection2.h"

#include <QPoint>
#include <QWidget>

namespace quiltara::gui {

/// The preview of the "FIlter" dialog: the target picture scaled by the zoom and cut
/// to the window, kept twice (the working picture the filter runs on, and a pristine
/// copy to start each run from). Dragging with the left button pans.
class CFilterPreviewWnd : public QWidget {
    Q_OBJECT
public:
    /// target stays owned by the caller and must outlive the window.
    CFilterPreviewWnd(const CDIBSection2* target, const QSize& size, QWidget* parent = nullptr);

    void SetZoom(double zoom) { m_zoom = zoom; }
    double Zoom() const { return m_zoom; }
    double PanX() const { return m_panX; }
    double PanY() const { return m_panY; }

    /// Rebuilds both pictures from the target at the zoom and pan. False (after the
    /// message "Error #14") when the picture would have no pixels; the pictures then
    /// stay as they were.
    bool Rebuild();
    /// The working picture becomes the pristine copy again.
    void RestorePristine();

    CDIBSection2& Working() { return m_working; }
    const CDIBSection2& Pristine() const { return m_pristine; }

    QSize sizeHint() const override { return m_size; }

signals:
    /// A pan drag ended: the working picture wants filtering again.
    void panFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const CDIBSection2* m_target;
    QSize m_size;
    CDIBSection2 m_working;
    CDIBSection2 m_pristine;
    double m_zoom = 1.0;
    double m_panX = 0;
    double m_panY = 0;
    bool m_dragging = false;
    QPoint m_last;
};

} // namespace quiltara::gui
