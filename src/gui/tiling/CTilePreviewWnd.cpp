#include "gui/tiling/CTilePreviewWnd.h"

#include "core/tiling/TileWizardModel.h"
#include "gui/image/PictureDrawing.h"

#include <QMouseEvent>
#include <QPainter>

namespace quiltara::gui {

CTilePreviewWnd::CTilePreviewWnd(CTileWizardModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setObjectName("preview");
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::SizeAllCursor);
}

QImage CTilePreviewWnd::Render() const {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(96, 96, 96));
    QPainter painter(&image);
    if (m_model.Step() == 2) {
        const CDIBSection2& tile = m_model.ResultTile();
        if (!tile.IsEmpty()) {
            const TileRepeatLayout l =
                RepeatLayout(kWidth, kHeight, tile.GetWidth(), tile.GetHeight());
            for (int j = 0; j < l.down; ++j)
                for (int i = 0; i < l.across; ++i)
                    Draw(painter, tile, l.firstX + i * tile.GetWidth(),
                         l.firstY + j * tile.GetHeight());
        }
        return image;
    }
    if (m_model.ResizePending()) {
        // The typed size, shown before it is applied.
        const int w = m_model.PendingWidth(), h = m_model.PendingHeight();
        StretchTo(painter, m_model.Picture(), (kWidth - w) / 2, (kHeight - h) / 2, w, h);
    } else {
        Draw(painter, m_model.EffectiveSource(), m_model.PictureX(), m_model.PictureY());
    }
    // The frame: its outline inverts what lies under it so that it shows on any
    // picture, and a white line one pixel outside keeps it visible on middle gray.
    const QRect frame(m_model.FrameX(), m_model.FrameY(), m_model.TileWidth(),
                      m_model.TileHeight());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame.adjusted(-1, -1, 0, 0)); // one pixel outside the frame's edge pixels
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    return image;
}

void CTilePreviewWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void CTilePreviewWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // Qt keeps sending moves to this widget until the button is released.
    m_dragging = true;
    m_last = event->position().toPoint();
}

void CTilePreviewWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint now = event->position().toPoint();
    const QPoint delta = now - m_last;
    m_last = now;
    if (delta.isNull()) return;
    try {
        m_model.Drag(delta.x(), delta.y());
    } catch (const std::bad_alloc&) {
        // A tile too large for the memory: the last one stays on show.
    }
    update();
    emit pictureMoved();
}

void CTilePreviewWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragging = false;
}

} // namespace quiltara::gui
