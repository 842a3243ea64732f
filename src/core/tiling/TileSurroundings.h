#pragma once
// What the document keeps of the photograph around its tile.
#include "core/image/DIBSection2.h"
#include "core/tiling/TileEffects.h"

namespace quiltara {

/// The framed area in source columns and buffer rows (left, bottom, right, top as
/// the wizard computes them: right = left + tile W, top = bottom + tile H).
struct TileSelection {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    bool operator==(const TileSelection&) const = default;
};

/// The selection of a frame, clamped to a source of width x height: left and bottom
/// at least 0, right at most width - 1, top at most height - 1.
TileSelection ClampedSelection(const TileFrame& frame, int width, int height);

/// The part of the source around a tile of tileW x tileH whose corner is the
/// selection's (left, bottom): columns left - tileW .. left + 2 tileW - 1 and buffer
/// rows bottom - tileH .. bottom + 2 tileH - 1, clipped to the source, with the
/// tile's offset inside it: tileW and tileH, or left and bottom where the clipping
/// cut the near side. When nothing of the source is left the image is empty and the
/// offsets 0.
struct Surroundings {
    CDIBSection2 image;
    int offsetX = 0;
    int offsetY = 0;
};
void CutSurroundings(const CDIBSection2& source, const TileSelection& selection, int tileW,
                     int tileH, Surroundings& out);

} // namespace quiltara
