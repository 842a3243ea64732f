// quiltara-cli resize: the "Image Size..." resamplers.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/Resize.h"
#include "core/image/DIBSection2.h"

namespace quiltara::cli {

namespace {

int RunResize(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    bool bicubic = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--bicubic")
            bicubic = true;
        else if (args[i] == "--bilinear")
            bicubic = false;
        else if (args[i] == "--method" && i + 1 < args.size()) {
            const std::string& m = args[++i];
            if (m == "bicubic")
                bicubic = true;
            else if (m == "bilinear")
                bicubic = false;
            else
                return Fail("--method is bilinear or bicubic");
        } else if (args[i].rfind("--", 0) == 0) {
            return Fail("unknown option " + args[i]);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 4)
        return Fail("usage: resize IN OUT WIDTH HEIGHT [--method bilinear|bicubic]");
    int w, h;
    if (!ParseInt(positional[2], 1, 1 << 20, w) || !ParseInt(positional[3], 1, 1 << 20, h))
        return Fail("width and height must be positive numbers");
    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    if (bicubic) {
        if (w != picture.GetWidth() || h != picture.GetHeight()) {
            CDIBSection2 resized;
            resized.Create(w, h, 32, true);
            ResizeBicubic(picture.GetBits(), picture.GetWidth(), picture.GetHeight(),
                          resized.GetBits(), w, h);
            picture = std::move(resized);
        }
    } else {
        ResizeBilinear(picture, w, h);
    }
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration resizeCommand({"resize",
                                     "resize IN OUT WIDTH HEIGHT [--method bilinear|bicubic]",
                                     "resample to a new size (bicubic unless told)", RunResize});

} // namespace

} // namespace quiltara::cli
