// Brush library and single-brush files from untrusted bytes: the reader must never
// read outside the data, allocate from a size it has not checked, or loop without
// end. Whatever it reads must write back and read again the same.
#include "core/base/Archive.h"
#include "core/paint/BrushFile.h"
#include "core/paint/BrushStamp.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiltara;
    std::vector<CBrush> brushes;
    const CBrushFileResult library = ReadBrushLibrary(data, size, brushes);
    if (library.ok) {
        CArchiveWriter once;
        WriteBrushLibrary(once, brushes);
        std::vector<CBrush> again;
        if (!ReadBrushLibrary(once.Bytes().data(), once.Bytes().size(), again).ok) std::abort();
        CArchiveWriter twice;
        WriteBrushLibrary(twice, again);
        if (twice.Bytes() != once.Bytes()) std::abort();
    }
    // The same bytes as one ".br1" record, and its stamp made as on selection.
    CArchiveReader ar(data, size);
    CBrush brush;
    CBrushFileResult single;
    if (ReadBrushRecord(ar, brush, single) && brush.size < 200 && brush.blur < 20)
        GenerateStamp(brush, 40);
    return 0;
}
