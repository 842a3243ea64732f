#pragma once

namespace quiltara {

/// A rectangle as left, top, right, bottom; right and bottom are exclusive.
/// Which rows "top" means (picture rows or memory rows) is said by each user.
struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    /// Swaps reversed edges so that left <= right and top <= bottom.
    CRect Normalized() const {
        CRect r = *this;
        if (r.left > r.right) {
            int t = r.left;
            r.left = r.right;
            r.right = t;
        }
        if (r.top > r.bottom) {
            int t = r.top;
            r.top = r.bottom;
            r.bottom = t;
        }
        return r;
    }
    bool operator==(const CRect&) const = default;
};

} // namespace quiltara
