#include "core/image/Bmp.h"

#include <cstring>
#include <limits>
#include <new>

namespace quiltara {

namespace {
// Pictures larger than this are refused as if memory had run out: a corrupt size
// field must never make us try to allocate terabytes.
constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 34;

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
} // namespace

void CBmp::Create(int width, int height, int bitsPerPixel, bool hasAlpha) {
    CheckSize(width, height, bitsPerPixel);
    m_isEmpty = false;
    FreeMembers();
    InternalCreate(width, height, bitsPerPixel, hasAlpha);
}

std::size_t CBmp::BytesPerLine(int width, int bitsPerPixel) {
    std::size_t bytes = std::size_t(width) * std::size_t(bitsPerPixel) / 8;
    if (bitsPerPixel == 1 && width % 8 != 0) bytes += 1;
    return (bytes + 3) & ~std::size_t(3);
}

std::size_t CBmp::InfoSize(int bitsPerPixel) {
    return 40 + (bitsPerPixel < 16 ? std::size_t(4) << bitsPerPixel : 0);
}

void CBmp::CheckSize(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0) throw std::bad_alloc();
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        throw std::bad_alloc();
    }
    const std::uint64_t bytes =
        std::uint64_t(BytesPerLine(width, bitsPerPixel)) * std::uint64_t(height);
    if (bytes > kMaxPictureBytes) throw std::bad_alloc();
}

void CBmp::MakeEmpty() {
    if (m_isEmpty) return;
    m_isEmpty = true;
    FreeMembers();
    InternalCreate(2, 2, 32, false);
}

void CBmp::InitLineTable() {
    const std::size_t bpl = std::size_t(GetBytesPerLine());
    m_rowTable.assign(std::size_t(m_height), nullptr);
    for (int i = 0; i < m_height; ++i)
        m_rowTable[std::size_t(i)] = m_bits + std::size_t(m_height - 1 - i) * bpl;
}

void CBmp::SetSizeFields(int width, int height, int bitsPerPixel, bool hasAlpha) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_hasAlpha = hasAlpha;
    InitLineTable();
    if (bitsPerPixel < 16 && m_palette) {
        // 8-bit pictures get 255 steps so that entry 254 is already white.
        const int colours = bitsPerPixel == 8 ? 255 : 1 << bitsPerPixel;
        for (int i = 0; i < colours; ++i) {
            const auto v = std::uint8_t(int(255.0 / (colours - 1) * i));
            std::uint8_t* entry = m_palette + 4 * i;
            entry[0] = entry[1] = entry[2] = v;
            entry[3] = 255;
        }
    }
}

void CBmp::WriteInfoHeader(std::uint8_t* info, int width, int height, int bitsPerPixel) {
    std::memset(info, 0, 40);
    PutLE32(info, 40);
    PutLE32(info + 4, std::uint32_t(width));
    PutLE32(info + 8, std::uint32_t(height)); // positive: bottom-up
    info[12] = 1;                             // planes
    info[14] = std::uint8_t(bitsPerPixel);
}

void CBmp::ExportRGB(std::uint8_t* buffer) const {
    if (m_bitsPerPixel != 32) return;
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* s = GetRow(y);
        for (int x = 0; x < m_width; ++x, s += 4, buffer += 3) {
            buffer[0] = s[2];
            buffer[1] = s[1];
            buffer[2] = s[0];
        }
    }
}

} // namespace quiltara
