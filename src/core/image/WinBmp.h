#pragma once
#include "core/image/Bmp.h"

#include <memory>

namespace quiltara {

/// A picture whose header, colour table and pixels live in one memory block laid out
/// as a device-independent bitmap.
class CWinBmp : public CBmp {
public:
    CWinBmp();
    ~CWinBmp() override;

    std::size_t GetPackedSize() const override;
    int GetBytesPerLine() const override;

    /// Copies header, colour table and pixels from a packed bitmap in memory. Returns
    /// false, leaving the picture as it was, when the block is not a well-formed
    /// uncompressed bitmap of size bytes.
    virtual bool CreateFromInfo(const std::uint8_t* packed, std::size_t size);
    /// The packed bitmap: header, colour table, pixels.
    virtual std::vector<std::uint8_t> CopyToGlobal() const;

    const std::uint8_t* GetInfo() const { return m_info.get(); }

protected:
    void InternalCreate(int width, int height, int bitsPerPixel, bool hasAlpha) override;
    void FreeMembers() override;
    virtual void InitPointers();
    /// Reads and checks the header of a packed bitmap; false when unusable.
    static bool ParsePackedHeader(const std::uint8_t* packed, std::size_t size, int& width,
                                  int& height, int& bitsPerPixel, bool& topDown);

    std::unique_ptr<std::uint8_t[]> m_info;
};

} // namespace quiltara
