#pragma once
// The four ways of turning the framed part of a photograph into a tile, and the
// cross-fade that the "H/V Wash" mode shares with the Auto Texture Maker.
//
// Coordinates are buffer rows (0 = the bottom row of the picture), as the pictures
// store them. Every read outside the source repeats its edge pixel. Only blue, green
// and red are computed; the fourth byte travels with the pixel it was read from.
#include "core/image/DIBSection2.h"

namespace quiltara {

enum TileEffectMode {
    kTileEffectNone = 0,      // "None - Ready for Editing"
    kTileEffectMandalay = 1,  // four-fold mirror
    kTileEffectSunflower = 2, // eight-fold mirror, square
    kTileEffectWash = 3,      // "H/V Wash", the cross-fade
};
constexpr int kTileEffectCount = 4;

/// The framed area of the source: left column and the buffer row just above the
/// frame (the frame spans buffer rows top - height .. top - 1), with the nominal
/// tile size.
struct TileFrame {
    int left = 0;
    int top = 0;
    int width = 200;
    int height = 200;
};

/// A rectangle of the source in buffer rows: columns left .. right - 1 and buffer rows
/// bottom .. top - 1.
struct SourceArea {
    int left = 0, bottom = 0, right = 0, top = 0;
    int Width() const { return right - left; }
    int Height() const { return top - bottom; }
    bool operator==(const SourceArea&) const = default;
};

/// The part of the source ComputeTile reads for the frame in the mode, joined with the
/// frame itself: what has to lie on the photograph for the tile to hold nothing else.
/// "Sunflower" reads a tile-width square from the frame's top down; "H/V Wash" a
/// window a quarter of the width left of the frame and half the height above it.
SourceArea TileFootprint(int mode, const TileFrame& frame);

/// Width and height of the tile a mode makes from a frame of tileW x tileH:
/// tileW x tileW for "Sunflower", tileW/2 x tileH/2 for "H/V Wash" (each side of the
/// frame taken as at least 2 in both), tileW x tileH otherwise.
struct TileSize {
    int width = 0;
    int height = 0;
};
TileSize ResultTileSize(int mode, int tileW, int tileH);

/// Builds the tile for a frame of the 32-bit source in one of the modes above (an
/// unknown mode is treated as "None"). Frame sides below 1 count as 1. Throws
/// std::bad_alloc when the tile cannot be had.
void ComputeTile(const CDIBSection2& source, const TileFrame& frame, int mode, CDIBSection2& tile);

/// The cross-fade: a width x height window of the source whose bottom-left pixel is
/// (windowLeft, windowBottom) becomes a seamless tile of width/2 x height/2 (sides
/// below 2 count as 2). Each of the first width/2 columns is mixed with the column
/// width/2 to its right, the right one fading out from weight 255 to 1, then each of
/// the first height/2 buffer rows with the row height/2 above it in the same way:
/// (far * (255 - a) + near * a) >> 8 with a = trunc(j * (255.0 / (width/2))).
void CrossFadeTile(const CDIBSection2& source, int windowLeft, int windowBottom, int width,
                   int height, CDIBSection2& tile);

} // namespace quiltara
