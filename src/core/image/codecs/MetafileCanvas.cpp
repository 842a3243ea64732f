#include "core/image/codecs/MetafileCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quiltara {

MetaPoint MetaMapping::Map(long long x, long long y) const {
    const long long ex = windowExtX ? windowExtX : 1, ey = windowExtY ? windowExtY : 1;
    // Coordinates come from 16- or 32-bit fields; clamp so that products stay small.
    auto clamp = [](long long v) { return std::clamp(v, -(1LL << 31), 1LL << 31); };
    return {clamp((clamp(x) - windowOrgX) * viewportExtX / ex + viewportOrgX - frameX),
            clamp((clamp(y) - windowOrgY) * viewportExtY / ey + viewportOrgY - frameY)};
}

CodecStatus CMetafileCanvas::Create(int width, int height, std::uint32_t background) {
    if (width > kMaxMetafileSide || height > kMaxMetafileSide) return kErrBadMetafile;
    if (const CodecStatus allocated = AllocatePixels(m_pixels, width, height, 3, kErrBadMetafile);
        !allocated)
        return allocated;
    m_width = width, m_height = height;
    m_clip = {0, 0, width, height};
    const std::uint8_t r = std::uint8_t(background >> 16), g = std::uint8_t(background >> 8),
                       b = std::uint8_t(background);
    for (std::size_t i = 0; i < m_pixels.size(); i += 3)
        m_pixels[i] = r, m_pixels[i + 1] = g, m_pixels[i + 2] = b;
    return kErrNone;
}

namespace {
inline void Put(std::uint8_t* d, std::uint32_t colorRef) {
    d[0] = std::uint8_t(colorRef), d[1] = std::uint8_t(colorRef >> 8),
    d[2] = std::uint8_t(colorRef >> 16);
}
} // namespace

