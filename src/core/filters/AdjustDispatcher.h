#pragma once
#include "core/filters/LevelsModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

class CDIBSection2;

/// Operation numbers of the adjustment dispatcher.
enum AdjustOperation {
    kAdjBrightnessContrast = 0,
    kAdjAutoLevels = 1,
    kAdjEqualize = 2,
    kAdjAutoEnhance = 3,
    kAdjHueSaturation = 4,
    kAdjDesaturate = 5,
    kAdjNegative = 6,
    kAdjFlipHorizontal = 7,
    kAdjFlipVertical = 8,
    kAdjRotate90CW = 9,
    kAdjRotate90CCW = 10,
    kAdjRotate180 = 11,
    kAdjSepia = 12,
    kAdjBlur = 13,
    kAdjBlurMore = 14,
    kAdjSharpen = 15,
    kAdjSharpenMore = 16,
    kAdjGamma = 17,
    kAdjRgbCurves = 18,
    kAdjLevels = 19,
    kAdjMedianCut = 20,
    kAdjDespeckle = 21,
    kAdjAutoCleanSkin = 22,
    kAdjThermoVision = 23,
    kAdjOperationCount = 24
};

struct AdjustOperationInfo {
    int number;
    int commandId;       // the menu command
    const char* command; // the menu text
    const char* cliName; // the command-line name
    bool hasDialog;
};
/// The 24 operations in number order.
const std::vector<AdjustOperationInfo>& AdjustOperations();
/// Number for a command-line name or a menu text, -1 if none.
int FindAdjustOperation(const std::string& name);

/// What one adjustment command works on: the pixels of the working image or of the
/// floating selection, with a copy taken before the command (the source of live
/// previews and of cancelling). The picture that owns the pixels is needed when an
/// operation changes the size (the right-angle turns).
struct AdjustTarget {
    CDIBSection2* bitmap = nullptr;
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> backup;
    bool sizeChanged = false;

    /// A target over a whole 32-bit picture, backup taken.
    static AdjustTarget ForPicture(CDIBSection2& picture);
    /// A target over a plain buffer (no size changes possible), backup taken.
    static AdjustTarget ForBuffer(std::uint8_t* pixels, int width, int height);
    std::size_t Bytes() const { return std::size_t(width) * std::size_t(height) * 4; }
    void TakeBackup();
    /// Puts the backup back (Cancel): the pixels become exactly what they were.
    void RestoreBackup();
    /// After a size change the pointers and sizes follow the bitmap again.
    void Refresh();
};

/// The settings of the five dialog operations, as the dialogs hold them: track bar
/// positions and the Levels values.
struct AdjustSettings {
    int brightness = 0; // displayed values -127..127 (track bar position - 127)
    int contrast = 0;
    int gammaPosition = 100;                 // 0..200
    int curvesPosition[3] = {100, 100, 100}; // red, green, blue, 0..200
    int huePosition = 180;                   // 0..360
    int saturationPosition = 100;            // 0..200
    int lightnessPosition = 100;             // 0..200
    LevelsChannel levels[3];                 // red, green, blue
};

// The tables of the dialog operations (32-bit order: table 0 blue, 1 green, 2 red).
ChannelLut BrightnessContrastLut(int brightness, int contrast);
ChannelLut GammaLut(int position);
ChannelLut RgbCurvesLut(int redPosition, int greenPosition, int bluePosition);

/// Renders a dialog operation from the target's backup into its pixels with the given
/// settings (the live preview on release). False for a number without a dialog.
bool RenderAdjustmentPreview(AdjustTarget& target, int operation, const AdjustSettings& settings);

/// Runs operation 0..23 on the target. Operations with a dialog need settings (the
/// values the user confirmed with OK); without them they count as cancelled: the
/// target is restored from its backup and false returned. Numbers outside 0..23 return
/// false. A working buffer that cannot be allocated throws std::bad_alloc before the
/// pixels are touched. The right-angle turns set sizeChanged.
bool RunAdjustment(AdjustTarget& target, int operation, const AdjustSettings* settings = nullptr);

} // namespace quiltara
