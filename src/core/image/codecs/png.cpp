// PNG: reading through libpng, every colour type and depth (palette, gray, 16-bit,
// interlaced) to 24-bit or 32-bit; writing 24-bit, 32-bit, 8-bit palette and gray.
#include "core/image/codecs/Codecs.h"

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace quiltara {

bool IsPNG(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

namespace {

struct PngError {
    std::jmp_buf jump;
    unsigned code = kErrBadPNG;
    std::string detail; // a refusal's own text
};

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    auto* e = static_cast<PngError*>(png_get_error_ptr(png));
    std::longjmp(e->jump, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// The file is fed to libpng's progressive reader, so that the rows of a file that
// ends early arrive as far as its data goes.
struct ReadState {
    int channels = 3, alpha = 255;
    std::size_t fileSize = 0;
    PngError* error = nullptr;
    ReadResult result;
    int passes = 1;
    int lastPass = -1; // where the rows stand: pass and image row of the last one
    png_uint_32 lastRow = 0;
    bool ended = false; // the image's data came to its end
};

void OnInfo(png_structp png, png_infop info) {
    auto* state = static_cast<ReadState*>(png_get_progressive_ptr(png));
    const int channels = state->channels;
    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colorType, nullptr, nullptr, nullptr);
    // Deflate packs at most 1032 bytes into one.
    const int fileBits = depth * png_get_channels(png, info);
    CodecStatus allocated =
        CheckDataCanFill(w, h, state->fileSize, std::uint64_t(1032 * 8 / std::max(fileBits, 1)));
    if (allocated) allocated = AllocatePixels(state->result.pixels, w, h, channels, kErrBadPNG);
    if (!allocated) {
        state->error->code = allocated.Code();
        state->error->detail = allocated.Detail();
        png_error(png, "size");
    }
    png_uint_32 ppmX = 0, ppmY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &ppmX, &ppmY, &unit) && unit == PNG_RESOLUTION_METER && ppmX &&
        ppmY && ppmX < 4000000 && ppmY < 4000000)
        state->result.resolution = {int((ppmX * 254 + 5000) / 10000),
                                    int((ppmY * 254 + 5000) / 10000)};

    // Every layout becomes 8-bit RGB(A): palettes and small grays expand, a
    // transparent colour (tRNS) becomes alpha, which the RGB read then drops.
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS);
    if (transparency) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    const bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || transparency;
    if (channels == 3 && hasAlpha) png_set_strip_alpha(png);
    if (channels == 4 && !hasAlpha)
        png_set_add_alpha(png, png_uint_32(state->alpha & 255), PNG_FILLER_AFTER);
    state->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(w) * channels) png_error(png, "row size");
    state->result.width = int(w), state->result.height = int(h);
}

void OnRow(png_structp png, png_bytep row, png_uint_32 y, int pass) {
    auto* state = static_cast<ReadState*>(png_get_progressive_ptr(png));
    ReadResult& r = state->result;
    if (y >= png_uint_32(r.height)) return;
    state->lastPass = pass, state->lastRow = y;
    if (row)
        png_progressive_combine_row(
            png, r.pixels.data() + std::size_t(y) * std::size_t(r.width) * state->channels, row);
}

void OnEnd(png_structp png, png_infop) {
    static_cast<ReadState*>(png_get_progressive_ptr(png))->ended = true;
}

