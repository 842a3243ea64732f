#include "core/filters/RightAngle.h"

#include "core/base/ParallelFor.h"
#include "core/image/DIBSection2.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace quiltara {

namespace {

// Destination tiles keep both the rows read and the rows written in the cache.
constexpr int kTile = 64;

// dst (dw x dh) from src (sw x sh): dst(x, y) = src(mapX(x, y), mapY(x, y)) where the
// mapping is one of the three right-angle turns in memory coordinates (rows upwards).
template <typename Map>
void Turn(const std::uint32_t* src, int sw, std::uint32_t* dst, int dw, int dh, Map map) {
    const int tileRows = (dh + kTile - 1) / kTile;
    ParallelFor(tileRows, 1, [&](int begin, int end) {
        for (int ty = begin; ty < end; ++ty) {
            const int y0 = ty * kTile, y1 = std::min(dh, y0 + kTile);
            for (int x0 = 0; x0 < dw; x0 += kTile) {
                const int x1 = std::min(dw, x0 + kTile);
                for (int y = y0; y < y1; ++y) {
                    std::uint32_t* d = dst + std::size_t(y) * std::size_t(dw);
                    for (int x = x0; x < x1; ++x) {
                        int sx, sy;
                        map(x, y, sx, sy);
                        d[x] = src[std::size_t(sy) * std::size_t(sw) + std::size_t(sx)];
                    }
                }
            }
        }
    });
}

} // namespace

namespace {

// Transposes a square picture in place: afterwards pixel (x, y) holds what was at
// (y, x). It goes in blocks of 16 x 16 pixels, each row of a block one cache line: a
// block and its mirror are read whole into two small buffers and written back crossed,
// so the column-wise side never walks a power-of-two stride one pixel at a time.
void TransposeSquare(std::uint32_t* p, int n) {
    constexpr int kBlock = 16;
    const std::size_t stride = std::size_t(n);
    const int blocks = n / kBlock;
    auto at = [p, stride](int x, int y) { return p + std::size_t(y) * stride + std::size_t(x); };
    ParallelFor(blocks, 1, [&](int begin, int end) {
        std::uint32_t a[kBlock][kBlock], b[kBlock][kBlock];
        for (int by = begin; by < end; ++by) {
            const int y0 = by * kBlock;
            for (int bx = by; bx < blocks; ++bx) {
                const int x0 = bx * kBlock;
                for (int i = 0; i < kBlock; ++i) std::memcpy(a[i], at(x0, y0 + i), sizeof a[i]);
                if (bx != by)
                    for (int i = 0; i < kBlock; ++i) std::memcpy(b[i], at(y0, x0 + i), sizeof b[i]);
                else
                    std::memcpy(b, a, sizeof a);
                for (int i = 0; i < kBlock; ++i) {
                    std::uint32_t* upper = at(x0, y0 + i);
                    std::uint32_t* lower = at(y0, x0 + i);
                    for (int j = 0; j < kBlock; ++j) {
                        upper[j] = b[j][i];
                        lower[j] = a[j][i];
                    }
                }
            }
        }
    });
    // The last columns and rows when the side is not a whole number of blocks.
    for (int y = 0; y < n; ++y)
        for (int x = std::max(blocks * kBlock, y + 1); x < n; ++x) std::swap(*at(x, y), *at(y, x));
}

// Turns src (w x h) into dst (h x w); dst must not overlap src.
void TurnInto(const std::uint32_t* src, int w, int h, std::uint32_t* dst, int code) {
    if (code == kRotate90CW) {
        // Clockwise on screen: the picture's top-left corner becomes its top-right.
        Turn(src, w, dst, h, w, [w](int x, int y, int& sx, int& sy) {
            sx = w - 1 - y;
            sy = x;
        });
    } else {
        Turn(src, w, dst, h, w, [h](int x, int y, int& sx, int& sy) {
            sx = y;
            sy = h - 1 - x;
        });
    }
}

} // namespace

void RotateRightAngle(std::uint8_t* pixels, int width, int height, int code) {
    if (!pixels || width <= 0 || height <= 0 || code < 0 || code > 2) return;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    auto* p = reinterpret_cast<std::uint32_t*>(pixels);
    if (code == kRotate180) {
        std::reverse(p, p + count);
        return;
    }
    if (width == height) {
        // A square turns in place: the transpose, then the rows (clockwise) or each
        // row's pixels (anticlockwise) in reverse order.
        TransposeSquare(p, width);
        if (code == kRotate90CW)
            FlipVertical(pixels, width * 4, height);
        else
            FlipHorizontal(pixels, width, height);
        return;
    }
    // Left uninitialised: the turn writes every pixel. May throw, leaving the pixels as
    // they were.
    std::unique_ptr<std::uint32_t[]> turned(new std::uint32_t[count]);
    TurnInto(p, width, height, turned.get(), code);
    std::memcpy(pixels, turned.get(), count * 4);
}

void FlipVertical(std::uint8_t* pixels, int bytesPerRow, int height) {
    if (!pixels || bytesPerRow <= 0 || height <= 1) return;
    const std::size_t stride = std::size_t(bytesPerRow);
    ParallelFor(height / 2, 64, [&](int begin, int end) {
        std::vector<std::uint8_t> row(stride);
        for (int i = begin; i < end; ++i) {
            std::uint8_t* a = pixels + std::size_t(i) * stride;
            std::uint8_t* b = pixels + std::size_t(height - 1 - i) * stride;
            std::memcpy(row.data(), a, stride);
            std::memcpy(a, b, stride);
            std::memcpy(b, row.data(), stride);
        }
    });
}

void FlipHorizontal(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 1 || height <= 0) return;
    ParallelFor(height, 64, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* row =
                reinterpret_cast<std::uint32_t*>(pixels + std::size_t(y) * std::size_t(width) * 4);
            std::reverse(row, row + width);
        }
    });
}

bool RotatePictureRightAngle(CDIBSection2& picture, int code) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 || code < 0 || code > 2) return false;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    if (code == kRotate180) {
        RotateRightAngle(picture.GetBits(), w, h, code);
        return true;
    }
    if (w == h) {
        RotateRightAngle(picture.GetBits(), w, h, code);
        return true;
    }
    // Turned into a buffer of its own first, so that a failed allocation leaves the
    // picture as it was.
    const std::size_t count = std::size_t(w) * std::size_t(h);
    std::unique_ptr<std::uint32_t[]> turned(new std::uint32_t[count]);
    TurnInto(reinterpret_cast<const std::uint32_t*>(picture.GetBits()), w, h, turned.get(), code);
    picture.Create(h, w, 32, picture.HasAlpha());
    std::memcpy(picture.GetBits(), turned.get(), count * 4);
    return true;
}

} // namespace quiltara
