#include "core/filters/ToneAdjustments.h"

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quiltara {

namespace {

template <typename PerPixel>
void ForEachPixel(std::uint8_t* pixels, int width, int height, PerPixel perPixel) {
    if (!pixels || width <= 0 || height <= 0) return;
    const std::size_t stride = std::size_t(width) * 4;
    ParallelFor(height, 64, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            std::uint8_t* p = pixels + std::size_t(y) * stride;
            for (int x = 0; x < width; ++x, p += 4) perPixel(p);
        }
    });
}

inline int LumaTrunc(int r, int g, int b) {
    return int(0.299 * r + 0.587 * g + 0.114 * b);
}

} // namespace

void Desaturate(std::uint8_t* pixels, int width, int height) {
    ForEachPixel(pixels, width, height, [](std::uint8_t* p) {
        const std::uint8_t g = std::uint8_t((76 * p[2] + 150 * p[1] + 29 * p[0]) >> 8);
        p[0] = p[1] = p[2] = g;
    });
}

void Negative(std::uint8_t* pixels, int width, int height) {
    ForEachPixel(pixels, width, height, [](std::uint8_t* p) {
        p[0] = std::uint8_t(255 - p[0]), p[1] = std::uint8_t(255 - p[1]),
        p[2] = std::uint8_t(255 - p[2]);
    });
}

void Sepia(std::uint8_t* pixels, int width, int height) {
    ForEachPixel(pixels, width, height, [](std::uint8_t* p) {
        const int s = 76 * p[2] + 150 * p[1] + 29 * p[0];
        p[2] = std::uint8_t(s < 57856 ? s / 256 + 30 : 255);
        p[1] = std::uint8_t(s >> 8);
        p[0] = std::uint8_t(s < 7680 ? 0 : s / 256 - 30);
    });
}

double AutoLevelsClip(double fraction) {
    return int(fraction * 255.0) * 100.0 / 255.0;
}

AutoLevelsResult AutoLevels(std::uint8_t* pixels, int width, int height, double clipPercent) {
    AutoLevelsResult result;
    if (!pixels || width <= 0 || height <= 0) return result;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint64_t> histogram(256, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = pixels + i * 4;
        ++histogram[std::size_t(LumaTrunc(p[2], p[1], p[0]))];
    }
    // A picture of one luminance has nothing to stretch (a small one would otherwise
    // find its black point at 0, a large one divide by zero): it stays as it was.
    if (std::count_if(histogram.begin(), histogram.end(), [](std::uint64_t v) { return v != 0; }) <
        2)
        return result;
    const double n = double(count);
    const std::uint64_t lowCount = std::uint64_t(n * clipPercent / 100.0);
    const std::uint64_t highCount = std::uint64_t(n * (1.0 - clipPercent / 100.0));
    int lo = -1, hi = -1;
    std::uint64_t sum = 0;
    for (int v = 0; v < 256; ++v) {
        sum += histogram[std::size_t(v)];
        if (lo < 0 && sum >= lowCount) lo = v;
        if (hi < 0 && sum >= highCount) hi = v;
    }
    if (lo < 1) lo = 0;
    if (hi < 1) hi = 0;
    if (lo > hi) std::swap(lo, hi);
    result.lo = lo;
    result.hi = hi;
    // One occupied level would divide by zero: nothing to stretch, the picture stays.
    if (lo == hi) return result;
    std::array<int, 256> stretched;
    for (int v = 0; v < 256; ++v)
        stretched[std::size_t(v)] =
            std::clamp(int(double(v - lo) * 255.0 / double(hi - lo)), 0, 255);
    ForEachPixel(pixels, width, height, [&](std::uint8_t* p) {
        const int y = LumaTrunc(p[2], p[1], p[0]);
        const int d = y - stretched[std::size_t(y)];
        for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::clamp(int(p[c]) - d, 0, 255));
    });
    result.changed = true;
    return result;
}

ChannelLut AutoEnhanceLut() {
    ChannelLut curve;
    curve.SetAllColourCurves([](double x) { return ContrastStretchCurve(x, 1.3); });
    ChannelLut blueLevels;
    blueLevels.SetCurve(0, [](double x) { return LevelsCurve(x, 0, 255, 0, 255, 0.9); });
    // Blue goes through the curve and then the levels map: one composed table.
    for (int i = 0; i < 256; ++i)
        curve.table[0][std::size_t(i)] =
            blueLevels.table[0][std::size_t(curve.table[0][std::size_t(i)])];
    return curve;
}

void AutoEnhancePhotos(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    AutoLevels(pixels, width, height, AutoLevelsClip(0.02));
    AutoEnhanceLut().Apply32(pixels, width, height);
}

