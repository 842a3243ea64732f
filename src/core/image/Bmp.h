#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quiltara {

/// An abstract picture: size, depth and a row table. Pixels of 32-bit pictures are
/// four bytes, blue, green, red, alpha; rows are stored bottom-up (memory row 0 is
/// the bottom row of the picture). Row-table entry i is picture row i, 0 the top.
class CBmp {
public:
    CBmp() = default;
    virtual ~CBmp() = default;
    CBmp(const CBmp&) = delete;
    CBmp& operator=(const CBmp&) = delete;

    /// Clears isEmpty, frees what is held and makes a new picture. Throws
    /// std::bad_alloc when the pixels cannot be had.
    virtual void Create(int width, int height, int bitsPerPixel, bool hasAlpha);
    virtual std::size_t GetPackedSize() const = 0;
    virtual int GetBytesPerLine() const = 0;

    bool IsEmpty() const { return m_isEmpty; }
    std::uint8_t* GetBits() { return m_bits; }
    const std::uint8_t* GetBits() const { return m_bits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }
    bool HasAlpha() const { return m_hasAlpha; }
    /// The colour table (blue, green, red, 0 per entry); null from 16 bits up.
    const std::uint8_t* GetPalette() const { return m_palette; }
    /// Picture row i (0 = top).
    std::uint8_t* GetRow(int i) { return m_rowTable[std::size_t(i)]; }
    const std::uint8_t* GetRow(int i) const { return m_rowTable[std::size_t(i)]; }
    std::uint8_t* const* GetLineArray() { return m_rowTable.data(); }

    /// Leaves a 2 x 2, 32-bit placeholder flagged empty; nothing when already empty.
    void MakeEmpty();
    /// Writes width x height x 3 bytes, top row first, red, green, blue.
    void ExportRGB(std::uint8_t* buffer) const;

    /// Bytes per line for a width and depth: rounded up to a multiple of four.
    static std::size_t BytesPerLine(int width, int bitsPerPixel);
    /// Size of the 40-byte info header plus the colour table for a depth.
    static std::size_t InfoSize(int bitsPerPixel);

protected:
    virtual void InternalCreate(int width, int height, int bitsPerPixel, bool hasAlpha) = 0;
    virtual void FreeMembers() = 0;
    virtual void InitLineTable();
    /// Stores the sizes, builds the row table and, below 16 bits, fills the colour
    /// table with a gray ramp.
    void SetSizeFields(int width, int height, int bitsPerPixel, bool hasAlpha);
    /// Writes the 40-byte bitmap info header for the given size into info.
    static void WriteInfoHeader(std::uint8_t* info, int width, int height, int bitsPerPixel);
    /// Throws std::bad_alloc when a picture of that size cannot be described.
    static void CheckSize(int width, int height, int bitsPerPixel);

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    bool m_isEmpty = true;
    std::uint8_t* m_palette = nullptr;
    std::uint8_t* m_bits = nullptr;
    bool m_hasAlpha = false;
    std::vector<std::uint8_t*> m_rowTable;
};

} // namespace quiltara
