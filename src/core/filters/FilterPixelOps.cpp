#include "core/filters/FilterPixelOps.h"

#include "core/base/RuntimeRandom.h"

#include <cmath>
#include <cstdlib>

namespace quiltara {

namespace filter_math {

namespace {
constexpr double kPi = 3.14159265358979323846;
} // namespace

// Truncation toward zero that stays defined for results far outside int.
inline int Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return int(v);
}

int Luminance(int r, int g, int b) {
    return (29 * r + 150 * g + 76 * b) >> 8;
}

int Map(const FilterPixelContext& ctx, int i, int lo, int hi) {
    return Trunc(ctx.P[i] * double(hi - lo) / 256.0 + lo);
}

int Blend(double a, double b, double t, double d) {
    if (d == 0) return Trunc(a);
    return Trunc(a * t / d + b * (d - t) / d);
}

int Lerp(double v, double x0, double x1, double y0, double y1) {
    if (x0 == x1) return Trunc(y1);
    return Trunc((y1 - y0) / (x1 - x0) * (v - x0) + y0);
}

int Sin512(long long k) {
    return Trunc(512.0 * std::sin(double(k) * 2.0 * kPi / 1024.0));
}
int Cos512(long long k) {
    return Trunc(512.0 * std::cos(double(k) * 2.0 * kPi / 1024.0));
}

int Angle(double u, double v) {
    if (u == 0 && v == 0) return 0;
    return Trunc(std::atan2(v, u) * 512.0 / kPi);
}

int Rand(CRuntimeRandom& random, int a, int b) {
    return a + Trunc(random.Next() / 32767.0 * (b - a) + 0.5);
}

} // namespace filter_math

namespace {

using namespace filter_math;
constexpr int R = 0, G = 1, B = 2;

struct Pix {
    int r, g, b;
};
inline Pix At(const FilterPixelContext& c, int x, int y) {
    return {c.S(x, y, R), c.S(x, y, G), c.S(x, y, B)};
}

// 3 x 3 sum of S(x + i, y + j, ch) * k[j + 1][i + 1], divided by n (0 counts as 1).
int Conv(const FilterPixelContext& c, int x, int y, int ch, const int k[3][3], int n) {
    int sum = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i)
            if (k[j + 1][i + 1]) sum += c.S(x + i, y + j, ch) * k[j + 1][i + 1];
    return sum / (n == 0 ? 1 : n);
}

void Boost(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int k = Map(c, 0, 255, 1);
    out[R] = Blend(2 * p.r, p.g + p.b, 255, k) / 2;
    out[G] = Blend(2 * p.g, p.b + p.r, 255, k) / 2;
    out[B] = Blend(2 * p.b, p.r + p.g, 255, k) / 2;
}

void Saturation(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    out[R] = p.r, out[G] = p.g, out[B] = p.b;
    if (p.r == p.g || p.g == p.b || p.r == p.b) return;
    const int hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
    const int room = std::min(255 - hi, lo);
    const int l = Luminance(p.r, p.g, p.b);
    if (c.P[0] < 128) {
        const int u = Map(c, 0, 255, -255);
        for (int ch = 0; ch < 3; ++ch) out[ch] = Blend(l, v[ch], u, 255);
    } else {
        const int s = Map(c, 0, -room, room);
        for (int ch = 0; ch < 3; ++ch) out[ch] = Lerp(v[ch], lo, hi, lo - s, hi + s);
    }
}

void Balance(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    out[R] = c.P[0] * p.r * 2 / 256;
    out[G] = c.P[1] * p.g * 2 / 256;
    out[B] = c.P[2] * p.b * 2 / 256;
}

void Contrast(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = v[ch] + std::abs(v[ch] - Blend(0, v[ch], c.P[0], 128)) -
                  std::abs(v[ch] - Blend(255, v[ch], c.P[1], 128));
}

void Sharpen(const FilterPixelContext& c, int x, int y, int out[3]) {
    static const int k[3][3] = {{0, -1, 0}, {-1, 5, -1}, {0, -1, 0}};
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = Blend(Conv(c, x, y, ch, k, 1), c.S(x, y, ch), c.P[ch], 255);
}

void Antialias(const FilterPixelContext& c, int x, int y, int out[3]) {
    for (int ch = 0; ch < 3; ++ch) {
        const int v = c.S(x, y, ch);
        const int n[4] = {c.S(x - 1, y, ch), c.S(x + 1, y, ch), c.S(x, y - 1, ch),
                          c.S(x, y + 1, ch)};
        bool differs = false;
        for (int k = 0; k < 4; ++k) differs = differs || std::abs(n[k] - v) > 255 - c.P[ch];
        out[ch] = differs ? (v + n[0] + n[1] + n[2] + n[3]) / 5 : v;
    }
}

