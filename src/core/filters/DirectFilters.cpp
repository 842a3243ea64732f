#include "core/filters/DirectFilters.h"

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace quiltara {

namespace {

inline std::uint8_t* Px(std::uint8_t* p, int w, int x, int y) {
    return p + (std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4;
}
inline const std::uint8_t* Px(const std::uint8_t* p, int w, int x, int y) {
    return p + (std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4;
}

// Sum of the eight neighbours of (x, y), edge repeated, channel c.
inline int Sum8(const std::uint8_t* p, int w, int h, int x, int y, int c) {
    const int xs[3] = {std::max(x - 1, 0), x, std::min(x + 1, w - 1)};
    const int ys[3] = {std::max(y - 1, 0), y, std::min(y + 1, h - 1)};
    int sum = 0;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            if (i != 1 || j != 1) sum += Px(p, w, xs[i], ys[j])[c];
    return sum;
}

} // namespace

void BlurSharpenRepeatEdge(std::uint8_t* pixels, int width, int height, int amount,
                           BlurSharpenMode mode) {
    if (!pixels || width <= 0 || height <= 0) return;
    amount = std::clamp(amount, 0, 100);
    const double k = mode == BlurSharpenMode::Blur ? amount * 0.01 : amount * 0.005;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = Px(pixels, width, x, y);
            int result[3];
            for (int c = 0; c < 3; ++c) {
                const int v = p[c];
                const int s8 = Sum8(pixels, width, height, x, y, c);
                if (mode == BlurSharpenMode::Blur)
                    result[c] = int(k * (s8 >> 3) + (1.0 - k) * v);
                else
                    result[c] = std::clamp(int(v - k * (s8 - 8 * v)), 0, 255);
            }
            for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(result[c]);
        }
    }
}

void Blur(std::uint8_t* pixels, int width, int height) {
    BlurSharpenRepeatEdge(pixels, width, height, 50, BlurSharpenMode::Blur);
}
void BlurMore(std::uint8_t* pixels, int width, int height) {
    BlurSharpenRepeatEdge(pixels, width, height, 100, BlurSharpenMode::Blur);
}
void Sharpen(std::uint8_t* pixels, int width, int height) {
    BlurSharpenRepeatEdge(pixels, width, height, 10, BlurSharpenMode::Sharpen);
}
void SharpenMore(std::uint8_t* pixels, int width, int height) {
    BlurSharpenRepeatEdge(pixels, width, height, 20, BlurSharpenMode::Sharpen);
}

void MedianCutRepeatEdge(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const std::vector<std::uint8_t> src(pixels,
                                        pixels + std::size_t(width) * std::size_t(height) * 4);
    ParallelFor(height, 32, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const int ys[3] = {std::max(y - 1, 0), y, std::min(y + 1, height - 1)};
            for (int x = 0; x < width; ++x) {
                const int xs[3] = {std::max(x - 1, 0), x, std::min(x + 1, width - 1)};
                std::uint8_t* d = Px(pixels, width, x, y);
                for (int c = 0; c < 3; ++c) {
                    std::uint8_t v[9];
                    int n = 0;
                    for (int j = 0; j < 3; ++j)
                        for (int i = 0; i < 3; ++i) v[n++] = Px(src.data(), width, xs[i], ys[j])[c];
                    std::nth_element(v, v + 4, v + 9);
                    d[c] = v[4];
                }
            }
        }
    });
}

namespace {

// One (offset, sign) step of the hulling on a framed plane of pw x ph bytes. The
// comparisons with "neighbour + 1" are made in int: done in bytes, 255 + 1 wraps to 0
// and every pure white pixel would be lowered, far from any speck.
void HullStep(std::uint8_t* plane, std::uint8_t* temp, int pw, int ph, long long o, int sign) {
    for (int y = 1; y < ph - 1; ++y) {
        for (int x = 1; x < pw - 1; ++x) {
            const std::size_t p = std::size_t(y) * std::size_t(pw) + std::size_t(x);
            const std::uint8_t v = plane[p];
            const std::uint8_t n = plane[std::size_t((long long)p + o)];
            if (sign > 0)
                temp[p] = v < n ? std::uint8_t(v + 1) : v;
            else
                temp[p] = n + 1 < v ? std::uint8_t(v - 1) : v;
        }
    }
    for (int y = 1; y < ph - 1; ++y) {
        for (int x = 1; x < pw - 1; ++x) {
            const std::size_t p = std::size_t(y) * std::size_t(pw) + std::size_t(x);
            std::uint8_t t = temp[p];
            const std::uint8_t a = temp[std::size_t((long long)p - o)];
            const std::uint8_t b = temp[std::size_t((long long)p + o)];
            if (sign > 0) {
                if (t < a + 1 && t < b) ++t;
            } else {
                if (a + 1 < t && b < t) --t;
            }
            plane[p] = t;
        }
    }
}

} // namespace

