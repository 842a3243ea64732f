#pragma once
// Writes small Paint Shop Pro files for the tests, laid out field by field from the
// format's tables: the 36-byte file header, blocks with the old (major version 3 and
// below) or new header layout, the general image attributes, creator keywords, the
// tube block and layers with their channels.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quiltara::test {

struct PspRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct PspChannel {
    std::uint16_t bitmapType = 0;      // 0 image, 1 transparency mask, 2 user mask
    std::uint16_t channelType = 0;     // 0 composite, 1 red, 2 green, 3 blue
    std::vector<std::uint8_t> values;  // w x h values, rows top-down
    std::vector<std::uint8_t> encoded; // when set, stored as they are
};

struct PspLayer {
    std::string name = "Layer";
    PspRect image;
    PspRect saved;
    std::uint8_t opacity = 255;
    std::uint16_t bitmapCount = 1;
    std::vector<PspChannel> channels;
};

using Bytes = std::vector<std::uint8_t>;

inline void Put8(Bytes& b, std::uint8_t v) {
    b.push_back(v);
}
inline void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, std::uint16_t(v));
    Put16(b, std::uint16_t(v >> 16));
}
inline void PutRect(Bytes& b, const PspRect& r) {
    Put32(b, std::uint32_t(r.left));
    Put32(b, std::uint32_t(r.top));
    Put32(b, std::uint32_t(r.right));
    Put32(b, std::uint32_t(r.bottom));
}
inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

/// Run-length coding: a count byte up to 128 followed by that many literal bytes, or a
/// count byte 129..255 followed by one byte repeated count - 128 times.
inline Bytes RunLengthEncode(const Bytes& values) {
    Bytes out;
    std::size_t i = 0;
    while (i < values.size()) {
        std::size_t run = 1;
        while (i + run < values.size() && values[i + run] == values[i] && run < 127) ++run;
        if (run >= 3) {
            out.push_back(std::uint8_t(128 + run));
            out.push_back(values[i]);
            i += run;
            continue;
        }
        std::size_t lit = 0;
        while (i + lit < values.size() && lit < 128) {
            if (i + lit + 2 < values.size() && values[i + lit] == values[i + lit + 1] &&
                values[i + lit] == values[i + lit + 2])
                break;
            ++lit;
        }
        out.push_back(std::uint8_t(lit));
        out.insert(out.end(), values.begin() + long(i), values.begin() + long(i + lit));
        i += lit;
    }
    return out;
}

class PspFileWriter {
public:
    explicit PspFileWriter(int major, int compression = 0)
        : m_major(major), m_compression(compression) {
        const char signature[] = "Paint Shop Pro Image File\n\x1a";
        m_file = Bytes(32, 0);
        std::copy(signature, signature + 27, m_file.begin());
        Put16(m_file, std::uint16_t(major));
        Put16(m_file, 0);
    }
    bool Old() const { return m_major <= 3; }

    /// A block: old layouts give the length of the leading part (initial) apart.
    Bytes Block(std::uint16_t id, const Bytes& initial, const Bytes& rest) const {
        Bytes b = {0x7E, 0x42, 0x4B, 0x00};
        Put16(b, id);
        if (Old()) Put32(b, std::uint32_t(initial.size()));
        Put32(b, std::uint32_t(initial.size() + rest.size()));
        Append(b, initial);
        Append(b, rest);
        return b;
    }
    /// New layouts begin every chunk with its length (the length field included).
    Bytes Chunk(const Bytes& body) const {
        Bytes b;
        if (!Old()) Put32(b, std::uint32_t(body.size() + 4));
        Append(b, body);
        return b;
    }

    void AddGeneralAttributes(std::int32_t width, std::int32_t height, int layerCount,
                              bool greyscale = false, int bitDepth = 24) {
        Bytes c;
        Put32(c, std::uint32_t(width));
        Put32(c, std::uint32_t(height));
        for (int i = 0; i < 8; ++i) Put8(c, 0); // resolution
        Put8(c, 1);                             // resolution unit
        Put16(c, std::uint16_t(m_compression));
        Put16(c, std::uint16_t(bitDepth));
        Put16(c, 1);        // planes
        Put32(c, 1u << 24); // colours
        Put8(c, greyscale ? 1 : 0);
        Put32(c, std::uint32_t(width) * std::uint32_t(height) * 3u); // total image size
        Put32(c, 0);                                                 // active layer
        Put16(c, std::uint16_t(layerCount));
        Append(m_file, Block(0, Chunk(c), {}));
    }

