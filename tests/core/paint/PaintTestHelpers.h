#pragma once
#include "core/image/DIBSection2.h"
#include "core/paint/DabPainter.h"

#include <array>
#include <cstdint>

namespace quiltara::test {

using Bgr = std::array<int, 3>;

/// A w x h picture of one colour (blue, green, red) and one alpha.
inline void MakeSolid(CDIBSection2& pic, int w, int h, Bgr bgr, int alpha = 255) {
    pic.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = pic.PixelAt(x, y);
            p[0] = std::uint8_t(bgr[0]), p[1] = std::uint8_t(bgr[1]), p[2] = std::uint8_t(bgr[2]);
            p[3] = std::uint8_t(alpha);
        }
}

inline Bgr At(const CDIBSection2& pic, int x, int y) {
    const std::uint8_t* p = pic.PixelAt(x, y);
    return {p[0], p[1], p[2]};
}

inline void Set(CDIBSection2& pic, int x, int y, Bgr bgr) {
    std::uint8_t* p = pic.PixelAt(x, y);
    p[0] = std::uint8_t(bgr[0]), p[1] = std::uint8_t(bgr[1]), p[2] = std::uint8_t(bgr[2]);
}

/// The pixel at picture coordinates (x, row from the top).
inline Bgr AtPicture(const CDIBSection2& pic, int x, int row) {
    return At(pic, x, pic.GetHeight() - 1 - row);
}

/// A w x h picture whose blue is the column and green the row from the top; red 0.
inline void MakeGradient(CDIBSection2& pic, int w, int h) {
    MakeSolid(pic, w, h, Bgr{0, 0, 0});
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) Set(pic, x, h - 1 - row, Bgr{x, row, 0});
}

/// One opaque dab as large as the picture laid with a colour source (the kind says
/// which), so that every pixel shows the operator's colour for it.
inline void ApplySource(CDIBSection2& pic, int kind, IDabColorSource& source, int offsetX = 0,
                        int offsetY = 0, int blendMode = 0) {
    CDIBSection2 read, stamp;
    read.Copy(&pic);
    MakeSolid(stamp, pic.GetWidth(), pic.GetHeight(), Bgr{0, 0, 0});
    CDabArgs args;
    args.stamp = &stamp;
    args.colorSource = kind;
    args.customSource = &source;
    args.offsetX = offsetX, args.offsetY = offsetY;
    args.blendMode = blendMode;
    PaintDab(pic, read, args);
}

} // namespace quiltara::test