void Despeckle(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const int pw = width + 2, ph = height + 2;
    const std::size_t planeSize = std::size_t(pw) * std::size_t(ph);
    static const int directions[4][2] = {{0, 1}, {1, 0}, {1, 1}, {-1, 1}};
    // The three planes do not meet: one thread each.
    ParallelFor(3, 1, [&](int begin, int end) {
        std::vector<std::uint8_t> plane(planeSize, 0), temp(planeSize, 0);
        for (int rgb = begin; rgb < end; ++rgb) {
            const int c = 2 - rgb; // red, green, blue in memory order 2, 1, 0
            std::fill(plane.begin(), plane.end(), 0);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    plane[std::size_t(y + 1) * std::size_t(pw) + std::size_t(x + 1)] =
                        Px(pixels, width, x, y)[c];
            for (const auto& d : directions) {
                const long long o = d[0] + (long long)d[1] * pw;
                HullStep(plane.data(), temp.data(), pw, ph, o, +1);
                HullStep(plane.data(), temp.data(), pw, ph, -o, +1);
                HullStep(plane.data(), temp.data(), pw, ph, -o, -1);
                HullStep(plane.data(), temp.data(), pw, ph, o, -1);
                std::fill(temp.begin(), temp.end(), 0);
            }
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    Px(pixels, width, x, y)[c] =
                        plane[std::size_t(y + 1) * std::size_t(pw) + std::size_t(x + 1)];
        }
    });
}

void AutoCleanSkin(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    std::vector<std::uint8_t> smooth(pixels, pixels + bytes);
    Despeckle(smooth.data(), width, height);
    Despeckle(smooth.data(), width, height);
    std::vector<std::uint8_t> sharp(bytes);
    ParallelFor(height, 32, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int v = Px(pixels, width, x, y)[c];
                    const int s8 = Sum8(pixels, width, height, x, y, c);
                    Px(sharp.data(), width, x, y)[c] =
                        std::uint8_t(std::clamp(int(v - 0.04 * (s8 - 8 * v)), 0, 255));
                }
    });
    ParallelFor(height, 64, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* a = Px(smooth.data(), width, x, y);
                const std::uint8_t* s = Px(sharp.data(), width, x, y);
                std::uint8_t* d = Px(pixels, width, x, y);
                const int f = (76 * a[2] + 150 * a[1] + 29 * a[0]) >> 8;
                for (int c = 0; c < 3; ++c) d[c] = std::uint8_t((a[c] * f + s[c] * (255 - f)) >> 8);
            }
    });
}

std::array<std::array<std::uint8_t, 3>, 256> ThermoPalette() {
    std::array<std::array<std::uint8_t, 3>, 256> palette;
    auto bell = [](float d) { return std::exp(-(d * d) * (d * d)); };
    for (int i = 0; i < 256; ++i) {
        const float t = float(i) / 256.0f;
        const float red = bell((t - 0.8f) * 3.3333333f);
        const float green = bell((t - 0.5f) * 3.3333333f);
        const float blue =
            t >= 0.2f ? bell((t - 0.2f) * 3.3333333f) : bell((0.2f - t) * 4.1666665f);
        palette[std::size_t(i)] = {std::uint8_t(red * 255.0f), std::uint8_t(green * 255.0f),
                                   std::uint8_t(blue * 255.0f)};
    }
    return palette;
}

void ThermoVision(std::uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const auto palette = ThermoPalette();
    const std::size_t count = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + i * 4;
        const auto& e = palette[std::size_t((76 * p[2] + 150 * p[1] + 29 * p[0]) >> 8)];
        p[2] = e[0], p[1] = e[1], p[0] = e[2];
    }
}

} // namespace quiltara
