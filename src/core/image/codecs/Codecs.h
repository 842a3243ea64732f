#pragma once
// The image codec layer: one entry point a format and direction, all on plain
// buffers. Readers give a ReadResult: width x height x 3 bytes (red, green, blue; top
// row first, rows not padded), or x 4 with alpha, with the failure code (CodecErrors.h)
// and whatever else the file held; writers give a CodecStatus. Nothing is kept between
// calls, so readers and writers may run on any thread. Readers treat their input as
// hostile: they never read outside it, check sizes before allocating and always end.
#include "core/image/codecs/CodecErrors.h"
#include "core/image/codecs/CodecIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct stat;

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

/// An extra marker of a JPEG file (APPn and COM), in file order.
struct JPGMarker {
    int marker = 0; // 0xE1 for APP1, 0xFE for a comment
    std::vector<std::uint8_t> data;
};

/// What a reader gives: the picture, or no pixels and the failure code.
struct ReadResult {
    Pixels pixels; // width x height x 3 (x 4 with alpha), top row first; empty on failure
    int width = 0, height = 0;
    Resolution resolution;          // 96 x 96 unless the file says otherwise
    std::vector<JPGMarker> markers; // the extra markers of a JPEG file
    unsigned code = kErrNone;       // 0, or the failure code when pixels is empty
    std::string detail;             // a refusal's own text (see CodecStatus::Detail)
    /// A file that ends early still gives its picture: the rows it did not hold,
    /// missingFirst ... missingLast (0-based, top first), are black (and transparent
    /// with alpha). -1 when nothing is missing.
    int missingFirst = -1, missingLast = -1;
    /// The file ends early though no row can be named as missing (a progressive JPEG
    /// cut in a later scan lacks detail, a metafile without its end record drawing).
    bool endsEarly = false;

    bool Ok() const { return code == kErrNone && !pixels.empty(); }
    bool Partial() const { return missingFirst >= 0 || endsEarly; }
    /// "the file ends early: rows N…M are missing" (rows counted from 1), "the file
    /// ends early: the picture is incomplete", or empty.
    std::string Warning() const;
    /// Marks rows first ... height - 1 as missing and clears them (black, transparent).
    void MarkMissingFrom(int first);
    /// Marks rows first ... last as missing and clears them; for files whose rows run
    /// bottom up the rows they lack are at the top.
    void MarkMissing(int first, int last);
    /// A result without a picture.
    static ReadResult Failure(const CodecStatus& status) {
        ReadResult r;
        r.code = status.Code();
        r.detail = status.Detail();
        return r;
    }
    static ReadResult Failure(unsigned failureCode) { return Failure(CodecStatus(failureCode)); }
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
    kDetectWebP = 11,
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
/// Password-protected PAX pictures begin with "PAX".
bool IsPAX(const std::uint8_t* data, std::size_t size);
bool IsWebP(const std::uint8_t* data, std::size_t size);

// ---------------------------------------------------------------- readers

/// Keeps the file's APPn and COM markers in the result. A progressive file may hold
/// at most 500 scans, fewer for large pictures (about 2^33 pixels' worth of scans, and
/// never fewer than 20); more are refused with kErrTooLarge and "too many scans: a
/// progressive JPEG of W x H pixels may hold at most N".
ReadResult ReadJPG(const CSource& source);
ReadResult ReadPNG(const CSource& source);
/// Four bytes a pixel; pictures without alpha get alpha.
ReadResult ReadPNGAlpha(const CSource& source, int alpha = 255);
ReadResult ReadBMP(const CSource& source);
ReadResult ReadPCX(const CSource& source);
ReadResult ReadTIFF(const CSource& source);
ReadResult ReadTGA(const CSource& source);
/// The composite picture of a Photoshop file.
ReadResult ReadPSD(const CSource& source);
/// A still WebP picture, lossy or lossless.
ReadResult ReadWebP(const CSource& source);
/// Draws a placeable or plain Windows metafile, or an enhanced metafile, at its own
/// size on a background of the given colour (0xRRGGBB); defaultWidth x defaultHeight
/// when the file gives no size.
ReadResult RenderMetafile(const CSource& source, int defaultWidth = 100, int defaultHeight = 100,
                          std::uint32_t background = 0x808080);
ReadResult RenderMetafile(const std::string& path, int defaultWidth = 100, int defaultHeight = 100,
                          std::uint32_t background = 0x808080);

/// Decodes a device-independent bitmap: the info header at headerOffset (12, 40 or a
/// later size), its colour table or masks, and the pixel rows at bitsOffset (0: right
/// after the colour table). Shared by the BMP reader, the clipboard conversions and
/// the metafile rasteriser. Fails with errorCode.
ReadResult DecodeDIB(const std::uint8_t* data, std::size_t size, std::size_t headerOffset,
                     std::size_t bitsOffset, unsigned errorCode);

/// The camera block among markers: the data of the last APP1 marker that begins with
/// "Exif" and two zero bytes. Photographs often carry an XMP block in a later APP1
/// marker; taking simply the last APP1 would lose their camera information.
std::vector<std::uint8_t> PickCameraBlock(const std::vector<JPGMarker>& markers);

// ---------------------------------------------------------------- writers

/// quality 0..100 (clamped). extraMarkers are written after the header (APPn, COM).
CodecStatus WriteJPG(CSink& sink, const std::uint8_t* rgb, int width, int height, int quality,
                     const std::vector<JPGMarker>* extraMarkers = nullptr);
CodecStatus WriteJPGGray(CSink& sink, const std::uint8_t* gray, int width, int height, int quality);
CodecStatus WritePNG(CSink& sink, const std::uint8_t* rgb, int width, int height);
CodecStatus WritePNGAlpha(CSink& sink, const std::uint8_t* rgba, int width, int height);
/// A palette PNG; with the identity palette a gray PNG.
CodecStatus WritePNG8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette);
/// The common BMP (24 or 32 bits a pixel, no masks, no compression, every row in the
/// file), open for reading its rows where and when they are wanted.
class CPlainBmpFile {
public:
    CPlainBmpFile() = default;
    ~CPlainBmpFile();
    CPlainBmpFile(const CPlainBmpFile&) = delete;
    CPlainBmpFile& operator=(const CPlainBmpFile&) = delete;
    /// False for any other file (ReadBMP's to read) and for one that cannot be opened.
    bool Open(const std::string& path);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Resolution GetResolution() const { return m_resolution; }
    /// Rows first .. first + count - 1 (0 at the top) into rows[0 .. count - 1] as
    /// 32-bit pixels: blue, green, red and `alpha`. scratch holds the file's bytes on
    /// the way. Safe from several threads at once; false when the file no longer holds
    /// the rows.
    bool ReadRows(int first, int count, std::uint8_t* const* rows, std::uint8_t alpha,
                  std::vector<std::uint8_t>& scratch) const;

private:
    bool Parse(const struct stat& info); // reads and checks the headers
    int m_fd = -1;
    int m_width = 0, m_height = 0, m_bytesPerPixel = 3;
    bool m_topDown = false;
    std::uint64_t m_stride = 0, m_rowBytes = 0, m_bitsOffset = 0;
    Resolution m_resolution;
};

