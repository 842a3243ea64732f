#include "core/tiling/SeamMeasure.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quiltara {

namespace {

int Difference(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

} // namespace

SeamMeasure MeasureSeams(const CDIBSection2& tile) {
    SeamMeasure m;
    const int w = tile.GetWidth(), h = tile.GetHeight();
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32 || w < 2 || h < 2) return m;
    double seamX = 0, insideX = 0, seamY = 0, insideY = 0;
    std::vector<double> columnPairs(std::size_t(w - 1), 0.0), rowPairs(std::size_t(h - 1), 0.0);
    for (int y = 0; y < h; ++y) {
        seamX += Difference(tile.PixelAt(w - 1, y), tile.PixelAt(0, y));
        for (int x = 0; x + 1 < w; ++x)
            columnPairs[std::size_t(x)] += Difference(tile.PixelAt(x + 1, y), tile.PixelAt(x, y));
    }
    for (int x = 0; x < w; ++x) {
        seamY += Difference(tile.PixelAt(x, h - 1), tile.PixelAt(x, 0));
        for (int y = 0; y + 1 < h; ++y)
            rowPairs[std::size_t(y)] += Difference(tile.PixelAt(x, y + 1), tile.PixelAt(x, y));
    }
    for (double pair : columnPairs) {
        insideX += pair;
        m.insideColumnsMax = std::max(m.insideColumnsMax, pair / (3.0 * h));
    }
    for (double pair : rowPairs) {
        insideY += pair;
        m.insideRowsMax = std::max(m.insideRowsMax, pair / (3.0 * w));
    }
    m.seamColumns = seamX / (3.0 * h);
    m.insideColumns = insideX / (3.0 * h * (w - 1));
    m.seamRows = seamY / (3.0 * w);
    m.insideRows = insideY / (3.0 * w * (h - 1));
    return m;
}

bool WrapsWell(const SeamMeasure& m) {
    return m.seamColumns <= m.insideColumnsMax && m.seamRows <= m.insideRowsMax;
}

} // namespace quiltara
