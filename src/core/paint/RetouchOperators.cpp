#include "core/paint/RetouchOperators.h"

#include "core/paint/ToolOperatorState.h"

#include <algorithm>
#include <array>

namespace quiltara {

namespace {

inline int Clamp255(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// The retouch grey of blue, green, red.
inline int RetouchGrey(const std::uint8_t* p) {
    return int(0.11 * p[0] + 0.59 * p[1] + 0.30 * p[2]);
}

// The middle of nine values (0 ... 255) by a fixed exchange network of 19 steps: the
// median brush runs it three times for every pixel. Each step orders a pair by the
// sign of the difference, without a branch the processor could mispredict.
inline int MedianOf9(int v[9]) {
    auto order = [](int& a, int& b) {
        const int d = (a - b) & ((a - b) >> 31); // a - b when a < b, else 0
        const int lo = b + d, hi = a - d;
        a = lo, b = hi;
    };
    order(v[1], v[2]), order(v[4], v[5]), order(v[7], v[8]);
    order(v[0], v[1]), order(v[3], v[4]), order(v[6], v[7]);
    order(v[1], v[2]), order(v[4], v[5]), order(v[7], v[8]);
    order(v[0], v[3]), order(v[5], v[8]), order(v[4], v[7]);
    order(v[3], v[6]), order(v[1], v[4]), order(v[2], v[5]);
    order(v[4], v[7]), order(v[4], v[2]), order(v[6], v[4]);
    order(v[4], v[2]);
    return v[4];
}

// A stamp pixel without coverage is never written, whatever the pressure: the
// operators that read no random numbers skip it.
inline bool Uncovered(const CDabPixel& p) {
    return p.stamp[3] == 0;
}

class CTableSource : public IDabColorSource {
public:
    explicit CTableSource(const std::array<std::uint8_t, 256>& table) : m_table(table) {}
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        for (int i = 0; i < 3; ++i) c[i] = m_table[p.u[i]];
    }

private:
    std::array<std::uint8_t, 256> m_table;
};

// JPEG's integer colour transforms (16-bit fixed point), used to give a pixel's luma
// the foreground colour's chroma.
constexpr int kScaleBits = 16;
constexpr int kHalf = 1 << (kScaleBits - 1);
constexpr int kChromaOffset = 128 << kScaleBits;

class CPointSource : public IDabColorSource {
public:
    CPointSource(int kind, ColorRef fore) : m_kind(kind) {
        const int r = RedOf(fore), g = GreenOf(fore), b = BlueOf(fore);
        const int cb =
            (-11059 * r - 21709 * g + 32768 * b + kChromaOffset + kHalf - 1) >> kScaleBits;
        const int cr = (32768 * r - 27439 * g - 5329 * b + kChromaOffset + kHalf - 1) >> kScaleBits;
        const int x = cb - 128, z = cr - 128;
        m_addR = (91881 * z + kHalf) >> kScaleBits;
        m_addG = (-22554 * x + kHalf - 46802 * z) >> kScaleBits;
        m_addB = (116130 * x + kHalf) >> kScaleBits;
    }
    void ColorAt(const CDIBSection2&, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        const std::uint8_t* u = p.u;
        const int B = u[0], G = u[1], R = u[2];
        switch (m_kind) {
        case kRetouchDesaturate:
            c[0] = c[1] = c[2] = RetouchGrey(u);
            return;
        case kRetouchSaturate:
            c[0] = Clamp255((510 * B - 50 * (G + R)) / 410);
            c[1] = Clamp255((510 * G - 50 * (B + R)) / 410);
            c[2] = Clamp255((510 * R - 50 * (B + G)) / 410);
            return;
        case kRetouchColorize: {
            const int l = (19595 * R + 38470 * G + 7471 * B + kHalf) >> kScaleBits;
            c[0] = (Clamp255(l + m_addB) * 115 + B * 140) >> 8;
            c[1] = (Clamp255(l + m_addG) * 115 + G * 140) >> 8;
            c[2] = (Clamp255(l + m_addR) * 115 + R * 140) >> 8;
            return;
        }
        default: // red removal
            c[0] = B, c[1] = G, c[2] = R;
            if (std::max(R - 20, 0) >= G && std::max(R - 20, 0) >= B) c[2] = RetouchGrey(u);
            return;
        }
    }

private:
    int m_kind;
    int m_addR = 0, m_addG = 0, m_addB = 0; // the foreground colour's chroma as offsets
};

class CNeighbourSource : public IDabColorSource {
public:
    explicit CNeighbourSource(int kind) : m_kind(kind) {}
    void ColorAt(const CDIBSection2& read, const CDabArgs&, const CDabPixel& p, int c[3]) override {
        if (Uncovered(p)) return;
        // The 3 x 3 block, row by row; beyond the picture the centre row or column
        // stands in for the missing one.
        const int w = read.GetWidth(), h = read.GetHeight();
        const int xs[3] = {p.X > 0 ? p.X - 1 : p.X, p.X, p.X < w - 1 ? p.X + 1 : p.X};
        const int ys[3] = {p.Y > 0 ? p.Y - 1 : p.Y, p.Y, p.Y < h - 1 ? p.Y + 1 : p.Y};
        const std::uint8_t* n[9];
        for (int r = 0; r < 3; ++r) {
            const std::uint8_t* row = read.PixelAt(0, ys[r]);
            for (int k = 0; k < 3; ++k) n[r * 3 + k] = row + 4 * xs[k];
        }
        const std::uint8_t* u = n[4];
        if (m_kind == kRetouchMedian) {
            for (int i = 0; i < 3; ++i) {
                int v[9];
                for (int k = 0; k < 9; ++k) v[k] = n[k][i];
                c[i] = MedianOf9(v);
            }
            return;
        }
        int soft[3], sharp[3];
        for (int i = 0; i < 3; ++i) {
            int sum = 0;
            for (int k = 0; k < 9; ++k)
                if (k != 4) sum += n[k][i];
            soft[i] = sum / 8;
            // centre - 0.05 (sum - 8 centre) = (28 centre - sum) / 20, truncated.
            sharp[i] = Clamp255((28 * u[i] - sum) / 20);
        }
        if (m_kind == kRetouchSoften) {
            c[0] = soft[0], c[1] = soft[1], c[2] = soft[2];
        } else if (m_kind == kRetouchSharpen) {
            c[0] = sharp[0], c[1] = sharp[1], c[2] = sharp[2];
        } else {
            // Bright areas take the softened colour, dark ones the sharpened.
            const int L = (soft[0] + soft[1] + soft[2]) / 3;
            for (int i = 0; i < 3; ++i)
                c[i] = ((((sharp[i] * (255 - L) + L * u[i]) >> 8) * (255 - L)) + L * soft[i]) >> 8;
        }
    }

private:
    int m_kind;
};

} // namespace

std::unique_ptr<IDabColorSource> MakeRetouchSource(int kind, const CToolOperatorState& state,
                                                   ColorRef foreColor) {
    switch (kind) {
    case kRetouchSoften:
    case kRetouchSharpen:
    case kRetouchMixed:
    case kRetouchMedian:
        return std::make_unique<CNeighbourSource>(kind);
    case kRetouchContrast:
    case kRetouchBrighten:
    case kRetouchDarken:
        return std::make_unique<CTableSource>(state.Table());
    case kRetouchDesaturate:
    case kRetouchSaturate:
    case kRetouchColorize:
    case kRetouchRedRemoval:
        return std::make_unique<CPointSource>(kind, foreColor);
    default:
        return nullptr;
    }
}

} // namespace quiltara
