#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

/// Little-endian binary archive used by pictures, brush files and plug-in caches.
/// Strings carry a length prefix: one byte below 255; else 0xFF and a 16-bit length
/// below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit length; no terminator.
class CArchiveWriter {
public:
    void WriteUInt8(std::uint8_t v) { m_bytes.push_back(v); }
    void WriteUInt16(std::uint16_t v);
    void WriteInt32(std::int32_t v) { WriteUInt32(std::uint32_t(v)); }
    void WriteUInt32(std::uint32_t v);
    void WriteDouble(double v);
    void WriteString(const std::string& s);
    void WriteBytes(const void* data, std::size_t size);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    /// Writes the archive to a file through a temporary name in the same folder, so
    /// that a failed write never destroys the file that was there.
    bool SaveToFile(const std::string& path) const;

private:
    std::vector<std::uint8_t> m_bytes;
};

/// Reads an archive from a byte buffer it does not own. Every read is bounds
/// checked; the first read past the end makes the reader fail for good and every
/// later read returns zero or empty values.
class CArchiveReader {
public:
    CArchiveReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit CArchiveReader(const std::vector<std::uint8_t>& bytes)
        : CArchiveReader(bytes.data(), bytes.size()) {}

    std::uint8_t ReadUInt8();
    std::uint16_t ReadUInt16();
    std::int32_t ReadInt32() { return std::int32_t(ReadUInt32()); }
    std::uint32_t ReadUInt32();
    double ReadDouble();
    std::string ReadString();
    /// Copies up to size bytes; returns how many were available.
    std::size_t ReadBytes(void* out, std::size_t size);

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_pos >= m_size; }
    std::size_t Remaining() const { return m_size - m_pos; }
    std::size_t Position() const { return m_pos; }

private:
    bool Need(std::size_t n);
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

/// Reads a whole file; false when it cannot be opened or read, or is larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                   std::size_t maxBytes = std::size_t(1) << 31);
/// Writes through "<path>.part" and a rename, so that the old file survives a failed write.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

} // namespace quiltara
