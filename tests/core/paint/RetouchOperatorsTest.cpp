#include "core/paint/RetouchOperators.h"
#include "PaintTestHelpers.h"
#include "core/base/RuntimeRandom.h"
#include "core/paint/ToolOperatorState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// The retouch colour of kind for a 1 x 1 picture of colour u.
Bgr Retouched(int kind, Bgr u, ColorRef fore = 0) {
    CRuntimeRandom random(1);
    CToolOperatorState state;
    state.ToolChosen(kind, random); // 11-13 build their table
    const auto source = MakeRetouchSource(kind, state, fore);
    EXPECT_TRUE(source) << kind;
    CDIBSection2 pic;
    MakeSolid(pic, 1, 1, u);
    if (source) ApplySource(pic, kind, *source);
    return At(pic, 0, 0);
}

} // namespace

TEST(RetouchOperators, PointKindsOnChosenPixels) {
    struct Case {
        int kind;
        Bgr u, expected;
        ColorRef fore;
    };
    const Case cases[] = {
        // 11: contrast (0, 20): 40 -> 32, 128 -> 128, 200 -> 208.
        {11, {40, 128, 200}, {32, 128, 208}, 0},
        // 12: brightness 30: round(255 ((1 - c) 30/255 + c)), 40 -> 65.3, 128 -> 143.
        {12, {40, 128, 200}, {65, 143, 206}, 0},
        // 13: brightness -25: round(255 (230/255) c): 40 -> 36, 128 -> 115.
        {13, {40, 128, 200}, {36, 115, 180}, 0},
        // 14: trunc(0.11 x 40 + 0.59 x 100 + 0.30 x 200) = trunc(123.4).
        {14, {40, 100, 200}, {123, 123, 123}, 0},
        // 15: (510 x 40 - 50 x 300) / 410 = 13; 39000 / 410 = 95; 95000 / 410 = 231.
        {15, {40, 100, 200}, {13, 95, 231}, 0},
        {15, {0, 0, 255}, {0, 0, 255}, 0}, // -12750 / 410 held at 0, 317 at 255
        // 16 toward red: luma 123 with red's chroma (Cb 85, Cr 255) gives (R, G, B) =
        // (255, 47, 47); mixed 115 : 140 with the pixel.
        {16, {40, 100, 200}, {42, 75, 223}, MakeColorRef(255, 0, 0)},
        // 17: 200 - 20 >= 100 and >= 40: red becomes the grey.
        {17, {40, 100, 200}, {40, 100, 123}, 0},
        {17, {90, 90, 110}, {90, 90, 96}, 0},      // 90 >= 90 counts as red
        {17, {100, 100, 110}, {100, 100, 110}, 0}, // 90 < 100: kept
    };
    for (const Case& c : cases) EXPECT_EQ(Retouched(c.kind, c.u, c.fore), c.expected) << c.kind;
}

TEST(RetouchOperators, BrightnessContrastTableEnds) {
    // No change at (0, 0); brightness lifts black, darkness lowers white.
    const auto identity = BrightnessContrastTable(0, 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(identity[std::size_t(i)], i);
    EXPECT_EQ(BrightnessContrastTable(30, 0)[0], 30);
    EXPECT_EQ(BrightnessContrastTable(-25, 0)[255], 230);
    // Full contrast: exponent 10, (200 / 255)^10 / 2 x 255 = 11.2 and its mirror.
    const auto steep = BrightnessContrastTable(0, 127);
    EXPECT_EQ(steep[100], 11);
    EXPECT_EQ(steep[155], 244);
    EXPECT_EQ(BrightnessContrastTable(0, -127)[0], 128); // no contrast: all grey
}

TEST(RetouchOperators, NeighbourhoodKindsRepeatTheEdge) {
    // 3 x 3, memory rows (row 2 is the picture's top): blue a ramp, green a bright
    // centre, red a bright centre and corner.
    const int blue[3][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    const int green[3][3] = {{100, 100, 100}, {100, 200, 100}, {100, 100, 100}};
    const int red[3][3] = {{0, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    CDIBSection2 pic;
    MakeSolid(pic, 3, 3, Bgr{0, 0, 0});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) Set(pic, x, y, Bgr{blue[y][x], green[y][x], red[y][x]});

    struct Case {
        int kind, x, y;
        Bgr expected;
    };
    const Case cases[] = {
        // Centre: blue (400 / 8, (28 x 50 - 400) / 20); green 800 / 8 and
        // (5600 - 800) / 20 = 240; red sharpened to 344, held at 255.
        {kRetouchSoften, 1, 1, {50, 100, 31}},
        {kRetouchSharpen, 1, 1, {50, 240, 255}},
        {kRetouchMixed, 1, 1, {49, 197, 200}},
        {kRetouchMedian, 1, 1, {50, 100, 0}},
        // The picture's top row: the centre row stands in for the row above, blue
        // (40 + 50 + 60 + 70 + 90 + 70 + 80 + 90) / 8 = 68; sharpened
        // (28 x 80 - 550) / 20 = 84.5, truncated.
        {kRetouchSoften, 1, 2, {68, 112, 95}},
        {kRetouchSharpen, 1, 2, {84, 95, 0}},
        {kRetouchMixed, 1, 2, {76, 101, 33}},
        {kRetouchMedian, 1, 2, {70, 100, 0}},
        // The bottom row: (10 + 20 + 30 + 10 + 30 + 40 + 50 + 60) / 8 = 31.
        {kRetouchSoften, 1, 0, {31, 112, 31}},
        {kRetouchMixed, 1, 0, {19, 98, 7}},
    };
    CToolOperatorState state;
    for (const Case& c : cases) {
        CDIBSection2 out;
        out.Copy(&pic);
        const auto source = MakeRetouchSource(c.kind, state, 0);
        ASSERT_TRUE(source);
        ApplySource(out, c.kind, *source);
        EXPECT_EQ(At(out, c.x, c.y), c.expected) << c.kind << " at " << c.x << "," << c.y;
    }
}

TEST(RetouchOperators, MedianIsTheMiddleOfTheSortedNine) {
    CDIBSection2 pic, out;
    MakePatternPicture(pic, 12, 10, 4);
    out.Copy(&pic);
    CToolOperatorState state;
    const auto source = MakeRetouchSource(kRetouchMedian, state, 0);
    ApplySource(out, kRetouchMedian, *source);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            for (int i = 0; i < 3; ++i) {
                std::vector<int> v;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        v.push_back(
                            At(pic, std::clamp(x + dx, 0, 11), std::clamp(y + dy, 0, 9))[i]);
                std::sort(v.begin(), v.end());
                ASSERT_EQ(At(out, x, y)[i], v[4]) << x << "," << y;
            }
}
