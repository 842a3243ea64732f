// JPEG through libjpeg: reading baseline and progressive, gray, RGB and CMYK files,
// keeping their extra markers (APPn, COM); writing 24-bit and 8-bit gray.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <string>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace quiltara {

bool IsJPG(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    // Where the decoder stood when the data ran out (the library then goes on with
    // an invented end of image and leaves the rest gray).
    bool ended = false;
    JDIMENSION endedRow = 0; // the iMCU row being read
    int endedScan = 0;
    bool endedInData = false;   // within a scan's rows, not after the last one
    bool endedInHeader = false; // before the first scan's rows
    // The entropy decoder ran out of bits after the end: rows really lack data (the
    // decoder also reads ahead past the last row, so the end alone proves nothing).
    bool starved = false;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}
void OnMessage(j_common_ptr cinfo, int level) {
    auto* error = reinterpret_cast<JpegError*>(cinfo->err);
    if (level < 0 && cinfo->is_decompressor && cinfo->err->msg_code == JWRN_JPEG_EOF &&
        !error->ended) {
        error->ended = true;
        const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        error->endedRow = d->input_iMCU_row;
        error->endedScan = d->input_scan_number;
        error->endedInData = d->input_iMCU_row < d->total_iMCU_rows;
        error->endedInHeader = d->total_iMCU_rows == 0;
    }
    if (level < 0 && cinfo->err->msg_code == JWRN_HIT_MARKER && error->ended) error->starved = true;
}

// A hostile progressive file can hold thousands of tiny scans, each a pass over the
// whole picture; real files have a dozen. The number allowed shrinks with the size,
// so that scans x pixels stays within a second or so of work.
struct ScanLimit {
    jpeg_progress_mgr manager;
    int maxScans = 500;
    bool exceeded = false;
};
constexpr std::uint64_t kScanPixelBudget = std::uint64_t(1) << 33;

void LimitScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* limit = reinterpret_cast<ScanLimit*>(cinfo->progress);
    if (d->is_decompressor && d->input_scan_number > limit->maxScans) {
        limit->exceeded = true;
        cinfo->err->error_exit(cinfo);
    }
}

struct ReadState {
    jpeg_decompress_struct cinfo;
    JpegError error;
    ScanLimit progress;
    ReadResult result; // code: what a jump out of the library means
    std::vector<std::uint8_t> row;
};

