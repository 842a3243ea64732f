#include "core/paint/BrushPictures.h"

#include <cstring>

namespace quiltara {

void ScalePictureNearest(const CDIBSection2& source, int w, int h, CDIBSection2& target) {
    if (source.IsEmpty() || w <= 0 || h <= 0) return;
    CDIBSection2 scaled;
    scaled.Create(w, h, 32, true);
    const int sw = source.GetWidth(), sh = source.GetHeight();
    const int bpp = source.GetBitsPerPixel() / 8;
    if (bpp != 3 && bpp != 4) return; // the brush pictures are 24 or 32 bits
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = source.GetRow(int((long long)y * sh / h));
        std::uint8_t* d = scaled.GetRow(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* px = s + std::size_t((long long)x * sw / w) * bpp;
            d[x * 4 + 0] = px[0];
            d[x * 4 + 1] = px[1];
            d[x * 4 + 2] = px[2];
            d[x * 4 + 3] = bpp == 4 ? px[3] : 255;
        }
    }
    target = std::move(scaled);
}

void LoadBrushPicture(CBrush& brush, const CDIBSection2& picture, bool hasAlpha) {
    if (picture.IsEmpty()) return;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    if (hasAlpha) {
        ScalePictureNearest(picture, w, h, brush.mask);
        return;
    }
    if (!brush.mask.IsEmpty() && brush.mask.GetWidth() == w && brush.mask.GetHeight() == h) {
        CDIBSection2 copy;
        ScalePictureNearest(picture, w, h, copy);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* s = copy.GetRow(y);
            std::uint8_t* d = brush.mask.GetRow(y);
            for (int x = 0; x < w; ++x) std::memcpy(d + x * 4, s + x * 4, 3);
        }
        return;
    }
    ScalePictureNearest(picture, w, h, brush.mask);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = brush.mask.GetRow(y);
        for (int x = 0; x < w; ++x) d[x * 4 + 3] = 255;
    }
}

void LoadBrushMask(CBrush& brush, const CDIBSection2& picture, bool negative) {
    if (picture.IsEmpty()) return;
    if (brush.mask.IsEmpty())
        ScalePictureNearest(picture, picture.GetWidth(), picture.GetHeight(), brush.mask);
    const int w = brush.mask.GetWidth(), h = brush.mask.GetHeight();
    CDIBSection2 sized;
    ScalePictureNearest(picture, w, h, sized);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = sized.GetRow(y);
        std::uint8_t* d = brush.mask.GetRow(y);
        for (int x = 0; x < w; ++x) {
            const int brightness = (s[x * 4 + 2] * 30 + s[x * 4 + 1] * 59 + s[x * 4] * 11) / 100;
            d[x * 4 + 3] = std::uint8_t(negative ? 255 - brightness : brightness);
        }
    }
}

void SetBrushPreview(CBrush& brush, const CDIBSection2& picture) {
    ScalePictureNearest(picture, 40, 40, brush.preview);
}

} // namespace quiltara
