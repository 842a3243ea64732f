#pragma once
#include "core/image/DIBSection2.h"

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

} // namespace quiltara::test
