#include "core/paint/LineBridge.h"

#include "core/base/RuntimeRandom.h"
#include "core/base/WrapIndex.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

namespace {

// Guide ends far beyond any picture behave alike; keeping them there leaves room for
// the jitter and the anchors' sums.
constexpr double kFar = 1e8;

int ToPixel(double v) {
    if (!(v == v)) return 0; // not a number
    return int(std::floor(std::clamp(v, -kFar, kFar) + 0.5));
}

} // namespace

void CLineBridgeSource::SetGuide(double x1, double y1, double x2, double y2) {
    m_guide.x1 = ToPixel(x1), m_guide.y1 = ToPixel(y1);
    m_guide.x2 = ToPixel(x2), m_guide.y2 = ToPixel(y2);
    m_guide.horizontal = GuideIsHorizontal(x2 - x1, y2 - y1);
}

int CLineBridgeSource::Jitter() {
    return int(m_random.Next() * (1.0 / 32767) * 4 + 0.1) - 2;
}

void CLineBridgeSource::ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p,
                                int c[3]) {
    c[0] = p.u[0], c[1] = p.u[1], c[2] = p.u[2];
    if (p.stamp[3] == 0) return; // never written
    const int W = read.GetWidth(), H = read.GetHeight();
    // The span and the pixel's place along it: columns for a horizontal guide, memory
    // rows for a vertical one.
    const bool across = m_guide.horizontal;
    const int end1 = across ? m_guide.x1 : H - 1 - m_guide.y1;
    const int end2 = across ? m_guide.x2 : H - 1 - m_guide.y2;
    const int n = across ? W : H;
    const int at = across ? p.x : p.y;
    const int lo = std::min(end1, end2), hi = std::max(end1, end2);
    if (at < lo || at > hi) return;
    const int a = std::clamp(lo + Jitter(), 0, n - 1);
    const int b = std::clamp(hi + Jitter(), 0, n - 1);
    const int f = (lo + a) / 2, g = (hi + b) / 2;
    const std::uint8_t* k1 =
        across ? read.PixelAt(WrapIndex(f, W), p.Y) : read.PixelAt(p.X, WrapIndex(f, H));
    const std::uint8_t* k2 =
        across ? read.PixelAt(WrapIndex(g, W), p.Y) : read.PixelAt(p.X, WrapIndex(g, H));
    for (int i = 0; i < 3; ++i) {
        if (f == g) {
            c[i] = k1[i];
            continue;
        }
        const double v = k1[i] + double(at - f) * (k2[i] - k1[i]) / (g - f);
        c[i] = int(std::clamp(v, 0.0, 255.0));
    }
}

} // namespace quiltara
