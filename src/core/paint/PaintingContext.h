#pragma once
#include "core/base/ColorRef.h"
#include "core/image/DIBSection2.h"
#include "core/paint/Brush.h"
#include "core/paint/DabPainter.h"

namespace quiltara {

/// Clone source kinds of the painting brushes ("Texture Clone", "Original Clone").
enum CloneSourceKind : int { kCloneNone = 0, kCloneTexture = 1, kCloneOriginal = 2 };

/// The application-wide state every stroke reads: tool, colours, opacity and blend
/// mode, the texture with its strength, mode and alignment, the clone source kind,
/// centre sampling, the pen pressure and the current brush.
class CPaintingContext {
public:
    int toolId = 1;
    ColorRef foreColor = 0x0000FF; // "ForeCLR": also the colour of generated stamps
    ColorRef backColor = 0;        // "BackCLR"
    int opacity = 255;
    int blendMode = 0;
    CDIBSection2 texture;
    bool textureDefined = false;
    int textureStrength = 200;
    int textureMode = 0; // 0 plain mix, 1 "Screen", 2 "Screen" with "F-B"
    bool textureAligned = true;
    int cloneSourceKind = kCloneNone;
    bool centreSampling = false;
    int pressure = 255; // the tablet's, 255 without one
    CBrush brush;       // the current brush, a copy of the library's
    // What Texture Pick and the Auto Texture Maker made, or an imported picture; the
    // texture list's "Custom Texture" entry copies it into the texture.
    CDIBSection2 customTexture;

    /// Stores the colour and recolours the current brush's stamp.
    void SetForeColor(ColorRef color);
    /// Makes a copy of brush the current brush, in the foreground colour, with its
    /// stamp generated.
    void SelectBrush(const CBrush& selected);
    /// The texture when one is defined, else null.
    const CDIBSection2* Texture() const;

    /// The dab arguments of the painting brushes (colour-source kind 0): opacity, blend
    /// mode, colours, the brush's colour overlay and pressure mode, and the texture at
    /// its strength and mode (strength 0 without a texture). cloneSource is the
    /// Original for "Original Clone"; with a clone source kind other than none the
    /// brush takes one colour per dab from the texture or that picture.
    CDabArgs BrushDabArgs(const CDIBSection2* original = nullptr) const;
};

} // namespace quiltara
