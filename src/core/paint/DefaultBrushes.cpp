#include "core/paint/DefaultBrushes.h"

#include "core/paint/BrushLibrary.h"
#include "core/paint/BrushStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace quiltara {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr ColorRef kDefaultColor = 0x0000FF; // the default foreground colour

// Integer hash noise: the same numbers everywhere, no generator state.
double Hash(int x, int y, int seed) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u +
                      std::uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double ValueNoise(double x, double y, int seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

double Fbm(double x, double y, int seed, int octaves = 4) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * ValueNoise(x, y, seed + o * 31);
        total += amplitude;
        x *= 2, y *= 2, amplitude *= 0.5;
    }
    return sum / total;
}

std::uint8_t Byte(double v) {
    return std::uint8_t(std::clamp(int(v * 255 + 0.5), 0, 255));
}

struct Sample {
    double alpha = 0;           // coverage 0 ... 1
    double b = 1, g = 1, r = 1; // colour 0 ... 1
};
// A picture drawn by a function of the position (-1 ... 1 across, y upwards) with 4 x 4
// supersampling, so that edges come out smooth.
using Painter = std::function<Sample(double x, double y)>;

CDIBSection2 Draw(int side, const Painter& paint) {
    CDIBSection2 pic;
    pic.Create(side, side, 32, true);
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            double a = 0, b = 0, g = 0, r = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double x = ((col + (sx + 0.5) / 4) / side) * 2 - 1;
                    const double y = ((row + (sy + 0.5) / 4) / side) * 2 - 1;
                    const Sample s = paint(x, y);
                    a += s.alpha, b += s.b * s.alpha, g += s.g * s.alpha, r += s.r * s.alpha;
                }
            std::uint8_t* p = pic.PixelAt(col, row);
            const double n = a > 0 ? a : 1;
            p[0] = Byte(b / n), p[1] = Byte(g / n), p[2] = Byte(r / n), p[3] = Byte(a / 16);
        }
    return pic;
}

CBrush Round(const std::string& name, int size, double blur, double spacing = 0.15,
             int type = kBrushCircular) {
    CBrush brush;
    brush.name = name;
    brush.type = type;
    brush.size = size;
    brush.blur = blur;
    brush.spacing = brush.spacingCopy = spacing;
    brush.color = kDefaultColor;
    GenerateStamp(brush, 40);
    return brush;
}

CBrush Square(const std::string& name, int size, double blur, double spacing = 0.15) {
    return Round(name, size, blur, spacing, kBrushRectangular);
}

// A "Bitmap" brush: the coverage comes from the function, the colour is the paint's.
CBrush Bitmap(const std::string& name, int side, double spacing,
              const std::function<double(double x, double y)>& coverage) {
    CBrush brush;
    brush.name = name;
    brush.type = kBrushBitmap;
    brush.size = side;
    brush.blur = 0;
    brush.spacing = brush.spacingCopy = spacing;
    brush.color = kDefaultColor;
    brush.mask = Draw(side, [&](double x, double y) {
        Sample s;
        s.alpha = std::clamp(coverage(x, y), 0.0, 1.0);
        return s;
    });
    GenerateStamp(brush, 40);
    return brush;
}

CBrush Picture(const std::string& name, int type, int side, double spacing, const Painter& paint) {
    CBrush brush;
    brush.name = name;
    brush.type = type;
    brush.size = side;
    brush.blur = 0;
    brush.spacing = brush.spacingCopy = spacing;
    brush.color = kDefaultColor;
    brush.mask = Draw(side, paint);
    GenerateStamp(brush, 40);
    return brush;
}

double SoftDisc(double x, double y, double radius, double softness) {
    const double d = std::sqrt(x * x + y * y);
    return std::clamp((radius - d) / softness, 0.0, 1.0);
}

// --- textured coverages -------------------------------------------------------------

double Bristles(double x, double y, int seed) {
    // Parallel hairs of varying strength inside a slightly ragged oval footprint.
    const double footprint =
        SoftDisc(x * 0.85, y * 1.15, 0.9 - 0.15 * ValueNoise(x * 3, 0, seed), 0.25);
    const double hair = ValueNoise(x * 24, y * 1.5, seed + 1);
    return footprint * std::clamp((hair - 0.25) * 1.8, 0.0, 1.0);
}

double Sponge(double x, double y, int seed) {
    const double holes = Fbm(x * 5 + 10, y * 5, seed);
    return SoftDisc(x, y, 0.85, 0.3) * std::clamp((holes - 0.42) * 5, 0.0, 1.0);
}

