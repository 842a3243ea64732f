// The plain dab (stamp colour, nothing else) has loops of its own; a colour source that
// hands out the stamp's colour takes the general loop. Both must paint the same bytes
// in every blend mode, opacity and pressure, on tiles the dab wraps around.
#include "core/image/DIBSection2.h"
#include "core/paint/BlendModes.h"
#include "core/paint/DabPainter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace quiltara;

namespace {

struct StampColour : IDabColorSource {
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& px, int c[3]) override {
        c[0] = px.stamp[0], c[1] = px.stamp[1], c[2] = px.stamp[2];
    }
};

void Noise(CDIBSection2& pic, int w, int h, unsigned seed) {
    pic.Create(w, h, 32, true);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < pic.PixelBytes(); ++i) pic.GetBits()[i] = std::uint8_t(rng());
    // Some stamp pixels fully covered, some not at all.
    for (std::size_t i = 3; i < pic.PixelBytes(); i += 28) pic.GetBits()[i] = 255;
    for (std::size_t i = 7; i < pic.PixelBytes(); i += 36) pic.GetBits()[i] = 0;
}

} // namespace

TEST(DabFastPath, PlainDabsMatchTheGeneralLoop) {
    struct Case {
        int w, h, sw, sh;
    };
    StampColour hook;
    for (const Case c :
         {Case{1, 1, 5, 5}, Case{3, 7, 9, 4}, Case{37, 23, 17, 17}, Case{64, 9, 33, 3}})
        for (int mode = 0; mode < kBlendModeCount; ++mode)
            for (int opacity : {255, 131, 0})
                for (int pressureMode : {0, 2}) {
                    CDIBSection2 stamp, fast, general, read;
                    Noise(stamp, c.sw, c.sh, unsigned(mode + 1));
                    Noise(fast, c.w, c.h, unsigned(c.w * 7 + c.h));
                    Noise(read, c.w, c.h, unsigned(c.w + 3));
                    general.Copy(&fast);
                    CDabArgs args;
                    args.stamp = &stamp;
                    args.left = c.w - 2; // across the right and top edges
                    args.top = c.h - 1;
                    args.blendMode = mode;
                    args.opacity = opacity;
                    args.pressure = 170;
                    args.pressureMode = pressureMode;
                    ASSERT_TRUE(PaintDab(fast, read, args));
                    args.colorSource = 2; // no built-in source: the hook's colour
                    args.customSource = &hook;
                    ASSERT_TRUE(PaintDab(general, read, args));
                    ASSERT_EQ(0, std::memcmp(fast.GetBits(), general.GetBits(), fast.PixelBytes()))
                        << c.w << "x" << c.h << " mode " << mode << " opacity " << opacity
                        << " pressure mode " << pressureMode;
                }
}
