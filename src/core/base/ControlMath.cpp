#include "core/base/ControlMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quiltara {

int SliderButtonPosition(double value, double minimum, double maximum) {
    if (maximum == minimum) return 0;
    const double p = 100.0 / (maximum - minimum) * (value - minimum);
    if (!(p > 0)) return 0; // also NaN
    if (p >= 100) return 100;
    return int(p);
}

std::string SliderButtonText(int position, double minimum, double maximum, bool integerMode,
                             int decimals, int step) {
    const double c = maximum == minimum ? 0.0 : 100.0 / (maximum - minimum);
    double value = c == 0 ? minimum : minimum + position / c;
    if (step > 1) value = step * std::trunc(value / step + 0.5);
    char text[64];
    if (integerMode) {
        std::snprintf(text, sizeof text, "%d", int(value));
    } else {
        char format[16];
        std::snprintf(format, sizeof format, "%%#.%dlG", std::clamp(decimals, 0, 30));
        std::snprintf(text, sizeof text, format, value);
    }
    return text;
}

int SliderButtonPopupPosition(int y) {
    return std::clamp(102 - y, 0, 100);
}

int ValueSliderValueAt(int x, int width, int margin, int minimum, int maximum) {
    const double cell = double(width - 2 * margin) / double(maximum + 1 - minimum);
    if (!(cell > 0)) return minimum;
    const int v = int((x - margin) / cell) + minimum;
    return std::clamp(v, minimum, maximum);
}

int ValueSliderStep(int value, int step, int minimum, int maximum) {
    const long long span = (long long)maximum + 1 - minimum;
    long long v = (long long)value + step;
    if (span <= 0) return minimum;
    // The same as adding or subtracting the span until the value lies in the range.
    if (v < minimum) v += ((minimum - v + span - 1) / span) * span;
    if (v > maximum) v -= ((v - maximum + span - 1) / span) * span;
    return int(v);
}

double ValueSliderTrackStrength(int value, int minimum, int maximum, int colourMode) {
    const double r = maximum == minimum ? 0.0 : double(value - minimum) / (maximum - minimum);
    if (colourMode == 1) return 1 - r;
    if (colourMode == 2) return std::fabs(r - 0.5) * 2;
    return r;
}

namespace {
double HueChannel(double m1, double m2, double x) {
    while (x < 0) x += 360;
    while (x >= 360) x -= 360;
    if (x < 60) return m1 + (m2 - m1) * x / 60;
    if (x < 180) return m2;
    if (x < 240) return m1 + (m2 - m1) * (240 - x) / 60;
    return m1;
}
} // namespace

ColorRef HslToRgb(double hue, double saturation, double lightness) {
    if (saturation == 0) {
        const int v = int(lightness * 255);
        return MakeColorRef(v, v, v);
    }
    const double m2 = lightness <= 0.5 ? lightness * (1 + saturation)
                                       : lightness + saturation - lightness * saturation;
    const double m1 = 2 * lightness - m2;
    auto channel = [&](double x) { return std::clamp(int(HueChannel(m1, m2, x) * 255), 0, 255); };
    return MakeColorRef(channel(hue + 120), channel(hue), channel(hue - 120));
}

CHsl RgbToHsl(ColorRef colour) {
    const int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    CHsl hsl;
    hsl.lightness = (mx + mn) / 510.0;
    if (mx == mn) return hsl;
    const double delta = mx - mn;
    hsl.saturation = hsl.lightness <= 0.5 ? delta / (mx + mn) : delta / (510.0 - mx - mn);
    // Tested in this order, so that a later test wins a tie.
    if (r == mx) hsl.hue = 60 * (6 + (g - b) / delta);
    if (g == mx) hsl.hue = 60 * (2 + (b - r) / delta);
    if (b == mx) hsl.hue = 60 * (4 + (r - g) / delta);
    if (hsl.hue > 360) hsl.hue -= 360;
    return hsl;
}

ColorRef CColorPickerLayout::SpectrumColour(int j, int i) const {
    const int columns = SpectrumColumns();
    const int rows = height - 2;
    if (columns <= 0 || rows <= 0) return 0;
    return HslToRgb(double(j) * 360.0 / columns, 1.0, double(i) / rows);
}

ColorRef CColorPickerLayout::PickAt(int x, int y) const {
    x = std::max(23, std::min(x, width - 2));
    y = std::max(1, std::min(y, height - 1));
    const int j = std::clamp(x - 22, 1, std::max(1, SpectrumColumns()));
    const int i = std::clamp(y, 1, std::max(1, height - 2));
    return SpectrumColour(j, i);
}

int CColorPickerLayout::HitTest(int x, int y) const {
    if (paletteMode && x >= width - 10 && x < width) {
        if (y >= 0 && y <= 8) return 4;
        if (y >= 9 && y <= 17) return 5;
        return -1;
    }
    if (x > 0 && x <= 21) {
        if (y >= 0 && y < 16) return 0;
        if (y >= 17 && y < 33) return 1;
        if (y >= 35 && y < 51) return 2;
        return -1;
    }
    if (x > 21 && x < width && y >= 0 && y < height) return 3;
    return -1;
}

int StepPaletteIndex(int index, int delta, int count) {
    if (count <= 0) return 0;
    index += delta;
    if (index < 0) index = count - 1;
    if (index >= count) index = 0;
    return index;
}

} // namespace quiltara
