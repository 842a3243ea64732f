#include "core/tiling/SeamMeter.h"

#include "core/tiling/TileRepeat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quiltara {

namespace {

// The heat is smoothed over this many pixels on each side along the seam: a single
// pixel of grain should not light up, a stretch of a few pixels should.
constexpr int kHeatRadius = 8;
// Steps below one level are as good as none: the score does not divide by less.
constexpr double kLeastStep = 1.0;
// Standard errors of the mean that chance may account for.
constexpr double kChanceAllowance = 3.0;

int Step(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// The steps at one position along a seam, summed over the three channels: across
// the wrap, and one pixel inside on each side of it (the two added).
struct SeamSteps {
    std::vector<int> across, inside;
};

// Sums of a seam's steps, to score one seam or both together.
struct SeamSums {
    double n = 0, across = 0, inside = 0, excess = 0, excessSquares = 0;

    void Add(const SeamSteps& steps) {
        for (std::size_t k = 0; k < steps.across.size(); ++k) {
            // Per channel value: across / 3, inside (two steps) / 6.
            const double e = (2.0 * steps.across[k] - steps.inside[k]) / 6.0;
            n += 1;
            across += steps.across[k] / 3.0;
            inside += steps.inside[k] / 6.0;
            excess += e;
            excessSquares += e * e;
        }
    }

    SeamScore Score() const {
        SeamScore s;
        if (n <= 0) return s;
        s.measured = true;
        s.across = across / n;
        s.inside = inside / n;
        const double mean = excess / n;
        const double variance =
            n > 1 ? std::max(0.0, (excessSquares - n * mean * mean) / (n - 1)) : 0;
        const double chance = kChanceAllowance * std::sqrt(variance / n);
        s.score = std::max(0.0, mean - chance) / std::max(s.inside, kLeastStep);
        return s;
    }
};

// Heat per position: the excess of the step across over the steps inside, smoothed
// along the (wrapping) seam, against twice the smoothed inside step.
std::vector<float> Heat(const SeamSteps& steps) {
    const int n = int(steps.across.size());
    std::vector<float> heat(std::size_t(n), 0.0f);
    if (n == 0) return heat;
    const int radius = std::min(kHeatRadius, (n - 1) / 2);
    for (int k = 0; k < n; ++k) {
        double excess = 0, inside = 0;
        for (int j = k - radius; j <= k + radius; ++j) {
            const std::size_t i = std::size_t(((j % n) + n) % n);
            excess += (2.0 * steps.across[i] - steps.inside[i]) / 6.0;
            inside += steps.inside[i] / 6.0;
        }
        const double count = 2 * radius + 1;
        const double value = (excess / count) / (2.0 * std::max(inside / count, kLeastStep));
        heat[std::size_t(k)] = float(std::clamp(value, 0.0, 1.0));
    }
    return heat;
}

} // namespace

void CSeamMeter::Measure(const CDIBSection2& tile) {
    m_scores = SeamScores{};
    m_leftRightHeat.clear();
    m_topBottomHeat.clear();
    m_width = m_height = 0;
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32) return;
    const int w = tile.GetWidth(), h = tile.GetHeight();
    m_width = w;
    m_height = h;

    SeamSums both;
    double weightedScore = 0, length = 0;
    if (w >= 3) {
        SeamSteps steps;
        steps.across.resize(std::size_t(h));
        steps.inside.resize(std::size_t(h));
        for (int y = 0; y < h; ++y) {
            const std::uint8_t *first = tile.PixelAt(0, y), *last = tile.PixelAt(w - 1, y);
            steps.across[std::size_t(y)] = Step(last, first);
            steps.inside[std::size_t(y)] =
                Step(tile.PixelAt(1, y), first) + Step(last, tile.PixelAt(w - 2, y));
        }
        SeamSums sums;
        sums.Add(steps);
        both.Add(steps);
        m_scores.leftRight = sums.Score();
        m_leftRightHeat = Heat(steps);
        weightedScore += m_scores.leftRight.score * h;
        length += h;
    }
    if (h >= 3) {
        SeamSteps steps;
        steps.across.resize(std::size_t(w));
        steps.inside.resize(std::size_t(w));
        for (int x = 0; x < w; ++x) {
            const std::uint8_t *first = tile.PixelAt(x, 0), *last = tile.PixelAt(x, h - 1);
            steps.across[std::size_t(x)] = Step(last, first);
            steps.inside[std::size_t(x)] =
                Step(tile.PixelAt(x, 1), first) + Step(last, tile.PixelAt(x, h - 2));
        }
        SeamSums sums;
        sums.Add(steps);
        both.Add(steps);
        m_scores.topBottom = sums.Score();
        m_topBottomHeat = Heat(steps);
        weightedScore += m_scores.topBottom.score * w;
        length += w;
    }
    m_scores.overall = both.Score();
    if (length > 0) m_scores.overall.score = weightedScore / length;
}

