#include "core/paint/Stroke.h"

#include "core/base/RuntimeRandom.h"
#include "core/base/WrapIndex.h"
#include "core/paint/BrushStamp.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

namespace {

// Rounds half up on both sides of zero. Truncating v + 0.5 toward zero, as the view
// does for the pointer, would map -1.4 and -0.4 both to 0, and a stroke crossing the
// tile's left or top edge in the tiled view would jump by a pixel at the seam.
int RoundToPixel(double v) {
    return int(std::floor(v + 0.5));
}

CRect Union(const CRect& a, const CRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void WrapSpan(int& lo, int& hi, int n) {
    if (hi - lo >= n) {
        lo = 0, hi = n;
        return;
    }
    int shift = lo % n;
    if (shift < 0) shift += n;
    const int length = hi - lo;
    if (shift + length > n) {
        lo = 0, hi = n; // crosses the edge: the changed pixels lie at both ends
    } else {
        lo = shift, hi = shift + length;
    }
}

} // namespace

int WrappedPieces(const CRect& rect, int w, int h, CRect pieces[4]) {
    if (rect.IsEmpty() || w <= 0 || h <= 0) return 0;
    // One axis: the span's pieces, two when it crosses the edge, the whole axis when it
    // is at least as long.
    auto split = [](int lo, int hi, int n, int out[2][2]) {
        if (hi - lo >= n) {
            out[0][0] = 0, out[0][1] = n;
            return 1;
        }
        const int start = WrapIndex(lo, n), end = start + (hi - lo);
        out[0][0] = start, out[0][1] = std::min(end, n);
        if (end <= n) return 1;
        out[1][0] = 0, out[1][1] = end - n;
        return 2;
    };
    int columns[2][2], rows[2][2];
    const int nc = split(rect.left, rect.right, w, columns);
    const int nr = split(rect.top, rect.bottom, h, rows);
    int count = 0;
    for (int c = 0; c < nc; ++c)
        for (int r = 0; r < nr; ++r)
            pieces[count++] = {columns[c][0], rows[r][0], columns[c][1], rows[r][1]};
    return count;
}

CRect WrapRectIntoImage(const CRect& rect, int w, int h) {
    if (rect.IsEmpty() || w <= 0 || h <= 0) return {};
    CRect r = rect;
    WrapSpan(r.left, r.right, w);
    WrapSpan(r.top, r.bottom, h);
    return r;
}

CStroke::CStroke(CDIBSection2& destination, CDIBSection2& readImage, CBrush& brush,
                 CRuntimeRandom& random)
    : m_destination(destination), m_read(readImage), m_brush(brush), m_random(random) {}

int CStroke::Spacing() const {
    const CDIBSection2& stamp = m_brush.mask.IsEmpty() && !m_brush.hoseFrames.empty()
                                    ? m_brush.hoseFrames.front()
                                    : m_brush.mask;
    const double s = stamp.IsEmpty() ? 0 : stamp.GetWidth() * m_brush.spacing;
    // A stored spacing can be anything; below one pixel (or not a number) it is one.
    if (m_brush.size == 1 || !(s >= 1)) return 1;
    return int(std::min(s, 1e6));
}

CStrokeSegment CStroke::Press(double viewX, double viewY, const CStrokeView& view, int pressure) {
    m_lastX = viewX, m_lastY = viewY;
    m_changed = {};
    m_started = true;
    return Segment(viewX, viewY, view, pressure, true);
}

CStrokeSegment CStroke::Move(double viewX, double viewY, const CStrokeView& view, int pressure) {
    if (!m_started) return Press(viewX, viewY, view, pressure);
    const double zoom = view.zoom > 0 ? view.zoom : 1.0;
    const double dx = (viewX - m_lastX) / zoom, dy = (viewY - m_lastY) / zoom;
    if (m_brush.spacingOn && std::sqrt(dx * dx + dy * dy) < Spacing()) return {};
    return Segment(viewX, viewY, view, pressure, false);
}

CStrokeSegment CStroke::Segment(double qx, double qy, const CStrokeView& view, int pressure,
                                bool first) {
    CStrokeSegment result;
    const double zoom = view.zoom > 0 ? view.zoom : 1.0;
    const double px = m_lastX, py = m_lastY;
    const double ddx = qx - px, ddy = qy - py;
    int n = 1;
    if (m_brush.spacingOn) {
        const double steps =
            std::sqrt((ddx / zoom) * (ddx / zoom) + (ddy / zoom) * (ddy / zoom)) / Spacing() + 0.5;
        n = std::max(1, int(std::min(steps, 1e6)));
    }
    const int angle = StrokeAngle(ddx, ddy, m_brush.lastAngle);
    m_brush.lastAngle = angle;

    CDabArgs args = dabTemplate;
    if (!textureAligned) {
        args.offsetX = std::abs(int(m_random.Next() * (1.0 / 32767) * 255));
        args.offsetY = std::abs(int(m_random.Next() * (1.0 / 32767) * 255));
    }
    args.pressure = args.pressureMode != 0 ? pressure : 255;
    const int H = m_destination.GetHeight();

    int halfSize = 4;
    for (int k = first ? 0 : 1; k <= (first ? n - 1 : n); ++k) {
        const CDIBSection2& stamp = StampForDab(m_brush, angle, m_random);
        const int sw = stamp.GetWidth(), sh = stamp.GetHeight();
        halfSize = std::max(halfSize, std::max(sw, sh) / 2);
        const double cxView = px + k * ddx / n, cyView = py + k * ddy / n;
        const int cx = RoundToPixel((cxView - view.originX) / zoom);
        const int cy = RoundToPixel((cyView - view.originY) / zoom);
        // Picture rows grow downwards, memory rows upwards from the bottom row.
        const int centreRow = H - 1 - cy;
        CDabArgs dab = args;
        dab.stamp = &stamp;
        dab.left = cx - sw / 2;
        dab.top = centreRow - sh / 2;
        if (prepareDab) prepareDab(dab, cx, centreRow);
        if (!PaintDab(m_destination, m_read, dab)) continue;
        ++result.dabs;
        result.dabRect =
            Union(result.dabRect, CRect{dab.left, dab.top, dab.left + sw, dab.top + sh});
    }
    m_changed = Union(m_changed, result.dabRect);
    const int margin = int(halfSize * zoom * 2);
    result.redrawRect = {int(std::min(px, qx)) - margin, int(std::min(py, qy)) - margin,
                         int(std::max(px, qx)) + margin + 1, int(std::max(py, qy)) + margin + 1};
    m_lastX = qx, m_lastY = qy;
    return result;
}

} // namespace quiltara