double Chalk(double x, double y, int seed) {
    const double grain = Hash(int((x + 1) * 80), int((y + 1) * 80), seed);
    const double body = SoftDisc(x, y * 1.2, 0.8, 0.35);
    return body * (grain > 0.35 ? 1.0 : 0.15) * (0.6 + 0.4 * Fbm(x * 4, y * 4, seed + 3));
}

double Spatter(double x, double y, int seed, double spread) {
    // Droplets on a jittered grid, denser and bigger towards the middle.
    double best = 0;
    const double cells = 9;
    const int cx = int(std::floor((x + 1) * cells / 2)), cy = int(std::floor((y + 1) * cells / 2));
    for (int j = cy - 1; j <= cy + 1; ++j)
        for (int i = cx - 1; i <= cx + 1; ++i) {
            if (Hash(i, j, seed) > 0.55) continue;
            const double px = (i + Hash(i, j, seed + 1)) * 2 / cells - 1;
            const double py = (j + Hash(i, j, seed + 2)) * 2 / cells - 1;
            const double fall = 1 - std::min(1.0, std::sqrt(px * px + py * py) / spread);
            const double radius = 0.02 + 0.08 * Hash(i, j, seed + 3) * fall;
            const double d = std::hypot(x - px, y - py);
            best =
                std::max(best, std::clamp((radius - d) / 0.02, 0.0, 1.0) * (fall > 0 ? 1.0 : 0.0));
        }
    return best;
}

double DryBrush(double x, double y, int seed) {
    const double streak = ValueNoise(x * 1.2, y * 18, seed);
    const double body =
        std::clamp((0.95 - std::abs(y)) / 0.1, 0.0, 1.0) *
        std::clamp((0.7 - std::abs(x) * 0.7 + 0.3 * Fbm(x * 3, y * 3, seed + 5)), 0.0, 1.0);
    return body * std::clamp((streak - 0.4) * 3, 0.0, 1.0);
}

double Charcoal(double x, double y, int seed) {
    const double tilt = x * 0.8 + y * 0.6, across = -x * 0.6 + y * 0.8;
    const double body = std::clamp((0.8 - std::abs(tilt)) / 0.2, 0.0, 1.0) *
                        std::clamp((0.35 - std::abs(across)) / 0.1, 0.0, 1.0);
    const double grain = Hash(int((x + 1) * 60), int((y + 1) * 60), seed);
    return body * (0.35 + 0.65 * grain) * (0.5 + 0.5 * Fbm(tilt * 6, across * 2, seed + 7));
}

double Canvas(double x, double y, int seed) {
    const double weave = 0.5 + 0.25 * std::sin(x * 40) + 0.25 * std::sin(y * 40);
    return SoftDisc(x, y, 0.85, 0.2) * (0.45 + 0.55 * weave) *
           (0.7 + 0.3 * Fbm(x * 6, y * 6, seed));
}

double SpeckleSpray(double x, double y, int seed) {
    const double d = std::sqrt(x * x + y * y);
    const double density = std::max(0.0, 1 - d / 0.95);
    return Hash(int((x + 1) * 50), int((y + 1) * 50), seed) < density * density * 0.6 ? 1.0 : 0.0;
}

// --- picture brushes ----------------------------------------------------------------

Sample Stone(double x, double y) {
    Sample s;
    const double n = Fbm(x * 3 + 4, y * 3 + 9, 71, 5);
    const double edge = 0.82 + 0.12 * (ValueNoise(std::atan2(y, x) * 2 + 7, 0, 73) - 0.5);
    s.alpha = std::clamp((edge - std::hypot(x, y)) / 0.06, 0.0, 1.0);
    const double light = std::clamp(0.55 + 0.45 * (-x * 0.5 + y * 0.7), 0.2, 1.0);
    const double tone = (0.35 + 0.45 * n) * light;
    s.r = tone * 1.05, s.g = tone, s.b = tone * 0.88;
    return s;
}

// Grey relief: with "Color Overlay" the paint colour is darkened by it, so the dab looks
// like a ridge of thick paint.
Sample Impasto(double x, double y) {
    Sample s;
    s.alpha = SoftDisc(x * 0.8, y * 1.3, 0.85, 0.15) * (0.8 + 0.2 * Fbm(x * 4, y * 4, 91));
    const double ridges = 0.5 + 0.5 * std::sin(x * 14 + 3 * Fbm(x * 2, y * 2, 93));
    const double v = std::clamp(0.55 + 0.45 * ridges, 0.0, 1.0);
    s.r = s.g = s.b = v;
    return s;
}

