#include "core/image/ProgramIcon.h"

#include <cstdio>

namespace quiltara {

namespace {

constexpr double kCanvas = 256;

struct Box {
    double x0, y0, x1, y1;
};

// An opaque shape on the 256-unit canvas: a rounded rectangle or a circle, optionally
// clipped to a rectangle.
struct Shape {
    bool circle;
    Box box;       // rectangle, or the circle's bounding square
    double radius; // corner radius of a rectangle; the circle's radius
    std::uint32_t rgb;
    const Box* clip;
};

constexpr std::uint32_t kFrame = 0x24485A, kOchre = 0xE9B44C, kTerracotta = 0xD8643A,
                        kCream = 0xF6EBD3, kTeal = 0x2F8A8F;
constexpr Box kTiles[4] = {
    {30, 30, 124, 124}, {132, 30, 226, 124}, {30, 132, 124, 226}, {132, 132, 226, 226}};

std::vector<Shape> IconShapes() {
    std::vector<Shape> shapes;
    shapes.push_back({false, {10, 10, 246, 246}, 46, kFrame, nullptr});
    for (int t = 0; t < 4; ++t) {
        const Box& tile = kTiles[t];
        shapes.push_back({false, tile, 0, (t == 0 || t == 3) ? kOchre : kTerracotta, nullptr});
        // Each corner holds a quarter of the motif; tiled, the quarters make circles.
        for (double cx : {tile.x0, tile.x1})
            for (double cy : {tile.y0, tile.y1}) {
                shapes.push_back({true, {cx - 38, cy - 38, cx + 38, cy + 38}, 38, kCream, &tile});
                shapes.push_back({true, {cx - 17, cy - 17, cx + 17, cy + 17}, 17, kTeal, &tile});
            }
    }
    return shapes;
}

bool Inside(const Box& b, double x, double y) {
    return x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1;
}

bool Covers(const Shape& s, double x, double y) {
    if (s.clip && !Inside(*s.clip, x, y)) return false;
    if (!Inside(s.box, x, y)) return false;
    double cx, cy;
    if (s.circle) {
        cx = (s.box.x0 + s.box.x1) / 2;
        cy = (s.box.y0 + s.box.y1) / 2;
    } else {
        // Only the corner squares of a rounded rectangle are cut round.
        const double r = s.radius;
        if (x >= s.box.x0 + r && x < s.box.x1 - r) return true;
        if (y >= s.box.y0 + r && y < s.box.y1 - r) return true;
        cx = x < s.box.x0 + r ? s.box.x0 + r : s.box.x1 - r;
        cy = y < s.box.y0 + r ? s.box.y0 + r : s.box.y1 - r;
    }
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy < s.radius * s.radius;
}

} // namespace

std::vector<std::uint8_t> DrawProgramIcon(int size) {
    if (size < 1 || size > 1024) return {};
    const std::vector<Shape> shapes = IconShapes();
    // Small icons get more samples a pixel, so their edges stay smooth.
    const int samples = size <= 64 ? 8 : 4;
    const double step = kCanvas / size / samples;
    std::vector<std::uint8_t> pixels(std::size_t(size) * size * 4);
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            double sum[3] = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const double x = (px * samples + sx + 0.5) * step;
                    const double y = (py * samples + sy + 0.5) * step;
                    const Shape* top = nullptr;
                    for (const Shape& s : shapes)
                        if (Covers(s, x, y)) top = &s;
                    if (!top) continue;
                    ++covered;
                    sum[0] += (top->rgb >> 16) & 0xFF;
                    sum[1] += (top->rgb >> 8) & 0xFF;
                    sum[2] += top->rgb & 0xFF;
                }
            std::uint8_t* p = &pixels[(std::size_t(py) * size + px) * 4];
            for (int c = 0; c < 3; ++c) p[c] = covered ? std::uint8_t(sum[c] / covered + 0.5) : 0;
            p[3] = std::uint8_t((covered * 255 + samples * samples / 2) / (samples * samples));
        }
    return pixels;
}

std::string ProgramIconSvg() {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                      "viewBox=\"0 0 256 256\">\n  <defs>\n";
    char line[256];
    for (int t = 0; t < 4; ++t) {
        const Box& b = kTiles[t];
        std::snprintf(line, sizeof line,
                      "    <clipPath id=\"tile%d\"><rect x=\"%g\" y=\"%g\" width=\"%g\" "
                      "height=\"%g\"/></clipPath>\n",
                      t, b.x0, b.y0, b.x1 - b.x0, b.y1 - b.y0);
        svg += line;
    }
    svg += "  </defs>\n";
    for (const Shape& s : IconShapes()) {
        char clip[32] = "";
        if (s.clip)
            std::snprintf(clip, sizeof clip, " clip-path=\"url(#tile%d)\"", int(s.clip - kTiles));
        if (s.circle)
            std::snprintf(line, sizeof line,
                          "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"#%06X\"%s/>\n",
                          (s.box.x0 + s.box.x1) / 2, (s.box.y0 + s.box.y1) / 2, s.radius,
                          unsigned(s.rgb), clip);
        else
            std::snprintf(line, sizeof line,
                          "  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" rx=\"%g\" "
                          "fill=\"#%06X\"%s/>\n",
                          s.box.x0, s.box.y0, s.box.x1 - s.box.x0, s.box.y1 - s.box.y0, s.radius,
                          unsigned(s.rgb), clip);
        svg += line;
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace quiltara
