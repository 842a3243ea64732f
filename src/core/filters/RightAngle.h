#pragma once
#include <cstdint>

namespace quiltara {

class CDIBSection2;

/// Right-angle rotation codes, as the dispatcher passes them.
enum RightAngleCode { kRotate90CCW = 0, kRotate180 = 1, kRotate90CW = 2 };

/// Rotates 32-bit pixels (rows in memory order, no gaps) in place. For codes 0 and 2
/// the buffer then holds a picture of height x width (width and height exchanged),
/// which the caller gives its bitmap the new shape for. Any other code does nothing.
/// All four bytes of a pixel move together. Throws std::bad_alloc, leaving the pixels
/// as they were, when the working buffer cannot be had.
void RotateRightAngle(std::uint8_t* pixels, int width, int height, int code);

/// Exchanges row i and row height - 1 - i, whole rows of bytesPerRow bytes.
void FlipVertical(std::uint8_t* pixels, int bytesPerRow, int height);

/// Mirrors each row of 32-bit pixels, pixel by pixel.
void FlipHorizontal(std::uint8_t* pixels, int width, int height);

/// The rotation applied to a picture: codes 0 and 2 re-create it as height x width.
/// False for an empty or not 32-bit picture or an unknown code.
bool RotatePictureRightAngle(CDIBSection2& picture, int code);

} // namespace quiltara
