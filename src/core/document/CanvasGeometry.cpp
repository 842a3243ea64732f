#include "core/document/CanvasGeometry.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

double CCanvasGeometry::ClampZoom(double z) {
    if (z > kMaxZoom) return kMaxZoom;
    if (z < kMinZoom) return kMinZoom;
    return z;
}

double CCanvasGeometry::RoundZoom(double z) {
    return ClampZoom(R(z * 10) * 0.1);
}

void CCanvasGeometry::SetClientSize(int width, int height) {
    m_clientWidth = std::max(width, 0);
    m_clientHeight = std::max(height, 0);
    UpdateScrollBars();
}

void CCanvasGeometry::SetImageSize(int width, int height) {
    m_imageWidth = std::max(width, 0);
    m_imageHeight = std::max(height, 0);
}

void CCanvasGeometry::CenterImage() {
    m_originX = int((m_clientWidth - m_imageWidth * m_zoom) * 0.5);
    m_originY = int((m_clientHeight - m_imageHeight * m_zoom) * 0.5);
    UpdateScrollBars();
}

CCanvasGeometry::Point CCanvasGeometry::ImageToClient(int x, int y) const {
    return {R(x * m_zoom + m_originX), R(y * m_zoom + m_originY)};
}

CCanvasGeometry::Point CCanvasGeometry::ClientToImage(int x, int y) const {
    return {R((x - m_originX) / m_zoom), R((y - m_originY) / m_zoom)};
}

CCanvasGeometry::Point CCanvasGeometry::Wrap(int x, int y) const {
    if (m_imageWidth <= 0 || m_imageHeight <= 0) return {0, 0};
    int wx = x % m_imageWidth, wy = y % m_imageHeight;
    if (wx < 0) wx += m_imageWidth;
    if (wy < 0) wy += m_imageHeight;
    return {wx, wy};
}

void CCanvasGeometry::SetZoom(double z) {
    const Point centre = ClientToImage(m_clientWidth / 2, m_clientHeight / 2);
    m_zoom = RoundZoom(z);
    CenterOn(centre.x, centre.y);
}

void CCanvasGeometry::CenterOn(int x, int y) {
    m_originX = int(m_clientWidth / 2 - x * m_zoom);
    m_originY = int(m_clientHeight / 2 - y * m_zoom);
    UpdateScrollBars();
}

void CCanvasGeometry::FitToWindow() {
    if (m_imageWidth <= 0 || m_imageHeight <= 0) return;
    const double z =
        std::min(double(m_clientWidth) / m_imageWidth, double(m_clientHeight) / m_imageHeight);
    m_zoom = RoundZoom(z);
    CenterOn(m_imageWidth / 2, m_imageHeight / 2);
}

void CCanvasGeometry::ZoomToolRelease(Point press, Point release) {
    const int w = std::abs(release.x - press.x), h = std::abs(release.y - press.y);
    if (w > 2 && h > 2) {
        const double z =
            std::min(double(m_clientWidth + 1) / w, double(m_clientHeight + 1) / h) * m_zoom;
        const Point centre = ClientToImage((press.x + release.x) / 2, (press.y + release.y) / 2);
        m_zoom = RoundZoom(z);
        CenterOn(centre.x, centre.y);
    } else {
        const Point at = ClientToImage(release.x, release.y);
        m_zoom = ClampZoom(m_zoom * 1.4);
        CenterOn(at.x, at.y);
    }
}

void CCanvasGeometry::ZoomOutAt(Point client, double factor) {
    const Point at = ClientToImage(client.x, client.y);
    m_zoom = std::max(R(m_zoom * factor * 10) * 0.1, kMinZoom);
    CenterOn(at.x, at.y);
}

void CCanvasGeometry::MoveBy(int dx, int dy) {
    m_originX += dx;
    m_originY += dy;
    UpdateScrollBars();
}

void CCanvasGeometry::UpdateScrollBars() {
    auto axis = [this](int image, int client, int& origin, int& range, int& lead) {
        const double tile = image * m_zoom;
        const int span = int(3 * tile - client);
        if (span < 0) {
            origin = int((client - tile) * 0.5);
            range = 0;
            lead = origin;
        } else {
            // From the left neighbour's left edge at the window's left edge to the
            // right neighbour's right edge at its right edge.
            lead = int(tile);
            origin = std::clamp(origin, lead - span, lead);
            range = span;
        }
    };
    axis(m_imageWidth, m_clientWidth, m_originX, m_hRange, m_hLead);
    axis(m_imageHeight, m_clientHeight, m_originY, m_vRange, m_vLead);
}