void Colorize(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int l = Luminance(p.r, p.g, p.b);
    for (int ch = 0; ch < 3; ++ch) out[ch] = Lerp(l, 0, 255, 0, 2 * c.P[ch]);
}

void Shift(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int* P = c.P;
    out[B] = ((255 - P[1]) * p.b / 255 + P[1] * p.g / 255) * P[0] / 255 + (255 - P[0]) * p.r / 255;
    out[G] = ((255 - P[3]) * p.b / 255 + P[3] * p.r / 255) * P[2] / 255 + (255 - P[2]) * p.g / 255;
    out[R] = ((255 - P[5]) * p.g / 255 + P[5] * p.r / 255) * P[4] / 255 + (255 - P[4]) * p.b / 255;
}

void Solarize(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    const int t = p.r + p.g + p.b;
    for (int ch = 0; ch < 3; ++ch) out[ch] = 3 * c.P[ch] >= t ? v[ch] + (3 * c.P[ch] - t) : v[ch];
}

void Quantize(const FilterPixelContext& c, int x, int y, int out[3]) {
    for (int ch = 0; ch < 3; ++ch) out[ch] = c.S(x, y, ch) & ((0xFF << Map(c, ch, 0, 7)) & 0xFF);
}

void Embossed(const FilterPixelContext& c, int x, int y, int out[3]) {
    static const int lower[3][3] = {{0, 0, 0}, {0, 1, 1}, {0, 1, 1}};
    static const int upper[3][3] = {{1, 1, 0}, {1, 1, 0}, {0, 0, 0}};
    const int e = (c.P[0] + 1) * (Conv(c, x, y, R, lower, 4) - Conv(c, x, y, R, upper, 4)) / 20 +
                  2 * c.P[1] - 255;
    for (int ch = 0; ch < 3; ++ch) out[ch] = Blend(c.S(x, y, ch), e, c.P[2], 255);
}

void OilEmboss(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    const int l = Luminance(p.r, p.g, p.b);
    const int gy = 2 * c.S(x, y - 1, R) - 2 * c.S(x, y + 1, R);
    const int gx = 2 * c.S(x - 1, y, R) - 2 * c.S(x + 1, y, R);
    const int t = Map(c, 1, gx, -gx);
    const int u = Map(c, 0, gy, -gy);
    for (int ch = 0; ch < 3; ++ch) {
        const int off = Map(c, 2 + ch, -20, 60);
        const int a = Angle(l / 2 + 2 * std::abs(gx) + 2 * std::abs(gy) - off, v[ch]);
        out[ch] = Trunc((a + t + u + 40 - v[ch]) * 192.0 / 256.0 + v[ch]);
    }
}

void AgedPhoto(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int* P = c.P;
    c.ScratchSet(255, Rand(*c.random, -(P[1] / 2), P[1] / 2));
    const int col = x % 255;
    if (y == 0 && x <= 254) c.ScratchSet(col, Rand(*c.random, -(P[0] / 2), P[0] / 2));
    const long long W = c.width, H = c.height;
    const long long half = (long long)(std::sqrt(double(W * W + H * H)) / 2.0);
    const long long dy = y - H / 2, dx = x - W / 2;
    const long long dist = (long long)std::sqrt(double(dy * dy + dx * dx));
    // A picture whose half diagonal is below 4 pixels has q = 0; the fade is then
    // taken over one pixel instead of dividing by zero. 64-bit: dist * 255 * dist
    // passes the 32-bit range on large pictures.
    const long long q = std::max(1LL, half * half / 12);
    const int marks = c.ScratchGet(col) + c.ScratchGet(255);
    const int l = Luminance(p.r, p.g, p.b);
    out[R] = int(Blend(l + 30, p.r, P[2], 255) + dist * P[3] * dist / q - marks);
    out[G] = int(Blend(l, p.g, P[2], 255) + dist * P[4] * dist / q - marks);
    out[B] = int(Blend(l - 30, p.b, P[2], 255) + dist * P[5] * dist / q - marks);
}

void PastelPop(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    int l = Luminance(p.r, p.g, p.b);
    if (l == 0) l = 1;
    for (int ch = 0; ch < 3; ++ch) out[ch] = c.P[0] % l + v[ch];
}

void PosterArt(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    for (int ch = 0; ch < 3; ++ch) out[ch] = Blend(v[ch], p.r | (p.b + (c.P[ch] - 128)), 1, 4);
}

