#pragma once
#include "core/base/Rect.h"

namespace quiltara {

/// Zoom, origin and scroll arithmetic of the canvas: where the tile lies in the
/// window, how zoom requests are rounded and clamped, how scroll bars move it.
/// The canvas widget owns one and draws from it; nothing here touches pixels.
class CCanvasGeometry {
public:
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 20.0;
    /// Client pixels one notch of the mouse wheel scrolls.
    static constexpr int kWheelStep = 40;

    struct Point {
        int x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };
    enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Other };
    /// Source columns and rows of one tile to draw and where they go in the client.
    struct TilePart {
        CRect source;     // picture rows
        double destX = 0; // client position of source.left
        double destY = 0;
        double destW = 0;
        double destH = 0;
    };

    /// v + 0.5 truncated toward zero.
    static int R(double v) { return int(v + 0.5); }
    /// R(z * 10) * 0.1, held within 0.1 ... 20.0.
    static double RoundZoom(double z);
    static double ClampZoom(double z);

    void SetClientSize(int width, int height);
    void SetImageSize(int width, int height);
    /// Centres the image in the client at the current zoom and updates the scroll ranges.
    void CenterImage();

    Point ImageToClient(int x, int y) const;
    Point ClientToImage(int x, int y) const;
    /// An image point wrapped into the tile: x mod width, y mod height, made non-negative.
    Point Wrap(int x, int y) const;

    void SetZoom(double z);
    void CenterOn(int x, int y);
    void FitToWindow();
    /// Zoom tool: a left click (zoom x 1.4, not rounded), and a rectangle wider and
    /// taller than 2 pixels (fits the rectangle); the client rectangle is given.
    void ZoomToolRelease(Point press, Point release);
    /// Zoom out by factor (0.8 with the zoom-out tool, 0.6 on a right press), centred
    /// on the clicked client point.
    void ZoomOutAt(Point client, double factor);
    /// Moves the origin by a client distance (move-canvas tool, scrolling under the pointer).
    void MoveBy(int dx, int dy);
    /// The mouse wheel: angles in eighths of a degree as the wheel reports them (120 a
    /// notch, positive away from the user or to the left), kWheelStep pixels a notch.
    void ScrollByWheel(int angleX, int angleY);
    /// Zooms to z (rounded and held as SetZoom does) keeping the image point under the
    /// client point where it is.
    void ZoomAt(Point client, double z);
    /// The zoom after notches of the wheel with Ctrl (positive zooms in): a quarter more
    /// or less a notch, rounded to a tenth, at least a tenth each way, held in range.
    static double WheelZoom(double zoom, int notches);

    /// Re-derives the scroll ranges from the sizes and holds the origin inside them. The
    /// scrolled area is the tile with its eight neighbours, so every seam can be brought
    /// into view; when all nine fit in the window the tile is centred and the ranges are 0.
    void UpdateScrollBars();
    /// One scroll-bar message; thumb is the thumb position for the thumb codes.
    void Scroll(bool horizontal, ScrollCode code, int thumb = 0);
    int HorizontalRange() const { return m_hRange; }
    int VerticalRange() const { return m_vRange; }
    /// 0 with the left (top) neighbour's edge at the window's edge.
    int HorizontalPosition() const { return m_hLead - m_originX; }
    int VerticalPosition() const { return m_vLead - m_originY; }

    /// The parts of the nine tiles (centre first) that cover the client rectangle clip,
    /// each snapped outwards to multiples of 10 image pixels when zoomed. Empty parts
    /// are left out.
    int VisibleTileParts(const CRect& clip, TilePart out[9]) const;

    double Zoom() const { return m_zoom; }
    int OriginX() const { return m_originX; }
    int OriginY() const { return m_originY; }
    void SetOrigin(int x, int y) { m_originX = x, m_originY = y; }
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }

private:
    void SetZoomValue(double z) { m_zoom = z; }
    double m_zoom = 1.0;
    int m_originX = 0, m_originY = 0;
    int m_clientWidth = 0, m_clientHeight = 0;
    int m_imageWidth = 0, m_imageHeight = 0;
    int m_hRange = 0, m_vRange = 0;
    // The origin at scroll position 0: the neighbour's width (height) in client pixels.
    int m_hLead = 0, m_vLead = 0;
};

} // namespace quiltara

namespace quiltara {
/// The zoom box's entries ("10%" ... "800%", "Custom") as a zoom factor: the number
/// before "%" read as a decimal integer, times 0.01; a text without a number is 100%.
double ZoomFromBoxText(const char* text);
} // namespace quiltara
