#include "core/tiling/SeamlessTextures.h"

#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileRoutines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quiltara {

namespace {

enum Kind { kCanvas, kPaper, kStone, kNoise, kWood, kFabric };

/// Value noise on a lattice of period cells, smooth between lattice points and equal
/// at opposite edges of the picture.
class CWrappingNoise {
public:
    CWrappingNoise(int period, std::uint32_t seed) : m_period(period), m_values(period * period) {
        std::uint32_t s = seed * 2654435761u + 1;
        for (double& v : m_values) {
            s = s * 1664525u + 1013904223u;
            v = double(s >> 8) / double(1u << 24);
        }
    }
    /// u, v in lattice cells.
    double At(double u, double v) const {
        const int x0 = int(std::floor(u)), y0 = int(std::floor(v));
        const double fx = Fade(u - x0), fy = Fade(v - y0);
        const double a = Value(x0, y0), b = Value(x0 + 1, y0);
        const double c = Value(x0, y0 + 1), d = Value(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double Fade(double t) { return t * t * (3 - 2 * t); }
    double Value(int x, int y) const {
        x = ((x % m_period) + m_period) % m_period;
        y = ((y % m_period) + m_period) % m_period;
        return m_values[std::size_t(y * m_period + x)];
    }
    int m_period;
    std::vector<double> m_values;
};

/// Sum of octaves 4, 8, 16, ... cells across the picture, 0 ... 1.
double Fractal(const std::vector<CWrappingNoise>& octaves, double x, double y, int size) {
    double sum = 0, weight = 1, total = 0;
    int cells = 4;
    for (const CWrappingNoise& n : octaves) {
        sum += weight * n.At(x * cells / size, y * cells / size);
        total += weight;
        weight *= 0.5;
        cells *= 2;
    }
    return sum / total;
}

int Clamp(double v) {
    return std::clamp(int(v), 0, 255);
}

} // namespace

const std::vector<CSeamlessTextureKind>& SeamlessTextureKinds() {
    static const std::vector<CSeamlessTextureKind> kinds = {
        {"Canvas.png", kCanvas}, {"Paper.png", kPaper},     {"Stone.png", kStone},
        {"Noise.png", kNoise},   {"Wood Grain.png", kWood}, {"Fabric.png", kFabric},
    };
    return kinds;
}

void MakeSeamlessTexture(int kind, int size, std::uint32_t seed, CDIBSection2& picture) {
    size = std::max(32, size / 32 * 32);
    std::vector<CWrappingNoise> octaves;
    for (int cells = 4; cells <= size / 2 && cells <= 64; cells *= 2)
        octaves.emplace_back(cells, seed + std::uint32_t(cells));
    const CWrappingNoise grain(size / 2, seed ^ 0x5bd1e995u); // two pixels a cell
    std::vector<std::uint8_t> rgb(std::size_t(size) * size * 3);
    const double tau = 2 * std::numbers::pi;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double f = Fractal(octaves, x, y, size);
            const double g = grain.At(x / 2.0, y / 2.0);
            double r = 0, gr = 0, b = 0;
            switch (kind) {
            case kCanvas: { // a plain weave: threads every four pixels, slightly uneven
                const double warp = 0.5 + 0.5 * std::sin(tau * x / 4.0 + 1.5 * f);
                const double weft = 0.5 + 0.5 * std::sin(tau * y / 4.0 + 1.5 * f);
                const double v = 170 + 40 * ((x / 4 + y / 4) % 2 ? warp : weft) + 30 * (g - 0.5);
                r = v + 12, gr = v + 6, b = v - 12;
                break;
            }
            case kPaper: {
                const double v = 225 + 22 * (f - 0.5) + 16 * (g - 0.5);
                r = v, gr = v - 2, b = v - 10;
                break;
            }
            case kStone: {
                const double v = 60 + 150 * f + 30 * (g - 0.5);
                r = v + 10, gr = v + 2, b = v - 8;
                break;
            }
            case kNoise: {
                const double v = 255 * g;
                r = gr = b = v;
                break;
            }
            case kWood: { // rings across the picture, bent by the noise
                const double rings = 0.5 + 0.5 * std::sin(tau * (3.0 * x / size + 2.5 * f));
                const double v = 0.6 + 0.4 * rings + 0.1 * (g - 0.5);
                r = 150 * v + 40, gr = 95 * v + 25, b = 50 * v + 10;
                break;
            }
            case kFabric: { // a twill: diagonal ribs eight pixels apart
                const double rib = 0.5 + 0.5 * std::sin(tau * (x + y) / 8.0 + 2 * f);
                const double v = 0.55 + 0.35 * rib + 0.2 * (g - 0.5);
                r = 60 * v + 20, gr = 80 * v + 30, b = 160 * v + 40;
                break;
            }
            default:
                break;
            }
            std::uint8_t* px = &rgb[(std::size_t(y) * size + x) * 3];
            px[0] = std::uint8_t(Clamp(r));
            px[1] = std::uint8_t(Clamp(gr));
            px[2] = std::uint8_t(Clamp(b));
        }
    picture.ImportRGB(rgb.data(), size, size, 255);
}

bool WriteSeamlessTextures(const std::string& folder, int size) {
    bool ok = true;
    std::uint32_t seed = 7;
    for (const CSeamlessTextureKind& k : SeamlessTextureKinds()) {
        CDIBSection2 picture;
        MakeSeamlessTexture(k.kind, size, seed++, picture);
        CNullProgress progress;
        ok = SavePictureFile(picture, folder + "/" + k.fileName, 90, progress).ok && ok;
    }
    return ok;
}

} // namespace quiltara
