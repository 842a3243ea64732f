#include "core/image/DIBSection2.h"

#include "core/base/Archive.h"
#include "core/base/RuntimeRandom.h"
#include "core/image/codecs/CodecIO.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <set>

namespace quiltara {

namespace {

// Names handed out to live pictures of this process. Two pictures asking for a name
// in the same millisecond would otherwise get the same digits and overwrite each
// other's swap file.
std::mutex& ClaimedNamesMutex() {
    static std::mutex m;
    return m;
}
std::string& DefaultSwapFolder() {
    static std::string folder;
    return folder;
}
std::set<std::string>& ClaimedNames() {
    static std::set<std::string> names;
    return names;
}

std::uint64_t MillisecondsSinceStart() {
    using namespace std::chrono;
    return std::uint64_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

inline std::uint8_t Mix(int dst, int src, int a) {
    return std::uint8_t((dst * (255 - a) + src * a) >> 8);
}

} // namespace

CDIBSection2::CDIBSection2() {
    // CWinBmp made its placeholder in one block; ours keeps the pixels apart.
    CWinBmp::FreeMembers();
    InternalCreate(16, 16, 8, false);
}

CDIBSection2::~CDIBSection2() {
    if (m_hasTempFile) std::remove(GetTempPath().c_str());
    ReleaseTempName();
}

CDIBSection2::CDIBSection2(CDIBSection2&& other) noexcept : CDIBSection2() {
    MoveFrom(other);
}

CDIBSection2& CDIBSection2::operator=(CDIBSection2&& other) noexcept {
    if (this != &other) MoveFrom(other);
    return *this;
}

void CDIBSection2::SwapPixels(CDIBSection2& o) noexcept {
    std::swap(m_width, o.m_width);
    std::swap(m_height, o.m_height);
    std::swap(m_bitsPerPixel, o.m_bitsPerPixel);
    std::swap(m_isEmpty, o.m_isEmpty);
    std::swap(m_palette, o.m_palette);
    std::swap(m_bits, o.m_bits);
    std::swap(m_hasAlpha, o.m_hasAlpha);
    std::swap(m_rowTable, o.m_rowTable);
    std::swap(m_info, o.m_info);
    std::swap(m_section, o.m_section);
}

void CDIBSection2::MoveFrom(CDIBSection2& o) noexcept {
    SwapPixels(o);
    std::swap(m_tag, o.m_tag);
    std::swap(m_tempPrefix, o.m_tempPrefix);
    std::swap(m_tempDir, o.m_tempDir);
    std::swap(m_tempName, o.m_tempName);
    std::swap(m_hasTempFile, o.m_hasTempFile);
    std::swap(m_swappedWidth, o.m_swappedWidth);
    std::swap(m_swappedHeight, o.m_swappedHeight);
}

void CDIBSection2::BlockDeleter::operator()(std::uint8_t* p) const {
    if (mapped)
        FreePictureMemory(p, mapped);
    else
        std::free(p);
}

// Large pictures come from the picture allocator (zeroed mappings of their own); small
// ones from calloc.
std::unique_ptr<std::uint8_t, CDIBSection2::BlockDeleter>
CDIBSection2::AllocateZeroedBlock(std::size_t bytes) {
    if (PictureMemoryComesZeroed(bytes)) {
        if (void* m = AllocatePictureMemory(bytes))
            return {static_cast<std::uint8_t*>(m), BlockDeleter{bytes}};
    }
    auto* block = static_cast<std::uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
    if (!block) throw std::bad_alloc();
    return {block, BlockDeleter{0}};
}

void CDIBSection2::InternalCreate(int width, int height, int bitsPerPixel, bool hasAlpha) {
    CheckSize(width, height, bitsPerPixel);
    const std::size_t infoSize = InfoSize(bitsPerPixel);
    std::unique_ptr<std::uint8_t[]> info(new std::uint8_t[infoSize]());
    WriteInfoHeader(info.get(), width, height, bitsPerPixel);
    const std::size_t pixels = BytesPerLine(width, bitsPerPixel) * std::size_t(height);
    m_section = AllocateZeroedBlock(pixels);
    std::uint8_t* block = m_section.get();
    m_info = std::move(info);
    m_bits = block;
    m_bitsPerPixel = bitsPerPixel;
    InitPointers();
    SetSizeFields(width, height, bitsPerPixel, hasAlpha);
}

void CDIBSection2::InitPointers() {
    m_palette = m_bitsPerPixel < 16 ? m_info.get() + 40 : nullptr;
}

void CDIBSection2::FreeMembers() {
    m_rowTable.clear();
    m_info.reset();
    m_section.reset();
    m_bits = nullptr;
    m_palette = nullptr;
}

void CDIBSection2::Reset() {
    FreeMembers();
    InternalCreate(16, 16, 8, false);
}

bool CDIBSection2::CreateFromInfo(const std::uint8_t* packed, std::size_t size) {
    // Same as the one-block picture: header, colour table and the pixels behind them.
    return CWinBmp::CreateFromInfo(packed, size);
}

std::vector<std::uint8_t> CDIBSection2::CopyToGlobal() const {
    return CWinBmp::CopyToGlobal();
}

// ---------------------------------------------------------------- pixel operations

PictureError CDIBSection2::Copy(const CDIBSection2* source) {
    if (!source || source->IsEmpty()) return PictureError::kNone;
    Create(source->GetWidth(), source->GetHeight(), 32, true);
    if (source->GetBitsPerPixel() == 32) std::memcpy(m_bits, source->GetBits(), PixelBytes());
    m_tag = source->m_tag;
    return m_hasTempFile ? SwapOut() : PictureError::kNone;
}

void CDIBSection2::Crop(const CDIBSection2* source, CRect rect) {
    if (!source || source->IsEmpty() || source->GetBitsPerPixel() != 32) return;
    CRect r = rect.Normalized();
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, source->GetWidth());
    r.bottom = std::min(r.bottom, source->GetHeight());
    if (r.Width() <= 0 || r.Height() <= 0) return;
    if (source == this) {
        CDIBSection2 copy;
        copy.Copy(source);
        Crop(&copy, rect);
        return;
    }
    Create(r.Width(), r.Height(), 32, true);
    for (int y = 0; y < r.Height(); ++y)
        std::memcpy(PixelAt(0, y), source->PixelAt(r.left, r.top + y), std::size_t(r.Width()) * 4);
    m_tag = source->m_tag;
}

void CDIBSection2::CopyTopOverWhite(const CDIBSection2* source, int width, int height,
                                    bool keepColours) {
    if (!source || source->IsEmpty() || source->GetBitsPerPixel() != 32 || source == this) return;
    const int w = std::min(width, source->GetWidth());
    const int h = std::min(height, source->GetHeight());
    if (w <= 0 || h <= 0) return;
    Create(w, h, 32, true);
    for (int y = 0; y < h; ++y) {
        // Picture rows: the topmost rows of the source.
        const std::uint8_t* s = source->GetRow(y);
        std::uint8_t* d = GetRow(y);
        for (int x = 0; x < w; ++x, s += 4, d += 4) {
            const int a = s[3];
            for (int c = 0; c < 3; ++c)
                d[c] = keepColours ? s[c] : std::uint8_t(((255 - a) * 255 + s[c] * a) >> 8);
            d[3] = s[3];
        }
    }
    m_tag = source->m_tag;
}

void CDIBSection2::PasteFrom(const CDIBSection2& source, int x, int y, int mode) {
    if (IsEmpty() || !m_hasAlpha || source.IsEmpty() || m_bitsPerPixel != 32 ||
        source.GetBitsPerPixel() != 32 || &source == this)
        return;
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(m_width, x + source.GetWidth());
    const int y1 = std::min(m_height, y + source.GetHeight());
    if (x1 <= x0 || y1 <= y0) return;
    for (int ty = y0; ty < y1; ++ty) {
        const std::uint8_t* s = source.PixelAt(x0 - x, ty - y);
        std::uint8_t* d = PixelAt(x0, ty);
        if (mode == 0) {
            std::memcpy(d, s, std::size_t(x1 - x0) * 4);
            continue;
        }
        for (int tx = x0; tx < x1; ++tx, s += 4, d += 4) {
            const int a = s[3];
            if (a == 0) continue;
            if (a == 255) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
            } else {
                for (int c = 0; c < 3; ++c) d[c] = Mix(d[c], s[c], a);
            }
        }
    }
}

