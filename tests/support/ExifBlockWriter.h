#pragma once
// Lays out EXIF APP1 segments byte by byte for the tests, independently of the
// decoder: the TIFF header, the directories in the order IFD0, the chained
// directories, the Exif directory and the interoperability directory, then the
// values that do not fit into an entry's four bytes.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace quiltara::test {

class ExifBlockWriter {
public:
    enum Directory { Ifd0, Ifd1, Exif, Interop, DirectoryCount };
    enum Type : std::uint16_t {
        Byte = 1,
        Ascii = 2,
        Short = 3,
        Long = 4,
        Rational = 5,
        Undefined = 7,
        SShort = 8,
        SRational = 10
    };

    explicit ExifBlockWriter(bool motorola) : m_motorola(motorola) {}

    // Entries; payload bytes are put into block order here.
    void Add(Directory d, std::uint16_t tag, Type type, std::uint32_t count,
             std::vector<std::uint8_t> payload) {
        m_dirs[d].push_back(Item{tag, type, count, std::move(payload), -1});
    }
    void AddAscii(Directory d, std::uint16_t tag, const std::string& s) {
        std::vector<std::uint8_t> p(s.begin(), s.end());
        p.push_back(0);
        Add(d, tag, Ascii, std::uint32_t(p.size()), p);
    }
    void AddShorts(Directory d, std::uint16_t tag, std::vector<int> values, Type type = Short) {
        std::vector<std::uint8_t> p;
        for (int v : values) Put16(p, std::uint16_t(v));
        Add(d, tag, type, std::uint32_t(values.size()), p);
    }
    void AddLong(Directory d, std::uint16_t tag, std::uint32_t v) {
        std::vector<std::uint8_t> p;
        Put32(p, v);
        Add(d, tag, Long, 1, p);
    }
    void AddRationals(Directory d, std::uint16_t tag, std::vector<std::pair<long, long>> values,
                      Type type = Rational) {
        std::vector<std::uint8_t> p;
        for (auto [n, dn] : values) Put32(p, std::uint32_t(n)), Put32(p, std::uint32_t(dn));
        Add(d, tag, type, std::uint32_t(values.size()), p);
    }
    void AddBytes(Directory d, std::uint16_t tag, Type type, std::vector<std::uint8_t> bytes) {
        const auto n = std::uint32_t(bytes.size());
        Add(d, tag, type, n, std::move(bytes));
    }
    /// An entry whose value is the offset of another directory (Exif, interoperability).
    void AddPointer(Directory d, std::uint16_t tag, Directory target) {
        m_dirs[d].push_back(Item{tag, Long, 1, {}, int(target)});
    }
    /// An entry whose 4-byte value field holds exactly these bytes (any offset).
    void AddRawEntry(Directory d, std::uint16_t tag, Type type, std::uint32_t count,
                     std::uint32_t valueField) {
        std::vector<std::uint8_t> p;
        Put32(p, valueField);
        m_dirs[d].push_back(Item{tag, type, count, p, -2});
    }
    /// Makes the last chained directory link back to IFD0 (a damaged chain).
    void LinkBackToIfd0() { m_linkBack = true; }

    /// The whole APP1 segment: 0xFF 0xE1, length, "Exif\0\0", TIFF block.
    std::vector<std::uint8_t> Segment() const {
        std::uint32_t offsets[DirectoryCount] = {};
        std::uint32_t pos = 8;
        for (int d = 0; d < DirectoryCount; ++d) {
            if (m_dirs[d].empty() && d != Ifd0) continue;
            offsets[d] = pos;
            pos += std::uint32_t(2 + 12 * m_dirs[d].size() + 4);
        }
        std::vector<std::uint8_t> tiff;
        tiff.push_back(m_motorola ? 'M' : 'I');
        tiff.push_back(m_motorola ? 'M' : 'I');
        Put16(tiff, 42);
        Put32(tiff, 8);
        std::vector<std::uint8_t> data; // values after the directories
        const std::uint32_t dataStart = pos;
        for (int d = 0; d < DirectoryCount; ++d) {
            if (!offsets[d]) continue;
            Put16(tiff, std::uint16_t(m_dirs[d].size()));
            for (const Item& item : m_dirs[d]) {
                Put16(tiff, item.tag);
                Put16(tiff, item.type);
                Put32(tiff, item.count);
                if (item.target >= 0) {
                    Put32(tiff, offsets[item.target]);
                } else if (item.target == -2 || item.payload.size() <= 4) {
                    std::vector<std::uint8_t> field = item.payload;
                    field.resize(4, 0);
                    tiff.insert(tiff.end(), field.begin(), field.end());
                } else {
                    Put32(tiff, dataStart + std::uint32_t(data.size()));
                    data.insert(data.end(), item.payload.begin(), item.payload.end());
                    if (data.size() % 2) data.push_back(0);
                }
            }
            std::uint32_t link = 0;
            if (d == Ifd0 && offsets[Ifd1]) link = offsets[Ifd1];
            if (d == Ifd1 && m_linkBack) link = offsets[Ifd0];
            if (d == Ifd0 && !offsets[Ifd1] && m_linkBack) link = offsets[Ifd0];
            Put32(tiff, link);
        }
        tiff.insert(tiff.end(), data.begin(), data.end());
        const std::uint8_t head[] = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
        std::vector<std::uint8_t> segment(sizeof head + tiff.size());
        std::copy(std::begin(head), std::end(head), segment.begin());
        std::copy(tiff.begin(), tiff.end(), segment.begin() + sizeof head);
        const std::size_t length = segment.size() - 2;
        segment[2] = std::uint8_t(length >> 8);
        segment[3] = std::uint8_t(length);
        return segment;
    }

    void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) const {
        if (m_motorola)
            out.push_back(std::uint8_t(v >> 8)), out.push_back(std::uint8_t(v));
        else
            out.push_back(std::uint8_t(v)), out.push_back(std::uint8_t(v >> 8));
    }
    void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) const {
        if (m_motorola) {
            Put16(out, std::uint16_t(v >> 16));
            Put16(out, std::uint16_t(v));
        } else {
            Put16(out, std::uint16_t(v));
            Put16(out, std::uint16_t(v >> 16));
        }
    }

private:
    struct Item {
        std::uint16_t tag;
        Type type;
        std::uint32_t count;
        std::vector<std::uint8_t> payload;
        int target; // a directory, -1 for a payload, -2 for a raw value field
    };
    bool m_motorola;
    bool m_linkBack = false;
    std::vector<Item> m_dirs[DirectoryCount];
};

/// A minimal JPEG file around marker segments: SOI, the segments, SOS with a little
/// data, EOI.
inline std::vector<std::uint8_t>
JpegWithSegments(const std::vector<std::vector<std::uint8_t>>& segs) {
    std::vector<std::uint8_t> file = {0xFF, 0xD8};
    for (const auto& s : segs) file.insert(file.end(), s.begin(), s.end());
    const std::uint8_t tail[] = {0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9};
    file.insert(file.end(), std::begin(tail), std::end(tail));
    return file;
}

} // namespace quiltara::test
