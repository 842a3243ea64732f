#pragma once
// The format table: every format code with its extensions, detection id, reader and
// writer. The image file buffer and the command-line tool work only through it.
#include "core/image/codecs/Codecs.h"

#include <string>
#include <vector>

namespace quiltara {

enum FormatCode {
    kFormatNone = 0,
    kFormatJPG = 1,
    kFormatJPGGray = 2,
    kFormatPNG = 3,
    kFormatPNG8 = 4,
    kFormatPNGGray = 5,
    kFormatBMP = 6,
    kFormatBMP8 = 7,
    kFormatBMPGray = 8,
    kFormatPCX = 9,
    kFormatPCX8 = 10,
    kFormatPCXGray = 11,
    kFormatTIFF = 12,
    kFormatTIFF8 = 13,
    kFormatTIFFGray = 14,
    kFormatGIF = 15,
    kFormatTGA = 16,
    kFormatTGA8 = 17,
    kFormatTGAGray = 18,
    kFormatWMF = 19,
    kFormatEMF = 20,
    kFormatPAX = 21,
    kFormatPSD = 22,
    kFormatWebP = 23,
};

/// How a code writes: the RGB picture as it is, reduced to a 256-colour palette,
/// reduced to gray, or nothing at all.
enum class FormatDepth { kRGB, kPalette, kGray, kNothing };

using ReaderFn = ReadResult (*)(const CSource& source);
using WriterRGBFn = CodecStatus (*)(CSink& sink, const std::uint8_t* rgb, int width, int height,
                                    int quality);
using Writer8Fn = CodecStatus (*)(CSink& sink, const std::uint8_t* pixels, int width, int height,
                                  const Palette256& palette, int quality);

struct FormatEntry {
    int code;
    const char* name; // for listings: "PNG", "8-bit PNG", ...
    int detectionId;  // 0 when content never selects this code
    ReaderFn read;    // null: reading gives no picture
    FormatDepth depth;
    WriterRGBFn writeRGB; // for kRGB
    Writer8Fn write8;     // for kPalette and kGray
};

/// The entry of a code, or null for codes outside the table (0 among them).
const FormatEntry* FindFormat(int code);
const std::vector<FormatEntry>& FormatTable();

/// Code for an extension with its dot (".jpg", ".TIFF"), looked up without regard to
/// case in the order .BMP, .GIF, .JPG, .JPEG, .PNG, .PCX, .TIF, .TIFF, .WMF, .EMF,
/// .PAX, .PSD, .TGA, .WEBP after the empty entry for a missing extension; 0 when
/// unlisted.
int FormatFromExtension(const std::string& extension);
/// The extension of the file name in path (from its last dot; empty without one).
std::string PathExtension(const std::string& path);
/// The format code of a detection id (0 for 0 and unknown ids).
int FormatFromDetection(int detectionId);

} // namespace quiltara
