#pragma once

namespace quiltara {

/// The brightness and contrast curve for x in 0..1, brightness -255..255 and contrast
/// -127..127: brightness lifts or lowers the line, contrast bends it around the middle.
/// The "Brightness & Contrast" adjustment and the brightness/contrast retouch brushes
/// both map through it.
double BrightnessContrastCurve(double x, int brightness, int contrast);

} // namespace quiltara
