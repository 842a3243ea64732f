#include "core/image/PackedBitmap.h"

namespace quiltara {

ReadResult DIBToRGB(const std::uint8_t* packed, std::size_t size) {
    if (!packed || !size) return ReadResult::Failure(kErrBadParam);
    return DecodeDIB(packed, size, 0, 0, kErrBadBMP);
}

std::vector<std::uint8_t> RGBToDIB(const std::uint8_t* rgb, int width, int height) {
    return MakePackedDIB24(rgb, width, height);
}

} // namespace quiltara
