#pragma once
#include "image/DIBSection2.h"

#include <string>

namespace quiltara::cli {

// The brush commands read and write PNG through libpng directly; the other formats
// are the codec layer's business.

/// Reads a PNG into a 32-bit picture (alpha 255 when the file has none). False with a
/// reason in error when it cannot.
bool ReadPngPicture(const std::string& path, CDIBSection2& picture, std::string& error);
/// Writes a 32-bit picture as PNG, with its alpha when withAlpha is set.
bool WritePngPicture(const std::string& path, const CDIBSection2& picture, bool withAlpha,
                     std::string& error);

} // namespace quiltara::cli
