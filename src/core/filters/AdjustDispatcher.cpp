#include "core/filters/AdjustDispatcher.h"

#include "core/filters/DirectFilters.h"
#include "core/filters/RightAngle.h"
#include "core/filters/ToneAdjustments.h"
#include "core/image/DIBSection2.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace quiltara {

const std::vector<AdjustOperationInfo>& AdjustOperations() {
    static const std::vector<AdjustOperationInfo> list = {
        {0, 32785, "Brightness/Contrast...", "brightness-contrast", true},
        {1, 32784, "Auto Levels", "auto-levels", false},
        {2, 32829, "Equalize", "equalize", false},
        {3, 32828, "Auto Enhance Photos", "auto-enhance", false},
        {4, 32786, "Hue/Saturation...", "hue-saturation", true},
        {5, 32787, "Desaturate", "desaturate", false},
        {6, 32788, "Negative", "negative", false},
        {7, 32814, "Flip Horizontal", "flip-h", false},
        {8, 32815, "Flip Vertical", "flip-v", false},
        {9, 32812, "Rotate 90 CW", "rot90cw", false},
        {10, 32813, "Rotate 90 CCW", "rot90ccw", false},
        {11, 32830, "Rotate 180", "rot180", false},
        {12, 32831, "Sepia", "sepia", false},
        {13, 32872, "Blur", "blur", false},
        {14, 32873, "Blur More", "blur-more", false},
        {15, 32874, "Sharpen", "sharpen", false},
        {16, 32875, "Sharpen More", "sharpen-more", false},
        {17, 32876, "Gama...", "gamma", true},
        {18, 32877, "RGB Curves...", "curves", true},
        {19, 32878, "Levels...", "levels", true},
        {20, 32879, "Median Cut", "median", false},
        {21, 32880, "Despeckle", "despeckle", false},
        {22, 32884, "Auto Clean Skin", "clean-skin", false},
        {23, 32885, "Thermo Vision", "thermo", false},
    };
    return list;
}

