#include "core/exif/ExifRecord.h"

#include "core/exif/ExifText.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace quiltara {

namespace {

enum class Kind {
    Text,
    RawBytes,     // ends at the first zero byte
    Int,          // "%d"
    RationalList, // "n/d " per value, appended
    SignedRationalList,
    Ratio,       // the ratio formatter per value, appended
    DottedBytes, // "[%d.%d.%d.%d]"
    HexBytes,    // "%x%x%x%x"
    Named,       // a value from a list of names, else a fallback format
    BitsPerSample,
    CfaRepeatDim,
    InteropOffset,
    InteropIndex,
    ExifOffset,
    GpsInfo,
    Iptc,
    Interlace,
    MakerNote,
    PlanarConfig,
    RowsPerStrip,
    SecurityClass,
    StripOffsets,
    SubjectLocation,
    TimeZoneOffset,
    YCbCrSubSampling,
};

struct Name {
    int value;
    const char* text;
};

struct Names {
    const Name* names;
    std::size_t count;
    const char* fallback; // printf format with one int, or a plain text
};

template <std::size_t N> constexpr Names MakeNames(const Name (&names)[N], const char* fallback) {
    return Names{names, N, fallback};
}

constexpr Name kExposurePrograms[] = {{1, "manual control"},
                                      {2, "program normal"},
                                      {3, "aperture priority"},
                                      {4, "shutter priority"},
                                      {5, "program creative (slow program)"},
                                      {6, "program action(high-speed program)"},
                                      {7, "portrait mode"},
                                      {8, "landscape mode"}};
constexpr Name kMeteringModes[] = {
    {1, "average"}, {2, "center weighted"}, {3, "spot"}, {4, "multi-spot"}, {5, "multi-segment"}};
constexpr Name kLightSources[] = {
    {0, "auto"}, {1, "daylight"}, {2, "fluorescent"}, {3, "tungsten"}, {10, "flash"}};
constexpr Name kFlash[] = {{0, "No"}, {1, "Yes"}};
constexpr Name kOrientations[] = {
    {1, "upper left"}, {3, "lower right"}, {6, "upper right"}, {8, "lower left"}, {9, "undefined"}};
constexpr Name kColorSpaces[] = {{1, "1"}};
constexpr Name kCompressions[] = {{1, "no compression"}, {6, "TIFF/JPEG compression"}};
constexpr Name kFocalPlaneUnits[] = {{1, "no-unit"}, {2, "inch"}, {3, "centimeter"}};
constexpr Name kSubfileTypes[] = {{0, "indicates main image\""}, {1, "indicates thumbnail\""}};
constexpr Name kPhotometrics[] = {
    {1, "BlackIsZero"}, {2, "RGB"}, {6, "YCbCr color space"}, {32803, "CFA"}};
constexpr Name kPlanarConfigurations[] = {{1, "chunky format"}, {2, "planer"}};
constexpr Name kResolutionUnits[] = {{1, "no unit"}, {2, "inch"}, {3, "centimeter"}};
constexpr Name kSamplesPerPixel[] = {{1, "1"}, {3, "3"}};
constexpr Name kSensingMethods[] = {{2, "one chip color area sensor"}};
constexpr Name kYCbCrPositionings[] = {{1, "center of pixel array"}, {2, "the datum point"}};

constexpr const char* kVendorUnique = "%d=Vendor Unique Number";

} // namespace

struct CExifRecord::Field {
    const char* label;
    std::uint16_t tag;
    Kind kind;
    Names names{nullptr, 0, nullptr};
};

