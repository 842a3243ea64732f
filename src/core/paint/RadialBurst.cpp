#include "core/paint/RadialBurst.h"

#include "core/paint/Brush.h"
#include "core/paint/BrushStamp.h"
#include "core/paint/DabPainter.h"
#include "core/paint/EffectOperators.h"
#include "core/paint/PaintingContext.h"

#include <algorithm>

namespace quiltara {

CRect RadialBurst(CDIBSection2& destination, CDIBSection2& readImage,
                  const CPaintingContext& context, const CToolOperatorState& operators,
                  CRuntimeRandom& random, int centreX, int centreY, int diameter) {
    const int w = destination.GetWidth(), h = destination.GetHeight();
    if (diameter < 2 || w <= 0 || h <= 0) return {};
    // Beyond twice the picture the disc only paints the whole picture again.
    diameter = std::min(diameter, 2 * std::max(w, h));
    CBrush disc;
    disc.type = 0;
    disc.size = diameter;
    disc.blur = std::clamp(diameter / 40.0, 1.0, 8.0); // a soft rim at any size
    disc.autoGenerate = false;
    GenerateStamp(disc, 0);
    if (disc.mask.IsEmpty()) return {};

    const auto smear = MakeEffectSource(kEffectRadialSmear, operators, random);
    const int centreRow = h - 1 - centreY;
    CDabArgs args;
    args.stamp = &disc.mask;
    args.left = centreX - disc.mask.GetWidth() / 2;
    args.top = centreRow - disc.mask.GetHeight() / 2;
    args.opacity = context.opacity;
    args.blendMode = context.blendMode;
    args.colorSource = kEffectRadialSmear;
    args.offsetX = centreX;
    args.offsetY = centreRow;
    args.customSource = smear.get();
    if (!PaintDab(destination, readImage, args)) return {};
    return {args.left, args.top, args.left + disc.mask.GetWidth(),
            args.top + disc.mask.GetHeight()};
}

} // namespace quiltara
