#pragma once
// Light painted into a 32-bit picture: the lens flare (tool 51) and the sparkle
// (tool 52). Glow discs and a ring around the light, rays turning with the drag, and
// for the flare a row of ghosts on the line from the light through the picture's
// centre. Every write wraps around the picture's edges, so a light near one edge goes
// on at the opposite one and a tile stays seamless.
#include "core/base/ProgressReporter.h"

#include <cstdint>

namespace quiltara {

/// The two lights: the lens flare (tool 51) and the sparkle (tool 52).
enum class LightKind { LensFlare, Sparkle };

/// The rays: count, sharpness (percent, 1..100: lower is sharper), rotation in
/// degrees and strength (a factor; 0 leaves no rays).
struct LightRays {
    int count = 8;
    int sharpness = 10;
    int rotation = 30;
    double strength = 1.0;
};

/// The power the rays' profile is raised to for a sharpness: ln(s / 100) / ln(0.8).
double RaySharpnessExponent(int sharpness);

/// Renders light into a 32-bit picture (blue, green, red, fourth byte untouched;
/// memory rows, row 0 at the bottom) of width x height.
class LightRenderer {
public:
    LightRenderer(std::uint8_t* pixels, int width, int height)
        : m_pixels(pixels), m_width(width), m_height(height) {}

    LightRays rays;
    /// Runs the work on every core (the pixels come out the same as on one thread).
    bool threaded = true;

    /// The sparkle of size c around (lx, ly), memory rows: rays and two glow discs over
    /// a square of side 3.2 c. With progress, reports "Rendering..." with the range of
    /// the square's rows and stops when cancelled (false; the picture is then
    /// part-rendered: the caller restores it). False for a renderer without pixels.
    bool RenderSparkle(int lx, int ly, int c, IProgressReporter* progress = nullptr);
    /// The lens flare of size c with the light at (lx, ly), memory rows (wrapped into
    /// the picture first): visits all nine tile copies around the picture. Reports
    /// "Rendering..." with the range 3 x height; false when cancelled (the picture is
    /// then part-rendered: the caller restores it) or without pixels.
    bool RenderFlare(int lx, int ly, int c, IProgressReporter& progress);

private:
    std::uint8_t* m_pixels;
    int m_width, m_height;
};

enum class LightDragResult { Nothing, Done, Cancelled };

/// A drag from (x0, y0) to (x1, y1), picture coordinates with y down, with the lens
/// flare or sparkle tool at strength 0..255: the press point is the light, the drag's
/// length its size, its direction turns the rays. A drag of zero length (or no
/// pixels) changes nothing.
LightDragResult RenderLightDrag(std::uint8_t* pixels, int width, int height, LightKind kind, int x0,
                                int y0, int x1, int y1, int strength, IProgressReporter& progress,
                                bool threaded = true);

} // namespace quiltara
