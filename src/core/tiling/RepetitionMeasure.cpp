#include "core/tiling/RepetitionMeasure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quiltara {

double MeasureRepetition(const CDIBSection2& tile) {
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32) return 0;
    const int w = tile.GetWidth(), h = tile.GetHeight();
    const int across = std::min(kRepetitionCells, w), down = std::min(kRepetitionCells, h);
    // Cell i covers columns i * w / across .. (i + 1) * w / across - 1: every column in
    // exactly one cell, the cells as even as the size allows.
    std::vector<int> cellOfColumn(static_cast<std::size_t>(w));
    for (int i = 0; i < across; ++i)
        for (int x = int(std::int64_t(i) * w / across); x < int(std::int64_t(i + 1) * w / across);
             ++x)
            cellOfColumn[std::size_t(x)] = i;

    std::vector<std::int64_t> cellSums(std::size_t(across) * down * 3, 0);
    std::vector<std::int64_t> cellCounts(std::size_t(across) * down, 0);
    std::uint64_t squares[3] = {0, 0, 0};
    std::int64_t sums[3] = {0, 0, 0};
    for (int j = 0; j < down; ++j) {
        const int y0 = int(std::int64_t(j) * h / down), y1 = int(std::int64_t(j + 1) * h / down);
        std::int64_t* row = cellSums.data() + std::size_t(j) * across * 3;
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = tile.PixelAt(0, y);
            // Squares are gathered in 32 bits and handed on every 8192 pixels, before
            // they could overflow.
            std::uint32_t rowSquares[3] = {0, 0, 0};
            for (int x = 0; x < w; ++x, p += 4) {
                std::int64_t* cell = row + std::size_t(cellOfColumn[std::size_t(x)]) * 3;
                for (int c = 0; c < 3; ++c) {
                    cell[c] += p[c];
                    rowSquares[c] += std::uint32_t(p[c]) * p[c];
                }
                if ((x & 8191) == 8191)
                    for (int c = 0; c < 3; ++c) squares[c] += rowSquares[c], rowSquares[c] = 0;
            }
            for (int c = 0; c < 3; ++c) squares[c] += rowSquares[c];
        }
        for (int i = 0; i < across; ++i) {
            const int x0 = int(std::int64_t(i) * w / across);
            const int x1 = int(std::int64_t(i + 1) * w / across);
            cellCounts[std::size_t(j) * across + i] = std::int64_t(x1 - x0) * (y1 - y0);
        }
    }
    for (std::size_t k = 0; k < cellCounts.size(); ++k)
        for (int c = 0; c < 3; ++c) sums[c] += cellSums[k * 3 + std::size_t(c)];

    const double n = double(w) * h;
    double total = 0, between = 0;
    for (int c = 0; c < 3; ++c) {
        const double mean = double(sums[c]) / n;
        total += double(squares[c]) / n - mean * mean;
        for (std::size_t k = 0; k < cellCounts.size(); ++k) {
            const double count = double(cellCounts[k]);
            if (count <= 0) continue;
            const double d = double(cellSums[k * 3 + std::size_t(c)]) / count - mean;
            between += count / n * d * d;
        }
    }
    if (!(total > 1e-9)) return 0;
    return std::sqrt(std::clamp(between / total, 0.0, 1.0));
}

} // namespace quiltara
