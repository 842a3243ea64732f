#pragma once
#include <algorithm>
#include <cstdint>

namespace quiltara {

class CRuntimeRandom;

/// What a per-pixel filter operation reads: the engine's source copy (32-bit pixels,
/// memory rows), its size, the current parameter values and the engine's scratch
/// memory. Neighbourhood reads REPEAT the edge pixel (coordinates are clamped); only
/// the Gaussian and the unsharp mask wrap around.
struct FilterPixelContext {
    const std::uint8_t* source = nullptr;
    int width = 0;
    int height = 0;
    int P[8] = {};
    int* scratch = nullptr; // 256 entries
    CRuntimeRandom* random = nullptr;

    /// Channel c (0 red, 1 green, 2 blue) at (px, py), clamped to the picture.
    int S(int px, int py, int c) const {
        px = std::clamp(px, 0, width - 1);
        py = std::clamp(py, 0, height - 1);
        return source[(std::size_t(py) * std::size_t(width) + std::size_t(px)) * 4 +
                      std::size_t(2 - c)];
    }
    int ScratchGet(int i) const { return i >= 0 && i < 256 ? scratch[i] : 0; }
    void ScratchSet(int i, int v) const {
        if (i >= 0 && i < 256) scratch[i] = v;
    }
};

/// Computes red, green and blue of pixel (x, y), not yet clamped.
using FilterPixelOp = void (*)(const FilterPixelContext& ctx, int x, int y, int out[3]);

/// The operation of a slot, null for slots without one (the Gaussians and the empty
/// slots included).
FilterPixelOp PixelOperationFor(int slot);

/// True for operations that must see the pixels in order, one at a time (they draw
/// random numbers or keep values in the scratch memory).
bool PixelOperationIsSequential(int slot);

// The shared arithmetic, exposed for the tests.
namespace filter_math {
int Luminance(int r, int g, int b);
int Map(const FilterPixelContext& ctx, int i, int lo, int hi);
int Blend(double a, double b, double t, double d);
int Lerp(double v, double x0, double x1, double y0, double y1);
int Sin512(long long k);
int Cos512(long long k);
int Angle(double u, double v);
int Rand(CRuntimeRandom& random, int a, int b);
} // namespace filter_math

} // namespace quiltara
