#include "core/image/ImageFileBuffer.h"

#include "core/base/SettingsStore.h"
#include "core/image/ColorReduction.h"
#include "core/image/PackedBitmap.h"
#include "core/image/codecs/FormatTable.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

int CImageFileBuffer::Allocate(int width, int height) {
    Free();
    try {
        ZeroedPixels(m_pixels,
                     std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0)) * 3);
    } catch (const std::bad_alloc&) {
        return 1;
    } catch (const std::length_error&) {
        return 1;
    }
    m_width = width, m_height = height;
    return 0;
}

void CImageFileBuffer::Free() {
    Pixels().swap(m_pixels);
    m_width = m_height = 0;
    m_isRGBA = false;
    m_loadedFormat = kFormatNone;
    m_paletteMade = false;
    m_palette.fill({});
}

int CImageFileBuffer::CopyFrom(const CImageFileBuffer& other) {
    if (&other == this) return 0;
    Free();
    try {
        m_pixels = other.m_pixels;
    } catch (const std::bad_alloc&) {
        return 1;
    }
    m_width = other.m_width, m_height = other.m_height, m_isRGBA = other.m_isRGBA;
    return 0;
}

unsigned CImageFileBuffer::Load(const std::string& path) {
    return LoadFrom(path, kFormatNone, true);
}

unsigned CImageFileBuffer::LoadAs(const std::string& path, int code) {
    return LoadFrom(path, code, false);
}

unsigned CImageFileBuffer::LoadFrom(const std::string& path, int code, bool detect) {
    Free();
    m_cameraBlock.clear();
    m_warning.clear(), m_refusal.clear();
    unsigned result = kErrNone;
    std::unique_ptr<CSource> source = OpenSource(path, result);
    if (!source) return result;
    if (detect) {
        // Content first, then the name.
        code = FormatFromDetection(DetectFormat(*source));
        if (code == kFormatNone) code = FormatFromExtension(PathExtension(path));
    }
    m_loadedFormat = code;
    const FormatEntry* entry = FindFormat(code);
    if (!entry || !entry->read) return kErrNone; // GIF, PAX and unknown codes read nothing
    const bool rgba = code == kFormatPNG && keepAlpha;
    ReadResult read = rgba ? ReadPNGAlpha(*source, 255) : entry->read(*source);
    CloseSource(std::move(source));
    // Of a JPEG's markers only the camera block is kept; the rest go unread.
    if (code == kFormatJPG) m_cameraBlock = PickCameraBlock(read.markers);
    if (read.code == kErrTooLarge) m_refusal = read.detail;
    if (!read.Ok()) return read.code;
    m_warning = read.Warning();
    m_pixels = std::move(read.pixels);
    m_width = read.width, m_height = read.height, m_isRGBA = rgba;
    resolutionX = read.resolution.x, resolutionY = read.resolution.y;
    return kErrNone;
}

unsigned CImageFileBuffer::Save(const std::string& path, int code) {
    const FormatEntry* entry = FindFormat(code);
    // Codes that write nothing fail instead of leaving an empty file behind.
    if (!entry || entry->depth == FormatDepth::kNothing) return kErrBadParam;
    if (m_pixels.empty()) return kErrBadParam;
    ++m_lockCount;
    const unsigned result = SaveThroughSink(path, [&](CSink& sink) -> CodecStatus {
        if (code == kFormatPNG && keepAlpha && m_isRGBA)
            return WritePNGAlpha(sink, m_pixels.data(), m_width, m_height);
        const std::size_t n = std::size_t(m_width) * std::size_t(m_height);
        Pixels rgbCopy;
        const std::uint8_t* rgb = m_pixels.data();
        if (m_isRGBA) {
            // Writers without alpha get the colours alone.
            rgbCopy.resize(n * 3);
            for (std::size_t i = 0; i < n; ++i) std::memcpy(&rgbCopy[3 * i], &m_pixels[4 * i], 3);
            rgb = rgbCopy.data();
        }
        if (entry->depth == FormatDepth::kRGB)
            return entry->writeRGB(sink, rgb, m_width, m_height, jpegQuality);
        Pixels reduced(n);
        Palette256 palette;
        if (entry->depth == FormatDepth::kPalette) {
            QuantizeTo256(rgb, m_width, m_height, reduced.data(), 256, palette);
        } else {
            ToGray(rgb, m_width, m_height, reduced.data());
            palette = IdentityPalette();
        }
        return entry->write8(sink, reduced.data(), m_width, m_height, palette, jpegQuality);
    });
    --m_lockCount;
    return result;
}

std::string CImageFileBuffer::FailureText(unsigned code) const {
    return code == kErrTooLarge && !m_refusal.empty() ? m_refusal : ErrorText(code);
}

