// PNG through libpng: reading every colour type and depth (palette, gray, 16-bit,
// interlaced) to 24-bit or 32-bit; writing 24-bit, 32-bit, 8-bit palette and gray.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <png.h>

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

void WriteBytes(png_structp png, png_bytep data, png_size_t n) {
    if (!static_cast<CSink*>(png_get_io_ptr(png))->Write(data, n)) png_error(png, "write");
}
void Flush(png_structp) {}

struct WriteJob {
    CSink* sink;
    const std::uint8_t* pixels;
    int width, height, colorType, channels;
    const Palette256* palette;
};

bool WriteInto(const WriteJob* job, PngError* error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(error->jump)) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, job->sink, WriteBytes, Flush);
    // Sub filtering at level 3: on photographs within a few percent of the size of
    // level 6 with the adaptive filters, in a quarter of the time or less.
    png_set_compression_level(png, 3);
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   job->colorType == PNG_COLOR_TYPE_PALETTE ? PNG_FILTER_NONE : PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(job->width), png_uint_32(job->height), 8, job->colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (job->colorType == PNG_COLOR_TYPE_PALETTE) {
        png_color colors[256];
        for (int i = 0; i < 256; ++i)
            colors[i] = {(*job->palette)[std::size_t(i)].r, (*job->palette)[std::size_t(i)].g,
                         (*job->palette)[std::size_t(i)].b};
        png_set_PLTE(png, info, colors, 256);
    }
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    const std::size_t stride = std::size_t(job->width) * job->channels;
    for (int y = 0; y < job->height; ++y)
        png_write_row(png, const_cast<png_bytep>(job->pixels + stride * std::size_t(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

CodecStatus Write(CSink& sink, const std::uint8_t* pixels, int width, int height, int colorType,
                  int channels, const Palette256* palette = nullptr) {
    if (const CodecStatus args = CheckWriterArgs(pixels, width, height, kMaxCodecDimension); !args)
        return args;
    const WriteJob job{&sink, pixels, width, height, colorType, channels, palette};
    PngError error;
    bool ok;
    try {
        ok = WriteInto(&job, &error);
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
