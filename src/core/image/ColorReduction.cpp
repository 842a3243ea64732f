#include "core/image/ColorReduction.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

Palette256 IdentityPalette() {
    Palette256 p;
    for (int i = 0; i < 256; ++i)
        p[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    return p;
}

bool IsIdentityPalette(const Palette256& palette) {
    return palette == IdentityPalette();
}

void ToGray(const std::uint8_t* rgb, int width, int height, std::uint8_t* out) {
    const std::size_t n = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < n; ++i, rgb += 3)
        out[i] = std::uint8_t((77 * rgb[0] + 150 * rgb[1] + 29 * rgb[2]) >> 8);
}

namespace {

inline std::uint32_t Key(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
}

// An open-addressed set of at most `limit` colours; false once there are more.
class CColorSet {
public:
    explicit CColorSet(int limit) : m_limit(limit) {
        std::fill(std::begin(m_keys), std::end(m_keys), kEmpty);
    }
    // Index of the colour in insertion order, or -1 when the set overflowed.
    int Insert(std::uint32_t key) {
        std::uint32_t h = (key * 2654435761u) >> 22; // 10 bits
        while (m_keys[h] != kEmpty) {
            if (m_keys[h] == key) return m_index[h];
            h = (h + 1) & 1023;
        }
        if (m_count >= m_limit) return -1;
        m_keys[h] = key;
        m_index[h] = m_count;
        m_order[m_count] = key;
        return m_count++;
    }
    int Find(std::uint32_t key) const {
        std::uint32_t h = (key * 2654435761u) >> 22;
        while (m_keys[h] != kEmpty) {
            if (m_keys[h] == key) return m_index[h];
            h = (h + 1) & 1023;
        }
        return -1;
    }
    int Count() const { return m_count; }
    std::uint32_t At(int i) const { return m_order[i]; }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    int m_limit;
    int m_count = 0;
    std::uint32_t m_keys[1024];
    int m_index[1024];
    std::uint32_t m_order[256];
};

bool CollectExact(const std::uint8_t* rgb, std::size_t n, int colors, CColorSet& set) {
    std::uint32_t last = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i, rgb += 3) {
        const std::uint32_t k = Key(rgb);
        if (k == last) continue;
        if (set.Insert(k) < 0) return false;
        last = k;
    }
    (void)colors;
    return true;
}

struct Bin {
    std::uint8_t c[3];
    std::uint32_t count;
    std::uint64_t sum[3];
};

struct Box {
    std::size_t begin, end;
    std::uint64_t count;
};

int MedianCut(const std::uint8_t* rgb, std::size_t n, int colors, Palette256& palette) {
    std::vector<Bin> histogram(32768);
    for (std::size_t i = 0; i < n; ++i, rgb += 3) {
        Bin& b = histogram[std::size_t(rgb[0] >> 3) << 10 | std::size_t(rgb[1] >> 3) << 5 |
                           std::size_t(rgb[2] >> 3)];
        ++b.count;
        b.sum[0] += rgb[0], b.sum[1] += rgb[1], b.sum[2] += rgb[2];
    }
    std::vector<Bin> bins;
    for (std::size_t i = 0; i < histogram.size(); ++i)
        if (histogram[i].count) {
            Bin b = histogram[i];
            b.c[0] = std::uint8_t(i >> 10), b.c[1] = std::uint8_t(i >> 5 & 31),
            b.c[2] = std::uint8_t(i & 31);
            bins.push_back(b);
        }
    std::vector<Box> boxes{{0, bins.size(), n}};
    while (int(boxes.size()) < colors) {
        // Split the most populous box that still holds more than one bin.
        int pick = -1;
        for (int i = 0; i < int(boxes.size()); ++i)
            if (boxes[std::size_t(i)].end - boxes[std::size_t(i)].begin > 1 &&
                (pick < 0 || boxes[std::size_t(i)].count > boxes[std::size_t(pick)].count))
                pick = i;
        if (pick < 0) break;
        Box box = boxes[std::size_t(pick)];
        int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i)
            for (int c = 0; c < 3; ++c)
                lo[c] = std::min<int>(lo[c], bins[i].c[c]),
                hi[c] = std::max<int>(hi[c], bins[i].c[c]);
        int axis = 0;
        for (int c = 1; c < 3; ++c)
            if (hi[c] - lo[c] > hi[axis] - lo[axis]) axis = c;
        std::sort(bins.begin() + std::ptrdiff_t(box.begin), bins.begin() + std::ptrdiff_t(box.end),
                  [axis](const Bin& a, const Bin& b) { return a.c[axis] < b.c[axis]; });
        std::uint64_t acc = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            acc += bins[i].count;
            split = i + 1;
            if (acc * 2 >= box.count) break;
        }
        Box a{box.begin, split, acc}, b{split, box.end, box.count - acc};
        boxes[std::size_t(pick)] = a;
        boxes.push_back(b);
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::uint64_t s[3] = {0, 0, 0}, count = 0;
        for (std::size_t k = boxes[i].begin; k < boxes[i].end; ++k) {
            for (int c = 0; c < 3; ++c) s[c] += bins[k].sum[c];
            count += bins[k].count;
        }
        palette[i] = {std::uint8_t((s[0] + count / 2) / count),
                      std::uint8_t((s[1] + count / 2) / count),
                      std::uint8_t((s[2] + count / 2) / count)};
    }
    return int(boxes.size());
}

} // namespace

