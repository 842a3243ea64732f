#pragma once
// The tile wizard's working source: the photograph resampled or straightened
// before a tile is cut from it.
#include "core/image/DIBSection2.h"

namespace quiltara {

class IProgressReporter;

/// Source sizes below this are raised to it.
constexpr int kMinSourceSide = 10;

/// The working source of width x height (each at least 10) resampled from the
/// 32-bit picture with the triangle filter, which averages when reducing. Returns
/// false, leaving source empty, when the size is the picture's own: the picture
/// itself is then used. Throws std::bad_alloc when the memory cannot be had.
bool ResampleSource(const CDIBSection2& picture, int width, int height, CDIBSection2& source);

/// A pitch angle in degrees brought into [0, 360): -90 is 270, 450 is 90.
double NormalizePitchAngle(double degrees);

/// Rotates the 32-bit source by the angle (clockwise on screen for positive
/// angles), growing it to hold the corners; the uncovered space is black. False,
/// leaving source as it was, when the memory for a step cannot be had.
bool RotateSource(CDIBSection2& source, double degrees, IProgressReporter* progress = nullptr);

} // namespace quiltara
