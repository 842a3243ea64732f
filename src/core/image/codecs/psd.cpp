// Photoshop: reading the composite picture (bitmap, gray, indexed, RGB, CMYK, Lab,
// duotone and multichannel; 1, 8, 16 and 32 bits; raw, PackBits or ZIP rows, with or
// without prediction; large-document files too); writing 24-bit RGB composites.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <zlib.h>

namespace quiltara {

bool IsPSD(const std::uint8_t* data, std::size_t size) {
    return size >= 26 && std::memcmp(data, "8BPS", 4) == 0 && (data[5] == 1 || data[5] == 2) &&
           data[4] == 0;
}

namespace {

enum {
    kBitmap = 0,
    kGray = 1,
    kIndexed = 2,
    kRGB = 3,
    kCMYK = 4,
    kMultichannel = 7,
    kDuotone = 8,
    kLab = 9
};
enum { kRaw = 0, kPackBits = 1, kZip = 2, kZipPredicted = 3 };

// Inflates a ZIP-coded composite into out (its size the bytes wanted). Gives the
// bytes inflated (fewer than wanted when the data ends early), or -1 when the stream
// is damaged.
long long Inflate(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return -1;
    z.next_in = const_cast<Bytef*>(data);
    std::size_t inLeft = size, outDone = 0;
    int status = Z_OK;
    while (status == Z_OK && outDone < out.size()) {
        const auto inChunk = uInt(std::min<std::size_t>(inLeft, 1u << 30));
        const auto outChunk = uInt(std::min<std::size_t>(out.size() - outDone, 1u << 30));
        z.avail_in = inChunk, z.next_out = out.data() + outDone, z.avail_out = outChunk;
        status = inflate(&z, Z_NO_FLUSH);
        inLeft -= inChunk - z.avail_in, outDone += outChunk - z.avail_out;
        if (status == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    inflateEnd(&z);
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR) return -1;
    return (long long)outDone;
}

// Undoes the horizontal prediction of ZIP-coded rows: every sample holds its
// difference from the one before it (16-bit samples big-endian).
bool Unpredict(std::uint8_t* planes, std::size_t size, std::size_t rowBytes, int depth) {
    for (std::size_t row = 0; row + rowBytes <= size; row += rowBytes) {
        std::uint8_t* d = planes + row;
        if (depth == 8) {
            for (std::size_t x = 1; x < rowBytes; ++x) d[x] = std::uint8_t(d[x] + d[x - 1]);
        } else if (depth == 16) {
            for (std::size_t x = 2; x + 1 < rowBytes; x += 2) {
                const unsigned v =
                    (unsigned(d[x]) << 8 | d[x + 1]) + (unsigned(d[x - 2]) << 8 | d[x - 1]);
                d[x] = std::uint8_t(v >> 8), d[x + 1] = std::uint8_t(v);
            }
        } else {
            return false; // 32-bit prediction shuffles bytes: not read
        }
    }
    return true;
}

// CIE L*a*b* (D50, as Photoshop stores it: L 0..255 for 0..100, a and b offset by
// 128) to sRGB, in place.
void LabToRGB(std::uint8_t* p, std::size_t count) {
    auto f = [](double t) {
        return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29);
    };
    auto gamma = [](double v) {
        v = std::clamp(v, 0.0, 1.0);
        v = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
        return std::uint8_t(v * 255 + 0.5);
    };
    for (std::size_t i = 0; i < count; ++i, p += 3) {
        const double L = p[0] * 100.0 / 255, a = p[1] - 128.0, b = p[2] - 128.0;
        const double fy = (L + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
        const double X = 0.9642 * f(fx), Y = f(fy), Z = 0.8249 * f(fz);
        // XYZ (D50) to linear sRGB, adapted with Bradford.
        const double r = 3.1338561 * X - 1.6168667 * Y - 0.4906146 * Z;
        const double g = -0.9787684 * X + 1.9161415 * Y + 0.0334540 * Z;
        const double bl = 0.0719453 * X - 0.2289914 * Y + 1.4052427 * Z;
        p[0] = gamma(r), p[1] = gamma(g), p[2] = gamma(bl);
    }
}

// Decodes one PackBits row; missing bytes stay zero. False when the row's data
// codes more bytes than the row holds (tolerated by clipping) is not an error.
void UnpackBits(const std::uint8_t* s, std::size_t n, std::uint8_t* d, std::size_t rowBytes) {
    std::size_t i = 0, o = 0;
    while (i < n && o < rowBytes) {
        const int c = s[i++];
        if (c < 128) {
            std::size_t len = std::size_t(c) + 1;
            if (len > n - i) len = n - i;
            if (len > rowBytes - o) len = rowBytes - o;
            std::memcpy(d + o, s + i, len);
            i += std::size_t(c) + 1, o += len;
        } else if (c > 128) {
            if (i >= n) break;
            std::size_t len = std::size_t(257 - c);
            if (len > rowBytes - o) len = rowBytes - o;
            std::memset(d + o, s[i++], len);
            o += len;
        }
    }
    if (o < rowBytes) std::memset(d + o, 0, rowBytes - o);
}

// One row of a channel at any depth to 8 bits.
void RowTo8(const std::uint8_t* s, int depth, int width, std::uint8_t* d) {
    switch (depth) {
    case 1:
        // Bitmap mode: a set bit is black.
        for (int x = 0; x < width; ++x) d[x] = (s[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
        break;
    case 8:
        std::memcpy(d, s, std::size_t(width));
        break;
    case 16:
        for (int x = 0; x < width; ++x) d[x] = s[2 * x];
        break;
    case 32:
        for (int x = 0; x < width; ++x) {
            const std::uint32_t b = std::uint32_t(s[4 * x]) << 24 |
                                    std::uint32_t(s[4 * x + 1]) << 16 |
                                    std::uint32_t(s[4 * x + 2]) << 8 | s[4 * x + 3];
            float f;
            std::memcpy(&f, &b, 4);
            d[x] = !(f > 0.0f) ? 0 : f >= 1.0f ? 255 : std::uint8_t(f * 255.0f + 0.5f);
        }
        break;
    }
}

} // namespace

ReadResult ReadPSD(const CSource& source) {
    auto fail = [](unsigned code) { return ReadResult::Failure(code); };
    const std::uint8_t* data = source.Data();
    const std::size_t size = source.Size();
    if (!IsPSD(data, size)) return fail(kErrBadPSD);
    CByteReader r(data, size, 4);
    const bool large = r.U16BE() == 2;
    r.Skip(6);
    const int channels = r.U16BE();
    const std::uint32_t h = r.U32BE(), w = r.U32BE();
    const int depth = r.U16BE(), mode = r.U16BE();
    const std::uint32_t maxSide = large ? 300000 : 30000;
    if (!r.Ok() || channels < 1 || channels > 56 || w == 0 || h == 0 || w > maxSide || h > maxSide)
        return fail(kErrBadPSD);
    if (depth != 1 && depth != 8 && depth != 16 && depth != 32) return fail(kErrBitDepth);
    if ((depth == 1) != (mode == kBitmap)) return fail(kErrBitDepth);

    int needed; // channels that make the composite
    switch (mode) {
    case kBitmap:
    case kGray:
    case kIndexed:
    case kMultichannel:
    case kDuotone:
        needed = 1;
        break;
    case kRGB:
    case kLab:
        needed = 3;
        break;
    case kCMYK:
        needed = 4;
        break;
    default:
        return fail(kErrBitDepth);
    }
    if (channels < needed) return fail(kErrBadPSD);

    // Colour mode data (the palette of indexed pictures), image resources, layers.
    const std::uint32_t modeLength = r.U32BE();
    const std::size_t modeStart = r.Pos();
    if (!r.Skip(modeLength)) return fail(kErrBadPSD);
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    if (mode == kIndexed) {
        if (modeLength < 768) return fail(kErrBadPSD);
        for (int i = 0; i < 256; ++i)
            palette[i] = {data[modeStart + i], data[modeStart + 256 + i],
                          data[modeStart + 512 + i]};
    }
    if (!r.Skip(r.U32BE())) return fail(kErrBadPSD);
    std::uint64_t layersLength = large ? std::uint64_t(r.U32BE()) << 32 | r.U32BE() : r.U32BE();
    if (!r.Ok() || layersLength > r.Remaining() || !r.Skip(std::size_t(layersLength)))
        return fail(kErrBadPSD);
    const int compression = r.U16BE();
    if (!r.Ok()) return fail(kErrBadPSD);
    if (compression > kZipPredicted) return fail(kErrRLEVariant);

    const std::size_t rowBytes = (std::size_t(w) * depth + 7) / 8;
    const std::size_t rows = std::size_t(h) * channels;
    const std::size_t needRows = std::size_t(h) * needed;
    // The channel rows the file holds: all of them unless it ends early. A composite row
    // is there when every channel has it; channels are stored one after the other, so
    // the last channel's rows count.
    std::size_t rowsThere = needRows;
    std::vector<std::uint8_t> inflated;            // the planes of a ZIP-coded composite
    std::vector<std::size_t> rowOffset, rowLength; // PackBits rows
    const std::uint64_t dataBytes = std::uint64_t(rowBytes) * needRows;
    if (compression >= kZip) {
        // Deflate packs at most 1032 bytes into one.
        if (dataBytes > (std::uint64_t(r.Remaining()) + 64) * 1032) {
            return ReadResult::Failure(CodecStatus(
                kErrTooLarge, TooLargeText(w, h,
                                           (std::uint64_t(r.Remaining()) + 64) * 1032 * 8 /
                                               (std::uint64_t(depth) * std::uint64_t(needed)))));
        }
        try {
            inflated.resize(rowBytes * needRows);
        } catch (const std::bad_alloc&) {
            return fail(kErrOutOfMemory);
        }
        const long long done = Inflate(r.Here(), r.Remaining(), inflated);
        if (done < 0) return fail(kErrBadPSD);
        rowsThere = std::size_t(done) / rowBytes;
        if (compression == kZipPredicted &&
            !Unpredict(inflated.data(), rowsThere * rowBytes, rowBytes, depth))
            return fail(kErrRLEVariant);
    } else if (compression == kRaw) {
        if (dataBytes > r.Remaining()) {
            // A cut file must still hold what its size claims at eight pixels a byte.
            if (const CodecStatus fits = CheckDataCanFill(w, h, r.Remaining(), 8); !fits)
                return ReadResult::Failure(fits);
            rowsThere = r.Remaining() / rowBytes;
        }
    } else {
        const std::size_t countBytes = large ? 4 : 2;
        if (std::uint64_t(rows) * countBytes > r.Remaining()) return fail(kErrBadPSD);
        // Every PackBits pair gives at most 128 bytes: refuse sizes the data cannot hold.
        if (dataBytes > std::uint64_t(r.Remaining()) * 64) {
            return ReadResult::Failure(CodecStatus(
                kErrTooLarge, TooLargeText(w, h,
                                           std::uint64_t(r.Remaining()) * 64 * 8 /
                                               (std::uint64_t(depth) * std::uint64_t(needed)))));
        }
        try {
            rowOffset.resize(needRows);
            rowLength.resize(needRows);
        } catch (const std::bad_alloc&) {
            return fail(kErrOutOfMemory);
        }
        CByteReader counts(data, size, r.Pos());
        std::size_t offset = r.Pos() + rows * countBytes;
        for (std::size_t i = 0; i < needRows; ++i) {
            const std::uint32_t n = large ? counts.U32BE() : counts.U16BE();
            if (n > size - offset) { // the file ends in this row
                rowsThere = i;
                break;
            }
            rowOffset[i] = offset - r.Pos(), rowLength[i] = n;
            offset += n;
        }
    }
    const std::size_t lastChannelStart = std::size_t(h) * (needed - 1);
    const std::uint32_t held =
        rowsThere <= lastChannelStart ? 0 : std::uint32_t(rowsThere - lastChannelStart);
    if (held == 0) return fail(kErrBadPSD); // not one whole row in the file

    ReadResult result;
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadPSD);
        !allocated)
        return ReadResult::Failure(allocated);
    std::vector<std::uint8_t> unpacked, eight;
    try {
        if (compression == kPackBits) unpacked.resize(rowBytes * std::size_t(needed));
        if (depth != 8) eight.resize(std::size_t(w) * std::size_t(needed));
    } catch (const std::bad_alloc&) {
        return fail(kErrOutOfMemory);
    }
    const std::uint8_t* planes = compression == kRaw ? r.Here() : inflated.data();

    // One composite row at a time: every channel's row in 8 bits, then combined.
    for (std::uint32_t y = 0; y < held; ++y) {
        const std::uint8_t* ch[4] = {};
        for (int c = 0; c < needed; ++c) {
            const std::size_t i = std::size_t(c) * h + y;
            const std::uint8_t* s;
            if (compression == kPackBits) {
                std::uint8_t* u = unpacked.data() + std::size_t(c) * rowBytes;
                UnpackBits(r.Here() + rowOffset[i], rowLength[i], u, rowBytes);
                s = u;
            } else {
                s = planes + i * rowBytes;
            }
            if (depth != 8) {
                std::uint8_t* e = eight.data() + std::size_t(c) * w;
                RowTo8(s, depth, int(w), e);
                s = e;
            }
            ch[c] = s;
        }
        std::uint8_t* d = result.pixels.data() + std::size_t(y) * w * 3;
        if (needed == 1) {
            const std::uint8_t* v = ch[0];
            for (std::uint32_t x = 0; x < w; ++x, d += 3) {
                const PaletteEntry& e = palette[v[x]];
                d[0] = e.r, d[1] = e.g, d[2] = e.b;
            }
        } else if (mode == kCMYK) {
            // CMYK channels are stored inverted (255 is no ink).
            const std::uint8_t *c0 = ch[0], *c1 = ch[1], *c2 = ch[2], *k = ch[3];
            for (std::uint32_t x = 0; x < w; ++x, d += 3)
                d[0] = std::uint8_t((c0[x] * k[x] + 127) / 255),
                d[1] = std::uint8_t((c1[x] * k[x] + 127) / 255),
                d[2] = std::uint8_t((c2[x] * k[x] + 127) / 255);
        } else {
            const std::uint8_t *c0 = ch[0], *c1 = ch[1], *c2 = ch[2];
            for (std::uint32_t x = 0; x < w; ++x, d += 3) d[0] = c0[x], d[1] = c1[x], d[2] = c2[x];
            if (mode == kLab) LabToRGB(result.pixels.data() + std::size_t(y) * w * 3, w);
        }
    }
    result.width = int(w), result.height = int(h);
    result.MarkMissingFrom(int(held));
    return result;
}

CodecStatus WritePSD(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, 30000); !args) return args;
    std::vector<std::uint8_t> head;
    head.insert(head.end(), {'8', 'B', 'P', 'S'});
    PutBE16(head, 1);
    for (int i = 0; i < 6; ++i) head.push_back(0); // reserved
    PutBE16(head, 3);
    PutBE32(head, std::uint32_t(height));
    PutBE32(head, std::uint32_t(width));
    PutBE16(head, 8);
    PutBE16(head, kRGB);
    PutBE32(head, 0); // colour mode data
    PutBE32(head, 0); // image resources
    PutBE32(head, 0); // layers and masks
    PutBE16(head, 0); // raw composite
    const std::size_t plane = std::size_t(width) * height;
    sink.Reserve(head.size() + plane * 3);
    bool ok = sink.Write(head.data(), head.size());
    std::vector<std::uint8_t> buffer(std::min<std::size_t>(plane, 1 << 16));
    for (int c = 0; c < 3 && ok; ++c) {
        for (std::size_t i = 0; i < plane && ok;) {
            const std::size_t n = std::min(buffer.size(), plane - i);
            const std::uint8_t* s = rgb + 3 * i + c;
            for (std::size_t k = 0; k < n; ++k) buffer[k] = s[3 * k];
            ok = sink.Write(buffer.data(), n);
            i += n;
        }
    }
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
