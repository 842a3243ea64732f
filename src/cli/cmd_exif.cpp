// quiltara-cli exif IN: the camera report of a photograph.
#include "CliCommand.h"

#include "app/Archive.h"
#include "exif/ExifRecord.h"
#include "exif/JpegExifSegment.h"

#include <cstdio>

namespace quiltara::cli {
namespace {

int RunExif(const std::vector<std::string>& args);

const CliCommand kExif{"exif", "exif IN",
                       "print the camera information of a JPEG photograph, one entry a line",
                       RunExif};
const CliRegistration kRegistration(kExif);

int RunExif(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError(kExif);
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(args[0], bytes)) return Fail("cannot read " + args[0]);
    const std::vector<std::uint8_t> segment = FindExifSegment(bytes.data(), bytes.size());
    CExifRecord record;
    if (segment.empty() || !record.Decode(segment.data(), segment.size()))
        return Fail("No Camera information can be found in this document...");
    const std::string report = record.Report("\n");
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}

} // namespace
} // namespace quiltara::cli