void CImageFileBuffer::SetFromRGBA(const std::uint8_t* pixels, int width, int height) {
    Free();
    if (!pixels || width <= 0 || height <= 0) return;
    m_pixels.resize(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = pixels + std::size_t(height - 1 - y) * width * 4;
        std::uint8_t* d = m_pixels.data() + std::size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, s += 4, d += 4)
            d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
    }
    m_width = width, m_height = height;
    m_isRGBA = true;
    keepAlpha = true;
}

int CImageFileBuffer::MakeCheckerPreview(const std::uint8_t* pixels, int width, int height) {
    if (Allocate(width, height)) return 1;
    if (!pixels) return 0;
    std::uint8_t* d = m_pixels.data();
    for (int y = 0; y < height; ++y) {
        const bool rowFirst = y % 20 <= 10;
        for (int x = 0; x < width; ++x, pixels += 4, d += 3) {
            const int checker = (x % 20 <= 10) == rowFirst ? 192 : 255;
            const int a = pixels[3];
            for (int c = 0; c < 3; ++c)
                d[c] = std::uint8_t((pixels[c] * a + (255 - a) * checker) >> 8);
        }
    }
    return 0;
}

int CImageFileBuffer::SaveClipboardBitmap(const std::uint8_t* packed, std::size_t size,
                                          const std::string& path) {
    ReadResult read = DIBToRGB(packed, size);
    if (!read.Ok()) return read.code == kErrOutOfMemory ? 2 : 0;
    Free();
    m_pixels = std::move(read.pixels);
    m_width = read.width, m_height = read.height;
    return Save(path, kFormatBMP) == kErrNone ? 1 : 3;
}

std::uint8_t* CImageFileBuffer::LockRGB() {
    if (m_isRGBA || m_pixels.empty()) return nullptr;
    ++m_lockCount;
    return m_pixels.data();
}

std::uint8_t* CImageFileBuffer::LockRGBA() {
    if (!m_isRGBA || m_pixels.empty()) return nullptr;
    ++m_lockCount;
    return m_pixels.data();
}

void CImageFileBuffer::Unlock() {
    if (m_lockCount > 0) --m_lockCount;
}

const Palette256& CImageFileBuffer::GetPalette() {
    if (!m_paletteMade && !m_pixels.empty()) {
        if (m_isRGBA) {
            Pixels rgb(std::size_t(m_width) * m_height * 3);
            for (std::size_t i = 0; i < rgb.size() / 3; ++i)
                std::memcpy(&rgb[3 * i], &m_pixels[4 * i], 3);
            MakePalette256(rgb.data(), m_width, m_height, 256, m_palette);
        } else {
            MakePalette256(m_pixels.data(), m_width, m_height, 256, m_palette);
        }
        m_paletteMade = true;
    }
    return m_palette;
}

Pixels CImageFileBuffer::TakePixels() {
    Pixels out = std::move(m_pixels);
    Free();
    return out;
}

int LoadJpegQuality(const ISettingsStore& settings) {
    return std::clamp(settings.GetInt("Save", "JPGQ", 75), 0, 100);
}

void StoreJpegQuality(ISettingsStore& settings, int quality) {
    settings.SetInt("Save", "JPGQ", std::clamp(quality, 0, 100));
}

const char* const kBufferLoadDialogTitle = "Load image";
const char* const kBufferLoadDialogFilter =
    "Image Files (bmp,jpg,pcx,png,tga,tif,wmf,psd)|*.BMP;*.JPG;*.PCX;*.PNG;*.TGA;*.TIF;*.WMF;*.PSD|"
    "Windows BMP Files (*.BMP)|*.BMP|JPEG Files (*.JPG)|*.JPG|ZSoft PCX Files (*.PCX)|*.PCX|"
    "PNG Files (*.PNG)|*.PNG|Targa TGA Files (*.TGA)|*.TGA|TIFF Files (*.TIF)|*.TIF|"
    "Placeable Metafiles (*.WMF)|*.WMF|Adobe Photoshop (*.PSD)|*.PSD|All files (*.*)|*.*||";
const char* const kBufferLoadDialogDefaultName = "*.Bmp;*.Jpg;*.Pcx;*.Png;*.Tga;*.Tif;*.Wmf;*.Psd";
const char* const kBufferSaveDialogTitle = "Save image";
const char* const kBufferSaveDialogFilter =
    "PNG File (*.png)|*.png|JPG File (*.jpg)|*.jpg|Windows Bitmap (*.bmp)|*.bmp|"
    "8-bit BMP (*.bmp)|*.bmp|8-bit PNG File (*.png)|*.png|Adobe Photoshop (*.psd)|*.psd||";

int BufferSaveDialogCode(int filterIndex) {
    static const int codes[] = {kFormatPNG,  kFormatJPG,  kFormatBMP,
                                kFormatBMP8, kFormatPNG8, kFormatPSD};
    return filterIndex >= 0 && filterIndex < 6 ? codes[filterIndex] : kFormatNone;
}

} // namespace quiltara
