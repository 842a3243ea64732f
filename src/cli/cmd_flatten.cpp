// quiltara-cli flatten: light flattening of a tile or photograph.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/FlattenLight.h"

namespace quiltara::cli {

namespace {

int RunFlatten(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    FlattenLightOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--radius" && i + 1 < args.size()) {
            if (!ParseDouble(args[++i], options.radius) || !(options.radius > 0) ||
                options.radius > 1e6)
                return Fail("--radius takes a number of pixels above 0");
        } else if (a == "--subtract") {
            options.mode = FlattenLightMode::Subtract;
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return Fail("usage: flatten IN OUT [--radius R] [--subtract]");
    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    try {
        if (!FlattenLight(picture, options)) return Fail("not a picture that can be flattened");
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for a picture of that size");
    }
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration flattenCommand(
    {"flatten", "flatten IN OUT [--radius R] [--subtract]",
     "take large-scale light and colour gradients out, wrapping around the edges (R: the "
     "blur's standard deviation in pixels, a sixteenth of the larger side by default; the "
     "picture is divided by its light unless --subtract)",
     RunFlatten});

} // namespace

} // namespace quiltara::cli
