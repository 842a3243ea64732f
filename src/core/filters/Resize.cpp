#include "core/filters/Resize.h"

#include "core/base/ParallelFor.h"
#include "core/base/ProgressReporter.h"
#include "core/image/DIBSection2.h"
#include "core/image/codecs/CodecIO.h"

#include <algorithm>
#include <atomic>
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

typedef int Int4 __attribute__((vector_size(16)));

// FloorToByte of the four channels at once, as whole numbers in floats.
inline Float4 FloorToBytes(Float4 v) {
    v += kWeightSumAllowance;
    const Float4 zero = {0, 0, 0, 0}, top = {255, 255, 255, 255};
    v = v < zero ? zero : v;
    v = v > top ? top : v;
    return __builtin_convertvector(__builtin_convertvector(v, Int4), Float4);
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

namespace {

// Rows of a picture in memory.
class MemoryRows : public IRowSource {
public:
    MemoryRows(const std::uint8_t* pixels, int width)
        : m_pixels(pixels), m_stride(std::size_t(width) * 4) {}
    const std::uint8_t* Row(int y, std::uint8_t*) const override {
        return m_pixels + std::size_t(y) * m_stride;
    }

private:
    const std::uint8_t* m_pixels;
    std::size_t m_stride;
};

} // namespace

void ResizeBilinear(const std::uint8_t* src, int w, int h, std::uint8_t* dst, int newW, int newH) {
    if (src) ResizeBilinear(MemoryRows(src, w), w, h, dst, newW, newH);
}

bool ResizeBilinear(const IRowSource& src, int w, int h, std::uint8_t* dst, int newW, int newH) {
    if (!dst || w <= 0 || h <= 0 || newW <= 0 || newH <= 0) return true;
    const auto rows = BilinearContributors(h, newH);
    const std::size_t srcStride = std::size_t(w) * 4, tempStride = std::size_t(newW) * 4;
    // Every output column takes the same number of consecutive source pixels: its
    // contributors in their order, the others with weight 0 (adding 0 to a sum of
    // non-negative terms changes nothing), all inside the row.
    const auto list = BilinearContributors(w, newW);
    int taps = 1;
    for (const BilinearContributor& c : list)
        taps = std::max(taps, c.index.back() - c.index.front() + 1);
    std::vector<int> firstTap(static_cast<std::size_t>(newW));
    std::vector<float> tapWeight(std::size_t(newW) * std::size_t(taps), 0.0f);
    for (int x = 0; x < newW; ++x) {
        const BilinearContributor& c = list[std::size_t(x)];
        const int first = std::min(c.index.front(), w - taps);
        firstTap[std::size_t(x)] = first;
        for (std::size_t k = 0; k < c.index.size(); ++k)
            tapWeight[std::size_t(x) * std::size_t(taps) + std::size_t(c.index[k] - first)] =
                c.weight[k];
    }
    // Rows: every output column from its contributors in the same source row, kept as
    // floats (each a whole byte value) for the column sums.
    std::atomic<bool> failed{false};
    auto resizeRow = [&](int y, Float4* line, float* t, std::uint8_t* scratch) {
        const std::uint8_t* s = src.Row(y, scratch);
        if (!s) {
            failed = true;
            std::fill(t, t + tempStride, 0.0f);
            return;
        }
        if (newW == w) {
            for (std::size_t i = 0; i < srcStride; ++i) t[i] = float(s[i]);
            return;
        }
        for (int x = 0; x < w; ++x) line[x] = Load4(s + std::size_t(x) * 4);
        for (int x = 0; x < newW; ++x) {
            const Float4* p = line + firstTap[std::size_t(x)];
            const float* wt = &tapWeight[std::size_t(x) * std::size_t(taps)];
            Float4 acc = {0, 0, 0, 0};
            for (int k = 0; k < taps; ++k) acc += wt[k] * p[k];
            for (int ch = 0; ch < 4; ++ch)
                t[std::size_t(x) * 4 + std::size_t(ch)] = FloorToByte(acc[ch]);
        }
    };
    // Columns, in bands of output rows: each band resizes just the source rows its
    // rows draw on, then sums whole resized rows. Neighbouring bands share a few source
    // rows, which each resizes again, instead of holding every resized row at once.
    constexpr int kBand = 16;
    const int bands = (newH + kBand - 1) / kBand;
    ParallelFor(bands, 1, [&](int begin, int end) {
        std::vector<float> acc(tempStride), temp;
        std::vector<Float4> line(static_cast<std::size_t>(w));
        std::vector<std::uint8_t> scratch(srcStride);
        for (int b = begin; b < end; ++b) {
            const int y0 = b * kBand, y1 = std::min(newH, y0 + kBand);
            int lo = h, hi = -1;
            for (int y = y0; y < y1; ++y)
                for (int i : rows[std::size_t(y)].index) lo = std::min(lo, i), hi = std::max(hi, i);
            temp.resize(std::size_t(hi - lo + 1) * tempStride);
            for (int i = lo; i <= hi; ++i)
                resizeRow(i, line.data(), &temp[std::size_t(i - lo) * tempStride], scratch.data());
            for (int y = y0; y < y1; ++y) {
                const BilinearContributor& c = rows[std::size_t(y)];
                std::fill(acc.begin(), acc.end(), 0.0f);
                float* a = acc.data();
                for (std::size_t k = 0; k < c.index.size(); ++k) {
                    const float* t = &temp[std::size_t(c.index[k] - lo) * tempStride];
                    const float wk = c.weight[k];
                    for (std::size_t i = 0; i < tempStride; ++i) a[i] += wk * t[i];
                }
                std::uint8_t* d = dst + std::size_t(y) * tempStride;
                for (std::size_t i = 0; i < tempStride; ++i) d[i] = FloorToByte(a[i]);
            }
        }
    });
    return !failed;
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
    if (src) ResizeBicubic(MemoryRows(src, w), w, h, dst, newW, newH, progress);
}

bool ResizeBicubic(const IRowSource& src, int w, int h, std::uint8_t* dst, int newW, int newH,
                   IProgressReporter* progress) {
    if (!dst || w <= 0 || h <= 0 || newW <= 0 || newH <= 0) return true;
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
    std::atomic<bool> failed{false};
    int lastReported = 0;
    ParallelFor(
        newH, 8,
        [&](int begin, int end) {
            // The source rows an output row reads, kept while the next rows read them
            // too: five at most are wanted at once.
            constexpr int kSlots = 6;
            std::vector<std::uint8_t> scratch(srcStride * kSlots);
            int held[kSlots];
            const std::uint8_t* row[kSlots];
            std::fill(held, held + kSlots, -1);
            auto fetch = [&](int y, const int(&wanted)[5]) -> const std::uint8_t* {
                for (int k = 0; k < kSlots; ++k)
                    if (held[k] == y) return row[k];
                for (int k = 0; k < kSlots; ++k) {
                    if (held[k] >= 0 && std::find(std::begin(wanted), std::end(wanted), held[k]) !=
                                            std::end(wanted))
                        continue;
                    held[k] = y;
                    row[k] = src.Row(y, &scratch[std::size_t(k) * srcStride]);
                    if (!row[k]) held[k] = -1;
                    return row[k];
                }
                return nullptr; // not reached: six slots, five rows
            };
            for (int y = begin; y < end; ++y) {
                const float sy = float(y) * float(h) / float(newH);
                const bool rowInside = sy >= 1.0f && sy < float(h - 2);
                const int iy = int(std::floor(sy));
                float wy[4];
                BicubicWeights(sy - float(iy), wy);
                const int nearestY = int(std::min(sy, float(h - 1)));
                const int wanted[5] = {nearestY, rowInside ? iy - 1 : -1, rowInside ? iy : -1,
                                       rowInside ? iy + 1 : -1, rowInside ? iy + 2 : -1};
                const std::uint8_t* nearest = fetch(nearestY, wanted);
                const std::uint8_t* rows[4] = {};
                bool ok = nearest != nullptr;
                for (int j = 0; rowInside && j < 4; ++j)
                    ok = (rows[j] = fetch(iy - 1 + j, wanted)) && ok;
                std::uint8_t* d = dst + std::size_t(y) * std::size_t(newW) * 4;
                if (!ok) {
                    failed = true;
                    std::memset(d, 0, std::size_t(newW) * 4);
                    continue;
                }
                for (int x = 0; x < newW; ++x, d += 4) {
                    const float sx = sxs[std::size_t(x)];
                    if (!rowInside || !(sx >= 1.0f && sx < float(w - 2))) {
                        const int nearestX = int(std::min(sx, float(w - 1)));
                        std::memcpy(d, nearest + std::size_t(nearestX) * 4, 4);
                        continue;
                    }
                    const int ix = int(std::floor(sx));
                    const float* wx = &wxs[std::size_t(x) * 4];
                    Float4 acc = {0, 0, 0, 0};
                    for (int j = 0; j < 4; ++j) {
                        const std::uint8_t* r = rows[j] + std::size_t(ix - 1) * 4;
                        for (int i = 0; i < 4; ++i) acc += (wx[i] * wy[j]) * Load4(r + i * 4);
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
    return !failed;
}

void ResizeBilinear(CDIBSection2& picture, int width, int height) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 || width <= 0 || height <= 0) return;
    if (width == picture.GetWidth() && height == picture.GetHeight()) return;
    // Resized into a picture of its own, whose pixels then take the place of the source's.
    CDIBSection2 resized;
    resized.Create(width, height, 32, picture.HasAlpha());
    ResizeBilinear(picture.GetBits(), picture.GetWidth(), picture.GetHeight(), resized.GetBits(),
                   width, height);
    picture.SwapPixels(resized);
}

} // namespace quiltara
