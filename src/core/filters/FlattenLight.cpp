#include "core/filters/FlattenLight.h"

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quiltara {

namespace {

constexpr double kMinRadius = 2.0;
constexpr float kMinGain = 0.25f, kMaxGain = 4.0f;

// First pixel of cell i when pixels are shared out among cells as evenly as they go.
int CellStart(int i, int pixels, int cells) {
    return int(std::int64_t(i) * pixels / cells);
}

// The Gaussian of standard deviation sigma (in cells) wrapped onto a ring of cells:
// weight[o] for the distance o = 0 .. cells - 1, summed over every turn of the ring.
std::vector<double> RingKernel(int cells, double sigma) {
    std::vector<double> weight(std::size_t(cells), 0.0);
    const int turns = int(std::ceil(4 * sigma / cells)) + 1;
    double total = 0;
    for (int o = 0; o < cells; ++o) {
        double w = 0;
        for (int t = -turns; t <= turns; ++t) {
            const double d = o + double(t) * cells;
            w += std::exp(-d * d / (2 * sigma * sigma));
        }
        weight[std::size_t(o)] = w;
        total += w;
    }
    for (double& w : weight) w /= total;
    return weight;
}

// Blurs lines of a grid in place: count lines of cells values (three channels each),
// neighbours stride apart, lines lineStride apart.
void BlurRing(std::vector<float>& grid, int cells, int count, std::size_t stride,
              std::size_t lineStride, const std::vector<double>& kernel) {
    std::vector<double> line(std::size_t(cells) * 3), out(std::size_t(cells) * 3);
    for (int l = 0; l < count; ++l) {
        float* base = grid.data() + std::size_t(l) * lineStride;
        for (int i = 0; i < cells; ++i)
            for (int c = 0; c < 3; ++c) line[std::size_t(i) * 3 + c] = base[i * stride + c];
        for (int i = 0; i < cells; ++i) {
            double sum[3] = {0, 0, 0};
            for (int j = 0; j < cells; ++j) {
                const double k = kernel[std::size_t((i - j + cells) % cells)];
                for (int c = 0; c < 3; ++c) sum[c] += k * line[std::size_t(j) * 3 + c];
            }
            for (int c = 0; c < 3; ++c) out[std::size_t(i) * 3 + c] = sum[c];
        }
        for (int i = 0; i < cells; ++i)
            for (int c = 0; c < 3; ++c) base[i * stride + c] = float(out[std::size_t(i) * 3 + c]);
    }
}

// The light's slope across the tile in one direction, per channel value and pixel,
// from its step across the wrap: the mean over the seam of last pixel less first,
// over the distance between them. Taking the slope out brings that mean step to 0.
// A tile that wraps has no such step beyond what its grain explains by chance (three
// standard errors of the mean): its slope is 0, and it is flattened by the wrapping
// blur alone. (Bands wider than a pixel would see the texture's own gradients beside
// the wrap, and taking those out would draw a line along a seamless wrap.)
double WrapSlope(const CDIBSection2& tile, bool acrossColumns, int c) {
    const int w = tile.GetWidth(), h = tile.GetHeight();
    const int length = acrossColumns ? w : h, along = acrossColumns ? h : w;
    if (length < 3 || along < 2) return 0;
    double sum = 0, squares = 0;
    for (int a = 0; a < along; ++a) {
        const std::uint8_t* last = acrossColumns ? tile.PixelAt(w - 1, a) : tile.PixelAt(a, h - 1);
        const std::uint8_t* first = acrossColumns ? tile.PixelAt(0, a) : tile.PixelAt(a, 0);
        const double step = double(last[c]) - first[c];
        sum += step;
        squares += step * step;
    }
    const double mean = sum / along;
    const double variance = std::max(0.0, (squares - along * mean * mean) / (along - 1));
    if (std::abs(mean) <= 3 * std::sqrt(variance / along)) return 0;
    return mean / (length - 1);
}

} // namespace

double FlattenRadius(const FlattenLightOptions& options, int width, int height) {
    if (!(options.radius > 0)) return std::max(kMinRadius, std::max(width, height) / 16.0);
    return std::max(kMinRadius, options.radius);
}

std::vector<CLightField::Tap> CLightField::Taps(int pixels, int cells) {
    // Cell i stands for the middle of its pixels; between two middles the light is
    // interpolated, across the edge between the last cell and the first.
    std::vector<Tap> taps(static_cast<std::size_t>(pixels));
    const double scale = double(cells) / pixels;
    for (int p = 0; p < pixels; ++p) {
        const double u = (p + 0.5) * scale - 0.5;
        const int i = int(std::floor(u));
        Tap& t = taps[std::size_t(p)];
        t.first = ((i % cells) + cells) % cells;
        t.second = (t.first + 1) % cells;
        t.weight = float(u - i);
    }
    return taps;
}

double CLightField::SlopeLight(double x, double y, int c) const {
    return m_mean[c] + m_slopeX[c] * (x - (m_width - 1) / 2.0) +
           m_slopeY[c] * (y - (m_height - 1) / 2.0);
}

double CLightField::Unslope(double value, double x, double y, int c) const {
    const double light = SlopeLight(x, y, c);
    if (m_mode == FlattenLightMode::Subtract) return value + m_mean[c] - light;
    return value * std::clamp(m_mean[c] / std::max(light, 1.0), double(kMinGain), double(kMaxGain));
}

bool CLightField::Measure(const CDIBSection2& tile, const FlattenLightOptions& options) {
    m_light.clear();
    m_width = m_height = m_gridW = m_gridH = 0;
    for (int c = 0; c < 3; ++c) m_slopeX[c] = m_slopeY[c] = 0;
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32) return false;
    const int w = tile.GetWidth(), h = tile.GetHeight();
    const double radius = FlattenRadius(options, w, h);
    m_mode = options.mode;
    // Cells a quarter of the radius keep the interpolated light smooth and its blur
    // exact to a fraction of a level.
    const double cell = std::max(1.0, radius / 4);
    const int gw = std::clamp(int(std::lround(w / cell)), 1, std::min(w, kLightGridMax));
    const int gh = std::clamp(int(std::lround(h / cell)), 1, std::min(h, kLightGridMax));

    // The tile's mean, and the light's slope where the tile does not wrap.
    double total[3] = {0, 0, 0};
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = tile.PixelAt(0, y);
        for (int x = 0; x < w; ++x, p += 4)
            for (int c = 0; c < 3; ++c) total[c] += p[c];
    }
    for (int c = 0; c < 3; ++c) {
        m_mean[c] = total[c] / (double(w) * h);
        m_slopeX[c] = WrapSlope(tile, true, c);
        m_slopeY[c] = WrapSlope(tile, false, c);
    }
    m_width = w;
    m_height = h;

    // Area averages of the cells, of the tile with its slope taken out: what is left
    // wraps, and the ring blur finds its light.
    std::vector<double> sums(std::size_t(gw) * gh * 3, 0.0);
    std::vector<int> cellOfColumn(static_cast<std::size_t>(w));
    for (int i = 0; i < gw; ++i)
        for (int x = CellStart(i, w, gw); x < CellStart(i + 1, w, gw); ++x)
            cellOfColumn[std::size_t(x)] = i;
    const bool sloped = HasSlope();
    for (int j = 0; j < gh; ++j) {
        double* row = sums.data() + std::size_t(j) * gw * 3;
        for (int y = CellStart(j, h, gh); y < CellStart(j + 1, h, gh); ++y) {
            const std::uint8_t* p = tile.PixelAt(0, y);
            for (int x = 0; x < w; ++x, p += 4) {
                double* s = row + std::size_t(cellOfColumn[std::size_t(x)]) * 3;
                for (int c = 0; c < 3; ++c) s[c] += sloped ? Unslope(p[c], x, y, c) : double(p[c]);
            }
        }
    }
    m_light.assign(sums.size(), 0.0f);
    for (int j = 0; j < gh; ++j)
        for (int i = 0; i < gw; ++i) {
            const double count = double(CellStart(i + 1, w, gw) - CellStart(i, w, gw)) *
                                 (CellStart(j + 1, h, gh) - CellStart(j, h, gh));
            const std::size_t k = (std::size_t(j) * gw + i) * 3;
            for (int c = 0; c < 3; ++c) m_light[k + c] = float(sums[k + c] / count);
        }

    // The blur, along the rows of cells and then along the columns, each a ring.
    BlurRing(m_light, gw, gh, 3, std::size_t(gw) * 3, RingKernel(gw, radius * gw / w));
    BlurRing(m_light, gh, gw, std::size_t(gw) * 3, 3, RingKernel(gh, radius * gh / h));
    m_gridW = gw;
    m_gridH = gh;
    return true;
}

