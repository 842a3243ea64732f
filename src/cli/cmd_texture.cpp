// quiltara-cli texture: the Auto Texture Maker's cross-fade at a point.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/tiling/AutoTexture.h"

namespace quiltara::cli {

namespace {

int RunTexture(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    int size = kTexturePickSize, yRatio = kTextureYRatioSquare;
    bool doubled = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--size" && hasValue) {
            if (!ParseInt(args[++i], kTextureSizeMin, kTextureSizeMax, size))
                return Fail("--size is 4 to 400");
        } else if (a == "--yratio" && hasValue) {
            if (!ParseInt(args[++i], kTextureYRatioMin, kTextureYRatioMax, yRatio))
                return Fail("--yratio is 0 to 100 (50: square)");
        } else if (a == "--double") {
            doubled = true;
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3)
        return Fail("usage: texture IN OUT X,Y [--size S] [--yratio V] [--double]");
    const std::string& point = positional[2];
    const std::size_t comma = point.find(',');
    int x = 0, y = 0;
    if (comma == std::string::npos || !ParseInt(point.substr(0, comma), -(1 << 20), 1 << 20, x) ||
        !ParseInt(point.substr(comma + 1), -(1 << 20), 1 << 20, y))
        return Fail("the point is X,Y (column, picture row from the top)");

    CDIBSection2 picture, texture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    // The point is given as users see it, rows from the top; the maker counts rows
    // from the bottom as the pictures store them.
    const int bufferRow = picture.GetHeight() - 1 - y;
    MakeAutoTexture(picture, x, bufferRow, TextureWindowFor(size, yRatio, doubled), texture);
    if (!WritePicture(positional[1], texture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration textureCommand(
    {"texture", "texture IN OUT X,Y [--size S] [--yratio V] [--double]",
     "a seamless texture cross-faded around column X, row Y from the top (size 4..400, "
     "default 100; yratio 0..100, 50 square)",
     RunTexture});

} // namespace

} // namespace quiltara::cli
