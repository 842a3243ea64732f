#pragma once
// Tiled sheets: the tile repeated across and down, to show how it tiles or to hand
// it on as a larger texture.
#include "core/image/DIBSection2.h"

namespace quiltara {

/// The largest sheet side and area RepeatTile makes.
inline constexpr int kMaxSheetSide = 32768;
inline constexpr long long kMaxSheetPixels = 1LL << 28;

enum class RepeatResult { Done, BadCount, TooLarge, NotAPicture };

/// out becomes the 32-bit tile repeated across x down times (all four bytes). With
/// offsetHalf every copy is the tile moved by half its size (W / 2 right, H / 2 down,
/// wrapping), so that its seams cross in the middle of each copy where they can be
/// seen and mended. across and down are 1 or more; a sheet beyond kMaxSheetSide a
/// side or kMaxSheetPixels in all is refused before anything is allocated. out is
/// left as it was unless the result is Done.
RepeatResult RepeatTile(const CDIBSection2& tile, int across, int down, bool offsetHalf,
                        CDIBSection2& out);

/// Text of a failure, for the user.
const char* RepeatResultText(RepeatResult result);

} // namespace quiltara