// Everything that libpng may jump out of lives in state, outside this frame's
// registers.
bool ReadInto(ReadState* state, const std::uint8_t* data, std::size_t size, PngError* error) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, error, OnError, OnWarning);
    if (!png) {
        error->code = kErrOutOfMemory;
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error->code = kErrOutOfMemory;
        return false;
    }
    if (setjmp(error->jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_progressive_read_fn(png, state, OnInfo, OnRow, OnEnd);
    png_set_user_limits(png, kMaxCodecDimension, kMaxCodecDimension);
    png_set_chunk_malloc_max(png, 64u << 20);
    // The chunk CRCs already guard the data; the zlib checksum on top costs time.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_process_data(png, info, const_cast<png_bytep>(data), size);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

ReadResult Read(const CSource& source, int channels, int alpha) {
    if (!IsPNG(source.Data(), source.Size())) return ReadResult::Failure(kErrBadPNG);
    ReadState state;
    state.channels = channels, state.alpha = alpha, state.fileSize = source.Size();
    PngError error;
    state.error = &error;
    bool ok;
    try {
        ok = ReadInto(&state, source.Data(), source.Size(), &error);
    } catch (const std::bad_alloc&) {
        ok = false, error.code = kErrOutOfMemory;
    }
    // A file that stops before the end of its image keeps the rows it held.
    if (ok && !state.ended) {
        ReadResult& r = state.result;
        if (state.lastPass < 0) return ReadResult::Failure(kErrBadPNG); // no row at all
        if (state.lastPass + 1 >= state.passes) {
            r.MarkMissingFrom(int(state.lastRow) + 1);
        } else {
            // An interlaced file that ends before its last pass lacks pixels in
            // every row; those it has are kept, the others are black.
            r.missingFirst = 0, r.missingLast = r.height - 1;
        }
        if (!r.Partial()) return ReadResult::Failure(kErrBadPNG);
        return std::move(r);
    }
    if (!ok) {
        ReadResult failure = ReadResult::Failure(error.code);
        failure.detail = error.detail;
        return failure;
    }
    return std::move(state.result);
}

// ---------------------------------------------------------------- writing
//
// The writer makes the file itself: the rows are filtered and deflated in pieces of
// about a megabyte, on every core. Each piece is a raw deflate stream primed with the
// 32 KB of filtered bytes before it and ended with a sync flush (byte-aligned, not
// final); only the last piece finishes the stream. Joined behind one zlib header with
// the combined Adler-32 they form a single valid zlib stream, which readers inflate as
// one; each piece goes out as an IDAT chunk of its own.

constexpr std::size_t kPieceBytes = std::size_t(1) << 20;
constexpr std::size_t kWindow = 32768;
// Level 3: on photographs within a few percent of the size of level 6 with the
// adaptive filters, in a quarter of the time or less.
constexpr int kLevel = 3;

struct WriteJob {
    CSink* sink;
    const std::uint8_t* pixels;
    int width, height, colorType, channels;
    const Palette256* palette;
};

// The row as it goes into the stream: the filter type, then the bytes. Sub (each
// byte less the same channel of the pixel to its left) for true colour and gray, None
// for palette indexes.
void FilterRow(const WriteJob& job, int y, std::uint8_t* out) {
    const std::size_t stride = std::size_t(job.width) * std::size_t(job.channels);
    const std::uint8_t* row = job.pixels + stride * std::size_t(y);
    if (job.colorType == PNG_COLOR_TYPE_PALETTE) {
        out[0] = 0;
        std::memcpy(out + 1, row, stride);
        return;
    }
    out[0] = 1;
    const std::size_t bpp = std::size_t(job.channels);
    std::memcpy(out + 1, row, std::min(bpp, stride));
    for (std::size_t i = bpp; i < stride; ++i) out[1 + i] = std::uint8_t(row[i] - row[i - bpp]);
}

struct Piece {
    std::vector<std::uint8_t> data;
    uLong adler = 1;
    std::size_t length = 0; // bytes before compression
};

bool DeflatePiece(const WriteJob& job, int y0, int y1, bool last, Piece& piece) {
    const std::size_t line = std::size_t(job.width) * std::size_t(job.channels) + 1;
    // The rows before y0 that fill the window, filtered again as the dictionary.
    const int before = std::min<int>(y0, int((kWindow + line - 1) / line));
    std::vector<std::uint8_t> filtered(line * std::size_t(y1 - y0 + before));
    for (int y = y0 - before; y < y1; ++y)
        FilterRow(job, y, filtered.data() + line * std::size_t(y - (y0 - before)));
    const std::uint8_t* input = filtered.data() + line * std::size_t(before);
    piece.length = line * std::size_t(y1 - y0);
    piece.adler = adler32_z(1, input, piece.length);

    z_stream z{};
    const int strategy = job.colorType == PNG_COLOR_TYPE_PALETTE ? Z_DEFAULT_STRATEGY : Z_FILTERED;
    if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, strategy) != Z_OK) return false;
    bool ok = true;
    if (before > 0) {
        const std::size_t dict = std::min(kWindow, line * std::size_t(before));
        ok = deflateSetDictionary(&z, input - dict, uInt(dict)) == Z_OK;
    }
    // The bound plus room for the flush markers.
    piece.data.resize(deflateBound(&z, uLong(piece.length)) + 64);
    z.next_in = const_cast<Bytef*>(input);
    z.avail_in = uInt(piece.length);
    z.next_out = piece.data.data();
    z.avail_out = uInt(piece.data.size());
    if (ok) {
        const int result = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        ok = (last ? result == Z_STREAM_END : result == Z_OK) && z.avail_in == 0 && z.avail_out > 0;
    }
    piece.data.resize(piece.data.size() - z.avail_out);
    deflateEnd(&z);
    return ok;
}

void PutBE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v >> 24), p[1] = std::uint8_t(v >> 16), p[2] = std::uint8_t(v >> 8),
    p[3] = std::uint8_t(v);
}

// One chunk whose data is the concatenation of up to three blocks.
bool WriteChunk(CSink& sink, const char* type, const std::uint8_t* a, std::size_t na,
                const std::uint8_t* b = nullptr, std::size_t nb = 0,
                const std::uint8_t* c = nullptr, std::size_t nc = 0) {
    const std::size_t total = na + nb + nc;
    if (total > 0x7FFFFFFFu) return false;
    std::uint8_t head[8];
    PutBE32(head, std::uint32_t(total));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32_z(0, head + 4, 4);
    if (na) crc = crc32_z(crc, a, na);
    if (nb) crc = crc32_z(crc, b, nb);
    if (nc) crc = crc32_z(crc, c, nc);
    std::uint8_t tail[4];
    PutBE32(tail, std::uint32_t(crc));
    return sink.Write(head, 8) && (!na || sink.Write(a, na)) && (!nb || sink.Write(b, nb)) &&
           (!nc || sink.Write(c, nc)) && sink.Write(tail, 4);
}

