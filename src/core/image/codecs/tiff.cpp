// TIFF through libtiff: reading strips and tiles of every layout libtiff can turn
// into RGBA (palette, gray, 16-bit, LZW, deflate, PackBits, ...), with a direct path
// for plain 8-bit RGB and gray strips; writing 24-bit, 8-bit palette and 8-bit gray.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <cstring>
#include <tiffio.h>

namespace quiltara {

bool IsTIFF(const std::uint8_t* data, std::size_t size) {
    return size >= 8 &&
           ((data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) &&
             data[3] == 0) ||
            (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43)));
}

namespace {

int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct MemoryFile {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t pos = 0;
    CSink* sink = nullptr;
};

tsize_t ReadProc(thandle_t h, tdata_t out, tsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    if (f->sink || n < 0) return 0;
    const std::uint64_t left = f->pos < f->size ? f->size - f->pos : 0;
    const std::uint64_t count = std::min<std::uint64_t>(left, std::uint64_t(n));
    std::memcpy(out, f->data + f->pos, std::size_t(count));
    f->pos += count;
    return tsize_t(count);
}
tsize_t WriteProc(thandle_t h, tdata_t data, tsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    if (!f->sink || n < 0) return 0;
    if (!f->sink->Seek(f->pos) || !f->sink->Write(data, std::size_t(n))) return 0;
    f->pos += std::uint64_t(n);
    return n;
}
toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    const std::uint64_t size = f->sink ? f->sink->Size() : f->size;
    std::uint64_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? size : 0;
    const std::uint64_t target = base + offset;
    if (!f->sink && target > f->size) return toff_t(-1);
    if (target > (std::uint64_t(1) << 40)) return toff_t(-1);
    f->pos = target;
    return target;
}
int CloseProc(thandle_t) {
    return 0;
}
toff_t SizeProc(thandle_t h) {
    auto* f = static_cast<MemoryFile*>(h);
    return f->sink ? f->sink->Size() : f->size;
}
int MapProc(thandle_t h, tdata_t* base, toff_t* size) {
    auto* f = static_cast<MemoryFile*>(h);
    if (f->sink) return 0;
    *base = const_cast<std::uint8_t*>(f->data);
    *size = f->size;
    return 1;
}
void UnmapProc(thandle_t, tdata_t, toff_t) {}

TIFF* Open(MemoryFile* file, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(512) << 20);
    TIFF* tif = TIFFClientOpenExt("memory", mode, file, ReadProc, WriteProc, SeekProc, CloseProc,
                                  SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// The first row whose strip or tile ends past the end of the file: h when the file
// holds every one.
std::uint32_t FirstCutRow(TIFF* tif, std::uint32_t w, std::uint32_t h, std::uint16_t samples,
                          std::uint16_t planar, std::uint64_t fileSize) {
    const bool tiled = TIFFIsTiled(tif);
    const std::uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    const std::uint32_t planes =
        planar == PLANARCONFIG_SEPARATE ? std::max<std::uint16_t>(samples, 1) : 1;
    const std::uint32_t perPlane = std::max<std::uint32_t>(count / planes, 1);
    std::uint32_t tileW = 0, tileH = 0, rowsPerStrip = 0;
    if (tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileW);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileH);
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    }
    const std::uint32_t across = tileW ? (w + tileW - 1) / tileW : 1;
    std::uint32_t cut = h;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t offset = TIFFGetStrileOffset(tif, i);
        const std::uint64_t bytes = TIFFGetStrileByteCount(tif, i);
        if (offset <= fileSize && bytes <= fileSize - offset) continue;
        const std::uint32_t index = i % perPlane;
        const std::uint64_t top =
            tiled ? std::uint64_t(index / std::max(across, 1u)) * tileH
                  : std::uint64_t(index) * std::min<std::uint32_t>(rowsPerStrip, h);
        cut = std::uint32_t(std::min<std::uint64_t>(cut, top));
    }
    return cut;
}