void CCanvasGeometry::ScrollByWheel(int angleX, int angleY) {
    MoveBy(angleX * kWheelStep / 120, angleY * kWheelStep / 120);
}

void CCanvasGeometry::ZoomAt(Point client, double z) {
    const double x = (client.x - m_originX) / m_zoom, y = (client.y - m_originY) / m_zoom;
    m_zoom = RoundZoom(z);
    m_originX = int(std::lround(client.x - x * m_zoom));
    m_originY = int(std::lround(client.y - y * m_zoom));
    UpdateScrollBars();
}

double CCanvasGeometry::WheelZoom(double zoom, int notches) {
    double z = zoom;
    for (int i = 0; i < std::abs(notches); ++i) {
        const double next = RoundZoom(notches > 0 ? z * 1.25 : z / 1.25);
        z = next != z ? next : RoundZoom(notches > 0 ? z + 0.1 : z - 0.1);
    }
    return z;
}

void CCanvasGeometry::Scroll(bool horizontal, ScrollCode code, int thumb) {
    int& origin = horizontal ? m_originX : m_originY;
    const int range = horizontal ? m_hRange : m_vRange;
    const int lead = horizontal ? m_hLead : m_vLead;
    int pos = lead - origin;
    switch (code) {
    case ScrollCode::LineUp:
        pos -= 5;
        break;
    case ScrollCode::LineDown:
        pos += 5;
        break;
    case ScrollCode::PageUp:
        pos -= 20;
        break;
    case ScrollCode::PageDown:
        pos += 20;
        break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack:
        pos = thumb;
        break;
    case ScrollCode::Other:
        return;
    }
    origin = lead - std::clamp(pos, 0, range);
}

int CCanvasGeometry::VisibleTileParts(const CRect& clip, TilePart out[9]) const {
    if (m_imageWidth <= 0 || m_imageHeight <= 0 || clip.IsEmpty()) return 0;
    const double zw = m_imageWidth * m_zoom, zh = m_imageHeight * m_zoom;
    // Zoomed drawing starts and ends on multiples of 10 image pixels, so that the
    // smoothing of the stretch does not shift as the window scrolls.
    const double step = m_zoom == 1.0 ? 1.0 : 10.0 * m_zoom;
    auto span = [step](double from, double to, double limit, int imageSize, double zoom, int& first,
                       int& last) {
        double a = std::trunc(from / step) * step;
        double b = std::trunc(to / step + 1) * step;
        if (step == 1.0) a = std::floor(from), b = std::ceil(to);
        a = std::clamp(a, 0.0, limit);
        b = std::clamp(b, 0.0, limit);
        first = std::clamp(int(std::floor(a / zoom)), 0, imageSize);
        last = std::clamp(int(std::ceil(b / zoom)), 0, imageSize);
    };
    static const int order[9][2] = {{0, 0}, {-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                    {1, 0}, {-1, 1},  {0, 1},  {1, 1}};
    int count = 0;
    for (const auto& o : order) {
        const double tileX = m_originX + o[0] * zw, tileY = m_originY + o[1] * zh;
        int x0, x1, y0, y1;
        span(clip.left - tileX, clip.right - tileX, zw, m_imageWidth, m_zoom, x0, x1);
        span(clip.top - tileY, clip.bottom - tileY, zh, m_imageHeight, m_zoom, y0, y1);
        if (x1 <= x0 || y1 <= y0) continue;
        TilePart& part = out[count++];
        part.source = {x0, y0, x1, y1};
        part.destX = tileX + x0 * m_zoom;
        part.destY = tileY + y0 * m_zoom;
        part.destW = (x1 - x0) * m_zoom;
        part.destH = (y1 - y0) * m_zoom;
    }
    return count;
}

} // namespace quiltara

namespace quiltara {
double ZoomFromBoxText(const char* text) {
    int value = 0;
    bool any = false;
    for (const char* p = text; p && *p >= '0' && *p <= '9'; ++p) {
        any = true;
        value = value * 10 + (*p - '0');
        if (value > 100000) break;
    }
    return (any ? value : 100) * 0.01;
}
} // namespace quiltara
