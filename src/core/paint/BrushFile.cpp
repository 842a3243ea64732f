#include "core/paint/BrushFile.h"

#include "core/base/Archive.h"

#include <cstring>
#include <limits>

namespace quiltara {

namespace {

// A hostile file must not make us collect without end: past these the data is not a
// brush file of ours (an image hose holds at most kMaxHoseFrames frames).
constexpr std::size_t kMaxMessages = 64;

void AddMessage(CBrushFileResult& result, const char* text) {
    if (result.messages.size() < kMaxMessages) result.messages.emplace_back(text);
}

// Reads what is left, so that the reader ends as a short file read ends.
void ConsumeRest(CArchiveReader& ar) {
    std::uint8_t scratch[4096];
    while (ar.Ok() && ar.ReadBytes(scratch, sizeof scratch) == sizeof scratch) {
    }
}

} // namespace

void ReadImageRecord(CArchiveReader& ar, CDIBSection2& picture, CBrushFileResult& result) {
    if (ar.ReadInt32() != 0 || !ar.Ok()) return;
    const std::int32_t w = ar.ReadInt32(), h = ar.ReadInt32();
    const std::uint32_t count = ar.ReadUInt32();
    if (!ar.Ok()) return;
    if (w <= 0 || h <= 0 || std::uint64_t(w) * std::uint64_t(h) * 4 != count) {
        AddMessage(result, kCorruptedDataText);
        return;
    }
    if (count > ar.Remaining()) {
        // The pixels are not there: say so without allocating for them.
        AddMessage(result, kBitmapReadErrorText);
        ConsumeRest(ar);
        return;
    }
    picture.Create(w, h, 32, true);
    ar.ReadBytes(picture.GetBits(), count);
}

void WriteImageRecord(CArchiveWriter& ar, const CDIBSection2& picture) {
    picture.Store(ar);
}

void WriteBrushRecord(CArchiveWriter& ar, const CBrush& brush) {
    ar.WriteString(brush.name);
    ar.WriteInt32(brush.type);
    ar.WriteInt32(brush.size);
    ar.WriteDouble(brush.spacing);
    ar.WriteDouble(brush.spacingCopy);
    ar.WriteInt32(brush.strength);
    ar.WriteDouble(brush.blur);
    ar.WriteInt32(brush.colorOverlay);
    ar.WriteInt32(brush.autoGenerate);
    WriteImageRecord(ar, brush.mask);
    WriteImageRecord(ar, brush.preview);
    ar.WriteInt32(brush.hoseMode);
    ar.WriteInt32(std::int32_t(brush.hoseFrames.size()));
    for (const CDIBSection2& frame : brush.hoseFrames) WriteImageRecord(ar, frame);
    ar.WriteInt32(brush.pressureMode);
    ar.WriteInt32(brush.spacingOn);
    ar.WriteInt32(-1);
}

bool ReadBrushRecord(CArchiveReader& ar, CBrush& brush, CBrushFileResult& result) {
    brush.name = ar.ReadString();
    brush.type = ar.ReadInt32();
    brush.size = ar.ReadInt32();
    brush.spacing = ar.ReadDouble();
    brush.spacingCopy = ar.ReadDouble();
    brush.strength = ar.ReadInt32();
    brush.blur = ar.ReadDouble();
    brush.colorOverlay = ar.ReadInt32();
    brush.autoGenerate = ar.ReadInt32();
    ReadImageRecord(ar, brush.mask, result);
    ReadImageRecord(ar, brush.preview, result);
    brush.hoseMode = ar.ReadInt32();
    const std::int32_t frames = ar.ReadInt32();
    if (!ar.Ok() || frames > kMaxHoseFrames) return false;
    brush.hoseFrames.clear();
    for (std::int32_t i = 0; i < frames && ar.Ok(); ++i) {
        brush.hoseFrames.emplace_back();
        ReadImageRecord(ar, brush.hoseFrames.back(), result);
    }
    if (!ar.Ok()) return false;
    // Older files end the record after the frames, or after the pressure mode.
    const std::int32_t pressureMode = ar.ReadInt32();
    if (!ar.Ok()) return false;
    if (pressureMode == -1) return true;
    brush.pressureMode = pressureMode;
    const std::int32_t spacingOn = ar.ReadInt32();
    if (!ar.Ok()) return false;
    if (spacingOn == -1) return true;
    brush.spacingOn = spacingOn;
    ar.ReadInt32(); // the end mark; a file that stops right before it is still whole
    return true;
}

void WriteBrushLibrary(CArchiveWriter& ar, const std::vector<CBrush>& brushes) {
    ar.WriteInt32(std::int32_t(brushes.size()));
    for (const CBrush& brush : brushes) WriteBrushRecord(ar, brush);
    ar.WriteInt32(-1);
}

CBrushFileResult ReadBrushLibrary(const std::uint8_t* data, std::size_t size,
                                  std::vector<CBrush>& brushes) {
    CBrushFileResult result;
    CArchiveReader ar(data, size);
    const std::int32_t count = ar.ReadInt32();
    if (!ar.Ok() || count < 0) return result;
    std::vector<CBrush> read;
    // No reservation from the count: a record takes dozens of bytes, so the data
    // runs out long before a false count could make the list large.
    for (std::int32_t i = 0; i < count; ++i) {
        CBrush brush;
        if (!ReadBrushRecord(ar, brush, result)) return result;
        read.push_back(std::move(brush));
    }
    ar.ReadInt32(); // the end mark, read and ignored
    brushes = std::move(read);
    result.ok = true;
    return result;
}

} // namespace quiltara