void CDIBSection2::CompositeFloat(CDIBSection2* result, const CDIBSection2& layer, int x,
                                  int y) const {
    if (!result || IsEmpty() || !m_hasAlpha || m_bitsPerPixel != 32 || layer.IsEmpty() ||
        result == this)
        return;
    result->Copy(&layer);
    if (result->IsEmpty()) return;
    for (int j = 0; j < result->GetHeight(); ++j) {
        std::uint8_t* r = result->PixelAt(0, j);
        const int py = y + j;
        for (int i = 0; i < result->GetWidth(); ++i, r += 4) {
            const int a = r[3];
            if (a == 255) continue;
            const int px = x + i;
            if (px < 0 || py < 0 || px >= m_width || py >= m_height) {
                for (int c = 0; c < 3; ++c)
                    r[c] = a == 0 ? 128 : std::uint8_t((r[c] * a + (255 - a) * 128) >> 8);
            } else {
                const std::uint8_t* p = PixelAt(px, py);
                for (int c = 0; c < 3; ++c) r[c] = a == 0 ? p[c] : Mix(p[c], r[c], a);
            }
        }
    }
}

void CDIBSection2::Fill(ColorRef color) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    const std::uint8_t b = std::uint8_t(BlueOf(color)), g = std::uint8_t(GreenOf(color)),
                       r = std::uint8_t(RedOf(color));
    std::uint8_t* p = m_bits;
    for (std::size_t n = std::size_t(m_width) * m_height; n--; p += 4) p[0] = b, p[1] = g, p[2] = r;
}