void Equalize(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    for (int c = 0; c < 3; ++c) {
        std::array<std::uint64_t, 256> histogram{};
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const int v = pixels[i * 4 + std::size_t(c)];
            if (v > 12) ++histogram[std::size_t(v)], ++total;
        }
        std::array<std::uint8_t, 256> map;
        std::uint64_t cumulative = 0;
        for (int v = 0; v < 256; ++v) {
            cumulative += histogram[std::size_t(v)];
            map[std::size_t(v)] =
                v <= 12 ? std::uint8_t(v) : std::uint8_t(total ? cumulative * 255 / total : 0);
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t& v = pixels[i * 4 + std::size_t(c)];
            v = map[v];
        }
    }
}

HueSaturationTables MakeHueSaturationTables(int huePosition, int saturationPosition,
                                            int lightnessPosition) {
    HueSaturationTables t;
    const int H = huePosition - 180, S = saturationPosition - 100, L = lightnessPosition - 100;
    const int hueShift = int(H * 0.7083333333333334);
    const int f = int(L * 1.27);
    const int s = std::clamp(int(S * 2.55), -255, 255);
    for (int i = 0; i < 256; ++i) {
        int h = i + hueShift;
        if (h < 0)
            h += 255;
        else if (h > 255)
            h -= 255;
        t.hue[std::size_t(i)] = h;
        int l;
        if (f < -255)
            l = 0;
        else if (f < 0)
            l = i * (f + 255) / 255;
        else if (f < 256)
            l = (255 - i) * f / 255 + i;
        else
            l = 255;
        t.lightness[std::size_t(i)] = l;
        t.saturation[std::size_t(i)] = std::min(255, i * (s + 255) / 255);
    }
    return t;
}

Hls RgbToHls(int r, int g, int b) {
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2.0;
    Hls out;
    out.l = int(l);
    if (mx == mn) return out;
    const double d = mx - mn;
    const double s = l < 128 ? d * 255.0 / (mx + mn) : d * 255.0 / (511 - mx - mn);
    double h;
    if (r == mx)
        h = 42.5 * ((g - b) / d);
    else if (g == mx)
        h = 42.5 * (2.0 + (b - r) / d);
    else
        h = 42.5 * (4.0 + (r - g) / d);
    if (h < 0)
        h += 255;
    else if (h > 255)
        h -= 255;
    out.h = int(h);
    out.s = int(s);
    return out;
}

void HlsToRgb(const Hls& hls, int& r, int& g, int& b) {
    const double l = hls.l, s = hls.s;
    if (hls.s == 0) {
        r = g = b = hls.l;
        return;
    }
    const double m2 = l >= 128 ? (l + s - l * s / 255.0) / 255.0 : l * (s + 255.0) / 65025.0;
    const double m1 = 2.0 * l / 255.0 - m2;
    auto v = [&](double t) {
        if (t < 0)
            t += 255;
        else if (t > 255)
            t -= 255;
        double y;
        if (t < 42.5)
            y = 255.0 * (m1 + (m2 - m1) * t * 6.0 / 255.0);
        else if (t < 127.5)
            y = 255.0 * m2;
        else if (t < 170)
            y = 255.0 * (m1 + (m2 - m1) * (170.0 - t) * 6.0 / 255.0);
        else
            y = 255.0 * m1;
        return int(y);
    };
    r = v(hls.h + 85.0);
    g = v(hls.h);
    b = v(hls.h - 85.0);
}

void ApplyHueSaturation(const std::uint8_t* src, std::uint8_t* dst, int width, int height,
                        const HueSaturationTables& tables) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    const std::size_t stride = std::size_t(width) * 4;
    ParallelFor(height, 32, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* s = src + std::size_t(y) * stride;
            std::uint8_t* d = dst + std::size_t(y) * stride;
            for (int x = 0; x < width; ++x, s += 4, d += 4) {
                Hls c = RgbToHls(s[2], s[1], s[0]);
                c.h = tables.hue[std::size_t(std::clamp(c.h, 0, 255))];
                c.l = tables.lightness[std::size_t(std::clamp(c.l, 0, 255))];
                c.s = tables.saturation[std::size_t(std::clamp(c.s, 0, 255))];
                int r, g, b;
                HlsToRgb(c, r, g, b);
                d[2] = std::uint8_t(std::clamp(r, 0, 255));
                d[1] = std::uint8_t(std::clamp(g, 0, 255));
                d[0] = std::uint8_t(std::clamp(b, 0, 255));
                d[3] = s[3];
            }
        }
    });
}

} // namespace quiltara
