#include "core/tiling/TileEffects.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quiltara {

namespace {

// Reads outside the source take its nearest edge pixel.
inline const std::uint8_t* ClampedPixel(const CDIBSection2& source, int x, int y) {
    x = std::clamp(x, 0, source.GetWidth() - 1);
    y = std::clamp(y, 0, source.GetHeight() - 1);
    return source.PixelAt(x, y);
}

inline void CopyPixel(std::uint8_t* d, const std::uint8_t* s) {
    std::memcpy(d, s, 4);
}

bool Usable(const CDIBSection2& source) {
    return !source.IsEmpty() && source.GetBitsPerPixel() == 32 && source.GetWidth() > 0 &&
           source.GetHeight() > 0;
}

// The framed area, tileW x tileH, its bottom buffer row at bottom.
void CopyFrame(const CDIBSection2& source, int left, int bottom, int w, int h, CDIBSection2& tile) {
    tile.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            CopyPixel(tile.PixelAt(x, y), ClampedPixel(source, left + x, bottom + y));
}

// The four-fold mirror, in place and in the order given, each write seeing the
// earlier ones: the right half takes the left half mirrored, then the upper half of
// the picture the lower half.
void MirrorFourFold(CDIBSection2& tile) {
    const int d = tile.GetWidth(), g = tile.GetHeight();
    for (int y = 0; y < g; ++y) {
        for (int k = 0; k <= d / 2; ++k) {
            const int to = std::min(d - 1, d / 2 + k);
            // Narrow tiles (1 or 2 columns) would read column d / 2 + 1 beyond the
            // tile; the column is held inside it as the rows are below.
            const int from = std::min(d - 1, d / 2 + 1 - k);
            if (to != from) CopyPixel(tile.PixelAt(to, y), tile.PixelAt(from, y));
        }
    }
    const std::size_t rowBytes = std::size_t(d) * 4;
    for (int i = 0; i <= g / 2; ++i) {
        const int to = std::min(g - 1, g / 2 + i);
        const int from = std::min(g - 1, std::max(0, g / 2 + 1 - i));
        if (to != from) std::memcpy(tile.PixelAt(0, to), tile.PixelAt(0, from), rowBytes);
    }
}

// The eight-fold mirror: a quadrant folded on its diagonal, mirrored into the four
// corners of a square tile.
void MirrorEightFold(const CDIBSection2& source, int left, int top, int tileW, CDIBSection2& tile) {
    const int m = std::max(tileW, 2);
    const int q = m / 2 + 1;
    // Q(r, c), buffer rows from the quadrant's bottom: the part on and above the
    // diagonal is read as it is and mirrored onto the part below.
    std::vector<std::uint8_t> quadrant(std::size_t(q) * std::size_t(q) * 4);
    auto at = [&](int r, int c) { return quadrant.data() + (std::size_t(r) * q + c) * 4; };
    for (int r = 0; r < q; ++r)
        for (int c = 0; c < q; ++c)
            CopyPixel(at(r, c),
                      ClampedPixel(source, left + std::min(r, c), top - m + std::max(r, c)));
    tile.Create(m, m, 32, true); // starts black
    const int last = m - 1;
    for (int r = 0; r < q; ++r) {
        for (int c = 0; c < q; ++c) {
            const int rr = std::min(r + q, last), cc = std::min(c + q, last);
            // Later writes overwrite earlier ones on the clamped last row and column.
            CopyPixel(tile.PixelAt(c, r), at(r, c)); // q <= m, so r and c are inside
            CopyPixel(tile.PixelAt(cc, r), at(r, q - 1 - c));
            CopyPixel(tile.PixelAt(c, rr), at(q - 1 - r, c));
            CopyPixel(tile.PixelAt(cc, rr), at(q - 1 - r, q - 1 - c));
        }
    }
}

} // namespace

