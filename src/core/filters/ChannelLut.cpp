#include "core/filters/ChannelLut.h"

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <cmath>

namespace quiltara {

ChannelLut::ChannelLut() {
    for (auto& t : table)
        for (int i = 0; i < 256; ++i) t[std::size_t(i)] = i;
}

int CurveEntry(double y) {
    const double v = 255.0 * y + 0.5;
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return int(v);
}

void ChannelLut::SetCurve(int k, const std::function<double(double)>& curve) {
    if (k < 0 || k > 3) return;
    for (int i = 0; i < 256; ++i)
        table[std::size_t(k)][std::size_t(i)] = CurveEntry(curve(i / 255.0));
}

void ChannelLut::SetAllColourCurves(const std::function<double(double)>& curve) {
    for (int k = 0; k < 3; ++k) SetCurve(k, curve);
}

bool ChannelLut::IsIdentity(int k) const {
    if (k < 0 || k > 3) return false;
    for (int i = 0; i < 256; ++i)
        if (table[std::size_t(k)][std::size_t(i)] != i) return false;
    return true;
}

void ChannelLut::Apply32(std::uint8_t* pixels, int width, int height) const {
    Apply32(pixels, pixels, width, height);
}

void ChannelLut::Apply32(const std::uint8_t* src, std::uint8_t* dst, int width, int height) const {
    if (!src || !dst || width <= 0 || height <= 0) return;
    std::array<std::array<std::uint8_t, 256>, 3> bytes;
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 256; ++i)
            bytes[std::size_t(k)][std::size_t(i)] =
                std::uint8_t(std::clamp(table[std::size_t(k)][std::size_t(i)], 0, 255));
    const std::size_t stride = std::size_t(width) * 4;
    ParallelFor(height, 64, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* s = src + std::size_t(y) * stride;
            std::uint8_t* d = dst + std::size_t(y) * stride;
            for (int x = 0; x < width; ++x, s += 4, d += 4) {
                d[0] = bytes[0][s[0]], d[1] = bytes[1][s[1]], d[2] = bytes[2][s[2]];
                d[3] = s[3];
            }
        }
    });
}

void ChannelLut::Apply24(std::uint8_t* pixels, int width, int height) const {
    if (!pixels || width <= 0 || height <= 0) return;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k)
            pixels[i * 3 + std::size_t(k)] = std::uint8_t(
                std::clamp(table[std::size_t(k)][pixels[i * 3 + std::size_t(k)]], 0, 255));
}

double LevelsCurve(double x, double inBlack, double inWhite, double outBlack, double outWhite,
                   double gamma) {
    double f = 255.0 * x - inBlack;
    if (inWhite != inBlack) f /= (inWhite - inBlack);
    if (gamma != 0) f = (f < 0 ? -1.0 : 1.0) * std::pow(std::fabs(f), 1.0 / gamma);
    return (outBlack + f * (outWhite - outBlack)) / 255.0;
}

double GammaFromPosition(int position) {
    if (position == 100) return 1.0;
    if (position < 100) return 0.1 + position * 0.00909090909090909;
    return 1.0 + (position - 100) * 0.02;
}

double ContrastStretchCurve(double x, double k) {
    if (k > 1.0) return 1.0 - std::pow(1.0 - x, k);
    return std::pow(x, 1.0 / k);
}

Histograms TakeHistograms(const std::uint8_t* pixels, int width, int height) {
    Histograms h;
    if (!pixels || width <= 0 || height <= 0) return h;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = pixels + i * 4;
        const int b = p[0], g = p[1], r = p[2];
        ++h.channel[0][std::size_t(r)];
        ++h.channel[1][std::size_t(g)];
        ++h.channel[2][std::size_t(b)];
        ++h.intensity[std::size_t(std::max({r, g, b}))];
        ++h.intensity[std::size_t((r + g + b) / 3)];
    }
    return h;
}

} // namespace quiltara
