// Fuzz target: the PNG reader with alpha on arbitrary bytes.
#include "core/image/codecs/Codecs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    const quiltara::CSource source(data, size);
    const quiltara::ReadResult read = quiltara::ReadPNGAlpha(source);
    const quiltara::Pixels& pixels = read.pixels;
    const int width = read.width, height = read.height;
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 4)
        std::abort();
    return 0;
}
