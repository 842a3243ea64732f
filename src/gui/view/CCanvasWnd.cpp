#include "view/CCanvasWnd.h"

#include "app/AppState.h"
#include "app/CommandIds.h"
#include "image/PictureDrawing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace quiltara::gui {

namespace {
const QColor kBackground(192, 192, 192);
}

CCanvasWnd::CCanvasWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("canvas");
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // We paint every pixel of what is exposed; no background erase.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { OnScrollBarValue(true, v); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { OnScrollBarValue(false, v); });
    m_model.geometry.SetClientSize(viewport()->width(), viewport()->height());
    UpdateCursor();
}

void CCanvasWnd::AttachDocument(CDIBSection2* original, CDIBSection2* surroundings, int ox, int oy) {
    m_model.geometry.SetClientSize(viewport()->width(), viewport()->height());
    m_model.Attach(original, surroundings, ox, oy);
    ResetDragState();
    SyncScrollBars();
    viewport()->update();
}

void CCanvasWnd::ImageSizeChanged() {
    m_model.ImageSizeChanged();
    ResetDragState();
    SyncScrollBars();
    viewport()->update();
}

void CCanvasWnd::Refresh() { viewport()->update(); }

void CCanvasWnd::SetZoom(double zoom) {
    m_model.geometry.SetZoom(zoom);
    SyncScrollBars();
    viewport()->update();
    emit zoomChanged(m_model.geometry.Zoom());
}

void CCanvasWnd::CenterOn(int x, int y) {
    m_model.geometry.CenterOn(x, y);
    SyncScrollBars();
    viewport()->update();
}

void CCanvasWnd::FitToWindow() {
    m_model.geometry.FitToWindow();
    SyncScrollBars();
    viewport()->update();
    emit zoomChanged(m_model.geometry.Zoom());
}

void CCanvasWnd::SetShowTileBorder(bool show) {
    m_model.showTileBorder = show;
    viewport()->update();
}

void CCanvasWnd::UpdateCursor() {
    Qt::CursorShape shape = Qt::CrossCursor;
    switch (AppState().currentTool) {
    case TOOL_ARROW: shape = Qt::ArrowCursor; break;
    case TOOL_MOVE_CANVAS: shape = m_dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor; break;
    case TOOL_ZOOM:
    case TOOL_ZOOM_OUT: shape = Qt::CrossCursor; break;
    case TOOL_COLOR_PICK:
    case TOOL_TEXTURE_PICK: shape = Qt::PointingHandCursor; break;
    default: shape = Qt::CrossCursor; break;
    }
    viewport()->setCursor(shape);
}

void CCanvasWnd::SyncScrollBars() {
    const CCanvasGeometry& g = m_model.geometry;
    m_syncingScrollBars = true;
    // Line steps of 5 and page steps of 20 pixels, whatever the style suggests.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(5);
        bar->setPageStep(20);
    }
    horizontalScrollBar()->setRange(0, g.HorizontalRange());
    horizontalScrollBar()->setValue(g.HorizontalPosition());
    verticalScrollBar()->setRange(0, g.VerticalRange());
    verticalScrollBar()->setValue(g.VerticalPosition());
    m_syncingScrollBars = false;
}

void CCanvasWnd::OnScrollBarValue(bool horizontal, int value) {
    if (m_syncingScrollBars) return;
    m_model.geometry.Scroll(horizontal, CCanvasGeometry::ScrollCode::ThumbTrack, value);
    viewport()->update();
}

void CCanvasWnd::ResetDragState() {
    m_dragging = false;
    m_pressPoint = m_lastPoint = QPoint();
}

void CCanvasWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_model.geometry.SetClientSize(viewport()->width(), viewport()->height());
    ResetDragState();
    SyncScrollBars();
}

void CCanvasWnd::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    PaintCanvas(painter, event->rect());
}