// --- image hose frames ---------------------------------------------------------------

CDIBSection2 LeafFrame(int side, double angle, double hueShift, int seed) {
    const double ca = std::cos(angle), sa = std::sin(angle);
    return Draw(side, [&](double x, double y) {
        Sample s;
        const double u = (x * ca + y * sa) + 0.85, v = -x * sa + y * ca; // along, across
        const double length = 1.7;
        if (u < 0 || u > length) return s;
        const double half = 0.42 * std::pow(std::sin(kPi * u / length), 0.8);
        const double stem = (u < 0.15) ? 0.03 : 0;
        const double d = std::abs(v);
        s.alpha = std::clamp((std::max(half, stem) - d) / 0.04, 0.0, 1.0);
        const double vein =
            std::clamp(1 - std::abs(v) / 0.03, 0.0, 1.0) +
            0.5 * std::clamp(1 - std::abs(std::fmod(u - d * 1.4 + 2, 0.3) - 0.15) / 0.02, 0.0, 1.0);
        const double shade =
            0.55 + 0.35 * (d / std::max(half, 0.01)) + 0.1 * ValueNoise(u * 8, v * 8, seed);
        s.g = std::clamp(shade * 0.75 - vein * 0.15, 0.0, 1.0);
        s.r = std::clamp(shade * (0.25 + hueShift) - vein * 0.05, 0.0, 1.0);
        s.b = std::clamp(shade * 0.12, 0.0, 1.0);
        return s;
    });
}

CDIBSection2 PebbleFrame(int side, int seed) {
    const double rx = 0.6 + 0.3 * Hash(seed, 1, 5), ry = 0.45 + 0.3 * Hash(seed, 2, 5);
    const double angle = kPi * Hash(seed, 3, 5);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double warm = Hash(seed, 4, 5);
    return Draw(side, [&](double x, double y) {
        Sample s;
        const double u = (x * ca + y * sa) / rx, v = (-x * sa + y * ca) / ry;
        const double d = u * u + v * v;
        s.alpha = std::clamp((1 - d) / 0.08, 0.0, 1.0);
        const double nz = std::sqrt(std::max(0.0, 1 - d));
        const double light =
            std::clamp(0.25 + 0.75 * (nz * 0.7 + (-x * 0.4 + y * 0.5) * 0.5), 0.1, 1.0);
        const double speckle = 0.8 + 0.2 * Hash(int((x + 1) * 40), int((y + 1) * 40), seed);
        const double tone = light * speckle * (0.55 + 0.3 * Fbm(x * 4, y * 4, seed));
        s.r = tone * (0.9 + 0.25 * warm), s.g = tone * (0.85 + 0.1 * warm), s.b = tone * 0.8;
        return s;
    });
}

CDIBSection2 GrassFrame(int side, double angle, int seed) {
    // A blade leaning towards angle (0 = to the right, counted the way the stroke
    // direction is: y downwards on screen, here y upwards, hence the minus).
    const double ca = std::cos(angle), sa = -std::sin(angle);
    return Draw(side, [&](double x, double y) {
        Sample s;
        for (int blade = 0; blade < 3; ++blade) {
            const double spread = (blade - 1) * 0.25;
            const double bx = x - spread * -sa, by = y - spread * ca;
            const double u = bx * ca + by * sa + 0.9, v = -bx * sa + by * ca;
            const double length = 1.6 - 0.3 * std::abs(blade - 1);
            if (u < 0 || u > length) continue;
            const double bend = 0.12 * (u / length) * (u / length) * (blade - 1 + 0.5);
            const double half = 0.07 * (1 - u / length);
            const double a = std::clamp((half - std::abs(v - bend)) / 0.02, 0.0, 1.0);
            if (a > s.alpha) {
                s.alpha = a;
                const double t = u / length;
                s.g = 0.35 + 0.4 * t + 0.1 * Hash(blade, seed, 9);
                s.r = 0.15 + 0.35 * t * t;
                s.b = 0.08;
            }
        }
        return s;
    });
}

