// quiltara-cli exif IN: the camera report of a photograph.
#include "CliCommand.h"

#include "core/exif/ExifRecord.h"
#include "core/image/ImageFileRoutines.h"

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
    // The same loading as opening the picture, so the report shows what the document keeps.
    LoadedPicture picture;
    const unsigned code = LoadPictureFile(args[0], picture);
    if (code != kErrNone) return Fail(args[0] + ": " + picture.message);
    ReportPartialFile(args[0], picture.warning);
    CExifRecord record;
    if (picture.cameraBlock.empty() || !record.DecodeBlock(picture.cameraBlock))
        return Fail("No Camera information can be found in this document...");
    const std::string report = record.Report("\n");
    std::fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}

} // namespace
} // namespace quiltara::cli
