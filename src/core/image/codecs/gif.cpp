// GIF files are recognised, so that they are not taken for something else, but
// neither read nor written.
#include "core/image/codecs/Codecs.h"

#include <cstring>

namespace quiltara {

bool IsGIF(const std::uint8_t* data, std::size_t size) {
    return size >= 6 &&
           (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

} // namespace quiltara
