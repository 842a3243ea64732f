#include "core/filters/RotateByAngle.h"

#include "core/base/ParallelFor.h"
#include "core/base/ProgressReporter.h"
#include "core/filters/RightAngle.h"
#include "core/image/DIBSection2.h"
#include "core/image/codecs/CodecIO.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quiltara {

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;

struct Pixel {
    std::uint8_t c[4];
};

// One source pixel moved by the fraction f towards higher positions: it keeps
// v - trunc(f * v) and receives the previous pixel's trunc(f * v). At the start of the
// line the "previous pixel" is the background, at the end the background receives the
// last pixel's share, so a line shifted over its own background colour stays that
// colour and no channel can pass 255.
struct ShearLine {
    double f;
    std::uint8_t backShare[4]; // trunc(f * background)
    std::uint8_t backKeep[4];  // background - trunc(f * background)

    ShearLine(double fraction, const Pixel& back) : f(fraction) {
        for (int ch = 0; ch < 4; ++ch) {
            backShare[ch] = std::uint8_t(int(f * back.c[ch]));
            backKeep[ch] = std::uint8_t(back.c[ch] - backShare[ch]);
        }
    }
    int Share(std::uint8_t v) const { return int(f * v); }
    // i in 0..n: the output for source index i, with `previous` null for i = 0 and
    // `current` null for i = n.
    void Put(const std::uint8_t* previous, const std::uint8_t* current, std::uint8_t* out) const {
        for (int ch = 0; ch < 4; ++ch) {
            const int received = previous ? Share(previous[ch]) : backShare[ch];
            const int kept = current ? current[ch] - Share(current[ch]) : backKeep[ch];
            out[ch] = std::uint8_t(kept + received);
        }
    }
};

// trunc(f * v) for every byte value v: the share a pixel of value v passes on.
struct ShareTable {
    std::uint8_t share[256];
    explicit ShareTable(double f) {
        for (int v = 0; v < 256; ++v) share[v] = std::uint8_t(int(f * v));
    }
};

// The output for a source pixel with both neighbours inside the line.
inline void PutInside(const ShareTable& table, const std::uint8_t* previous,
                      const std::uint8_t* current, std::uint8_t* out) {
    for (int ch = 0; ch < 4; ++ch)
        out[ch] = std::uint8_t(current[ch] - table.share[current[ch]] + table.share[previous[ch]]);
}

// One line moved by an offset: its whole part and the fraction's share table.
// The share table as a multiplication where one gives the same bytes: trunc(f * v) is
// (v * mult) >> 16 for every v with mult = floor(f * 65536) + 1, unless f * v comes
// within 255 / 65536 below a whole number; each line is checked whole.
struct LineShift {
    long long start = 0;
    ShareTable table{0.0};
    ShearLine line{0.0, Pixel{}};
    std::uint16_t mult = 0;
    bool multiplies = false; // mult gives the table
    LineShift() = default;
    LineShift(double offset, const Pixel& back)
        : start((long long)std::floor(offset)), table(offset - std::floor(offset)),
          line(offset - std::floor(offset), back) {
        const double f = offset - std::floor(offset);
        const double m = f > 0 ? std::floor(f * 65536.0) + 1 : 0;
        if (m > 65535) return;
        mult = std::uint16_t(m);
        multiplies = true;
        for (int v = 0; v < 256 && multiplies; ++v)
            multiplies = ((v * int(mult)) >> 16) == table.share[v];
    }
};

#if defined(__x86_64__)
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// PutInside for count pixels in a row, four at a time: out[k] takes current[k] less its
// share plus current[k - 1]'s. Returns how many it did.
__attribute__((target("avx2"))) int ShiftInsideAvx2(const std::uint8_t* current, std::uint8_t* out,
                                                    int count, std::uint16_t mult) {
    const __m256i m = _mm256_set1_epi16(short(mult));
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m256i c = _mm256_cvtepu8_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(current + k * 4)));
        const __m256i p = _mm256_cvtepu8_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(current + k * 4 - 4)));
        const __m256i r = _mm256_add_epi16(_mm256_sub_epi16(c, _mm256_mulhi_epu16(c, m)),
                                           _mm256_mulhi_epu16(p, m));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + k * 4),
            _mm_packus_epi16(_mm256_castsi256_si128(r), _mm256_extracti128_si256(r, 1)));
    }
    return k;
}
#endif