void CDIBSection2::FillOpaque(ColorRef color) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    const std::uint32_t value = std::uint32_t(BlueOf(color)) | std::uint32_t(GreenOf(color)) << 8 |
                                std::uint32_t(RedOf(color)) << 16 | 0xFF000000u;
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(value >> (8 * i));
    std::uint8_t* p = m_bits;
    for (std::size_t n = std::size_t(m_width) * m_height; n--; p += 4) std::memcpy(p, bytes, 4);
}

void CDIBSection2::SetAlpha(int value) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    std::uint8_t* p = m_bits + 3;
    for (std::size_t n = std::size_t(m_width) * m_height; n--; p += 4) *p = std::uint8_t(value);
}

void CDIBSection2::FlattenOnColour(ColorRef color) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    const int c[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    std::uint8_t* p = m_bits;
    for (std::size_t n = std::size_t(m_width) * m_height; n--; p += 4) {
        const int a = p[3];
        for (int k = 0; k < 3; ++k) p[k] = std::uint8_t((p[k] * a + c[k] * (255 - a)) >> 8);
    }
}

void CDIBSection2::Tint(ColorRef color) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    const int c[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    std::uint8_t* p = m_bits;
    for (std::size_t n = std::size_t(m_width) * m_height; n--; p += 4) {
        const int g = (p[0] + p[1] + p[2]) / 3 - 255;
        for (int k = 0; k < 3; ++k) p[k] = std::uint8_t(std::clamp(g + c[k], 0, 255));
    }
}

void CDIBSection2::MakeRoundMask(int w, int h) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    if (w == 1 && h == 1) {
        PixelAt(m_width / 2, m_height / 2)[3] = 255;
        return;
    }
    const int rx = std::max(w / 2, 1), ry = std::max(h / 2, 1);
    const int cx = (m_width - w) / 2 + rx, cy = (m_height - h) / 2 + ry;
    const long long limit = (long long)rx * rx + (long long)ry * ry;
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* p = PixelAt(0, y);
        const long long dy = y - cy;
        for (int x = 0; x < m_width; ++x, p += 4) {
            const long long dx = x - cx;
            p[3] = dx * dx + dy * dy <= limit ? 255 : 0;
        }
    }
}

