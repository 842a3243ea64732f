#include "core/paint/EffectOperators.h"

#include "core/base/RuntimeRandom.h"
#include "core/base/WrapIndex.h"
#include "core/paint/ToolOperatorState.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quiltara {

namespace {

inline int Clamp255(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// The grey the noise and lighten effects start from (red weighed most).
inline int WarmGrey(const std::uint8_t* p) {
    return (76 * p[1] + 150 * p[2] + 29 * p[0]) / 256;
}

// Luma of blue, green, red.
inline int Luma(const std::uint8_t* p) {
    return (76 * p[2] + 150 * p[1] + 29 * p[0]) >> 8;
}

inline void Copy(int c[3], const std::uint8_t* p) {
    c[0] = p[0], c[1] = p[1], c[2] = p[2];
}

// A stamp pixel without coverage is never written, whatever the pressure: the
// operators that read no random numbers skip it.
inline bool Uncovered(const CDabPixel& p) {
    return p.stamp[3] == 0;
}

class CSelfSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        Copy(c, p.u);
    }
};

class CNoiseSource : public IDabColorSource {
public:
    CNoiseSource(const CToolOperatorState& state, CRuntimeRandom& random)
        : m_table(state.NoiseTable()), m_random(random) {}
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        // Half of the grain follows the column, half is drawn for the pixel; a number
        // is drawn for every stamp pixel so that the grain depends only on the seed.
        const int term = m_table[std::size_t(p.X % 255)] + int(m_random.NextUnit() * 32);
        const int n = WarmGrey(p.u) - term;
        c[0] = Clamp255(n - 20), c[1] = Clamp255(n + 10), c[2] = Clamp255(n + 40);
    }

private:
    std::array<std::uint8_t, CToolOperatorState::kNoiseTableSize> m_table;
    CRuntimeRandom& m_random;
};

// The effects that work in 20 x 20 cells count the cells from the picture's top-left
// corner, as the user sees it, not from the first row in memory.
constexpr int kCell = 20;

class CMosaicSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        const int row = h - 1 - p.Y;
        const int cx = std::min(p.X - p.X % kCell + kCell / 2, w - 1);
        const int cy = std::min(row - row % kCell + kCell / 2, h - 1);
        Copy(c, read.PixelAt(cx, h - 1 - cy));
    }
};

class CLightenSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        const int add = 192 % std::max(WarmGrey(p.u), 1);
        for (int i = 0; i < 3; ++i) c[i] = std::min(p.u[i] + add, 255);
    }
};

class CEmbossSource : public IDabColorSource {
public:
    CEmbossSource() {
        const double az = 2.356194490125, el = 0.5235987755833333;
        m_ky = 240 * std::cos(el) * std::sin(az);
        m_kx = 240 * std::cos(el) * std::cos(az);
        m_kz = 240 * std::sin(el);
    }
    void ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        int g[3][3]; // [row][column]; row 0 is memory row Y - 1, the row below in the picture
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k)
                g[r][k] = Luma(read.PixelAt(WrapIndex(p.X + k - 1, w), WrapIndex(p.Y + r - 1, h)));
        const int tx = (g[0][0] + g[1][0] + g[2][0]) - (g[0][2] + g[1][2] + g[2][2]);
        // Memory rows grow up the picture, so the light from azimuth 135 degrees stands
        // at the picture's top-left, where the user expects it.
        const int ty = (g[0][0] + g[0][1] + g[0][2]) - (g[2][0] + g[2][1] + g[2][2]);
        double s;
        if (tx == 0 && ty == 0) {
            s = m_kz;
        } else {
            const int K = int(ty * m_ky + tx * m_kx + m_kz * 120);
            s = K < 0 ? 0 : int(2.0 * K / std::sqrt(double(tx) * tx + double(ty) * ty + 14400));
        }
        const int add = int((s - 255) * 0.2);
        for (int i = 0; i < 3; ++i) c[i] = Clamp255(p.u[i] + add);
    }

private:
    double m_kx = 0, m_ky = 0, m_kz = 0;
};

class CRadialBlurSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2& read, const CDabArgs& args, const CDabPixel& p,
                 int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        const double f = WrapIndex(args.offsetX, w), cy = h - 1 - WrapIndex(args.offsetY, h);
        const double dx = p.X - f, dy = p.Y - cy;
        int sum[3] = {0, 0, 0}, taken = 0;
        for (int k = 0; k < 15; ++k) {
            const double t = 1.0 + 0.03 * k;
            const int x = int(dx * t + f), y = int(dy * t + cy);
            if (x < 0 || y < 0 || x >= w || y >= h) continue;
            const std::uint8_t* s = read.PixelAt(x, y);
            for (int i = 0; i < 3; ++i) sum[i] += s[i];
            ++taken;
        }
        for (int i = 0; i < 3; ++i) c[i] = sum[i] / (taken ? taken : 10);
    }
};

class CGlassBlocksSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        const int row = h - 1 - p.Y;
        // Each cell shows its middle enlarged 5/3 times, as through a block of glass.
        const double sx = p.X - p.X % kCell + kCell / 2 + (p.X % kCell - 10) * 1.6666666666666667;
        const double sy = row - row % kCell + kCell / 2 + (row % kCell - 10) * 1.6666666666666667;
        if (!(sx >= 0 && sy >= 0 && sx <= w - 1 && sy <= h - 1)) {
            Copy(c, p.u);
            return;
        }
        const int x0 = int(sx), y0 = int(sy);
        const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
        const double fx = sx - x0, fy = sy - y0;
        const std::uint8_t* a = read.PixelAt(x0, h - 1 - y0);
        const std::uint8_t* b = read.PixelAt(x1, h - 1 - y0);
        const std::uint8_t* d = read.PixelAt(x0, h - 1 - y1);
        const std::uint8_t* e = read.PixelAt(x1, h - 1 - y1);
        for (int i = 0; i < 3; ++i)
            c[i] =
                int((a[i] * (1 - fx) + b[i] * fx) * (1 - fy) + (d[i] * (1 - fx) + e[i] * fx) * fy);
    }
};

class CContrastColorSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        const int f = Luma(p.u);
        int D[3] = {0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0) continue;
                const int x = p.X + dx, y = p.Y + dy;
                // Neighbours beyond the picture count as black.
                const bool inside = x >= 0 && y >= 0 && x < w && y < h;
                const std::uint8_t* n = inside ? read.PixelAt(x, y) : nullptr;
                for (int i = 0; i < 3; ++i) D[i] += std::abs(p.u[i] - (n ? n[i] : 0));
            }
        for (int i = 0; i < 3; ++i) c[i] = Clamp255(f + D[i] * (p.u[i] - f) * 128 / 2048);
    }
};

class CHeatSource : public IDabColorSource {
public:
    CHeatSource() {
        // A function of the grey alone: one table.
        for (int g = 0; g < 256; ++g) {
            const double d = g / 256.0;
            auto bell = [](double v) { return int(255 * std::exp(-(v * v * v * v))); };
            m_table[g][2] = bell((d - 0.8) * 3.3333333);
            m_table[g][1] = bell((d - 0.5) * 3.3333333);
            m_table[g][0] =
                d >= 0.2 ? bell((d - 0.2) * 3.3333333) : bell((0.2 - d) * 4.166666501098216);
        }
    }
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        const std::array<int, 3>& t = m_table[std::size_t(Luma(p.u))];
        c[0] = t[0], c[1] = t[1], c[2] = t[2];
    }

private:
    std::array<std::array<int, 3>, 256> m_table;
};

class CRadialSmearSource : public IDabColorSource {
public:
    void ColorAt(const CDIBSection2& read, const CDabArgs& args, const CDabPixel& p,
                 int c[3]) override {
        if (Uncovered(p)) return;
        const int w = read.GetWidth(), h = read.GetHeight();
        const int px = WrapIndex(args.offsetX, w), py = WrapIndex(args.offsetY, h);
        // The distance is taken before wrapping, so that a disc crossing the tile's
        // edge fades on across the seam instead of jumping to the far side's distance.
        const double dx = double(p.x) - args.offsetX, dy = double(p.y) - args.offsetY;
        const int r = int(std::min(3 * std::sqrt(dx * dx + dy * dy), 255.0));
        const std::uint8_t* q = read.PixelAt(px, py);
        for (int i = 0; i < 3; ++i) c[i] = (q[i] * (255 - r) + p.u[i] * r) >> 8;
    }
};

} // namespace

std::unique_ptr<IDabColorSource> MakeEffectSource(int kind, const CToolOperatorState& state,
                                                  CRuntimeRandom& random) {
    switch (kind) {
    case kEffectSelf:
        return std::make_unique<CSelfSource>();
    case kEffectNoise:
        return std::make_unique<CNoiseSource>(state, random);
    case kEffectEmboss:
        return std::make_unique<CEmbossSource>();
    case kEffectMosaic:
        return std::make_unique<CMosaicSource>();
    case kEffectLighten:
        return std::make_unique<CLightenSource>();
    case kEffectRadialBlur:
        return std::make_unique<CRadialBlurSource>();
    case kEffectGlassBlocks:
        return std::make_unique<CGlassBlocksSource>();
    case kEffectContrastColor:
        return std::make_unique<CContrastColorSource>();
    case kEffectHeat:
        return std::make_unique<CHeatSource>();
    case kEffectRadialSmear:
        return std::make_unique<CRadialSmearSource>();
    default:
        return nullptr;
    }
}

} // namespace quiltara