// Positions p0 .. p0 + count - 1 of a line of n source pixels moved by `shift`: source
// index i = p - start lands at p, and the background fills what no index reaches. s
// holds the pixel of index `origin`, the others `step` bytes apart; the output pixels
// are `outStep` bytes apart.
inline void ShiftLine(const std::uint8_t* s, long long origin, std::size_t step, long long n,
                      const LineShift& shift, const Pixel& back, long long p0, int count,
                      std::uint8_t* out, std::size_t outStep = 4) {
    auto at = [&](long long i) { return s + std::size_t(i - origin) * step; };
    auto edge = [&](long long i, std::uint8_t* o) {
        if (i < 0 || i > n)
            std::memcpy(o, back.c, 4);
        else
            shift.line.Put(i > 0 ? at(i - 1) : nullptr, i < n ? at(i) : nullptr, o);
    };
    // Output k takes index p0 + k - start: inside (both neighbours there) for k in
    // [inFirst, inEnd).
    const long long base = p0 - shift.start;
    const int inFirst = int(std::clamp<long long>(1 - base, 0, count));
    const int inEnd = int(std::clamp<long long>(n - base, inFirst, count));
    int k = 0;
    for (; k < inFirst; ++k) edge(base + k, out + std::size_t(k) * outStep);
#if defined(__x86_64__)
    if (step == 4 && outStep == 4 && shift.multiplies && inEnd > k && HasAvx2())
        k += ShiftInsideAvx2(at(base + k), out + std::size_t(k) * 4, inEnd - k, shift.mult);
#endif
    for (; k < inEnd; ++k) {
        const std::uint8_t* current = at(base + k);
        PutInside(shift.table, current - step, current, out + std::size_t(k) * outStep);
    }
    for (; k < count; ++k) edge(base + k, out + std::size_t(k) * outStep);
}

// The three shears at once, in bands of output rows: for each band, strips of columns
// of the vertical shear are made from the rows of the first (horizontal) shear they
// need, worked out on the spot; the band's rows then take the last horizontal shear
// straight into the result. Only a band and a strip are held, never a whole
// intermediate picture, so a large rotation stays in the cache and in little memory.
template <typename First, typename Second, typename Third>
void Shear3(const std::uint8_t* src, int w, int h, std::uint8_t* dst, const ShearSizes& sizes,
            const Pixel& back, First first, Second second, Third third) {
    constexpr int kBand = 32, kStrip = 32;
    const int width1 = sizes.width1, height2 = sizes.height2, width3 = sizes.width3;
    std::vector<LineShift> rows(static_cast<std::size_t>(h));
    std::vector<LineShift> columns(static_cast<std::size_t>(width1));
    for (int i = 0; i < h; ++i) rows[std::size_t(i)] = LineShift(first(i), back);
    for (int x = 0; x < width1; ++x) columns[std::size_t(x)] = LineShift(second(x), back);
    const std::size_t srcStride = std::size_t(w) * 4;
    const int bands = (height2 + kBand - 1) / kBand;
    ParallelFor(bands, 1, [&](int begin, int end) {
        std::vector<std::uint8_t> band(std::size_t(kBand) * std::size_t(width1) * 4);
        std::vector<std::uint8_t> strip;
        for (int b = begin; b < end; ++b) {
            const int y0 = b * kBand, rowsInBand = std::min(kBand, height2 - y0);
            for (int x0 = 0; x0 < width1; x0 += kStrip) {
                const int count = std::min(kStrip, width1 - x0);
                // The vertical shear moves column x down by start: output row y takes
                // first-shear rows y - start - 1 and y - start. Offsets fall from column
                // to column, so the strip's first and last columns bound the rows.
                long long lo = y0 -
                               std::max(columns[std::size_t(x0)].start,
                                        columns[std::size_t(x0 + count - 1)].start) -
                               1;
                long long hi = y0 + rowsInBand -
                               std::min(columns[std::size_t(x0)].start,
                                        columns[std::size_t(x0 + count - 1)].start);
                lo = std::max(lo, 0LL), hi = std::min(hi, (long long)h - 1);
                const std::size_t stripStride = std::size_t(kStrip) * 4;
                if (lo <= hi) {
                    strip.resize(std::size_t(hi - lo + 1) * stripStride);
                    for (long long i = lo; i <= hi; ++i)
                        ShiftLine(src + std::size_t(i) * srcStride, 0, 4, w, rows[std::size_t(i)],
                                  back, x0, count, &strip[std::size_t(i - lo) * stripStride]);
                }
                for (int k = 0; k < count; ++k) {
                    // Column x0 + k of the first shear, rows lo..hi held; its source
                    // index i stands for first-shear row i.
                    const LineShift& shift = columns[std::size_t(x0 + k)];
                    const std::uint8_t* column = lo <= hi ? &strip[std::size_t(k) * 4] : nullptr;
                    ShiftLine(column, lo, stripStride, h, shift, back, y0, rowsInBand,
                              &band[std::size_t(x0 + k) * 4], std::size_t(width1) * 4);
                }
            }
            for (int r = 0; r < rowsInBand; ++r)
                ShiftLine(&band[std::size_t(r) * std::size_t(width1) * 4], 0, 4, width1,
                          LineShift(third(y0 + r), back), back, 0, width3,
                          dst + std::size_t(y0 + r) * std::size_t(width3) * 4);
        }
    });
}

} // namespace

