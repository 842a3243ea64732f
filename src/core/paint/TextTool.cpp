#include "core/paint/TextTool.h"

#include "core/base/SettingsStore.h"
#include "core/base/WrapIndex.h"
#include "core/image/FontRaster.h"
#include "core/paint/BrushStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace quiltara {

const char* const kTextSizeTooLarge =
    "Please, please put the font size smaller!\nI don't think your PC have enough memory nor I "
    "have enough patience to calculate it.";
const char* const kTextSizeTooSmall = "Please put size bigger than 1";
const char* const kTextMemoryError = "Memory error";

namespace {

// The double-size drawing is refused beyond this many pixels (a gigabyte of picture)
// rather than left to fail somewhere inside the allocator.
constexpr long long kMaxWorkingPixels = 1LL << 28;

int FontHeight(double size) {
    return -int(std::clamp(size, 0.0, 8000.0) * 2);
}

} // namespace

void LoadTextSettings(const ISettingsStore& store, CTextSettings& s) {
    s.fontName = store.GetString("Font", "Name", s.fontName);
    const std::string size = store.GetString("Font", "Size", "");
    if (!size.empty()) {
        char* end = nullptr;
        const double value = std::strtod(size.c_str(), &end);
        if (end != size.c_str() && std::isfinite(value)) s.size = value;
    }
    s.bold = store.GetInt("Font", "Bold", s.bold) != 0;
    s.italic = store.GetInt("Font", "Italic", s.italic) != 0;
    s.align = std::clamp(store.GetInt("Font", "Align", s.align), 0, 2);
    s.color = ColorRef(store.GetInt("Text", "Color", int(s.color))) & 0xFFFFFF;
    s.shadowColor = ColorRef(store.GetInt("Text", "ColorB", int(s.shadowColor))) & 0xFFFFFF;
    s.shadow = store.GetInt("Text", "Shadow", s.shadow) != 0;
    s.shadowDistance = std::clamp(store.GetInt("Text", "Dist", s.shadowDistance), 0, 1000);
    s.bevel = store.GetInt("Text", "3D", s.bevel) != 0;
}

void StoreTextSettings(ISettingsStore& store, const CTextSettings& s) {
    store.SetString("Font", "Name", s.fontName);
    char size[64];
    std::snprintf(size, sizeof size, "%g", s.size);
    store.SetString("Font", "Size", size);
    store.SetInt("Font", "Bold", s.bold);
    store.SetInt("Font", "Italic", s.italic);
    store.SetInt("Font", "Align", s.align);
    store.SetInt("Font", "Height", FontHeight(s.size));
    store.SetInt("Font", "Width", 0);
    store.SetInt("Font", "Escape", 0);
    store.SetInt("Font", "Orient", 0);
    store.SetInt("Font", "Weight", s.bold ? 700 : 400);
    store.SetInt("Text", "Color", int(s.color));
    store.SetInt("Text", "ColorB", int(s.shadowColor));
    store.SetInt("Text", "Shadow", s.shadow);
    store.SetInt("Text", "Dist", s.shadowDistance);
    store.SetInt("Text", "3D", s.bevel);
}

std::string CheckTextSize(double size) {
    if (!(size < 4000)) return kTextSizeTooLarge; // NaN is refused too
    if (size < 1) return kTextSizeTooSmall;
    return {};
}

std::string MissingFontMessage(const std::string& fontName) {
    return "This Object was originally designed with the '" + fontName +
           "' font.\nThis font doesn't exist on your system, please select other font or press "
           "Cancel.";
}

int ShadowOffset(int distance) {
    return std::max(distance, 1) * 5;
}

