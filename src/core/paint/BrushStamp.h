#pragma once
#include "core/paint/Brush.h"

namespace quiltara {

class CRuntimeRandom;

/// Makes the brush's mask from its type, size, blur and colour: "Circular" and
/// "Rectangular" are drawn and softened, "Bitmap" and "Image Brush" crop their loaded
/// picture to its coverage, an "Image Hose" keeps its frames as loaded. Clears the
/// colour-overlay flag of the drawn types. When the auto-generate flag is on the
/// preview is remade at previewSize (not at all when it is 0).
void GenerateStamp(CBrush& brush, int previewSize = 100);

/// Softens a w x h plane of bytes in place with a separable Gaussian of sigma:
/// kernel half-width trunc((sigma + 1.5) x 2), rows first, then columns, pixels beyond
/// the plane counting as 0, each pass truncated into 0 ... 255.
void GaussianBlurPlane(std::uint8_t* plane, int w, int h, double sigma);

/// Softens the alpha plane with a separable Gaussian (pixels beyond the plane count as
/// 0) and then a 3 x 3 mean that repeats the edge.
void BlurStampAlpha(CDIBSection2& stamp, double sigma);

/// Crops to the bounding box of the non-zero alpha widened by one pixel on each side
/// and kept inside the picture. A picture without coverage is left as it is.
void CropStampToAlpha(CDIBSection2& stamp);

/// Remakes the preview from the mask at request x request pixels (see GenerateStamp).
void MakeBrushPreview(CBrush& brush, int request);

/// The stamp to lay next: the mask, or for an image hose with frames the frame chosen
/// by its mode. Advances the hose cursor.
const CDIBSection2& StampForDab(CBrush& brush, int angle, CRuntimeRandom& random);

/// The stroke direction in whole degrees 0 ... 359 (y grows downwards on screen), or
/// previous when the pointer did not move.
int StrokeAngle(double dx, double dy, int previous);

} // namespace quiltara
