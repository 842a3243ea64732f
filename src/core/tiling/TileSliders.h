#pragma once
// The slider arithmetic of the tile wizard's fine tuning and of the Auto Texture
// Maker: positions to tile sizes and back.

namespace quiltara {

/// "Tile Size Correction" and "Tile Aspect Ratio Correction" as set up on entering
/// the fine-tuning step for a tile of tileW x tileH.
struct TileSliderSetup {
    int sizeMin = 0, sizeMax = 0, sizePos = 0;
    int aspectMin = 0, aspectMax = 200, aspectPos = 100;
};
TileSliderSetup TileSlidersFor(int tileW, int tileH);

/// The aspect slider position for a ratio x = tileH / tileW: 200 - 10/(x - 0.9)
/// above 1, 100 at 1, -10/(x - 1.1) below 1, each truncated.
int AspectSliderPosition(double ratio);

/// The ratio for an aspect slider position d: 1.1 - 10/d (at most 1) below 100,
/// 0.9 + 10/(200 - d) (at least 1) above 100, 1 at 100; always within [0.01, 5].
double AspectRatioFromSlider(int position);

/// Tile W = max(size, 1), tile H = max(trunc(size * ratio), 1).
struct TileSliderSize {
    int width = 0;
    int height = 0;
};
TileSliderSize TileSizeFromSliders(int sizePosition, int aspectPosition);

/// The Auto Texture Maker's "Y Ratio" slider (0..100, 50 = square):
/// 1/((50 - v) * 0.1 + 1) below 50, (v - 50) * 0.1 + 1 above 50, 1 at 50.
double TextureYRatio(int value);

/// The sampled window of the Auto Texture Maker: width = size (doubled with "x 2"),
/// at least 2; height = trunc(width * ratio), at least 2. The texture is half each.
struct TextureWindow {
    int width = 0;
    int height = 0;
};
TextureWindow TextureWindowFor(int size, int yRatioValue, bool doubled);

constexpr int kTextureSizeMin = 4, kTextureSizeMax = 400;
constexpr int kTextureYRatioMin = 0, kTextureYRatioMax = 100, kTextureYRatioSquare = 50;

} // namespace quiltara