namespace {

// The report, in report order.
const CExifRecord::Field kFields[CExifRecord::kEntryCount] = {
    {"Make", 271, Kind::Text},
    {"Model", 272, Kind::Text},
    {"Date & Time", 306, Kind::Text},
    {"Exposure Time", 33434, Kind::Ratio},
    {"F Number", 33437, Kind::Ratio},
    {"Exposure Program", 34850, Kind::Named, MakeNames(kExposurePrograms, "%d")},
    {"Bias", 37380, Kind::SignedRationalList},
    {"Metering Mode", 37383, Kind::Named, MakeNames(kMeteringModes, "%d")},
    {"Light Source", 37384, Kind::Named, MakeNames(kLightSources, "%d")},
    {"Flash", 37385, Kind::Named, MakeNames(kFlash, "%d")},
    {"Focal Length", 37386, Kind::Ratio},
    {"ISO Speed", 34855, Kind::Int},
    {"Shutter Speed", 37377, Kind::Ratio},
    {"Subject Distance", 37382, Kind::Ratio},
    {"Orientation", 274, Kind::Named, MakeNames(kOrientations, "%d")},
    {"Artist", 315, Kind::Text},
    {"Aperture", 37378, Kind::Ratio},
    {"Battery Level", 33423, Kind::RationalList},
    {"BitsPerSample", 258, Kind::BitsPerSample},
    {"Brightness", 37379, Kind::RationalList},
    {"CFA Pattern", 33422, Kind::Int},
    {"CFA Pattern", 41730, Kind::Int},
    {"CFA Repeat Pattern Dim", 33421, Kind::CfaRepeatDim},
    {"ColorSpace", 40961, Kind::Named, MakeNames(kColorSpaces, "%d")},
    {"Component Configuration", 37121, Kind::HexBytes},
    {"Compressed BitsPerPixel", 37122, Kind::RationalList},
    {"Compression", 259, Kind::Named, MakeNames(kCompressions, kVendorUnique)},
    {"Copyright", 33432, Kind::Text},
    {"Date & Time", 36868, Kind::Text},
    {"Exif Image Height", 40963, Kind::Int},
    {"Exif Image Width", 40962, Kind::Int},
    {"Exif Interoperability Offset", 40965, Kind::InteropOffset},
    {"InteroperabilityIndex", 1, Kind::InteropIndex},
    {"Interoperability Version", 2, Kind::DottedBytes},
    {"Exif Offset", 34665, Kind::ExifOffset},
    {"Exif Version", 36864, Kind::HexBytes},
    {"Exposure Index", 37397, Kind::RationalList},
    {"Exposure Index", 41493, Kind::RationalList},
    {"File Source", 41728, Kind::Int},
    {"Flash Energy", 37387, Kind::RationalList},
    {"Flash Energy", 41483, Kind::RationalList},
    {"Flash Pix Version", 40960, Kind::HexBytes},
    {"FocalPlaneResolutionUnit", 41488, Kind::Named, MakeNames(kFocalPlaneUnits, "%d")},
    {"Focal Plane X", 41486, Kind::RationalList},
    {"Focal Plane Y", 41487, Kind::RationalList},
    {"GPS Info", 34853, Kind::GpsInfo},
    {"IPTC/NAA", 33723, Kind::Iptc},
    {"ImageDescription", 270, Kind::Text},
    {"Image History", 37395, Kind::Text},
    {"ImageLength", 257, Kind::Int},
    {"Image Number", 37393, Kind::Int},
    {"ImageWidth", 256, Kind::Int},
    {"Inter ColorProfile", 34675, Kind::Int},
    {"Interlace", 34857, Kind::Interlace},
    {"JPEGT ables", 347, Kind::Int},
    {"Jpeg IF Byte Count", 514, Kind::Int},
    {"Jpeg IF Offset", 513, Kind::Int},
    {"Maker Note", 37500, Kind::MakerNote},
    {"Max Aperture", 37381, Kind::Ratio},
    {"New Subfile Type", 254, Kind::Named, MakeNames(kSubfileTypes, "%d")},
    {"Noise", 37389, Kind::Int},
    {"OECF", 34856, Kind::Int},
    {"PhotometricInterpretation", 262, Kind::Named, MakeNames(kPhotometrics, kVendorUnique)},
    {"Planar Configuration", 284, Kind::PlanarConfig, MakeNames(kPlanarConfigurations, "%d")},
    {"Predictor", 317, Kind::Int},
    {"Primary Chromaticities", 319, Kind::RationalList},
    {"Reference Black White", 532, Kind::RationalList},
    {"Related Sound File", 40964, Kind::Text},
    {"Resolution Unit", 296, Kind::Named,
     MakeNames(kResolutionUnits, "?????????????????????????????\"")},
    {"Rows Per Strip", 278, Kind::RowsPerStrip},
    {"Samples Per Pixel", 277, Kind::Named, MakeNames(kSamplesPerPixel, kVendorUnique)},
    {"Scene Type", 41729, Kind::Int},
    {"Security Classification", 37394, Kind::SecurityClass},
    {"Self Timer", 34859, Kind::Int},
    {"Sensing Method", 41495, Kind::Named, MakeNames(kSensingMethods, "%d")},
    {"Software", 305, Kind::Text},
    {"Spatial Frequency Response", 37388, Kind::Int},
    {"Spatial Frequency Response", 41484, Kind::Int},
    {"Spectral Sensitivity", 34852, Kind::Text},
    {"Strip Byte Conunts", 279, Kind::Int},
    {"Strip Offsets", 273, Kind::StripOffsets},
    {"Sub IFDs", 330, Kind::Int},
    {"SubSec Time", 37520, Kind::Text},
    {"Sub Sec Time Digitized", 37522, Kind::Text},
    {"SubSec Time Original", 37521, Kind::Text},
    {"Subfile Type", 255, Kind::Int},
    {"Subject Location", 37396, Kind::SubjectLocation},
    {"Subject Location", 41492, Kind::SubjectLocation},
    {"TIFF/EPStandardID", 37398, Kind::Int},
    {"Tile ByteCounts", 325, Kind::Int},
    {"Tile Length", 323, Kind::Int},
    {"Tile Offsets", 324, Kind::Int},
    {"Tile Width", 322, Kind::Int},
    {"Time Zone Offset", 34858, Kind::TimeZoneOffset},
    {"Transfer Function", 301, Kind::Int},
    {"User Comment", 37510, Kind::RawBytes},
    {"WhitePoint", 318, Kind::RationalList},
    {"X Res", 282, Kind::RationalList},
    {"YCbCr Coefficients", 529, Kind::RationalList},
    {"YCbCr Positioning", 531, Kind::Named, MakeNames(kYCbCrPositionings, "%d")},
    {"YCbCr SubSampling", 530, Kind::YCbCrSubSampling},
    {"Y Res", 283, Kind::RationalList},
    {"Date & Time Original", 36867, Kind::Text},
};

int FieldIndex(std::uint16_t tag) {
    for (int i = 0; i < CExifRecord::kEntryCount; ++i)
        if (kFields[i].tag == tag) return i;
    return -1;
}

// TIFF field types.
constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kSByte = 6, kUndefined = 7, kSShort = 8,
                        kSRational = 10;

constexpr std::size_t kLimit = kExifValueTextMax;
// A photograph has two directories in its chain (the picture and its thumbnail); a
// longer chain is damage, and reading it would only repeat entries.
constexpr int kMaxChainedDirectories = 16;

} // namespace

