// The optimised geometry and filter loops against plain per-pixel versions of the same
// arithmetic, on sizes that leave partial tiles, strips and vectors everywhere.
#include "core/filters/GaussianWrap.h"
#include "core/filters/Resize.h"
#include "core/filters/RightAngle.h"
#include "core/filters/RotateByAngle.h"
#include "core/image/DIBSection2.h"

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

// Rounding down into a byte with the resizers' allowance for weights that do not quite
// add up to one.
std::uint8_t Floor(float v) {
    v += 2e-3f;
    return v > 0 ? (v >= 255 ? 255 : std::uint8_t(v)) : 0;
}

Pixels ReferenceBilinear(const Pixels& src, int w, int h, int nw, int nh) {
    const auto cols = BilinearContributors(w, nw), rows = BilinearContributors(h, nh);
    Pixels t(std::size_t(nw) * h * 4), d(std::size_t(nw) * nh * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < nw; ++x)
            for (int ch = 0; ch < 4; ++ch) {
                float acc = 0;
                for (std::size_t k = 0; k < cols[x].index.size(); ++k)
                    acc += cols[x].weight[k] *
                           float(src[(std::size_t(y) * w + cols[x].index[k]) * 4 + ch]);
                t[(std::size_t(y) * nw + x) * 4 + ch] =
                    nw == w ? src[(std::size_t(y) * w + x) * 4 + ch] : Floor(acc);
            }
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x)
            for (int ch = 0; ch < 4; ++ch) {
                float acc = 0;
                for (std::size_t k = 0; k < rows[y].index.size(); ++k)
                    acc += rows[y].weight[k] *
                           float(t[(std::size_t(rows[y].index[k]) * nw + x) * 4 + ch]);
                d[(std::size_t(y) * nw + x) * 4 + ch] = Floor(acc);
            }
    return d;
}

Pixels ReferenceBicubic(const Pixels& src, int w, int h, int nw, int nh) {
    Pixels d(std::size_t(nw) * nh * 4);
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            const float sx = float(x) * float(w) / float(nw), sy = float(y) * float(h) / float(nh);
            std::uint8_t* out = &d[(std::size_t(y) * nw + x) * 4];
            if (!(sx >= 1 && sx < float(w - 2) && sy >= 1 && sy < float(h - 2))) {
                const int nx = int(std::min(sx, float(w - 1))),
                          ny = int(std::min(sy, float(h - 1)));
                std::memcpy(out, &src[(std::size_t(ny) * w + nx) * 4], 4);
                continue;
            }
            const int ix = int(std::floor(sx)), iy = int(std::floor(sy));
            float wx[4], wy[4];
            BicubicWeights(sx - float(ix), wx);
            BicubicWeights(sy - float(iy), wy);
            for (int ch = 0; ch < 4; ++ch) {
                float acc = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i)
                        acc += (wx[i] * wy[j]) *
                               float(src[(std::size_t(iy - 1 + j) * w + ix - 1 + i) * 4 + ch]);
                out[ch] = Floor(acc);
            }
        }
    return d;
}

// The wrapping blur one byte at a time: rows then columns, each a chain of fused
// multiply-adds over the taps in order, clamped and truncated to a byte in between.
Pixels ReferenceBlur(const Pixels& src, int w, int h, int radiusValue) {
    const std::vector<float> k = GaussianKernel(radiusValue);
    const int g = int(k.size()) / 2;
    auto wrap = [](long long v, int n) { return int(((v % n) + n) % n); };
    auto byte = [](float v) { return std::uint8_t(v > 0 ? (v >= 255 ? 255 : int(v)) : 0); };
    Pixels t(src.size(), 0), d(src);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float acc = 0;
                for (int j = 0; j <= 2 * g; ++j)
                    acc = std::fmaf(k[j], src[(std::size_t(y) * w + wrap(x + j - g, w)) * 4 + c],
                                    acc);
                t[(std::size_t(y) * w + x) * 4 + c] = byte(acc);
            }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                float acc = 0;
                for (int j = 0; j <= 2 * g; ++j)
                    acc =
                        std::fmaf(k[j], t[(std::size_t(wrap(y + j - g, h)) * w + x) * 4 + c], acc);
                d[(std::size_t(y) * w + x) * 4 + c] = byte(acc);
            }
    return d;
}

} // namespace

