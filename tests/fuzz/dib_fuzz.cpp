// Fuzz target: packed bitmaps from the clipboard on arbitrary bytes.
#include "core/image/PackedBitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    const quiltara::ReadResult read = quiltara::DIBToRGB(data, size);
    const quiltara::Pixels& pixels = read.pixels;
    const int width = read.width, height = read.height;
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    return 0;
}