void Colored(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    const int l = Luminance(p.r, p.g, p.b);
    for (int ch = 0; ch < 3; ++ch) out[ch] = v[ch] ^ std::abs(l - c.P[ch]);
}

void Melter(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    for (int ch = 0; ch < 3; ++ch) {
        const int pk = c.P[ch + 1];
        const int m = Trunc(c.P[0] * (v[ch] * 255.0 / 32.0 - pk) / 256.0 + pk);
        out[ch] = (m & 256) ? 511 - (m & 511) : (m & 255);
    }
}

void PopColors(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int a = (p.r + p.g + p.b) / 3;
    for (int ch = 0; ch < 3; ++ch) {
        const int centre = c.P[2 * ch], range = c.P[2 * ch + 1];
        out[ch] = (centre - range < a && a < centre + range)
                      ? 255 - std::abs(a - centre) * 255 / range
                      : 0;
    }
}

void ThreeColors(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int l = Luminance(p.r, p.g, p.b);
    for (int ch = 0; ch < 3; ++ch) out[ch] = l > c.P[ch] ? 0 : 255;
}

void UrbanArt(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int W = c.width, H = c.height;
    // Mirrored positions as (column, row).
    const int m1x = H - y, m1y = W - x, m2x = W - x, m2y = H - y, m3x = y, m3y = x;
    const int* P = c.P;
    out[R] = Blend(p.r - c.S(m3x, m3y, B), c.S(m2x, m2y, B) - c.S(m1x, m1y, B), P[0], P[1]);
    out[G] = Blend(p.g - c.S(m3x, m3y, G), c.S(m2x, m2y, G) - c.S(m1x, m1y, G), P[2], P[3]);
    out[B] = Blend(p.b - c.S(m3x, m3y, R), c.S(m2x, m2y, R) - c.S(m1x, m1y, R), P[4], P[5]);
}

void NeonArt(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    const int from[3] = {B, G, R}; // the channel each one's neighbours are read from
    const int l = Luminance(p.r, p.g, p.b);
    for (int ch = 0; ch < 3; ++ch) {
        int e = 0;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (i || j) e += std::abs(c.S(x + i, y + j, from[ch]) - v[ch]);
        out[ch] = l + c.P[ch] * (v[ch] - l) * e / 2048;
    }
}

void GlowingEdge(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int* P = c.P;
    out[R] = Blend(p.r, c.S(x + 1, y + 1, B), P[0], P[1]);
    out[G] = Blend(p.g, c.S(x + 1, y + 1, G), P[2], P[3]);
    out[B] = Blend(p.b, c.S(x + 1, y + 1, R), P[4], P[5]);
}

void Oceanic(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const int v[3] = {p.r, p.g, p.b};
    const int sy = Map(c, 0, 1, c.height), sx = Map(c, 0, 1, c.width);
    // Products of picture coordinates wrap as 32-bit integers.
    const std::uint32_t product =
        std::uint32_t(sy) * std::uint32_t(sx) * std::uint32_t(y) * std::uint32_t(x);
    const int wave = Lerp(Cos512(std::int32_t(product) / 2), -511, 512, 0, 255);
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = (c.P[4] - 128) + (c.P[ch + 1] - 128) + 2 * v[ch] - wave;
}

void GradientPoster(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const long long W = c.width;
    const int steps = std::max(1, Map(c, 1, 255, 1));
    const int l = Luminance(p.r, p.g, p.b);
    const long long e = W * c.P[2] * 4 / 255;
    const long long f = Lerp(l - l % steps, 0, 255, 0, double(e));
    const long long g = Map(c, 0, 0, c.width);
    const long long offsets[3] = {0, W / 3, 2 * W / 3};
    for (int ch = 0; ch < 3; ++ch) {
        long long phase = (f + g + offsets[ch] + W + x) % W;
        if (phase < 0) phase += W;
        out[ch] = Lerp(Sin512(phase * 512 / W), 0, 512, 0, 255);
    }
}

void Mosaic3(const FilterPixelContext& c, int x, int y, int out[3]) {
    const int s = std::max(1, Map(c, 0, 1, c.width));
    const int dx = x % s, dy = y % s;
    const int bx = x - dx, by = y - dy;
    const bool a = s - dx < dy, bq = dx < dy;
    int px = bx, py = by;
    if (!a && !bq)
        py = by - s / 2;
    else if (!a && bq)
        px = bx - s / 2;
    else if (a && !bq)
        py = by + s / 2;
    else
        px = bx + s / 2;
    for (int ch = 0; ch < 3; ++ch) out[ch] = c.S(px, py, ch);
}