// The most pixels one byte of data can give with the file's compression, 0 when the
// compression has no useful bound (the fax codes, LZMA, ZSTD, ...).
std::uint64_t PixelsPerByte(std::uint16_t compression) {
    switch (compression) {
    case COMPRESSION_NONE:
        return 8; // 1-bit pixels
    case COMPRESSION_PACKBITS:
        return 64 * 8;
    case COMPRESSION_LZW:
        return 2731 * 8; // a 12-bit code gives at most 4096 bytes
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return 1032 * 8;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG:
        return 64 * 8; // a bit for an 8 x 8 block
    default:
        return 0;
    }
}

// Plain 8-bit chunky RGB(A) or gray in strips: copy rows straight out of the strips,
// down to row h (the rows below are not in the file).
bool ReadStripsDirect(TIFF* tif, std::uint32_t w, std::uint32_t h, int samples, bool gray,
                      std::uint8_t* out) {
    std::uint32_t rowsPerStrip = 0;
    if (!TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip) || !rowsPerStrip)
        return false;
    rowsPerStrip = std::min(rowsPerStrip, h);
    const std::size_t stride = std::size_t(w) * samples;
    if (TIFFStripSize(tif) < tmsize_t(stride * rowsPerStrip)) return false;
    std::vector<std::uint8_t> strip(stride * rowsPerStrip);
    for (std::uint32_t y = 0; y < h; y += rowsPerStrip) {
        const std::uint32_t rows = std::min(rowsPerStrip, h - y);
        const tmsize_t got = TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, 0), strip.data(),
                                                  tmsize_t(stride * rows));
        if (got < tmsize_t(stride * rows)) return false;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint8_t* s = strip.data() + stride * r;
            std::uint8_t* d = out + std::size_t(y + r) * w * 3;
            if (gray) {
                for (std::uint32_t x = 0; x < w; ++x, d += 3) d[0] = d[1] = d[2] = s[x];
            } else if (samples == 3) {
                std::memcpy(d, s, stride);
            } else {
                for (std::uint32_t x = 0; x < w; ++x, s += samples, d += 3)
                    d[0] = s[0], d[1] = s[1], d[2] = s[2];
            }
        }
    }
    return true;
}

} // namespace

ReadResult ReadTIFF(const CSource& source) {
    auto fail = [](unsigned code) { return ReadResult::Failure(code); };
    if (!IsTIFF(source.Data(), source.Size())) return fail(kErrBadTIFF);
    MemoryFile file{source.Data(), source.Size()};
    TIFF* tif = Open(&file, "r");
    if (!tif) return fail(kErrBadTIFF);
    struct Closer {
        TIFF* t;
        ~Closer() { TIFFClose(t); }
    } closer{tif};

    std::uint32_t w = 0, h = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG,
                  extraCount = 0;
    std::uint16_t* extra = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h))
        return fail(kErrBadTIFF);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;

    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    ReadResult result;
    if (const std::uint64_t perByte = PixelsPerByte(compression)) {
        if (const CodecStatus fits = CheckDataCanFill(w, h, source.Size(), perByte); !fits)
            return ReadResult::Failure(fits);
    }
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadTIFF);
        !allocated)
        return ReadResult::Failure(allocated);
    const std::uint32_t cut = FirstCutRow(tif, w, h, samples, planar, source.Size());
    if (cut == 0) return fail(kErrBadTIFF); // not one row of pixels in the file
    Pixels& out = result.pixels;
    {
        float rx = 0, ry = 0;
        std::uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &rx) &&
            TIFFGetField(tif, TIFFTAG_YRESOLUTION, &ry) && rx > 0 && ry > 0 && rx < 1e6f &&
            ry < 1e6f) {
            const float scale = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
            result.resolution = {int(rx * scale + 0.5f), int(ry * scale + 0.5f)};
        }
    }

    const bool rgb = photometric == PHOTOMETRIC_RGB && samples >= 3 && extraCount == samples - 3;
    const bool gray = photometric == PHOTOMETRIC_MINISBLACK && samples == 1;
    bool done = false;
    if (bits == 8 && planar == PLANARCONFIG_CONTIG && !TIFFIsTiled(tif) && (rgb || gray)) {
        // Associated alpha needs un-premultiplying: leave it to libtiff.
        const bool premultiplied = extraCount && extra && extra[0] == EXTRASAMPLE_ASSOCALPHA;
        if (!premultiplied) done = ReadStripsDirect(tif, w, cut, samples, gray, out.data());
    }
    if (!done) {
        char message[1024] = "";
        if (!TIFFRGBAImageOK(tif, message)) return fail(kErrBadTIFF);
        std::vector<std::uint32_t> raster;
        try {
            raster.resize(std::size_t(w) * h);
        } catch (const std::bad_alloc&) {
            return fail(kErrOutOfMemory);
        }
        if (!TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0))
            return fail(kErrBadTIFF);
        std::uint8_t* d = out.data();
        for (std::uint32_t v : raster) {
            d[0] = std::uint8_t(TIFFGetR(v)), d[1] = std::uint8_t(TIFFGetG(v)),
            d[2] = std::uint8_t(TIFFGetB(v));
            d += 3;
        }
    }
    result.width = int(w), result.height = int(h);
    // Rows from a strip or tile the file does not hold are black, whatever the
    // decoder left there.
    if (cut < h) result.MarkMissingFrom(int(cut));
    return result;
}