    void AddCreator(const std::vector<std::pair<std::uint16_t, std::string>>& keywords) {
        Bytes c;
        for (const auto& [id, text] : keywords) {
            const Bytes magic = {0x7E, 0x46, 0x4C, 0x00};
            Append(c, magic);
            Put16(c, id);
            Put32(c, std::uint32_t(text.size()));
            c.insert(c.end(), text.begin(), text.end());
        }
        Append(m_file, Block(1, c, {}));
    }

    void AddTube(const std::string& name, std::array<std::int32_t, 6> values) {
        Bytes c;
        Put16(c, 1); // version
        if (Old()) {
            Bytes n(513, 0);
            std::copy(name.begin(), name.end(), n.begin());
            Append(c, n);
        }
        for (std::int32_t v : values) Put32(c, std::uint32_t(v));
        Append(m_file, Block(11, Chunk(c), {}));
    }

    Bytes ChannelData(const PspChannel& ch, std::int32_t w, std::int32_t h) const {
        if (!ch.encoded.empty()) return ch.encoded;
        if (m_compression == 1) return RunLengthEncode(ch.values);
        if (m_compression == 2) {
            uLongf size = compressBound(uLong(ch.values.size()));
            Bytes out(size);
            compress(out.data(), &size, ch.values.data(), uLong(ch.values.size()));
            out.resize(size);
            return out;
        }
        Bytes out; // rows padded to four bytes
        for (std::int32_t y = 0; y < h; ++y) {
            out.insert(out.end(), ch.values.begin() + y * w, ch.values.begin() + (y + 1) * w);
            while (out.size() % 4) out.push_back(0);
        }
        return out;
    }

    Bytes LayerBlock(const PspLayer& layer) const {
        Bytes info;
        if (Old()) {
            Bytes name(256, 0);
            std::copy(layer.name.begin(), layer.name.end(), name.begin());
            Append(info, name);
        } else {
            Put16(info, std::uint16_t(layer.name.size()));
            info.insert(info.end(), layer.name.begin(), layer.name.end());
        }
        Put8(info, 0); // type
        PutRect(info, layer.image);
        PutRect(info, layer.saved);
        Put8(info, layer.opacity);
        Put8(info, 0);     // blend mode
        Put8(info, 1);     // flags
        Put8(info, 0);     // transparency protected
        Put8(info, 0);     // link group
        PutRect(info, {}); // mask rectangle
        PutRect(info, {}); // saved mask rectangle
        Put8(info, 0);     // mask linked
        Put8(info, 0);     // mask disabled
        info.resize(info.size() + 43, 0);
        Bytes bitmap;
        Put16(bitmap, layer.bitmapCount);
        Put16(bitmap, std::uint16_t(layer.channels.size()));
        Bytes initial = Chunk(info);
        Append(initial, Chunk(bitmap));

        const std::int32_t w = layer.saved.right - layer.saved.left;
        const std::int32_t h = layer.saved.bottom - layer.saved.top;
        Bytes channels;
        for (const PspChannel& ch : layer.channels) {
            const Bytes data = ChannelData(ch, w, h);
            Bytes c;
            Put32(c, std::uint32_t(data.size()));
            Put32(c, std::uint32_t(ch.values.size()));
            Put16(c, ch.bitmapType);
            Put16(c, ch.channelType);
            Append(channels, Block(5, Chunk(c), data));
        }
        return Block(4, initial, channels);
    }

    void AddLayers(const std::vector<PspLayer>& layers) {
        Bytes all;
        for (const PspLayer& l : layers) Append(all, LayerBlock(l));
        Append(m_file, Block(3, all, {}));
    }
    void AddRaw(const Bytes& bytes) { Append(m_file, bytes); }

    const Bytes& File() const { return m_file; }

private:
    int m_major;
    int m_compression;
    Bytes m_file;
};

/// A plain colour layer of w x h at (x, y): red, green and blue channels.
inline PspLayer ColourLayer(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g,
                            std::uint8_t b) {
    PspLayer l;
    l.image = {0, 0, 0, 0};
    l.saved = {x, y, x + w, y + h};
    const std::size_t n = std::size_t(w) * std::size_t(h);
    l.channels = {{0, 1, std::vector<std::uint8_t>(n, r), {}},
                  {0, 2, std::vector<std::uint8_t>(n, g), {}},
                  {0, 3, std::vector<std::uint8_t>(n, b), {}}};
    return l;
}

} // namespace quiltara::test
