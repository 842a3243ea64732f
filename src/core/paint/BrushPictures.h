#pragma once
// The pictures "Brush Properties" loads into a brush: a picture as the mask, a mask
// picture whose brightness becomes the coverage, and the library grid's preview.
#include "core/paint/Brush.h"

namespace quiltara {

/// "Load..." of an "Image Brush": a picture with its own alpha (hasAlpha) is taken
/// whole; a picture of the mask's size replaces only the colour bytes; a picture of
/// another size replaces the mask with coverage 255 throughout.
void LoadBrushPicture(CBrush& brush, const CDIBSection2& picture, bool hasAlpha);

/// "Load Mask...": the picture's brightness becomes the mask's coverage (inverted with
/// negative). An empty mask first takes the picture itself; a picture of another size
/// than the mask is first scaled to the mask's size.
void LoadBrushMask(CBrush& brush, const CDIBSection2& picture, bool negative);

/// "Load" and "&P": the picture scaled to 40 x 40 becomes the preview.
void SetBrushPreview(CBrush& brush, const CDIBSection2& picture);

/// A nearest-neighbour copy of source at w x h (32 bits).
void ScalePictureNearest(const CDIBSection2& source, int w, int h, CDIBSection2& target);

} // namespace quiltara