void BlendWrapped(CDIBSection2& image, const CDIBSection2& layer, int x, int y) {
    if (image.IsEmpty() || image.GetBitsPerPixel() != 32 || layer.IsEmpty() ||
        layer.GetBitsPerPixel() != 32 || &image == &layer)
        return;
    const int w = image.GetWidth(), h = image.GetHeight();
    const int lw = layer.GetWidth(), lh = layer.GetHeight();
    for (int j = 0; j < lh; ++j) {
        // Rows of both pictures are stored bottom-up; layer row j (from the top) lands
        // on image row y + j, wrapped.
        const std::uint8_t* s = layer.PixelAt(0, lh - 1 - j);
        const int row = h - 1 - WrapIndex((long long)y + j, h);
        for (int i = 0; i < lw; ++i, s += 4) {
            const int a = s[3];
            if (a == 0) continue;
            std::uint8_t* d = image.PixelAt(WrapIndex((long long)x + i, w), row);
            if (a == 255) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
                continue;
            }
            for (int c = 0; c < 3; ++c) d[c] = std::uint8_t((d[c] * (255 - a) + s[c] * a) >> 8);
        }
    }
}

CDIBSection2 HalvePicture(const CDIBSection2& source) {
    CDIBSection2 out;
    if (source.IsEmpty() || source.GetBitsPerPixel() != 32) return out;
    const int w = source.GetWidth(), h = source.GetHeight();
    const int hw = std::max(1, w / 2), hh = std::max(1, h / 2);
    // Output sample j sits on source sample 2j; its neighbours weigh half as much.
    auto tap = [](auto get, int j, int n, int c) {
        const int centre = std::min(2 * j, n - 1);
        int sum = 2 * get(centre, c), weight = 2;
        if (centre > 0) sum += get(centre - 1, c), ++weight;
        if (centre + 1 < n) sum += get(centre + 1, c), ++weight;
        return std::uint8_t(sum / weight);
    };
    std::vector<std::uint8_t> rows(std::size_t(hw) * std::size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = source.PixelAt(0, y);
        std::uint8_t* d = &rows[std::size_t(y) * std::size_t(hw) * 4];
        auto get = [s](int x, int c) { return int(s[std::size_t(x) * 4 + std::size_t(c)]); };
        for (int x = 0; x < hw; ++x)
            for (int c = 0; c < 4; ++c) d[std::size_t(x) * 4 + std::size_t(c)] = tap(get, x, w, c);
    }
    out.Create(hw, hh, 32, true);
    for (int y = 0; y < hh; ++y) {
        std::uint8_t* d = out.PixelAt(0, y);
        for (int x = 0; x < hw; ++x) {
            auto get = [&](int yy, int c) {
                return int(rows[(std::size_t(yy) * std::size_t(hw) + std::size_t(x)) * 4 +
                                std::size_t(c)]);
            };
            for (int c = 0; c < 4; ++c) d[std::size_t(x) * 4 + std::size_t(c)] = tap(get, y, h, c);
        }
    }
    return out;
}

void ShadeBevel(CDIBSection2& picture, const std::uint8_t* height, int strength) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 || !height || strength <= 0) return;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    constexpr double kPi = 3.14159265358979323846;
    const double azimuth = 225 * kPi / 180, elevation = 30 * kPi / 180;
    // Rows run downwards, so the light of 225 degrees comes from the upper left.
    const double lx = std::cos(azimuth) * std::cos(elevation);
    const double ly = std::sin(azimuth) * std::cos(elevation);
    const double lz = std::sin(elevation);
    // A rise from 0 to 255 over four pixels leans the surface by about 45 degrees.
    constexpr double kDepth = 4.0 / 255.0 / 2.0;
    const double gain = 255.0 * strength / 100.0;
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1), y = std::clamp(y, 0, h - 1);
        return double(height[std::size_t(y) * std::size_t(w) + std::size_t(x)]);
    };
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = picture.PixelAt(0, h - 1 - y);
        for (int x = 0; x < w; ++x, p += 4) {
            if (p[3] == 0) continue;
            const double nx = -(at(x + 1, y) - at(x - 1, y)) * kDepth;
            const double ny = -(at(x, y + 1) - at(x, y - 1)) * kDepth;
            const double shade = (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1);
            // Flat parts keep their colour; slopes facing the light brighten.
            const int delta = int((shade - lz) * gain);
            for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::clamp(p[c] + delta, 0, 255));
        }
    }
}

