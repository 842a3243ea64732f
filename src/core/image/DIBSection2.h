#pragma once
#include "core/base/ColorRef.h"
#include "core/base/Rect.h"
#include "core/image/WinBmp.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace quiltara {

class CArchiveReader;
class CArchiveWriter;

/// What can go wrong with a picture's swap file or archive form. The picture only
/// reports it; whoever asked decides what the user is told (PictureErrorText).
enum class PictureError {
    kNone = 0,
    kTempFileWrite, // the swap file could not be written
    kCorruptedData, // an archived picture whose byte count does not fit its size
    kDataRead,      // an archived picture whose pixels are not all there
};

/// The program's text for an error: "Can't save temporary file to disk. Not enough
/// disk space.\n" followed by path (the swap file), "Corupted Data!" or "Bitmap:: Data
/// Read Error!"; empty for kNone.
std::string PictureErrorText(PictureError error, const std::string& path = {});

/// The picture used everywhere: a 32-bit (or placeholder) bitmap whose pixel block
/// is drawn by the GUI without copying and written by our own loops. It can swap
/// itself out to a raw file in the program folder and back.
class CDIBSection2 : public CWinBmp {
public:
    CDIBSection2();
    ~CDIBSection2() override;
    CDIBSection2(CDIBSection2&& other) noexcept;
    CDIBSection2& operator=(CDIBSection2&& other) noexcept;

    int GetBytesPerLine() const override { return CWinBmp::GetBytesPerLine(); }
    bool CreateFromInfo(const std::uint8_t* packed, std::size_t size) override;
    std::vector<std::uint8_t> CopyToGlobal() const override;
    /// Frees the row table and creates a 16 x 16, 8-bit placeholder.
    void Reset();

    /// Pixel (x, y) in memory rows (y = 0 is the bottom row) of a 32-bit picture.
    std::uint8_t* PixelAt(int x, int y) {
        return m_bits + (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 4;
    }
    const std::uint8_t* PixelAt(int x, int y) const {
        return m_bits + (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 4;
    }
    std::size_t PixelBytes() const {
        return std::size_t(GetBytesPerLine()) * std::size_t(m_height);
    }

    std::uint32_t GetTag() const { return m_tag; }
    void SetTag(std::uint32_t tag) { m_tag = tag; }

    // Pixel operations. All return at once on an empty picture unless said otherwise.
    /// Deep copy of source (nothing for null or empty); swaps out again at once when
    /// this picture has a temporary file, and gives that swap's outcome.
    PictureError Copy(const CDIBSection2* source);
    /// The rectangle (memory rows) of source, normalised and clipped.
    void Crop(const CDIBSection2* source, CRect rect);
    void CopyTopOverWhite(const CDIBSection2* source, int width, int height, bool keepColours);
    /// Puts source with its bottom-left corner at (x, y), memory rows, clipped. Mode 0
    /// copies all four bytes, mode 1 blends by the source alpha. Needs hasAlpha.
    void PasteFrom(const CDIBSection2& source, int x, int y, int mode);
    /// result = layer placed at (x, y) over this picture, blended by the layer's alpha;
    /// outside this picture the layer is blended over mid gray.
    void CompositeFloat(CDIBSection2* result, const CDIBSection2& layer, int x, int y) const;
    void Fill(ColorRef color);
    void FillOpaque(ColorRef color);
    void SetAlpha(int value);
    void FlattenOnColour(ColorRef color);
    void Tint(ColorRef color);
    void MakeRoundMask(int w, int h);
    void MakeRectMask(int w, int h);
    /// buffer is w x h x 3, top row first; its first byte per pixel becomes alpha.
    void SetAlphaFromGray(const std::uint8_t* buffer, int w, int h, bool invert);
    /// Loads a top-row-first red-green-blue buffer; alpha >= 0 sets every alpha byte.
    void ImportRGB(const std::uint8_t* buffer, int w, int h, int alpha);
    void ImportRGBA(const std::uint8_t* buffer, int w, int h);
    // Swapping to disk.
    /// The temporary file's full name: prefix, five digits 0-8, ".tmp", in the picture's
    /// swap folder (SetTempDir, else the default swap folder, else the system's
    /// temporary folder). Chosen on the first call, the same afterwards.
    std::string GetTempPath();
    /// The folder new pictures swap to unless told otherwise (ending in "/"); the
    /// program sets its program folder here at start.
    static void SetDefaultSwapFolder(const std::string& folder);
    void SetTempPrefix(const std::string& prefix) { m_tempPrefix = prefix; }
    void SetTempDir(const std::string& dir) { m_tempDir = dir; }
    /// kTempFileWrite when the file cannot be opened or written.
    PictureError SaveRaw(const std::string& path) const;
    /// 0 when the file cannot be opened or the pixels are short, 1 otherwise.
    int LoadRaw(const std::string& path);
    /// kTempFileWrite when GetTempPath() could not be written; the pixels then stay in
    /// memory.
    PictureError SwapOut();
    void SwapIn();
    bool IsSwappedOut() const { return m_hasTempFile; }
    void DeleteTempFile();
    /// Exchanges the pixels (size, depth, palette, block) with other's; each picture
    /// keeps its own swap-file name and tag.
    void SwapPixels(CDIBSection2& other) noexcept;
    int GetSwappedWidth() const { return int(m_swappedWidth); }
    int GetSwappedHeight() const { return int(m_swappedHeight); }

    // Archive form.
    void Store(CArchiveWriter& ar) const;
    /// A stored empty flag leaves the picture as it was. kCorruptedData when the byte
    /// count does not fit the size, kDataRead when the pixels are not all there; the
    /// picture is left as it was then too.
    PictureError Load(CArchiveReader& ar);

protected:
    void InternalCreate(int width, int height, int bitsPerPixel, bool hasAlpha) override;
    void FreeMembers() override;
    void InitPointers() override;

private:
    // A block from calloc, or (mapped > 0) one of that many bytes from the picture allocator.
    struct BlockDeleter {
        std::size_t mapped; // 0 for a block from calloc
        void operator()(std::uint8_t* p) const;
    };
    static std::unique_ptr<std::uint8_t, BlockDeleter> AllocateZeroedBlock(std::size_t bytes);
    void MoveFrom(CDIBSection2& other) noexcept;
    void ReleaseTempName();

    std::uint32_t m_tag = 0;
    std::string m_tempPrefix = "tmp";
    std::string m_tempDir;
    std::string m_tempName;
    bool m_hasTempFile = false;
    std::uint32_t m_swappedWidth = 0;
    std::uint32_t m_swappedHeight = 0;
    std::unique_ptr<std::uint8_t, BlockDeleter> m_section; // the pixel block
};

} // namespace quiltara
