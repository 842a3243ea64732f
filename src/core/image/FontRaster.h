#pragma once
// Text drawn with the fonts installed on the machine: fontconfig finds the font that
// is nearest to a requested family and style, FreeType draws its glyphs as 8-bit
// coverage. The text tool, the command line and the metafile readers share it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quiltara {

struct FontRequest {
    std::string family; // empty: the machine's default sans-serif face
    bool bold = false;
    bool italic = false;
};

/// The installed font that fontconfig takes for a request.
struct FontMatch {
    std::string file;   // empty when the machine has no font at all
    int faceIndex = 0;  // face inside a collection file
    std::string family; // the family of the font found
    bool bold = false, italic = false;
    /// The font found carries the requested family (compared without case).
    bool exact = false;
};
FontMatch FindFont(const FontRequest& request);
/// Families of the installed scalable fonts, each once, sorted without case.
std::vector<std::string> InstalledFontFamilies();
/// Whether a font of that family is installed (compared without case).
bool FontFamilyInstalled(const std::string& family);

/// An 8-bit coverage picture, top row first, width bytes a row.
struct TextMask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
    std::uint8_t At(int x, int y) const {
        return coverage[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

/// Horizontal placement of the lines of a text inside its box.
enum class TextAlign { kLeft = 0, kCenter = 1, kRight = 2 };

/// One font at one pixel size. The pixel size is the height of the em square, as
/// a negative font height gives it.
class CFontRaster {
public:
    CFontRaster();
    ~CFontRaster();
    CFontRaster(const CFontRaster&) = delete;
    CFontRaster& operator=(const CFontRaster&) = delete;

    /// Opens the installed font nearest to request. A style the font lacks is made up
    /// (emboldened, slanted). False when no font can be had at all.
    bool Open(const FontRequest& request, int pixelSize);
    bool IsOpen() const;
    const FontMatch& Match() const { return m_match; }

    /// Pixels above and below the baseline; a line is Ascent() + Descent() high.
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int LineHeight() const { return m_ascent + m_descent; }
    /// The advance width of one line of UTF-8 text (line breaks are not looked at).
    int LineWidth(std::string_view line) const;
    /// Draws one line with its origin at (x, baseline) into mask, keeping the larger
    /// coverage where glyphs overlap; what falls outside the mask is cut off.
    void DrawLine(std::string_view line, int x, int baseline, TextMask& mask) const;

    /// The lines of a text (split at "\n", a "\r" before it dropped).
    static std::vector<std::string_view> SplitLines(std::string_view text);
    /// Width and height of the box a text needs: its widest line by its lines.
    void Measure(std::string_view text, int& width, int& height) const;
    /// Draws every line into mask, the first with its top at top, each placed in the
    /// box [left, left + boxWidth) by align.
    void DrawText(std::string_view text, int left, int top, int boxWidth, TextAlign align,
                  TextMask& mask) const;

private:
    struct Face;
    std::unique_ptr<Face> m_face;
    FontMatch m_match;
    int m_ascent = 0, m_descent = 0;
};

/// The code points of UTF-8 text; a malformed sequence gives U+FFFD for its first byte.
std::vector<char32_t> DecodeUtf8(std::string_view text);

} // namespace quiltara
