// The canvas's painting tools: strokes, the paint bucket, colour pick and the
// rectangle tools, driven by the mouse or the pen.
#include "gui/view/CCanvasWnd.h"

#include "core/tiling/AutoTexture.h"

#include "core/filters/LightEffects.h"

#include "core/paint/CloneState.h"
#include "core/paint/LineBridge.h"
#include "core/paint/PaintBucket.h"
#include "core/paint/RadialBurst.h"
#include "core/paint/TextTool.h"
#include "core/paint/ToolSet.h"
#include "core/paint/ToolStroke.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/image/PictureDrawing.h"
#include "gui/paint/CTextDlg.h"
#include "gui/ui/CHelpPictureWnd.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QTabletEvent>
#include <cmath>
#include <cstring>
#include <memory>

namespace quiltara::gui {

// The canvases the rubber stamp takes its source from and paints on; the crosses are
// drawn on them. Guarded pointers: a closed window leaves them null.
QPointer<CCanvasWnd> CCanvasWnd::s_stampSource;
QPointer<CCanvasWnd> CCanvasWnd::s_stampTarget;

namespace {

// The light tools' progress window: "Rendering..." with a Cancel button.
class LightProgress final : public IProgressReporter {
public:
    explicit LightProgress(QWidget* parent) : m_parent(parent) {}
    void Begin(const std::string& caption, int range) override {
        m_dialog = std::make_unique<QProgressDialog>(QString::fromStdString(caption),
                                                     QStringLiteral("Cancel"), 0, range, m_parent);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setValue(0);
    }
    void SetPos(int pos) override {
        if (!m_dialog) return;
        m_dialog->setValue(pos);
        // The window may not be shown yet for a short render; Cancel is still heard
        // (a key or a click on it) because the events are taken at every step.
        QCoreApplication::processEvents();
    }
    void End() override { m_dialog.reset(); }
    bool CancelRequested() override { return m_dialog && m_dialog->wasCanceled(); }

private:
    QWidget* m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace

CCanvasWnd::~CCanvasWnd() {
    // A window closed with the button down keeps what was painted, as one undo step.
    if (m_stroke) EndToolStroke();
    // A closed picture can no longer be the stamp's source.
    if (s_stampSource == this) AppState().clone.Reset();
}

QPointF CCanvasWnd::StrokePoint(const QPoint& client) const {
    return QPointF(client.x() - m_model.geometry.OriginX(),
                   client.y() - m_model.geometry.OriginY());
}

int CCanvasWnd::Pressure() const {
    CTessaryApp* app = CTessaryApp::Instance();
    return app ? app->Tablet().Pressure() : 255;
}

const CDIBSection2* CCanvasWnd::LoadedOriginal(int tool) {
    // Only the restore brush and Original Clone read the Original: other strokes do not
    // pay for reading it from disk.
    const bool reads =
        tool == kToolRestoreBrush || (ToolColorSourceKind(tool) == kSourcePlain &&
                                      AppState().painting.cloneSourceKind == kCloneOriginal);
    CDIBSection2* original = m_model.originalRef;
    if (!original || !reads) return nullptr;
    // The document keeps its Original on disk; a stroke reads a copy loaded at the
    // press and dropped at the release, so the Original itself is never disturbed.
    if (original->IsSwappedOut() && original->IsEmpty()) {
        if (m_originalCopy.IsEmpty() && !m_originalCopy.LoadRaw(original->GetTempPath()))
            return nullptr;
        return &m_originalCopy;
    }
    return original->IsEmpty() ? nullptr : original;
}

void CCanvasWnd::SetStampSource(const QPoint& pt) {
    const auto at = m_model.geometry.ClientToImage(pt.x(), pt.y());
    CCanvasWnd* previous = s_stampSource;
    // The source point is kept inside the picture it was taken from.
    const auto wrapped = m_model.geometry.Wrap(at.x, at.y);
    AppState().clone.SetSource(nullptr, wrapped.x, wrapped.y);
    s_stampSource = this;
    if (previous && previous != this) previous->viewport()->update();
    viewport()->update();
}

bool CCanvasWnd::ShowSourceProblem(int tool, const CToolSources& sources) {
    const ToolSourceProblem problem = ToolSourceMissing(tool, sources, AppState().painting);
    if (problem == ToolSourceProblem::None) return false;
    m_originalCopy.MakeEmpty();
    if (problem == ToolSourceProblem::NoSurroundings) {
        // A tile made without the wizard's surroundings has nothing to clone across its
        // edges: the help picture explains where they come from.
        CHelpPictureWnd::Show(kSurroundingsHelpPicture, this);
    } else {
        QMessageBox::information(this, "Quiltara", QString::fromUtf8(CloneMessage(problem)));
    }
    return true;
}

bool CCanvasWnd::BeginToolStroke(const QPoint& pt, bool fromLastStroke) {
    CAppState& app = AppState();
    const int tool = app.tools.Current();
    if (!IsStrokeTool(tool) || m_model.WorkingImage().IsEmpty()) return false;

    CToolSources sources;
    sources.original = LoadedOriginal(tool);
    sources.surroundings = m_model.surroundingsImage;
    sources.surroundingsOffsetX = m_model.tileOffsetX;
    sources.surroundingsOffsetY = m_model.tileOffsetY;
    if (tool == kToolHistoryBrush) {
        // The history brush paints back the picture the last undo step saved; without
        // one there is nothing to paint from.
        const int slot = m_model.History().HistorySlot();
        CRect saved;
        const CDIBSection2* picture =
            slot >= 0 ? m_model.History().GetStepImage(slot, saved) : nullptr;
        if (!picture) return false;
        sources.history = picture;
        sources.historyLeft = saved.left;
        sources.historyTop = saved.top;
    }
    if (tool == kToolRubberStamp) {
        CCanvasWnd* source = s_stampSource;
        app.clone.sourceImage =
            source && source != this ? &source->Model().WorkingImage() : nullptr;
        sources.clone = &app.clone; // the stroke's press fixes the target start
    }
    if (ShowSourceProblem(tool, sources)) return false;

    m_edit = m_model.BeginEditGrowing();
    CDIBSection2* read = &m_edit.ReadImage();
    if (tool == kToolRubberStamp) {
        // In its own picture the stamp reads the live picture with "Feedback", so that it
        // picks up what it has just laid down, and the picture as it was at the press
        // without.
        if (!app.clone.sourceImage && app.clone.feedback) read = &m_edit.Image();
        s_stampTarget = this;
    }
    m_stroke = std::make_unique<CToolStroke>(tool, app.painting, app.operators, app.random,
                                             m_edit.Image(), *read, sources);
    const QPointF p = StrokePoint(pt);
    const CStrokeView view{m_model.geometry.Zoom(), 0, 0};
    const bool line = fromLastStroke && m_lastStrokeEnd.x() > -1e8;
    const double zoom = m_model.geometry.Zoom();
    const QPointF start = line ? m_lastStrokeEnd * zoom : p;
    if (tool == kToolLineBridge) {
        m_guideEnd = pt;
        m_stroke->SetGuide(start.x() / zoom, start.y() / zoom, start.x() / zoom, start.y() / zoom);
    }
    CStrokeSegment segment = m_stroke->Press(start.x(), start.y(), view, Pressure());
    m_edit.Extend(segment.dabRect);
    UpdateImageArea(segment.dabRect);
    m_lastStrokeEnd = p / zoom;
    if (line) {
        segment = m_stroke->Move(p.x(), p.y(), view, Pressure());
        m_edit.Extend(segment.dabRect);
        UpdateImageArea(segment.dabRect);
    }
    UpdateStampMarkers();
    return true;
}

void CCanvasWnd::ContinueToolStroke(const QPoint& pt) {
    if (!m_stroke) return;
    ScrollUnderPointer(pt);
    const QPointF p = StrokePoint(pt);
    const double zoom = m_model.geometry.Zoom();
    if (m_stroke->ToolId() == kToolLineBridge) {
        // The guide runs from the press along the larger of the two distances.
        const QPoint d = pt - m_pressPoint;
        const QPoint end = GuideIsHorizontal(d.x(), d.y()) ? QPoint(pt.x(), m_pressPoint.y())
                                                           : QPoint(m_pressPoint.x(), pt.y());
        const QRect old = QRect(m_pressPoint, m_guideEnd).normalized().adjusted(-2, -2, 2, 2);
        m_guideEnd = end;
        viewport()->update(old);
        viewport()->update(QRect(m_pressPoint, end).normalized().adjusted(-2, -2, 2, 2));
        const QPointF a = StrokePoint(m_pressPoint), b = StrokePoint(end);
        m_stroke->SetGuide(a.x() / zoom, a.y() / zoom, b.x() / zoom, b.y() / zoom);
    }
    const CStrokeSegment segment = m_stroke->Move(p.x(), p.y(), {zoom, 0, 0}, Pressure());
    m_lastStrokeEnd = p / zoom;
    if (segment.dabs == 0) return;
    m_edit.Extend(segment.dabRect);
    UpdateImageArea(segment.dabRect);
    UpdateStampMarkers();
}

void CCanvasWnd::UpdateStampMarkers() {
    if (AppState().tools.Current() != kToolRubberStamp) return;
    for (CCanvasWnd* canvas :
         {static_cast<CCanvasWnd*>(s_stampSource), static_cast<CCanvasWnd*>(s_stampTarget)})
        if (canvas) {
            for (const QRect& r : canvas->m_markerRects) canvas->viewport()->update(r);
            canvas->m_markerRects = canvas->StampMarkerRects();
            for (const QRect& r : canvas->m_markerRects) canvas->viewport()->update(r);
        }
}

std::vector<QRect> CCanvasWnd::StampMarkerRects() const {
    std::vector<QRect> rects;
    const CCloneState& clone = AppState().clone;
    auto add = [&](int x, int y) {
        if (x < 0 || y < 0) return;
        const auto c = m_model.geometry.ImageToClient(x, y);
        rects.push_back(QRect(c.x - 6, c.y - 6, 13, 13));
    };
    if (this == s_stampSource) add(clone.sourceMarkerX, clone.sourceMarkerY);
    if (this == s_stampTarget) add(clone.targetMarkerX, clone.targetMarkerY);
    return rects;
}

void CCanvasWnd::EndToolStroke() {
    if (!m_stroke) return;
    const bool guide = m_stroke->ToolId() == kToolLineBridge;
    m_stroke.reset();
    m_originalCopy.MakeEmpty();
    if (guide)
        viewport()->update(QRect(m_pressPoint, m_guideEnd).normalized().adjusted(-2, -2, 2, 2));
    m_edit.Commit(); // one undo step for the whole stroke
    m_model.History().ReleaseStepImages();
    m_dragging = false;
    AppState().tools.EndStroke();
    emit imageEdited();
}

void CCanvasWnd::FillWithBucket() {
    if (m_model.WorkingImage().IsEmpty()) return;
    CAppState& app = AppState();
    CCanvasEdit edit = m_model.BeginEdit();
    if (PaintBucket(edit.Image(), app.painting, app.random).IsEmpty()) {
        edit.Cancel();
        return;
    }
    edit.Commit();
    viewport()->update();
    emit imageEdited();
}

void CCanvasWnd::PickColor(const QPoint& pt) {
    const auto at = m_model.geometry.ClientToImage(pt.x(), pt.y());
    const std::uint8_t* px = m_model.PixelAtWrapped(at.x, at.y);
    if (!px) return;
    CPaintingContext& painting = AppState().painting;
    const ColorRef color = MakeColorRef(px[2], px[1], px[0]);
    if (color == painting.foreColor) return;
    painting.SetForeColor(color);
    emit colorPicked(color);
}

bool CCanvasWnd::PickTexture(const QPoint& pt) {
    const auto at = m_model.geometry.ClientToImage(pt.x(), pt.y());
    if (!m_model.PixelAtWrapped(at.x, at.y)) return false;
    const auto p = m_model.geometry.Wrap(at.x, at.y);
    m_texturePointX = p.x;
    m_texturePointRow = p.y;
    try {
        MakeAutoTexture(m_model.WorkingImage(), p.x, p.y,
                        TextureWindowFor(kTexturePickSize, kTextureYRatioSquare, false),
                        AppState().painting.customTexture);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CCanvasWnd::FinishRectangleTool(const QPoint& pt) {
    // The light effects (51, 52) paint light from the press point, sized and turned by
    // the drag; the radial burst (50) runs the radial smear over a disc of twice the
    // drag's length around the press point.
    const int tool = AppState().tools.Current();
    if (m_model.WorkingImage().IsEmpty()) return;
    const QPointF a = StrokePoint(m_pressPoint), b = StrokePoint(pt);
    const double zoom = m_model.geometry.Zoom();
    if (tool == kToolLensFlare || tool == kToolSparkle) {
        const int x0 = int(std::lround(a.x() / zoom)), y0 = int(std::lround(a.y() / zoom));
        const int x1 = int(std::lround(b.x() / zoom)), y1 = int(std::lround(b.y() / zoom));
        if (x0 == x1 && y0 == y1) return; // a drag of zero length does nothing
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CCanvasEdit edit = m_model.BeginEdit();
        CDIBSection2& image = edit.Image();
        LightProgress progress(this);
        // The progress window lets paint events through while the render's threads
        // write the picture: the canvas keeps what it showed until they are done.
        m_busyRendering = true;
        const LightDragResult result =
            RenderLightDrag(image.GetBits(), image.GetWidth(), image.GetHeight(),
                            tool == kToolSparkle ? LightKind::Sparkle : LightKind::LensFlare, x0,
                            y0, x1, y1, AppState().painting.opacity, progress);
        m_busyRendering = false;
        QApplication::restoreOverrideCursor();
        if (result != LightDragResult::Done) {
            // A cancelled light leaves no trace: the picture comes back from the
            // before-image, which the edit kept as it was.
            if (result == LightDragResult::Cancelled)
                std::memcpy(image.GetBits(), edit.Before().GetBits(), image.PixelBytes());
            edit.Cancel();
            viewport()->update();
            return;
        }
        edit.Commit();
        viewport()->update();
        emit imageEdited();
        return;
    }
    if (tool != kToolRadialBurst) return;
    const double length = std::hypot(b.x() - a.x(), b.y() - a.y()) / zoom;
    if (length < 1) return; // a rectangle of zero size does nothing
    CAppState& app = AppState();
    CCanvasEdit edit = m_model.BeginEditGrowing();
    const CRect changed = RadialBurst(edit.Image(), edit.ReadImage(), app.painting, app.operators,
                                      app.random, int(std::lround(a.x() / zoom)),
                                      int(std::lround(a.y() / zoom)), int(std::lround(2 * length)));
    edit.Extend(changed);
    edit.Commit();
    viewport()->update();
    emit imageEdited();
}

void CCanvasWnd::ScrollUnderPointer(const QPoint& pt) {
    const QRect client = viewport()->rect();
    if (client.contains(pt)) return;
    const int dx = pt.x() < client.left()    ? client.left() - pt.x()
                   : pt.x() > client.right() ? client.right() - pt.x()
                                             : 0;
    const int dy = pt.y() < client.top()      ? client.top() - pt.y()
                   : pt.y() > client.bottom() ? client.bottom() - pt.y()
                                              : 0;
    const int x0 = m_model.geometry.OriginX(), y0 = m_model.geometry.OriginY();
    m_model.geometry.MoveBy(dx, dy);
    if (m_model.geometry.OriginX() == x0 && m_model.geometry.OriginY() == y0) return;
    SyncScrollBars();
    viewport()->update();
}

void CCanvasWnd::UpdateImageArea(const CRect& memoryRect) {
    const CCanvasGeometry& g = m_model.geometry;
    const int w = g.ImageWidth(), h = g.ImageHeight();
    CRect pieces[4];
    const int count = WrappedPieces(memoryRect, w, h, pieces);
    const QRect client = viewport()->rect();
    // Zoomed tiles are drawn from parts that start and end on multiples of ten pixels
    // and smoothed when shrunk: a margin keeps the repaint covering both.
    const int margin = g.Zoom() == 1.0 ? 0 : int(std::ceil(g.Zoom())) + 2;
    for (int k = 0; k < count; ++k) {
        // Memory rows count from the bottom; the view's rows from the top.
        const CRect& p = pieces[k];
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                const auto a = g.ImageToClient(p.left + i * w, h - p.bottom + j * h);
                const auto b = g.ImageToClient(p.right + i * w, h - p.top + j * h);
                const QRect area = QRect(QPoint(a.x, a.y), QPoint(b.x, b.y))
                                       .adjusted(-margin, -margin, margin, margin);
                if (area.intersects(client)) viewport()->update(area & client);
            }
    }
}

void CCanvasWnd::DrawGuides(QPainter& painter) const {
    const int tool = AppState().tools.Current();
    if (tool == kToolRubberStamp) {
        // The stamp's source and target as crosses that invert what is under them.
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.setPen(QPen(Qt::black, 1));
        for (const QRect& r : StampMarkerRects()) {
            const QPoint c = r.center();
            painter.drawLine(c.x() - 5, c.y(), c.x() + 5, c.y());
            painter.drawLine(c.x(), c.y() - 5, c.x(), c.y() + 5);
        }
        painter.restore();
    }
    if (m_stroke && m_stroke->ToolId() == kToolLineBridge) {
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(m_pressPoint, m_guideEnd);
        painter.restore();
    }
    if (!m_dragging || m_tracking != Tracking::None) return;
    if (RouteFor(tool).action != ToolAction::Rectangle) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    const QPointF press = m_pressPoint, now = m_lastPoint;
    painter.drawEllipse(press, 3, 3);
    painter.drawLine(press, now);
    if (tool == kToolLensFlare || tool == kToolSparkle) {
        const double r = std::hypot(now.x() - press.x(), now.y() - press.y());
        painter.drawEllipse(now, 2, 2);
        painter.drawEllipse(press, r, r);
    }
    painter.restore();
}

bool CCanvasWnd::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        // The pen's pressure is kept by the tablet object; leaving the event unaccepted
        // lets the system turn it into the mouse events the tools follow.
        if (CTessaryApp* app = CTessaryApp::Instance())
            app->Tablet().Packet(*static_cast<QTabletEvent*>(event));
        event->ignore();
        return false;
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

// The text tool: the dialog, the rendered picture placed on the canvas, drawn with its
// dotted frame until it is committed.

bool CCanvasWnd::AddText(const QPoint* client) {
    CTessaryApp* app = CTessaryApp::Instance();
    ISettingsStore* store = app ? &app->Store() : nullptr;
    CTextSettings settings;
    if (store) LoadTextSettings(*store, settings);
    CTextDlg dialog(settings, store, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PlaceRenderedText(dialog.Settings(), false, client);
}

bool CCanvasWnd::EditText() {
    if (!m_model.HasText()) return false;
    CTessaryApp* app = CTessaryApp::Instance();
    CTextDlg dialog(m_model.textSettings, app ? &app->Store() : nullptr, this, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PlaceRenderedText(dialog.Settings(), true, nullptr);
}

bool CCanvasWnd::PlaceRenderedText(const CTextSettings& settings, bool keepPosition,
                                   const QPoint* client) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TextPicture text = RenderTextPicture(settings);
    QApplication::restoreOverrideCursor();
    if (!text.ok) {
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(text.error));
        return false;
    }
    if (keepPosition) {
        // An emptied text removes the object.
        m_model.PlaceText(std::move(text.picture), m_model.textX, m_model.textY, settings);
    } else {
        if (text.picture.IsEmpty()) return false;
        // A text already being placed goes into the picture first.
        if (m_model.CommitText()) emit imageEdited();
        if (client) {
            const auto at = m_model.geometry.ClientToImage(client->x(), client->y());
            m_model.PlaceText(std::move(text.picture), at.x, at.y, settings);
        } else {
            m_model.PlaceTextCentred(std::move(text.picture), settings);
        }
    }
    viewport()->update();
    return m_model.HasText();
}

void CCanvasWnd::DrawText(QPainter& painter) {
    const QRect r = TextFrameRect();
    const CDIBSection2& picture = m_model.TextImage();
    DrawPartScaled(painter, picture, QRect(0, 0, picture.GetWidth(), picture.GetHeight()),
                   QRectF(r.x(), r.y(), r.width(), r.height()), m_model.geometry.Zoom() < 1.0,
                   true);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(-3, -3, 3, 3));
    painter.restore();
}

} // namespace quiltara::gui
