// Text records of both metafile kinds, drawn with the installed fonts.
#include "core/image/codecs/MetafileCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace quiltara {

namespace {

// Sizes beyond this are drawn at this size: larger glyphs cost much and show little.
constexpr long long kMaxMetaFontPixels = 2048;
// A font record with height 0 asks for the default size.
constexpr long long kDefaultMetaFontPixels = 12;
constexpr long long kMaxMaskPixels = 1LL << 26;
constexpr std::size_t kMaxCachedRasters = 16;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6)), out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12)), out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18)), out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F)), out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string AnsiToUtf8(const std::uint8_t* text, std::size_t length) {
    // The characters Windows-1252 puts at 0x80 ... 0x9F; the rest is Latin-1.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < length && text[i]; ++i) {
        const std::uint8_t c = text[i];
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : char32_t(c));
    }
    return out;
}

std::string Utf16ToUtf8(const std::uint8_t* text, std::size_t units) {
    std::string out;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = char32_t(text[2 * i] | text[2 * i + 1] << 8);
        if (c == 0) break;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char32_t low = char32_t(text[2 * i + 2] | text[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

void CMetafileCanvas::DrawMask(const TextMask& mask, long long x, long long y,
                               std::uint32_t colorRef) {
    const int cr = int(colorRef & 0xFF), cg = int((colorRef >> 8) & 0xFF),
              cb = int((colorRef >> 16) & 0xFF);
    const long long x0 = std::max(m_clip.left, x), x1 = std::min(m_clip.right, x + mask.width);
    const long long y0 = std::max(m_clip.top, y), y1 = std::min(m_clip.bottom, y + mask.height);
    for (long long py = y0; py < y1; ++py) {
        for (long long px = x0; px < x1; ++px) {
            const int a = mask.At(int(px - x), int(py - y));
            if (a == 0) continue;
            std::uint8_t* d =
                m_pixels.data() + (std::size_t(py) * std::size_t(m_width) + std::size_t(px)) * 3;
            d[0] = std::uint8_t((d[0] * (255 - a) + cr * a + 127) / 255);
            d[1] = std::uint8_t((d[1] * (255 - a) + cg * a + 127) / 255);
            d[2] = std::uint8_t((d[2] * (255 - a) + cb * a + 127) / 255);
        }
    }
}

CFontRaster* CMetaTextPainter::Raster(const MetaFont& font, int pixelSize) {
    const auto key = std::make_tuple(font.face, font.weight >= 600, font.italic, pixelSize);
    auto it = m_rasters.find(key);
    if (it != m_rasters.end()) return it->second->IsOpen() ? it->second.get() : nullptr;
    if (m_rasters.size() >= kMaxCachedRasters) m_rasters.clear();
    auto raster = std::make_unique<CFontRaster>();
    raster->Open({font.face, font.weight >= 600, font.italic}, pixelSize);
    CFontRaster* result = raster->IsOpen() ? raster.get() : nullptr;
    m_rasters.emplace(key, std::move(raster));
    return result;
}

void CMetaTextPainter::Draw(CMetafileCanvas& canvas, const MetaFont& font, const MetaTextCall& call,
                            MetaPoint& current) {
    if (call.utf8.empty() || m_budget <= 0) return;
    long long size = call.pixelHeight ? std::llabs(call.pixelHeight) : kDefaultMetaFontPixels;
    size = std::clamp(size, 1LL, kMaxMetaFontPixels);
    CFontRaster* raster = Raster(font, int(size));
    if (!raster) return;
    // A positive height is the whole cell; the em square is that part of it.
    if (call.pixelHeight > 0 && raster->LineHeight() > 0) {
        const long long em = std::max(1LL, size * size / raster->LineHeight());
        if (!(raster = Raster(font, int(em)))) return;
        size = em;
    }
    const std::vector<char32_t> points = DecodeUtf8(call.utf8);
    const bool spaced = call.advances.size() == points.size();
    long long width = 0;
    if (spaced)
        for (long long a : call.advances)
            width += std::clamp(a, -kMaxMetaFontPixels * 4, kMaxMetaFontPixels * 4);
    else
        width = raster->LineWidth(call.utf8);
    const long long pad = size; // room for overhangs and slants
    const long long maskWidth = std::llabs(width) + 2 * pad, maskHeight = raster->LineHeight();
    m_budget -= (long long)(points.size()) * size * size + maskWidth * maskHeight;
    if (m_budget < 0 || maskWidth * maskHeight > kMaxMaskPixels || maskHeight <= 0) return;

    const MetaPoint ref = call.align & 1 ? current : call.at;
    long long left = ref.x;
    if ((call.align & 6) == 6)
        left -= width / 2;
    else if (call.align & 2)
        left -= width;
    long long baseline = ref.y + raster->Ascent(); // top
    if ((call.align & 24) == 24)
        baseline = ref.y;
    else if (call.align & 8)
        baseline = ref.y - raster->Descent();
    const long long top = baseline - raster->Ascent();
    if (call.background)
        canvas.FillRectSolid({std::min(left, left + width), top},
                             {std::max(left, left + width), top + maskHeight}, *call.background);
    TextMask mask{int(maskWidth), int(maskHeight),
                  std::vector<std::uint8_t>(std::size_t(maskWidth * maskHeight), 0)};
    if (spaced) {
        long long x = pad;
        std::string one;
        for (std::size_t i = 0; i < points.size(); ++i) {
            one.clear();
            AppendUtf8(one, points[i]);
            raster->DrawLine(one, int(x), raster->Ascent(), mask);
            x += std::clamp(call.advances[i], -kMaxMetaFontPixels * 4, kMaxMetaFontPixels * 4);
        }
    } else {
        raster->DrawLine(call.utf8, int(pad), raster->Ascent(), mask);
    }
    canvas.DrawMask(mask, left - pad, top, call.color);
    if (call.align & 1) current = {ref.x + width, ref.y};
}

} // namespace quiltara
