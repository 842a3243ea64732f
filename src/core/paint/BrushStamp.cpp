#include "core/paint/BrushStamp.h"

#include "core/base/RuntimeRandom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quiltara {

namespace {

// The properties dialog offers sizes up to 60 and blur up to 30; a library file can
// hold anything, so generated stamps are held to a size a machine can make quickly.
constexpr int kMaxGeneratedSide = 1024;
constexpr double kMaxGeneratedBlur = 64;

void GenerateShape(CBrush& brush) {
    double blur = brush.blur;
    if (!std::isfinite(blur) || blur < 0) blur = 0;
    blur = std::min(blur, kMaxGeneratedBlur);
    const int size = std::clamp(brush.size, 1, kMaxGeneratedSide / 3);
    const double sideValue = std::min((size + 2.0 * blur) * 3.0, double(kMaxGeneratedSide));
    const int side = std::max(1, int(sideValue));
    brush.mask.Create(side, side, 32, true);
    std::fill(brush.mask.GetBits(), brush.mask.GetBits() + brush.mask.PixelBytes(),
              std::uint8_t(0));
    brush.mask.Fill(brush.color);
    if (brush.type == kBrushCircular)
        brush.mask.MakeRoundMask(size, size);
    else
        brush.mask.MakeRectMask(size, size);
    if (blur != 0) {
        BlurStampAlpha(brush.mask, blur);
        CropStampToAlpha(brush.mask);
    }
}

} // namespace

void GaussianBlurPlane(std::uint8_t* plane, int w, int h, double sigma) {
    if (!plane || w <= 0 || h <= 0 || !(sigma > 0)) return;
    const int n = int((sigma + 1.5) * 2);
    std::vector<double> weights(std::size_t(2 * n + 1));
    double sum = 0;
    for (int k = 0; k <= 2 * n; ++k) {
        const double t = (k - n) / sigma;
        weights[std::size_t(k)] = std::exp(-t * t / 2);
        sum += weights[std::size_t(k)];
    }
    for (double& wk : weights) wk /= sum;

    std::vector<std::uint8_t> pass(std::size_t(w) * h);
    auto clampTrunc = [](double v) { return std::uint8_t(std::clamp(int(v), 0, 255)); };
    // Rows, then columns; pixels beyond the plane are 0 and simply left out of the sum.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = &plane[std::size_t(y) * w];
        for (int x = 0; x < w; ++x) {
            double v = 0;
            const int k0 = std::max(0, n - x), k1 = std::min(2 * n, w - 1 - x + n);
            for (int k = k0; k <= k1; ++k) v += weights[std::size_t(k)] * row[x + k - n];
            pass[std::size_t(y) * w + x] = clampTrunc(v);
        }
    }
    for (int y = 0; y < h; ++y) {
        const int k0 = std::max(0, n - y), k1 = std::min(2 * n, h - 1 - y + n);
        for (int x = 0; x < w; ++x) {
            double v = 0;
            for (int k = k0; k <= k1; ++k)
                v += weights[std::size_t(k)] * pass[std::size_t(y + k - n) * w + x];
            plane[std::size_t(y) * w + x] = clampTrunc(v);
        }
    }
}

void BlurStampAlpha(CDIBSection2& stamp, double sigma) {
    if (stamp.IsEmpty() || stamp.GetBitsPerPixel() != 32 || !(sigma > 0)) return;
    const int w = stamp.GetWidth(), h = stamp.GetHeight();
    std::vector<std::uint8_t> plane(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) plane[std::size_t(y) * w + x] = stamp.PixelAt(x, y)[3];
    GaussianBlurPlane(plane.data(), w, h, sigma);
    // 3 x 3 mean with the edge repeated.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int s = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const int yy = std::clamp(y + dy, 0, h - 1);
                for (int dx = -1; dx <= 1; ++dx)
                    s += plane[std::size_t(yy) * w + std::clamp(x + dx, 0, w - 1)];
            }
            stamp.PixelAt(x, y)[3] = std::uint8_t(s / 9);
        }
    }
}

