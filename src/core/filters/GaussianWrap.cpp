#include "core/filters/GaussianWrap.h"

#include "core/base/ParallelFor.h"
#include "core/base/ProgressReporter.h"
#include "core/base/WrapIndex.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUILTARA_X86 1
#endif

namespace quiltara {

namespace {

// The passes are written as one kernel over "lines" of 24 floats: 8 rows (or 8
// columns) times 3 channels, channel-major. Line i of the output is the weighted sum
// of input lines i .. i + taps - 1. The vector path runs the 24 lanes as three 8-wide
// registers; every lane sees exactly the scalar sequence of fused multiply-adds, so
// both paths give the same bytes.
constexpr int kLanes = 24;
constexpr int kBlock = 8;

void ConvolveLinesScalar(const float* in, int n, const float* w, int taps, float* out) {
    for (int i = 0; i < n; ++i) {
        float acc[kLanes] = {};
        for (int k = 0; k < taps; ++k) {
            const float* line = in + std::size_t(i + k) * kLanes;
            for (int l = 0; l < kLanes; ++l) acc[l] = std::fmaf(w[k], line[l], acc[l]);
        }
        std::memcpy(out + std::size_t(i) * kLanes, acc, sizeof acc);
    }
}

#ifdef QUILTARA_X86
__attribute__((target("avx2,fma"))) void ConvolveLinesAvx2(const float* in, int n, const float* w,
                                                           int taps, float* out) {
    int i = 0;
    // Four output lines at a time: twelve independent accumulators hide the latency
    // of the multiply-adds.
    for (; i + 4 <= n; i += 4) {
        __m256 a00 = _mm256_setzero_ps(), a01 = a00, a02 = a00, a10 = a00, a11 = a00, a12 = a00;
        __m256 a20 = a00, a21 = a00, a22 = a00, a30 = a00, a31 = a00, a32 = a00;
        const float* p = in + std::size_t(i) * kLanes;
        for (int k = 0; k < taps; ++k, p += kLanes) {
            const __m256 wk = _mm256_broadcast_ss(w + k);
            a00 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 0), a00);
            a01 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 8), a01);
            a02 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 16), a02);
            a10 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 24), a10);
            a11 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 32), a11);
            a12 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 40), a12);
            a20 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 48), a20);
            a21 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 56), a21);
            a22 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 64), a22);
            a30 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 72), a30);
            a31 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 80), a31);
            a32 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 88), a32);
        }
        float* o = out + std::size_t(i) * kLanes;
        _mm256_storeu_ps(o + 0, a00), _mm256_storeu_ps(o + 8, a01), _mm256_storeu_ps(o + 16, a02);
        _mm256_storeu_ps(o + 24, a10), _mm256_storeu_ps(o + 32, a11), _mm256_storeu_ps(o + 40, a12);
        _mm256_storeu_ps(o + 48, a20), _mm256_storeu_ps(o + 56, a21), _mm256_storeu_ps(o + 64, a22);
        _mm256_storeu_ps(o + 72, a30), _mm256_storeu_ps(o + 80, a31), _mm256_storeu_ps(o + 88, a32);
    }
    for (; i < n; ++i) {
        __m256 a0 = _mm256_setzero_ps(), a1 = a0, a2 = a0;
        const float* p = in + std::size_t(i) * kLanes;
        for (int k = 0; k < taps; ++k, p += kLanes) {
            const __m256 wk = _mm256_broadcast_ss(w + k);
            a0 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 0), a0);
            a1 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 8), a1);
            a2 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 16), a2);
        }
        float* o = out + std::size_t(i) * kLanes;
        _mm256_storeu_ps(o + 0, a0), _mm256_storeu_ps(o + 8, a1), _mm256_storeu_ps(o + 16, a2);
    }
}

bool HasAvx2Fma() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}
#endif

void ConvolveLines(const float* in, int n, const float* w, int taps, float* out) {
#ifdef QUILTARA_X86
    if (HasAvx2Fma()) return ConvolveLinesAvx2(in, n, w, taps, out);
#endif
    ConvolveLinesScalar(in, n, w, taps, out);
}

inline std::uint8_t ClampTruncate(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return std::uint8_t(v);
}

// Memory byte of channel c (0 = blue, 1 = green, 2 = red) of a pixel.
constexpr int kChannels = 3;

} // namespace

double GaussianSigma(int radiusValue) {
    return std::pow(10.0, radiusValue / 128.0) - 1.0;
}

std::vector<float> GaussianKernel(int radiusValue) {
    std::vector<float> w;
    if (radiusValue == 0) return w;
    const double sigma = GaussianSigma(radiusValue);
    if (!(sigma > 0.0)) return w;
    const int g = int((sigma + 1.5) * 2.0);
    w.resize(std::size_t(2 * g + 1));
    float sum = 0.0f;
    for (int j = 0; j <= 2 * g; ++j) {
        const double d = (j - g) / sigma;
        w[std::size_t(j)] = float(std::exp(-(d * d) / 2.0));
        sum += w[std::size_t(j)];
    }
    for (float& v : w) v /= sum;
    return w;
}

