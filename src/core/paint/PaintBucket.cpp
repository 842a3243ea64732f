#include "core/paint/PaintBucket.h"

#include "core/base/RuntimeRandom.h"
#include "core/paint/DabPainter.h"
#include "core/paint/PaintingContext.h"

#include <cstdlib>

namespace quiltara {

CRect PaintBucket(CDIBSection2& image, const CPaintingContext& context, CRuntimeRandom& random) {
    if (image.IsEmpty() || image.IsSwappedOut() || image.GetBitsPerPixel() != 32) return {};
    const int w = image.GetWidth(), h = image.GetHeight();
    CDIBSection2 stamp;
    stamp.Create(w, h, 32, true);
    stamp.FillOpaque(context.backColor);

    CDabArgs args;
    args.stamp = &stamp;
    args.opacity = context.opacity;
    args.blendMode = context.blendMode;
    args.colorSource = kSourcePlain;
    args.backColor = context.backColor;
    args.overlayColor = context.foreColor;
    args.source = context.Texture();
    args.textureStrength = args.source ? context.textureStrength : 0;
    args.textureMode = context.textureMode;
    if (!context.textureAligned) {
        args.offsetX = std::abs(int(random.Next() * (1.0 / 32767) * 255));
        args.offsetY = std::abs(int(random.Next() * (1.0 / 32767) * 255));
    }
    args.pressure = 255;
    args.pressureMode = 0;
    // One dab covers every pixel once, each read before it is written: the picture can
    // serve as its own read image.
    if (!PaintDab(image, image, args)) return {};
    return {0, 0, w, h};
}

} // namespace quiltara