void CropStampToAlpha(CDIBSection2& stamp) {
    if (stamp.IsEmpty() || stamp.GetBitsPerPixel() != 32) return;
    const int w = stamp.GetWidth(), h = stamp.GetHeight();
    int left = w, right = -1, bottom = h, top = -1;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = stamp.PixelAt(0, y);
        for (int x = 0; x < w; ++x, p += 4) {
            if (!p[3]) continue;
            left = std::min(left, x), right = std::max(right, x);
            bottom = std::min(bottom, y), top = std::max(top, y);
        }
    }
    if (right < 0) return;
    CRect r{std::max(0, left - 1), std::max(0, bottom - 1), std::min(w, right + 2),
            std::min(h, top + 2)};
    if (r.left == 0 && r.top == 0 && r.right == w && r.bottom == h) return;
    CDIBSection2 cropped;
    cropped.Crop(&stamp, r);
    stamp = std::move(cropped);
}

void MakeBrushPreview(CBrush& brush, int request) {
    if (request <= 0 || brush.mask.IsEmpty() || brush.mask.GetBitsPerPixel() != 32) return;
    const CDIBSection2& mask = brush.mask;
    const int w = mask.GetWidth(), h = mask.GetHeight();
    CDIBSection2 preview;
    preview.Create(request, request, 32, true);
    std::fill(preview.GetBits(), preview.GetBits() + preview.PixelBytes(), std::uint8_t(0));
    if (w > request || h > request) {
        // The centred square, averaged down (or stretched) to request x request.
        const int side = std::min(w, h);
        const int x0 = (w - side) / 2, y0 = (h - side) / 2;
        for (int y = 0; y < request; ++y) {
            const int sy0 = y0 + y * side / request;
            const int sy1 = std::max(sy0 + 1, y0 + (y + 1) * side / request);
            for (int x = 0; x < request; ++x) {
                const int sx0 = x0 + x * side / request;
                const int sx1 = std::max(sx0 + 1, x0 + (x + 1) * side / request);
                int sums[4] = {0, 0, 0, 0}, count = 0;
                for (int sy = sy0; sy < sy1; ++sy)
                    for (int sx = sx0; sx < sx1; ++sx, ++count)
                        for (int c = 0; c < 4; ++c) sums[c] += mask.PixelAt(sx, sy)[c];
                for (int c = 0; c < 4; ++c)
                    preview.PixelAt(x, y)[c] = std::uint8_t(sums[c] / count);
            }
        }
    } else {
        const int dx = (request - w) / 2, dy = (request - h) / 2;
        for (int y = 0; y < h; ++y)
            std::copy_n(mask.PixelAt(0, y), std::size_t(w) * 4, preview.PixelAt(dx, y + dy));
    }
    preview.Fill(0xFFFFFF);
    if (brush.colorOverlay) preview.SetAlpha(255);
    brush.preview = std::move(preview);
}

void GenerateStamp(CBrush& brush, int previewSize) {
    switch (brush.type) {
    case kBrushCircular:
    case kBrushRectangular:
        brush.colorOverlay = 0;
        GenerateShape(brush);
        break;
    case kBrushBitmap:
    case kBrushImage:
        CropStampToAlpha(brush.mask);
        if (brush.type == kBrushBitmap) brush.SetColor(brush.color);
        break;
    default:
        break; // an image hose keeps its frames and mask as loaded
    }
    if (brush.autoGenerate && previewSize > 0) MakeBrushPreview(brush, previewSize);
}

const CDIBSection2& StampForDab(CBrush& brush, int angle, CRuntimeRandom& random) {
    const int b = int(brush.hoseFrames.size());
    if (brush.type != kBrushImageHose || b == 0) return brush.mask;
    int d = 0;
    switch (brush.hoseMode) {
    case kHoseRandom:
        // Draw until the draw differs from the cursor; there are b + 1 outcomes, so this
        // ends. The draw itself is kept as the cursor, even when b made it frame 0.
        do d = int(b * (random.Next() * (1.0 / 32767)) + 0.5);
        while (d == brush.hoseCursor);
        brush.hoseCursor = d;
        if (d >= b) d = 0;
        break;
    case kHoseDirectional: {
        const int step = 360 / b;
        d = step > 0 ? (angle + step / 2) / step : 0;
        if (d >= b || d < 0) d = 0;
        brush.hoseCursor = d;
        break;
    }
    default:
        d = brush.hoseCursor;
        if (d < 0 || d >= b) d = 0;
        brush.hoseCursor = d + 1 >= b ? 0 : d + 1;
        break;
    }
    return brush.hoseFrames[std::size_t(d)];
}

int StrokeAngle(double dx, double dy, int previous) {
    if (dx == 0 && dy == 0) return previous;
    return int(std::atan2(dy, dx) * (180.0 / 3.14159265358979323846) + 360) % 360;
}

} // namespace quiltara
