#pragma once
// The arithmetic of the program's own controls: the slider button beside a number
// field, the value slider's mouse and keys, and the colour picker's spectrum. The
// widgets only draw and forward events; every number they show comes from here.
#include "core/base/ColorRef.h"

#include <string>

namespace quiltara {

/// The slider button's popup position 0 ... 100 for the number v in its buddy field:
/// trunc(100 / (maximum - minimum) * (v - minimum)), limited to 0 ... 100 (0 when the
/// range is empty).
int SliderButtonPosition(double value, double minimum, double maximum);

/// The buddy field's text for a popup position: minimum + position / c with
/// c = 100 / (maximum - minimum) (just the minimum when c is 0), rounded to a multiple
/// of step when step > 1, written with "%d" of the truncated value in integer mode,
/// else with "%#.<decimals>lG".
std::string SliderButtonText(int position, double minimum, double maximum, bool integerMode,
                             int decimals = 6, int step = 1);

/// The popup position for a mouse height y inside the popup: 102 - y, limited to 0 ... 100.
int SliderButtonPopupPosition(int y);

/// The value slider's value under a client x: trunc((x - margin) / ((width - 2 margin)
/// / (maximum + 1 - minimum))) + minimum, limited to [minimum, maximum].
int ValueSliderValueAt(int x, int width, int margin, int minimum, int maximum);

/// A value moved by step from the keyboard, wrapped around into [minimum, maximum] by
/// adding or subtracting (maximum + 1 - minimum).
int ValueSliderStep(int value, int step, int minimum, int maximum);

/// The value slider's track strength 0 ... 1 for its colour mode (0 plain, 1 inverted,
/// 2 symmetric): r = (value - minimum) / (maximum - minimum), 1 - r inverted,
/// |r - 0.5| * 2 symmetric.
double ValueSliderTrackStrength(int value, int minimum, int maximum, int colourMode);

/// Hue in degrees, saturation and lightness 0 ... 1 to a colour (channels truncated).
ColorRef HslToRgb(double hue, double saturation, double lightness);

struct CHsl {
    double hue = 0; // degrees
    double saturation = 0;
    double lightness = 0;
};
/// A colour to hue, saturation and lightness (a grey has hue and saturation 0).
CHsl RgbToHsl(ColorRef colour);

/// The colour picker's field. The control is width x height pixels; the field starts
/// at x = 22 and, in palette mode, leaves 10 pixels on the right for the arrows.
struct CColorPickerLayout {
    int width = 0;
    int height = 0;
    bool paletteMode = false;

    /// Columns j = 1 ... spectrum columns of the field carry the spectrum.
    int SpectrumColumns() const { return (width - 22) - (paletteMode ? 12 : 2); }
    /// The spectrum's colour at field column j and row i (hue = j * 360 / columns,
    /// lightness = i / (height - 2), saturation 1).
    ColorRef SpectrumColour(int j, int i) const;
    /// The colour under client (x, y): x limited to 23 ... width - 2 and y to
    /// 1 ... height - 1, read from the spectrum (the field's border keeps the last
    /// spectrum colour).
    ColorRef PickAt(int x, int y) const;
    /// Where a client x lies: 0 the foreground swatch, 1 the background swatch, 2 the
    /// swap button (left column, x in 1 ... 21 by y), 3 the field, 4 the previous and 5
    /// the next palette arrow, -1 nowhere.
    int HitTest(int x, int y) const;
};

/// Steps a palette index with wrap-around (delta -1 or +1) over count entries.
int StepPaletteIndex(int index, int delta, int count);

} // namespace quiltara