// The entry being rendered: the 12 bytes of a directory entry, read in block order.
struct CExifRecord::EntryData {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0;
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    std::size_t valuePos = 0; // position of the 4-byte value field in the copy
};

CExifRecord::CExifRecord() {
    Reset();
}

void CExifRecord::Reset() {
    m_summary = CCameraSummary();
    for (int i = 0; i < kEntryCount; ++i) {
        m_entries[std::size_t(i)].present = false;
        m_entries[std::size_t(i)].label = kFields[i].label;
        m_entries[std::size_t(i)].tag = kFields[i].tag;
        m_entries[std::size_t(i)].value.clear();
    }
    m_data.clear();
    m_exifDirectory = m_interopDirectory = 0;
    m_exifAnnounced = m_interopAnnounced = false;
    m_planarConfiguration = 1;
    m_intel = true;
}

const CExifEntry* CExifRecord::FindEntry(std::uint16_t tag) const {
    const int i = FieldIndex(tag);
    return i < 0 ? nullptr : &m_entries[std::size_t(i)];
}

bool CExifRecord::Fits(std::uint64_t pos, std::uint64_t bytes) const {
    return pos <= m_data.size() && bytes <= m_data.size() - pos;
}

std::uint16_t CExifRecord::U16(std::size_t pos) const {
    const std::uint8_t* p = m_data.data() + pos;
    return m_intel ? std::uint16_t(p[0] | (p[1] << 8)) : std::uint16_t((p[0] << 8) | p[1]);
}

