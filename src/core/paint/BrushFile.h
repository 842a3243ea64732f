#pragma once
#include "core/paint/Brush.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

class CArchiveReader;
class CArchiveWriter;

/// Texts shown when an image record of a brush file is bad.
constexpr const char* kCorruptedDataText = "Corupted Data!";
constexpr const char* kBitmapReadErrorText = "Bitmap:: Data Read Error!";

/// The outcome of reading a brush or library file: ok is false when the data ended
/// before the records did (or could not be read at all); messages holds the texts to
/// show the user, in order.
struct CBrushFileResult {
    bool ok = false;
    std::vector<std::string> messages;
};

/// Image record: the empty flag, then width, height, byte count and the pixels (memory
/// rows). A non-zero empty flag leaves the picture as it was. A byte count that does
/// not match the size adds "Corupted Data!", missing pixels "Bitmap:: Data Read Error!"
/// (and use up the rest of the data); reading goes on either way.
void ReadImageRecord(CArchiveReader& ar, CDIBSection2& picture, CBrushFileResult& result);
void WriteImageRecord(CArchiveWriter& ar, const CDIBSection2& picture);

/// One brush record, the whole content of a ".br1" file. Records of older files that
/// end after the frames or after the pressure mode (the -1 end mark in their place)
/// keep the defaults of the missing fields.
void WriteBrushRecord(CArchiveWriter& ar, const CBrush& brush);
bool ReadBrushRecord(CArchiveReader& ar, CBrush& brush, CBrushFileResult& result);

/// A ".brs" library: the count, the records, -1.
void WriteBrushLibrary(CArchiveWriter& ar, const std::vector<CBrush>& brushes);
/// Reads into brushes only when every record was there; brushes is unchanged otherwise.
CBrushFileResult ReadBrushLibrary(const std::uint8_t* data, std::size_t size,
                                  std::vector<CBrush>& brushes);

} // namespace quiltara