void CLightField::LightAt(int x, int y, double bgr[3]) const {
    bgr[0] = bgr[1] = bgr[2] = 0;
    if (IsEmpty()) return;
    const Tap tx = Taps(m_width, m_gridW)[std::size_t(((x % m_width) + m_width) % m_width)];
    const Tap ty = Taps(m_height, m_gridH)[std::size_t(((y % m_height) + m_height) % m_height)];
    auto at = [this](int i, int j, int c) {
        return double(m_light[(std::size_t(j) * m_gridW + i) * 3 + std::size_t(c)]);
    };
    for (int c = 0; c < 3; ++c) {
        const double top =
            at(tx.first, ty.first, c) * (1 - tx.weight) + at(tx.second, ty.first, c) * tx.weight;
        const double bottom =
            at(tx.first, ty.second, c) * (1 - tx.weight) + at(tx.second, ty.second, c) * tx.weight;
        const double periodic = top * (1 - ty.weight) + bottom * ty.weight;
        const double slope = SlopeLight(x, y, c);
        bgr[c] = m_mode == FlattenLightMode::Subtract ? slope - m_mean[c] + periodic
                                                      : slope * periodic / std::max(m_mean[c], 1.0);
    }
}

void CLightField::Apply(CDIBSection2& picture, int originX, int originY) const {
    if (IsEmpty() || picture.IsEmpty() || picture.GetBitsPerPixel() != 32) return;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    const std::vector<Tap> columnTaps = Taps(m_width, m_gridW);
    const std::vector<Tap> rowTaps = Taps(m_height, m_gridH);
    // The tile column of each picture column.
    std::vector<int> tileColumn(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x)
        tileColumn[std::size_t(x)] =
            int(((std::int64_t(x) - originX) % m_width + m_width) % m_width);
    const float mean[3] = {float(m_mean[0]), float(m_mean[1]), float(m_mean[2])};
    const bool divide = m_mode == FlattenLightMode::Divide;
    const bool sloped = HasSlope();

    ParallelFor(h, 16, [&](int begin, int end) {
        std::vector<float> rowLight(std::size_t(m_gridW) * 3);
        for (int y = begin; y < end; ++y) {
            const std::int64_t ty = std::int64_t(y) - originY;
            const Tap& tap = rowTaps[std::size_t((ty % m_height + m_height) % m_height)];
            const float* a = m_light.data() + std::size_t(tap.first) * m_gridW * 3;
            const float* b = m_light.data() + std::size_t(tap.second) * m_gridW * 3;
            for (std::size_t k = 0; k < rowLight.size(); ++k)
                rowLight[k] = a[k] + (b[k] - a[k]) * tap.weight;
            std::uint8_t* p = picture.PixelAt(0, y);
            for (int x = 0; x < w; ++x, p += 4) {
                const Tap& tx = columnTaps[std::size_t(tileColumn[std::size_t(x)])];
                const float* l0 = rowLight.data() + std::size_t(tx.first) * 3;
                const float* l1 = rowLight.data() + std::size_t(tx.second) * 3;
                for (int c = 0; c < 3; ++c) {
                    const float light = l0[c] + (l1[c] - l0[c]) * tx.weight;
                    // The slope first, where the tile has one; then the light that wraps.
                    const float value =
                        sloped
                            ? float(Unslope(p[c], double(std::int64_t(x) - originX), double(ty), c))
                            : float(p[c]);
                    float v;
                    if (divide) {
                        const float gain =
                            std::clamp(mean[c] / std::max(light, 1.0f), kMinGain, kMaxGain);
                        v = value * gain;
                    } else {
                        v = value + mean[c] - light;
                    }
                    p[c] = std::uint8_t(std::clamp(v + 0.5f, 0.0f, 255.0f));
                }
            }
        }
    });
}

bool FlattenLight(CDIBSection2& picture, const FlattenLightOptions& options) {
    CLightField field;
    if (!field.Measure(picture, options)) return false;
    field.Apply(picture);
    return true;
}

} // namespace quiltara