std::uint32_t CExifRecord::U32(std::size_t pos) const {
    const std::uint8_t* p = m_data.data() + pos;
    if (m_intel)
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
               (std::uint32_t(p[3]) << 24);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

bool CExifRecord::Decode(const std::uint8_t* segment, std::size_t length) {
    Reset();
    if (!segment || length < 10 || std::memcmp(segment + 4, "Exif\0\0", 6) != 0) return false;
    m_data.assign(segment + 2, segment + length);
    if (m_data.size() < 10) return Reset(), false;
    if (m_data[8] == 'I' && m_data[9] == 'I')
        m_intel = true;
    else if (m_data[8] == 'M' && m_data[9] == 'M')
        m_intel = false;
    else
        return Reset(), false;

    std::set<std::size_t> visited;
    if (Fits(12, 4)) {
        std::uint64_t pos = std::uint64_t(U32(12)) + 8;
        for (int n = 0; n < kMaxChainedDirectories && Fits(pos, 2); ++n) {
            if (!visited.insert(std::size_t(pos)).second) break;
            const std::uint32_t link = ReadDirectory(std::size_t(pos));
            if (link == 0) break;
            pos = std::uint64_t(link) + 8;
        }
    }
    // The sub-directories are read once each, after the chain, and follow no link.
    if (m_exifAnnounced && Fits(m_exifDirectory, 2) && visited.insert(m_exifDirectory).second)
        ReadDirectory(m_exifDirectory);
    if (m_interopAnnounced && Fits(m_interopDirectory, 2) &&
        visited.insert(m_interopDirectory).second)
        ReadDirectory(m_interopDirectory);
    return true;
}

bool CExifRecord::DecodeBlock(const std::vector<std::uint8_t>& block) {
    const std::size_t length = std::min<std::size_t>(block.size() + 2, 0xFFFF);
    std::vector<std::uint8_t> segment = {0xFF, 0xE1, std::uint8_t(length >> 8),
                                         std::uint8_t(length)};
    segment.insert(segment.end(), block.begin(), block.end());
    return Decode(segment.data(), segment.size());
}

std::uint32_t CExifRecord::ReadDirectory(std::size_t pos) {
    const std::size_t count = U16(pos);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entryPos = pos + 2 + 12 * i;
        if (!Fits(entryPos, 12)) return 0; // the rest of the directory is missing
        Render(entryPos);
    }
    const std::size_t linkPos = pos + 2 + 12 * count;
    return Fits(linkPos, 4) ? U32(linkPos) : 0;
}

void CExifRecord::Render(std::size_t entryPos) {
    EntryData e;
    e.tag = U16(entryPos);
    e.type = U16(entryPos + 2);
    e.count = U32(entryPos + 4);
    e.valuePos = entryPos + 8;
    e.value = U32(entryPos + 8);
    std::memcpy(e.bytes, m_data.data() + entryPos + 8, 4);
    const int index = FieldIndex(e.tag);
    if (index < 0) return;
    RenderField(kFields[index], e, m_entries[std::size_t(index)]);
}

namespace {

// Where count items of itemSize bytes are: in the value field when they fit in its
// four bytes, otherwise at the value's offset. False when they lie outside the copy.
struct DataLocator {
    const std::vector<std::uint8_t>& data;
    template <class Entry>
    bool Locate(const Entry& e, std::uint64_t itemSize, std::size_t& pos) const {
        const std::uint64_t bytes = std::uint64_t(e.count) * itemSize;
        const std::uint64_t start = bytes <= 4 ? e.valuePos : std::uint64_t(e.value) + 8;
        if (start > data.size() || bytes > data.size() - start) return false;
        pos = std::size_t(start);
        return true;
    }
};

const char* NameOf(const Names& names, int value) {
    for (std::size_t i = 0; i < names.count; ++i)
        if (names.names[i].value == value) return names.names[i].text;
    return nullptr;
}

void RenderNamed(const Names& names, int value, std::string& out) {
    out.clear();
    if (const char* text = NameOf(names, value))
        out = text;
    else if (std::strchr(names.fallback, '%'))
        AppendFormat(out, kLimit, names.fallback, value);
    else
        out = names.fallback;
}

} // namespace