namespace {

CodecStatus WriteTiffFile(CSink& sink, const std::uint8_t* pixels, int width, int height,
                          int samples, const Palette256* palette) {
    if (const CodecStatus args = CheckWriterArgs(pixels, width, height, kMaxCodecDimension); !args)
        return args;
    MemoryFile file{nullptr, 0, 0, &sink};
    sink.Reserve(std::size_t(width) * height * samples + 4096);
    TIFF* tif = Open(&file, "w");
    if (!tif) return kErrTIFFInternal;
    const bool gray = palette && IsIdentityPalette(*palette);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                 samples == 3 ? PHOTOMETRIC_RGB
                 : gray       ? PHOTOMETRIC_MINISBLACK
                              : PHOTOMETRIC_PALETTE);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 96.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 96.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    // Strips of about 256 KB: few enough to write quickly, small enough for any reader.
    const std::size_t stride = std::size_t(width) * samples;
    const std::uint32_t rowsPerStrip =
        std::uint32_t(std::clamp<std::size_t>((256u << 10) / stride, 1, std::size_t(height)));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    if (palette && !gray) {
        std::uint16_t r[256], g[256], b[256];
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = (*palette)[std::size_t(i)];
            r[i] = std::uint16_t(e.r * 257), g[i] = std::uint16_t(e.g * 257),
            b[i] = std::uint16_t(e.b * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r, g, b);
    }
    bool ok = true;
    for (std::uint32_t y = 0, strip = 0; y < std::uint32_t(height) && ok;
         y += rowsPerStrip, ++strip) {
        const std::uint32_t rows = std::min(rowsPerStrip, std::uint32_t(height) - y);
        ok = TIFFWriteEncodedStrip(tif, strip, const_cast<std::uint8_t*>(pixels + stride * y),
                                   tmsize_t(stride * rows)) >= 0;
    }
    ok = ok && TIFFFlush(tif) == 1;
    TIFFClose(tif);
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace

CodecStatus WriteTIFF(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    return WriteTiffFile(sink, rgb, width, height, 3, nullptr);
}

CodecStatus WriteTIFF8(CSink& sink, const std::uint8_t* indices, int width, int height,
                       const Palette256& palette) {
    return WriteTiffFile(sink, indices, width, height, 1, &palette);
}

} // namespace quiltara
