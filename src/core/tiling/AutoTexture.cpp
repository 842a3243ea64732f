#include "core/tiling/AutoTexture.h"

#include "core/tiling/TileEffects.h"

namespace quiltara {

void MakeAutoTexture(const CDIBSection2& image, int x, int bufferRow, const TextureWindow& window,
                     CDIBSection2& texture) {
    if (image.IsEmpty() || image.GetBitsPerPixel() != 32) {
        texture.MakeEmpty();
        return;
    }
    const int w = image.GetWidth(), h = image.GetHeight();
    x = ((x % w) + w) % w;
    bufferRow = ((bufferRow % h) + h) % h;
    // Centred in both directions; with "x 2" the window is centred as well, so the
    // doubled width is halved here, not the slider's size.
    CrossFadeTile(image, x - window.width / 2, bufferRow - window.height / 2, window.width,
                  window.height, texture);
}

} // namespace quiltara