TextPicture RenderTextPicture(const CTextSettings& s, bool halve) {
    TextPicture result;
    if (s.text.empty()) return result;
    if (!CheckTextSize(s.size).empty()) {
        result.ok = false;
        result.error = CheckTextSize(s.size);
        return result;
    }
    CFontRaster raster;
    if (!raster.Open({s.fontName, s.bold, s.italic}, -FontHeight(s.size))) {
        result.ok = false;
        result.error = "No font is installed on this system.";
        return result;
    }
    result.fontUsed = raster.Match().family;
    result.fontExact = raster.Match().exact;
    int textWidth = 0, textHeight = 0;
    raster.Measure(s.text, textWidth, textHeight);
    long long width = textWidth, height = textHeight;
    // An italic line leans past its advance: room for the slant.
    if (s.italic) width += raster.LineWidth("M");
    const int d = s.shadow ? ShadowOffset(s.shadowDistance) : 0;
    width += d, height += d;
    if (width <= 0 || height <= 0) return result;
    if (width * height > kMaxWorkingPixels) {
        result.ok = false;
        result.error = kTextMemoryError;
        return result;
    }
    try {
        const int w = int(width), h = int(height);
        const std::size_t n = std::size_t(w) * std::size_t(h);
        TextMask mask{w, h, std::vector<std::uint8_t>(n, 0)};
        // The lines are placed in the measured box; the shadow's room lies beyond it.
        raster.DrawText(s.text, 0, 0, textWidth, TextAlign(std::clamp(s.align, 0, 2)), mask);
        const std::vector<std::uint8_t>& t = mask.coverage;
        std::vector<std::uint8_t> alpha(t);
        if (s.shadow) {
            std::vector<std::uint8_t> shade(n, 0);
            for (int y = d; y < h; ++y)
                std::copy_n(&t[std::size_t(y - d) * w], std::size_t(w - d),
                            &shade[std::size_t(y) * w + std::size_t(d)]);
            GaussianBlurPlane(shade.data(), w, h, s.size * 0.05 + 1);
            for (std::size_t i = 0; i < n; ++i) alpha[i] = std::max(t[i], shade[i]);
        }
        CDIBSection2 picture;
        picture.Create(w, h, 32, true);
        if (picture.IsEmpty()) throw std::bad_alloc();
        const int tr = RedOf(s.color), tg = GreenOf(s.color), tb = BlueOf(s.color);
        const int sr = RedOf(s.shadowColor), sg = GreenOf(s.shadowColor),
                  sb = BlueOf(s.shadowColor);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* p = picture.PixelAt(0, h - 1 - y);
            for (int x = 0; x < w; ++x, p += 4) {
                const std::size_t i = std::size_t(y) * w + std::size_t(x);
                if (s.shadow) {
                    const int c = t[i];
                    p[0] = std::uint8_t((tb * c + sb * (255 - c)) >> 8);
                    p[1] = std::uint8_t((tg * c + sg * (255 - c)) >> 8);
                    p[2] = std::uint8_t((tr * c + sr * (255 - c)) >> 8);
                } else {
                    p[0] = std::uint8_t(tb), p[1] = std::uint8_t(tg), p[2] = std::uint8_t(tr);
                }
                p[3] = alpha[i];
            }
        }
        if (s.bevel) {
            std::vector<std::uint8_t> field(alpha);
            GaussianBlurPlane(field.data(), w, h, std::min(s.size * 0.0125 + 1, 5.0));
            ShadeBevel(picture, field.data(), std::min(int(s.size * 0.05 * 100), 100));
        }
        result.picture = halve ? HalvePicture(picture) : std::move(picture);
        if (result.picture.IsEmpty()) throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        result.picture = CDIBSection2();
        result.ok = false;
        result.error = kTextMemoryError;
    }
    return result;
}

} // namespace quiltara
