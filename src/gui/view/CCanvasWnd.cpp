#include "gui/view/CCanvasWnd.h"

#include "core/paint/ToolStroke.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/image/PictureDrawing.h"
#include "gui/view/SeamOverlay.h"
#include "gui/view/ToolCursors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

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

void CCanvasWnd::AttachDocument(CDIBSection2* original, CDIBSection2* surroundings, int ox,
                                int oy) {
    m_model.geometry.SetClientSize(viewport()->width(), viewport()->height());
    m_model.Attach(original, surroundings, ox, oy);
    // The history length is the "Undo" setting as it is when the canvas is made.
    const CTessaryApp* app = CTessaryApp::Instance();
    m_model.CreateUndoHistory(app ? app->SettingsValue().undoLevels : 3);
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

void CCanvasWnd::Refresh() {
    viewport()->update();
}

void CCanvasWnd::AfterUndoStep(int sizeChanged) {
    if (sizeChanged) {
        ResetDragState();
        m_model.OriginalFollowsWorkingImage();
        SyncScrollBars();
    }
    viewport()->update();
}

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

void CCanvasWnd::SetSeamOverlay(const CSeamOverlay* overlay) {
    m_seamOverlay = overlay;
    viewport()->update();
}

void CCanvasWnd::UpdateCursor() {
    const CPaintingContext& painting = AppState().painting;
    const int brush = painting.brush.mask.IsEmpty() ? 0 : painting.brush.mask.GetWidth();
    // The stamp holds the blurred rim; the brush's size is what a painter thinks of.
    const int diameter = int(std::min(brush, painting.brush.size + 2) * m_model.geometry.Zoom());
    viewport()->setCursor(ToolCursor(AppState().tools.Current(), diameter, m_dragging));
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

void CCanvasWnd::wheelEvent(QWheelEvent* event) {
    CCanvasGeometry& g = m_model.geometry;
    const QPoint angle = event->angleDelta();
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        m_wheelZoomAngle += angle.y() != 0 ? angle.y() : angle.x();
        const int notches = m_wheelZoomAngle / 120;
        if (notches == 0) return;
        m_wheelZoomAngle -= notches * 120;
        const QPoint at = event->position().toPoint();
        g.ZoomAt({at.x(), at.y()}, CCanvasGeometry::WheelZoom(g.Zoom(), notches));
        SyncScrollBars();
        UpdateCursor();
        viewport()->update();
        emit zoomChanged(g.Zoom());
        return;
    }
    // Shift turns an upright wheel sideways.
    const bool across = (event->modifiers() & Qt::ShiftModifier) && angle.x() == 0;
    g.ScrollByWheel(across ? angle.y() : angle.x(), across ? 0 : angle.y());
    SyncScrollBars();
    viewport()->update();
}

void CCanvasWnd::OnScrollBarValue(bool horizontal, int value) {
    if (m_syncingScrollBars) return;
    m_model.geometry.Scroll(horizontal, CCanvasGeometry::ScrollCode::ThumbTrack, value);
    viewport()->update();
}

void CCanvasWnd::ResetDragState() {
    if (m_stroke) EndToolStroke();
    m_dragging = false;
    m_pressPoint = m_lastPoint = QPoint();
    m_tracking = Tracking::None;
}

QRect CCanvasWnd::ClientRect(const CRect& r) const {
    const auto a = m_model.geometry.ImageToClient(r.left, r.top);
    const auto b = m_model.geometry.ImageToClient(r.right, r.bottom);
    return QRect(QPoint(a.x, a.y), QPoint(b.x - 1, b.y - 1));
}

CRect CCanvasWnd::ImageRect(const QRect& client) const {
    const QRect n = client.normalized();
    const auto a = m_model.geometry.ClientToImage(n.left(), n.top());
    const auto b = m_model.geometry.ClientToImage(n.right() + 1, n.bottom() + 1);
    return CRect{a.x, a.y, b.x, b.y};
}

CRect CCanvasWnd::BandToImage(const QPoint& a, const QPoint& b) const {
    const auto p = m_model.geometry.ClientToImage(a.x(), a.y());
    const auto q = m_model.geometry.ClientToImage(b.x(), b.y());
    return CRect{p.x, p.y, q.x, q.y}.Normalized();
}

QRect CCanvasWnd::TextFrameRect() const {
    if (m_tracking == Tracking::Text) return m_trackerNow;
    return m_model.HasText() ? ClientRect(m_model.TextRect()) : QRect();
}

QRect CCanvasWnd::TrackerRect() const {
    if (m_tracking == Tracking::Text)
        return m_model.HasFloat() ? ClientRect(m_model.FloatRect()) : QRect();
    if (m_tracking != Tracking::None) return m_trackerNow;
    if (m_model.HasFloat()) return ClientRect(m_model.FloatRect());
    if (m_model.cropMode) return ClientRect(m_model.cropRect.Normalized());
    return {};
}

int CCanvasWnd::HitTracker(const QRect& r, const QPoint& pt) {
    if (r.isNull()) return -1;
    const QPoint handles[8] = {
        r.topLeft(),     {r.center().x(), r.top()},    r.topRight(),   {r.right(), r.center().y()},
        r.bottomRight(), {r.center().x(), r.bottom()}, r.bottomLeft(), {r.left(), r.center().y()}};
    for (int i = 0; i < 8; ++i)
        if (QRect(handles[i] - QPoint(4, 4), QSize(9, 9)).contains(pt)) return i;
    return r.contains(pt) ? 8 : -1;
}

void CCanvasWnd::StartTracking(const QPoint& pt) {
    // The text being placed lies over the float: a press inside its frame moves it.
    if (m_model.HasText() && TextFrameRect().adjusted(-3, -3, 3, 3).contains(pt)) {
        m_trackerStart = m_trackerNow = TextFrameRect();
        m_tracking = Tracking::Text;
        m_trackerHandle = 8;
        return;
    }
    const QRect tracker = TrackerRect();
    const int hit = HitTracker(tracker, pt);
    if (hit < 0) return; // a press outside the tracker changes nothing
    m_tracking = m_model.HasFloat() ? Tracking::Float : Tracking::Crop;
    m_trackerHandle = hit;
    m_trackerStart = m_trackerNow = tracker;
}

void CCanvasWnd::FinishTracking() {
    const CRect image = ImageRect(m_trackerNow);
    const Tracking tracking = m_tracking;
    m_tracking = Tracking::None;
    if (tracking == Tracking::Text)
        m_model.MoveText(image.left, image.top);
    else if (tracking == Tracking::Float)
        m_model.FinishFloatTracking(image);
    else if (tracking == Tracking::Crop)
        m_model.FinishCropTracking(image);
    viewport()->update();
}

void CCanvasWnd::DrawTracker(QPainter& painter, const QRect& r, const QColor& colour,
                             const char* label) {
    painter.save();
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r);
    painter.setBrush(colour);
    const QPoint handles[8] = {
        r.topLeft(),     {r.center().x(), r.top()},    r.topRight(),   {r.right(), r.center().y()},
        r.bottomRight(), {r.center().x(), r.bottom()}, r.bottomLeft(), {r.left(), r.center().y()}};
    for (const QPoint& h : handles) painter.drawRect(QRect(h - QPoint(3, 3), QSize(6, 6)));
    QFont font("Arial");
    font.setPixelSize(10);
    painter.setFont(font);
    painter.drawText(r.left() + 6, r.top() - 3, label);
    painter.restore();
}

void CCanvasWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_model.geometry.SetClientSize(viewport()->width(), viewport()->height());
    ResetDragState();
    SyncScrollBars();
}

void CCanvasWnd::paintEvent(QPaintEvent* event) {
    if (m_busyRendering) return;
    QPainter painter(viewport());
    PaintCanvas(painter, event->rect());
}

void CCanvasWnd::PaintCanvas(QPainter& painter, const QRect& clip) {
    painter.fillRect(clip, kBackground);
    const CCanvasGeometry& g = m_model.geometry;
    const CDIBSection2& image = m_model.WorkingImage();
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
    if (m_seamOverlay) m_seamOverlay->Draw(painter, g, clip);
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
    if (m_model.HasFloat()) {
        const QRect r = TrackerRect();
        DrawPartScaled(
            painter, m_model.FloatImage(),
            QRect(0, 0, m_model.FloatImage().GetWidth(), m_model.FloatImage().GetHeight()),
            QRectF(r.x(), r.y(), r.width() + 1, r.height() + 1), g.Zoom() < 1.0);
        DrawTracker(painter, r, QColor(0, 128, 255), "Float");
    } else if (m_model.cropMode) {
        DrawTracker(painter, TrackerRect(), QColor(255, 128, 0), "Crop");
    }
    if (m_model.HasText()) DrawText(painter);
    DrawGuides(painter);
    if (m_dragging && DrawsRubberBand()) {
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(RubberBandRect());
        painter.restore();
    }
}