int MakePalette256(const std::uint8_t* rgb, int width, int height, int colors,
                   Palette256& palette) {
    palette.fill({});
    colors = std::clamp(colors, 1, 256);
    if (!rgb || width <= 0 || height <= 0) return 0;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    CColorSet set(colors);
    if (CollectExact(rgb, n, colors, set)) {
        for (int i = 0; i < set.Count(); ++i) {
            const std::uint32_t k = set.At(i);
            palette[std::size_t(i)] = {std::uint8_t(k >> 16), std::uint8_t(k >> 8),
                                       std::uint8_t(k)};
        }
        return set.Count();
    }
    return MedianCut(rgb, n, colors, palette);
}

void QuantizeTo256(const std::uint8_t* rgb, int width, int height, std::uint8_t* out, int colors,
                   Palette256& palette) {
    if (!rgb || !out || width <= 0 || height <= 0) return;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    colors = std::clamp(colors, 1, 256);
    CColorSet set(colors);
    if (CollectExact(rgb, n, colors, set)) {
        palette.fill({});
        for (int i = 0; i < set.Count(); ++i) {
            const std::uint32_t k = set.At(i);
            palette[std::size_t(i)] = {std::uint8_t(k >> 16), std::uint8_t(k >> 8),
                                       std::uint8_t(k)};
        }
        for (std::size_t i = 0; i < n; ++i) out[i] = std::uint8_t(set.Find(Key(rgb + 3 * i)));
        return;
    }
    const int used = MedianCut(rgb, n, colors, palette);
    // Nearest palette entry for each 5-bit cell, found when the cell is first met.
    std::vector<std::int16_t> nearest(32768, -1);
    for (std::size_t i = 0; i < n; ++i, rgb += 3) {
        const std::size_t cell = std::size_t(rgb[0] >> 3) << 10 | std::size_t(rgb[1] >> 3) << 5 |
                                 std::size_t(rgb[2] >> 3);
        if (nearest[cell] < 0) {
            const int r = (rgb[0] & 0xF8) | 4, g = (rgb[1] & 0xF8) | 4, b = (rgb[2] & 0xF8) | 4;
            int best = 0, bestDistance = 1 << 30;
            for (int k = 0; k < used; ++k) {
                const PaletteEntry& e = palette[std::size_t(k)];
                const int d = (e.r - r) * (e.r - r) + (e.g - g) * (e.g - g) + (e.b - b) * (e.b - b);
                if (d < bestDistance) bestDistance = d, best = k;
            }
            nearest[cell] = std::int16_t(best);
        }
        out[i] = std::uint8_t(nearest[cell]);
    }
}

} // namespace quiltara
