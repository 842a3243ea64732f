#pragma once
// The image file buffer: one picture as a plain top-down RGB (or RGBA) buffer,
// loaded from and saved to image files through the format table.
#include "core/image/codecs/Codecs.h"

#include <string>
#include <vector>

namespace quiltara {

class ISettingsStore;

class CImageFileBuffer {
public:
    CImageFileBuffer() = default;
    CImageFileBuffer(const CImageFileBuffer&) = delete;
    CImageFileBuffer& operator=(const CImageFileBuffer&) = delete;

    /// Read PNG files with their alpha and write PNG with alpha.
    bool keepAlpha = false;
    /// 0..100, the quality of JPEG writing. The GUI asks the user ("JPG Quality") and
    /// sets it before `Save`; see LoadJpegQuality/StoreJpegQuality.
    int jpegQuality = 75;
    int resolutionX = 96, resolutionY = 96;

    bool IsRGBA() const { return m_isRGBA; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    /// The format code the last Load or LoadAs read with (0 when none or after Free).
    int LoadedFormat() const { return m_loadedFormat; }
    bool HasPixels() const { return !m_pixels.empty(); }

    /// Frees what it holds, then allocates width x height x 3 zeroed bytes: 0, or 1
    /// when the memory cannot be had.
    int Allocate(int width, int height);
    /// Releases the pixels (sizes become 0) and the palette.
    void Free();
    /// Same size and pixels as other: 0, or 1 when the memory cannot be had.
    int CopyFrom(const CImageFileBuffer& other);

    /// Format by content, else by the path's extension; then LoadAs. Returns the
    /// failure code (0 = success). A code that reads nothing (GIF, PAX, unknown)
    /// gives 0 and no picture.
    unsigned Load(const std::string& path);
    unsigned LoadAs(const std::string& path, int code);
    /// Writes the picture in the format of code (JPEG with jpegQuality). Returns the
    /// failure code (0 = success); a code that writes nothing fails with 5. The file
    /// is replaced only when the writer succeeded: a failed save leaves the file that
    /// was there as it was, and creates none.
    unsigned Save(const std::string& path, int code);

    /// Takes a 32-bit picture's block (bottom row first, blue, green, red, alpha),
    /// stores it top row first as red, green, blue, alpha and sets keepAlpha, so
    /// that the next PNG save keeps the alpha.
    void SetFromRGBA(const std::uint8_t* pixels, int width, int height);
    /// Fills a width x height RGB buffer from a block of four bytes a pixel (rows in
    /// the block's order) put over a checkerboard of 192 and 255 in 11 + 9 pixel
    /// squares: c' = (c a + (255 - a) checker) >> 8, in the block's byte order.
    int MakeCheckerPreview(const std::uint8_t* pixels, int width, int height);
    /// Converts a packed bitmap to RGB and saves it as BMP: 1 on success, 0 when the
    /// bitmap could not be converted, 2 when memory ran out, 3 when the writer failed.
    int SaveClipboardBitmap(const std::uint8_t* packed, std::size_t size, const std::string& path);

    /// The pixels and one lock, or null when the buffer holds RGBA (RGB) data.
    std::uint8_t* LockRGB();
    std::uint8_t* LockRGBA();
    void Unlock();
    int LockCount() const { return m_lockCount; }

    /// The picture's 256-entry palette, made on first use after each load.
    const Palette256& GetPalette();
    /// After a load that succeeded with a file that ends early: the warning to show
    /// ("the file ends early: rows N…M are missing"); empty otherwise.
    const std::string& Warning() const { return m_warning; }
    /// The text of a load's failure code: the code's own, or what was refused.
    std::string FailureText(unsigned code) const;
    /// The camera block of the last JPEG loaded (empty otherwise).
    const std::vector<std::uint8_t>& CameraBlock() const { return m_cameraBlock; }
    /// Moves the pixels out, leaving the buffer empty.
    Pixels TakePixels();

    static std::string ErrorText(unsigned code) { return quiltara::ErrorText(code); }

private:
    /// LoadAs with code, or with detect the format found as Load finds it.
    unsigned LoadFrom(const std::string& path, int code, bool detect);
    Pixels m_pixels;
    bool m_isRGBA = false;
    int m_width = 0, m_height = 0;
    int m_loadedFormat = 0;
    int m_lockCount = 0;
    Palette256 m_palette{};
    bool m_paletteMade = false;
    std::vector<std::uint8_t> m_cameraBlock;
    std::string m_warning, m_refusal;
};

// The JPEG quality the "JPG Quality" dialog starts from: "Save"/"JPGQ", 75.
int LoadJpegQuality(const ISettingsStore& settings);
void StoreJpegQuality(ISettingsStore& settings, int quality);

/// The buffer's own file dialogs, for the GUI. The save dialog's filter entry
/// (0-based) selects the format: PNG 3, JPG 1, Windows Bitmap 6, 8-bit BMP 7, 8-bit
/// PNG 4, Adobe Photoshop 22, whatever the extension of the chosen name.
extern const char* const kBufferLoadDialogTitle;
extern const char* const kBufferLoadDialogFilter;
extern const char* const kBufferLoadDialogDefaultName;
extern const char* const kBufferSaveDialogTitle;
extern const char* const kBufferSaveDialogFilter;
int BufferSaveDialogCode(int filterIndex);

} // namespace quiltara
