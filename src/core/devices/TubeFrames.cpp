#include "core/devices/TubeFrames.h"

#include "core/devices/PspFile.h"

#include <algorithm>
#include <cstdio>
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

TubeCells TubeCellsOf(const CPspFile& psp) {
    if (psp.CellCount() < 1) return {};
    return {psp.CellsAcross(), psp.CellsDown(), psp.CellCount()};
}

TubeCells TubeCellsAnswered(int across, int down) {
    if (across < 1 || down < 1) return {};
    return {across, down, int(std::min<long long>((long long)across * down, 1LL << 30))};
}

std::vector<CDIBSection2> CutTube(const CPspFile& psp, const TubeCells& cells, int maxFrames) {
    if (!psp.HasCanvas() || cells.Empty() || maxFrames < 1) return {};
    return CutTubeFrames(psp.Canvas().data(), psp.Width(), psp.Height(), cells.across, cells.down,
                         std::min(cells.count, maxFrames));
}

std::string TubeInfoText(const CPspFile& psp) {
    std::string text;
    auto line = [&](const char* label, const std::string& value) {
        text += label;
        text += ": ";
        text += value;
        text += '\n';
    };
    line("Title", psp.Title());
    line("Artist", psp.Artist());
    line("Copyright", psp.Copyright());
    line("Description", psp.Description());
    line("Step size", std::to_string(psp.TubeValue(1)));
    line("Cells across", std::to_string(psp.CellsAcross()));
    line("Cells down", std::to_string(psp.CellsDown()));
    line("Cell count", std::to_string(psp.CellCount()));
    line("Placement mode", CPspFile::PlacementModeName(psp.PlacementMode()));
    line("Selection mode", CPspFile::SelectionModeName(psp.SelectionMode()));
    return text;
}

} // namespace quiltara
