#pragma once
// The seam meter: how visible the tile's wrap is, as a number per seam and a heat
// value per pixel along each seam. It looks only at the two columns and the two rows
// on each side of the wrap, so measuring again after an edit costs a pass along the
// tile's edges, however large the tile.
#include "core/image/DIBSection2.h"

#include <cstdint>
#include <vector>

namespace quiltara {

/// One seam: where the last column meets the first (the left/right seam) or the last
/// row meets the first (the top/bottom seam).
struct SeamScore {
    /// Mean step across the wrap, per channel value (blue, green and red averaged).
    double across = 0;
    /// Mean step one pixel inside the tile on both sides of the wrap.
    double inside = 0;
    /// How much larger the step across the wrap is than the steps beside it, in
    /// units of those steps: 0 when the wrap cannot be told from any other place, 1
    /// when it steps twice as far. The part of the excess that the variation along
    /// the seam explains by chance (three standard errors) is not counted, so a
    /// perfect wrap of a noisy texture scores 0 as well.
    double score = 0;
    /// The seam is measured: the picture is at least 3 pixels across it.
    bool measured = false;
};

struct SeamScores {
    SeamScore leftRight; // columns W - 1 | 0, along the rows
    SeamScore topBottom; // rows H - 1 | 0, along the columns
    /// Both seams: the steps over the two together, the score the seams' scores
    /// weighted by their lengths.
    SeamScore overall;
};

class CSeamMeter {
public:
    /// Measures the 32-bit picture (anything else measures as nothing). Reads only
    /// the columns 0, 1, W - 2, W - 1 and the rows 0, 1, H - 2, H - 1.
    void Measure(const CDIBSection2& tile);

    const SeamScores& Scores() const { return m_scores; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    /// Heat along the left/right seam, one value per memory row (0 = the wrap is
    /// invisible there, 1 = the step across is three times the steps beside it or
    /// more), smoothed over 8 pixels each way along the seam. Empty when not measured.
    const std::vector<float>& LeftRightHeat() const { return m_leftRightHeat; }
    /// The same along the top/bottom seam, one value per column.
    const std::vector<float>& TopBottomHeat() const { return m_topBottomHeat; }

private:
    SeamScores m_scores;
    int m_width = 0, m_height = 0;
    std::vector<float> m_leftRightHeat, m_topBottomHeat;
};

/// The colour of a heat value as blue, green, red, alpha bytes (not premultiplied):
/// green where the wrap is invisible through yellow to red, more opaque as it heats.
void SeamHeatColour(float heat, std::uint8_t bgra[4]);

/// The meter's heat as pictures to lay over the seams: leftRight becomes 1 x H (its
/// rows the tile's memory rows), topBottom W x 1, each pixel the heat's colour with
/// its alpha. Both are emptied when the meter measured nothing.
void RenderSeamStrips(const CSeamMeter& meter, CDIBSection2& leftRight, CDIBSection2& topBottom);

/// A picture to look at the seams with: the tile moved by half its size, so that the
/// wrap runs through the middle, dimmed and grayed, with the heat painted in a band
/// along the two seams. Empty for a picture the meter cannot measure.
void RenderSeamMap(const CDIBSection2& tile, const CSeamMeter& meter, CDIBSection2& map);

} // namespace quiltara
