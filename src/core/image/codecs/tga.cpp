// Truevision Targa: reading colour-mapped, true-colour (15/16/24/32-bit) and gray
// pictures, raw or run-length coded, with either origin; writing 24-bit, 8-bit
// colour-mapped and 8-bit gray. Targa has no signature: it is chosen by extension.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

namespace {

inline std::uint8_t Expand5(unsigned v) {
    return std::uint8_t(v << 3 | v >> 2);
}

// How the file stores a pixel; the choice is made once, so that rows and runs
// convert in plain loops.
struct Layout {
    enum Kind { kMapped8, kMapped16, kColor16, kColor, kGray } kind = kColor;
    int bytes = 3;
    const std::uint8_t* map = nullptr; // red, green, blue for every index the pixel holds
};

// n pixels from the file's layout to red, green, blue.
void Convert(const Layout& l, const std::uint8_t* s, int n, std::uint8_t* d) {
    const int b = l.bytes;
    switch (l.kind) {
    case Layout::kMapped8:
        for (int x = 0; x < n; ++x, d += 3) {
            const std::uint8_t* e = l.map + 3 * std::size_t(s[x]);
            d[0] = e[0], d[1] = e[1], d[2] = e[2];
        }
        break;
    case Layout::kMapped16:
        for (int x = 0; x < n; ++x, s += 2, d += 3) {
            const std::uint8_t* e = l.map + 3 * std::size_t(s[0] | s[1] << 8);
            d[0] = e[0], d[1] = e[1], d[2] = e[2];
        }
        break;
    case Layout::kColor16:
        for (int x = 0; x < n; ++x, s += 2, d += 3) {
            const unsigned v = s[0] | s[1] << 8;
            d[0] = Expand5(v >> 10 & 31), d[1] = Expand5(v >> 5 & 31), d[2] = Expand5(v & 31);
        }
        break;
    case Layout::kColor:
        if (b == 3) {
            for (int x = 0; x < n; ++x, s += 3, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
        } else {
            for (int x = 0; x < n; ++x, s += 4, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
        }
        break;
    case Layout::kGray: // 16-bit gray is gray and alpha
        for (int x = 0; x < n; ++x, s += b, d += 3) d[0] = d[1] = d[2] = s[0];
        break;
    }
}

} // namespace

ReadResult ReadTGA(const CSource& source) {
    const std::uint8_t* data = source.Data();
    const std::size_t size = source.Size();
    auto fail = [](unsigned code) { return ReadResult::Failure(code); };
    if (size < 18) return fail(kErrBadTGA);
    const int idLength = data[0], mapType = data[1], type = data[2];
    const int mapFirst = data[3] | data[4] << 8, mapLength = data[5] | data[6] << 8;
    const int mapEntryBits = data[7];
    const int w = data[12] | data[13] << 8, h = data[14] | data[15] << 8;
    const int depth = data[16], descriptor = data[17];
    const int baseType = type & ~8;
    const bool rle = type & 8;
    if (mapType > 1 || (baseType != 1 && baseType != 2 && baseType != 3) || type > 11)
        return fail(kErrBadTGA);
    if (w == 0 || h == 0) return fail(kErrBadTGA);
    if (baseType == 1 && (mapType != 1 || (depth != 8 && depth != 16))) return fail(kErrBadTGA);
    if (baseType == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return fail(kErrBadTGA);
    if (baseType == 3 && depth != 8 && depth != 16) return fail(kErrBadTGA);

    Layout layout;
    layout.bytes = (depth + 7) / 8;
    layout.kind = baseType == 3   ? Layout::kGray
                  : baseType == 2 ? (layout.bytes == 2 ? Layout::kColor16 : Layout::kColor)
                  : depth == 8    ? Layout::kMapped8
                                  : Layout::kMapped16;
    // Colour map, laid out for every index the pixels can hold; indices outside the
    // file's map are black.
    std::size_t pos = 18 + std::size_t(idLength);
    std::vector<std::uint8_t> map;
    if (mapType == 1) {
        if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
            return fail(kErrBadTGA);
        const int entryBytes = (mapEntryBits + 7) / 8;
        const std::size_t mapBytes = std::size_t(mapLength) * entryBytes;
        if (pos + mapBytes > size) return fail(kErrBadTGA);
        if (baseType == 1) {
            map.assign(std::size_t(3) << depth, 0);
            for (int i = 0; i < mapLength && mapFirst + i < (1 << depth); ++i) {
                const std::uint8_t* e = data + pos + std::size_t(i) * entryBytes;
                std::uint8_t* m = map.data() + 3 * std::size_t(mapFirst + i);
                if (entryBytes == 2) {
                    const unsigned v = e[0] | e[1] << 8;
                    m[0] = Expand5(v >> 10 & 31), m[1] = Expand5(v >> 5 & 31),
                    m[2] = Expand5(v & 31);
                } else {
                    m[0] = e[2], m[1] = e[1], m[2] = e[0];
                }
            }
            layout.map = map.data();
        }
        pos += mapBytes;
    }
    if (pos > size) return fail(kErrBadTGA);
    const int bytes = layout.bytes;
    const std::uint64_t pixels = std::uint64_t(w) * std::uint64_t(h);
    const std::size_t available = size - pos;
    // A run-length packet gives at most 128 pixels; a cut raw file must still hold
    // what its size claims at eight pixels a byte.
    if (rle || pixels * std::uint64_t(bytes) > available) {
        if (const CodecStatus fits = CheckDataCanFill(w, h, available, rle ? 128 : 8); !fits)
            return ReadResult::Failure(fits);
    }

    ReadResult result;
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadTGA);
        !allocated)
        return ReadResult::Failure(allocated);
    std::uint8_t* const out = result.pixels.data();
    const bool topOrigin = descriptor & 0x20, rightOrigin = descriptor & 0x10;
    // Rows arrive in file order: from the top or from the bottom.
    auto rowAt = [&](int fileRow) {
        return out + std::size_t(topOrigin ? fileRow : h - 1 - fileRow) * w * 3;
    };
    const std::uint8_t* s = data + pos;
    int held = 0; // whole rows the file holds, in file order
    if (!rle) {
        held = int(std::min<std::uint64_t>(h, available / std::size_t(bytes) / std::size_t(w)));
        for (int row = 0; row < held; ++row, s += std::size_t(w) * bytes)
            Convert(layout, s, w, rowAt(row));
    } else {
        // Packets run across row ends: each is split at them.
        const std::uint8_t* end = data + size;
        int x = 0;
        while (held < h && s < end) {
            const int head = *s++;
            int count = (head & 0x7F) + 1;
            if (head & 0x80) {
                if (end - s < bytes) break;
                std::uint8_t rgb[3];
                Convert(layout, s, 1, rgb);
                s += bytes;
                while (count && held < h) {
                    const int n = std::min(count, w - x);
                    std::uint8_t* d = rowAt(held) + std::size_t(x) * 3;
                    for (int k = 0; k < n; ++k, d += 3) d[0] = rgb[0], d[1] = rgb[1], d[2] = rgb[2];
                    count -= n, x += n;
                    if (x == w) x = 0, ++held;
                }
            } else {
                const int there = int(std::min<std::ptrdiff_t>(count, (end - s) / bytes));
                for (int left = there; left && held < h;) {
                    const int n = std::min(left, w - x);
                    Convert(layout, s, n, rowAt(held) + std::size_t(x) * 3);
                    s += std::size_t(n) * bytes, left -= n, x += n;
                    if (x == w) x = 0, ++held;
                }
                if (there < count) break;
            }
        }
    }
    if (held == 0) return fail(kErrBadTGA);
    result.width = w, result.height = h;
    if (rightOrigin) {
        for (int row = 0; row < held; ++row) {
            std::uint8_t* a = rowAt(row);
            for (std::uint8_t* b = a + std::size_t(w - 1) * 3; a < b; a += 3, b -= 3)
                std::swap_ranges(a, a + 3, b);
        }
    }
    // The rows the file did not hold: at the bottom of a picture stored from the top,
    // else at the top.
    if (held < h) {
        if (topOrigin)
            result.MarkMissing(held, h - 1);
        else
            result.MarkMissing(0, h - 1 - held);
    }
    return result;
}

namespace {

std::vector<std::uint8_t> TgaHeader(int type, int width, int height, int depth, bool mapped) {
    std::vector<std::uint8_t> h(18, 0);
    h[1] = mapped ? 1 : 0;
    h[2] = std::uint8_t(type);
    if (mapped) h[5] = 0, h[6] = 1, h[7] = 24; // 256 entries of 24 bits
    h[12] = std::uint8_t(width), h[13] = std::uint8_t(width >> 8);
    h[14] = std::uint8_t(height), h[15] = std::uint8_t(height >> 8);
    h[16] = std::uint8_t(depth);
    return h; // bottom-left origin
}

} // namespace

CodecStatus WriteTGA(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, 65535); !args) return args;
    const std::vector<std::uint8_t> head = TgaHeader(2, width, height, 24, false);
    sink.Reserve(head.size() + std::size_t(width) * height * 3);
    bool ok = sink.Write(head.data(), head.size());
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (int y = height - 1; ok && y >= 0; --y) {
        const std::uint8_t* s = rgb + std::size_t(y) * width * 3;
        std::uint8_t* d = row.data();
        for (int x = 0; x < width; ++x, s += 3, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
        ok = sink.Write(row.data(), row.size());
    }
    return ok ? kErrNone : kErrFileWrite;
}

CodecStatus WriteTGA8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette) {
    if (const CodecStatus args = CheckWriterArgs(indices, width, height, 65535); !args) return args;
    const bool gray = IsIdentityPalette(palette);
    std::vector<std::uint8_t> head = TgaHeader(gray ? 3 : 1, width, height, 8, !gray);
    if (!gray)
        for (const PaletteEntry& e : palette)
            head.push_back(e.b), head.push_back(e.g), head.push_back(e.r);
    bool ok = sink.Write(head.data(), head.size());
    for (int y = height - 1; ok && y >= 0; --y)
        ok = sink.Write(indices + std::size_t(y) * width, std::size_t(width));
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
