#include "core/tiling/TileSurroundings.h"

#include <algorithm>

namespace quiltara {

TileSelection ClampedSelection(const TileFrame& frame, int width, int height) {
    TileSelection s;
    s.left = std::max(frame.left, 0);
    s.bottom = std::max(frame.top - frame.height, 0);
    s.right = std::min(frame.left + frame.width, width - 1);
    s.top = std::min(frame.top, height - 1);
    return s;
}

void CutSurroundings(const CDIBSection2& source, const TileSelection& selection, int tileW,
                     int tileH, Surroundings& out) {
    out.offsetX = out.offsetY = 0;
    out.image.MakeEmpty();
    if (source.IsEmpty() || source.GetBitsPerPixel() != 32) return;
    // 64-bit sums: a selection far outside the source must not overflow.
    const long long left = (long long)selection.left - tileW;
    const long long bottom = (long long)selection.bottom - tileH;
    const long long right = (long long)selection.left + 2LL * tileW;
    const long long top = (long long)selection.bottom + 2LL * tileH;
    const long long clippedLeft = std::max(left, 0LL), clippedBottom = std::max(bottom, 0LL);
    const long long clippedRight = std::min<long long>(right, source.GetWidth());
    const long long clippedTop = std::min<long long>(top, source.GetHeight());
    if (clippedRight <= clippedLeft || clippedTop <= clippedBottom) return;
    // Crop takes memory rows as top..bottom of its rectangle: here bottom..top.
    CRect rect{int(clippedLeft), int(clippedBottom), int(clippedRight), int(clippedTop)};
    out.image.Crop(&source, rect);
    out.offsetX = int(selection.left - clippedLeft);
    out.offsetY = int(selection.bottom - clippedBottom);
}

} // namespace quiltara
