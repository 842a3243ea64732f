#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"

namespace quiltara {

class CPaintingContext;
class CRuntimeRandom;

/// "Paint Bucket": one dab the size of the picture, in the background colour, over the
/// whole picture at the context's opacity and blend mode, with its texture at its
/// strength, mode and offsets (random ones unless aligned). Returns the changed
/// rectangle, the whole picture (memory rows), or an empty one when the picture cannot
/// be painted.
CRect PaintBucket(CDIBSection2& image, const CPaintingContext& context, CRuntimeRandom& random);

} // namespace quiltara
