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

// Inflates a ZIP-coded composite into out (its size the bytes wanted); false when the
// stream is bad or ends before out is full.
bool Inflate(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
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
    return outDone == out.size();
}

// Undoes the horizontal prediction of ZIP-coded rows: every sample holds its
// difference from the one before it (16-bit samples big-endian).
bool Unpredict(std::vector<std::uint8_t>& planes, std::size_t rowBytes, int depth) {
    for (std::size_t row = 0; row + rowBytes <= planes.size(); row += rowBytes) {
        std::uint8_t* d = planes.data() + row;
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
    std::vector<const std::uint8_t*> rowData;
    std::vector<std::uint32_t> rowLength;
    const std::size_t needRows = std::size_t(h) * needed;
    std::vector<std::uint8_t> inflated; // the planes of a ZIP-coded composite
    if (compression >= kZip) {
        // Deflate packs at most 1032 bytes into one.
        if (std::uint64_t(rowBytes) * needRows > (std::uint64_t(r.Remaining()) + 64) * 1032) {
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
        if (!Inflate(r.Here(), r.Remaining(), inflated)) return fail(kErrBadPSD);
        if (compression == kZipPredicted && !Unpredict(inflated, rowBytes, depth))
            return fail(kErrRLEVariant);
    } else if (compression == kRaw) {
        if (std::uint64_t(rowBytes) * needRows > r.Remaining()) return fail(kErrBadPSD);
    } else {
        const std::size_t countBytes = large ? 4 : 2;
        if (std::uint64_t(rows) * countBytes > r.Remaining()) return fail(kErrBadPSD);
        // Every PackBits pair gives at most 128 bytes: refuse sizes the data cannot hold.
        if (std::uint64_t(rowBytes) * needRows > std::uint64_t(r.Remaining()) * 64) {
            return ReadResult::Failure(CodecStatus(
                kErrTooLarge, TooLargeText(w, h,
                                           std::uint64_t(r.Remaining()) * 64 * 8 /
                                               (std::uint64_t(depth) * std::uint64_t(needed)))));
        }
    }
    ReadResult result;
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadPSD);
        !allocated)
        return ReadResult::Failure(allocated);
    Pixels& out = result.pixels;
    std::vector<std::uint8_t> black; // the K plane of CMYK pictures
    try {
        rowData.resize(needRows);
        rowLength.resize(needRows);
        if (mode == kCMYK) black.resize(std::size_t(w) * h);
    } catch (const std::bad_alloc&) {
        return fail(kErrOutOfMemory);
    }
    if (compression != kPackBits) {
        const std::uint8_t* planes = compression == kRaw ? r.Here() : inflated.data();
        for (std::size_t i = 0; i < needRows; ++i)
            rowData[i] = planes + i * rowBytes, rowLength[i] = std::uint32_t(rowBytes);
    } else {
        CByteReader counts(data, size, r.Pos());
        std::size_t offset = r.Pos() + rows * (large ? 4 : 2);
        for (std::size_t i = 0; i < needRows; ++i) {
            const std::uint32_t n = large ? counts.U32BE() : counts.U16BE();
            if (n > size - offset) return fail(kErrBadPSD);
            rowData[i] = data + offset, rowLength[i] = n;
            offset += n;
        }
    }

    std::vector<std::uint8_t> packed(compression == kPackBits ? rowBytes : 0), row(w);
    for (int c = 0; c < needed; ++c) {
        for (std::uint32_t y = 0; y < h; ++y) {
            const std::size_t i = std::size_t(c) * h + y;
            const std::uint8_t* s = rowData[i];
            if (compression == kPackBits) {
                UnpackBits(s, rowLength[i], packed.data(), rowBytes);
                s = packed.data();
            }
            RowTo8(s, depth, int(w), row.data());
            if (c == 3) {
                std::memcpy(black.data() + std::size_t(y) * w, row.data(), w);
                continue;
            }
            std::uint8_t* d = out.data() + std::size_t(y) * w * 3;
            if (needed == 1) {
                for (std::uint32_t x = 0; x < w; ++x, d += 3) {
                    const PaletteEntry& e = palette[row[x]];
                    d[0] = e.r, d[1] = e.g, d[2] = e.b;
                }
            } else {
                for (std::uint32_t x = 0; x < w; ++x) d[3 * x + std::size_t(c)] = row[x];
            }
        }
    }
    if (mode == kLab) LabToRGB(out.data(), std::size_t(w) * h);
    if (mode == kCMYK) {
        // CMYK channels are stored inverted (255 is no ink).
        for (std::size_t i = 0; i < std::size_t(w) * h; ++i)
            for (int c = 0; c < 3; ++c)
                out[3 * i + c] = std::uint8_t(out[3 * i + c] * black[i] / 255);
    }
    result.width = int(w), result.height = int(h);
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
