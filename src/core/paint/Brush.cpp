#include "core/paint/Brush.h"

namespace quiltara {

const char* BrushTypeLabel(int type) {
    static const char* const labels[] = {"Circular", "Rectangular", "Bitmap", "Image Brush",
                                         "Image Hose"};
    return type >= 0 && type < 5 ? labels[type] : "";
}

const char* HoseModeLabel(int mode) {
    static const char* const labels[] = {"Sequentially", "Randomly", "Directional"};
    return mode >= 0 && mode < 3 ? labels[mode] : "";
}

const char* PressureModeLabel(int mode) {
    static const char* const labels[] = {
        "None",  "Pressure",       "Opacity",         "Press. & Opacity",
        "Speed", "Speed & Press.", "Speed & Opacity", "All Together"};
    return mode >= 0 && mode < kPressureModeCount ? labels[mode] : "";
}

void CopyPicture(CDIBSection2& target, const CDIBSection2& source) {
    if (&target == &source) return;
    // Copy() does nothing for an empty source, which would leave an old picture behind.
    if (source.IsEmpty())
        target.MakeEmpty();
    else
        target.Copy(&source);
}

CBrush::CBrush() = default;

CBrush::CBrush(const CBrush& other) {
    *this = other;
}

CBrush& CBrush::operator=(const CBrush& other) {
    if (this == &other) return *this;
    name = other.name;
    CopyPicture(mask, other.mask);
    CopyPicture(preview, other.preview);
    strength = other.strength;
    type = other.type;
    colorOverlay = other.colorOverlay;
    spacing = other.spacing;
    spacingCopy = other.spacingCopy;
    blur = other.blur;
    spacingOn = other.spacingOn;
    size = other.size;
    color = other.color;
    autoGenerate = other.autoGenerate;
    hoseMode = other.hoseMode;
    hoseFrames.clear();
    hoseFrames.resize(other.hoseFrames.size());
    for (std::size_t i = 0; i < hoseFrames.size(); ++i)
        CopyPicture(hoseFrames[i], other.hoseFrames[i]);
    hoseCursor = other.hoseCursor;
    pressureMode = other.pressureMode;
    lastAngle = other.lastAngle;
    return *this;
}

void CBrush::SetColor(ColorRef c) {
    color = c;
    if (type < kBrushCircular || type > kBrushBitmap) return;
    if (mask.IsEmpty() || mask.GetBitsPerPixel() != 32) return;
    mask.Fill(c);
}

} // namespace quiltara
