// Fuzz target: the WMF rasteriser on arbitrary bytes.
#include "core/image/codecs/MetafileCanvas.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Small pictures keep each run fast; the size checks are the same.
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    if (!data) return 0;
    int width = 0, height = 0;
    const quiltara::Pixels pixels =
        quiltara::RenderWMF(data, size, width, height, 100, 100, 0x808080);
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    return 0;
}