bool ReadInto(ReadState* s, const std::uint8_t* data, std::size_t size) {
    j_decompress_ptr cinfo = &s->cinfo;
    cinfo->err = jpeg_std_error(&s->error.manager);
    s->error.manager.error_exit = OnError;
    s->error.manager.emit_message = OnMessage;
    if (setjmp(s->error.jump)) {
        if (s->progress.exceeded) {
            s->result.code = kErrTooLarge;
            s->result.detail = "too many scans: a progressive JPEG of " +
                               std::to_string(cinfo->image_width) + " x " +
                               std::to_string(cinfo->image_height) + " pixels may hold at most " +
                               std::to_string(s->progress.maxScans);
        }
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    s->progress.manager.progress_monitor = LimitScans;
    cinfo->progress = &s->progress.manager;
    cinfo->mem->max_memory_to_use = 1024L << 20;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    for (int m = 0; m < 16; ++m) jpeg_save_markers(cinfo, JPEG_APP0 + m, 0xFFFF);
    jpeg_save_markers(cinfo, JPEG_COM, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);

    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // Every block of a component costs at least one bit; the component with the
    // fewest blocks bounds what the data can fill.
    const std::uint64_t pixels = std::uint64_t(cinfo->image_width) * cinfo->image_height;
    std::uint64_t fewestBlocks = ~std::uint64_t(0);
    for (int c = 0; c < cinfo->num_components; ++c)
        fewestBlocks = std::min<std::uint64_t>(fewestBlocks,
                                               std::uint64_t(cinfo->comp_info[c].width_in_blocks) *
                                                   cinfo->comp_info[c].height_in_blocks);
    fewestBlocks = std::max<std::uint64_t>(fewestBlocks, 1);
    CodecStatus allocated = CheckDataCanFill(cinfo->image_width, cinfo->image_height, size,
                                             (pixels * 8 + fewestBlocks - 1) / fewestBlocks);
    if (allocated)
        allocated = AllocatePixels(s->result.pixels, cinfo->image_width, cinfo->image_height, 3,
                                   kErrBadJPG);
    s->progress.maxScans = int(
        std::clamp<std::uint64_t>(kScanPixelBudget / std::max<std::uint64_t>(pixels, 1), 20, 500));
    if (!allocated) {
        s->result.code = allocated.Code();
        s->result.detail = allocated.Detail();
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    Resolution& resolution = s->result.resolution;
    if (cinfo->density_unit == 1 && cinfo->X_density && cinfo->Y_density)
        resolution = {cinfo->X_density, cinfo->Y_density};
    else if (cinfo->density_unit == 2 && cinfo->X_density && cinfo->Y_density)
        resolution = {(cinfo->X_density * 254 + 50) / 100, (cinfo->Y_density * 254 + 50) / 100};
    std::uint8_t* const out = s->result.pixels.data();

    jpeg_start_decompress(cinfo);
    const int w = int(cinfo->output_width), h = int(cinfo->output_height);
    if (cmyk) s->row.resize(std::size_t(w) * 4);
    if (cmyk) {
        while (cinfo->output_scanline < cinfo->output_height) {
            std::uint8_t* d = out + std::size_t(cinfo->output_scanline) * w * 3;
            JSAMPROW row = s->row.data();
            jpeg_read_scanlines(cinfo, &row, 1);
            // Adobe's files store the inks inverted; convert with K as a multiplier.
            const bool inverted = cinfo->saw_Adobe_marker;
            const std::uint8_t* c = s->row.data();
            for (int x = 0; x < w; ++x, c += 4, d += 3) {
                const int k = inverted ? c[3] : 255 - c[3];
                for (int i = 0; i < 3; ++i)
                    d[i] = std::uint8_t((inverted ? c[i] : 255 - c[i]) * k / 255);
            }
        }
    } else {
        // Several rows a call let the library hand over whole row groups at once.
        JSAMPROW rows[16];
        while (cinfo->output_scanline < cinfo->output_height) {
            const JDIMENSION first = cinfo->output_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(16, cinfo->output_height - first);
            for (JDIMENSION i = 0; i < count; ++i) rows[i] = out + std::size_t(first + i) * w * 3;
            jpeg_read_scanlines(cinfo, rows, count);
        }
    }
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next)
        s->result.markers.push_back(
            {int(m->marker), std::vector<std::uint8_t>(m->data, m->data + m->data_length)});
    const int rowsPerIMCU = cinfo->max_v_samp_factor * DCTSIZE;
    // The end of the file is not needed: truncated trailers are common.
    jpeg_abort_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    s->result.width = w, s->result.height = h;
    // Rows the first scan did not reach are black rather than the decoder's gray. A
    // later scan only adds detail: cut there, every row is present but coarse.
    if (s->error.ended && s->error.endedInHeader) {
        s->result.MarkMissingFrom(0);
    } else if (s->error.ended && s->error.endedInData && s->error.starved) {
        if (s->error.endedScan <= 1)
            s->result.MarkMissingFrom(int(s->error.endedRow) * rowsPerIMCU);
        else
            s->result.endsEarly = true;
    }
    return true;
}

struct WriteState {
    jpeg_compress_struct cinfo;
    JpegError error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool WriteInto(WriteState* s, const std::uint8_t* pixels, int width, int height, int components,
               int quality, const std::vector<JPGMarker>* markers) {
    j_compress_ptr cinfo = &s->cinfo;
    cinfo->err = jpeg_std_error(&s->error.manager);
    s->error.manager.error_exit = OnError;
    s->error.manager.emit_message = OnMessage;
    if (setjmp(s->error.jump)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, &s->buffer, &s->size);
    cinfo->image_width = JDIMENSION(width);
    cinfo->image_height = JDIMENSION(height);
    cinfo->input_components = components;
    cinfo->in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, std::clamp(quality, 0, 100), TRUE);
    cinfo->density_unit = 1;
    cinfo->X_density = cinfo->Y_density = 96;
    jpeg_start_compress(cinfo, TRUE);
    if (markers)
        for (const JPGMarker& m : *markers)
            if (m.data.size() <= 65533)
                jpeg_write_marker(cinfo, m.marker, m.data.data(), unsigned(m.data.size()));
    const std::size_t stride = std::size_t(width) * components;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + stride * cinfo->next_scanline);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

CodecStatus Write(CSink& sink, const std::uint8_t* pixels, int width, int height, int components,
                  int quality, const std::vector<JPGMarker>* markers) {
    if (const CodecStatus args = CheckWriterArgs(pixels, width, height, 65500); !args) return args;
    auto* state = new (std::nothrow) WriteState{};
    if (!state) return kErrOutOfMemory;
    bool ok = WriteInto(state, pixels, width, height, components, quality, markers);
    ok = ok && sink.Write(state->buffer, state->size);
    std::free(state->buffer);
    delete state;
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace

ReadResult ReadJPG(const CSource& source) {
    if (!IsJPG(source.Data(), source.Size())) return ReadResult::Failure(kErrBadJPG);
    auto state = std::make_unique<ReadState>();
    state->result.code = kErrBadJPG;
    bool ok;
    try {
        ok = ReadInto(state.get(), source.Data(), source.Size());
    } catch (const std::bad_alloc&) {
        ok = false, state->result.code = kErrOutOfMemory;
    }
    if (!ok) {
        ReadResult failure = ReadResult::Failure(state->result.code);
        failure.detail = std::move(state->result.detail);
        return failure;
    }
    state->result.code = kErrNone;
    return std::move(state->result);
}

std::vector<std::uint8_t> PickCameraBlock(const std::vector<JPGMarker>& markers) {
    static const std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    const JPGMarker* chosen = nullptr;
    for (const JPGMarker& m : markers)
        if (m.marker == JPEG_APP0 + 1 && m.data.size() >= 6 &&
            std::memcmp(m.data.data(), kExif, 6) == 0)
            chosen = &m;
    return chosen ? chosen->data : std::vector<std::uint8_t>{};
}

CodecStatus WriteJPG(CSink& sink, const std::uint8_t* rgb, int width, int height, int quality,
                     const std::vector<JPGMarker>* extraMarkers) {
    return Write(sink, rgb, width, height, 3, quality, extraMarkers);
}

CodecStatus WriteJPGGray(CSink& sink, const std::uint8_t* gray, int width, int height,
                         int quality) {
    return Write(sink, gray, width, height, 1, quality, nullptr);
}

} // namespace quiltara
