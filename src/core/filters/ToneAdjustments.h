#pragma once
#include "core/filters/ChannelLut.h"

#include <cstdint>

namespace quiltara {

// One-shot colour operations on 32-bit pixels (blue, green, red, alpha; alpha is left
// alone), rows without gaps. Each works pixel by pixel; none looks at neighbours.

/// g = (76 R + 150 G + 29 B) >> 8 into all three channels.
void Desaturate(std::uint8_t* pixels, int width, int height);
/// Every colour byte becomes 255 - v.
void Negative(std::uint8_t* pixels, int width, int height);
/// s = 76 R + 150 G + 29 B; R = s < 57856 ? s/256 + 30 : 255, G = s >> 8,
/// B = s < 7680 ? 0 : s/256 - 30.
void Sepia(std::uint8_t* pixels, int width, int height);

/// The black and white points Auto Levels found (after ordering), and whether the
/// picture was changed.
struct AutoLevelsResult {
    int lo = 0;
    int hi = 0;
    bool changed = false;
};
/// Stretches the luminance so that clipPercent of the pixels fall below the black point
/// and above the white point, shifting every pixel by its luminance change.
/// clipPercent is trunc(fraction * 255) * 100 / 255 (AutoLevelsClip). A picture whose
/// luminance has a single occupied level (black point = white point) is left alone.
AutoLevelsResult AutoLevels(std::uint8_t* pixels, int width, int height, double clipPercent);
/// trunc(fraction * 255) * 100 / 255: 0.05 gives 4.706 (Auto Levels), 0.02 gives 1.96.
double AutoLevelsClip(double fraction);
/// Auto Levels at 1.96 %, then 1 - (1 - x)^1.3 on all channels, then blue through the
/// levels map with gamma 0.9.
void AutoEnhancePhotos(std::uint8_t* pixels, int width, int height);
/// The table stage of AutoEnhancePhotos.
ChannelLut AutoEnhanceLut();

/// Each channel separately: values 13..255 are spread by their cumulative histogram,
/// map[v] = cumulative(v) * 255 / count; values 0..12 stay.
void Equalize(std::uint8_t* pixels, int width, int height);

/// "Hue/Saturation": track bar positions hue 0..360 (neutral 180), saturation and
/// lightness 0..200 (neutral 100).
struct HueSaturationTables {
    std::array<int, 256> hue{};
    std::array<int, 256> lightness{};
    std::array<int, 256> saturation{};
};
HueSaturationTables MakeHueSaturationTables(int huePosition, int saturationPosition,
                                            int lightnessPosition);

/// A colour on the 0..255 hue/lightness/saturation scale of "Hue/Saturation".
struct Hls {
    int h = 0;
    int l = 0;
    int s = 0;
};
Hls RgbToHls(int r, int g, int b);
void HlsToRgb(const Hls& hls, int& r, int& g, int& b);

/// Every pixel through RgbToHls, the three tables and back; src may equal dst.
void ApplyHueSaturation(const std::uint8_t* src, std::uint8_t* dst, int width, int height,
                        const HueSaturationTables& tables);

} // namespace quiltara
