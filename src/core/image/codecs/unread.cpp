// GIF and PAX files are recognised by their content, so that they are not taken
// for something else (whatever their names), but neither read nor written.
#include "core/image/codecs/Codecs.h"

#include <cstring>

namespace quiltara {

bool IsGIF(const std::uint8_t* data, std::size_t size) {
    return size >= 6 &&
           (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

bool IsPAX(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && std::memcmp(data, "PAX", 3) == 0;
}

} // namespace quiltara
