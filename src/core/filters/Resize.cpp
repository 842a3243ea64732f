#include "core/filters/Resize.h"

#include "core/base/ParallelFor.h"
#include "core/base/ProgressReporter.h"
#include "core/image/DIBSection2.h"
#include "core/image/codecs/CodecIO.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace quiltara {

namespace {

// Sums are rounded down into a byte. The weights of one output pixel add up to one,
// but in single precision only nearly: without the small allowance a flat 77 would
// come out as 76 after one pass and 75 after two, and every resize would darken.
constexpr float kWeightSumAllowance = 2e-3f;

// The sums are finite, so clamping before the truncation is the same as testing the
// ends first, and it leaves loops the compiler can turn into vector code.
inline std::uint8_t FloorToByte(float v) {
    v += kWeightSumAllowance;
    return std::uint8_t(int(std::min(std::max(v, 0.0f), 255.0f))); // positive: truncation is floor
}

// The four channels of a pixel as one vector: one multiply and one add a tap, in the
// same order as channel by channel.
typedef float Float4 __attribute__((vector_size(16)));
typedef std::uint8_t Byte4 __attribute__((vector_size(4)));

inline Float4 Load4(const std::uint8_t* p) {
    Byte4 b;
    std::memcpy(&b, p, 4);
    return __builtin_convertvector(b, Float4);
}

inline void Store4(std::uint8_t* d, Float4 acc) {
    for (int ch = 0; ch < 4; ++ch) d[ch] = FloorToByte(acc[ch]);
}

// The contributors of every output sample in two flat arrays.
struct FlatContributors {
    std::vector<int> first; // m + 1 offsets into index and weight
    std::vector<int> index;
    std::vector<float> weight;
    explicit FlatContributors(const std::vector<BilinearContributor>& list) {
        first.reserve(list.size() + 1);
        for (const BilinearContributor& c : list) {
            first.push_back(int(index.size()));
            index.insert(index.end(), c.index.begin(), c.index.end());
            weight.insert(weight.end(), c.weight.begin(), c.weight.end());
        }
        first.push_back(int(index.size()));
    }
};

} // namespace

std::vector<BilinearContributor> BilinearContributors(int n, int m) {
    std::vector<BilinearContributor> list(std::size_t(std::max(m, 0)));
    if (n <= 0 || m <= 0) return list;
    const double scale = double(m) / double(n);
    const double width = scale >= 1.0 ? 1.0 : 1.0 / scale;
    const double weightScale = scale >= 1.0 ? 1.0 : scale;
    const int maxTaps = 2 * int(std::ceil(width)) + 1;
    for (int j = 0; j < m; ++j) {
        BilinearContributor& c = list[std::size_t(j)];
        const double centre = j / scale;
        const int left = int(std::floor(centre - width));
        const int right = int(std::ceil(centre + width));
        double sum = 0.0;
        std::vector<double> weights;
        for (int i = left, taps = 0; i <= right && taps < maxTaps; ++i, ++taps) {
            if (i < 0 || i >= n) continue;
            const double t = (centre - i) * weightScale;
            const double f = std::fabs(t) < 1.0 ? 1.0 - std::fabs(t) : 0.0;
            const double w = weightScale * f;
            if (w == 0.0) continue;
            c.index.push_back(i);
            weights.push_back(w);
            sum += w;
        }
        for (double w : weights) c.weight.push_back(float(sum > 0.0 ? w / sum : w));
        if (c.index.empty()) {
            // Only possible through rounding at the very edge: take the nearest sample.
            c.index.push_back(std::clamp(int(centre), 0, n - 1));
            c.weight.push_back(1.0f);
        }
    }
    return list;
}

