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

bool HasVectors() {
#ifdef QUILTARA_X86
    return HasAvx2Fma();
#else
    return false;
#endif
}

void ConvolveLines(const float* in, int n, const float* w, int taps, float* out) {
#ifdef QUILTARA_X86
    if (HasAvx2Fma()) return ConvolveLinesAvx2(in, n, w, taps, out);
#endif
    ConvolveLinesScalar(in, n, w, taps, out);
}

// One channel of one row: out[x] = sum over k of w[k] * in[x + k], the same chain of
// fused multiply-adds from zero as the line kernel, with x running along the lanes.
void ConvolveRowScalar(const float* in, int n, const float* w, int taps, float* out) {
    for (int x = 0; x < n; ++x) {
        float acc = 0.0f;
        for (int k = 0; k < taps; ++k) acc = std::fmaf(w[k], in[x + k], acc);
        out[x] = acc;
    }
}

#ifdef QUILTARA_X86
__attribute__((target("avx2,fma"))) void ConvolveRowAvx2(const float* in, int n, const float* w,
                                                         int taps, float* out) {
    int x = 0;
    // Eight accumulators keep both multiply-add units busy through their latency.
    for (; x + 64 <= n; x += 64) {
        __m256 a0 = _mm256_setzero_ps(), a1 = a0, a2 = a0, a3 = a0, a4 = a0, a5 = a0, a6 = a0,
               a7 = a0;
        const float* p = in + x;
        for (int k = 0; k < taps; ++k, ++p) {
            const __m256 wk = _mm256_broadcast_ss(w + k);
            a0 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 0), a0);
            a1 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 8), a1);
            a2 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 16), a2);
            a3 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 24), a3);
            a4 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 32), a4);
            a5 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 40), a5);
            a6 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 48), a6);
            a7 = _mm256_fmadd_ps(wk, _mm256_loadu_ps(p + 56), a7);
        }
        float* o = out + x;
        _mm256_storeu_ps(o + 0, a0), _mm256_storeu_ps(o + 8, a1), _mm256_storeu_ps(o + 16, a2);
        _mm256_storeu_ps(o + 24, a3), _mm256_storeu_ps(o + 32, a4), _mm256_storeu_ps(o + 40, a5);
        _mm256_storeu_ps(o + 48, a6), _mm256_storeu_ps(o + 56, a7);
    }
    for (; x + 8 <= n; x += 8) {
        __m256 a = _mm256_setzero_ps();
        for (int k = 0; k < taps; ++k)
            a = _mm256_fmadd_ps(_mm256_broadcast_ss(w + k), _mm256_loadu_ps(in + x + k), a);
        _mm256_storeu_ps(out + x, a);
    }
    if (x < n) ConvolveRowScalar(in + x, n - x, w, taps, out + x);
}

__attribute__((target("avx2,fma"))) inline __m256i ClampedInts(const float* l) {
    const __m256 v = _mm256_max_ps(_mm256_loadu_ps(l), _mm256_setzero_ps());
    return _mm256_cvttps_epi32(_mm256_min_ps(v, _mm256_set1_ps(255.0f)));
}

// Eight pixels of a byte row into three planes of floats: blue, green and red (the
// column pass's line layout is three such planes of eight, channel-major).
__attribute__((target("avx2,fma"))) void SplitEight(const std::uint8_t* p, float* b, float* g,
                                                    float* r) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i byte = _mm256_set1_epi32(0xFF);
    _mm256_storeu_ps(b, _mm256_cvtepi32_ps(_mm256_and_si256(v, byte)));
    _mm256_storeu_ps(g, _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 8), byte)));
    _mm256_storeu_ps(r, _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(v, 16), byte)));
}

// The clamped, truncated colour bytes of eight pixels from three planes, with the
// alpha of the eight pixels at `alphaFrom` (which may be d itself).
__attribute__((target("avx2,fma"))) void JoinEight(const float* b, const float* g, const float* r,
                                                   const std::uint8_t* alphaFrom, std::uint8_t* d) {
    const __m256i alpha =
        _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(alphaFrom)),
                         _mm256_set1_epi32(int(0xFF000000)));
    const __m256i v =
        _mm256_or_si256(_mm256_or_si256(ClampedInts(b), _mm256_slli_epi32(ClampedInts(g), 8)),
                        _mm256_or_si256(_mm256_slli_epi32(ClampedInts(r), 16), alpha));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), v);
}

#endif

void ConvolveRow(const float* in, int n, const float* w, int taps, float* out) {
#ifdef QUILTARA_X86
    if (HasAvx2Fma()) return ConvolveRowAvx2(in, n, w, taps, out);
#endif
    ConvolveRowScalar(in, n, w, taps, out);
}