bool WriteInto(const WriteJob& job) {
    const std::size_t line = std::size_t(job.width) * std::size_t(job.channels) + 1;
    const int rowsPerPiece = int(std::max<std::size_t>(1, kPieceBytes / line));
    const int pieces = (job.height + rowsPerPiece - 1) / rowsPerPiece;
    std::vector<Piece> done(static_cast<std::size_t>(pieces));
    std::atomic<bool> ok{true};
    ParallelFor(pieces, 1, [&](int begin, int end) {
        for (int p = begin; p < end && ok.load(); ++p) {
            const int y0 = p * rowsPerPiece, y1 = std::min(job.height, y0 + rowsPerPiece);
            if (!DeflatePiece(job, y0, y1, p == pieces - 1, done[std::size_t(p)])) ok = false;
        }
    });
    if (!ok.load()) return false;

    CSink& sink = *job.sink;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!sink.Write(signature, 8)) return false;
    std::uint8_t ihdr[13];
    PutBE32(ihdr, std::uint32_t(job.width));
    PutBE32(ihdr + 4, std::uint32_t(job.height));
    ihdr[8] = 8, ihdr[9] = std::uint8_t(job.colorType), ihdr[10] = 0, ihdr[11] = 0, ihdr[12] = 0;
    if (!WriteChunk(sink, "IHDR", ihdr, sizeof ihdr)) return false;
    if (job.colorType == PNG_COLOR_TYPE_PALETTE) {
        std::uint8_t plte[256 * 3];
        for (int i = 0; i < 256; ++i) {
            const auto& c = (*job.palette)[std::size_t(i)];
            plte[i * 3] = c.r, plte[i * 3 + 1] = c.g, plte[i * 3 + 2] = c.b;
        }
        if (!WriteChunk(sink, "PLTE", plte, sizeof plte)) return false;
    }
    std::uint8_t phys[9];
    PutBE32(phys, 3780); // 96 dots per inch, in dots per metre
    PutBE32(phys + 4, 3780);
    phys[8] = 1;
    if (!WriteChunk(sink, "pHYs", phys, sizeof phys)) return false;

    // 32 KB window, deflate, "fast" level; the check bits make the header a multiple of 31.
    std::uint8_t header[2] = {0x78, 0};
    header[1] = std::uint8_t(1 << 6);
    header[1] = std::uint8_t(header[1] + (31 - (header[0] * 256 + header[1]) % 31) % 31);
    uLong adler = 1;
    for (const Piece& piece : done)
        adler = adler32_combine(adler, piece.adler, z_off_t(piece.length));
    std::uint8_t trailer[4];
    PutBE32(trailer, std::uint32_t(adler));
    for (int p = 0; p < pieces; ++p) {
        const Piece& piece = done[std::size_t(p)];
        const bool first = p == 0, last = p == pieces - 1;
        if (!WriteChunk(sink, "IDAT", first ? header : piece.data.data(),
                        first ? 2 : piece.data.size(), first ? piece.data.data() : nullptr,
                        first ? piece.data.size() : 0, last ? trailer : nullptr, last ? 4 : 0))
            return false;
    }
    return WriteChunk(sink, "IEND", nullptr, 0);
}

CodecStatus Write(CSink& sink, const std::uint8_t* pixels, int width, int height, int colorType,
                  int channels, const Palette256* palette = nullptr) {
    if (const CodecStatus args = CheckWriterArgs(pixels, width, height, kMaxCodecDimension); !args)
        return args;
    const WriteJob job{&sink, pixels, width, height, colorType, channels, palette};
    bool ok;
    try {
        ok = WriteInto(job);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace

ReadResult ReadPNG(const CSource& source) {
    return Read(source, 3, 255);
}

ReadResult ReadPNGAlpha(const CSource& source, int alpha) {
    return Read(source, 4, alpha);
}

CodecStatus WritePNG(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    return Write(sink, rgb, width, height, PNG_COLOR_TYPE_RGB, 3);
}

CodecStatus WritePNGAlpha(CSink& sink, const std::uint8_t* rgba, int width, int height) {
    return Write(sink, rgba, width, height, PNG_COLOR_TYPE_RGB_ALPHA, 4);
}

CodecStatus WritePNG8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette) {
    if (IsIdentityPalette(palette))
        return Write(sink, indices, width, height, PNG_COLOR_TYPE_GRAY, 1);
    return Write(sink, indices, width, height, PNG_COLOR_TYPE_PALETTE, 1, &palette);
}

} // namespace quiltara