void CMetafileCanvas::Fill(long long x, long long y, std::uint32_t colorRef) {
    std::uint8_t* d =
        m_pixels.data() + (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 3;
    if (m_hatch < 0) return Put(d, colorRef);
    // 8 x 8 cells with their lines through the cell's first row, column or corner.
    const long long cx = x & 7, cy = y & 7;
    const bool horizontal = cy == 0, vertical = cx == 0, down = cx == cy, up = cx == 7 - cy;
    const bool line = m_hatch == 0   ? horizontal
                      : m_hatch == 1 ? vertical
                      : m_hatch == 2 ? down
                      : m_hatch == 3 ? up
                      : m_hatch == 4 ? horizontal || vertical
                                     : down || up;
    if (line)
        Put(d, colorRef);
    else if (m_hatchOpaque)
        Put(d, m_hatchBackground);
}

void CMetafileCanvas::IntersectClip(MetaPoint a, MetaPoint b) {
    m_clip.left = std::max(m_clip.left, std::min(a.x, b.x));
    m_clip.right = std::min(m_clip.right, std::max(a.x, b.x));
    m_clip.top = std::max(m_clip.top, std::min(a.y, b.y));
    m_clip.bottom = std::min(m_clip.bottom, std::max(a.y, b.y));
}

void CMetafileCanvas::FillRect(MetaPoint a, MetaPoint b, std::uint32_t colorRef) {
    const long long x0 = std::max(m_clip.left, std::min(a.x, b.x)),
                    x1 = std::min(m_clip.right, std::max(a.x, b.x));
    const long long y0 = std::max(m_clip.top, std::min(a.y, b.y)),
                    y1 = std::min(m_clip.bottom, std::max(a.y, b.y));
    for (long long y = y0; y < y1; ++y)
        for (long long x = x0; x < x1; ++x) Fill(x, y, colorRef);
}

void CMetafileCanvas::FillPolygons(const std::vector<std::vector<MetaPoint>>& polygons,
                                   std::uint32_t colorRef) {
    long long top = m_height, bottom = -1;
    for (const auto& poly : polygons)
        for (const MetaPoint& p : poly) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    top = std::max(top, m_clip.top), bottom = std::min(bottom, m_clip.bottom - 1);
    std::vector<long long> crossings;
    for (long long y = top; y <= bottom; ++y) {
        // Sample at the pixel's centre: an edge crosses when its ends lie on both sides.
        const double cy = double(y) + 0.5;
        crossings.clear();
        for (const auto& poly : polygons) {
            const std::size_t n = poly.size();
            for (std::size_t i = 0; i < n; ++i) {
                const MetaPoint& p = poly[i];
                const MetaPoint& q = poly[(i + 1) % n];
                if ((double(p.y) <= cy) == (double(q.y) <= cy)) continue;
                const double x =
                    double(p.x) + (cy - double(p.y)) * double(q.x - p.x) / double(q.y - p.y);
                crossings.push_back((long long)(std::clamp(x + 0.5, -1.0, double(m_width) + 1.0)));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const long long x0 = std::max(m_clip.left, crossings[i]),
                            x1 = std::min(m_clip.right, crossings[i + 1]);
            for (long long x = x0; x < x1; ++x) Fill(x, y, colorRef);
        }
    }
}

void CMetafileCanvas::DrawLine(MetaPoint a, MetaPoint b, std::uint32_t colorRef) {
    // Clip the segment's extent to the canvas first so that far-away ends cost nothing.
    const long long dx = b.x - a.x, dy = b.y - a.y;
    const long long steps = std::max(std::llabs(dx), std::llabs(dy));
    if (!steps) {
        if (a.x >= m_clip.left && a.y >= m_clip.top && a.x < m_clip.right && a.y < m_clip.bottom)
            Put(m_pixels.data() + (std::size_t(a.y) * m_width + std::size_t(a.x)) * 3, colorRef);
        return;
    }
    long long first = 0, last = steps;
    // Restrict the parameter range to where x and y are inside (with a margin).
    auto restrict = [&](long long start, long long delta, long long limit) {
        if (delta == 0) {
            if (start < 0 || start >= limit) first = 1, last = 0;
            return;
        }
        // t where start + delta * t / steps is in [0, limit)
        double t0 = double(-start) * double(steps) / double(delta);
        double t1 = double(limit - start) * double(steps) / double(delta);
        if (t0 > t1) std::swap(t0, t1);
        first = std::max(first, (long long)(t0)-1);
        last = std::min(last, (long long)(t1) + 1);
    };
    restrict(a.x, dx, m_width);
    restrict(a.y, dy, m_height);
    for (long long t = std::max(0LL, first); t <= last; ++t) {
        const long long x = a.x + dx * t / steps, y = a.y + dy * t / steps;
        if (x >= m_clip.left && y >= m_clip.top && x < m_clip.right && y < m_clip.bottom)
            Put(m_pixels.data() + (std::size_t(y) * m_width + std::size_t(x)) * 3, colorRef);
    }
}

void CMetafileCanvas::DrawPicture(const Pixels& rgb, int width, int height, long long sx,
                                  long long sy, long long sw, long long sh, MetaPoint dest,
                                  long long dw, long long dh) {
    if (!sw || !sh || !dw || !dh) return;
    const long long x0 = std::min(dest.x, dest.x + dw), x1 = std::max(dest.x, dest.x + dw);
    const long long y0 = std::min(dest.y, dest.y + dh), y1 = std::max(dest.y, dest.y + dh);
    const long long cx0 = std::max(m_clip.left, x0), cx1 = std::min(m_clip.right, x1);
    const long long cy0 = std::max(m_clip.top, y0), cy1 = std::min(m_clip.bottom, y1);
    const long long adw = x1 - x0, adh = y1 - y0;
    const long long asw = std::llabs(sw), ash = std::llabs(sh);
    const long long srcX0 = std::min(sx, sx + sw), srcY0 = std::min(sy, sy + sh);
    const bool flipX = (dw < 0) != (sw < 0), flipY = (dh < 0) != (sh < 0);
    for (long long y = cy0; y < cy1; ++y) {
        long long v = (y - y0) * ash / adh; // 0 .. |sh| - 1
        if (flipY) v = ash - 1 - v;
        const long long srcY = srcY0 + v;
        if (srcY < 0 || srcY >= height) continue;
        std::uint8_t* d = m_pixels.data() + (std::size_t(y) * m_width) * 3;
        const std::uint8_t* row = rgb.data() + std::size_t(srcY) * width * 3;
        for (long long x = cx0; x < cx1; ++x) {
            long long u = (x - x0) * asw / adw;
            if (flipX) u = asw - 1 - u;
            const long long srcX = srcX0 + u;
            if (srcX < 0 || srcX >= width) continue;
            std::memcpy(d + std::size_t(x) * 3, row + std::size_t(srcX) * 3, 3);
        }
    }
}

bool IsWMF(const std::uint8_t* data, std::size_t size) {
    if (size >= 22 && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A)
        return true;
    // A plain metafile header: type 1 or 2, nine words, version 1.0 or 3.0.
    return size >= 18 && (data[0] == 1 || data[0] == 2) && data[1] == 0 && data[2] == 9 &&
           data[3] == 0 && data[4] == 0 && (data[5] == 1 || data[5] == 3);
}

bool IsEMF(const std::uint8_t* data, std::size_t size) {
    return size >= 88 && data[0] == 1 && data[1] == 0 && data[2] == 0 && data[3] == 0 &&
           std::memcmp(data + 40, " EMF", 4) == 0;
}

ReadResult RenderMetafile(const CSource& source, int defaultWidth, int defaultHeight,
                          std::uint32_t background) {
    if (IsEMF(source.Data(), source.Size()))
        return RenderEMF(source.Data(), source.Size(), defaultWidth, defaultHeight, background);
    if (IsWMF(source.Data(), source.Size()))
        return RenderWMF(source.Data(), source.Size(), defaultWidth, defaultHeight, background);
    return ReadResult::Failure(kErrBadMetafile);
}

ReadResult RenderMetafile(const std::string& path, int defaultWidth, int defaultHeight,
                          std::uint32_t background) {
    unsigned code = kErrNone;
    std::unique_ptr<CSource> source = OpenSource(path, code);
    if (!source) return ReadResult::Failure(code);
    return RenderMetafile(*source, defaultWidth, defaultHeight, background);
}

void CMetafileCanvas::DrawPolyline(const std::vector<MetaPoint>& points, std::uint32_t colorRef,
                                   bool closed) {
    for (std::size_t i = 1; i < points.size(); ++i) DrawLine(points[i - 1], points[i], colorRef);
    if (closed && points.size() > 2) DrawLine(points.back(), points.front(), colorRef);
}

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Ellipse {
    double cx, cy, rx, ry;
    explicit Ellipse(MetaPoint a, MetaPoint b)
        : cx((double(a.x) + double(b.x)) / 2), cy((double(a.y) + double(b.y)) / 2),
          rx(std::abs(double(b.x) - double(a.x)) / 2), ry(std::abs(double(b.y) - double(a.y)) / 2) {
    }
    // Enough segments for a smooth outline, never an unbounded number.
    int Segments(double sweep) const {
        const double perimeter = sweep * std::max(rx, ry);
        return int(std::clamp(perimeter / 2, 8.0, 2048.0));
    }
    MetaPoint At(double angle) const {
        return {std::llround(cx + rx * std::cos(angle)), std::llround(cy - ry * std::sin(angle))};
    }
    // The angle of the ray from the centre towards p (counterclockwise on the picture).
    double AngleOf(MetaPoint p) const {
        return std::atan2(-(double(p.y) - cy) * std::max(rx, 1.0),
                          (double(p.x) - cx) * std::max(ry, 1.0));
    }
};

} // namespace

std::vector<MetaPoint> EllipsePoints(MetaPoint a, MetaPoint b) {
    const Ellipse e(a, b);
    const int n = e.Segments(2 * kPi);
    std::vector<MetaPoint> points;
    points.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) points.push_back(e.At(2 * kPi * i / n));
    return points;
}

