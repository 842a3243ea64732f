#pragma once
// The text tool's picture: the text drawn at twice its size into a 32-bit picture with
// alpha (with a drop shadow and a bevel when asked), then halved, so that its edges
// come out smooth. The canvas then places it as the text being placed.
#include "core/base/ColorRef.h"
#include "core/image/DIBSection2.h"

#include <string>

namespace quiltara {

class ISettingsStore;

/// What the "Text" dialog edits.
struct CTextSettings {
    std::string text = "My text here"; // UTF-8; lines separated by "\n"
    std::string fontName = "Arial";
    double size = 24; // points of the final picture
    bool bold = false;
    bool italic = false;
    int align = 0; // 0 left, 1 centre, 2 right
    ColorRef color = 0x000000;
    ColorRef shadowColor = 0x808080;
    bool shadow = false;
    int shadowDistance = 1;
    bool bevel = false;
};

/// The settings remembered in sections "Font" and "Text" (the text itself is not).
void LoadTextSettings(const ISettingsStore& store, CTextSettings& settings);
/// Writes them back, with the font description integers "Height", "Width", "Escape",
/// "Orient" and "Weight" of the font the picture is drawn with.
void StoreTextSettings(ISettingsStore& store, const CTextSettings& settings);

/// Sizes from 4000 on are refused, and sizes below 1.
extern const char* const kTextSizeTooLarge;
extern const char* const kTextSizeTooSmall;
/// The working picture could not be had.
extern const char* const kTextMemoryError;
/// The dialog's check on OK: empty when the size is accepted, else the message to show
/// (the dialog stays open).
std::string CheckTextSize(double size);
/// Told when a text is edited again and its font is no longer installed.
std::string MissingFontMessage(const std::string& fontName);

/// The drop shadow's offset in pixels of the double-size drawing.
int ShadowOffset(int distance);

/// The text's picture. Empty when the text is empty (ok all the same); on failure
/// empty with the message to tell ("Memory error" when the working picture is too
/// large to make, a note when no font at all is installed).
struct TextPicture {
    CDIBSection2 picture; // 32 bits with alpha; colour everywhere, coverage in alpha
    bool ok = true;
    std::string error;
    std::string fontUsed;  // the family the text was drawn with
    bool fontExact = true; // it is the family asked for
};
/// Without halve the double-size picture is returned as drawn (for inspection).
TextPicture RenderTextPicture(const CTextSettings& settings, bool halve = true);

/// Blends layer (32-bit with alpha) into image with its top-left corner at image point
/// (x, y) (top-down): d = (d x (255 - a) + s x a) >> 8, full alpha copies. What runs
/// past an edge of the tile continues at the opposite edge.
void BlendWrapped(CDIBSection2& image, const CDIBSection2& layer, int x, int y);

/// A 32-bit picture at half its size (at least 1 x 1), all four bytes: the triangle
/// filter at a ratio of two (weights 1, 2, 1 centred on the even pixels, the edge's
/// missing neighbour left out), rows first, each pass rounded down.
CDIBSection2 HalvePicture(const CDIBSection2& source);

/// Shades a picture as a bevel from a height field (w x h bytes, top row first, the
/// picture's rows top-down too): light from 225 degrees at 30 degrees of elevation,
/// strength 0 ... 100 percent.
void ShadeBevel(CDIBSection2& picture, const std::uint8_t* height, int strength);

} // namespace quiltara
