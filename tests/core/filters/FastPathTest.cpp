// The optimised geometry and filter loops against plain per-pixel versions of the same
// arithmetic, on sizes that leave partial tiles, strips and vectors everywhere.
#include "core/filters/RightAngle.h"
#include "core/filters/RotateByAngle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using namespace quiltara;

namespace {

using Pixels = std::vector<std::uint8_t>;

struct Size {
    int w, h;
};
// 1 x 1, thin, odd, widths off every vector width, and sizes past one 64-pixel tile.
const Size kSizes[] = {{1, 1}, {3, 7}, {7, 3}, {1, 9}, {17, 17}, {31, 5}, {67, 67}, {130, 67}};

Pixels Noise(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    Pixels p(std::size_t(w) * std::size_t(h) * 4);
    for (auto& v : p) v = std::uint8_t(rng());
    return p;
}

std::uint32_t At(const Pixels& p, int w, int x, int y) {
    std::uint32_t v;
    std::memcpy(&v, &p[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4], 4);
    return v;
}

// One source index i of a line of n moved by the fraction f: keeps v - trunc(f v) and
// receives trunc(f v) of the previous pixel, the background beyond the ends.
std::uint8_t ShearValue(const Pixels& s, std::size_t at, std::size_t step, long long i, int n,
                        int ch, double f, const std::uint8_t* back) {
    const int prev = i > 0 ? s[at + std::size_t(i - 1) * step + std::size_t(ch)] : back[ch];
    const int cur = i < n ? s[at + std::size_t(i) * step + std::size_t(ch)] : back[ch];
    return std::uint8_t(cur - int(f * cur) + int(f * prev));
}

// The three shears, one output byte at a time, for a residual angle a (|a| <= 45).
Pixels ReferenceShears(const Pixels& src, int w, int h, double a, const std::uint8_t* back,
                       int& outW, int& outH) {
    const ShearSizes z = ShearSizesFor(w, h, a);
    const double rad = a * 0.017453292519943295, t = std::tan(rad / 2), sg = std::sin(rad);
    const double start2 = sg > 0 ? (w - 1) * sg : int(std::fabs(t) * h) * sg;
    const double start3 = sg >= 0 ? -sg * (w - 1) * t : (1 - z.height2 - (w - 1) * sg) * t;
    auto shear = [&](const Pixels& s, int sw, int sh, int dw, int dh, bool rows, auto offset) {
        Pixels d(std::size_t(dw) * std::size_t(dh) * 4);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const int line = rows ? y : x, pos = rows ? x : y, n = rows ? sw : sh;
                const double o = offset(line), whole = std::floor(o), f = o - whole;
                const long long i = pos - (long long)whole;
                const std::size_t at = rows ? std::size_t(y) * sw * 4 : std::size_t(x) * 4;
                const std::size_t step = rows ? 4 : std::size_t(sw) * 4;
                for (int ch = 0; ch < 4; ++ch) {
                    std::uint8_t v = back[ch];
                    if (i >= 0 && i <= n) v = ShearValue(s, at, step, i, n, ch, f, back);
                    d[(std::size_t(y) * dw + x) * 4 + std::size_t(ch)] = v;
                }
            }
        return d;
    };
    Pixels p = shear(src, w, h, z.width1, h, true,
                     [&](int r) { return t >= 0 ? t * (r + 0.5) : t * (r - h + 0.5); });
    p = shear(p, z.width1, h, z.width1, z.height2, false, [&](int c) { return start2 - sg * c; });
    p = shear(p, z.width1, z.height2, z.width3, z.height2, true,
              [&](int r) { return start3 + t * r; });
    outW = z.width3, outH = z.height2;
    return p;
}

} // namespace

TEST(FastPath, RightAngleTurnsAndFlipsMatchThePixelMapping) {
    for (const Size s : kSizes) {
        const Pixels src = Noise(s.w, s.h, unsigned(s.w * 131 + s.h));
        for (int code : {kRotate90CW, kRotate90CCW, kRotate180}) {
            Pixels p = src;
            RotateRightAngle(p.data(), s.w, s.h, code);
            const bool swap = code != kRotate180;
            const int dw = swap ? s.h : s.w, dh = swap ? s.w : s.h;
            for (int y = 0; y < dh; ++y)
                for (int x = 0; x < dw; ++x) {
                    const int sx = code == kRotate90CW    ? s.w - 1 - y
                                   : code == kRotate90CCW ? y
                                                          : s.w - 1 - x;
                    const int sy = code == kRotate90CW    ? x
                                   : code == kRotate90CCW ? s.h - 1 - x
                                                          : s.h - 1 - y;
                    ASSERT_EQ(At(p, dw, x, y), At(src, s.w, sx, sy))
                        << s.w << "x" << s.h << " code " << code << " at " << x << "," << y;
                }
        }
        Pixels h = src, v = src;
        FlipHorizontal(h.data(), s.w, s.h);
        FlipVertical(v.data(), s.w * 4, s.h);
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x) {
                ASSERT_EQ(At(h, s.w, x, y), At(src, s.w, s.w - 1 - x, y)) << s.w << "x" << s.h;
                ASSERT_EQ(At(v, s.w, x, y), At(src, s.w, x, s.h - 1 - y)) << s.w << "x" << s.h;
            }
    }
}

TEST(FastPath, RotationByAngleMatchesPlainShears) {
    const std::uint8_t back[4] = {30, 200, 90, 255};
    for (const Size s : kSizes)
        for (double a : {17.5, -3.25, 44.0, -44.0, 0.4}) {
            const Pixels src = Noise(s.w, s.h, unsigned(s.w + 7 * s.h));
            int rw = 0, rh = 0;
            // Negative angles are turned as their positive equivalents.
            const Pixels want = ReferenceShears(src, s.w, s.h, a < 0 ? a + 360 : a, back, rw, rh);
            const RotatedPicture got =
                RotateByAngle(src.data(), s.w, s.h, a, MakeColorRef(back[2], back[1], back[0]));
            ASSERT_EQ(got.width, rw);
            ASSERT_EQ(got.height, rh);
            ASSERT_EQ(got.pixels, want) << s.w << "x" << s.h << " by " << a;
        }
}
