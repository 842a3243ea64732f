#include "core/base/PanelGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace quiltara {

namespace {
// Two spans overlap when an end of either lies within the other, ends included.
bool SpansOverlap(int a0, int a1, int b0, int b1) {
    auto within = [](int v, int lo, int hi) { return lo <= v && v <= hi; };
    return within(a0, b0, b1) || within(a1, b0, b1) || within(b0, a0, a1) || within(b1, a0, a1);
}

bool Near(int a, int b, int threshold) {
    return std::abs(a - b) <= threshold;
}

struct StartPoint {
    bool fromRight; // x counts from the work area's right edge, else from its left
    int x, y;
};
constexpr StartPoint kStartPoints[kPanelCount] = {
    {true, -140, 60},  // colour and texture
    {true, -140, 295}, // brushes
    {false, 10, 70},   // tools
    {true, -280, 60},  // stamp
    {false, 80, 480},  // retouch
    {false, 80, 530},  // effects
    {true, -280, 290}, // clone
};
} // namespace

PanelStripHit HitPanelStrip(int x, int y) {
    if (y < 0 || y >= kPanelStripHeight) return PanelStripHit::None;
    if (x > kPanelCollapseButtonX && x < kPanelCollapseButtonX + 10) return PanelStripHit::Collapse;
    if (x > kPanelCloseButtonX && x < kPanelCloseButtonX + 10) return PanelStripHit::Close;
    return PanelStripHit::None;
}

CRect DragPanel(const CRect& current, int dx, int dy, const CRect& workArea,
                std::span<const CRect> others) {
    const int w = current.Width(), h = current.Height();
    int left = current.left + dx, top = current.top + dy;

    // The work area's edges pull first.
    if (Near(left, workArea.left, kPanelWorkAreaSnap))
        left = workArea.left;
    else if (Near(left + w, workArea.right, kPanelWorkAreaSnap))
        left = workArea.right - w;
    if (Near(top, workArea.top, kPanelWorkAreaSnap))
        top = workArea.top;
    else if (Near(top + h, workArea.bottom, kPanelWorkAreaSnap))
        top = workArea.bottom - h;
    const int areaLeft = left, areaTop = top;

    // Then the other panels, one after the other; both tests against a panel look at the
    // place as it was before that panel.
    constexpr int s = kPanelNeighbourSnap;
    for (const CRect& q : others) {
        const int l0 = left, t0 = top;
        if (SpansOverlap(t0, t0 + h, q.top, q.bottom)) {
            bool beside = true;
            if (Near(l0, q.right, s))
                left = q.right;
            else if (Near(l0 + w, q.left, s))
                left = q.left - w;
            else
                beside = false;
            if (beside) {
                if (Near(t0, q.top, s))
                    top = q.top;
                else if (Near(t0 + h, q.bottom, s))
                    top = q.bottom - h;
            }
        }
        if (SpansOverlap(l0, l0 + w, q.left, q.right)) {
            bool stacked = true;
            if (Near(t0, q.bottom, s))
                top = q.bottom;
            else if (Near(t0 + h, q.top, s))
                top = q.top - h;
            else
                stacked = false;
            if (stacked) {
                if (std::abs(left - q.left) < s + 1)
                    left = q.left;
                else if (Near(left + w, q.right, s))
                    left = q.right - w;
            }
        }
    }
    if (left < 0 || top < 0) {
        left = areaLeft;
        top = areaTop;
    }
    return {left, top, left + w, top + h};
}

CRect RestorePanelRect(const CRect& saved, const CRect& workArea, int width, int height) {
    if (saved.right == 0) return {};
    const int left =
        std::max(std::min(saved.left, workArea.right - kPanelRestoreMargin), workArea.left);
    const int top =
        std::max(std::min(saved.top, workArea.bottom - kPanelRestoreMargin), workArea.top);
    if (width <= 0 || height <= 0) {
        // The settings may hold anything: the size is worked out wide and kept sane.
        constexpr long long kMost = 1 << 15;
        width = int(std::clamp((long long)saved.right - saved.left, 20LL, kMost));
        height = int(std::clamp((long long)saved.bottom - saved.top, 10LL, kMost));
    }
    return {left, top, left + width, top + height};
}

CRect PanelStartRect(int panel, const CRect& workArea, int width, int height) {
    const StartPoint& p = kStartPoints[std::clamp(panel, 0, kPanelCount - 1)];
    int left = (p.fromRight ? workArea.right : workArea.left) + p.x;
    int top = p.y;
    left = std::max(std::min(left, workArea.right - width), workArea.left);
    top = std::max(std::min(top, workArea.bottom - height), workArea.top);
    return {left, top, left + width, top + height};
}

CRect PlaceBubble(int x, int y, int width, int height, const CRect& desktop) {
    int left = x < 0 ? -x - width / 2 : x;
    int top = std::max(y, 0);
    if (left + width > desktop.right) left = desktop.right - width - 1;
    if (top + height > desktop.bottom) top = desktop.bottom - height - 1;
    return {left, top, left + width, top + height};
}

} // namespace quiltara