struct Cell {
    int fx, fy, cx, cy;
};
Cell CellOf(const FilterPixelContext& c, int x, int y) {
    const int cw = std::max(1, Map(c, 0, 0, c.width)), ch = std::max(1, Map(c, 0, 0, c.height));
    const int fx = x % cw, fy = y % ch;
    return {fx, fy, x - fx + cw / 2, y - fy + ch / 2};
}

void MosaicSoft(const FilterPixelContext& c, int x, int y, int out[3]) {
    const int cw = std::max(1, Map(c, 0, 0, c.width)), chh = std::max(1, Map(c, 0, 0, c.height));
    const Cell cell = CellOf(c, x, y);
    const long long shade = std::llabs((long long)Sin512(Lerp(y, 0, 2 * chh, -512, 512)) *
                                       Sin512(Lerp(x, 0, 2 * cw, -512, 512)));
    const int u = Lerp(double(shade), 0, 262144, 0, 255);
    for (int ch = 0; ch < 3; ++ch) out[ch] = u * c.S(cell.cx, cell.cy, ch) / 255;
}

void MosaicHard(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Cell cell = CellOf(c, x, y);
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = (cell.fx != 0 && cell.fy != 0) ? c.S(cell.cx, cell.cy, ch) : 0;
}

void PageCurl(const FilterPixelContext& c, int x, int y, int out[3]) {
    const Pix p = At(c, x, y);
    const long long W = c.width, H = c.height;
    const int* P = c.P;
    const bool up = P[1] > 128;
    const int k = P[1] % 128, j = P[1] % 64;
    const long long m = k <= 64 ? (up ? y : x) : (up ? H - y : W - x);
    const long long U = (255 - P[0]) * m * 11 / W;
    c.ScratchSet(1, int(std::min<long long>(U, 2147483647)));
    long long v[3] = {p.r, p.g, p.b};
    if (U <= 300) {
        const long long e = j >= 32 ? (up ? x : y) : (up ? W - x : H - y);
        const long long V = (255 - P[0]) * e * 11 / W;
        c.ScratchSet(0, int(std::min<long long>(V, 2147483647)));
        int zone = 0;
        if (3 * U >= 683 - V) {
            zone = 1;
            if ((300 - U) * (300 - U) + (100 - V) * (100 - V) > 10000) {
                zone = 100;
                if (1000 * U < 424025 - 620 * V) zone = U < 3 * V ? 170 : 0;
            }
        }
        c.ScratchSet(3, zone);
        if (zone == 170) {
            // 684 - V is never 0 in this zone; guarded all the same.
            const long long divisor = 684 - V == 0 ? 1 : 684 - V;
            const long long s4 = (Sin512(U * 4686 / divisor - 1400) * 77 + 56320) >> 10;
            c.ScratchSet(4, int(s4));
            c.ScratchSet(6, 13500);
            for (auto& value : v) value = (s4 * ((13500 + 120 * value) / 255 - 255)) / 100 + 255;
        } else if (zone == 1) {
            for (auto& value : v) value = ((156 * U - 21300) * value) / 25500;
        } else if (zone == 0) {
            for (auto& value : v) value = 255;
            const long long s = (3 * U + V - 540) * 39 / 200;
            if (s < 255)
                for (auto& value : v) value = 255 - s;
        }
    }
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = int(std::clamp<long long>(v[ch], -2147483647, 2147483647));
}

} // namespace

FilterPixelOp PixelOperationFor(int slot) {
    switch (slot) {
    case 0:
        return Boost;
    case 1:
        return Saturation;
    case 2:
        return Balance;
    case 3:
        return Contrast;
    case 4:
        return Sharpen;
    case 5:
        return Antialias;
    case 6:
        return Colorize;
    case 7:
        return Shift;
    case 8:
        return Solarize;
    case 9:
        return Quantize;
    case 10:
        return Embossed;
    case 11:
        return OilEmboss;
    case 12:
        return AgedPhoto;
    case 13:
        return PastelPop;
    case 14:
        return PosterArt;
    case 15:
        return Colored;
    case 16:
        return Melter;
    case 17:
        return PopColors;
    case 18:
        return ThreeColors;
    case 19:
        return UrbanArt;
    case 20:
        return NeonArt;
    case 21:
        return GlowingEdge;
    case 22:
        return Oceanic;
    case 23:
        return GradientPoster;
    case 24:
        return Mosaic3;
    case 25:
        return MosaicSoft;
    case 26:
        return MosaicHard;
    case 27:
        return PageCurl;
    default:
        return nullptr;
    }
}

bool PixelOperationIsSequential(int slot) {
    return slot == 12 || slot == 27;
}

} // namespace quiltara
