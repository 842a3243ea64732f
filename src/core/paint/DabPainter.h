#pragma once
#include "core/base/ColorRef.h"
#include "core/image/DIBSection2.h"

#include <cstdint>

namespace quiltara {

/// Colour-source kinds the engine computes itself; the retouch, line-bridge and effect
/// kinds (2-5, 11-17, 28, 29-37, 51) come from an IDabColorSource given by the tool.
enum ColorSourceKind : int {
    kSourcePlain = 0,
    kSourceClone = 1,
    kSourceBackground = 6,
    kSourceHistory = 7,
};

struct CDabArgs;

/// One pixel of a dab as a colour source sees it. X, Y: the wrapped image position
/// (memory rows); x, y: the same before wrapping; x0, y0: the stamp pixel.
struct CDabPixel {
    int X = 0, Y = 0;
    int x = 0, y = 0;
    int x0 = 0, y0 = 0;
    const std::uint8_t* u = nullptr;     // the read image's pixel (blue, green, red, alpha)
    const std::uint8_t* stamp = nullptr; // the stamp's pixel
};

/// A colour source the engine does not compute itself (the tools' per-pixel operators).
class IDabColorSource {
public:
    virtual ~IDabColorSource() = default;
    /// Once before the pixels of a dab.
    virtual void BeginDab(const CDIBSection2& /*readImage*/, const CDabArgs& /*args*/) {}
    /// The colour c (blue, green, red) for one pixel; called for every stamp pixel, in
    /// the engine's order, including those the stamp does not cover.
    virtual void ColorAt(const CDIBSection2& readImage, const CDabArgs& args,
                         const CDabPixel& pixel, int c[3]) = 0;
};

/// Everything a dab needs besides the two pictures. Positions are in memory rows
/// (row 0 at the bottom of the picture, like the pictures' storage) and may lie
/// anywhere: they are wrapped.
struct CDabArgs {
    const CDIBSection2* stamp = nullptr;
    int left = 0, top = 0; // where the stamp's pixel (0, 0) goes
    int opacity = 255;
    int blendMode = 0;
    int colorSource = kSourcePlain;
    int offsetX = 0, offsetY = 0;
    bool feedback = false;
    /// The texture for kinds 0 and 6 and for centre sampling, the clone source for kind
    /// 1 (null: the read image), the saved picture for kind 7.
    const CDIBSection2* source = nullptr;
    /// The texture strength; for kind 1 the wrap flag of a source image.
    int textureStrength = 0;
    int textureMode = 0;
    ColorRef backColor = 0;
    ColorRef overlayColor = 0;
    bool colorOverlay = false;
    bool centreSampling = false;
    int pressure = 255;
    int pressureMode = 0;
    IDabColorSource* customSource = nullptr;
};

/// The stamp alpha A (0 ... 255) after the pressure mode for pen pressure t; never
/// negative.
int PressureAlpha(int alpha, int pressure, int pressureMode);

/// Composites one stamp into destination, comparing against readImage (which may be
/// the destination itself). Skipped, returning false, when a picture is missing, empty,
/// swapped out or not 32-bit, or when the two differ in size.
bool PaintDab(CDIBSection2& destination, CDIBSection2& readImage, const CDabArgs& args);

} // namespace quiltara