// The sums are finite: clamping first and truncating gives the same byte as testing
// the ends.
inline std::uint8_t ClampTruncate(float v) {
    return std::uint8_t(int(std::min(std::max(v, 0.0f), 255.0f)));
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
    // The row pass writes its colour bytes into dst; the column pass reads a whole
    // strip of eight columns before it writes that strip back, so it works in place.
    std::uint8_t* const temp = dst;
    if (progress) progress->Begin("Working", w + h);

    // Rows: each channel of a row as floats, widened by g wrapped pixels on both sides,
    // convolved along the row.
    std::vector<int> wrapped(static_cast<std::size_t>(w + 2 * g));
    for (int i = 0; i < w + 2 * g; ++i) wrapped[std::size_t(i)] = WrapIndex((long long)i - g, w);
    [[maybe_unused]] const bool vectors = HasVectors();
    ParallelFor(
        h, 16,
        [&](int begin, int end) {
            std::vector<float> planes(std::size_t(w + 2 * g) * kChannels);
            std::vector<float> out(std::size_t(w) * kChannels);
            for (int y = begin; y < end; ++y) {
                const std::uint8_t* row = src + std::size_t(y) * stride;
                float* plane[kChannels];
                for (int c = 0; c < kChannels; ++c)
                    plane[c] = planes.data() + std::size_t(c) * std::size_t(w + 2 * g);
                // The picture's own pixels lie at g .. g + w - 1, eight at a time where
                // the machine has the vectors; the wrapped ones around them.
                int i = 0;
#ifdef QUILTARA_X86
                if (vectors)
                    for (i = g; i + 8 <= g + w; i += 8)
                        SplitEight(row + std::size_t(i - g) * 4, plane[0] + i, plane[1] + i,
                                   plane[2] + i);
                for (int k = 0; k < g && vectors; ++k) {
                    const std::uint8_t* p = row + std::size_t(wrapped[std::size_t(k)]) * 4;
                    plane[0][k] = p[0], plane[1][k] = p[1], plane[2][k] = p[2];
                }
#endif
                for (; i < w + 2 * g; ++i) {
                    const std::uint8_t* p = row + std::size_t(wrapped[std::size_t(i)]) * 4;
                    plane[0][i] = p[0], plane[1][i] = p[1], plane[2][i] = p[2];
                }
                for (int c = 0; c < kChannels; ++c)
                    ConvolveRow(plane[c], w, kernel.data(), taps, out.data() + std::size_t(c) * w);
                std::uint8_t* t = temp + std::size_t(y) * stride;
                const float* o[kChannels] = {out.data(), out.data() + w, out.data() + 2 * w};
                int x = 0;
#ifdef QUILTARA_X86
                if (vectors)
                    for (; x + 8 <= w; x += 8)
                        JoinEight(o[0] + x, o[1] + x, o[2] + x, t + std::size_t(x) * 4,
                                  t + std::size_t(x) * 4);
#endif
                for (; x < w; ++x) {
                    t[std::size_t(x) * 4 + 0] = ClampTruncate(o[0][x]);
                    t[std::size_t(x) * 4 + 1] = ClampTruncate(o[1][x]);
                    t[std::size_t(x) * 4 + 2] = ClampTruncate(o[2][x]);
                }
            }
        },
        [&](int done) {
            if (progress && h > 200) progress->SetPos(std::min(h, done));
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
                [[maybe_unused]] const bool vector = HasVectors() && count == kBlock;
                for (int i = 0; i < h + 2 * g; ++i) {
                    const std::uint8_t* row =
                        temp + std::size_t(WrapIndex((long long)i - g, h)) * stride;
                    float* line = &lines[std::size_t(i) * kLanes];
#ifdef QUILTARA_X86
                    if (vector) {
                        SplitEight(row + std::size_t(x0) * 4, line, line + kBlock,
                                   line + 2 * kBlock);
                        continue;
                    }
#endif
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
#ifdef QUILTARA_X86
                    if (vector) {
                        JoinEight(line, line + kBlock, line + 2 * kBlock, s, d);
                        continue;
                    }
#endif
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

namespace {

// d = s + amount / 128 * (s - d), rounded towards zero and clamped, where the difference
// reaches the threshold. One flat loop the compiler turns into vectors.
#ifdef QUILTARA_X86
__attribute__((target_clones("avx2", "default")))
#endif
void SharpenBytes(const std::uint8_t* s, std::uint8_t* d, std::size_t n, int amount,
                  int threshold) {
    for (std::size_t i = 0; i < n; ++i) {
        int diff = int(s[i]) - int(d[i]);
        diff = std::abs(2 * diff) < threshold ? 0 : diff;
        const int v = (amount * diff + 128 * int(s[i])) / 128;
        d[i] = std::uint8_t(std::clamp(v, 0, 255));
    }
}

} // namespace

void UnsharpMaskWrap(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int amountValue,
                     int radiusValue, int threshold, IProgressReporter* progress) {
    if (!src || !dst || w <= 0 || h <= 0) return;
    GaussianBlurWrap(src, dst, w, h, radiusValue, progress);
    if (GaussianKernel(radiusValue).empty()) return;
    // a/128 * d + s truncated: a * d and 128 * s are exact, so the integer quotient
    // (truncating towards zero) is the same number.
    const int amount = amountValue;
    const std::size_t stride = std::size_t(w) * 4;
    // Alpha goes through the same sum unchanged: the blur kept the source's, so its
    // difference is 0. One loop over every byte lets the compiler use vectors.
    ParallelFor(h, 32, [&](int begin, int end) {
        const std::size_t bytes = std::size_t(end - begin) * stride;
        const std::uint8_t* s = src + std::size_t(begin) * stride;
        std::uint8_t* d = dst + std::size_t(begin) * stride;
        SharpenBytes(s, d, bytes, amount, threshold);
    });
}

} // namespace quiltara