ShearSizes ShearSizesFor(int width, int height, double residualDegrees) {
    const double theta = residualDegrees * kDegreesToRadians;
    const double t = std::tan(theta / 2.0);
    const double sigma = std::sin(theta);
    ShearSizes s;
    s.width1 = width + int(std::fabs(t) * height);
    s.height2 = int(width * std::fabs(sigma) + height * std::cos(theta)) + 1;
    s.width3 = int(width * std::cos(theta) + height * std::fabs(sigma)) + 1;
    return s;
}

namespace {

// The right-angle pre-rotation (-1 for none) and the residual angle it leaves.
struct AngleSplit {
    int code = -1;
    double residual = 0;
};

AngleSplit SplitAngle(double degrees) {
    double a = std::isfinite(degrees) ? std::fmod(degrees, 360.0) : 0.0;
    if (a < 0) a += 360.0;
    if (a >= 360.0) a -= 360.0;
    int code = -1;
    if (a > 45.0 && a <= 135.0) {
        code = kRotate90CW, a -= 90.0;
    } else if (a > 135.0 && a <= 225.0) {
        code = kRotate180, a -= 180.0;
    } else if (a > 225.0 && a <= 315.0) {
        code = kRotate90CCW, a -= 270.0;
    }
    return {code, a};
}

// The offsets of the three shears for a w x h picture turned by the residual angle a,
// as functions of the row or column index they move.
struct Shears {
    int h;
    double t, sigma, start2, start3;
    Shears(int w, int height, double a, const ShearSizes& sizes)
        : h(height), t(std::tan(a * kDegreesToRadians / 2.0)),
          sigma(std::sin(a * kDegreesToRadians)) {
        start2 = sigma > 0 ? (w - 1) * sigma : int(std::fabs(t) * h) * sigma;
        start3 = sigma >= 0 ? -sigma * (w - 1) * t : (1 - sizes.height2 - (w - 1) * sigma) * t;
    }
    double First(double row) const { return t >= 0 ? t * (row + 0.5) : t * (row - h + 0.5); }
    double Second(double column) const { return start2 - sigma * column; }
    double Third(double row) const { return start3 + t * row; }
};

} // namespace

