#pragma once
#include "core/paint/DabPainter.h"

#include <memory>

namespace quiltara {

class CRuntimeRandom;
class CToolOperatorState;

/// The "Special Effects" brushes' colour-source kinds, and the radial smear.
enum EffectKind : int {
    kEffectSelf = 29,        // the picture itself: only the blend mode acts
    kEffectNoise = 30,       // toned, grainy grey
    kEffectEmboss = 31,      // lit from the picture's top-left, neighbours wrapped
    kEffectMosaic = 32,      // 20 x 20 blocks from the picture's top-left corner
    kEffectLighten = 33,     // every channel plus 192 mod grey: a grainy lightening
    kEffectRadialBlur = 34,  // outwards from the centre in the offsets
    kEffectGlassBlocks = 35, // 20 x 20 lenses from the picture's top-left corner
    kEffectContrastColor = 36,
    kEffectHeat = 37,
    kEffectRadialSmear = 51, // the colour under the press point in the offsets
};

/// The colour source of an effect kind. Positions follow the engine's arguments:
/// - 34 takes the dab's offsets as its centre in picture coordinates (x, row from the
///   top);
/// - 51 takes them as the press point, image x and memory row;
/// both taken modulo the picture size.
/// The noise kind copies state's noise table when the source is made and draws from
/// random for every stamp pixel. Null for kinds that are not effect kinds.
std::unique_ptr<IDabColorSource> MakeEffectSource(int kind, const CToolOperatorState& state,
                                                  CRuntimeRandom& random);

} // namespace quiltara