void ResizeBilinear(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH) {
    if (!src || !dst || w <= 0 || h <= 0 || newW <= 0 || newH <= 0) return;
    const FlatContributors columns(BilinearContributors(w, newW));
    const auto rows = BilinearContributors(h, newH);
    const std::size_t srcStride = std::size_t(w) * 4, tempStride = std::size_t(newW) * 4;
    // Every byte is written by the row pass before the column pass reads it.
    Pixels temp(tempStride * std::size_t(h));

    // Rows: every output column from its contributors in the same source row.
    ParallelFor(h, 16, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* s = src + std::size_t(y) * srcStride;
            std::uint8_t* t = temp.data() + std::size_t(y) * tempStride;
            if (newW == w) {
                std::memcpy(t, s, srcStride);
                continue;
            }
            for (int x = 0; x < newW; ++x) {
                Float4 acc = {0, 0, 0, 0};
                for (int k = columns.first[std::size_t(x)]; k < columns.first[std::size_t(x) + 1];
                     ++k) {
                    const Float4 p = Load4(s + std::size_t(columns.index[std::size_t(k)]) * 4);
                    acc += columns.weight[std::size_t(k)] * p;
                }
                Store4(t + std::size_t(x) * 4, acc);
            }
        }
    });

    // Columns: every output row is a weighted sum of whole rows of the buffer.
    ParallelFor(newH, 16, [&](int begin, int end) {
        std::vector<float> acc(tempStride);
        for (int y = begin; y < end; ++y) {
            const BilinearContributor& c = rows[std::size_t(y)];
            std::fill(acc.begin(), acc.end(), 0.0f);
            float* a = acc.data();
            for (std::size_t k = 0; k < c.index.size(); ++k) {
                const std::uint8_t* t = temp.data() + std::size_t(c.index[k]) * tempStride;
                const float wk = c.weight[k];
                for (std::size_t i = 0; i < tempStride; ++i) a[i] += wk * float(t[i]);
            }
            std::uint8_t* d = dst + std::size_t(y) * tempStride;
            for (std::size_t i = 0; i < tempStride; ++i) d[i] = FloorToByte(a[i]);
        }
    });
}

void BicubicWeights(float t, float weights[4]) {
    const float t2 = t * t, t3 = t2 * t;
    weights[0] = 1.0f / 6.0f - t / 2.0f + t2 / 2.0f - t3 / 6.0f;
    weights[1] = 2.0f / 3.0f - t2 + t3 / 2.0f;
    weights[2] = 1.0f / 6.0f + t / 2.0f + t2 / 2.0f - t3 / 2.0f;
    weights[3] = t3 / 6.0f;
}

void ResizeBicubic(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH,
                   IProgressReporter* progress) {
    if (!src || !dst || w <= 0 || h <= 0 || newW <= 0 || newH <= 0) return;
    if (progress) {
        progress->Begin("Resizing", newH);
        progress->SetPos(0);
    }
    const std::size_t srcStride = std::size_t(w) * 4;
    // The horizontal positions and weights are the same for every row.
    std::vector<float> sxs(static_cast<std::size_t>(newW));
    std::vector<float> wxs(std::size_t(newW) * 4);
    for (int x = 0; x < newW; ++x) {
        const float sx = float(x) * float(w) / float(newW);
        sxs[std::size_t(x)] = sx;
        BicubicWeights(sx - std::floor(sx), &wxs[std::size_t(x) * 4]);
    }
    int lastReported = 0;
    ParallelFor(
        newH, 8,
        [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const float sy = float(y) * float(h) / float(newH);
                const bool rowInside = sy >= 1.0f && sy < float(h - 2);
                const int iy = int(std::floor(sy));
                float wy[4];
                BicubicWeights(sy - float(iy), wy);
                const int nearestY = int(std::min(sy, float(h - 1)));
                std::uint8_t* d = dst + std::size_t(y) * std::size_t(newW) * 4;
                for (int x = 0; x < newW; ++x, d += 4) {
                    const float sx = sxs[std::size_t(x)];
                    if (!rowInside || !(sx >= 1.0f && sx < float(w - 2))) {
                        const int nearestX = int(std::min(sx, float(w - 1)));
                        std::memcpy(
                            d, src + std::size_t(nearestY) * srcStride + std::size_t(nearestX) * 4,
                            4);
                        continue;
                    }
                    const int ix = int(std::floor(sx));
                    const float* wx = &wxs[std::size_t(x) * 4];
                    Float4 acc = {0, 0, 0, 0};
                    for (int j = 0; j < 4; ++j) {
                        const std::uint8_t* row =
                            src + std::size_t(iy - 1 + j) * srcStride + std::size_t(ix - 1) * 4;
                        for (int i = 0; i < 4; ++i) acc += (wx[i] * wy[j]) * Load4(row + i * 4);
                    }
                    Store4(d, acc);
                }
            }
        },
        [&](int done) {
            if (progress && done / 50 != lastReported / 50) progress->SetPos(done - done % 50);
            lastReported = done;
        });
    if (progress) {
        progress->SetPos(0);
        progress->End();
    }
}

void ResizeBilinear(CDIBSection2& picture, int width, int height) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 || width <= 0 || height <= 0) return;
    if (width == picture.GetWidth() && height == picture.GetHeight()) return;
    // Resized into a buffer of its own, then copied into the re-created picture: only
    // the result is copied, not the source.
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    Pixels resized(bytes);
    ResizeBilinear(picture.GetBits(), picture.GetWidth(), picture.GetHeight(), resized.data(),
                   width, height);
    picture.Create(width, height, 32, picture.HasAlpha());
    std::memcpy(picture.GetBits(), resized.data(), bytes);
}

} // namespace quiltara
