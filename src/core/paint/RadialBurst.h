#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"

namespace quiltara {

class CPaintingContext;
class CRuntimeRandom;
class CToolOperatorState;

/// The radial burst (tool 50): one round, soft-edged dab of the given diameter centred
/// on (centreX, centreY) (picture coordinates, y down, unwrapped) whose colour is the
/// radial smear: the colour under the centre fading into the picture over 85 pixels.
/// It wraps around the edges like every dab, at the context's opacity and blend mode.
/// Returns the changed rectangle (memory rows, unwrapped), empty when nothing was
/// painted (a diameter below 2, an unusable picture).
CRect RadialBurst(CDIBSection2& destination, CDIBSection2& readImage,
                  const CPaintingContext& context, const CToolOperatorState& operators,
                  CRuntimeRandom& random, int centreX, int centreY, int diameter);

} // namespace quiltara