void CCanvasWnd::PaintCanvas(QPainter& painter, const QRect& clip) {
    painter.fillRect(clip, kBackground);
    const CCanvasGeometry& g = m_model.geometry;
    const CDIBSection2& image = m_model.workingImage;
    if (!image.IsEmpty() && image.GetBitsPerPixel() == 32) {
        CCanvasGeometry::TilePart parts[9];
        const int count = g.VisibleTileParts(
            {clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1}, parts);
        // Shrinking is smoothed like a halftone stretch; enlarging shows the pixels.
        const bool smooth = g.Zoom() < 1.0;
        painter.save();
        painter.setClipRect(clip);
        for (int i = 0; i < count; ++i) {
            const auto& p = parts[i];
            DrawPartScaled(painter, image,
                           QRect(p.source.left, p.source.top, p.source.Width(), p.source.Height()),
                           QRectF(p.destX, p.destY, p.destW, p.destH), smooth);
        }
        painter.restore();
    }
    if (m_model.showTileBorder && !image.IsEmpty()) {
        const auto topLeft = g.ImageToClient(0, 0);
        const auto bottomRight = g.ImageToClient(g.ImageWidth(), g.ImageHeight());
        const QRect outline(QPoint(topLeft.x, topLeft.y),
                            QPoint(bottomRight.x - 1, bottomRight.y - 1));
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(outline);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(outline.adjusted(-1, -1, 1, 1));
        painter.restore();
    }
    if (m_dragging && DrawsRubberBand()) {
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(RubberBandRect());
        painter.restore();
    }
}

bool CCanvasWnd::DrawsRubberBand() const {
    const int tool = AppState().currentTool;
    return tool == TOOL_ZOOM || tool == TOOL_FLOAT || tool == TOOL_CROP;
}

QRect CCanvasWnd::RubberBandRect() const { return QRect(m_pressPoint, m_lastPoint).normalized(); }

void CCanvasWnd::ZoomChangedByTool() {
    SyncScrollBars();
    viewport()->update();
    emit zoomChanged(m_model.geometry.Zoom());
}

void CCanvasWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    CAppState& app = AppState();
    if (event->button() == Qt::RightButton) {
        if (app.currentTool == TOOL_ZOOM) {
            app.currentTool = TOOL_ZOOM_OUT;
            UpdateCursor();
            m_model.geometry.ZoomOutAt({pt.x(), pt.y()}, 0.6);
            ZoomChangedByTool();
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_pressPoint = m_lastPoint = pt;
    m_dragging = true;
    switch (app.currentTool) {
    case TOOL_ZOOM_OUT:
        m_model.geometry.ZoomOutAt({pt.x(), pt.y()}, 0.8);
        ZoomChangedByTool();
        break;
    case TOOL_COLOR_PICK: {
        const auto at = m_model.geometry.ClientToImage(pt.x(), pt.y());
        if (const std::uint8_t* px = m_model.PixelAtWrapped(at.x, at.y)) {
            app.foreColor = MakeColorRef(px[2], px[1], px[0]);
            emit colorPicked(app.foreColor);
        }
        break;
    }
    case TOOL_MOVE_CANVAS: UpdateCursor(); break;
    default: break;
    }
}

void CCanvasWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint pt = event->position().toPoint();
    switch (AppState().currentTool) {
    case TOOL_MOVE_CANVAS: {
        const QPoint delta = pt - m_lastPoint;
        m_model.geometry.MoveBy(delta.x(), delta.y());
        SyncScrollBars();
        viewport()->update();
        break;
    }
    default:
        if (DrawsRubberBand()) {
            const QRect old = RubberBandRect();
            m_lastPoint = pt;
            viewport()->update(old.adjusted(-1, -1, 1, 1));
            viewport()->update(RubberBandRect().adjusted(-1, -1, 1, 1));
        }
        break;
    }
    m_lastPoint = pt;
}

void CCanvasWnd::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    CAppState& app = AppState();
    if (event->button() == Qt::RightButton) {
        if (app.currentTool == TOOL_ZOOM_OUT) {
            app.currentTool = TOOL_ZOOM;
            UpdateCursor();
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !m_dragging) return;
    m_dragging = false;
    if (DrawsRubberBand()) viewport()->update(RubberBandRect().adjusted(-1, -1, 1, 1));
    switch (app.currentTool) {
    case TOOL_ZOOM:
        m_model.geometry.ZoomToolRelease({m_pressPoint.x(), m_pressPoint.y()}, {pt.x(), pt.y()});
        ZoomChangedByTool();
        break;
    case TOOL_MOVE_CANVAS: UpdateCursor(); break;
    default: break;
    }
}

void CCanvasWnd::keyPressEvent(QKeyEvent* event) {
    // Escape stops long tool runs ("Auto Stroke") at their next check.
    if (event->key() == Qt::Key_Escape) AppState().stopFlag = true;
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace quiltara::gui
