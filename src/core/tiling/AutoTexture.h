#pragma once
// The Auto Texture Maker's texture: the "H/V Wash" cross-fade of a window centred
// on a point of the image.
#include "core/image/DIBSection2.h"
#include "core/tiling/TileSliders.h"

namespace quiltara {

/// The size and ratio the Texture Pick tool starts the maker with.
constexpr int kTexturePickSize = 100;

/// The texture (window.width / 2 x window.height / 2) cross-faded from the window
/// centred on (x, bufferRow); the point is first wrapped into the image, as the
/// tools wrap every point they are given. Throws std::bad_alloc when the texture
/// cannot be had.
void MakeAutoTexture(const CDIBSection2& image, int x, int bufferRow, const TextureWindow& window,
                     CDIBSection2& texture);

} // namespace quiltara
