#include "core/base/BrightnessContrast.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

double BrightnessContrastCurve(double x, int brightness, int contrast) {
    const double b = brightness / 255.0;
    const double c = contrast / 127.0;
    const double r = b >= 0 ? x + b * (1.0 - x) : x * (1.0 + b);
    const double h = std::max(0.0, r <= 0.5 ? r : 1.0 - r);
    double e;
    if (c >= 0)
        e = c > 0.9 ? 10.0 : 1.0 / (1.0 - c);
    else
        e = 1.0 + c;
    const double m = std::pow(2.0 * h, e) / 2.0;
    return r > 0.5 ? 1.0 - m : m;
}

} // namespace quiltara
