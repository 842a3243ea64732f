#pragma once
#include "core/exif/CameraSummary.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quiltara {

/// One line of the camera report.
struct CExifEntry {
    bool present = false;
    const char* label = ""; // at most 29 characters
    std::uint16_t tag = 0;  // the tag that fills it
    std::string value;      // at most 4199 characters
};

/// The camera record: decodes the EXIF APP1 segment of a photograph into the 103
/// entries of the camera report and the camera summary. One record serves one decode.
class CExifRecord {
public:
    static constexpr int kEntryCount = 103;

    CExifRecord();

    /// segment: the APP1 marker segment from its marker bytes (0xFF 0xE1) on. False
    /// when bytes 4-9 are not "Exif" and two zero bytes, or when the byte-order mark is
    /// neither "II" nor "MM"; the record then holds nothing. Never reads outside the
    /// segment: directories, entries and values that do not fit are skipped, and every
    /// directory is read at most once.
    bool Decode(const std::uint8_t* segment, std::size_t length);
    /// The same for the APP1 data as the JPEG reader keeps it, from "Exif" on (the
    /// marker bytes and the length are put in front).
    bool DecodeBlock(const std::vector<std::uint8_t>& block);

    /// The report: for every entry in report order "Label: value" or "Label: ---",
    /// each followed by lineEnd (the dialog uses CR LF).
    std::string Report(std::string_view lineEnd = "\r\n") const;

    /// Entries in report order (index 0 is "Make").
    const CExifEntry& Entry(int index) const { return m_entries[std::size_t(index)]; }
    /// The entry a tag renders into, or null for a tag outside the report.
    const CExifEntry* FindEntry(std::uint16_t tag) const;
    const CCameraSummary& Summary() const { return m_summary; }
    bool IsIntel() const { return m_intel; }

    struct Field; // one row of the report table

private:
    struct EntryData;
    void Reset();
    bool Fits(std::uint64_t pos, std::uint64_t bytes) const;
    std::uint16_t U16(std::size_t pos) const;
    std::uint32_t U32(std::size_t pos) const;
    /// Reads the directory at pos and renders its entries; returns the link that
    /// follows its last entry (0 when there is none or it does not fit).
    std::uint32_t ReadDirectory(std::size_t pos);
    void Render(std::size_t entryPos);
    void RenderField(const Field& f, const EntryData& e, CExifEntry& entry);

    bool m_intel = true;
    std::vector<std::uint8_t> m_data; // the segment without its marker bytes
    std::size_t m_exifDirectory = 0;
    bool m_exifAnnounced = false;
    std::size_t m_interopDirectory = 0;
    bool m_interopAnnounced = false;
    int m_planarConfiguration = 1; // the TIFF default until the photograph says
    CCameraSummary m_summary;
    std::array<CExifEntry, kEntryCount> m_entries;
};

} // namespace quiltara
