#pragma once
// The image codec layer: one entry point a format and direction, all on plain
// buffers. Readers give width x height x 3 bytes (red, green, blue; top row first,
// rows not padded), or x 4 with alpha, and an empty vector on failure. Every entry
// point sets the thread's last failure code (CodecErrors.h). Readers treat their
// input as hostile: they never read outside it, check sizes before allocating and
// always end.
#include "core/image/codecs/CodecErrors.h"
#include "core/image/codecs/CodecIO.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quiltara {

struct PaletteEntry {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette256 = std::array<PaletteEntry, 256>;

/// Entry i is (i, i, i): the palette of every gray variant.
Palette256 IdentityPalette();

/// Resolution a reader found in the file, in dots per inch.
struct Resolution {
    int x = 96, y = 96;
};

/// Detection ids returned by `DetectFormat`.
enum DetectionId {
    kDetectNone = 0,
    kDetectBMP = 1,
    kDetectGIF = 2,
    kDetectJPG = 3,
    kDetectPNG = 4,
    kDetectPCX = 5,
    kDetectTIFF = 6,
    kDetectWMF = 7,
    kDetectEMF = 8,
    kDetectPAX = 9,
    kDetectPSD = 10,
};

/// The detection id of the source's content, 0 when no detector recognises it. Targa
/// files have no signature and are never detected.
int DetectFormat(const CSource& source);

// Per-format signature tests, used by DetectFormat.
bool IsBMP(const std::uint8_t* data, std::size_t size);
bool IsGIF(const std::uint8_t* data, std::size_t size);
bool IsJPG(const std::uint8_t* data, std::size_t size);
bool IsPNG(const std::uint8_t* data, std::size_t size);
bool IsPCX(const std::uint8_t* data, std::size_t size);
bool IsTIFF(const std::uint8_t* data, std::size_t size);
bool IsWMF(const std::uint8_t* data, std::size_t size);
bool IsEMF(const std::uint8_t* data, std::size_t size);
bool IsPSD(const std::uint8_t* data, std::size_t size);

// ---------------------------------------------------------------- readers

Pixels ReadJPG(const CSource& source, int& width, int& height, Resolution* resolution = nullptr);
Pixels ReadPNG(const CSource& source, int& width, int& height, Resolution* resolution = nullptr);
/// Four bytes a pixel; pictures without alpha get alpha.
Pixels ReadPNGAlpha(const CSource& source, int& width, int& height, int alpha = 255,
                    Resolution* resolution = nullptr);
Pixels ReadBMP(const CSource& source, int& width, int& height, Resolution* resolution = nullptr);
Pixels ReadPCX(const CSource& source, int& width, int& height);
Pixels ReadTIFF(const CSource& source, int& width, int& height, Resolution* resolution = nullptr);
Pixels ReadTGA(const CSource& source, int& width, int& height);
/// The composite picture of a Photoshop file.
Pixels ReadPSD(const CSource& source, int& width, int& height);
/// Draws a placeable or plain Windows metafile, or an enhanced metafile, at its own
/// size on a background of the given colour (0xRRGGBB); defaultWidth x defaultHeight
/// when the file gives no size.
Pixels RenderMetafile(const CSource& source, int& width, int& height, int defaultWidth = 100,
                      int defaultHeight = 100, std::uint32_t background = 0x808080);
Pixels RenderMetafile(const std::string& path, int& width, int& height, int defaultWidth = 100,
                      int defaultHeight = 100, std::uint32_t background = 0x808080);

/// Decodes a device-independent bitmap: the info header at headerOffset (12, 40 or a
/// later size), its colour table or masks, and the pixel rows at bitsOffset (0: right
/// after the colour table). Shared by the BMP reader, the clipboard conversions and
/// the metafile rasteriser. Fails with errorCode.
Pixels DecodeDIB(const std::uint8_t* data, std::size_t size, std::size_t headerOffset,
                 std::size_t bitsOffset, int& width, int& height, unsigned errorCode,
                 Resolution* resolution = nullptr);

// ---------------------------------------------------------------- JPEG markers

/// An extra marker of the last JPEG read on this thread (APPn and COM).
struct JPGMarker {
    int marker = 0; // 0xE1 for APP1
    std::vector<std::uint8_t> data;
};
int GetJPGMarkerCount();
/// The marker's copy; an empty marker for an index out of range.
JPGMarker GetJPGMarker(int index);
/// The text comments of the last JPEG read.
std::vector<std::string> GetJPGComments();
void ClearJPGMarkers();
/// The camera block among markers: the data of the last APP1 marker that begins with
/// "Exif" and two zero bytes. Photographs often carry an XMP block in a later APP1
/// marker; taking simply the last APP1 would lose their camera information.
std::vector<std::uint8_t> PickCameraBlock(const std::vector<JPGMarker>& markers);

// ---------------------------------------------------------------- writers

/// quality 0..100 (clamped). extraMarkers are written after the header (APPn, COM).
bool WriteJPG(CSink& sink, const std::uint8_t* rgb, int width, int height, int quality,
              const std::vector<JPGMarker>* extraMarkers = nullptr);
bool WriteJPGGray(CSink& sink, const std::uint8_t* gray, int width, int height, int quality);
bool WritePNG(CSink& sink, const std::uint8_t* rgb, int width, int height);
bool WritePNGAlpha(CSink& sink, const std::uint8_t* rgba, int width, int height);
/// A palette PNG; with the identity palette a gray PNG.
bool WritePNG8(CSink& sink, const std::uint8_t* indices, int width, int height,
               const Palette256& palette);
bool WriteBMP(CSink& sink, const std::uint8_t* rgb, int width, int height);
bool WriteBMP8(CSink& sink, const std::uint8_t* indices, int width, int height,
               const Palette256& palette);
bool WritePCX(CSink& sink, const std::uint8_t* rgb, int width, int height);
bool WritePCX8(CSink& sink, const std::uint8_t* indices, int width, int height,
               const Palette256& palette);
bool WriteTIFF(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A palette TIFF; with the identity palette a gray TIFF.
bool WriteTIFF8(CSink& sink, const std::uint8_t* indices, int width, int height,
                const Palette256& palette);
bool WriteTGA(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A colour-mapped Targa; with the identity palette a gray Targa.
bool WriteTGA8(CSink& sink, const std::uint8_t* indices, int width, int height,
               const Palette256& palette);
bool WritePSD(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A placeable metafile holding the picture as one bitmap record.
bool WriteWMF(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// An enhanced metafile holding the picture as one bitmap record.
bool WriteEMF(CSink& sink, const std::uint8_t* rgb, int width, int height);

/// The 40-byte header, no colour table, and bottom-up 24-bit rows of a packed
/// device-independent bitmap.
std::vector<std::uint8_t> MakePackedDIB24(const std::uint8_t* rgb, int width, int height);

/// True when palette is the identity ramp.
bool IsIdentityPalette(const Palette256& palette);

} // namespace quiltara
