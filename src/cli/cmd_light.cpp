// quiltara-cli light: the lens flare or the sparkle, as a drag on the canvas paints it.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/LightEffects.h"

namespace quiltara::cli {

namespace {

// "X,Y" within the picture's eight neighbouring tile copies, where a drag can start
// and end; farther out the sparkle's square would cover the picture without end.
bool ParsePoint(const std::string& text, int width, int height, int& x, int& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return ParseInt(text.substr(0, comma), -width, 2LL * width - 1, x) &&
           ParseInt(text.substr(comma + 1), -height, 2LL * height - 1, y);
}

int RunLight(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    int strength = 255;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--strength" && i + 1 < args.size()) {
            if (!ParseInt(args[++i], 0, 255, strength))
                return Fail("--strength takes a number from 0 to 255");
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 5)
        return Fail("usage: light IN OUT flare|sparkle X0,Y0 X1,Y1 [--strength S]");
    LightKind tool = LightKind::LensFlare;
    if (positional[2] == "flare")
        tool = LightKind::LensFlare;
    else if (positional[2] == "sparkle")
        tool = LightKind::Sparkle;
    else
        return Fail("the light is flare or sparkle, not " + positional[2]);
    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    const int w = picture.GetWidth(), h = picture.GetHeight();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!ParsePoint(positional[3], w, h, x0, y0) || !ParsePoint(positional[4], w, h, x1, y1))
        return Fail("points are X,Y in pixels, y down, from minus the picture's size to twice "
                    "its size");
    CNullProgress progress;
    RenderLightDrag(picture.GetBits(), w, h, tool, x0, y0, x1, y1, strength, progress);
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration lightCommand(
    {"light", "light IN OUT flare|sparkle X0,Y0 X1,Y1 [--strength S]",
     "paint a lens flare or a sparkle as a drag from X0,Y0 (the light) to X1,Y1 paints it: "
     "the drag's length is the size, its direction turns the rays, S (0..255, 255 by "
     "default) their strength; the light wraps around the edges",
     RunLight});

} // namespace

} // namespace quiltara::cli