TileSize ResultTileSize(int mode, int tileW, int tileH) {
    tileW = std::max(tileW, 1);
    tileH = std::max(tileH, 1);
    switch (mode) {
    case kTileEffectSunflower: {
        const int m = std::max(tileW, 2);
        return {m, m};
    }
    case kTileEffectWash:
        return {std::max(tileW, 2) / 2, std::max(tileH, 2) / 2};
    default:
        return {tileW, tileH};
    }
}

SourceArea TileFootprint(int mode, const TileFrame& frame) {
    const int w = std::max(frame.width, 1), h = std::max(frame.height, 1);
    SourceArea a{frame.left, frame.top - h, frame.left + w, frame.top};
    switch (mode) {
    case kTileEffectSunflower: {
        // The quadrant: m/2 + 1 columns from the left, rows from top - m up.
        const int m = std::max(w, 2);
        a.right = std::max(a.right, frame.left + m / 2 + 1);
        a.bottom = std::min(a.bottom, frame.top - m);
        break;
    }
    case kTileEffectWash: {
        const int ww = std::max(w, 2), wh = std::max(h, 2);
        const int left = frame.left - ww / 4, bottom = frame.top - wh / 2;
        a = {std::min(a.left, left), std::min(a.bottom, bottom), std::max(a.right, left + ww),
             std::max(a.top, bottom + wh)};
        break;
    }
    default:
        break;
    }
    return a;
}

void ComputeTile(const CDIBSection2& source, const TileFrame& frame, int mode, CDIBSection2& tile) {
    if (!Usable(source)) {
        tile.MakeEmpty();
        return;
    }
    const int w = std::max(frame.width, 1), h = std::max(frame.height, 1);
    switch (mode) {
    case kTileEffectMandalay:
        CopyFrame(source, frame.left, frame.top - h, w, h, tile);
        MirrorFourFold(tile);
        break;
    case kTileEffectSunflower:
        MirrorEightFold(source, frame.left, frame.top, w, tile);
        break;
    case kTileEffectWash: {
        const int ww = std::max(w, 2), wh = std::max(h, 2);
        // The window reaches a quarter of the width left of the frame but half the
        // height below its top, so the tile's first row is the row above the frame.
        CrossFadeTile(source, frame.left - ww / 4, frame.top - wh / 2, ww, wh, tile);
        break;
    }
    default:
        CopyFrame(source, frame.left, frame.top - h, w, h, tile);
        break;
    }
}

void CrossFadeTile(const CDIBSection2& source, int windowLeft, int windowBottom, int width,
                   int height, CDIBSection2& tile) {
    if (!Usable(source)) {
        tile.MakeEmpty();
        return;
    }
    const int w = std::max(width, 2), h = std::max(height, 2);
    const int halfW = w / 2, halfH = h / 2;
    CDIBSection2 scratch;
    CopyFrame(source, windowLeft, windowBottom, w, h, scratch);
    const double stepX = 255.0 / halfW;
    for (int y = 0; y < h; ++y) {
        for (int j = 0; j < halfW; ++j) {
            const int a = int(j * stepX);
            std::uint8_t* near = scratch.PixelAt(j, y);
            const std::uint8_t* far = scratch.PixelAt(j + halfW, y);
            for (int c = 0; c < 3; ++c)
                near[c] = std::uint8_t((far[c] * (255 - a) + near[c] * a) >> 8);
        }
    }
    const double stepY = 255.0 / halfH;
    for (int row = 0; row < halfH; ++row) {
        const int b = int(row * stepY);
        std::uint8_t* near = scratch.PixelAt(0, row);
        const std::uint8_t* far = scratch.PixelAt(0, row + halfH);
        for (int x = 0; x < halfW; ++x, near += 4, far += 4)
            for (int c = 0; c < 3; ++c)
                near[c] = std::uint8_t((far[c] * (255 - b) + near[c] * b) >> 8);
    }
    tile.Create(halfW, halfH, 32, true);
    for (int row = 0; row < halfH; ++row)
        std::memcpy(tile.PixelAt(0, row), scratch.PixelAt(0, row), std::size_t(halfW) * 4);
}

} // namespace quiltara
