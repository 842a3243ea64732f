#pragma once
// How visible a tile's repetition is from a distance. A tile without a seam can still
// tile badly: one bright blotch, or light falling from one side, repeats as a
// pattern the eye picks up at once. Seen from afar only the tile's coarse content is
// left, so the measure compares that coarse content with the tile's whole variation.
#include "core/image/DIBSection2.h"

namespace quiltara {

/// The tile downscaled to at most kRepetitionCells x kRepetitionCells (area
/// averages of blue, green and red), the spread of those cells around the tile's
/// mean against the spread of all its pixels: the square root of the share of the
/// variance the coarse copy keeps. 0 for a flat tile or one whose coarse copy is
/// flat (fine grain, even light), towards 1 when large shapes or gradients carry all
/// of the variation. The picture must be 32 bits; anything else measures 0.
inline constexpr int kRepetitionCells = 8;
double MeasureRepetition(const CDIBSection2& tile);

} // namespace quiltara
