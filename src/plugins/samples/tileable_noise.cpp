// Sample filter: adds smooth value noise whose lattice wraps around the picture's size, so
// the noise itself is seamless and a tile stays a tile.
#include "../QuiltaraFilter.h"

#include <cstdint>

namespace {

const QuiltaraFilterInfo kFilters[] = {{"Noise", "Tileable Noise"},
                                       {"Noise", "Tileable Noise (Fine)"}};

// A value from -128 to 127 for lattice point (i, j), the same on every run.
int Lattice(uint32_t i, uint32_t j, uint32_t seed) {
    uint32_t v = i * 0x9E3779B1u ^ (j + 0x7F4A7C15u) * 0x85EBCA77u ^ seed;
    v ^= v >> 15;
    v *= 0x2C1B3C6Du;
    v ^= v >> 12;
    return int(v & 0xFF) - 128;
}

int Clamp(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

} // namespace

extern "C" {

QUILTARA_FILTER_EXPORT int QuiltaraFilterApi(void) {
    return QUILTARA_FILTER_API;
}

QUILTARA_FILTER_EXPORT const QuiltaraFilterInfo* QuiltaraFilterList(int* count) {
    *count = 2;
    return kFilters;
}

QUILTARA_FILTER_EXPORT int QuiltaraFilterRun(int index, const QuiltaraImage* src,
                                             QuiltaraImage* dst, const QuiltaraFilterHost* host) {
    if (index < 0 || index > 1) return 1;
    const int w = src->width, h = src->height;
    const int cell = index == 0 ? 16 : 4;
    // A whole number of cells across each side, so the lattice wraps at the edges.
    const int cellsX = w / cell > 0 ? w / cell : 1;
    const int cellsY = h / cell > 0 ? h / cell : 1;
    for (int y = 0; y < h; ++y) {
        // Fixed point: position in cells times 256.
        const long fy = (long)y * cellsY * 256 / h;
        const uint32_t j0 = uint32_t(fy >> 8) % uint32_t(cellsY);
        const uint32_t j1 = (j0 + 1) % uint32_t(cellsY);
        const int ty = int(fy & 255);
        for (int x = 0; x < w; ++x) {
            const long fx = (long)x * cellsX * 256 / w;
            const uint32_t i0 = uint32_t(fx >> 8) % uint32_t(cellsX);
            const uint32_t i1 = (i0 + 1) % uint32_t(cellsX);
            const int tx = int(fx & 255);
            const int top = Lattice(i0, j0, 1) * (256 - tx) + Lattice(i1, j0, 1) * tx;
            const int bottom = Lattice(i0, j1, 1) * (256 - tx) + Lattice(i1, j1, 1) * tx;
            const int n = (top * (256 - ty) + bottom * ty) >> 16; // -128 .. 127
            const int delta = n * 3 / 8;                          // about a 15 % swing
            const uint32_t p = src->pixels[(long)y * src->pitch + x];
            const int b = Clamp(int(p & 0xFF) + delta);
            const int g = Clamp(int((p >> 8) & 0xFF) + delta);
            const int r = Clamp(int((p >> 16) & 0xFF) + delta);
            dst->pixels[(long)y * dst->pitch + x] =
                (p & 0xFF000000u) | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
        }
        if (host->progress) host->progress(host->context, y + 1, h);
    }
    return 0;
}
}