TEST(FastPath, WrappingBlurAndUnsharpMaskMatchPlainLoops) {
    for (const Size s : kSizes)
        for (int radius : {1, 40, 120}) {
            const Pixels src = Noise(s.w, s.h, unsigned(s.w * 5 + s.h + radius));
            Pixels got(src.size());
            GaussianBlurWrap(src.data(), got.data(), s.w, s.h, radius);
            const Pixels blurred = ReferenceBlur(src, s.w, s.h, radius);
            ASSERT_EQ(got, blurred) << s.w << "x" << s.h << " radius " << radius;
            Pixels inPlace = src; // the command line blurs the picture where it is
            GaussianBlurWrap(inPlace.data(), inPlace.data(), s.w, s.h, radius);
            ASSERT_EQ(inPlace, blurred) << "in place " << s.w << "x" << s.h;
            for (int threshold : {0, 9}) {
                UnsharpMaskWrap(src.data(), got.data(), s.w, s.h, 200, radius, threshold);
                Pixels want = blurred;
                for (std::size_t i = 0; i < want.size(); ++i) {
                    if (i % 4 == 3) continue;
                    int diff = int(src[i]) - int(blurred[i]);
                    if (std::abs(2 * diff) < threshold) diff = 0;
                    want[i] = std::uint8_t(std::clamp(int(200 / 128.0 * diff + src[i]), 0, 255));
                }
                ASSERT_EQ(got, want) << "unsharp " << s.w << "x" << s.h << " radius " << radius;
            }
        }
}

TEST(FastPath, ResizersMatchPlainLoops) {
    for (const Size s : kSizes)
        for (const Size to : {Size{2 * s.w + 1, s.h / 2 + 1}, Size{std::max(1, s.w / 3), s.h + 5},
                              Size{s.w, 2 * s.h + 3}, Size{1, 1}}) {
            const Pixels src = Noise(s.w, s.h, unsigned(3 * s.w + s.h));
            Pixels got(std::size_t(to.w) * to.h * 4);
            ResizeBilinear(src.data(), s.w, s.h, got.data(), to.w, to.h);
            ASSERT_EQ(got, ReferenceBilinear(src, s.w, s.h, to.w, to.h))
                << "bilinear " << s.w << "x" << s.h << " to " << to.w << "x" << to.h;
            ResizeBicubic(src.data(), s.w, s.h, got.data(), to.w, to.h);
            ASSERT_EQ(got, ReferenceBicubic(src, s.w, s.h, to.w, to.h))
                << "bicubic " << s.w << "x" << s.h << " to " << to.w << "x" << to.h;
            // Rows handed over one at a time (as from a file) give the same pixels; a
            // row that cannot be had fails the resize.
            struct Copied : IRowSource {
                const Pixels& p;
                int w, missing;
                Copied(const Pixels& pixels, int width, int lost)
                    : p(pixels), w(width), missing(lost) {}
                const std::uint8_t* Row(int y, std::uint8_t* scratch) const override {
                    if (y == missing) return nullptr;
                    return std::copy_n(&p[std::size_t(y) * std::size_t(w) * 4], w * 4, scratch) -
                           w * 4;
                }
            };
            Pixels streamed(got.size());
            ASSERT_TRUE(ResizeBicubic(Copied(src, s.w, -1), s.w, s.h, streamed.data(), to.w, to.h));
            ASSERT_EQ(streamed, got) << "bicubic rows " << s.w << "x" << s.h;
            ASSERT_TRUE(
                ResizeBilinear(Copied(src, s.w, -1), s.w, s.h, streamed.data(), to.w, to.h));
            ASSERT_EQ(streamed, ReferenceBilinear(src, s.w, s.h, to.w, to.h)) << "bilinear rows";
            EXPECT_FALSE(
                ResizeBilinear(Copied(src, s.w, s.h / 2), s.w, s.h, streamed.data(), to.w, to.h));
        }
}

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
            CDIBSection2 made; // the same turn made straight into a picture
            RotateByAngle(src.data(), s.w, s.h, a, MakeColorRef(back[2], back[1], back[0]), made);
            ASSERT_EQ(made.GetWidth(), rw);
            ASSERT_EQ(made.GetHeight(), rh);
            ASSERT_TRUE(std::equal(want.begin(), want.end(), made.GetBits())) << a;
        }
}
