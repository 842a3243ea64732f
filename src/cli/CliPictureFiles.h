#pragma once
#include "core/image/DIBSection2.h"

#include <string>

namespace quiltara::cli {

/// The JPEG quality of pictures the commands write (the program's own default).
constexpr int kCliJpegQuality = 75;

/// Reads any picture the program opens, as the program opens it (format by content,
/// else by extension), into a 32-bit picture (alpha 255). False with the failure text
/// in error.
bool ReadPicture(const std::string& path, CDIBSection2& picture, std::string& error);
/// Writes a 32-bit picture as the program saves it, in the format of path's extension;
/// withAlpha keeps the alpha (PNG).
bool WritePicture(const std::string& path, const CDIBSection2& picture, bool withAlpha,
                  std::string& error);

} // namespace quiltara::cli
