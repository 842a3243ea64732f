#include "core/exif/JpegExifSegment.h"

#include <cstring>

namespace quiltara {

std::vector<std::uint8_t> FindExifSegment(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
    std::size_t found = 0, foundSize = 0;
    std::size_t pos = 2;
    while (pos + 1 < size) {
        if (data[pos] != 0xFF) break; // not a marker: the file is damaged, keep what we have
        while (pos + 1 < size && data[pos + 1] == 0xFF) ++pos; // fill bytes
        if (pos + 1 >= size) break;
        const std::uint8_t marker = data[pos + 1];
        pos += 2;
        // Markers without a length: TEM and the restart markers.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        // The image data (or the end) follows; no marker segments of interest after it.
        if (marker == 0xDA || marker == 0xD9 || marker == 0xD8) break;
        if (pos + 2 > size) break;
        const std::size_t length = (std::size_t(data[pos]) << 8) | data[pos + 1];
        if (length < 2 || pos + length > size) break;
        if (marker == 0xE1 && length >= 8 && std::memcmp(data + pos + 2, "Exif\0\0", 6) == 0) {
            found = pos - 2;
            foundSize = length + 2;
        }
        pos += length;
    }
    if (!foundSize) return {};
    return std::vector<std::uint8_t>(data + found, data + found + foundSize);
}

} // namespace quiltara
