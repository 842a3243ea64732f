#include "core/base/Archive.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace quiltara {

void CArchiveWriter::WriteUInt16(std::uint16_t v) {
    m_bytes.push_back(std::uint8_t(v));
    m_bytes.push_back(std::uint8_t(v >> 8));
}

void CArchiveWriter::WriteUInt32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(std::uint8_t(v >> (8 * i)));
}

void CArchiveWriter::WriteDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) m_bytes.push_back(std::uint8_t(bits >> (8 * i)));
}

void CArchiveWriter::WriteString(const std::string& s) {
    const std::size_t n = s.size();
    if (n < 0xFF) {
        WriteUInt8(std::uint8_t(n));
    } else if (n < 0xFFFE) {
        WriteUInt8(0xFF);
        WriteUInt16(std::uint16_t(n));
    } else {
        WriteUInt8(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(std::uint32_t(n));
    }
    WriteBytes(s.data(), n);
}

void CArchiveWriter::WriteBytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
}

bool CArchiveWriter::SaveToFile(const std::string& path) const {
    return WriteFileAtomically(path, m_bytes.data(), m_bytes.size());
}

bool CArchiveReader::Need(std::size_t n) {
    if (!m_ok || m_size - m_pos < n) {
        m_ok = false;
        m_pos = m_size;
        return false;
    }
    return true;
}

std::uint8_t CArchiveReader::ReadUInt8() {
    if (!Need(1)) return 0;
    return m_data[m_pos++];
}

std::uint16_t CArchiveReader::ReadUInt16() {
    if (!Need(2)) return 0;
    std::uint16_t v = std::uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::uint32_t CArchiveReader::ReadUInt32() {
    if (!Need(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(m_data[m_pos + i]) << (8 * i);
    m_pos += 4;
    return v;
}

double CArchiveReader::ReadDouble() {
    if (!Need(8)) return 0.0;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t(m_data[m_pos + i]) << (8 * i);
    m_pos += 8;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string CArchiveReader::ReadString() {
    std::uint32_t n = ReadUInt8();
    if (n == 0xFF) {
        n = ReadUInt16();
        if (n == 0xFFFF) n = ReadUInt32();
    }
    if (!Need(n)) return {};
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return s;
}

std::size_t CArchiveReader::ReadBytes(void* out, std::size_t size) {
    if (!m_ok) return 0;
    const std::size_t n = std::min(size, m_size - m_pos);
    std::memcpy(out, m_data + m_pos, n);
    m_pos += n;
    if (n < size) m_ok = false;
    return n;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || std::uint64_t(size) > maxBytes) return false;
    in.seekg(0, std::ios::beg);
    out.resize(std::size_t(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), size)) return false;
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
    const std::string temporary = path + ".part";
    {
        std::FILE* f = std::fopen(temporary.c_str(), "wb");
        if (!f) return false;
        const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
        const bool closed = std::fclose(f) == 0;
        if (!written || !closed) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace quiltara
