#include "core/paint/PaintingContext.h"

#include "core/paint/BrushStamp.h"

namespace quiltara {

void CPaintingContext::SetForeColor(ColorRef color) {
    foreColor = color;
    brush.SetColor(color);
}

void CPaintingContext::SelectBrush(const CBrush& selected) {
    brush = selected;
    brush.color = foreColor;
    GenerateStamp(brush, 0);
    brush.SetColor(foreColor);
}

const CDIBSection2* CPaintingContext::Texture() const {
    return textureDefined && !texture.IsEmpty() ? &texture : nullptr;
}

CDabArgs CPaintingContext::BrushDabArgs(const CDIBSection2* original) const {
    CDabArgs args;
    args.opacity = opacity;
    args.blendMode = blendMode;
    args.colorSource = kSourcePlain;
    args.backColor = backColor;
    args.overlayColor = foreColor;
    args.colorOverlay = brush.colorOverlay != 0;
    args.pressureMode = brush.pressureMode;
    args.textureMode = textureMode;
    if (cloneSourceKind == kCloneOriginal) {
        args.source = original;
        args.centreSampling = true;
    } else {
        args.source = Texture();
        args.centreSampling = cloneSourceKind == kCloneTexture || centreSampling;
    }
    args.textureStrength = Texture() ? textureStrength : 0;
    return args;
}

} // namespace quiltara
