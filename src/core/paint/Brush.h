#pragma once
#include "core/base/ColorRef.h"
#include "core/image/DIBSection2.h"

#include <string>
#include <vector>

namespace quiltara {

/// Brush types, in the order of the "Type" radio group.
enum BrushType : int {
    kBrushCircular = 0,
    kBrushRectangular = 1,
    kBrushBitmap = 2,
    kBrushImage = 3,
    kBrushImageHose = 4,
};

/// The most frames an image hose holds (and a brush file reads back).
constexpr int kMaxHoseFrames = 100000;

/// How an image hose picks its frames.
enum HoseMode : int { kHoseSequential = 0, kHoseRandom = 1, kHoseDirectional = 2 };

/// Index into the "Presure Sensitivity" list.
enum PressureMode : int {
    kPressureNone = 0,
    kPressureSize = 1,
    kPressureOpacity = 2,
    kPressureSizeAndOpacity = 3,
    kPressureSpeed = 4,
    kPressureSpeedAndSize = 5,
    kPressureSpeedAndOpacity = 6,
    kPressureAll = 7,
};

const char* BrushTypeLabel(int type);    // "Circular" ... "Image Hose"; "" when unknown
const char* HoseModeLabel(int mode);     // "Sequentially", "Randomly", "Directional"
const char* PressureModeLabel(int mode); // "None" ... "All Together"
constexpr int kPressureModeCount = 8;

/// One brush of a library. Pictures are held by value and copied deeply with the brush.
/// The brush colour and the hose cursor live only at run time; everything else is
/// stored in the brush files.
class CBrush {
public:
    CBrush();
    CBrush(const CBrush& other);
    CBrush& operator=(const CBrush& other);
    CBrush(CBrush&&) noexcept = default;
    CBrush& operator=(CBrush&&) noexcept = default;

    std::string name = "Brush";
    CDIBSection2 mask;    // the dab stamp: alpha is coverage, colour bytes the paint
    CDIBSection2 preview; // the library grid's picture
    int strength = 255;
    int type = kBrushCircular;
    int colorOverlay = 0;
    double spacing = 0.15; // fraction of the stamp width
    double spacingCopy = 0.15;
    double blur = 2.0;
    int spacingOn = 1;
    int size = 20;
    ColorRef color = 0x0000FF; // not stored
    int autoGenerate = 1;
    int hoseMode = kHoseSequential;
    std::vector<CDIBSection2> hoseFrames;
    int hoseCursor = 0; // not stored
    int pressureMode = kPressureOpacity;
    // The direction of the last stroke movement, kept for directional hoses between strokes.
    int lastAngle = 0;

    /// Sets the colour that generated stamps carry and writes it into the mask's colour
    /// bytes for "Circular", "Rectangular" and "Bitmap"; an "Image Brush" keeps the
    /// colours of its picture.
    void SetColor(ColorRef c);
};

/// Copies a picture deeply, an empty source making the target empty too.
void CopyPicture(CDIBSection2& target, const CDIBSection2& source);

} // namespace quiltara
