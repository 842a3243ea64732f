#pragma once
#include "core/image/codecs/CodecErrors.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace quiltara {

/// Memory for pictures: a large one gets a zeroed mapping of its own, returned to the
/// system when freed, so that no reader zeroes it again. Null when the memory cannot
/// be had.
void* AllocatePictureMemory(std::size_t bytes);
/// Frees what `AllocatePictureMemory(bytes)` gave, with the same size.
void FreePictureMemory(void* p, std::size_t bytes);
/// Whether memory of this size comes zeroed (a fresh mapping) from the allocation.
bool PictureMemoryComesZeroed(std::size_t bytes);

/// An allocator whose value-less construction leaves bytes as they are: readers
/// write every byte of their pictures, so zeroing them first only costs time.
template <class T> struct DefaultInitAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = DefaultInitAllocator<U>; };
    DefaultInitAllocator() = default;
    template <class U> DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
        void* p = AllocatePictureMemory(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept { FreePictureMemory(p, n * sizeof(T)); }
};

/// A picture's bytes. `Pixels(n)` and `resize(n)` leave the new bytes unset.
using Pixels = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

/// Replaces `pixels` by `bytes` zero bytes in new memory, without writing the zeros a
/// large block already has.
void ZeroedPixels(Pixels& pixels, std::size_t bytes);

/// A reading source: the whole file (or a block the caller owns) in memory, so that
/// readers can check every offset against the size before they touch a byte.
class CSource {
public:
    /// A view of bytes the caller keeps alive (tests, fuzz targets, the clipboard).
    CSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit CSource(std::vector<std::uint8_t> bytes, std::string path = {});
    explicit CSource(Pixels bytes, std::string path = {});
    CSource(const CSource&) = delete;
    CSource& operator=(const CSource&) = delete;

    const std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }
    const std::string& Path() const { return m_path; }

private:
    std::vector<std::uint8_t> m_owned;
    Pixels m_read; // a file's bytes, read without zeroing them first
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::string m_path;
};

/// A writing sink. A memory sink keeps every byte (`Bytes()`; seeking is allowed, as
/// TIFF needs). A sink opened on a path creates a temporary file beside the file the path
/// names (symbolic links followed) and streams the bytes into it as they come, so that a
/// large picture never needs a second whole copy in memory; only `CloseSink(..., true)`
/// after a successful writer moves it over that file, so that a failed save never
/// destroys the file that was there. A file with other hard links, or in a folder that
/// takes no new files, is instead encoded whole in memory and written in place, and only
/// after the writer succeeded.
class CSink {
public:
    CSink() = default; // memory only
    ~CSink();
    CSink(const CSink&) = delete;
    CSink& operator=(const CSink&) = delete;

    bool Write(const void* data, std::size_t size);
    bool Seek(std::uint64_t pos);
    std::uint64_t Tell() const { return m_pos; }
    std::uint64_t Size() const { return m_base + m_bytes.size(); }
    /// Every byte written, for memory sinks; for a streaming file sink only the bytes
    /// not yet passed to the file.
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::string& Path() const { return m_path; }
    /// Reserves room for the expected size; failure is harmless.
    void Reserve(std::size_t size);
    /// The file refused bytes (a full disk, a size limit): whatever the writer made of
    /// its failed `Write`, the save failed on writing.
    bool FileFailed() const { return m_fileFailed; }

private:
    friend std::unique_ptr<CSink> OpenSink(const std::string& path, unsigned& code);
    friend CodecStatus CloseSink(std::unique_ptr<CSink> sink, bool commit);
    bool Streams() const { return m_fd >= 0; }
    bool Flush(); // passes the buffered bytes to the temporary file
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_base = 0; // file offset of m_bytes[0]: what was already passed on
    std::uint64_t m_pos = 0;
    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
    bool m_direct = false; // write the file itself at CloseSink
    bool m_fileFailed = false;
};

/// Reads the whole file; code becomes 0. Null with code 2 when it cannot be opened, 3
/// when it cannot be read, 1 when memory runs out.
std::unique_ptr<CSource> OpenSource(const std::string& path, unsigned& code);
void CloseSource(std::unique_ptr<CSource> source);

