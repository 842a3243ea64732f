#include "core/tiling/TileCoverage.h"

#include "core/filters/RotateByAngle.h"
#include "core/tiling/TileSource.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quiltara {

namespace {

constexpr double kSlack = 1e-7;

struct Point {
    double x = 0, y = 0;
};

} // namespace

CCoveredArea CCoveredArea::Whole(int width, int height) {
    CCoveredArea a;
    if (width <= 0 || height <= 0) return a;
    a.m_edges = {{-1, 0, 0}, {1, 0, double(width)}, {0, -1, 0}, {0, 1, double(height)}};
    a.m_centreX = width / 2.0;
    a.m_centreY = height / 2.0;
    return a;
}

CCoveredArea CCoveredArea::Turned(int width, int height, double degrees) {
    CCoveredArea a;
    if (width <= 0 || height <= 0) return a;
    const auto corners = RotatedCorners(width, height, NormalizePitchAngle(degrees));
    // A quarter turn moves whole pixels: nothing black comes in.
    if (corners[0].y == corners[1].y && corners[1].x == corners[2].x)
        return Whole(int(std::lround(std::fabs(corners[1].x - corners[0].x))),
                     int(std::lround(std::fabs(corners[2].y - corners[1].y))));
    double area2 = 0; // twice the signed area: its sign says which way the corners run
    for (std::size_t i = 0; i < 4; ++i) {
        const RotatedPoint &p = corners[i], &q = corners[(i + 1) % 4];
        area2 += p.x * q.y - q.x * p.y;
        a.m_centreX += p.x / 4;
        a.m_centreY += p.y / 4;
    }
    const double turn = area2 >= 0 ? 1 : -1;
    for (std::size_t i = 0; i < 4; ++i) {
        const RotatedPoint &p = corners[i], &q = corners[(i + 1) % 4];
        const double dx = q.x - p.x, dy = q.y - p.y, length = std::hypot(dx, dy);
        if (length == 0) return CCoveredArea{};
        const double nx = turn * dy / length, ny = -turn * dx / length;
        a.m_edges.push_back({nx, ny, nx * p.x + ny * p.y - kTurnedMargin});
    }
    return a;
}

bool CCoveredArea::Contains(const SourceArea& area) const {
    if (m_edges.empty() || area.Width() <= 0 || area.Height() <= 0) return false;
    for (const Edge& e : m_edges) {
        // The corner furthest out along the normal.
        const double x = e.nx > 0 ? area.right : area.left;
        const double y = e.ny > 0 ? area.top : area.bottom;
        if (e.nx * x + e.ny * y > e.c + kSlack) return false;
    }
    return true;
}

bool CCoveredArea::Hold(SourceArea& area) const {
    const int w = area.Width(), h = area.Height();
    if (m_edges.empty() || w <= 0 || h <= 0) return false;
    if (Contains(area)) return true;
    // The places of the area's bottom-left corner that keep it inside form a convex
    // polygon: every edge holds it on one side of a line d = n . p. The nearest point
    // of it to where the area is lies on it, on one of its lines or at a crossing.
    const std::size_t n = m_edges.size();
    std::vector<double> d(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Edge& e = m_edges[i];
        d[i] = e.c - std::max(0.0, e.nx * w) - std::max(0.0, e.ny * h);
    }
    auto inside = [&](const Point& p) {
        for (std::size_t i = 0; i < n; ++i)
            if (m_edges[i].nx * p.x + m_edges[i].ny * p.y > d[i] + kSlack) return false;
        return true;
    };
    const Point wanted{double(area.left), double(area.bottom)};
    std::vector<Point> candidates;
    for (std::size_t i = 0; i < n; ++i) {
        const Edge& a = m_edges[i];
        const double off = a.nx * wanted.x + a.ny * wanted.y - d[i];
        candidates.push_back({wanted.x - off * a.nx, wanted.y - off * a.ny});
        for (std::size_t j = i + 1; j < n; ++j) {
            const Edge& b = m_edges[j];
            const double det = a.nx * b.ny - a.ny * b.nx;
            if (std::fabs(det) < 1e-12) continue;
            candidates.push_back(
                {(d[i] * b.ny - a.ny * d[j]) / det, (a.nx * d[j] - d[i] * b.nx) / det});
        }
    }
    auto distance = [&](const Point& p) { return std::hypot(p.x - wanted.x, p.y - wanted.y); };
    const Point* best = nullptr;
    for (const Point& p : candidates)
        if (inside(p) && (!best || distance(p) < distance(*best))) best = &p;
    // Whole pixels: the grid point inside nearest to the nearest place. Where the places
    // inside are a thin sliver, the grid points may lie further in: walk from the
    // nearest place towards the centre, which is inside whenever anything fits.
    const Point centre{m_centreX - w / 2.0, m_centreY - h / 2.0};
    const Point from = best ? *best : centre;
    const double length = std::hypot(centre.x - from.x, centre.y - from.y);
    const int steps = int(std::ceil(length)) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double f = double(i) / steps;
        const Point p{from.x + (centre.x - from.x) * f, from.y + (centre.y - from.y) * f};
        const int x0 = int(std::floor(p.x)), y0 = int(std::floor(p.y));
        double nearest = std::numeric_limits<double>::max();
        bool found = false;
        SourceArea held = area;
        for (int y = y0 - 1; y <= y0 + 2; ++y) {
            for (int x = x0 - 1; x <= x0 + 2; ++x) {
                const SourceArea c{x, y, x + w, y + h};
                const double dist = distance({double(x), double(y)});
                if (dist < nearest && Contains(c)) {
                    nearest = dist;
                    held = c;
                    found = true;
                }
            }
        }
        if (found) {
            area = held;
            return true;
        }
    }
    return false;
}

bool CCoveredArea::Fits(int width, int height) const {
    if (width <= 0 || height <= 0) return false;
    // The covered area is symmetric about its centre: what fits anywhere fits there.
    const int left = int(std::floor(m_centreX - width / 2.0));
    const int bottom = int(std::floor(m_centreY - height / 2.0));
    SourceArea area{left, bottom, left + width, bottom + height};
    return Hold(area);
}

TileSize LargestFrameInside(const CCoveredArea& covered, int mode, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    auto fits = [&](int w, int h) {
        const SourceArea a = TileFootprint(mode, TileFrame{0, 0, w, h});
        return covered.Fits(a.Width(), a.Height());
    };
    if (fits(width, height)) return {width, height};
    // The largest k in [lo, hi] for which test(k) holds, lo assumed to hold.
    auto largest = [](int lo, int hi, auto test) {
        while (lo < hi) {
            const int mid = lo + (hi - lo + 1) / 2;
            if (test(mid))
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    };
    auto scaledHeight = [&](int w) {
        return std::max(1, int(static_cast<long long>(height) * w / width));
    };
    int w = largest(1, width, [&](int k) { return fits(k, scaledHeight(k)); });
    int h = scaledHeight(w);
    w = largest(w, width, [&](int k) { return fits(k, h); });
    h = largest(h, height, [&](int k) { return fits(w, k); });
    return {w, h};
}

} // namespace quiltara
