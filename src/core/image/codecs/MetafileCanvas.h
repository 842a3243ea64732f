#pragma once
// The rasteriser behind the metafile readers: a plain RGB canvas with the drawing
// operations that Windows and enhanced metafiles use for pictures (bitmaps, filled
// rectangles and polygons, lines, text), and the logical-to-pixel mapping of their
// window and viewport records.
#include "core/image/FontRaster.h"
#include "core/image/codecs/Codecs.h"

#include <map>
#include <tuple>
#include <vector>

namespace quiltara {

struct MetaPoint {
    long long x = 0, y = 0;
};

/// Window/viewport mapping: pixel = (logical - windowOrg) * viewportExt / windowExt
/// + viewportOrg, then the frame origin is taken off.
struct MetaMapping {
    long long windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
    long long viewportOrgX = 0, viewportOrgY = 0, viewportExtX = 1, viewportExtY = 1;
    long long frameX = 0, frameY = 0;
    MetaPoint Map(long long x, long long y) const;
    long long MapX(long long x) const { return Map(x, 0).x; }
    long long MapY(long long y) const { return Map(0, y).y; }
};

/// A logical font as the font records give it.
struct MetaFont {
    std::string face;     // empty: the default face
    long long height = 0; // logical units; negative: the em height, positive: the cell's
    int weight = 400;
    bool italic = false;
};

struct MetaObject {
    enum Kind { kNone, kBrush, kPen, kFont, kOther } kind = kNone;
    bool visible = true;     // false for null brushes and pens
    std::uint32_t color = 0; // 0x00BBGGRR as metafiles store it
    int hatch = -1;          // hatched brushes: 0 horizontal, 1 vertical, 2 "\", 3 "/",
                             // 4 cross, 5 diagonal cross; -1 solid
    MetaFont font = {};      // kFont
};

/// The rectangle drawing is clipped to, in pixels, inclusive-exclusive.
struct MetaClip {
    long long left = 0, top = 0, right = 0, bottom = 0;
};

class CMetafileCanvas {
public:
    /// A width x height canvas filled with background (0xRRGGBB); the failure code
    /// when the size is refused.
    CodecStatus Create(int width, int height, std::uint32_t background);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Pixels Take() { return std::move(m_pixels); }

    /// Every drawing operation stays inside the clip rectangle (the whole canvas after
    /// Create). IntersectClip narrows it to the box a-b (either order).
    MetaClip Clip() const { return m_clip; }
    void SetClip(MetaClip clip) { m_clip = clip; }
    void IntersectClip(MetaPoint a, MetaPoint b);

