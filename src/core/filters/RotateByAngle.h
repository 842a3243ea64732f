#pragma once
#include "core/base/ColorRef.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quiltara {

class CDIBSection2;
class IProgressReporter;

/// 32-bit pixels with their size, rows in memory order.
struct RotatedPicture {
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
};

/// Rotates 32-bit pixels (rows in memory order, no gaps) by an angle in degrees,
/// clockwise on screen for positive angles: a right-angle pre-rotation brings the
/// angle within 45 degrees, then three shears (horizontal, vertical, horizontal) turn
/// the rest. The picture grows to hold the turned corners; the space around it takes
/// the background colour (alpha 255). Pixels are not wrapped around the edges. A
/// residual angle of exactly 0 gives an unchanged copy of the pre-rotated pixels.
/// Reports "Rotate" with range 100 when a reporter is given.
RotatedPicture RotateByAngle(const std::uint8_t* pixels, int width, int height, double degrees,
                             ColorRef background, IProgressReporter* progress = nullptr);
/// The same, with the result made in `out` (32 bits, alpha kept), which must not hold
/// `pixels`: large pictures are turned without a copy of the result.
void RotateByAngle(const std::uint8_t* pixels, int width, int height, double degrees,
                   ColorRef background, CDIBSection2& out, IProgressReporter* progress = nullptr);

/// A point of RotateByAngle's result: x to the right, y in memory rows; the result's
/// pixel (x, y) covers [x, x + 1) x [y, y + 1).
struct RotatedPoint {
    double x = 0, y = 0;
};
/// Where the corners (0, 0), (width, 0), (width, height) and (0, height) of a picture
/// land in RotateByAngle's result for the same angle: the corners of the turned
/// picture, outside which the result is background. Within a pixel: the shears move
/// whole rows and columns by the offsets of their centres.
std::array<RotatedPoint, 4> RotatedCorners(int width, int height, double degrees);

/// The shear size arithmetic, exposed for the callers that lay out a result: the
/// width after the first shear, the height after the second and the final width for
/// a residual angle in degrees (between -45 and 45, or above 315).
struct ShearSizes {
    int width1 = 0;
    int height2 = 0;
    int width3 = 0;
};
ShearSizes ShearSizesFor(int width, int height, double residualDegrees);

} // namespace quiltara
