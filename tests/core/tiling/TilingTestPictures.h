#pragma once
// Pictures for the tiling tests: gray values placed by hand, and a photo-like
// picture (smooth shapes, texture and grain) made from a fixed seed.
#include "core/image/DIBSection2.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace quiltara::test {

/// A gray picture from rows given bottom buffer row first; alpha 255.
inline void MakeGray(CDIBSection2& pic, const std::vector<std::vector<int>>& bufferRows) {
    const int h = int(bufferRows.size()), w = int(bufferRows[0].size());
    pic.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = pic.PixelAt(x, y);
            p[0] = p[1] = p[2] = std::uint8_t(bufferRows[std::size_t(y)][std::size_t(x)]);
            p[3] = 255;
        }
}

inline int GrayAt(const CDIBSection2& pic, int x, int y) {
    return pic.PixelAt(x, y)[0];
}

/// The picture grown by margin pixels on every side, each new pixel a copy of the
/// nearest edge pixel.
inline void PadWithEdges(const CDIBSection2& src, int margin, CDIBSection2& out) {
    const int w = src.GetWidth(), h = src.GetHeight();
    out.Create(w + 2 * margin, h + 2 * margin, 32, true);
    for (int y = 0; y < out.GetHeight(); ++y)
        for (int x = 0; x < out.GetWidth(); ++x) {
            const int sx = std::min(std::max(x - margin, 0), w - 1);
            const int sy = std::min(std::max(y - margin, 0), h - 1);
            for (int c = 0; c < 4; ++c) out.PixelAt(x, y)[c] = src.PixelAt(sx, sy)[c];
        }
}

/// Something like a photograph of a surface: a few large soft blobs, a finer
/// texture and some grain, different in each channel.
inline void MakePhotoLike(CDIBSection2& pic, int w, int h, std::uint32_t seed = 3) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    struct Wave {
        double fx, fy, phase, amp;
    };
    std::vector<Wave> waves;
    for (int i = 0; i < 24; ++i) {
        const double scale = i < 6 ? 0.01 : (i < 14 ? 0.05 : 0.15);
        waves.push_back({scale * (u(rng) - 0.5) * 2, scale * (u(rng) - 0.5) * 2, u(rng) * 6.283,
                         i < 6 ? 40.0 : (i < 14 ? 14.0 : 5.0)});
    }
    std::normal_distribution<double> grain(0, 4);
    pic.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = 128;
            for (const Wave& wv : waves) v += wv.amp * std::sin(wv.fx * x + wv.fy * y + wv.phase);
            std::uint8_t* p = pic.PixelAt(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp(v + c * 12 - 12 + grain(rng), 0.0, 255.0));
            p[3] = 255;
        }
}

} // namespace quiltara::test