bool CCanvasWnd::DrawsRubberBand() const {
    const int tool = AppState().tools.Current();
    return tool == kToolZoom || tool == kToolFloat || tool == kToolCrop;
}

QRect CCanvasWnd::RubberBandRect() const {
    return QRect(m_pressPoint, m_lastPoint).normalized();
}

void CCanvasWnd::ZoomChangedByTool() {
    SyncScrollBars();
    viewport()->update();
    emit zoomChanged(m_model.geometry.Zoom());
}

void CCanvasWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    CAppState& app = AppState();
    if (event->button() == Qt::RightButton) {
        if (app.tools.Current() == kToolZoom) {
            app.tools.HoldZoomOut(true);
            UpdateCursor();
            m_model.geometry.ZoomOutAt({pt.x(), pt.y()}, 0.6);
            ZoomChangedByTool();
        } else if (RouteFor(app.tools.Current()).rightPressSetsSource && !m_stroke) {
            SetStampSource(pt);
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_pressPoint = m_lastPoint = pt;
    m_dragging = true;
    switch (app.tools.Current()) {
    case kToolZoomOut:
        m_model.geometry.ZoomOutAt({pt.x(), pt.y()}, 0.8);
        ZoomChangedByTool();
        break;
    case kToolColorPick:
        PickColor(pt);
        break;
    case kToolTexturePick:
        m_texturePointSet = PickTexture(pt);
        break;
    case kToolMoveCanvas:
        UpdateCursor();
        break;
    case kToolFloat:
        m_model.FloatToolPress(); // an existing float is merged first
        viewport()->update();
        break;
    case kToolCrop:
        m_model.CropToolPress();
        viewport()->update();
        break;
    case kToolArrow:
        StartTracking(pt);
        break;
    case kToolAddText:
        // The button goes up while the dialog is open; the placed text is moved with
        // the arrow.
        m_dragging = false;
        if (AddText(&pt)) {
            if (CTessaryApp* application = CTessaryApp::Instance())
                application->SelectTool(kToolArrow);
            UpdateCursor();
        }
        break;
    default:
        switch (RouteFor(app.tools.Current()).action) {
        case ToolAction::Stroke:
            if (RouteFor(app.tools.Current()).rightPressSetsSource && !app.clone.HasSource()) {
                // The first left press of the stamp sets its source instead of painting.
                SetStampSource(pt);
                m_dragging = false;
            } else if (!BeginToolStroke(pt, event->modifiers() & Qt::ShiftModifier)) {
                m_dragging = false;
            }
            break;
        case ToolAction::Bucket:
            FillWithBucket();
            break;
        default:
            break;
        }
        break;
    }
    // The tool that started a stroke finishes it: no other tool can be chosen meanwhile.
    if (m_stroke) app.tools.BeginStroke();
}

void CCanvasWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        switch (m_model.DoubleClickActionFor(AppState().tools.Current())) {
        case CCanvasModel::DoubleClickAction::EditText:
            // The button went up while the dialog was open: no press follows.
            EditText();
            viewport()->update();
            return;
        case CCanvasModel::DoubleClickAction::MergeFloat:
            m_model.MergeFloat();
            break;
        case CCanvasModel::DoubleClickAction::FinishCrop:
            if (m_model.FinishCrop()) {
                ResetDragState();
                SyncScrollBars();
            }
            break;
        default:
            break;
        }
        viewport()->update();
    }
    // The double click also acts as a press.
    mousePressEvent(event);
}

void CCanvasWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint pt = event->position().toPoint();
    if (m_tracking != Tracking::None) {
        const QPoint d = pt - m_pressPoint;
        QRect r = m_trackerStart;
        switch (m_trackerHandle) {
        case 8:
            r.translate(d);
            break;
        case 0:
            r.setTopLeft(r.topLeft() + d);
            break;
        case 1:
            r.setTop(r.top() + d.y());
            break;
        case 2:
            r.setTopRight(r.topRight() + d);
            break;
        case 3:
            r.setRight(r.right() + d.x());
            break;
        case 4:
            r.setBottomRight(r.bottomRight() + d);
            break;
        case 5:
            r.setBottom(r.bottom() + d.y());
            break;
        case 6:
            r.setBottomLeft(r.bottomLeft() + d);
            break;
        case 7:
            r.setLeft(r.left() + d.x());
            break;
        }
        m_trackerNow = r.normalized();
        m_lastPoint = pt;
        viewport()->update();
        return;
    }
    switch (AppState().tools.Current()) {
    case kToolMoveCanvas: {
        const QPoint delta = pt - m_lastPoint;
        m_model.geometry.MoveBy(delta.x(), delta.y());
        SyncScrollBars();
        viewport()->update();
        break;
    }
    case kToolColorPick:
        PickColor(pt);
        break;
    default:
        if (m_stroke) {
            ContinueToolStroke(pt);
        } else if (DrawsRubberBand()) {
            const QRect old = RubberBandRect();
            m_lastPoint = pt;
            viewport()->update(old.adjusted(-1, -1, 1, 1));
            viewport()->update(RubberBandRect().adjusted(-1, -1, 1, 1));
        } else if (RouteFor(AppState().tools.Current()).action == ToolAction::Rectangle) {
            // The guide circles reach around the press point: repaint what they cover.
            const int r = int(std::hypot(m_lastPoint.x() - m_pressPoint.x(),
                                         m_lastPoint.y() - m_pressPoint.y())) +
                          8;
            viewport()->update(QRect(m_pressPoint, m_pressPoint).adjusted(-r, -r, r, r));
            m_lastPoint = pt;
            const int r2 =
                int(std::hypot(pt.x() - m_pressPoint.x(), pt.y() - m_pressPoint.y())) + 8;
            viewport()->update(QRect(m_pressPoint, m_pressPoint).adjusted(-r2, -r2, r2, r2));
        }
        break;
    }
    m_lastPoint = pt;
}

void CCanvasWnd::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    CAppState& app = AppState();
    if (event->button() == Qt::RightButton) {
        if (app.tools.Current() == kToolZoomOut) {
            app.tools.HoldZoomOut(false);
            UpdateCursor();
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !m_dragging) return;
    if (m_stroke) {
        ContinueToolStroke(pt);
        EndToolStroke();
        return;
    }
    m_dragging = false;
    if (DrawsRubberBand()) viewport()->update(RubberBandRect().adjusted(-1, -1, 1, 1));
    switch (app.tools.Current()) {
    case kToolZoom:
        m_model.geometry.ZoomToolRelease({m_pressPoint.x(), m_pressPoint.y()}, {pt.x(), pt.y()});
        ZoomChangedByTool();
        break;
    case kToolMoveCanvas:
        UpdateCursor();
        break;
    case kToolFloat:
        m_model.TakeFloat(BandToImage(m_pressPoint, pt));
        break;
    case kToolCrop:
        m_model.SetCropRect(BandToImage(m_pressPoint, pt));
        break;
    case kToolArrow:
        if (m_tracking != Tracking::None) FinishTracking();
        break;
    case kToolTexturePick:
        if (m_texturePointSet) emit texturePicked(m_texturePointX, m_texturePointRow);
        m_texturePointSet = false;
        break;
    default:
        if (RouteFor(app.tools.Current()).action == ToolAction::Rectangle) FinishRectangleTool(pt);
        break;
    }
    viewport()->update();
    if (RouteFor(app.tools.Current()).oneShot) {
        // Color Pick and Texture Pick hand the canvas back to the tool used before.
        if (CTessaryApp* application = CTessaryApp::Instance())
            application->ReturnToPreviousTool();
        else
            app.tools.ReturnToPreviousTool(app.painting);
        UpdateCursor();
    }
}

void CCanvasWnd::keyPressEvent(QKeyEvent* event) {
    // Escape stops long tool runs ("Auto Stroke") at their next check and ends a
    // stroke in progress as if the button had been released.
    if (event->key() == Qt::Key_Escape) {
        AppState().stopFlag = true;
        if (m_stroke) EndToolStroke();
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace quiltara::gui
