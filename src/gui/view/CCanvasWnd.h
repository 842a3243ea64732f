#pragma once
#include "core/base/ColorRef.h"
#include "core/document/CanvasEdit.h"
#include "core/document/CanvasModel.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QPointer>
#include <memory>
#include <vector>

namespace quiltara {
class CToolStroke;
struct CToolSources;
} // namespace quiltara

namespace quiltara::gui {

class CSeamOverlay;

/// The canvas window: shows the working image nine times (the tile and its eight
/// neighbours), zooms and scrolls it, and takes the mouse for the current tool.
/// Its pictures and arithmetic live in the core's CCanvasModel.
class CCanvasWnd : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CCanvasWnd(QWidget* parent = nullptr);
    ~CCanvasWnd() override;

    CCanvasModel& Model() { return m_model; }
    const CCanvasModel& Model() const { return m_model; }
    const CCanvasGeometry& Geometry() const { return m_model.geometry; }

    /// Takes the document's pictures (copies the Original) and centres the image.
    void AttachDocument(CDIBSection2* original, CDIBSection2* surroundings, int tileOffsetX,
                        int tileOffsetY);
    /// After the working image changed size: recentre, scroll bars, repaint.
    void ImageSizeChanged();
    /// After pixels changed: repaint everything.
    void Refresh();

    void SetZoom(double zoom);
    void CenterOn(int x, int y);
    void FitToWindow();
    void ZoomIn() { SetZoom(m_model.geometry.Zoom() + 0.2); }
    void ZoomOut() { SetZoom(m_model.geometry.Zoom() - 0.2); }
    void SetShowTileBorder(bool show);
    bool ShowTileBorder() const { return m_model.showTileBorder; }
    /// "Show Seams": the overlay's heat along the seams, over the tiles; null hides it.
    void SetSeamOverlay(const CSeamOverlay* overlay);
    const CSeamOverlay* SeamOverlay() const { return m_seamOverlay; }
    /// Sets the cursor of the current tool.
    void UpdateCursor();

    /// After an undo or redo; sizeChanged is what Undo/Redo returned: then the drag
    /// state is reset and the document's Original follows the working image.
    void AfterUndoStep(int sizeChanged);
    /// Forgets a drag in progress (resize, attach, size changes).
    void ResetDragState();

    /// A stroke of a painting tool is under way (press to release).
    bool StrokeActive() const { return m_stroke != nullptr; }
    /// Ends a stroke in progress as the release would (Escape, losing the mouse).
    void EndToolStroke();

    /// The text command: the "Text" dialog, then its picture placed as the text being
    /// placed, at the client point when one is given, else centred on the image. A text
    /// already being placed goes into the picture first. True when a text was placed.
    bool AddText(const QPoint* client = nullptr);
    /// The text being placed, edited again in the "Text" dialog (double click).
    bool EditText();

    /// Renders the canvas area clip (client coordinates) with painter: the background,
    /// the nine tiles, the tile border and the overlays.
    void PaintCanvas(QPainter& painter, const QRect& clip);

signals:
    void zoomChanged(double zoom);
    void colorPicked(quiltara::ColorRef color);
    /// Texture Pick was released over the picture: the custom texture was made around
    /// (x, bufferRow) at the press; the "Auto Texture Maker" opens on that point.
    void texturePicked(int x, int bufferRow);
    /// A tool changed the picture (after the stroke's or the fill's undo step).
    void imageEdited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    /// The wheel scrolls (with Shift across), with Ctrl it zooms about the pointer.
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    void SyncScrollBars();
    void OnScrollBarValue(bool horizontal, int value);
    bool DrawsRubberBand() const;
    enum class Tracking { None, Float, Crop, Text };
    /// Client rectangle of an image rectangle, and back.
    QRect ClientRect(const CRect& image) const;
    CRect ImageRect(const QRect& client) const;
    /// Image rectangle between two client points of a rubber band.
    CRect BandToImage(const QPoint& a, const QPoint& b) const;
    /// The tracker's client rectangle now (being dragged, or the float's or crop's).
    QRect TrackerRect() const;
    /// Handle index 0-7 (corners and edge middles, clockwise from the top-left) under
    /// pt, 8 for inside, -1 outside.
    static int HitTracker(const QRect& tracker, const QPoint& pt);
    /// The text's client rectangle now (being dragged, or where it is); null without one.
    QRect TextFrameRect() const;
    /// Draws the text picture with its dotted frame (CanvasPainting.cpp).
    void DrawText(QPainter& painter);
    /// Renders settings under a wait cursor and places the picture (CanvasPainting.cpp).
    bool PlaceRenderedText(const CTextSettings& settings, bool keepPosition, const QPoint* client);
    void DrawTracker(QPainter& painter, const QRect& rect, const QColor& colour, const char* label);
    void StartTracking(const QPoint& pt);
    void FinishTracking();
    QRect RubberBandRect() const;
    void ZoomChangedByTool();

