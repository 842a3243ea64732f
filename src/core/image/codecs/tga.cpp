// Truevision Targa: reading colour-mapped, true-colour (15/16/24/32-bit) and gray
// pictures, raw or run-length coded, with either origin; writing 24-bit, 8-bit
// colour-mapped and 8-bit gray. Targa has no signature: it is chosen by extension.
#include "core/image/codecs/Codecs.h"

#include <cstring>

namespace quiltara {

namespace {

inline std::uint8_t Expand5(unsigned v) {
    return std::uint8_t(v << 3 | v >> 2);
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

    // Colour map.
    std::size_t pos = 18 + std::size_t(idLength);
    std::vector<PaletteEntry> map;
    if (mapType == 1) {
        if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
            return fail(kErrBadTGA);
        const int entryBytes = (mapEntryBits + 7) / 8;
        const std::size_t mapBytes = std::size_t(mapLength) * entryBytes;
        if (pos + mapBytes > size) return fail(kErrBadTGA);
        map.resize(std::size_t(mapLength));
        for (int i = 0; i < mapLength; ++i) {
            const std::uint8_t* e = data + pos + std::size_t(i) * entryBytes;
            if (entryBytes == 2) {
                const unsigned v = e[0] | e[1] << 8;
                map[std::size_t(i)] = {Expand5(v >> 10 & 31), Expand5(v >> 5 & 31),
                                       Expand5(v & 31)};
            } else {
                map[std::size_t(i)] = {e[2], e[1], e[0]};
            }
        }
        pos += mapBytes;
    }
    if (pos > size) return fail(kErrBadTGA);
    const int bytes = (depth + 7) / 8;
    const std::uint64_t pixels = std::uint64_t(w) * std::uint64_t(h);
    const std::size_t available = size - pos;
    // A raw picture must be all there; a run-length packet gives at most 128 pixels.
    if (!rle && pixels * std::uint64_t(bytes) > available) return fail(kErrBadTGA);
    if (rle && pixels > std::uint64_t(available) * 128) return fail(kErrBadTGA);

    ReadResult result;
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadTGA);
        !allocated)
        return ReadResult::Failure(allocated);
    std::uint8_t* const out = result.pixels.data();

    auto decode = [&](const std::uint8_t* s, std::uint8_t* d) {
        switch (baseType) {
        case 1: {
            const int index = (bytes == 1 ? s[0] : s[0] | s[1] << 8) - mapFirst;
            if (index >= 0 && index < mapLength) {
                const PaletteEntry& e = map[std::size_t(index)];
                d[0] = e.r, d[1] = e.g, d[2] = e.b;
            } else {
                d[0] = d[1] = d[2] = 0;
            }
            break;
        }
        case 2:
            if (bytes == 2) {
                const unsigned v = s[0] | s[1] << 8;
                d[0] = Expand5(v >> 10 & 31), d[1] = Expand5(v >> 5 & 31), d[2] = Expand5(v & 31);
            } else {
                d[0] = s[2], d[1] = s[1], d[2] = s[0];
            }
            break;
        default:
            d[0] = d[1] = d[2] = s[0];
            break;
        }
    };

    const bool topOrigin = descriptor & 0x20, rightOrigin = descriptor & 0x10;
    // Pixels arrive in file order; place each at its row and column.
    auto target = [&](std::uint64_t i) {
        int x = int(i % std::uint64_t(w)), y = int(i / std::uint64_t(w));
        if (!topOrigin) y = h - 1 - y;
        if (rightOrigin) x = w - 1 - x;
        return out + (std::size_t(y) * w + std::size_t(x)) * 3;
    };
    const std::uint8_t* s = data + pos;
    if (!rle) {
        if (topOrigin && !rightOrigin && baseType == 2 && bytes >= 3) {
            std::uint8_t* d = out;
            for (std::uint64_t i = 0; i < pixels; ++i, s += bytes, d += 3)
                d[0] = s[2], d[1] = s[1], d[2] = s[0];
        } else if (!rightOrigin) {
            for (int row = 0; row < h; ++row) {
                std::uint8_t* d = out + std::size_t(topOrigin ? row : h - 1 - row) * w * 3;
                for (int x = 0; x < w; ++x, s += bytes, d += 3) decode(s, d);
            }
        } else {
            for (std::uint64_t i = 0; i < pixels; ++i, s += bytes) decode(s, target(i));
        }
    } else {
        const std::uint8_t* end = data + size;
        std::uint64_t i = 0;
        while (i < pixels) {
            if (s >= end) return fail(kErrBadTGA);
            const int head = *s++;
            const int count = (head & 0x7F) + 1;
            if (head & 0x80) {
                if (end - s < bytes) return fail(kErrBadTGA);
                std::uint8_t rgb[3];
                decode(s, rgb);
                s += bytes;
                for (int k = 0; k < count && i < pixels; ++k, ++i) std::memcpy(target(i), rgb, 3);
            } else {
                if (end - s < std::ptrdiff_t(count) * bytes) return fail(kErrBadTGA);
                for (int k = 0; k < count && i < pixels; ++k, ++i, s += bytes) decode(s, target(i));
            }
        }
    }
    result.width = w, result.height = h;
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
