#include "core/base/ControlMath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quiltara;

TEST(SliderButton, TextForPosition) {
    struct Case {
        int position;
        double minimum, maximum;
        bool integer;
        int decimals, step;
        const char* text;
    } cases[] = {
        {50, 100, 1200, true, 6, 1, "650"}, // the new-image size fields
        {100, 100, 1200, true, 6, 1, "1200"}, {0, 100, 1200, true, 6, 1, "100"},
        {50, 100, 1200, true, 6, 100, "700"}, // 650 / 100 + 0.5 truncated is 7
        {33, 0, 1, false, 6, 1, "0.330000"},  {25, 0, 10, false, 3, 1, "2.50"},
        {40, 5, 5, true, 6, 1, "5"}, // an empty range writes the minimum
    };
    for (const Case& c : cases)
        EXPECT_EQ(SliderButtonText(c.position, c.minimum, c.maximum, c.integer, c.decimals, c.step),
                  c.text)
            << c.position << " in " << c.minimum << "..." << c.maximum;
}

TEST(SliderButton, PositionFromBuddyAndPopup) {
    struct Case {
        double value, minimum, maximum;
        int position;
    } cases[] = {
        {650, 100, 1200, 50},   {100, 100, 1200, 0}, {1200, 100, 1200, 100},
        {50, 100, 1200, 0}, // below the range: the nearer end
        {5000, 100, 1200, 100}, {3, 3, 3, 0},        {0.333, 0, 1, 33},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SliderButtonPosition(c.value, c.minimum, c.maximum), c.position) << c.value;
    // The popup's thumb sits at 100 - position; the mouse height maps back.
    for (int p : {0, 1, 50, 99, 100}) EXPECT_EQ(SliderButtonPopupPosition(102 - p), p);
    EXPECT_EQ(SliderButtonPopupPosition(-30), 100);
    EXPECT_EQ(SliderButtonPopupPosition(200), 0);
    // A round trip through the text keeps an integer position of a 0 ... 100 field.
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(SliderButtonPosition(std::stod(SliderButtonText(p, 0, 100, true)), 0, 100), p);
}

TEST(ValueSlider, MouseKeysAndTrack) {
    // Mouse: width 112, margin 6 gives 100 pixels for 0 ... 99, one a value.
    struct Mouse {
        int x, width, margin, minimum, maximum, value;
    } mice[] = {
        {6, 112, 6, 0, 99, 0},  {105, 112, 6, 0, 99, 99}, {56, 112, 6, 0, 99, 50},
        {0, 112, 6, 0, 99, 0},  {500, 112, 6, 0, 99, 99}, {60, 112, 6, 10, 19, 15},
        {10, 12, 6, 0, 255, 0}, // no track at all
    };
    for (const Mouse& m : mice)
        EXPECT_EQ(ValueSliderValueAt(m.x, m.width, m.margin, m.minimum, m.maximum), m.value) << m.x;

    struct Key {
        int value, step, minimum, maximum, result;
    } keys[] = {
        {0, -1, 0, 359, 359}, // Left at 0 wraps to the end
        {359, 1, 0, 359, 0},  {5, -10, 0, 359, 355}, {355, 10, 0, 359, 5},
        {10, -1, 10, 20, 20}, {15, 1, 10, 20, 16},   {1, -25, 0, 9, 6}, // several spans
    };
    for (const Key& k : keys)
        EXPECT_EQ(ValueSliderStep(k.value, k.step, k.minimum, k.maximum), k.result) << k.value;

    EXPECT_DOUBLE_EQ(ValueSliderTrackStrength(255, 0, 255, 0), 1.0);
    EXPECT_DOUBLE_EQ(ValueSliderTrackStrength(255, 0, 255, 1), 0.0);
    EXPECT_DOUBLE_EQ(ValueSliderTrackStrength(0, 0, 100, 2), 1.0);
    EXPECT_DOUBLE_EQ(ValueSliderTrackStrength(50, 0, 100, 2), 0.0);
    EXPECT_DOUBLE_EQ(ValueSliderTrackStrength(75, 0, 100, 2), 0.5);
}

