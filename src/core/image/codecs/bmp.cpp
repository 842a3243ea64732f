// Windows bitmap: reading 1/4/8/16/24/32-bit files, RLE4 and RLE8, bit fields and
// top-down rows; writing 24-bit and 8-bit with a colour table.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace quiltara {

namespace {

constexpr std::uint32_t kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3, kAlphaBitFields = 6;

struct Mask {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
    explicit Mask(std::uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!(m & 1)) m >>= 1, ++shift;
        max = m; // the field's largest value (holes in the mask are taken as set)
    }
    std::uint8_t Get(std::uint32_t v) const {
        if (!max) return 0;
        const std::uint64_t f = (v & mask) >> shift;
        return std::uint8_t((f * 255 + max / 2) / max > 255 ? 255 : (f * 255 + max / 2) / max);
    }
};

// RLE8/RLE4 into an index picture in file row order (bottom row first). Skipped
// pixels keep index 0. Every step consumes input, so the loop always ends. Gives the
// number of leading file rows the data held: h when it reached its end, fewer when
// it stopped early.
int DecodeRLE(const std::uint8_t* p, std::size_t n, int w, int h, bool four,
              std::vector<std::uint8_t>& out) {
    int x = 0, y = 0;
    std::size_t i = 0;
    auto put = [&](int v) {
        if (x < w && y < h) out[std::size_t(y) * w + x] = std::uint8_t(v);
        ++x;
    };
    auto heldRows = [&] { return x >= w ? y + 1 : y; };
    while (i + 1 < n) {
        const int count = p[i], value = p[i + 1];
        i += 2;
        if (count) {
            for (int k = 0; k < count && x < w; ++k)
                put(four ? (k & 1 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0, ++y;
            if (y >= h) return h;
        } else if (value == 1) { // end of bitmap
            return h;
        } else if (value == 2) { // delta
            if (i + 1 >= n) return heldRows();
            x += p[i], y += p[i + 1];
            i += 2;
            if (y >= h) return h;
        } else { // absolute run of value pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (std::size_t(value) + 1) / 2 : std::size_t(value);
            for (int k = 0; k < value && std::size_t(four ? k / 2 : k) < n - i; ++k) {
                const int b = p[i + (four ? k / 2 : k)];
                if (x < w) put(four ? (k & 1 ? b & 15 : b >> 4) : b);
            }
            if (bytes > n - i) return heldRows();
            i += (bytes + 1) & ~std::size_t(1);
        }
    }
    return std::min(heldRows(), h);
}

// Unpacks a row of 1-, 4- or 8-bit indices (the first pixel in the high bits).
void UnpackIndices(const std::uint8_t* s, int bpp, int w, std::uint8_t* index) {
    if (bpp == 8) {
        std::memcpy(index, s, std::size_t(w));
    } else if (bpp == 4) {
        int x = 0;
        for (; x + 1 < w; x += 2, ++s) index[x] = *s >> 4, index[x + 1] = *s & 15;
        if (x < w) index[x] = *s >> 4;
    } else {
        for (int x = 0; x < w; ++x) index[x] = (s[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void MapIndices(const std::uint8_t* index, int w, const PaletteEntry* table, std::uint8_t* d) {
    for (int x = 0; x < w; ++x, d += 3) {
        const PaletteEntry& e = table[index[x]];
        d[0] = e.r, d[1] = e.g, d[2] = e.b;
    }
}

// One row of 16-, 24- or 32-bit pixels to red, green, blue.
void ConvertRow(const std::uint8_t* s, int bpp, int w, const Mask& red, const Mask& green,
                const Mask& blue, std::uint8_t* d) {
    switch (bpp) {
    case 24:
        for (int x = 0; x < w; ++x, s += 3, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
        break;
    case 16:
        for (int x = 0; x < w; ++x, s += 2, d += 3) {
            const std::uint32_t v = s[0] | s[1] << 8;
            d[0] = red.Get(v), d[1] = green.Get(v), d[2] = blue.Get(v);
        }
        break;
    case 32:
        if (red.mask == 0xFF0000 && green.mask == 0xFF00 && blue.mask == 0xFF) {
            for (int x = 0; x < w; ++x, s += 4, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
        } else {
            for (int x = 0; x < w; ++x, s += 4, d += 3) {
                const std::uint32_t v = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 |
                                        std::uint32_t(s[2]) << 16 | std::uint32_t(s[3]) << 24;
                d[0] = red.Get(v), d[1] = green.Get(v), d[2] = blue.Get(v);
            }
        }
        break;
    }
}

} // namespace

ReadResult DecodeDIB(const std::uint8_t* data, std::size_t size, std::size_t headerOffset,
                     std::size_t bitsOffset, unsigned errorCode) {
    auto fail = [](unsigned code) { return ReadResult::Failure(code); };
    ReadResult result;
    CByteReader r(data, size, headerOffset);
    const std::uint32_t headerSize = r.U32LE();
    if (!r.Ok() || headerSize < 12 || headerSize > size - headerOffset) return fail(errorCode);
    long long w, h;
    int bpp;
    std::uint32_t compression = kRGB, colorsUsed = 0;
    bool core = headerSize < 16;
    if (core) {
        w = r.U16LE(), h = r.U16LE();
        r.U16LE();
        bpp = r.U16LE();
    } else {
        w = r.S32LE(), h = r.S32LE();
        r.U16LE();
        bpp = r.U16LE();
        if (headerSize >= 20) compression = r.U32LE();
        if (headerSize >= 32) {
            r.U32LE();
            const std::uint32_t xppm = r.U32LE(), yppm = r.U32LE();
            colorsUsed = r.U32LE();
            if (xppm && yppm && xppm < 1000000 && yppm < 1000000)
                result.resolution = {int((xppm * 254 + 5000) / 10000),
                                     int((yppm * 254 + 5000) / 10000)};
        }
    }
    if (!r.Ok()) return fail(errorCode);
    const bool topDown = h < 0;
    if (topDown) h = -h;
    if (w <= 0 || h <= 0) return fail(errorCode);

    // Masks follow a 40-byte header; later headers hold them inside.
    std::size_t tablePos = headerOffset + headerSize;
    Mask red, green, blue;
    if (compression == kBitFields || compression == kAlphaBitFields) {
        if (bpp != 16 && bpp != 32) return fail(errorCode);
        std::size_t maskPos = headerOffset + 40;
        CByteReader m(data, size, maskPos);
        red = Mask(m.U32LE()), green = Mask(m.U32LE()), blue = Mask(m.U32LE());
        if (!m.Ok()) return fail(errorCode);
        if (headerSize == 40) tablePos += compression == kAlphaBitFields ? 16 : 12;
    } else if (bpp == 16) {
        red = Mask(0x7C00), green = Mask(0x03E0), blue = Mask(0x001F);
    } else if (bpp == 32) {
        red = Mask(0xFF0000), green = Mask(0xFF00), blue = Mask(0xFF);
    }
    if (compression == kRLE8 && bpp != 8) return fail(errorCode);
    if (compression == kRLE4 && bpp != 4) return fail(errorCode);
    if (compression > kBitFields && compression != kAlphaBitFields) return fail(kErrRLEVariant);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(errorCode);

    // Colour table.
    PaletteEntry table[256]{};
    if (bpp <= 8) {
        const std::size_t maxEntries = std::size_t(1) << bpp;
        std::size_t entries = colorsUsed && colorsUsed < maxEntries ? colorsUsed : maxEntries;
        const std::size_t entrySize = core ? 3 : 4;
        CByteReader t(data, size, tablePos);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = t.Take(entrySize);
            if (!e) break; // short tables are common; missing entries stay black
            table[i] = {e[2], e[1], e[0]};
        }
        const std::size_t stored = colorsUsed && colorsUsed <= 4096 ? colorsUsed : maxEntries;
        if (!bitsOffset) bitsOffset = tablePos + stored * entrySize;
    } else if (!bitsOffset) {
        bitsOffset = tablePos;
    }
    if (bitsOffset >= size) return fail(errorCode);
    const std::uint8_t* bits = data + bitsOffset;
    const std::size_t available = size - bitsOffset;

    const bool rle = compression == kRLE8 || compression == kRLE4;
    const std::uint64_t stride = ((std::uint64_t(w) * bpp + 31) / 32) * 4;
    const std::uint64_t rowBytes = (std::uint64_t(w) * bpp + 7) / 8;
    // Rows of a plain file are held when their pixels are there (writers often leave
    // out the last row's padding); a cut file must still hold what its size claims at
    // eight pixels a byte.
    long long held = h;
    if (!rle && stride * std::uint64_t(h - 1) + rowBytes > available) {
        held = available < rowBytes ? 0 : (long long)((available - rowBytes) / stride + 1);
        if (held == 0) return fail(errorCode);
        if (const CodecStatus fits = CheckDataCanFill(w, h, available, 8); !fits)
            return ReadResult::Failure(fits);
    }
    if (rle && topDown) return fail(kErrRLEVariant);
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, errorCode); !allocated)
        return ReadResult::Failure(allocated);
    std::uint8_t* const out = result.pixels.data();
    const int iw = int(w), ih = int(h);
    result.width = iw, result.height = ih;

    std::vector<std::uint8_t> index;
    try {
        index.assign(rle ? std::size_t(iw) * ih : bpp <= 8 ? std::size_t(iw) : 0, 0);
    } catch (const std::bad_alloc&) {
        return fail(kErrOutOfMemory);
    }
    if (rle) {
        held = DecodeRLE(bits, available, iw, ih, compression == kRLE4, index);
        if (held == 0) return fail(errorCode);
        for (int row = 0; row < held; ++row)
            MapIndices(index.data() + std::size_t(row) * iw, iw, table,
                       out + std::size_t(ih - 1 - row) * iw * 3);
    } else {
        for (int row = 0; row < held; ++row) {
            const std::uint8_t* s = bits + std::size_t(stride) * row;
            std::uint8_t* d = out + std::size_t(topDown ? row : ih - 1 - row) * iw * 3;
            if (bpp <= 8) {
                UnpackIndices(s, bpp, iw, index.data());
                MapIndices(index.data(), iw, table, d);
            } else {
                ConvertRow(s, bpp, iw, red, green, blue, d);
            }
        }
    }
    // The rows the file did not hold: at the bottom of a top-down picture, else at the top.
    if (held < h) {
        if (topDown)
            result.MarkMissing(int(held), ih - 1);
        else
            result.MarkMissing(0, ih - 1 - int(held));
    }
    return result;
}

bool IsBMP(const std::uint8_t* data, std::size_t size) {
    return size >= 18 && data[0] == 'B' && data[1] == 'M';
}

ReadResult ReadBMP(const CSource& source) {
    if (!IsBMP(source.Data(), source.Size())) return ReadResult::Failure(kErrBadBMP);
    CByteReader r(source.Data(), source.Size(), 10);
    const std::uint32_t bitsOffset = r.U32LE();
    if (!r.Ok() || bitsOffset < 14 + 12) return ReadResult::Failure(kErrBadBMP);
    return DecodeDIB(source.Data(), source.Size(), 14, bitsOffset, kErrBadBMP);
}

namespace {

// The loops below are plain byte moves the compiler vectorises; with AVX2 where the
// machine has it.
#if defined(__x86_64__)
#define QUILTARA_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUILTARA_CLONES
#endif

// n pixels of 3 or 4 bytes (blue, green, red[, unused]) as blue, green, red, alpha.
QUILTARA_CLONES void ExpandRow(const std::uint8_t* s, int step, std::uint8_t* d, int n,
                               std::uint8_t alpha) {
    if (step == 3)
        for (int x = 0; x < n; ++x, s += 3, d += 4)
            d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = alpha;
    else
        for (int x = 0; x < n; ++x, s += 4, d += 4)
            d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = alpha;
}

// n pixels of 4 bytes as their first three.
QUILTARA_CLONES void PackRow(const std::uint8_t* s, std::uint8_t* d, int n) {
    for (int x = 0; x < n; ++x, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
}

bool ReadAllAt(int fd, std::uint8_t* p, std::size_t left, std::uint64_t at) {
    while (left) {
        const ssize_t n = ::pread(fd, p, left, off_t(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n, left -= std::size_t(n), at += std::uint64_t(n);
    }
    return true;
}

} // namespace

CPlainBmpFile::~CPlainBmpFile() {
    if (m_fd >= 0) ::close(m_fd);
}

bool CPlainBmpFile::Open(const std::string& path) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return false;
    struct stat info {};
    const bool plain = ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode) && Parse(info);
    if (!plain) ::close(m_fd), m_fd = -1;
    return plain;
}

bool CPlainBmpFile::Parse(const struct stat& info) {
    const std::uint64_t size = std::uint64_t(info.st_size);
    std::uint8_t head[54];
    if (size > (std::uint64_t(1) << 31)) return false; // as OpenSource
    if (size < sizeof head || !ReadAllAt(m_fd, head, sizeof head, 0)) return false;
    CByteReader r(head, sizeof head, 10);
    const std::uint32_t bitsOffset = r.U32LE(), headerSize = r.U32LE();
    const long long w = r.S32LE();
    long long h = r.S32LE();
    r.U16LE();
    const int bpp = r.U16LE();
    const std::uint32_t compression = r.U32LE();
    r.U32LE();
    const std::uint32_t xppm = r.U32LE(), yppm = r.U32LE();
    // Only a file the general reader would read the same way, whole: "BM", an info
    // header or a later one, 24 or 32 bits without masks, every row there.
    if (!IsBMP(head, sizeof head) || headerSize < 40 || headerSize > size - 14 ||
        bitsOffset < 14 + headerSize || compression != kRGB || (bpp != 24 && bpp != 32))
        return false;
    m_topDown = h < 0;
    if (m_topDown) h = -h;
    if (w <= 0 || h <= 0 || w > kMaxCodecDimension || h > kMaxCodecDimension ||
        std::uint64_t(w) * std::uint64_t(h) > CodecPixelLimit())
        return false;
    m_stride = ((std::uint64_t(w) * bpp + 31) / 32) * 4;
    m_rowBytes = std::uint64_t(w) * std::uint64_t(bpp / 8);
    if (bitsOffset > size || m_stride * std::uint64_t(h - 1) + m_rowBytes > size - bitsOffset)
        return false;
    m_width = int(w), m_height = int(h), m_bytesPerPixel = bpp / 8, m_bitsOffset = bitsOffset;
    if (xppm && yppm && xppm < 1000000 && yppm < 1000000)
        m_resolution = {int((xppm * 254 + 5000) / 10000), int((yppm * 254 + 5000) / 10000)};
    return true;
}

bool CPlainBmpFile::ReadRows(int first, int count, std::uint8_t* const* rows, std::uint8_t alpha,
                             std::vector<std::uint8_t>& scratch) const {
    if (m_fd < 0 || first < 0 || count <= 0 || first + count > m_height) return false;
    // The rows lie together in the file: from the first's up in a top-down file, else
    // from the last's.
    const int fileFirst = m_topDown ? first : m_height - first - count;
    const std::size_t bytes = std::size_t(m_stride * std::uint64_t(count - 1) + m_rowBytes);
    try {
        if (scratch.size() < bytes) scratch.resize(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!ReadAllAt(m_fd, scratch.data(), bytes, m_bitsOffset + m_stride * std::uint64_t(fileFirst)))
        return false;
    for (int k = 0; k < count; ++k)
        ExpandRow(scratch.data() + m_stride * std::uint64_t(k), m_bytesPerPixel,
                  rows[m_topDown ? k : count - 1 - k], m_width, alpha);
    return true;
}

PlainBmpRead ReadPlainBMPFile(const std::string& path, std::uint8_t alpha,
                              const std::function<std::uint8_t* const*(int, int)>& prepare,
                              Resolution& resolution) {
    CPlainBmpFile file;
    if (!file.Open(path)) return PlainBmpRead::kNotPlain;
    const int w = file.Width(), h = file.Height();
    std::uint8_t* const* rows = nullptr;
    std::vector<std::uint8_t> chunk;
    try {
        rows = prepare(w, h);
        chunk.reserve(std::max<std::size_t>(std::size_t(w) * 4 + 4, std::size_t(1) << 20));
    } catch (const std::bad_alloc&) {
        return PlainBmpRead::kOutOfMemory;
    }
    if (!rows) return PlainBmpRead::kOutOfMemory;
    const int perChunk = std::max(1, int((std::size_t(1) << 20) / (std::size_t(w) * 4 + 4)));
    for (int first = 0; first < h; first += perChunk) {
        const int count = std::min(perChunk, h - first);
        if (!file.ReadRows(first, count, rows + first, alpha, chunk)) return PlainBmpRead::kChanged;
    }
    resolution = file.GetResolution();
    return PlainBmpRead::kRead;
}

namespace {

// fillRow(y, row) puts the stored bytes of picture row y (0 at the top) into row.
template <typename FillRow>
CodecStatus WriteBmpFile(CSink& sink, int width, int height, int bpp, const Palette256* palette,
                         FillRow fillRow) {
    if (width <= 0 || height <= 0) return kErrBadParam;
    const std::size_t stride = ((std::size_t(width) * bpp + 31) / 32) * 4;
    const std::size_t tableSize = palette ? 256 * 4 : 0;
    const std::uint64_t imageSize = std::uint64_t(stride) * height;
    if (imageSize + 54 + tableSize > 0xFFFFFFFFu) return kErrBadParam;
    std::vector<std::uint8_t> head;
    head.reserve(54 + tableSize);
    head.push_back('B'), head.push_back('M');
    PutLE32(head, std::uint32_t(54 + tableSize + imageSize));
    PutLE32(head, 0);
    PutLE32(head, std::uint32_t(54 + tableSize));
    PutLE32(head, 40);
    PutLE32(head, std::uint32_t(width));
    PutLE32(head, std::uint32_t(height));
    PutLE16(head, 1);
    PutLE16(head, unsigned(bpp));
    PutLE32(head, 0);
    PutLE32(head, std::uint32_t(imageSize));
    PutLE32(head, 3780), PutLE32(head, 3780); // 96 dots per inch
    PutLE32(head, palette ? 256 : 0);
    PutLE32(head, 0);
    if (palette)
        for (const PaletteEntry& e : *palette)
            head.push_back(e.b), head.push_back(e.g), head.push_back(e.r), head.push_back(0);
    sink.Reserve(head.size() + std::size_t(imageSize));
    bool ok = sink.Write(head.data(), head.size());
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = height - 1; ok && y >= 0; --y) {
        fillRow(y, row.data());
        ok = sink.Write(row.data(), stride);
    }
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace

CodecStatus WriteBMP(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (!rgb) return kErrBadParam;
    return WriteBmpFile(sink, width, height, 24, nullptr, [&](int y, std::uint8_t* d) {
        const std::uint8_t* s = rgb + std::size_t(y) * std::size_t(width) * 3;
        for (int x = 0; x < width; ++x, s += 3, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
    });
}

CodecStatus WriteBMPFromBGRA(CSink& sink, int width, int height,
                             const std::function<const std::uint8_t*(int)>& row) {
    return WriteBmpFile(sink, width, height, 24, nullptr,
                        [&](int y, std::uint8_t* d) { PackRow(row(y), d, width); });
}

CodecStatus WriteBMP8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette) {
    if (!indices) return kErrBadParam;
    return WriteBmpFile(sink, width, height, 8, &palette, [&](int y, std::uint8_t* d) {
        std::memcpy(d, indices + std::size_t(y) * std::size_t(width), std::size_t(width));
    });
}

std::vector<std::uint8_t> MakePackedDIB24(const std::uint8_t* rgb, int width, int height) {
    CSink sink;
    if (!WriteBMP(sink, rgb, width, height)) return {};
    return std::vector<std::uint8_t>(sink.Bytes().begin() + 14, sink.Bytes().end());
}

} // namespace quiltara
