#include "core/image/FontRaster.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <strings.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

namespace quiltara {

namespace {

// FreeType refuses em squares much beyond this; text of that size is a picture of
// tens of thousands of pixels a side already.
constexpr int kMaxPixelSize = 16000;

std::once_flag g_fontconfigOnce;
bool g_fontconfigReady = false;

bool FontconfigReady() {
    std::call_once(g_fontconfigOnce, [] { g_fontconfigReady = FcInit() == FcTrue; });
    return g_fontconfigReady;
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

std::vector<char32_t> DecodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = s[i];
        int extra = c < 0x80             ? 0
                    : (c & 0xE0) == 0xC0 ? 1
                    : (c & 0xF0) == 0xE0 ? 2
                    : (c & 0xF8) == 0xF0 ? 3
                                         : -1;
        char32_t cp = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + std::size_t(k) >= n || (s[i + std::size_t(k)] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (s[i + std::size_t(k)] & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are refused as well.
        static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += std::size_t(extra) + 1;
    }
    return out;
}

FontMatch FindFont(const FontRequest& request) {
    FontMatch match;
    if (!FontconfigReady()) return match;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return match;
    const std::string family = request.family.empty() ? "sans-serif" : request.family;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return match;
    FcChar8* file = nullptr;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file)
        match.file = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch) match.faceIndex = index;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        const std::string value = reinterpret_cast<const char*>(name);
        if (i == 0) match.family = value;
        if (!request.family.empty() && SameName(value, request.family)) {
            match.family = value;
            match.exact = true;
        }
    }
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(found, FC_SLANT, 0, &slant);
    match.bold = weight >= FC_WEIGHT_DEMIBOLD;
    match.italic = slant != FC_SLANT_ROMAN;
    FcPatternDestroy(found);
    return match;
}

std::vector<std::string> InstalledFontFamilies() {
    std::vector<std::string> families;
    if (!FontconfigReady()) return families;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (pattern && objects) {
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
            for (int i = 0; i < set->nfont; ++i) {
                FcChar8* name = nullptr;
                if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch)
                    families.emplace_back(reinterpret_cast<const char*>(name));
            }
            FcFontSetDestroy(set);
        }
    }
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    std::sort(families.begin(), families.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    families.erase(std::unique(families.begin(), families.end(), SameName), families.end());
    return families;
}

bool FontFamilyInstalled(const std::string& family) {
    return !family.empty() && FindFont({family, false, false}).exact;
}

struct CFontRaster::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool embolden = false;
    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    // Loads the glyph of a code point in the slot, emboldened when the style is made up.
    bool Load(FT_UInt glyph) const {
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP)) return false;
        if (embolden) FT_GlyphSlot_Embolden(face->glyph);
        return true;
    }
    static char32_t Shown(char32_t c) { return c == U'\t' ? U' ' : c; }
    // Walks a line's glyphs from pen (26.6 fixed point), kerned: each glyph that loads
    // goes to shown(slot, pen) and then moves the pen on by its advance. Returns the pen
    // at the line's end.
    template <typename Fn> long long Walk(std::string_view line, long long pen, Fn&& shown) const {
        FT_UInt previous = 0;
        for (char32_t c : DecodeUtf8(line)) {
            c = Face::Shown(c);
            if (c < 0x20) continue;
            const FT_UInt glyph = FT_Get_Char_Index(face, c);
            if (previous && FT_HAS_KERNING(face)) {
                FT_Vector kern{};
                if (!FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern))
                    pen += kern.x;
            }
            previous = glyph;
            if (!Load(glyph)) continue;
            const long long advance = face->glyph->advance.x;
            shown(face->glyph, pen);
            pen += advance;
        }
        return pen;
    }
};

CFontRaster::CFontRaster() = default;
CFontRaster::~CFontRaster() = default;

bool CFontRaster::IsOpen() const {
    return m_face && m_face->face;
}

bool CFontRaster::Open(const FontRequest& request, int pixelSize) {
    m_face.reset();
    m_ascent = m_descent = 0;
    m_match = FindFont(request);
    if (m_match.file.empty()) return false;
    auto face = std::make_unique<Face>();
    if (FT_Init_FreeType(&face->library)) return false;
    if (FT_New_Face(face->library, m_match.file.c_str(), m_match.faceIndex, &face->face)) {
        face->face = nullptr;
        return false;
    }
    if (!FT_IS_SCALABLE(face->face)) return false;
    pixelSize = std::clamp(pixelSize, 1, kMaxPixelSize);
    if (FT_Set_Pixel_Sizes(face->face, 0, FT_UInt(pixelSize))) return false;
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    face->embolden = request.bold && !m_match.bold;
    if (request.italic && !m_match.italic) {
        // A slant of about 12 degrees, as oblique faces have.
        FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};
        FT_Set_Transform(face->face, &shear, nullptr);
    }
    const FT_Size_Metrics& metrics = face->face->size->metrics;
    m_ascent = int((metrics.ascender + 63) >> 6);
    m_descent = int((-metrics.descender + 63) >> 6);
    if (m_ascent + m_descent <= 0) m_ascent = pixelSize;
    m_face = std::move(face);
    return true;
}

int CFontRaster::LineWidth(std::string_view line) const {
    if (!IsOpen()) return 0;
    const long long pen = m_face->Walk(line, 0, [](FT_GlyphSlot, long long) {});
    return int(std::max(0LL, (pen + 32) >> 6));
}

void CFontRaster::DrawLine(std::string_view line, int x, int baseline, TextMask& mask) const {
    if (!IsOpen() || mask.width <= 0 || mask.height <= 0) return;
    m_face->Walk(line, (long long)x << 6, [&](FT_GlyphSlot slot, long long pen) {
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
        const FT_Bitmap& bitmap = slot->bitmap;
        const long long left = (pen >> 6) + slot->bitmap_left;
        const long long top = (long long)baseline - slot->bitmap_top;
        const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
        const int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const long long y = top + row;
            if (y < 0 || y >= mask.height) continue;
            const unsigned char* src =
                bitmap.buffer + (long long)row * bitmap.pitch +
                (bitmap.pitch < 0 ? (long long)(bitmap.rows - 1) * -bitmap.pitch : 0);
            std::uint8_t* dst = &mask.coverage[std::size_t(y) * std::size_t(mask.width)];
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const long long xx = left + col;
                if (xx < 0 || xx >= mask.width) continue;
                int value =
                    mono ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255 : src[col] * 255 / grays;
                dst[xx] = std::uint8_t(std::max<int>(dst[xx], std::min(value, 255)));
            }
        }
    });
}

std::vector<std::string_view> CFontRaster::SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

void CFontRaster::Measure(std::string_view text, int& width, int& height) const {
    width = height = 0;
    if (!IsOpen()) return;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::string_view line : lines) width = std::max(width, LineWidth(line));
    height = int(std::min<long long>((long long)lines.size() * LineHeight(), 1LL << 30));
}

void CFontRaster::DrawText(std::string_view text, int left, int top, int boxWidth, TextAlign align,
                           TextMask& mask) const {
    if (!IsOpen()) return;
    long long y = top;
    for (std::string_view line : SplitLines(text)) {
        if (y >= mask.height) break;
        const int w = LineWidth(line);
        int x = left;
        if (align == TextAlign::kCenter) x = left + (boxWidth - w) / 2;
        if (align == TextAlign::kRight) x = left + boxWidth - w;
        if (y + LineHeight() > 0) DrawLine(line, x, int(y + m_ascent), mask);
        y += LineHeight();
    }
}

} // namespace quiltara