/// A plain BMP (see CPlainBmpFile) read straight into a 32-bit picture: prepare(width, height)
/// makes it and gives its row table (row 0 at the top); colours are written as blue, green, red and
/// `alpha`. Any other file is left to ReadBMP (kNotPlain), as is one that changed while it was read
/// (kChanged), after prepare was called.
enum class PlainBmpRead { kRead, kNotPlain, kChanged, kOutOfMemory };
PlainBmpRead ReadPlainBMPFile(const std::string& path, std::uint8_t alpha,
                              const std::function<std::uint8_t* const*(int, int)>& prepare,
                              Resolution& resolution);
CodecStatus WriteBMP(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A 24-bit BMP straight from 32-bit rows (blue, green, red, unused): row(y) gives the
/// row y pixels down from the top. Saving a picture needs no RGB copy of it this way.
CodecStatus WriteBMPFromBGRA(CSink& sink, int width, int height,
                             const std::function<const std::uint8_t*(int)>& row);
CodecStatus WriteBMP8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette);
CodecStatus WritePCX(CSink& sink, const std::uint8_t* rgb, int width, int height);
CodecStatus WritePCX8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette);
CodecStatus WriteTIFF(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A palette TIFF; with the identity palette a gray TIFF.
CodecStatus WriteTIFF8(CSink& sink, const std::uint8_t* indices, int width, int height,
                       const Palette256& palette);
CodecStatus WriteTGA(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A colour-mapped Targa; with the identity palette a gray Targa.
CodecStatus WriteTGA8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette);
CodecStatus WritePSD(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A lossless WebP picture.
CodecStatus WriteWebP(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// A placeable metafile holding the picture as one bitmap record.
CodecStatus WriteWMF(CSink& sink, const std::uint8_t* rgb, int width, int height);
/// An enhanced metafile holding the picture as one bitmap record.
CodecStatus WriteEMF(CSink& sink, const std::uint8_t* rgb, int width, int height);

/// The 40-byte header, no colour table, and bottom-up 24-bit rows of a packed
/// device-independent bitmap.
std::vector<std::uint8_t> MakePackedDIB24(const std::uint8_t* rgb, int width, int height);

/// True when palette is the identity ramp.
bool IsIdentityPalette(const Palette256& palette);

} // namespace quiltara
