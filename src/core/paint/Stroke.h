#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"
#include "core/paint/Brush.h"
#include "core/paint/DabPainter.h"

#include <functional>

namespace quiltara {

class CRuntimeRandom;

/// How view (client) pixels map to the picture: x = (x' - originX) / zoom, rounded to
/// the nearest pixel (halves up, on both sides of zero, so strokes stay continuous
/// across the tile's edges).
struct CStrokeView {
    double zoom = 1.0;
    int originX = 0, originY = 0;
};

/// What one segment did.
struct CStrokeSegment {
    int dabs = 0;     // dabs laid (0 when the spacing gate held the pointer back)
    CRect dabRect;    // union of the dab rectangles, memory rows, not wrapped
    CRect redrawRect; // the client area to redraw around the segment
};

/// One stroke: from the press to the release. The tool fills dabTemplate with what
/// makes it what it is (opacity, blend mode, colour-source kind, source, texture
/// arguments, pressure mode, ...); the stroke places the dabs, chooses each dab's
/// stamp, draws the texture offsets and passes the pressure.
class CStroke {
public:
    /// destination is the picture painted; readImage the picture the blend modes
    /// compare with (the picture as it was at the press, or the destination itself).
    CStroke(CDIBSection2& destination, CDIBSection2& readImage, CBrush& brush,
            CRuntimeRandom& random);

    CDabArgs dabTemplate;
    /// Texture offsets stay 0 when aligned; otherwise two random ones per segment.
    bool textureAligned = true;
    /// Called before every dab with its centre (image x, memory row, not wrapped), so
    /// that a tool can set per-dab offsets (the rubber stamp's source corner).
    std::function<void(CDabArgs& args, int centreX, int centreRow)> prepareDab;

    /// The press: one dab exactly under the pointer. pressure is the tablet's (used
    /// unless the pressure mode is 0).
    CStrokeSegment Press(double viewX, double viewY, const CStrokeView& view, int pressure = 255);
    /// A pointer move with the button down.
    CStrokeSegment Move(double viewX, double viewY, const CStrokeView& view, int pressure = 255);

    /// Union of every dab rectangle of the stroke so far (memory rows, not wrapped).
    const CRect& ChangedRect() const { return m_changed; }
    /// The spacing in image pixels between dabs for the brush's current stamp.
    int Spacing() const;

private:
    CStrokeSegment Segment(double qx, double qy, const CStrokeView& view, int pressure, bool first);

    CDIBSection2& m_destination;
    CDIBSection2& m_read;
    CBrush& m_brush;
    CRuntimeRandom& m_random;
    double m_lastX = 0, m_lastY = 0; // last dab point, view pixels
    CRect m_changed;
    bool m_started = false;
};

/// A rectangle of a picture of w x h given in unwrapped coordinates, brought inside
/// the picture: moved by whole picture sizes when it fits, widened to the whole width
/// (or height) when it crosses an edge.
CRect WrapRectIntoImage(const CRect& rect, int w, int h);

/// The pixels of rect (given unwrapped) in a picture of w x h once wrapped, as up to
/// four rectangles inside the picture: one per side of each edge the rectangle
/// crosses. Returns how many were written to pieces.
int WrappedPieces(const CRect& rect, int w, int h, CRect pieces[4]);

} // namespace quiltara
