// Fuzz target: packed bitmaps from the clipboard on arbitrary bytes.
#include "core/image/PackedBitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    int width = 0, height = 0;
    const quiltara::Pixels pixels = quiltara::DIBToRGB(data, size, width, height);
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    return 0;
}