std::array<RotatedPoint, 4> RotatedCorners(int width, int height, double degrees) {
    const AngleSplit split = SplitAngle(degrees);
    int w = std::max(width, 0), h = std::max(height, 0);
    if (split.code >= 0 && split.code != kRotate180) std::swap(w, h);
    std::array<RotatedPoint, 4> corners{
        {{0, 0}, {double(w), 0}, {double(w), double(h)}, {0, double(h)}}};
    if (split.residual == 0.0 || w == 0 || h == 0) return corners;
    const Shears shears(w, h, split.residual, ShearSizesFor(w, h, split.residual));
    // A row or column is moved by the offset taken at its index; a continuous point at
    // y lies in the row whose index is y - 0.5 at its centre.
    for (RotatedPoint& p : corners) {
        p.x += shears.First(p.y - 0.5);
        p.y += shears.Second(p.x - 0.5);
        p.x += shears.Third(p.y - 0.5);
    }
    return corners;
}

namespace {

// The rotation, with its result written where target(width, height) says: a buffer of
// width x height 32-bit pixels.
template <typename Target>
void Rotate(const std::uint8_t* pixels, int width, int height, double degrees, ColorRef background,
            IProgressReporter* progress, Target target) {
    if (!pixels || width <= 0 || height <= 0) return;
    const AngleSplit split = SplitAngle(degrees);
    const int code = split.code;
    const double a = split.residual;
    if (progress) progress->Begin("Rotate", 100);
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (a == 0.0) {
        // A turned (or plain) copy.
        std::uint8_t* out = target(code == kRotate90CW || code == kRotate90CCW ? height : width,
                                   code == kRotate90CW || code == kRotate90CCW ? width : height);
        std::memcpy(out, pixels, bytes);
        if (code >= 0) RotateRightAngle(out, width, height, code);
        if (progress) progress->End();
        return;
    }
    // The pre-rotation needs a copy to turn; without one the shears read the pixels
    // where they are.
    Pixels work;
    const std::uint8_t* turned = pixels;
    int w = width, h = height;
    if (code >= 0) {
        work.assign(pixels, pixels + bytes);
        turned = work.data();
        RotateRightAngle(work.data(), w, h, code);
        if (code != kRotate180) std::swap(w, h);
        if (progress) progress->SetPos(50);
    }

    const Pixel back{{std::uint8_t(BlueOf(background)), std::uint8_t(GreenOf(background)),
                      std::uint8_t(RedOf(background)), 255}};
    const ShearSizes sizes = ShearSizesFor(w, h, a);
    const Shears shears(w, h, a, sizes);
    const int base = code >= 0 ? 50 : 0;
    auto stage = [&](int k) {
        if (progress) progress->SetPos(base + (100 - base) * k / 3);
    };

    // Horizontal: row i by t (i + 0.5), counted from the other end for negative t;
    // vertical: column j by an offset falling by sigma from column to column;
    // horizontal again: row j by an offset growing by t from row to row.
    Shear3(
        turned, w, h, target(sizes.width3, sizes.height2), sizes, back,
        [&](int i) { return shears.First(i); }, [&](int j) { return shears.Second(j); },
        [&](int j) { return shears.Third(j); });
    work = {};
    stage(3);
    if (progress) progress->End();
}

} // namespace

RotatedPicture RotateByAngle(const std::uint8_t* pixels, int width, int height, double degrees,
                             ColorRef background, IProgressReporter* progress) {
    RotatedPicture result;
    Rotate(pixels, width, height, degrees, background, progress, [&](int w, int h) {
        result.pixels.resize(std::size_t(w) * std::size_t(h) * 4);
        result.width = w, result.height = h;
        return result.pixels.data();
    });
    return result;
}

void RotateByAngle(const std::uint8_t* pixels, int width, int height, double degrees,
                   ColorRef background, CDIBSection2& out, IProgressReporter* progress) {
    Rotate(pixels, width, height, degrees, background, progress, [&](int w, int h) {
        out.Create(w, h, 32, true);
        return out.GetBits();
    });
}

} // namespace quiltara
