#include "core/tiling/TileRepeat.h"

#include <cstring>
#include <vector>

namespace quiltara {

RepeatResult RepeatTile(const CDIBSection2& tile, int across, int down, bool offsetHalf,
                        CDIBSection2& out) {
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32) return RepeatResult::NotAPicture;
    if (across < 1 || down < 1) return RepeatResult::BadCount;
    const int w = tile.GetWidth(), h = tile.GetHeight();
    const long long sheetW = 1LL * w * across, sheetH = 1LL * h * down;
    if (sheetW > kMaxSheetSide || sheetH > kMaxSheetSide || sheetW * sheetH > kMaxSheetPixels)
        return RepeatResult::TooLarge;

    CDIBSection2 sheet;
    sheet.Create(int(sheetW), int(sheetH), 32, tile.HasAlpha());
    // Memory rows count from the bottom: moving the tile down by dy on the screen
    // makes sheet row y show the tile's row (y + dy) mod h.
    const int dx = offsetHalf ? w / 2 : 0, dy = offsetHalf ? h / 2 : 0;
    const std::size_t rowBytes = std::size_t(w) * 4;
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < int(sheetH); ++y) {
        const std::uint8_t* source = tile.PixelAt(0, (y + dy) % h);
        // The tile's row moved right by dx: its last dx pixels come first.
        std::memcpy(row.data(), source + std::size_t(w - dx) * 4, std::size_t(dx) * 4);
        std::memcpy(row.data() + std::size_t(dx) * 4, source, std::size_t(w - dx) * 4);
        std::uint8_t* target = sheet.PixelAt(0, y);
        for (int i = 0; i < across; ++i) std::memcpy(target + i * rowBytes, row.data(), rowBytes);
    }
    out = std::move(sheet);
    return RepeatResult::Done;
}

const char* RepeatResultText(RepeatResult result) {
    switch (result) {
    case RepeatResult::Done:
        return "";
    case RepeatResult::BadCount:
        return "The tile must be repeated at least once across and down.";
    case RepeatResult::TooLarge:
        return "The tiled picture would be too large.";
    case RepeatResult::NotAPicture:
        return "There is no picture to repeat.";
    }
    return "";
}

} // namespace quiltara
