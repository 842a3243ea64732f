#include "gui/filters/CFilterPreviewWnd.h"

#include "gui/image/PictureDrawing.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quiltara::gui {

CFilterPreviewWnd::CFilterPreviewWnd(const CDIBSection2* target, const QSize& size, QWidget* parent)
    : QWidget(parent), m_target(target), m_size(size) {
    setObjectName("preview");
    setFixedSize(size);
    setCursor(Qt::OpenHandCursor);
}

bool CFilterPreviewWnd::Rebuild() {
    if (!m_target || m_target->IsEmpty() || m_target->GetBitsPerPixel() != 32) return false;
    const double w = m_target->GetWidth() * m_zoom, h = m_target->GetHeight() * m_zoom;
    const int cx = int(std::min(w, double(m_size.width())));
    const int cy = int(std::min(h, double(m_size.height())));
    if (cx <= 0 || cy <= 0) {
        QMessageBox::warning(this, "Quiltara", "Error #14");
        return false;
    }
    // The offset keeps the scaled picture over the whole preview: a pan beyond either
    // side is held at that side.
    auto place = [](double covered, double scaled, double& pan) {
        const double d = covered - scaled;
        int o = int(d / 2 + pan);
        if (o < d) {
            o = int(d);
            pan = int(d / 2);
        }
        if (o > 0) {
            o = 0;
            pan = int(-d / 2);
        }
        return o;
    };
    const int ox = place(cx, w, m_panX);
    const int oy = place(cy, h, m_panY);

    m_working.Create(cx, cy, 32, false);
    // The picture's rows lie bottom-up in memory, and so do the target's: drawing the
    // target's memory rows straight into the working picture's memory rows keeps both
    // the right way up. Measured from the bottom, the scaled target starts at
    // cy - (oy + h).
    QImage canvas(m_working.GetBits(), cx, cy, m_working.GetBytesPerLine(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRectF(ox, cy - (oy + h), w, h), WrapPicture(*m_target),
                          QRectF(0, 0, m_target->GetWidth(), m_target->GetHeight()));
    }
    m_pristine.Copy(&m_working);
    return true;
}

void CFilterPreviewWnd::RestorePristine() {
    if (!m_pristine.IsEmpty()) m_working.Copy(&m_pristine);
}

void CFilterPreviewWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_working.IsEmpty()) return;
    const int x = std::max(0, (width() - m_working.GetWidth()) / 2);
    const int y = std::max(0, (height() - m_working.GetHeight()) / 2);
    Draw(painter, m_working, x, y);
}

void CFilterPreviewWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_dragging = true;
    m_last = event->position().toPoint();
    grabMouse(Qt::ClosedHandCursor);
}

void CFilterPreviewWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint now = event->position().toPoint();
    m_panX += now.x() - m_last.x();
    m_panY += now.y() - m_last.y();
    m_last = now;
    Rebuild();
    update();
}

void CFilterPreviewWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton) return;
    m_dragging = false;
    releaseMouse();
    emit panFinished();
}

} // namespace quiltara::gui