void GaussianBlurWrap(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int radiusValue,
                      IProgressReporter* progress) {
    if (!src || !dst || w <= 0 || h <= 0) return;
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
    const std::vector<float> kernel = GaussianKernel(radiusValue);
    if (kernel.empty()) {
        std::memcpy(dst, src, bytes);
        return;
    }
    const int taps = int(kernel.size());
    const int g = taps / 2;
    const std::size_t stride = std::size_t(w) * 4;
    std::vector<std::uint8_t> temp(bytes);
    if (progress) progress->Begin("Working", w + h);

    // Rows: eight rows at a time, each widened by g wrapped pixels on both sides.
    const int rowBlocks = (h + kBlock - 1) / kBlock;
    ParallelFor(
        rowBlocks, std::max(1, 64 / kBlock),
        [&](int begin, int end) {
            std::vector<float> lines(std::size_t(w + 2 * g) * kLanes);
            std::vector<float> out(std::size_t(w) * kLanes);
            for (int block = begin; block < end; ++block) {
                const int y0 = block * kBlock;
                for (int r = 0; r < kBlock; ++r) {
                    const std::uint8_t* row = src + std::size_t(std::min(y0 + r, h - 1)) * stride;
                    for (int i = 0; i < w + 2 * g; ++i) {
                        const std::uint8_t* p =
                            row + std::size_t(WrapIndex((long long)i - g, w)) * 4;
                        float* line = &lines[std::size_t(i) * kLanes];
                        for (int c = 0; c < kChannels; ++c) line[c * kBlock + r] = p[c];
                    }
                }
                ConvolveLines(lines.data(), w, kernel.data(), taps, out.data());
                for (int r = 0; r < kBlock && y0 + r < h; ++r) {
                    std::uint8_t* row = temp.data() + std::size_t(y0 + r) * stride;
                    for (int x = 0; x < w; ++x) {
                        const float* line = &out[std::size_t(x) * kLanes];
                        for (int c = 0; c < kChannels; ++c)
                            row[std::size_t(x) * 4 + std::size_t(c)] =
                                ClampTruncate(line[c * kBlock + r]);
                    }
                }
            }
        },
        [&](int done) {
            if (progress && h > 200) progress->SetPos(std::min(h, done * kBlock));
        });

    // Columns: eight columns at a time, each widened by g wrapped rows at both ends.
    const int columnBlocks = (w + kBlock - 1) / kBlock;
    ParallelFor(
        columnBlocks, std::max(1, 64 / kBlock),
        [&](int begin, int end) {
            std::vector<float> lines(std::size_t(h + 2 * g) * kLanes);
            std::vector<float> out(std::size_t(h) * kLanes);
            for (int block = begin; block < end; ++block) {
                const int x0 = block * kBlock;
                const int count = std::min(kBlock, w - x0);
                for (int i = 0; i < h + 2 * g; ++i) {
                    const std::uint8_t* row =
                        temp.data() + std::size_t(WrapIndex((long long)i - g, h)) * stride;
                    float* line = &lines[std::size_t(i) * kLanes];
                    for (int r = 0; r < kBlock; ++r) {
                        const std::uint8_t* p = row + std::size_t(x0 + std::min(r, count - 1)) * 4;
                        for (int c = 0; c < kChannels; ++c) line[c * kBlock + r] = p[c];
                    }
                }
                ConvolveLines(lines.data(), h, kernel.data(), taps, out.data());
                for (int y = 0; y < h; ++y) {
                    const float* line = &out[std::size_t(y) * kLanes];
                    std::uint8_t* d = dst + std::size_t(y) * stride + std::size_t(x0) * 4;
                    const std::uint8_t* s = src + std::size_t(y) * stride + std::size_t(x0) * 4;
                    for (int r = 0; r < count; ++r) {
                        for (int c = 0; c < kChannels; ++c)
                            d[r * 4 + c] = ClampTruncate(line[c * kBlock + r]);
                        d[r * 4 + 3] = s[r * 4 + 3];
                    }
                }
            }
        },
        [&](int done) {
            if (progress && h > 200) progress->SetPos(h + std::min(w, done * kBlock));
        });
    if (progress) progress->End();
}

void UnsharpMaskWrap(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int amountValue,
                     int radiusValue, int threshold, IProgressReporter* progress) {
    if (!src || !dst || w <= 0 || h <= 0) return;
    GaussianBlurWrap(src, dst, w, h, radiusValue, progress);
    if (GaussianKernel(radiusValue).empty()) return;
    const double amount = amountValue / 128.0;
    const std::size_t stride = std::size_t(w) * 4;
    ParallelFor(h, 32, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* s = src + std::size_t(y) * stride;
            std::uint8_t* d = dst + std::size_t(y) * stride;
            for (std::size_t i = 0; i < stride; ++i) {
                if ((i & 3) == 3) continue;
                int diff = int(s[i]) - int(d[i]);
                if (std::abs(2 * diff) < threshold) diff = 0;
                const double v = amount * diff + s[i];
                d[i] = std::uint8_t(std::clamp(int(v), 0, 255));
            }
        }
    });
}

} // namespace quiltara
