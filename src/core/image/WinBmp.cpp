#include "core/image/WinBmp.h"

#include <cstring>
#include <new>

namespace quiltara {

namespace {
std::int32_t GetLE32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}
} // namespace

CWinBmp::CWinBmp() {
    // A fresh picture is empty but holds a small valid bitmap, so drawing it is harmless.
    InternalCreate(16, 16, 8, false);
}

CWinBmp::~CWinBmp() = default;

int CWinBmp::GetBytesPerLine() const {
    return int(BytesPerLine(m_width, m_bitsPerPixel));
}

std::size_t CWinBmp::GetPackedSize() const {
    return InfoSize(m_bitsPerPixel) + std::size_t(GetBytesPerLine()) * std::size_t(m_height);
}

void CWinBmp::InternalCreate(int width, int height, int bitsPerPixel, bool hasAlpha) {
    CheckSize(width, height, bitsPerPixel);
    const std::size_t infoSize = InfoSize(bitsPerPixel);
    const std::size_t pixels = BytesPerLine(width, bitsPerPixel) * std::size_t(height);
    m_info.reset(new std::uint8_t[infoSize + pixels]());
    WriteInfoHeader(m_info.get(), width, height, bitsPerPixel);
    m_bitsPerPixel = bitsPerPixel;
    InitPointers();
    SetSizeFields(width, height, bitsPerPixel, hasAlpha);
}

void CWinBmp::InitPointers() {
    std::uint8_t* info = m_info.get();
    const int depth = info[14] | info[15] << 8;
    m_palette = depth < 16 ? info + 40 : nullptr;
    m_bits = info + InfoSize(depth);
}

void CWinBmp::FreeMembers() {
    m_rowTable.clear();
    m_info.reset();
    m_bits = nullptr;
    m_palette = nullptr;
}

bool CWinBmp::ParsePackedHeader(const std::uint8_t* packed, std::size_t size, int& width,
                                int& height, int& bitsPerPixel, bool& topDown) {
    if (!packed || size < 40 || GetLE32(packed) < 40) return false;
    width = GetLE32(packed + 4);
    height = GetLE32(packed + 8);
    bitsPerPixel = packed[14] | packed[15] << 8;
    const std::int32_t compression = GetLE32(packed + 16);
    topDown = height < 0;
    if (topDown) {
        if (height == INT32_MIN) return false;
        height = -height;
    }
    if (compression != 0 || width <= 0 || height <= 0) return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
        bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    const std::size_t headerSize = std::size_t(GetLE32(packed));
    if (headerSize > size) return false;
    const std::uint64_t need = std::uint64_t(headerSize) +
                               (bitsPerPixel < 16 ? (std::uint64_t(4) << bitsPerPixel) : 0) +
                               std::uint64_t(BytesPerLine(width, bitsPerPixel)) * height;
    return need <= size;
}

bool CWinBmp::CreateFromInfo(const std::uint8_t* packed, std::size_t size) {
    int width, height, depth;
    bool topDown;
    if (!ParsePackedHeader(packed, size, width, height, depth, topDown)) return false;
    Create(width, height, depth, false);
    const std::size_t headerSize = std::size_t(GetLE32(packed));
    const std::size_t table = InfoSize(depth) - 40;
    std::memcpy(m_info.get() + 40, packed + headerSize, table);
    const std::uint8_t* src = packed + headerSize + table;
    const std::size_t bpl = std::size_t(GetBytesPerLine());
    for (int y = 0; y < height; ++y) {
        // Memory row y; a top-down source stores the top row first.
        const int sourceRow = topDown ? height - 1 - y : y;
        std::memcpy(m_bits + std::size_t(y) * bpl, src + std::size_t(sourceRow) * bpl, bpl);
    }
    return true;
}

std::vector<std::uint8_t> CWinBmp::CopyToGlobal() const {
    std::vector<std::uint8_t> out(GetPackedSize());
    const std::size_t infoSize = InfoSize(m_bitsPerPixel);
    std::memcpy(out.data(), m_info.get(), infoSize);
    std::memcpy(out.data() + infoSize, m_bits, out.size() - infoSize);
    return out;
}

} // namespace quiltara
