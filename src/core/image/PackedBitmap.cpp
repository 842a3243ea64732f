#include "core/image/PackedBitmap.h"

namespace quiltara {

Pixels DIBToRGB(const std::uint8_t* packed, std::size_t size, int& width, int& height) {
    width = height = 0;
    if (!packed || !size) {
        SetLastError(kErrBadParam);
        return {};
    }
    return DecodeDIB(packed, size, 0, 0, width, height, kErrBadBMP);
}

std::vector<std::uint8_t> RGBToDIB(const std::uint8_t* rgb, int width, int height) {
    return MakePackedDIB24(rgb, width, height);
}

} // namespace quiltara