std::vector<MetaPoint> ArcPoints(MetaPoint a, MetaPoint b, MetaPoint start, MetaPoint end) {
    const Ellipse e(a, b);
    const double from = e.AngleOf(start);
    double sweep = e.AngleOf(end) - from;
    while (sweep <= 0) sweep += 2 * kPi;
    const int n = e.Segments(sweep);
    std::vector<MetaPoint> points;
    points.reserve(std::size_t(n) + 1);
    for (int i = 0; i <= n; ++i) points.push_back(e.At(from + sweep * i / n));
    return points;
}

void DrawArcShape(CMetafileCanvas& canvas, MetaArcShape shape, MetaPoint a, MetaPoint b,
                  MetaPoint start, MetaPoint end, const std::uint32_t* brush,
                  const std::uint32_t* pen) {
    std::vector<MetaPoint> outline = ArcPoints(a, b, start, end);
    if (shape == MetaArcShape::kArc) {
        if (pen) canvas.DrawPolyline(outline, *pen);
        return;
    }
    if (shape == MetaArcShape::kPie) outline.push_back({(a.x + b.x) / 2, (a.y + b.y) / 2});
    if (brush) canvas.FillPolygons({outline}, *brush);
    if (pen) canvas.DrawPolyline(outline, *pen, true);
}

std::vector<MetaPoint> BezierPoints(const std::vector<MetaPoint>& control) {
    std::vector<MetaPoint> points;
    if (control.empty()) return points;
    points.push_back(control[0]);
    for (std::size_t i = 1; i + 2 < control.size(); i += 3) {
        const MetaPoint p0 = control[i - 1], p1 = control[i], p2 = control[i + 1],
                        p3 = control[i + 2];
        const double span = std::abs(double(p3.x - p0.x)) + std::abs(double(p3.y - p0.y)) +
                            std::abs(double(p1.x - p0.x)) + std::abs(double(p2.y - p1.y));
        const int n = int(std::clamp(span / 4, 4.0, 256.0));
        for (int k = 1; k <= n; ++k) {
            const double t = double(k) / n, u = 1 - t;
            const double x =
                u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x;
            const double y =
                u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y;
            points.push_back({std::llround(x), std::llround(y)});
        }
    }
    return points;
}

void RestoreState(std::vector<MetaSavedState>& saved, long long which, CMetafileCanvas& canvas,
                  MetaObject& brush, MetaObject& pen) {
    const long long count = (long long)(saved.size());
    const long long index = which < 0 ? count + which : which - 1;
    if (index < 0 || index >= count) return;
    const MetaSavedState state = saved[std::size_t(index)];
    saved.resize(std::size_t(index));
    canvas.SetClip(state.clip);
    brush = state.brush, pen = state.pen;
}

} // namespace quiltara
