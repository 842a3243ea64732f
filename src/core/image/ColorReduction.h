#pragma once
// Colour reduction for the 8-bit variants of the writers.
#include "core/image/codecs/Codecs.h"

namespace quiltara {

/// 8-bit gray values of an RGB picture: (77 r + 150 g + 29 b) >> 8.
void ToGray(const std::uint8_t* rgb, int width, int height, std::uint8_t* out);

/// The picture's best `colors` (at most 256) colours: all of them when it has no
/// more, otherwise a median cut of its colours. Unused entries are black. Returns
/// the number of entries used.
int MakePalette256(const std::uint8_t* rgb, int width, int height, int colors, Palette256& palette);

/// Reduces to 8-bit indices into a palette made by MakePalette256. Pictures with no
/// more colours than the palette holds are reduced exactly.
void QuantizeTo256(const std::uint8_t* rgb, int width, int height, std::uint8_t* out, int colors,
                   Palette256& palette);

} // namespace quiltara
