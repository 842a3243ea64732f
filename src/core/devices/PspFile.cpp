#include "core/devices/PspFile.h"

#include "core/base/Archive.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

namespace quiltara {

namespace {

constexpr char kSignature[32] = "Paint Shop Pro Image File\n\x1a\0\0\0\0";
constexpr std::uint8_t kBlockMagic[4] = {0x7E, 0x42, 0x4B, 0x00};
constexpr std::uint8_t kKeywordMagic[4] = {0x7E, 0x46, 0x4C, 0x00};

enum BlockId : std::uint16_t {
    kImageBlock = 0,
    kCreatorBlock = 1,
    kLayerStartBlock = 3,
    kLayerBlock = 4,
    kChannelBlock = 5,
    kAlphaChannelBlock = 8,
    kTubeBlock = 11,
};

const char* BlockName(std::uint16_t id) {
    static const char* const names[] = {
        "IMAGE",     "CREATOR",    "COLOR",         "LAYER_START", "LAYER",         "CHANNEL",
        "SELECTION", "ALPHA_BANK", "ALPHA_CHANNEL", "THUMBNAIL",   "EXTENDED_DATA", "TUBE"};
    return id < sizeof names / sizeof names[0] ? names[id] : nullptr;
}

const char* const kMissingImageBlock = "PSP: Missing General Image Attributes block";
const char* const kImageTooLarge = "PSP: Image too large";
const char* const kChannelData = "PSP: Error reading channel data";

} // namespace

/// Bounds-checked little-endian reading from the file's bytes. Seeking is allowed up to
/// the end of the file; a read that does not fit reads nothing and fails.
class CPspFile::Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t Pos() const { return m_pos; }
    std::size_t Size() const { return m_size; }
    bool Seek(std::uint64_t pos) {
        if (pos > m_size) return false;
        m_pos = std::size_t(pos);
        return true;
    }
    const std::uint8_t* Take(std::size_t n) {
        if (n > m_size - m_pos) return nullptr;
        const std::uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    bool U8(std::uint8_t& v) {
        const std::uint8_t* p = Take(1);
        if (p) v = p[0];
        return p != nullptr;
    }
    bool U16(std::uint16_t& v) {
        const std::uint8_t* p = Take(2);
        if (p) v = std::uint16_t(p[0] | (p[1] << 8));
        return p != nullptr;
    }
    bool U32(std::uint32_t& v) {
        const std::uint8_t* p = Take(4);
        if (p)
            v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                (std::uint32_t(p[3]) << 24);
        return p != nullptr;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

struct CPspFile::BlockHeader {
    std::uint16_t id = 0;
    std::uint32_t initialLength = 0; // old layouts only
    std::uint32_t totalLength = 0;
    std::size_t dataStart = 0; // the position right after the header
    std::uint64_t End() const { return std::uint64_t(dataStart) + totalLength; }
};

struct CPspFile::Layer {
    int left = 0, top = 0; // image rectangle's corner
    int savedLeft = 0, savedTop = 0;
    int width = 1, height = 1;
    int bytesPerPixel = 3;
    int opacity = 255;
    bool empty = false;
    std::vector<std::uint8_t> pixels; // rows top-down
};

const char* CPspFile::PlacementModeName(int mode) {
    switch (mode) {
    case 0:
        return "random";
    case 1:
        return "constant";
    default:
        return "default";
    }
}

const char* CPspFile::SelectionModeName(int mode) {
    switch (mode) {
    case 0:
        return "random";
    case 1:
        return "incremental";
    case 2:
        return "angular";
    case 3:
        return "pressure";
    case 4:
        return "velocity";
    default:
        return "default";
    }
}

int CPspFile::Fail(int result, const std::string& text) {
    m_messages.push_back(text);
    return result;
}

int CPspFile::Load(const std::string& path) {
    m_messages.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return kFailed;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return kFailed;
    return LoadFromMemory(bytes.data(), bytes.size());
}

int CPspFile::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    m_messages.clear();
    m_layerPixels = 0;
    static const std::uint8_t none = 0;
    Reader in(data ? data : &none, data ? size : 0);

    const std::uint8_t* header = in.Take(36);
    if (!header) return Fail(kFailed, "Error reading file header  in PSP file");
    if (std::memcmp(header, kSignature, 32) != 0)
        return Fail(kFailed, "Incorrect file signature in PSP file");
    m_majorVersion = header[32] | (header[33] << 8);
    m_minorVersion = header[34] | (header[35] << 8);

    bool first = true;
    while (in.Pos() != in.Size()) {
        BlockHeader block;
        if (!ReadBlockHeader(in, block)) return first ? kFailed : kFailedLater;
        if (first && block.id != kImageBlock) return Fail(kFailed, kMissingImageBlock);
        switch (block.id) {
        case kImageBlock:
            if (!first) return Fail(kFailed, "PSP: Duplicate General Image Attributes block");
            if (const int r = ReadGeneralAttributes(in, block); r != kLoaded) return r;
            break;
        case kCreatorBlock:
            if (!ReadCreator(in, std::size_t(std::min<std::uint64_t>(block.End(), in.Size()))))
                return kFailedLater;
            break;
        case kLayerStartBlock:
            if (const int r = ReadLayerStart(
                    in, std::size_t(std::min<std::uint64_t>(block.End(), in.Size())));
                r != kLoaded)
                return r;
            break;
        case kTubeBlock:
            if (!ReadTube(in)) return kFailedLater;
            break;
        case kLayerBlock:
        case kChannelBlock:
        case kAlphaChannelBlock:
            m_messages.push_back("PSP: Sub-block should not occur at main level of file");
            break;
        default:
            break;
        }
        first = false;
        // A block of length 0 still moves on by its header.
        if (block.End() >= in.Size()) break;
        if (!in.Seek(block.End())) return Fail(kFailed, "PSP: Seek error");
    }
    return kLoaded;
}

bool CPspFile::ReadBlockHeader(Reader& in, BlockHeader& header) {
    const std::uint8_t* magic = in.Take(4);
    bool ok = magic && in.U16(header.id);
    if (ok && OldLayout()) ok = in.U32(header.initialLength);
    if (ok) ok = in.U32(header.totalLength);
    if (!ok) return Fail(0, "PSP: Error reading block header"), false;
    if (std::memcmp(magic, kBlockMagic, 4) != 0) return Fail(0, "PSP: Invalid block header"), false;
    header.dataStart = in.Pos();
    return true;
}

int CPspFile::ReadGeneralAttributes(Reader& in, const BlockHeader& block) {
    const char* const shortRead = "PSP: Error reading general image attribute block";
    if ((OldLayout() ? block.initialLength : block.totalLength) < 38)
        return Fail(kFailed, shortRead);
    if (!OldLayout() && !in.Take(4)) return Fail(kFailed, shortRead); // chunk length
    const std::uint8_t* p = in.Take(38);
    if (!p) return Fail(kFailed, shortRead);
    auto u16 = [p](int at) { return int(p[at] | (p[at + 1] << 8)); };
    auto i32 = [p](int at) {
        return std::int32_t(std::uint32_t(p[at]) | (std::uint32_t(p[at + 1]) << 8) |
                            (std::uint32_t(p[at + 2]) << 16) | (std::uint32_t(p[at + 3]) << 24));
    };
    const std::int32_t width = i32(0), height = i32(4);
    // 8: resolution (double), 16: resolution unit
    const int compression = u16(17);
    const int bitDepth = u16(19);
    // 21: plane count, 23: colour count
    const bool greyscale = p[27] != 0;
    // 28: total image size, 32: active layer
    const int layerCount = u16(36);
    if (compression > 2) {
        char text[64];
        std::snprintf(text, sizeof text, "PSP: Unknown compression type %d", compression);
        return Fail(kFailed, text);
    }
    if (bitDepth != 24) return Fail(kFailed, "PSP: Unsupported bit depth");
    m_compression = compression;
    m_greyscale = greyscale;
    m_layerCount = layerCount;
    m_bitDepth = bitDepth;
    if (width != 0 && height != 0) {
        m_canvas.clear();
        m_width = m_height = 0;
        if (width < 0 || height < 0 || std::uint64_t(width) * std::uint64_t(height) > m_pixelLimit)
            return Fail(kFailed, kImageTooLarge);
        try {
            m_canvas.assign(std::size_t(width) * std::size_t(height) * 4,
                            m_transparentBackground ? 0 : 255);
        } catch (const std::bad_alloc&) {
            return Fail(kFailed, kImageTooLarge);
        }
        m_width = width;
        m_height = height;
    }
    return kLoaded;
}

bool CPspFile::ReadCreator(Reader& in, std::size_t end) {
    std::string found[4];
    bool have[4] = {false, false, false, false};
    while (in.Pos() < end) {
        const std::uint8_t* magic = in.Take(4);
        std::uint16_t id = 0;
        std::uint32_t length = 0;
        if (!magic || !in.U16(id) || !in.U32(length))
            return Fail(0, "PSP: Error reading creator keyword chunk"), false;
        if (std::memcmp(magic, kKeywordMagic, 4) != 0)
            return Fail(0, "PSP: Invalid keyword chunk header"), false;
        const std::uint8_t* data = in.Take(length);
        if (!data) return Fail(0, "PSP: Error reading creator keyword data"), false;
        int slot = -1;
        switch (id) {
        case 0:
            slot = 0;
            break; // title
        case 3:
            slot = 1;
            break; // artist
        case 4:
            slot = 2;
            break; // copyright
        case 5:
            slot = 3;
            break; // description
        default:
            break; // dates, application ids and unknown keywords
        }
        if (slot >= 0) {
            found[slot].assign(reinterpret_cast<const char*>(data), length);
            have[slot] = true;
        }
    }
    if (have[0]) m_title = found[0];
    if (have[1]) m_artist = found[1];
    if (have[2]) m_copyright = found[2];
    if (have[3]) m_description = found[3];
    return true;
}

bool CPspFile::ReadTube(Reader& in) {
    const char* const oldVersion = "PSP: Error reading tube data chunk - old version?";
    if (!OldLayout() && !in.Take(4)) return Fail(0, oldVersion), false;
    std::uint16_t version = 0;
    if (!in.U16(version)) return Fail(0, "PSP: Error reading tube data chunk - Version?"), false;
    if (OldLayout()) {
        const std::uint8_t* name = in.Take(513);
        if (!name)
            return Fail(0, "PSP: Error reading tube data chunk - old version, Tube name."), false;
        if (m_title.empty())
            m_title.assign(reinterpret_cast<const char*>(name),
                           std::find(name, name + 513, 0) - name);
    }
    std::array<std::int32_t, 6> values{};
    for (auto& v : values) {
        std::uint32_t u = 0;
        if (!in.U32(u)) return Fail(0, oldVersion), false;
        v = std::int32_t(u);
    }
    m_tube = values;
    return true;
}

int CPspFile::ReadLayerStart(Reader& in, std::size_t end) {
    while (in.Pos() < end) {
        BlockHeader layer;
        if (!ReadBlockHeader(in, layer)) return kFailedLater;
        if (layer.id != kLayerBlock) {
            const char* name = BlockName(layer.id);
            const std::string kind = name ? name : std::to_string(layer.id);
            return Fail(kFailedLater, "PSP: Invalid layer sub-block " + kind + ", should be LAYER");
        }
        if (const int r = ReadLayer(in, layer); r != kLoaded) return r;
        if (!in.Seek(layer.End())) return Fail(kFailed, "PSP: Seek error");
    }
    return kLoaded;
}

int CPspFile::ReadLayer(Reader& in, const BlockHeader& layerHeader) {
    const char* const infoChunk = "PSP: Error reading layer information chunk";
    if (!OldLayout()) {
        std::uint16_t nameLength = 0;
        if (!in.Take(4) || !in.U16(nameLength) || nameLength < 1)
            return Fail(kFailedLater, "PSP: Error reading layer information chunk #1");
        if (!in.Take(nameLength)) return Fail(kFailedLater, infoChunk);
    } else if (!in.Take(256)) {
        return Fail(kFailedLater, infoChunk);
    }
    // type, image rectangle, saved rectangle, opacity, blend mode, flags, transparency
    // protection, link group, mask rectangle, saved mask rectangle, mask linked, mask
    // disabled, then 43 bytes we do not use.
    const std::uint8_t* p = in.Take(1 + 16 + 16 + 1 + 1 + 1 + 1 + 1 + 16 + 16 + 1 + 1 + 43);
    if (!p) return Fail(kFailedLater, infoChunk);
    auto i32 = [p](int at) {
        return std::int32_t(std::uint32_t(p[at]) | (std::uint32_t(p[at + 1]) << 8) |
                            (std::uint32_t(p[at + 2]) << 16) | (std::uint32_t(p[at + 3]) << 24));
    };
    Layer layer;
    layer.left = i32(1);
    layer.top = i32(5);
    layer.savedLeft = i32(17);
    layer.savedTop = i32(21);
    const std::int64_t w = std::int64_t(i32(25)) - i32(17);
    const std::int64_t h = std::int64_t(i32(29)) - i32(21);
    layer.opacity = p[33];

    std::uint16_t bitmapCount = 0, channelCount = 0;
    if ((!OldLayout() && !in.Take(4)) || !in.U16(bitmapCount) || !in.U16(channelCount))
        return Fail(kFailedLater, "PSP: Error reading Layer Bitmap Chunk");

    // A layer with nothing saved is skipped; a reversed rectangle holds nothing either.
    layer.empty = w <= 0 || h <= 0;
    layer.width = layer.empty ? 1 : int(std::min<std::int64_t>(w, INT32_MAX));
    layer.height = layer.empty ? 1 : int(std::min<std::int64_t>(h, INT32_MAX));
    if (m_greyscale)
        layer.bytesPerPixel = 1;
    else
        layer.bytesPerPixel = (layer.empty || bitmapCount != 1) ? 4 : 3;

    if (OldLayout() && !in.Seek(std::uint64_t(layerHeader.dataStart) + layerHeader.initialLength))
        return Fail(kFailed, "PSP: Seek error");

    if (!layer.empty) {
        const std::uint64_t pixels = std::uint64_t(layer.width) * std::uint64_t(layer.height);
        if (pixels > m_pixelLimit) return Fail(kFailedLater, kImageTooLarge);
        // The work of a file is bounded as a whole: its layers share one pixel budget,
        // and a layer may not claim more pixels than its data can give (deflate, the
        // strongest of the file's compressions, packs at most 1032 bytes into one).
        m_layerPixels += pixels;
        const std::uint64_t layerEnd = std::min<std::uint64_t>(layerHeader.End(), in.Size());
        const std::uint64_t layerBytes = layerEnd > in.Pos() ? layerEnd - in.Pos() : 0;
        if (m_layerPixels > m_pixelLimit || pixels > (layerBytes + 64) * 1032)
            return Fail(kFailedLater, kImageTooLarge);
        try {
            layer.pixels.assign(std::size_t(pixels) * std::size_t(layer.bytesPerPixel), 0);
        } catch (const std::bad_alloc&) {
            return Fail(kFailedLater, kImageTooLarge);
        }
        // A layer that stores no transparency mask is opaque.
        if (layer.bytesPerPixel == 4)
            for (std::size_t i = 3; i < layer.pixels.size(); i += 4) layer.pixels[i] = 255;
    }

    const std::uint64_t layerEnd = layerHeader.End();
    while (in.Pos() < layerEnd) {
        BlockHeader channel;
        if (!ReadBlockHeader(in, channel)) return kFailedLater;
        if (channel.id != kChannelBlock)
            return Fail(kFailedLater, "PSP: Invalid layer sub-block should be CHANNEL");
        std::uint32_t compressedLength = 0, uncompressedLength = 0;
        std::uint16_t bitmapType = 0, channelType = 0;
        if ((!OldLayout() && !in.Take(4)) || !in.U32(compressedLength) ||
            !in.U32(uncompressedLength) || !in.U16(bitmapType) || !in.U16(channelType))
            return Fail(kFailedLater, "PSP: Error reading channel information chunk");
        if (bitmapType > 2)
            return Fail(kFailedLater, "PSP: Invalid bitmap type in channel information chunk");
        if (channelType > 3)
            return Fail(kFailedLater, "PSP: Invalid channel type in channel information chunk");
        if (OldLayout() && !in.Seek(std::uint64_t(channel.dataStart) + channel.initialLength))
            return Fail(kFailed, "PSP: Seek error");

        // Which byte of the layer pixel the channel fills; -1 reads past it.
        int k = -1;
        if (bitmapType == 1)
            k = layer.bytesPerPixel == 4 ? 3 : -1; // transparency mask
        else if (bitmapType == 0 && layer.bytesPerPixel == 1)
            k = 0; // the grey value
        else if (bitmapType == 0 && channelType >= 1)
            k = channelType - 1;
        if (!layer.empty && k >= 0 && k < layer.bytesPerPixel) {
            const std::size_t dataEnd =
                std::size_t(std::min<std::uint64_t>(channel.End(), in.Size()));
            if (!DecodeChannel(in, dataEnd, compressedLength, layer, k)) return kFailedLater;
        }
        if (!in.Seek(channel.End())) return Fail(kFailed, "PSP: Seek error");
    }

    if (!layer.empty && HasCanvas()) Composite(layer);
    return kLoaded;
}

bool CPspFile::DecodeChannel(Reader& in, std::size_t dataEnd, std::uint32_t compressedLength,
                             Layer& layer, int k) {
    const std::size_t w = std::size_t(layer.width), h = std::size_t(layer.height);
    const std::size_t n = w * h, b = std::size_t(layer.bytesPerPixel);
    std::uint8_t* out = layer.pixels.data() + k;
    const std::size_t available = dataEnd > in.Pos() ? dataEnd - in.Pos() : 0;

    if (m_compression == 0) {
        // Rows of w bytes, each padded to a multiple of four in the file.
        const std::size_t padded = (w + 3) & ~std::size_t(3);
        if (available / padded < h - 1 || available - (h - 1) * padded < w)
            return Fail(0, kChannelData), false;
        const std::uint8_t* src = in.Take(std::min(available, padded * h));
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x) out[(y * w + x) * b] = src[y * padded + x];
        return true;
    }

    if (m_compression == 1) {
        const std::uint8_t* src = in.Take(available);
        std::size_t at = 0, written = 0;
        while (written < n) {
            if (at >= available) return Fail(0, kChannelData), false;
            const unsigned c = src[at++];
            if (c <= 128) {
                if (c > available - at) return Fail(0, kChannelData), false;
                // A run that goes past the channel is cut at its end.
                const std::size_t take = std::min<std::size_t>(c, n - written);
                for (std::size_t i = 0; i < take; ++i) out[(written + i) * b] = src[at + i];
                at += c;
                written += take;
            } else {
                if (at >= available) return Fail(0, kChannelData), false;
                const std::uint8_t v = src[at++];
                const std::size_t take = std::min<std::size_t>(c - 128, n - written);
                for (std::size_t i = 0; i < take; ++i) out[(written + i) * b] = v;
                written += take;
            }
        }
        return true;
    }

    // zlib
    const std::size_t length = std::min<std::size_t>(compressedLength, available);
    const std::uint8_t* src = in.Take(length);
    std::vector<std::uint8_t> plain;
    try {
        plain.resize(n);
    } catch (const std::bad_alloc&) {
        return Fail(0, kImageTooLarge), false;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return Fail(0, "PSP: zlib error"), false;
    int status = Z_OK;
    std::size_t inLeft = length, outDone = 0;
    z.next_in = const_cast<Bytef*>(src);
    // zlib counts in 32-bit units; feed it in slices.
    while (status == Z_OK) {
        const uInt inSlice = uInt(std::min<std::size_t>(inLeft, 1u << 30));
        const uInt outSlice = uInt(std::min<std::size_t>(n - outDone, 1u << 30));
        z.avail_in = inSlice;
        z.next_out = plain.data() + outDone;
        z.avail_out = outSlice;
        status = inflate(&z, Z_NO_FLUSH);
        inLeft -= inSlice - z.avail_in;
        outDone += outSlice - z.avail_out;
        if (status == Z_OK && inSlice == z.avail_in && outSlice == z.avail_out) break; // stuck
        if (status == Z_BUF_ERROR) break;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) return Fail(0, "PSP: zlib error"), false;
    for (std::size_t i = 0; i < outDone; ++i) out[i * b] = plain[i];
    return true;
}

void CPspFile::Composite(const Layer& layer) {
    const std::int64_t originX = std::int64_t(layer.left) + layer.savedLeft;
    const std::int64_t originY = std::int64_t(layer.top) + layer.savedTop;
    const std::int64_t x0 = std::max<std::int64_t>(0, originX);
    const std::int64_t y0 = std::max<std::int64_t>(0, originY);
    const std::int64_t x1 = std::min<std::int64_t>(m_width, originX + layer.width);
    const std::int64_t y1 = std::min<std::int64_t>(m_height, originY + layer.height);
    const std::size_t b = std::size_t(layer.bytesPerPixel);
    for (std::int64_t y = y0; y < y1; ++y) {
        for (std::int64_t x = x0; x < x1; ++x) {
            const std::uint8_t* s =
                layer.pixels.data() +
                (std::size_t(y - originY) * std::size_t(layer.width) + std::size_t(x - originX)) *
                    b;
            std::uint8_t* d =
                m_canvas.data() + (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 4;
            if (b == 1) {
                d[0] = d[1] = d[2] = s[0];
                d[3] = 255;
            } else if (b == 3) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
                d[3] = 255;
            } else {
                const double as = std::max(int(s[3]) + layer.opacity - 255, 0) / 255.0;
                const double ad = d[3] / 255.0;
                const double k = as + (1 - as) * ad;
                if (k > 0)
                    for (int c = 0; c < 3; ++c)
                        d[c] = std::uint8_t(int((s[c] * as + ad * d[c] * (1 - as)) / k));
                d[3] = std::uint8_t(int(std::min(k * 255, 255.0)));
            }
        }
    }
}

} // namespace quiltara