/// Opens a sink on path; code becomes 0. Null with code 2 when the file there may not
/// be written (read-only, not a plain file) or nothing can be created. Ignores
/// SIGXFSZ, so that a file-size limit makes the write fail instead of ending the
/// program.
std::unique_ptr<CSink> OpenSink(const std::string& path, unsigned& code);
/// With commit, writes the bytes and renames the temporary file over the file (or
/// writes the file in place, see CSink); code 4 when that fails. Without, removes the
/// temporary file. The temporary file is gone after every failure. Memory sinks just
/// go. The old file keeps its permissions.
CodecStatus CloseSink(std::unique_ptr<CSink> sink, bool commit);
/// A whole save: opens a sink on path, lets write fill it and commits only when it
/// succeeded. Returns the open's failure code, else the writer's (a file that refused
/// bytes counts as kErrFileWrite, running out of memory as kErrOutOfMemory), else the
/// close's.
unsigned SaveThroughSink(const std::string& path, const std::function<CodecStatus(CSink&)>& write);

// ---------------------------------------------------------------- limits

/// The largest picture a reader will allocate, in pixels (and in either direction).
/// Readers refuse larger sizes with "out of memory" before allocating anything.
void SetCodecPixelLimit(std::uint64_t maxPixels);

/// The writers' common argument check: pixels present and both sides within
/// 1 ... maxSide (the format's own limit). Otherwise the bad-parameter code.
CodecStatus CheckWriterArgs(const void* pixels, int width, int height, int maxSide);
std::uint64_t CodecPixelLimit();
constexpr int kMaxCodecDimension = 1 << 20;

/// Checks a picture size against the limits and allocates width x height x channels
/// bytes, all zero (black, transparent), so that whatever a damaged or short file does
/// not fill is never left as stale memory. A size over the limit fails with
/// kErrTooLarge (with its own text, see CodecStatus::Detail); memory that cannot be had with 1;
/// a dimension that is not positive with badSizeCode.
CodecStatus AllocatePixels(Pixels& pixels, long long width, long long height, int channels,
                           unsigned badSizeCode);

/// Refuses a size that fileBytes of data cannot fill even at the format's highest
/// compression ratio, pixelsPerByte: kErrTooLarge with its text, else 0. Costs of a
/// reader follow the claimed size, so a tiny file claiming a huge picture stops here.
CodecStatus CheckDataCanFill(long long width, long long height, std::uint64_t fileBytes,
                             std::uint64_t pixelsPerByte);

// ---------------------------------------------------------------- byte reading

/// Bounds-checked reading of little- and big-endian fields. A read past the end
/// returns zero and leaves the reader failed for good.
class CByteReader {
public:
    CByteReader(const std::uint8_t* data, std::size_t size, std::size_t pos = 0)
        : m_data(data), m_size(size), m_pos(pos <= size ? pos : size), m_ok(pos <= size) {}

    bool Ok() const { return m_ok; }
    std::size_t Pos() const { return m_pos; }
    std::size_t Remaining() const { return m_size - m_pos; }
    const std::uint8_t* Here() const { return m_data + m_pos; }
    bool Seek(std::size_t pos) {
        if (pos > m_size) return m_ok = false;
        m_pos = pos;
        return true;
    }
    bool Skip(std::size_t n) {
        if (n > Remaining()) return m_ok = false;
        m_pos += n;
        return true;
    }
    /// Pointer to n bytes at the position, advancing past them; null when short.
    const std::uint8_t* Take(std::size_t n) {
        if (n > Remaining()) {
            m_ok = false;
            return nullptr;
        }
        const std::uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    std::uint8_t U8() {
        const std::uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t U16LE() {
        const std::uint8_t* p = Take(2);
        return p ? std::uint16_t(p[0] | p[1] << 8) : 0;
    }
    std::uint32_t U32LE() {
        const std::uint8_t* p = Take(4);
        return p ? std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                       std::uint32_t(p[3]) << 24
                 : 0;
    }
    std::uint16_t U16BE() {
        const std::uint8_t* p = Take(2);
        return p ? std::uint16_t(p[0] << 8 | p[1]) : 0;
    }
    std::uint32_t U32BE() {
        const std::uint8_t* p = Take(4);
        return p ? std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                       std::uint32_t(p[2]) << 8 | std::uint32_t(p[3])
                 : 0;
    }
    std::int16_t S16LE() { return std::int16_t(U16LE()); }
    std::int32_t S32LE() { return std::int32_t(U32LE()); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos;
    bool m_ok;
};

// Little- and big-endian field writing for the writers.
inline void PutLE16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(std::uint8_t(x)), v.push_back(std::uint8_t(x >> 8));
}
inline void PutLE32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    PutLE16(v, x & 0xFFFF), PutLE16(v, x >> 16);
}
inline void PutBE16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(std::uint8_t(x >> 8)), v.push_back(std::uint8_t(x));
}
inline void PutBE32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    PutBE16(v, x >> 16), PutBE16(v, x & 0xFFFF);
}

} // namespace quiltara
