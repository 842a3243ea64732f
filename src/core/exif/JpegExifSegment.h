#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quiltara {

/// Finds the camera-information segment of a JPEG file held in memory: the last APP1
/// marker segment, before the image data, whose data begins with "Exif" and two zero
/// bytes. Photographs often carry an XMP APP1 after it, which must not hide it.
/// Returns the whole segment from its marker bytes (0xFF 0xE1) onwards, or an empty
/// vector when there is none or the file is not a JPEG.
std::vector<std::uint8_t> FindExifSegment(const std::uint8_t* data, std::size_t size);

} // namespace quiltara