    // Painting tools (CanvasPainting.cpp).
    /// The stroke's point: client pixels relative to the image origin, so that scrolling
    /// during a stroke does not move what is under the stroke's last dab.
    QPointF StrokePoint(const QPoint& client) const;
    int Pressure() const;
    /// With fromLastStroke (Shift held) the stroke runs straight from where the last
    /// stroke ended to pt, the usual way to paint a straight line.
    bool BeginToolStroke(const QPoint& pt, bool fromLastStroke = false);
    void ContinueToolStroke(const QPoint& pt);
    void FillWithBucket();
    void PickColor(const QPoint& pt);
    /// Texture Pick's press: the custom texture around the point (wrapped into the
    /// picture); false when the picture has no pixel there.
    bool PickTexture(const QPoint& pt);
    bool m_texturePointSet = false;
    int m_texturePointX = 0, m_texturePointRow = 0;
    void FinishRectangleTool(const QPoint& pt);
    /// Scrolls the canvas under a pointer that left the client area with the button
    /// down, by the distance outside.
    void ScrollUnderPointer(const QPoint& pt);
    /// Repaints what a change of the picture at memoryRect (memory rows, unwrapped)
    /// shows: its wrapped pieces in the tile and in each neighbour.
    void UpdateImageArea(const CRect& memoryRect);
    void DrawGuides(QPainter& painter) const;
    /// The Original when the tool reads it (loaded from its swap file for the stroke),
    /// null when the tool does not read it or the document has none.
    const CDIBSection2* LoadedOriginal(int tool);
    /// Tells the user why the tool cannot paint (no surroundings, no Original, no
    /// texture, ...); true when it cannot.
    bool ShowSourceProblem(int tool, const CToolSources& sources);
    /// The rubber stamp's source point: the clicked point of this picture.
    void SetStampSource(const QPoint& pt);
    void UpdateStampMarkers();
    std::vector<QRect> StampMarkerRects() const;

    CCanvasModel m_model;
    CCanvasEdit m_edit;
    std::unique_ptr<CToolStroke> m_stroke;
    QPointF m_lastStrokeEnd{-1e9, -1e9}; // image pixels, unwrapped
    CDIBSection2 m_originalCopy;         // the Original during a stroke that reads it
    QPoint m_guideEnd;                   // the line bridge's guide: press point to here
    std::vector<QRect> m_markerRects;    // where the stamp's crosses were drawn
    bool m_busyRendering = false;        // threads are writing the picture
    static QPointer<CCanvasWnd> s_stampSource, s_stampTarget;
    QPoint m_pressPoint;
    QPoint m_lastPoint;
    bool m_dragging = false;
    bool m_syncingScrollBars = false;
    int m_wheelZoomAngle = 0; // a fine wheel's eighths of a degree not yet a notch
    Tracking m_tracking = Tracking::None;
    int m_trackerHandle = -1;
    QRect m_trackerStart; // tracker rectangle when the drag began
    QRect m_trackerNow;
    const CSeamOverlay* m_seamOverlay = nullptr;
};

} // namespace quiltara::gui