CBrush Hose(const std::string& name, int mode, std::vector<CDIBSection2> frames, double spacing) {
    CBrush brush;
    brush.name = name;
    brush.type = kBrushImageHose;
    brush.hoseMode = mode;
    brush.size = frames.empty() ? 20 : frames.front().GetWidth();
    brush.blur = 0;
    brush.spacing = brush.spacingCopy = spacing;
    brush.color = kDefaultColor;
    brush.hoseFrames = std::move(frames);
    CopyPicture(brush.mask, brush.hoseFrames.front());
    brush.pressureMode = kPressureNone;
    GenerateStamp(brush, 40);
    return brush;
}

std::vector<CBrush> PaintBrushes() {
    std::vector<CBrush> v;
    v.push_back(Round("Round 3", 3, 0));
    v.push_back(Round("Round 6", 6, 0.5));
    v.push_back(Round("Round 10", 10, 1));
    v.push_back(Round("Round 15", 15, 1.5));
    v.push_back(Round("Round 20 Soft", 20, 2)); // "BrushNo" 4: the brush record's defaults
    v.push_back(Round("Round 30 Soft", 30, 4));
    v.push_back(Round("Round 45 Soft", 45, 8));
    v.push_back(Round("Round 60 Soft", 60, 12));
    v.push_back(Square("Square 10", 10, 0));
    v.push_back(Square("Square 24 Soft", 24, 3));
    v.push_back(
        Bitmap("Bristles", 48, 0.12, [](double x, double y) { return Bristles(x, y, 11); }));
    v.push_back(Bitmap("Sponge", 48, 0.3, [](double x, double y) { return Sponge(x, y, 13); }));
    v.push_back(Bitmap("Chalk", 40, 0.2, [](double x, double y) { return Chalk(x, y, 17); }));
    v.push_back(
        Bitmap("Spatter", 56, 0.6, [](double x, double y) { return Spatter(x, y, 19, 1.0); }));
    v.push_back(Picture("Stone", kBrushImage, 48, 0.5, Stone));
    return v;
}

std::vector<CBrush> Pens() {
    std::vector<CBrush> v;
    v.push_back(Round("Pen 1", 1, 0, 0.1));
    v.push_back(Round("Pen 2", 2, 0, 0.1));
    v.push_back(Round("Pen 3", 3, 0, 0.1));
    v.push_back(Round("Pen 4", 4, 0, 0.1));
    v.push_back(Round("Pen 6", 6, 0, 0.1)); // "PenNo" 4
    v.push_back(Round("Pen 9", 9, 0, 0.1));
    v.push_back(Round("Pen 14", 14, 0, 0.1));
    v.push_back(Square("Square Pen 3", 3, 0, 0.1));
    v.push_back(Bitmap("Chisel", 24, 0.05, [](double x, double y) {
        const double u = x * 0.7071 + y * 0.7071, w = -x * 0.7071 + y * 0.7071;
        return std::clamp((0.9 - std::abs(u)) / 0.08, 0.0, 1.0) *
               std::clamp((0.16 - std::abs(w)) / 0.08, 0.0, 1.0);
    }));
    return v;
}

std::vector<CBrush> Airbrushes() {
    std::vector<CBrush> v;
    v.push_back(Round("Air 8", 8, 4, 0.08));
    v.push_back(Round("Air 14", 14, 7, 0.08));
    v.push_back(Round("Air 20", 20, 10, 0.08));
    v.push_back(Round("Air 30", 30, 14, 0.08));
    v.push_back(Round("Air 40 Soft", 40, 18, 0.08)); // "AirNo" 4
    v.push_back(Round("Air 60 Soft", 60, 25, 0.08));
    v.push_back(Bitmap("Speckle Spray", 56, 0.15,
                       [](double x, double y) { return SpeckleSpray(x, y, 23); }));
    v.push_back(
        Bitmap("Wide Spatter", 60, 0.4, [](double x, double y) { return Spatter(x, y, 29, 1.2); }));
    return v;
}

std::vector<CBrush> Stamps() {
    std::vector<CBrush> v;
    v.push_back(Round("Clone 6 Hard", 6, 0, 0.15));
    v.push_back(Round("Clone 10", 10, 1, 0.15));
    v.push_back(Round("Clone 16", 16, 2, 0.15));
    v.push_back(Round("Clone 24", 24, 3, 0.15));
    v.push_back(Round("Clone 32 Soft", 32, 5, 0.15)); // "StampNo" 4
    v.push_back(Round("Clone 48 Soft", 48, 8, 0.15));
    v.push_back(Round("Clone 60 Soft", 60, 12, 0.15));
    v.push_back(Square("Clone Square 20", 20, 1, 0.15));
    v.push_back(Bitmap("Clone Mottled", 48, 0.25, [](double x, double y) {
        return SoftDisc(x, y, 0.85, 0.4) * (0.5 + 0.5 * Fbm(x * 4, y * 4, 31));
    }));
    return v;
}

