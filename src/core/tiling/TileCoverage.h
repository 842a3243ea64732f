#pragma once
// Where a working source holds the photograph, and how a tile frame is kept there.
#include "core/tiling/TileEffects.h"

#include <vector>

namespace quiltara {

/// The part of a working source that holds the photograph: the whole picture, or after
/// a pitch correction the turned picture inside the black corners the rotation leaves.
/// Areas are the pixel rectangles of SourceArea, buffer rows.
class CCoveredArea {
public:
    /// Pixels kept between a turned picture's edges and what counts as covered: the
    /// shears mix the black into the edge pixels.
    static constexpr double kTurnedMargin = 2.0;

    /// Covers nothing: no area fits.
    CCoveredArea() = default;
    /// All of a width x height picture.
    static CCoveredArea Whole(int width, int height);
    /// A width x height picture (as it was before turning) in the result of RotateSource
    /// by degrees, kTurnedMargin inside its edges.
    static CCoveredArea Turned(int width, int height, double degrees);

    bool Contains(const SourceArea& area) const;
    /// Moves area, keeping its size, to the place inside nearest to it (unchanged when it
    /// is inside). False, area unchanged, when no place of its size is inside.
    bool Hold(SourceArea& area) const;
    /// An area of width x height fits somewhere inside.
    bool Fits(int width, int height) const;

private:
    // Inside: nx * x + ny * y <= c for every edge (n the outward unit normal).
    struct Edge {
        double nx = 0, ny = 0, c = 0;
    };
    std::vector<Edge> m_edges;
    double m_centreX = 0, m_centreY = 0;
};

/// The largest frame of at most width x height whose footprint in the mode
/// (TileFootprint) fits in the covered area: where both sides must give, the aspect is
/// kept first and then each side grows back as far as it can. At least 1 x 1.
TileSize LargestFrameInside(const CCoveredArea& covered, int mode, int width, int height);

} // namespace quiltara
