// Fuzz target: the WebP reader on arbitrary bytes.
#include "core/image/codecs/Codecs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Small pictures keep each run fast; the size checks are the same.
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    const quiltara::CSource source(data, size);
    const quiltara::ReadResult read = quiltara::ReadWebP(source);
    const quiltara::Pixels& pixels = read.pixels;
    const int width = read.width, height = read.height;
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    if (pixels.empty() && read.code == 0) std::abort();
    return 0;
}
