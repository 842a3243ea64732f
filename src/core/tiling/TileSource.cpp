#include "core/tiling/TileSource.h"

#include "core/filters/Resize.h"
#include "core/filters/RotateByAngle.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace quiltara {

bool ResampleSource(const CDIBSection2& picture, int width, int height, CDIBSection2& source) {
    width = std::max(width, kMinSourceSide);
    height = std::max(height, kMinSourceSide);
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 ||
        (width == picture.GetWidth() && height == picture.GetHeight())) {
        source.MakeEmpty();
        return false;
    }
    CDIBSection2 made;
    made.Create(width, height, 32, true);
    ResizeBilinear(picture.GetBits(), picture.GetWidth(), picture.GetHeight(), made.GetBits(),
                   width, height);
    source = std::move(made);
    return true;
}

double NormalizePitchAngle(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    if (a >= 360.0) a -= 360.0; // fmod of a tiny negative value plus 360
    return a;
}

bool RotateSource(CDIBSection2& source, double degrees, IProgressReporter* progress) {
    if (source.IsEmpty() || source.GetBitsPerPixel() != 32) return false;
    try {
        CDIBSection2 rotated;
        RotateByAngle(source.GetBits(), source.GetWidth(), source.GetHeight(),
                      NormalizePitchAngle(degrees), MakeColorRef(0, 0, 0), rotated, progress);
        if (rotated.IsEmpty()) return false;
        source = std::move(rotated);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace quiltara