    /// The pattern of the fills that follow (FillRect, FillPolygons): a hatch of
    /// MetaObject (-1 solid); between the hatch lines the background colour when
    /// opaque, the picture below otherwise.
    void SetFillPattern(int hatch, std::uint32_t backgroundRef, bool opaque) {
        m_hatch = hatch, m_hatchBackground = backgroundRef, m_hatchOpaque = opaque;
    }
    /// Pixel rectangle with inclusive-exclusive edges, in either order.
    void FillRect(MetaPoint a, MetaPoint b, std::uint32_t colorRef);
    /// Even-odd fill of one or more closed outlines (pixel coordinates).
    void FillPolygons(const std::vector<std::vector<MetaPoint>>& polygons, std::uint32_t colorRef);
    void DrawLine(MetaPoint a, MetaPoint b, std::uint32_t colorRef);
    /// Lines through the points in order (closed: back to the first).
    void DrawPolyline(const std::vector<MetaPoint>& points, std::uint32_t colorRef,
                      bool closed = false);
    /// Draws the part (sx, sy, sw, sh) of a top-row-first RGB picture into the pixel
    /// rectangle at (dx, dy) of dw x dh (negative sizes mirror), nearest pixel.
    void DrawPicture(const Pixels& rgb, int width, int height, long long sx, long long sy,
                     long long sw, long long sh, MetaPoint dest, long long dw, long long dh);
    /// FillRect in plain colorRef whatever the fill pattern.
    void FillRectSolid(MetaPoint a, MetaPoint b, std::uint32_t colorRef) {
        const int hatch = m_hatch;
        m_hatch = -1;
        FillRect(a, b, colorRef);
        m_hatch = hatch;
    }
    /// Blends a coverage mask in colorRef with its top-left corner at (x, y).
    void DrawMask(const TextMask& mask, long long x, long long y, std::uint32_t colorRef);

private:
    int m_width = 0, m_height = 0;
    void Fill(long long x, long long y, std::uint32_t colorRef);
    MetaClip m_clip;
    int m_hatch = -1;
    std::uint32_t m_hatchBackground = 0xFFFFFF;
    bool m_hatchOpaque = true;
    Pixels m_pixels;
};

/// The curved shapes of both metafile kinds, in pixel coordinates. The ellipse is the
/// one inscribed in the box a-b; arcs run counterclockwise (as seen on the picture)
/// from the ray towards start to the ray towards end, a whole ellipse when the two
/// coincide.
enum class MetaArcShape { kArc, kChord, kPie };
std::vector<MetaPoint> EllipsePoints(MetaPoint a, MetaPoint b);
std::vector<MetaPoint> ArcPoints(MetaPoint a, MetaPoint b, MetaPoint start, MetaPoint end);
/// Draws an arc (pen only), a chord or a pie (filled with the brush, outlined with the
/// pen); invisible brushes and pens are passed as nullptr colours.
void DrawArcShape(CMetafileCanvas& canvas, MetaArcShape shape, MetaPoint a, MetaPoint b,
                  MetaPoint start, MetaPoint end, const std::uint32_t* brush,
                  const std::uint32_t* pen);
/// Points of cubic Bezier curves: the first point, then three for every segment.
std::vector<MetaPoint> BezierPoints(const std::vector<MetaPoint>& control);

/// What SaveDC keeps and RestoreDC brings back: the clip rectangle and the selected
/// brush and pen.
struct MetaSavedState {
    MetaClip clip;
    MetaObject brush, pen;
};
/// RestoreDC with its argument: a negative one counts back from the last save, a
/// positive one names a save by number (1 the first). Invalid ones do nothing.
void RestoreState(std::vector<MetaSavedState>& saved, long long which, CMetafileCanvas& canvas,
                  MetaObject& brush, MetaObject& pen);

/// Text records of both metafile kinds: the string drawn with the font the record's
/// font names, or the nearest one installed, in the text colour, placed by the text
/// alignment flags. Rotated text is drawn level.
struct MetaTextCall {
    std::string utf8;
    MetaPoint at;       // reference point, pixels
    unsigned align = 0; // TA_ flags: 1 update position, 2 right, 6 centre, 8 bottom, 24 baseline
    long long pixelHeight = 0; // the font's height mapped to pixels, sign kept
    std::uint32_t color = 0;
    const std::uint32_t* background = nullptr; // opaque background mode: its colour
    std::vector<long long> advances;           // pixel advances a code point, or empty
};
class CMetaTextPainter {
public:
    /// Draws the text; with update position (align & 1) the reference point is current
    /// and moves past the text.
    void Draw(CMetafileCanvas& canvas, const MetaFont& font, const MetaTextCall& call,
              MetaPoint& current);

private:
    CFontRaster* Raster(const MetaFont& font, int pixelSize);
    std::map<std::tuple<std::string, bool, bool, int>, std::unique_ptr<CFontRaster>> m_rasters;
    // Glyph pixels a file may still draw: text of hostile sizes and counts stays cheap.
    long long m_budget = 1LL << 28;
};

/// ANSI text of metafiles (Windows-1252) as UTF-8.
std::string AnsiToUtf8(const std::uint8_t* text, std::size_t length);
/// UTF-16LE text as UTF-8 (unpaired surrogates become U+FFFD).
std::string Utf16ToUtf8(const std::uint8_t* text, std::size_t units);

/// Sizes a metafile may be drawn at; larger frames are refused with code 27.
constexpr int kMaxMetafileSide = 16384;

ReadResult RenderWMF(const std::uint8_t* data, std::size_t size, int defaultWidth,
                     int defaultHeight, std::uint32_t background);
ReadResult RenderEMF(const std::uint8_t* data, std::size_t size, int defaultWidth,
                     int defaultHeight, std::uint32_t background);

} // namespace quiltara
