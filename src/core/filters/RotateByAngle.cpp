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

void FillPixels(std::uint8_t* out, int count, const Pixel& back) {
    for (int i = 0; i < count; ++i) std::memcpy(out + std::size_t(i) * 4, back.c, 4);
}

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

// Horizontal shear: row y of src (width n) moved by offset(y) into a row of width m.
template <typename Offset>
void ShearRows(const std::uint8_t* src, int n, int rows, std::uint8_t* dst, int m,
               const Pixel& back, Offset offset) {
    ParallelFor(rows, 16, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* s = src + std::size_t(y) * std::size_t(n) * 4;
            std::uint8_t* d = dst + std::size_t(y) * std::size_t(m) * 4;
            const double o = offset(y);
            const double whole = std::floor(o);
            const ShearLine line(o - whole, back);
            const ShareTable table(o - whole);
            const long long start = (long long)whole;
            FillPixels(d, m, back);
            // Source indexes 0..n land at start + i; those that land inside the row.
            const long long first = std::max(0LL, -start);
            const long long last = std::min<long long>(n, m - 1 - start);
            if (first > last) continue;
            if (first == 0) line.Put(nullptr, s, d + start * 4);
            const long long innerFirst = std::max(1LL, first);
            const long long innerLast = std::min<long long>(n - 1, last);
            for (long long i = innerFirst; i <= innerLast; ++i)
                PutInside(table, s + (i - 1) * 4, s + i * 4, d + (start + i) * 4);
            if (last == n && n > 0) line.Put(s + (n - 1) * 4, nullptr, d + (start + n) * 4);
        }
    });
}

// Vertical shear: column x of src (n rows) moved by offset(x) into a column of m rows.
// Worked in strips of columns, row by row within a strip, so that reads and writes run
// along memory and the strip's share tables stay in the cache.
template <typename Offset>
void ShearColumns(const std::uint8_t* src, int width, int n, std::uint8_t* dst, int m,
                  const Pixel& back, Offset offset) {
    constexpr int kStrip = 32;
    const std::size_t stride = std::size_t(width) * 4;
    const int strips = (width + kStrip - 1) / kStrip;
    ParallelFor(strips, 1, [&](int begin, int end) {
        std::vector<ShareTable> tables;
        std::vector<ShearLine> lines;
        tables.reserve(kStrip);
        lines.reserve(kStrip);
        long long start[kStrip];
        for (int strip = begin; strip < end; ++strip) {
            const int x0 = strip * kStrip, count = std::min(kStrip, width - x0);
            tables.clear();
            lines.clear();
            for (int k = 0; k < count; ++k) {
                const double o = offset(x0 + k);
                const double whole = std::floor(o);
                start[k] = (long long)whole;
                lines.emplace_back(o - whole, back);
                tables.emplace_back(o - whole);
            }
            for (int y = 0; y < m; ++y) {
                std::uint8_t* d = dst + std::size_t(y) * stride + std::size_t(x0) * 4;
                auto edge = [&](int k) {
                    const long long i = y - start[k];
                    std::uint8_t* out = d + std::size_t(k) * 4;
                    const std::uint8_t* column = src + std::size_t(x0 + k) * 4;
                    if (i < 0 || i > n)
                        std::memcpy(out, back.c, 4);
                    else
                        lines[std::size_t(k)].Put(
                            i > 0 ? column + std::size_t(i - 1) * stride : nullptr,
                            i < n ? column + std::size_t(i) * stride : nullptr, out);
                };
                auto inside = [&](int k) { return y - start[k] > 0 && y - start[k] < n; };
                // The offsets run monotonically across the strip, so the columns whose
                // both source pixels lie inside form one run.
                int k = 0;
                for (; k < count && !inside(k); ++k) edge(k);
                for (; k < count && inside(k); ++k) {
                    const std::size_t i = std::size_t(y - start[k]);
                    const std::uint8_t* column = src + std::size_t(x0 + k) * 4;
                    PutInside(tables[std::size_t(k)], column + (i - 1) * stride,
                              column + i * stride, d + std::size_t(k) * 4);
                }
                for (; k < count; ++k) edge(k);
            }
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
// width x height 32-bit pixels. Intermediate pictures live in large-page blocks, so
// that the column shear's walk down the rows does not miss the TLB at every row.
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

    // 1. Horizontal: row i by t (i + 0.5), counted from the other end for negative t.
    // The shears write every pixel of their results: no need to clear them first.
    Pixels first(std::size_t(sizes.width1) * std::size_t(h) * 4);
    ShearRows(turned, w, h, first.data(), sizes.width1, back,
              [&](int i) { return shears.First(i); });
    work = {};
    stage(1);

    // 2. Vertical: column j by an offset falling by sigma from column to column.
    Pixels second(std::size_t(sizes.width1) * std::size_t(sizes.height2) * 4);
    ShearColumns(first.data(), sizes.width1, h, second.data(), sizes.height2, back,
                 [&](int j) { return shears.Second(j); });
    first = {};
    stage(2);

    // 3. Horizontal again: row j by an offset growing by t from row to row.
    ShearRows(second.data(), sizes.width1, sizes.height2, target(sizes.width3, sizes.height2),
              sizes.width3, back, [&](int j) { return shears.Third(j); });
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
