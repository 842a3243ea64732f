// WebP through libwebp: reading lossy and lossless files (alpha dropped, as every
// reader without alpha does) row by row, so that a file that ends early keeps the
// rows it held; writing lossless, so that a texture keeps every pixel.
#include "core/image/codecs/Codecs.h"

#include <cstdlib>
#include <cstring>
#include <webp/decode.h>
#include <webp/encode.h>

namespace quiltara {

bool IsWebP(const std::uint8_t* data, std::size_t size) {
    return size >= 16 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

ReadResult ReadWebP(const CSource& source) {
    const std::uint8_t* data = source.Data();
    const std::size_t size = source.Size();
    if (!IsWebP(data, size)) return ReadResult::Failure(kErrBadWebP);
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        return ReadResult::Failure(kErrBadWebP);
    if (features.has_animation) return ReadResult::Failure(kErrBadWebP);
    ReadResult result;
    if (const CodecStatus allocated =
            AllocatePixels(result.pixels, features.width, features.height, 3, kErrBadWebP);
        !allocated)
        return ReadResult::Failure(allocated);
    const int stride = features.width * 3;
    WebPIDecoder* decoder =
        WebPINewRGB(MODE_RGB, result.pixels.data(), result.pixels.size(), stride);
    if (!decoder) return ReadResult::Failure(kErrOutOfMemory);
    const VP8StatusCode status = WebPIUpdate(decoder, data, size);
    int lastRow = 0, w = 0, h = 0, rowStride = 0;
    WebPIDecGetRGB(decoder, &lastRow, &w, &h, &rowStride);
    WebPIDelete(decoder);
    result.width = features.width, result.height = features.height;
    if (status == VP8_STATUS_SUSPENDED && lastRow > 0) {
        result.MarkMissingFrom(lastRow); // the data ended before the picture did
        return result;
    }
    if (status != VP8_STATUS_OK) return ReadResult::Failure(kErrBadWebP);
    return result;
}

CodecStatus WriteWebP(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, WEBP_MAX_DIMENSION); !args)
        return args;
    std::uint8_t* encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessRGB(rgb, width, height, width * 3, &encoded);
    if (!size) {
        WebPFree(encoded);
        return kErrFileWrite;
    }
    const bool ok = sink.Write(encoded, size);
    WebPFree(encoded);
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
