#pragma once
#include <array>
#include <cstdint>

namespace quiltara {

// The Filters menu items that run at once. All take 32-bit pixels (blue, green, red,
// alpha; alpha untouched), rows in memory order without gaps. Every 3 x 3
// neighbourhood here REPEATS THE EDGE pixel: a missing row is the current row, a
// missing column the current column. Nothing wraps around.

enum class BlurSharpenMode { Blur, Sharpen };

/// Blur, Blur More (amount 50, 100, blur) and Sharpen, Sharpen More (10, 20, sharpen).
/// Works in place in memory-row order, so the neighbours in the previous row and to
/// the left are already filtered when a pixel is computed. amount is clamped to 0..100.
void BlurSharpenRepeatEdge(std::uint8_t* pixels, int width, int height, int amount,
                           BlurSharpenMode mode);
void Blur(std::uint8_t* pixels, int width, int height);
void BlurMore(std::uint8_t* pixels, int width, int height);
void Sharpen(std::uint8_t* pixels, int width, int height);
void SharpenMore(std::uint8_t* pixels, int width, int height);

/// Each channel becomes the median of its 3 x 3 neighbourhood (edge repeated).
void MedianCutRepeatEdge(std::uint8_t* pixels, int width, int height);

/// One pass of speckle reduction by complementary hulling on each channel. The
/// planes are framed by ZEROS (not the edge), so a bright picture darkens at its border.
void Despeckle(std::uint8_t* pixels, int width, int height);

/// Despeckled copy where bright, sharpened copy where dark.
void AutoCleanSkin(std::uint8_t* pixels, int width, int height);

/// The 256-entry palette of Thermo Vision as red, green, blue.
std::array<std::array<std::uint8_t, 3>, 256> ThermoPalette();
/// Every pixel takes the palette entry of its luminance (76 R + 150 G + 29 B) >> 8.
void ThermoVision(std::uint8_t* pixels, int width, int height);

} // namespace quiltara