std::vector<CBrush> RetouchBrushes() {
    std::vector<CBrush> v;
    v.push_back(Round("Retouch 5", 5, 0.5, 0.15));
    v.push_back(Round("Retouch 10", 10, 1, 0.15));
    v.push_back(Round("Retouch 16", 16, 2, 0.15));
    v.push_back(Round("Retouch 20", 20, 3, 0.15));
    v.push_back(Round("Retouch 30 Soft", 30, 6, 0.15)); // "RetNo" 4
    v.push_back(Round("Retouch 45 Soft", 45, 10, 0.15));
    v.push_back(Round("Retouch 60 Soft", 60, 15, 0.15));
    v.push_back(Square("Retouch Square 16", 16, 2, 0.15));
    return v;
}

std::vector<CBrush> Nozzles() {
    std::vector<CBrush> v;
    std::vector<CDIBSection2> leaves;
    for (int i = 0; i < 8; ++i)
        leaves.push_back(LeafFrame(48, i * kPi / 4 + 0.3, 0.06 * (i % 4), 41 + i));
    v.push_back(Hose("Leaves", kHoseRandom, std::move(leaves), 0.6)); // "HoseNo" 0
    std::vector<CDIBSection2> pebbles;
    for (int i = 0; i < 6; ++i) pebbles.push_back(PebbleFrame(40, 51 + i));
    v.push_back(Hose("Pebbles", kHoseRandom, std::move(pebbles), 0.7));
    std::vector<CDIBSection2> grass;
    for (int i = 0; i < 8; ++i) grass.push_back(GrassFrame(48, i * kPi / 4, 61 + i));
    v.push_back(Hose("Grass", kHoseDirectional, std::move(grass), 0.5));
    std::vector<CDIBSection2> fall;
    for (int i = 0; i < 8; ++i) fall.push_back(LeafFrame(40, i * kPi / 4, 0.5 + 0.04 * i, 71 + i));
    v.push_back(Hose("Autumn Leaves", kHoseSequential, std::move(fall), 0.7));
    return v;
}

std::vector<CBrush> NaturalBrushes() {
    std::vector<CBrush> v;
    v.push_back(Bitmap("Oil Bristles", 56, 0.08,
                       [](double x, double y) { return Bristles(x, y, 81); })); // "OilNo" 0
    v.push_back(
        Bitmap("Dry Brush", 56, 0.1, [](double x, double y) { return DryBrush(x, y, 83); }));
    v.push_back(
        Bitmap("Charcoal", 40, 0.12, [](double x, double y) { return Charcoal(x, y, 85); }));
    v.push_back(
        Bitmap("Natural Sponge", 56, 0.35, [](double x, double y) { return Sponge(x, y, 87); }));
    v.push_back(Bitmap("Canvas Dab", 48, 0.3, [](double x, double y) { return Canvas(x, y, 89); }));
    CBrush impasto = Picture("Impasto", kBrushImage, 48, 0.12, Impasto);
    impasto.colorOverlay = 1;
    v.push_back(std::move(impasto));
    v.push_back(Round("Wash 60", 60, 30, 0.1));
    return v;
}

} // namespace

std::vector<CBrush> MakeDefaultBrushes(const std::string& folder) {
    if (folder == "Brush") return PaintBrushes();
    if (folder == "Pen") return Pens();
    if (folder == "Airbrush") return Airbrushes();
    if (folder == "Stamp") return Stamps();
    if (folder == "Retouch") return RetouchBrushes();
    if (folder == "Nozzle") return Nozzles();
    if (folder == "Natural") return NaturalBrushes();
    return {};
}

bool WriteDefaultLibraries(const std::string& brushesFolder) {
    bool ok = true;
    for (const CToolLibrary& tool : ToolLibraries()) {
        const std::filesystem::path folder = std::filesystem::path(brushesFolder) / tool.folder;
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        CBrushLibrary library;
        library.Brushes() = MakeDefaultBrushes(tool.folder);
        ok = library.Save((folder / kDefaultLibraryName).string()) && ok;
    }
    return ok;
}

} // namespace quiltara
