// quiltara-cli info IN: the size, format code and camera block of a picture file.
#include "CliCommand.h"

#include "core/image/ImageFileRoutines.h"

#include <cstdio>

namespace quiltara::cli {
namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{"info", "info IN",
                          "print the size, format code and camera block of a picture", Run};
const CliRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError(kCommand);
    LoadedPicture picture;
    const unsigned code = LoadPictureFile(args[0], picture);
    if (code != kErrNone) return Fail(args[0] + ": " + picture.message);
    ReportPartialFile(args[0], picture.warning);
    std::printf("size: %d x %d\nformat: %d\ncamera: %s\n", picture.width, picture.height,
                picture.formatCode, picture.cameraBlock.empty() ? "no" : "yes");
    return 0;
}

} // namespace
} // namespace quiltara::cli
