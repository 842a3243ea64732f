// Fuzz target: the PNG reader on arbitrary bytes.
#include "core/image/codecs/Codecs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Small pictures keep each run fast; the size checks are the same.
    static const bool limited = (quiltara::SetCodecPixelLimit(1 << 22), true);
    (void)limited;
    const quiltara::CSource source(data, size);
    int width = 0, height = 0;
    const quiltara::Pixels pixels = quiltara::ReadPNG(source, width, height);
    if (!pixels.empty() && pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        std::abort();
    if (pixels.empty() && quiltara::GetLastError() == 0) std::abort();
    return 0;
}
