#pragma once
#include "core/base/ColorRef.h"
#include "core/paint/DabPainter.h"

#include <memory>

namespace quiltara {

class CToolOperatorState;

/// The "Photo Retouch" brushes' colour-source kinds.
enum RetouchKind : int {
    kRetouchSoften = 2,  // mean of the 8 neighbours
    kRetouchSharpen = 3, // centre - 0.05 x (neighbours - 8 x centre)
    kRetouchMixed = 4,   // soften and sharpen mixed by the softened luminance
    kRetouchMedian = 5,  // middle of the nine, per channel
    kRetouchContrast = 11,
    kRetouchBrighten = 12,
    kRetouchDarken = 13, // 11-13 map every channel through the brightness/contrast table
    kRetouchDesaturate = 14,
    kRetouchSaturate = 15,
    kRetouchColorize = 16, // a partial tint toward the foreground colour's hue
    kRetouchRedRemoval = 17,
};

/// The colour source of a retouch kind, reading the read image around each pixel; the
/// 3 x 3 kinds repeat the picture's edge rows and columns for the neighbours beyond it.
/// The table of kinds 11-13 is copied from state when the source is made; foreColor is
/// the colourise colour. Null for kinds that are not retouch kinds.
std::unique_ptr<IDabColorSource> MakeRetouchSource(int kind, const CToolOperatorState& state,
                                                   ColorRef foreColor);

} // namespace quiltara
