// Fuzz target: the EMF rasteriser on arbitrary bytes.
#include "core/image/codecs/MetafileCanvas.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Small pictures keep each run fast; the size checks are the same.
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    if (!data) return 0;
    const quiltara::ReadResult read = quiltara::RenderEMF(data, size, 100, 100, 0x808080);
    const quiltara::Pixels& pixels = read.pixels;
    const int width = read.width, height = read.height;
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    return 0;
}
