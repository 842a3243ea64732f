// Camera information from hostile bytes: the input is taken both as a whole JPEG file
// and as an APP1 segment on its own.
#include "core/exif/ExifRecord.h"
#include "core/exif/JpegExifSegment.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiltara::CExifRecord record;
    if (record.Decode(data, size)) {
        const std::string report = record.Report();
        if (report.empty()) std::abort();
    }
    const std::vector<std::uint8_t> segment = quiltara::FindExifSegment(data, size);
    if (!segment.empty()) record.Decode(segment.data(), segment.size());
    return 0;
}