TEST(ColorPicker, HslConversions) {
    struct Case {
        double h, s, l;
        ColorRef rgb;
    } cases[] = {
        {0, 1, 0.5, MakeColorRef(255, 0, 0)},     {120, 1, 0.5, MakeColorRef(0, 255, 0)},
        {240, 1, 0.5, MakeColorRef(0, 0, 255)},   {60, 1, 0.5, MakeColorRef(255, 255, 0)},
        {360, 1, 0.5, MakeColorRef(255, 0, 0)},   {0, 0, 0.5, MakeColorRef(127, 127, 127)},
        {0, 1, 1.0, MakeColorRef(255, 255, 255)}, {200, 1, 0.0, MakeColorRef(0, 0, 0)},
        {30, 1, 0.25, MakeColorRef(127, 63, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(HslToRgb(c.h, c.s, c.l), c.rgb) << c.h << " " << c.l;

    // A grey has hue and saturation 0.
    const CHsl grey = RgbToHsl(MakeColorRef(90, 90, 90));
    EXPECT_EQ(grey.hue, 0);
    EXPECT_EQ(grey.saturation, 0);
    EXPECT_NEAR(grey.lightness, 180 / 510.0, 1e-12);
    // Red's hue comes out as 360 (6 x 60), which is not above 360.
    EXPECT_DOUBLE_EQ(RgbToHsl(MakeColorRef(255, 0, 0)).hue, 360);
    EXPECT_DOUBLE_EQ(RgbToHsl(MakeColorRef(255, 0, 255)).hue, 300);
    EXPECT_DOUBLE_EQ(RgbToHsl(MakeColorRef(0, 255, 0)).hue, 120);
    // Fully saturated colours survive the round trip within the truncation.
    for (ColorRef c :
         {MakeColorRef(200, 40, 10), MakeColorRef(10, 180, 250), MakeColorRef(5, 5, 90)}) {
        const CHsl hsl = RgbToHsl(c);
        const ColorRef back = HslToRgb(hsl.hue, hsl.saturation, hsl.lightness);
        EXPECT_NEAR(RedOf(back), RedOf(c), 1);
        EXPECT_NEAR(GreenOf(back), GreenOf(c), 1);
        EXPECT_NEAR(BlueOf(back), BlueOf(c), 1);
    }
}

TEST(ColorPicker, FieldLayoutAndPicking) {
    const CColorPickerLayout plain{222, 52, false}; // F = 200: spectrum columns 1 ... 198
    EXPECT_EQ(plain.SpectrumColumns(), 198);
    // The far right edge picks column W - 2, whose hue is 360: red at half lightness.
    EXPECT_EQ(plain.PickAt(10000, 25), plain.PickAt(220, 25));
    EXPECT_EQ(plain.PickAt(220, 25), HslToRgb(360, 1, 25 / 50.0));
    // Left of the field the first column; above it row 1.
    EXPECT_EQ(plain.PickAt(0, 0), plain.SpectrumColour(1, 1));
    EXPECT_EQ(plain.PickAt(122, 50), plain.SpectrumColour(100, 50));

    const CColorPickerLayout palette{222, 52, true};
    EXPECT_EQ(palette.SpectrumColumns(), 188);
    struct Hit {
        int x, y, area;
    } hits[] = {
        {10, 5, 0},  {10, 20, 1}, {10, 40, 2},  {10, 60, -1},  {0, 5, -1},
        {30, 30, 3}, {215, 3, 4}, {215, 12, 5}, {215, 30, -1},
    };
    for (const Hit& h : hits) EXPECT_EQ(palette.HitTest(h.x, h.y), h.area) << h.x << "," << h.y;
    EXPECT_EQ(plain.HitTest(215, 3), 3); // no arrows without palette mode

    EXPECT_EQ(StepPaletteIndex(0, -1, 4), 3); // back from the first shows the last
    EXPECT_EQ(StepPaletteIndex(3, 1, 4), 0);
    EXPECT_EQ(StepPaletteIndex(1, 1, 4), 2);
    EXPECT_EQ(StepPaletteIndex(0, 1, 0), 0);
}