void CExifRecord::RenderField(const Field& f, const EntryData& e, CExifEntry& entry) {
    const DataLocator locate{m_data};
    std::size_t pos = 0;

    // The value as an integer, as wide as its type says; a 16-bit value occupies the
    // first two bytes of the value field.
    auto intValue = [&]() -> std::int32_t {
        switch (e.type) {
        case kByte:
        case kUndefined:
        case kAscii:
            return e.bytes[0];
        case kSByte:
            return std::int8_t(e.bytes[0]);
        case kShort:
            return U16(e.valuePos);
        case kSShort:
            return std::int16_t(U16(e.valuePos));
        default:
            return std::int32_t(e.value);
        }
    };
    auto shortAt = [&](std::size_t base, std::size_t i) -> std::int32_t {
        const std::uint16_t v = U16(base + 2 * i);
        return e.type == kSShort ? std::int32_t(std::int16_t(v)) : std::int32_t(v);
    };
    auto text = [&](std::size_t start, std::size_t length, std::string& out) {
        out.clear();
        for (std::size_t i = 0; i < length && out.size() < kLimit; ++i) {
            const char c = char(m_data[start + i]);
            if (c == '\0') break;
            out.push_back(c);
        }
    };
    // Rationals: eight bytes each, always at the value's offset.
    auto rationalsAt = [&](std::size_t& start) -> bool {
        const std::uint64_t bytes = std::uint64_t(e.count) * 8;
        const std::uint64_t s = std::uint64_t(e.value) + 8;
        if (s > m_data.size() || bytes > m_data.size() - s) return false;
        start = std::size_t(s);
        return true;
    };
    const bool signedRational = e.type == kSRational;
    auto numeratorAt = [&](std::size_t p, bool forceSigned) -> std::int64_t {
        const std::uint32_t v = U32(p);
        return (forceSigned || signedRational) ? std::int64_t(std::int32_t(v)) : std::int64_t(v);
    };
    auto denominatorAt = [&](std::size_t p) -> std::int64_t {
        const std::uint32_t v = U32(p + 4);
        return signedRational ? std::int64_t(std::int32_t(v)) : std::int64_t(v);
    };

    std::string& out = entry.value;
    switch (f.kind) {
    case Kind::Text: {
        // count includes the terminator; up to four bytes sit in the value field itself
        if (!locate.Locate(e, 1, pos)) return;
        text(pos, e.count == 0 ? 0 : std::size_t(e.count - 1), out);
        break;
    }
    case Kind::RawBytes:
        if (!locate.Locate(e, 1, pos)) return;
        text(pos, e.count, out);
        break;
    case Kind::Int:
        out.clear();
        AppendFormat(out, kLimit, "%d", intValue());
        break;
    case Kind::RationalList:
    case Kind::SignedRationalList: {
        if (!rationalsAt(pos)) return;
        const bool forceSigned = f.kind == Kind::SignedRationalList;
        for (std::uint32_t i = 0; i < e.count && out.size() < kLimit; ++i) {
            const std::size_t p = pos + std::size_t(i) * 8;
            AppendFormat(out, kLimit, "%lld/", static_cast<long long>(numeratorAt(p, forceSigned)));
            AppendFormat(out, kLimit, "%lld ", static_cast<long long>(denominatorAt(p)));
        }
        if (e.count > 0 && e.tag == 37380) {
            const std::int64_t d = denominatorAt(pos);
            if (d > 0) m_summary.exposureBias = double(numeratorAt(pos, true)) / double(d);
        }
        break;
    }
    case Kind::Ratio: {
        if (!rationalsAt(pos)) return;
        for (std::uint32_t i = 0; i < e.count && out.size() < kLimit; ++i) {
            const std::size_t p = pos + std::size_t(i) * 8;
            FormatRatio(numeratorAt(p, false), denominatorAt(p), out, kLimit);
        }
        if (e.count > 0) {
            const std::int64_t n = numeratorAt(pos, false), d = denominatorAt(pos);
            const double ratio = d != 0 ? double(n) / double(d) : 0;
            if (d > 0 && e.tag == 33434) m_summary.exposureTime = ratio;
            if (d > 0 && e.tag == 33437) m_summary.fNumber = ratio;
            if (d != 0 && e.tag == 37386) m_summary.focalLength = ratio;
        }
        break;
    }
    case Kind::DottedBytes:
        out.clear();
        AppendFormat(out, kLimit, "[%d.%d.%d.%d]", e.bytes[0], e.bytes[1], e.bytes[2], e.bytes[3]);
        break;
    case Kind::HexBytes:
        out.clear();
        AppendFormat(out, kLimit, "%x%x%x%x", e.bytes[0], e.bytes[1], e.bytes[2], e.bytes[3]);
        break;
    case Kind::Named:
        RenderNamed(f.names, intValue(), out);
        break;
    case Kind::PlanarConfig:
        m_planarConfiguration = intValue();
        RenderNamed(f.names, m_planarConfiguration, out);
        break;
    case Kind::BitsPerSample: {
        if (!locate.Locate(e, 2, pos)) return;
        out.clear();
        for (std::uint32_t i = 0; i < e.count && out.size() < kLimit; ++i)
            AppendFormat(out, kLimit, i ? ",%d" : "%d", U16(pos + 2 * std::size_t(i)) & 0xFF);
        break;
    }
    case Kind::CfaRepeatDim:
        out.clear();
        AppendFormat(out, kLimit, "CFARepeatRows=%d, CFARepeatCols=%d", U16(e.valuePos),
                     U16(e.valuePos + 2));
        break;
    case Kind::InteropOffset:
        // The offset's bytes as an Intel block stores them, so that the same offset
        // reads the same whatever the block's byte order.
        out.clear();
        AppendFormat(out, kLimit, "[%d.%d.%d.%d]", int(e.value & 0xFF), int((e.value >> 8) & 0xFF),
                     int((e.value >> 16) & 0xFF), int(e.value >> 24));
        m_interopDirectory = std::size_t(std::uint64_t(e.value) + 8);
        m_interopAnnounced = true;
        break;
    case Kind::InteropIndex:
        text(e.valuePos, 4, out);
        break;
    case Kind::ExifOffset:
        out.clear();
        AppendFormat(out, kLimit, "%4x", e.value);
        m_exifDirectory = std::size_t(std::uint64_t(e.value) + 8);
        m_exifAnnounced = true;
        break;
    case Kind::GpsInfo:
        out.clear();
        AppendFormat(out, kLimit,
                     "%4x=place to find more GPS info, more code needs to be written to decode "
                     "this data",
                     e.value);
        break;
    case Kind::Iptc:
        if (e.type == kAscii) {
            const std::size_t length = e.count == 0 ? 0 : std::size_t(e.count - 1);
            if (!locate.Locate(e, 1, pos)) return;
            text(pos, length, out);
        } else {
            out.clear();
            AppendFormat(out, kLimit, "%4x", e.value);
        }
        break;
    case Kind::Interlace: {
        const int v = intValue();
        out.clear();
        if (v == 0)
            out = "0=non-interlaced (progressive scan)";
        else if (v == 1)
            out = "1=vertical field 1, horizontal field 1 (video field 1, \"odd\" lines)";
        else if (v == 2)
            out = "2=vertical field 2, horizontal field 1 (video field 2, \"even\" lines)";
        else if (v == 128)
            out = "128=vertical field 1, horizontal field 2";
        else if (v >= 3 && v <= 127)
            AppendFormat(out, kLimit, "%d=vertical field 3-127, horizontal field 1", v);
        else if (v >= 129 && v <= 255)
            AppendFormat(out, kLimit, "%d=vertical field 2-127, horizontal field 2", v);
        else
            AppendFormat(out, kLimit, "%d=vertical field 1-127, horizontal field 3-127", v);
        break;
    }
    case Kind::MakerNote: {
        if (!locate.Locate(e, 1, pos)) return;
        out.clear();
        for (std::uint32_t i = 0; i < e.count && out.size() < kLimit; ++i) {
            const unsigned b = m_data[pos + i];
            AppendFormat(out, kLimit, b < 16 ? "0%x" : "%x", b);
        }
        break;
    }
    case Kind::RowsPerStrip:
        out.clear();
        AppendFormat(out, kLimit,
                     "%d, Note that the number of StripsPerImage equals floor ((ImageLength + "
                     "RowsPerStrip - 1) / RowsPerStrip)",
                     intValue());
        break;
    case Kind::SecurityClass: {
        std::string s;
        if (e.count <= 4)
            text(e.valuePos, 4, s);
        else if (locate.Locate(e, 1, pos))
            text(pos, 1, s);
        else
            return;
        const char c = s.empty() ? '\0' : s[0];
        out.clear();
        switch (c) {
        case 'C':
            out = "Confidential";
            break;
        case 'R':
            out = "Restricted";
            break;
        case 'S':
            out = "Secret";
            break;
        case 'T':
            out = "Top Secret";
            break;
        case 'U':
            out = "Unrestricted";
            break;
        default:
            if (c) out.push_back(c);
        }
        break;
    }
    case Kind::StripOffsets:
        out.clear();
        AppendFormat(out, kLimit, "%d, ", intValue());
        if (m_planarConfiguration == 1)
            AppendFormat(out, kLimit, "%d=StripsPerImage", int(e.count));
        else if (m_planarConfiguration == 2)
            AppendFormat(out, kLimit, "%d=SamplesPerPixel * StripsPerImage", int(e.count));
        break;
    case Kind::SubjectLocation: {
        if (!locate.Locate(e, 2, pos)) return;
        out.clear();
        if (e.count < 2) {
            if (e.count == 1) AppendFormat(out, kLimit, "%d", shortAt(pos, 0));
            break;
        }
        AppendFormat(out, kLimit, "%d=column number, %d=row number", shortAt(pos, 0),
                     shortAt(pos, 1));
        if (e.count == 3)
            AppendFormat(out, kLimit, ", %d=diameter of circle", shortAt(pos, 2));
        else if (e.count == 4)
            AppendFormat(out, kLimit, ", %d=width, %d=heigth", shortAt(pos, 2), shortAt(pos, 3));
        break;
    }
    case Kind::TimeZoneOffset: {
        if (e.count == 0 || !locate.Locate(e, 2, pos)) return;
        out.clear();
        AppendFormat(out, kLimit,
                     "%d=Time Zone Offset (in hours) of DateTimeOriginal tag-value relative to "
                     "Greenwich Mean Time",
                     shortAt(pos, 0) - 128);
        if (e.count == 2)
            AppendFormat(out, kLimit,
                         ", %d=Time Zone Offset (in hours) of DateTime tag-value relative to "
                         "Greenwich Mean Time",
                         shortAt(pos, 1) - 128);
        break;
    }
    case Kind::YCbCrSubSampling: {
        const int h = U16(e.valuePos), v = U16(e.valuePos + 2);
        out.clear();
        switch (h) {
        case 1:
            out = "ImageWidth of this chroma image is equal to the ImageWidth of the associated "
                  "luma image";
            break;
        case 2:
            out = "ImageWidth of this chroma image is half the ImageWidth of the associated luma "
                  "image";
            break;
        case 4:
            out = "ImageWidth of this chroma image is one-quarter the ImageWidth of the "
                  "associated luma image";
            break;
        default:
            AppendFormat(out, kLimit, "%d", h);
        }
        out += ", ";
        switch (v) {
        case 1:
            out += "ImageLength (height) of this chroma image is equal to the ImageLength of the "
                   "associated luma image";
            break;
        case 2:
            out += "ImageLength (height) of this chroma image is half the ImageLength of the "
                   "associated luma image";
            break;
        case 4:
            out += "ImageLength (height) of this chroma image is one-quarter the ImageLength of "
                   "the associated luma image";
            break;
        default:
            AppendFormat(out, kLimit, "%d", v);
        }
        break;
    }
    }
    entry.present = true;

    switch (e.tag) {
    case 271:
        m_summary.make = out;
        break;
    case 272:
        m_summary.model = out;
        break;
    case 306:
        m_summary.dateTime = out;
        break;
    case 34850:
        m_summary.exposureProgram = out;
        break;
    case 37383:
        m_summary.meteringMode = out;
        break;
    case 37384:
        m_summary.lightSource = intValue();
        break;
    case 37385:
        m_summary.flash = intValue();
        break;
    case 34855:
        m_summary.isoSpeed = intValue();
        break;
    default:
        break;
    }
}

std::string CExifRecord::Report(std::string_view lineEnd) const {
    std::string report;
    for (const CExifEntry& entry : m_entries) {
        report += entry.label;
        report += ": ";
        report += entry.present ? std::string_view(entry.value) : std::string_view("---");
        report += lineEnd;
    }
    return report;
}

} // namespace quiltara
