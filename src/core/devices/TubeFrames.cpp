#include "core/devices/TubeFrames.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

std::vector<CDIBSection2> CutTubeFrames(const std::uint8_t* rgba, int width, int height, int across,
                                        int down, int count) {
    std::vector<CDIBSection2> frames;
    if (!rgba || width <= 0 || height <= 0 || across < 1 || down < 1 || count < 1) return frames;
    const int cellW = width / across, cellH = height / down;
    if (cellW < 1 || cellH < 1) return frames;
    const long long cells = std::min<long long>(count, (long long)across * down);
    std::vector<std::uint8_t> cell(std::size_t(cellW) * std::size_t(cellH) * 4);
    for (long long i = 0; i < cells; ++i) {
        const int cx = int(i % across) * cellW, cy = int(i / across) * cellH;
        for (int y = 0; y < cellH; ++y)
            std::memcpy(
                cell.data() + std::size_t(y) * std::size_t(cellW) * 4,
                rgba +
                    ((std::size_t(cy) + std::size_t(y)) * std::size_t(width) + std::size_t(cx)) * 4,
                std::size_t(cellW) * 4);
        CDIBSection2 frame;
        frame.ImportRGBA(cell.data(), cellW, cellH);
        frames.push_back(std::move(frame));
    }
    return frames;
}

} // namespace quiltara