void SeamHeatColour(float heat, std::uint8_t bgra[4]) {
    const float t = std::clamp(heat, 0.0f, 1.0f);
    // Green (0) to yellow (0.5) to red (1); a cool seam stays faint.
    const float red = t < 0.5f ? 2 * t : 1.0f;
    const float green = t < 0.5f ? 1.0f : 2 * (1 - t);
    bgra[0] = 0;
    bgra[1] = std::uint8_t(std::lround(green * 255));
    bgra[2] = std::uint8_t(std::lround(red * 255));
    bgra[3] = std::uint8_t(std::lround(80 + 175 * std::min(1.0f, 2 * t)));
}

void RenderSeamStrips(const CSeamMeter& meter, CDIBSection2& leftRight, CDIBSection2& topBottom) {
    auto strip = [](const std::vector<float>& heat, bool vertical, CDIBSection2& out) {
        if (heat.empty()) {
            out.MakeEmpty();
            return;
        }
        const int n = int(heat.size());
        out.Create(vertical ? 1 : n, vertical ? n : 1, 32, true);
        for (int k = 0; k < n; ++k)
            SeamHeatColour(heat[std::size_t(k)], vertical ? out.PixelAt(0, k) : out.PixelAt(k, 0));
    };
    strip(meter.LeftRightHeat(), true, leftRight);
    strip(meter.TopBottomHeat(), false, topBottom);
}

void RenderSeamMap(const CDIBSection2& tile, const CSeamMeter& meter, CDIBSection2& map) {
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32 || meter.Width() != tile.GetWidth() ||
        meter.Height() != tile.GetHeight() ||
        (meter.LeftRightHeat().empty() && meter.TopBottomHeat().empty()) ||
        RepeatTile(tile, 1, 1, true, map) != RepeatResult::Done) {
        map.MakeEmpty();
        return;
    }
    const int w = tile.GetWidth(), h = tile.GetHeight();
    // As the sheet moves it: map column x shows the tile's column (x - dx) mod w, map
    // row y its row (y + h / 2) mod h. The wrap runs between map columns dx - 1 and
    // dx and between map rows dy - 1 and dy.
    const int dx = w / 2, dy = h - h / 2;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = map.PixelAt(0, y);
        for (int x = 0; x < w; ++x, d += 4) {
            const int gray = (d[0] * 29 + d[1] * 150 + d[2] * 77) >> 8;
            d[0] = d[1] = d[2] = std::uint8_t(64 + gray / 2);
            d[3] = 255;
        }
    }
    // A band a few pixels wide on each side of the wrap, the heat blended by its alpha.
    const int band = std::max(1, std::min(w, h) / 64);
    auto paint = [&map](int x, int y, float heat) {
        std::uint8_t colour[4];
        SeamHeatColour(heat, colour);
        std::uint8_t* d = map.PixelAt(x, y);
        for (int c = 0; c < 3; ++c)
            d[c] = std::uint8_t((colour[c] * colour[3] + d[c] * (255 - colour[3]) + 127) / 255);
    };
    const std::vector<float>& lr = meter.LeftRightHeat();
    if (!lr.empty())
        for (int y = 0; y < h; ++y)
            for (int x = std::max(0, dx - band); x < std::min(w, dx + band); ++x)
                paint(x, y, lr[std::size_t((y + h / 2) % h)]);
    const std::vector<float>& tb = meter.TopBottomHeat();
    if (!tb.empty())
        for (int y = std::max(0, dy - band); y < std::min(h, dy + band); ++y)
            for (int x = 0; x < w; ++x) paint(x, y, tb[std::size_t((x - dx + w) % w)]);
}

} // namespace quiltara