void CDIBSection2::MakeRectMask(int w, int h) {
    if (IsEmpty() || m_bitsPerPixel != 32) return;
    if (w == 1 && h == 1) {
        PixelAt(m_width / 2, m_height / 2)[3] = 255;
        return;
    }
    const int cx = (m_width - w) / 2, cy = (m_height - h) / 2;
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* p = PixelAt(0, y);
        for (int x = 0; x < m_width; ++x, p += 4)
            p[3] = (x >= cx && x <= cx + w && y >= cy && y <= cy + h) ? 255 : 0;
    }
}

void CDIBSection2::SetAlphaFromGray(const std::uint8_t* buffer, int w, int h, bool invert) {
    if (IsEmpty() || !buffer || m_bitsPerPixel != 32) return;
    const int cw = std::min(w, m_width), ch = std::min(h, m_height);
    for (int y = 0; y < ch; ++y) {
        const std::uint8_t* s = buffer + std::size_t(y) * std::size_t(w) * 3;
        std::uint8_t* d = GetRow(y);
        for (int x = 0; x < cw; ++x, s += 3, d += 4)
            d[3] = invert ? std::uint8_t(255 - s[0]) : s[0];
    }
}

void CDIBSection2::ImportRGB(const std::uint8_t* buffer, int w, int h, int alpha) {
    if (!buffer || w <= 0 || h <= 0) return;
    if (IsEmpty() || m_width != w || m_height != h || m_bitsPerPixel != 32) Create(w, h, 32, true);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = buffer + std::size_t(y) * std::size_t(w) * 3;
        std::uint8_t* d = GetRow(y);
        for (int x = 0; x < w; ++x, s += 3, d += 4) {
            d[0] = s[2], d[1] = s[1], d[2] = s[0];
            if (alpha >= 0) d[3] = std::uint8_t(alpha);
        }
    }
}

void CDIBSection2::ImportRGBA(const std::uint8_t* buffer, int w, int h) {
    if (!buffer || w <= 0 || h <= 0) return;
    if (IsEmpty() || m_width != w || m_height != h || m_bitsPerPixel != 32) Create(w, h, 32, true);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = buffer + std::size_t(y) * std::size_t(w) * 4;
        std::uint8_t* d = GetRow(y);
        for (int x = 0; x < w; ++x, s += 4, d += 4)
            d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
    }
}

// ---------------------------------------------------------------- swapping

void CDIBSection2::SetDefaultSwapFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(ClaimedNamesMutex());
    DefaultSwapFolder() = folder;
}

std::string CDIBSection2::GetTempPath() {
    if (m_tempDir.empty()) {
        {
            std::lock_guard<std::mutex> lock(ClaimedNamesMutex());
            m_tempDir = DefaultSwapFolder();
        }
        if (m_tempDir.empty()) m_tempDir = std::filesystem::temp_directory_path().string() + "/";
    }
    if (m_tempName.empty()) {
        std::lock_guard<std::mutex> lock(ClaimedNamesMutex());
        const std::uint64_t ms = MillisecondsSinceStart();
        // Nine to the fifth names exist; after that many tries the last one is used.
        for (std::uint64_t attempt = 0; attempt < 59049; ++attempt) {
            std::string name = m_tempPrefix;
            for (std::uint64_t k = 1; k <= 5; ++k) {
                CRuntimeRandom generator(std::uint32_t(k * (ms + attempt) * 5));
                name += char('0' + generator.Next() % 9);
            }
            name += ".tmp";
            m_tempName = name;
            const std::string full = m_tempDir + name;
            std::error_code ec;
            if (!ClaimedNames().count(full) && !std::filesystem::exists(full, ec)) break;
        }
        ClaimedNames().insert(m_tempDir + m_tempName);
    }
    m_hasTempFile = true;
    return m_tempDir + m_tempName;
}

void CDIBSection2::ReleaseTempName() {
    if (m_tempName.empty()) return;
    std::lock_guard<std::mutex> lock(ClaimedNamesMutex());
    ClaimedNames().erase(m_tempDir + m_tempName);
}

