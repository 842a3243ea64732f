#include "core/filters/LightEffects.h"

#include "core/base/ParallelFor.h"
#include "core/base/WrapIndex.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>
#include <vector>

namespace quiltara {

namespace {

// How an element turns the distance from its centre into a weight.
enum class Shape {
    Rays,      // the white rays around the light, fading out at their length
    Quadratic, // ((R - d) / R)^2 inside R
    Linear,    // (R - d) / R inside R
    Ring,      // 1 - |d - R| / (width R) within width R of R
    Disc,      // (R - d) / (0.15 R), at most 1, inside R: a disc with a soft rim
    Halo,      // a bright rim falling off towards a dimmer middle
};

struct Element {
    Shape shape;
    double cx, cy; // centre, memory rows, unwrapped
    float radius;
    float ringWidth = 0; // Ring: the half width as a share of the radius
    float factor[3];     // blue, green, red, 0..1
    double reach;        // no effect at this distance or beyond
};

// Everything one render needs at a position.
struct Scene {
    std::vector<Element> elements;
    double rotation = 0; // radians
    double rayStrength = 0;
    double exponent = 1;
    double rayLength = 0;
    int rayCount = 1;
    // A ray profile at or below this gives less than one 256th at full length and
    // changes no channel: its power is not taken.
    double rayFloor = -1;
};

// An element that can reach a source row, and the columns it can reach there.
struct Active {
    const Element* element;
    int x0, x1; // inclusive
};

Element Make(Shape shape, double cx, double cy, double radius, int r, int g, int b) {
    Element e{shape, cx, cy, float(radius), 0, {b / 255.0f, g / 255.0f, r / 255.0f}, 0};
    e.reach = radius + 2;
    return e;
}

Element MakeRing(double cx, double cy, double radius, float width, int r, int g, int b) {
    Element e = Make(Shape::Ring, cx, cy, radius, r, g, b);
    e.ringWidth = width;
    e.reach = radius * (1 + width) + 2;
    return e;
}

void Collect(const Scene& scene, int sy, std::vector<Active>& active) {
    active.clear();
    for (const Element& e : scene.elements) {
        const double dy = sy - e.cy;
        if (std::abs(dy) >= e.reach) continue;
        const double half = std::sqrt(e.reach * e.reach - dy * dy);
        active.push_back({&e, int(std::floor(e.cx - half)), int(std::ceil(e.cx + half))});
    }
}

// A pixel's blue, green and red while the light is added to it.
struct Channels {
    int v[3];
    explicit Channels(const std::uint8_t* p) : v{p[0], p[1], p[2]} {}
    void Store(std::uint8_t* p) const {
        for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(v[c]);
    }
};

inline void AddLight(Channels& p, double weight, const float factor[3]) {
    for (int c = 0; c < 3; ++c) p.v[c] = int(weight * double(factor[c]) * (255 - p.v[c]) + p.v[c]);
}

// The light of every active element added to the pixel p, which lies at source
// position (sx, sy), in the elements' order.
void ApplyAt(const Scene& scene, const std::vector<Active>& active, Channels& p, int sx, int sy) {
    static constexpr float kWhite[3] = {1, 1, 1};
    double lastDx = std::nan(""), lastDy = 0;
    float dist = 0;
    for (const Active& a : active) {
        if (sx < a.x0 || sx > a.x1) continue;
        const Element& e = *a.element;
        const double dx = sx - e.cx, dy = sy - e.cy;
        // Elements sharing a centre (the glows and the rays, ghosts in a group) follow
        // one another: their distance is taken once.
        if (dx != lastDx || dy != lastDy) {
            lastDx = dx, lastDy = dy;
            dist = float(std::sqrt(dx * dx + dy * dy));
        }
        const float r = e.radius;
        float t = 0;
        switch (e.shape) {
        case Shape::Rays: {
            if (scene.rayStrength <= 0 || scene.rayLength <= 0 || dist >= scene.rayLength) continue;
            // u = px - lx and w = ly - py: the angle turns the other way round to rows.
            const double phi = std::atan2(-dy, dx) + scene.rotation;
            const double turns = phi * 0.15915963711602737;
            const double g = turns - std::floor(turns);
            const double h = 1.0 / (2 * scene.rayCount);
            const double l = std::fmod(g, 2 * h);
            const double across = (l - h) / h;
            const double base = 1 - std::abs(across);
            if (base <= scene.rayFloor) continue;
            const double v = std::pow(base, scene.exponent);
            const double q = std::clamp(double(dist) / scene.rayLength, 0.0, 1.0);
            const double weight = scene.rayStrength * v * (1 - q);
            if (weight > 0) AddLight(p, weight, kWhite);
            continue;
        }
        case Shape::Quadratic:
            if (dist < r) t = ((r - dist) / r) * ((r - dist) / r);
            break;
        case Shape::Linear:
            if (dist < r) t = (r - dist) / r;
            break;
        case Shape::Ring: {
            const float width = e.ringWidth * r;
            if (std::abs(dist - r) < width) t = 1 - std::abs(dist - r) / width;
            break;
        }
        case Shape::Disc:
            if (dist < r) t = std::min((r - dist) / (0.15f * r), 1.0f);
            break;
        case Shape::Halo: {
            if (!(r > 0)) break;
            const float x = (r - dist) / (0.12f * r);
            if (x > 0) t = x <= 1 ? x : 1 - 0.12f * x;
            break;
        }
        }
        // The halo's middle comes out a rounding error below zero: no darkening.
        if (t > 0) AddLight(p, std::min(t, 1.0f), e.factor);
    }
}

// Renders the scene over the source positions [sx0, sx1) x [sy0, sy1), each written at
// its wrapped place. Row by row in source order on one thread; on every core by
// destination rows otherwise, each destination pixel taking its source positions in
// the same order, so both give the same pixels. progressEvery > 0 reports progress
// (0 .. sy1 - sy0) and polls cancel; false when cancelled.
bool Render(const Scene& scene, std::uint8_t* pixels, int width, int height, int sx0, int sx1,
            int sy0, int sy1, bool threaded, IProgressReporter* progress) {
    if (sx1 <= sx0 || sy1 <= sy0) return true;
    auto at = [&](int x, int y) { return pixels + (std::size_t(y) * width + x) * 4; };
    if (!threaded) {
        std::vector<Active> active;
        for (int sy = sy0; sy < sy1; ++sy) {
            if (progress && (sy - sy0) % 20 == 0) {
                progress->SetPos(sy - sy0);
                if (progress->CancelRequested()) return false;
            }
            Collect(scene, sy, active);
            if (active.empty()) continue;
            const int y = WrapIndex(sy, height);
            for (int sx = sx0; sx < sx1; ++sx) {
                std::uint8_t* q = at(WrapIndex(sx, width), y);
                Channels p(q);
                ApplyAt(scene, active, p, sx, sy);
                p.Store(q);
            }
        }
        return true;
    }
    std::atomic<bool> cancelled{false};
    const int rowsPerPicture = (sy1 - sy0 + height - 1) / height; // source rows per row
    ParallelFor(
        height, 4,
        [&](int begin, int end) {
            std::vector<std::vector<Active>> lists(std::size_t(rowsPerPicture) + 1);
            std::vector<int> sources;
            std::vector<std::pair<int, int>> spans(lists.size());
            for (int y = begin; y < end && !cancelled.load(std::memory_order_relaxed); ++y) {
                sources.clear();
                for (int sy = sy0 + WrapIndex(y - sy0, height); sy < sy1; sy += height) {
                    Collect(scene, sy, lists[sources.size()]);
                    if (!lists[sources.size()].empty()) sources.push_back(sy);
                }
                if (sources.empty()) continue;
                for (std::size_t i = 0; i < sources.size(); ++i) {
                    // Only columns some element can reach are visited.
                    int lo = sx1, hi = sx0 - 1;
                    for (const Active& a : lists[i]) {
                        lo = std::min(lo, std::max(a.x0, sx0));
                        hi = std::max(hi, std::min(a.x1, sx1 - 1));
                    }
                    spans[i] = {lo, hi};
                }
                for (int x = 0; x < width; ++x) {
                    std::uint8_t* q = at(x, y);
                    Channels p(q);
                    for (std::size_t i = 0; i < sources.size(); ++i) {
                        const auto [lo, hi] = spans[i];
                        if (lo > hi) continue;
                        for (int sx = lo + WrapIndex(x - lo, width); sx <= hi; sx += width)
                            ApplyAt(scene, lists[i], p, sx, sources[i]);
                    }
                    p.Store(q);
                }
            }
        },
        [&](int done) {
            if (!progress) return;
            progress->SetPos(int(std::min<long long>(
                (long long)done * (sy1 - sy0) / std::max(height, 1), sy1 - sy0)));
            if (progress->CancelRequested()) cancelled = true;
        });
    return !cancelled;
}

// The glow elements around the light: five for the flare, two for the sparkle.
void AddGlows(Scene& scene, double lx, double ly, int d, bool flare) {
    const double r1 = 0.0375 * d, r2 = 0.078125 * d, r3 = 0.1796875 * d, r4 = 0.3359375 * d,
                 r5 = 0.084375 * d;
    scene.elements.push_back(Make(Shape::Quadratic, lx, ly, r1, 239, 239, 239));
    if (!flare) {
        scene.elements.push_back(Make(Shape::Quadratic, lx, ly, r2, 64, 64, 80));
        return;
    }
    scene.elements.push_back(Make(Shape::Quadratic, lx, ly, r2, 245, 245, 245));
    scene.elements.push_back(Make(Shape::Quadratic, lx, ly, r3, 255, 38, 43));
    scene.elements.push_back(Make(Shape::Linear, lx, ly, r4, 69, 59, 64));
    scene.elements.push_back(MakeRing(lx, ly, r5, 0.07f, 80, 15, 4));
}

Scene RayScene(const LightRays& rays, double lx, double ly, double length, double strength) {
    Scene scene;
    scene.rotation = rays.rotation * 0.01745277777777778;
    scene.rayStrength = strength;
    scene.exponent = RaySharpnessExponent(rays.sharpness);
    scene.rayLength = length;
    scene.rayCount = std::max(rays.count, 1);
    if (strength > 0 && scene.exponent > 0)
        scene.rayFloor = std::pow(1 / (256 * strength), 1 / scene.exponent) * 0.999;
    Element e = Make(Shape::Rays, lx, ly, length, 255, 255, 255);
    e.reach = length + 2;
    scene.elements.push_back(e);
    return scene;
}

struct Ghost {
    int type;
    double position; // along the line from the light through the centre
    double radius;   // times d
    int r, g, b;
};

constexpr double kMirror = 1e30; // marks the ghost at the light's mirror point

constexpr Ghost kGhosts[19] = {
    {1, 0.6699, 0.027, 0, 14, 113},    {1, 0.2692, 0.01, 90, 181, 142},
    {1, -0.0112, 0.005, 56, 140, 106}, {2, 0.649, 0.031, 9, 29, 19},
    {2, 0.4696, 0.015, 24, 14, 0},     {2, 0.4087, 0.037, 24, 14, 0},
    {2, -0.2003, 0.022, 42, 19, 0},    {2, -0.4103, 0.025, 0, 9, 17},
    {2, -0.4503, 0.058, 0, 4, 10},     {2, -0.5112, 0.017, 5, 5, 14},
    {2, -1.496, 0.2, 9, 4, 0},         {2, -1.496, 0.5, 9, 4, 0},
    {3, 0.4487, 0.075, 34, 19, 0},     {3, kMirror, 0.1, 14, 26, 0},
    {3, -1.301, 0.039, 10, 25, 13},    {4, 1.309, 0.19, 9, 0, 17},
    {4, 1.309, 0.195, 9, 16, 5},       {4, 1.309, 0.2, 17, 4, 0},
    {4, -1.301, 0.038, 17, 4, 0},
};

} // namespace

double RaySharpnessExponent(int sharpness) {
    return std::log(sharpness * 0.01) / std::log(0.8);
}

bool LightRenderer::RenderSparkle(int lx, int ly, int c, IProgressReporter* progress) {
    if (!m_pixels || m_width <= 0 || m_height <= 0) return false;
    const int d = int(12.8 * c);
    Scene scene = RayScene(rays, lx, ly, c, rays.strength);
    AddGlows(scene, lx, ly, d, false);
    const int sy0 = int(ly - 1.6 * c), sy1 = int(ly + 1.6 * c);
    if (progress) progress->Begin("Rendering...", std::max(sy1 - sy0, 1));
    const bool finished = Render(scene, m_pixels, m_width, m_height, int(lx - 1.6 * c),
                                 int(lx + 1.6 * c), sy0, sy1, threaded, progress);
    if (progress) progress->End();
    return finished;
}

bool LightRenderer::RenderFlare(int lx, int ly, int c, IProgressReporter& progress) {
    if (!m_pixels || m_width <= 0 || m_height <= 0) return false;
    lx = WrapIndex(lx, m_width);
    ly = WrapIndex(ly, m_height);
    const int d = int(12.8 * c);
    Scene scene = RayScene(rays, lx, ly, int(1.6 * c), rays.strength * 0.25);
    AddGlows(scene, lx, ly, d, true);
    const int cx0 = m_width / 2, cy0 = m_height / 2;
    for (const Ghost& g : kGhosts) {
        const double gx = g.position == kMirror ? 2 * cx0 - lx : int(cx0 + (cx0 - lx) * g.position);
        const double gy = g.position == kMirror ? 2 * cy0 - ly : int(cy0 + (cy0 - ly) * g.position);
        const double radius = d * g.radius;
        switch (g.type) {
        case 1:
            scene.elements.push_back(Make(Shape::Quadratic, gx, gy, radius, g.r, g.g, g.b));
            break;
        case 2:
            scene.elements.push_back(Make(Shape::Disc, gx, gy, radius, g.r, g.g, g.b));
            break;
        case 3:
            scene.elements.push_back(Make(Shape::Halo, gx, gy, radius, g.r, g.g, g.b));
            break;
        default:
            scene.elements.push_back(MakeRing(gx, gy, radius, 0.04f, g.r, g.g, g.b));
            break;
        }
    }
    progress.Begin("Rendering...", 3 * m_height);
    const bool finished = Render(scene, m_pixels, m_width, m_height, -m_width, 2 * m_width,
                                 -m_height, 2 * m_height, threaded, &progress);
    progress.End();
    return finished;
}

LightDragResult RenderLightDrag(std::uint8_t* pixels, int width, int height, LightKind kind, int x0,
                                int y0, int x1, int y1, int strength, IProgressReporter& progress,
                                bool threaded) {
    if (!pixels || width <= 0 || height <= 0) return LightDragResult::Nothing;
    const double dx = double(x1) - x0, dy = double(y1) - y0;
    const int length = int(std::sqrt(dx * dx + dy * dy));
    if (length <= 0) return LightDragResult::Nothing;
    double angle = std::atan2(double(x0) - x1, double(y0) - y1) * 57.29577951471995;
    if (angle < 0) angle += 360;
    LightRenderer renderer(pixels, width, height);
    renderer.threaded = threaded;
    renderer.rays.strength = std::clamp(strength, 0, 255) / 255.0;
    const int lx = x0, ly = height - y0 - 1;
    if (kind == LightKind::Sparkle) {
        renderer.rays.count = 6;
        renderer.rays.sharpness = 20;
        renderer.rays.rotation = int(angle);
        return renderer.RenderSparkle(lx, ly, length, &progress) ? LightDragResult::Done
                                                                 : LightDragResult::Cancelled;
    }
    renderer.rays.count = 8;
    renderer.rays.sharpness = 10;
    renderer.rays.rotation = int(angle + 22);
    return renderer.RenderFlare(lx, ly, length, progress) ? LightDragResult::Done
                                                          : LightDragResult::Cancelled;
}

} // namespace quiltara
