// quiltara-cli rotate: right-angle turns, flips and rotation by any angle.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/RightAngle.h"
#include "core/filters/RotateByAngle.h"
#include "core/image/DIBSection2.h"

namespace quiltara::cli {

namespace {

bool ParseColour(const std::string& text, ColorRef& colour) {
    std::string hex = text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long v = std::stoul(hex, nullptr, 16);
    colour = MakeColorRef(int(v >> 16), int(v >> 8), int(v));
    return true;
}

int RunRotate(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    ColorRef background = MakeColorRef(255, 255, 255);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--background" && i + 1 < args.size()) {
            if (!ParseColour(args[++i], background)) return Fail("--background takes RRGGBB");
        } else if (args[i].rfind("--", 0) == 0) {
            return Fail("unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3)
        return Fail("usage: rotate IN OUT (90cw|90ccw|180|flipv|fliph|DEGREES)");
    const std::string& how = positional[2];
    double degrees = 0;
    const bool named =
        how == "90cw" || how == "90ccw" || how == "180" || how == "flipv" || how == "fliph";
    if (!named && !ParseDouble(how, degrees))
        return Fail("rotate by 90cw, 90ccw, 180, flipv, fliph or a number of degrees");

    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    const int w = picture.GetWidth(), h = picture.GetHeight();
    if (how == "90cw")
        RotatePictureRightAngle(picture, kRotate90CW);
    else if (how == "90ccw")
        RotatePictureRightAngle(picture, kRotate90CCW);
    else if (how == "180")
        RotatePictureRightAngle(picture, kRotate180);
    else if (how == "flipv")
        FlipVertical(picture.GetBits(), w * 4, h);
    else if (how == "fliph")
        FlipHorizontal(picture.GetBits(), w, h);
    else {
        CDIBSection2 rotated;
        RotateByAngle(picture.GetBits(), w, h, degrees, background, rotated);
        picture = std::move(rotated);
    }
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration rotateCommand(
    {"rotate", "rotate IN OUT (90cw|90ccw|180|flipv|fliph|DEGREES) [--background RRGGBB]",
     "turn, flip or rotate by an angle (clockwise)", RunRotate});

} // namespace

} // namespace quiltara::cli