int FindAdjustOperation(const std::string& name) {
    auto lower = [](std::string s) {
        for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string wanted = lower(name);
    for (const auto& op : AdjustOperations())
        if (wanted == op.cliName || wanted == lower(op.command)) return op.number;
    return -1;
}

AdjustTarget AdjustTarget::ForPicture(CDIBSection2& picture) {
    AdjustTarget t;
    t.bitmap = &picture;
    t.Refresh();
    t.TakeBackup();
    return t;
}

AdjustTarget AdjustTarget::ForBuffer(std::uint8_t* pixels, int width, int height) {
    AdjustTarget t;
    t.pixels = pixels;
    t.width = pixels && width > 0 && height > 0 ? width : 0;
    t.height = pixels && width > 0 && height > 0 ? height : 0;
    t.TakeBackup();
    return t;
}

void AdjustTarget::Refresh() {
    if (!bitmap) return;
    const bool usable = !bitmap->IsEmpty() && bitmap->GetBitsPerPixel() == 32;
    pixels = usable ? bitmap->GetBits() : nullptr;
    width = usable ? bitmap->GetWidth() : 0;
    height = usable ? bitmap->GetHeight() : 0;
}

void AdjustTarget::TakeBackup() {
    backup.assign(pixels, pixels + (pixels ? Bytes() : 0));
}

void AdjustTarget::RestoreBackup() {
    if (!pixels) return;
    if (backup.size() == Bytes()) {
        std::memcpy(pixels, backup.data(), backup.size());
    }
}

ChannelLut BrightnessContrastLut(int brightness, int contrast) {
    ChannelLut lut;
    lut.SetAllColourCurves(
        [=](double x) { return BrightnessContrastCurve(x, brightness, contrast); });
    return lut;
}

ChannelLut GammaLut(int position) {
    const double gamma = GammaFromPosition(position);
    ChannelLut lut;
    lut.SetAllColourCurves([=](double x) { return LevelsCurve(x, 0, 255, 0, 255, gamma); });
    return lut;
}

ChannelLut RgbCurvesLut(int redPosition, int greenPosition, int bluePosition) {
    ChannelLut lut;
    const int positions[3] = {bluePosition, greenPosition, redPosition};
    for (int k = 0; k < 3; ++k) {
        const double value = GammaFromPosition(positions[k]);
        lut.SetCurve(k, [=](double x) { return ContrastStretchCurve(x, value); });
    }
    return lut;
}

bool RenderAdjustmentPreview(AdjustTarget& target, int operation, const AdjustSettings& s) {
    if (!target.pixels || target.backup.size() != target.Bytes()) return false;
    const std::uint8_t* from = target.backup.data();
    switch (operation) {
    case kAdjBrightnessContrast:
        BrightnessContrastLut(s.brightness, s.contrast)
            .Apply32(from, target.pixels, target.width, target.height);
        return true;
    case kAdjGamma:
        GammaLut(s.gammaPosition).Apply32(from, target.pixels, target.width, target.height);
        return true;
    case kAdjRgbCurves:
        RgbCurvesLut(s.curvesPosition[0], s.curvesPosition[1], s.curvesPosition[2])
            .Apply32(from, target.pixels, target.width, target.height);
        return true;
    case kAdjLevels:
        LevelsLut(s.levels).Apply32(from, target.pixels, target.width, target.height);
        return true;
    case kAdjHueSaturation:
        ApplyHueSaturation(
            from, target.pixels, target.width, target.height,
            MakeHueSaturationTables(s.huePosition, s.saturationPosition, s.lightnessPosition));
        return true;
    default:
        return false;
    }
}

bool RunAdjustment(AdjustTarget& t, int operation, const AdjustSettings* settings) {
    if (operation < 0 || operation >= kAdjOperationCount) return false;
    if (!t.pixels || t.width <= 0 || t.height <= 0) return true; // nothing to work on
    std::uint8_t* p = t.pixels;
    const int w = t.width, h = t.height;
    switch (operation) {
    case kAdjBrightnessContrast:
    case kAdjHueSaturation:
    case kAdjGamma:
    case kAdjRgbCurves:
    case kAdjLevels:
        if (!settings) {
            t.RestoreBackup();
            return false;
        }
        if (t.backup.size() != t.Bytes()) t.TakeBackup();
        return RenderAdjustmentPreview(t, operation, *settings);
    case kAdjAutoLevels:
        AutoLevels(p, w, h, AutoLevelsClip(0.05));
        return true;
    case kAdjEqualize:
        Equalize(p, w, h);
        return true;
    case kAdjAutoEnhance:
        AutoEnhancePhotos(p, w, h);
        return true;
    case kAdjDesaturate:
        Desaturate(p, w, h);
        return true;
    case kAdjNegative:
        Negative(p, w, h);
        return true;
    case kAdjFlipHorizontal:
        FlipHorizontal(p, w, h);
        return true;
    case kAdjFlipVertical:
        FlipVertical(p, w * 4, h);
        return true;
    case kAdjRotate180:
        RotateRightAngle(p, w, h, kRotate180);
        return true;
    case kAdjRotate90CW:
    case kAdjRotate90CCW: {
        const int code = operation == kAdjRotate90CW ? kRotate90CW : kRotate90CCW;
        if (t.bitmap) {
            RotatePictureRightAngle(*t.bitmap, code);
            t.Refresh();
            t.sizeChanged = true;
        } else {
            // A plain buffer cannot change shape: it holds the turned picture with
            // width and height exchanged.
            RotateRightAngle(p, w, h, code);
            std::swap(t.width, t.height);
            t.sizeChanged = true;
        }
        return true;
    }
    case kAdjSepia:
        Sepia(p, w, h);
        return true;
    case kAdjBlur:
        Blur(p, w, h);
        return true;
    case kAdjBlurMore:
        BlurMore(p, w, h);
        return true;
    case kAdjSharpen:
        Sharpen(p, w, h);
        return true;
    case kAdjSharpenMore:
        SharpenMore(p, w, h);
        return true;
    case kAdjMedianCut:
        MedianCutRepeatEdge(p, w, h);
        return true;
    case kAdjDespeckle:
        Despeckle(p, w, h);
        return true;
    case kAdjAutoCleanSkin:
        AutoCleanSkin(p, w, h);
        return true;
    case kAdjThermoVision:
        ThermoVision(p, w, h);
        return true;
    default:
        return false;
    }
}

} // namespace quiltara
