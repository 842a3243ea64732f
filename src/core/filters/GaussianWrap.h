#pragma once
#include <cstdint>
#include <vector>

namespace quiltara {

class IProgressReporter;

// The Gaussian blur and the unsharp mask WRAP around the picture's edges: column
// W - 1 is blurred with column 0 and the top row with the bottom one, so a tile stays
// seamless. Pixels are 32-bit (blue, green, red, alpha), rows in memory order without
// gaps; only the three colour bytes are filtered, alpha is copied from the source.

/// sigma = 10^(r/128) - 1 for the slider value r (0..255).
double GaussianSigma(int radiusValue);

/// The normalised single-precision weights for slider value r: 2g + 1 taps with
/// g = trunc((sigma + 1.5) * 2). Empty when r is 0 or sigma is not positive.
std::vector<float> GaussianKernel(int radiusValue);

/// Two passes (rows, then columns) through a byte buffer. Each output channel is the
/// sum over the taps, in order, of weight times value, accumulated in single precision
/// with fused multiply-adds, then clamped to 0..255 and truncated. Both cores work;
/// the result does not depend on how many. With an empty kernel dst becomes a copy
/// of src. src and dst must not overlap. Reports "Working" with range w + h.
void GaussianBlurWrap(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int radiusValue,
                      IProgressReporter* progress = nullptr);

/// Unsharp mask with amount value a (a/128, 0..1.99), blur radius value r and
/// threshold t: d = source - blurred, d = 0 where |2d| < t, result
/// clamp(trunc(a/128 * d + source)). With an empty kernel dst becomes a copy of src.
void UnsharpMaskWrap(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int amountValue,
                     int radiusValue, int threshold, IProgressReporter* progress = nullptr);

} // namespace quiltara
