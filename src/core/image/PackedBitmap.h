#pragma once
// Packed device-independent bitmaps (the clipboard's "image/bmp" data without the
// 14-byte file header) to and from plain RGB buffers.
#include "core/image/codecs/Codecs.h"

namespace quiltara {

/// Any 1/4/8/16/24/32-bit packed bitmap, RLE included; no pixels and the failure code
/// when it is malformed.
ReadResult DIBToRGB(const std::uint8_t* packed, std::size_t size);
/// A 24-bit packed bitmap (40-byte header, bottom-up rows); empty on bad arguments.
std::vector<std::uint8_t> RGBToDIB(const std::uint8_t* rgb, int width, int height);

} // namespace quiltara
