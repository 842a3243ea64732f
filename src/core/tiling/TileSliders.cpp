#include "core/tiling/TileSliders.h"

#include <algorithm>

namespace quiltara {

TileSliderSetup TileSlidersFor(int tileW, int tileH) {
    TileSliderSetup s;
    s.sizeMin = tileW / 2;
    s.sizeMax = tileW * 2;
    s.sizePos = tileW;
    s.aspectPos = tileW > 0 ? AspectSliderPosition(double(tileH) / double(tileW)) : 100;
    return s;
}

int AspectSliderPosition(double x) {
    if (x > 1) return int(200 - 10 / (x - 0.9));
    if (x < 1) return int(-10 / (x - 1.1));
    return 100;
}

double AspectRatioFromSlider(int d) {
    double e = 1;
    if (d < 100) {
        // At 0 the term 10/d is infinitely large: the ratio falls to the floor.
        e = d <= 0 ? 0.01 : std::min(1.1 - 10.0 / d, 1.0);
    } else if (d > 100) {
        e = d >= 200 ? 5.0 : 0.9 + 10.0 / (200 - d);
        if (e < 1) e = 1;
    }
    return std::clamp(e, 0.01, 5.0);
}

TileSliderSize TileSizeFromSliders(int sizePosition, int aspectPosition) {
    const double e = AspectRatioFromSlider(aspectPosition);
    return {std::max(sizePosition, 1), std::max(int(sizePosition * e), 1)};
}

double TextureYRatio(int v) {
    if (v < 50) return 1.0 / ((50 - v) * 0.1 + 1);
    if (v > 50) return (v - 50) * 0.1 + 1;
    return 1.0;
}

TextureWindow TextureWindowFor(int size, int yRatioValue, bool doubled) {
    const int width = std::max(doubled ? size * 2 : size, 2);
    const int height = std::max(int(width * TextureYRatio(yRatioValue)), 2);
    return {width, height};
}

} // namespace quiltara