PictureError CDIBSection2::SaveRaw(const std::string& path) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr;
    if (ok) {
        std::uint8_t header[8];
        for (int i = 0; i < 4; ++i) {
            header[i] = std::uint8_t(std::uint32_t(m_width) >> (8 * i));
            header[4 + i] = std::uint8_t(std::uint32_t(m_height) >> (8 * i));
        }
        const std::size_t bytes = std::size_t(m_width) * std::size_t(m_height) * 4;
        ok = std::fwrite(header, 1, 8, f) == 8;
        if (ok && m_bitsPerPixel == 32) ok = std::fwrite(m_bits, 1, bytes, f) == bytes;
        if (std::fclose(f) != 0) ok = false;
    }
    return ok ? PictureError::kNone : PictureError::kTempFileWrite;
}

int CDIBSection2::LoadRaw(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::uint8_t header[8];
    if (std::fread(header, 1, 8, f) != 8) {
        std::fclose(f);
        return 0;
    }
    auto le32 = [](const std::uint8_t* p) {
        return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                            std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
    };
    const int w = le32(header), h = le32(header + 4);
    if (w <= 0 || h <= 0) {
        std::fclose(f);
        return 1;
    }
    int result = 0;
    try {
        if (IsEmpty() || w != m_width || h != m_height || m_bitsPerPixel != 32)
            Create(w, h, 32, true);
        const std::size_t bytes = PixelBytes();
        result = std::fread(m_bits, 1, bytes, f) == bytes ? 1 : 0;
    } catch (const std::bad_alloc&) {
        result = 0; // a size no machine holds: the file is not ours
    }
    std::fclose(f);
    return result;
}

PictureError CDIBSection2::SwapOut() {
    if (m_hasTempFile && IsEmpty()) return PictureError::kNone;
    const PictureError error = SaveRaw(GetTempPath());
    if (error != PictureError::kNone) return error;
    m_swappedWidth = std::uint32_t(m_width);
    m_swappedHeight = std::uint32_t(m_height);
    MakeEmpty();
    return PictureError::kNone;
}

void CDIBSection2::SwapIn() {
    if (m_hasTempFile && IsEmpty()) LoadRaw(GetTempPath());
}

void CDIBSection2::DeleteTempFile() {
    if (m_hasTempFile) std::remove((m_tempDir + m_tempName).c_str());
    m_hasTempFile = false;
    m_isEmpty = true;
    FreeMembers();
    InternalCreate(2, 2, 32, false);
}

// ---------------------------------------------------------------- archive form

void CDIBSection2::Store(CArchiveWriter& ar) const {
    ar.WriteInt32(m_isEmpty ? 1 : 0);
    if (m_isEmpty) return;
    ar.WriteInt32(m_width);
    ar.WriteInt32(m_height);
    const std::uint32_t count = std::uint32_t(std::size_t(m_width) * m_height * 4);
    ar.WriteUInt32(count);
    ar.WriteBytes(m_bits, count);
}

PictureError CDIBSection2::Load(CArchiveReader& ar) {
    if (ar.ReadInt32() != 0) return PictureError::kNone;
    const std::int32_t w = ar.ReadInt32(), h = ar.ReadInt32();
    const std::uint32_t count = ar.ReadUInt32();
    if (!ar.Ok() || w <= 0 || h <= 0 || std::uint64_t(w) * std::uint64_t(h) * 4 != count)
        return PictureError::kCorruptedData;
    // The pixels are not there: say so without allocating for them.
    if (count > ar.Remaining()) return PictureError::kDataRead;
    Create(w, h, 32, true);
    ar.ReadBytes(m_bits, count);
    return PictureError::kNone;
}

std::string PictureErrorText(PictureError error, const std::string& path) {
    switch (error) {
    case PictureError::kNone:
        break;
    case PictureError::kTempFileWrite:
        return "Can't save temporary file to disk. Not enough disk space.\n" + path;
    case PictureError::kCorruptedData:
        return "Corupted Data!";
    case PictureError::kDataRead:
        return "Bitmap:: Data Read Error!";
    }
    return {};
}

} // namespace quiltara
