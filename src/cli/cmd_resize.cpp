// quiltara-cli resize: the "Image Size..." resamplers.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/Resize.h"
#include "core/image/DIBSection2.h"
#include "core/image/codecs/Codecs.h"

namespace quiltara::cli {

namespace {

// Rows of a plain BMP file, read when the resizer asks for them, in the order a
// picture keeps them in memory: from the bottom up.
class FileRows : public IRowSource {
public:
    explicit FileRows(const CPlainBmpFile& file) : m_file(file) {}
    const std::uint8_t* Row(int y, std::uint8_t* scratch) const override {
        thread_local std::vector<std::uint8_t> bytes;
        return m_file.ReadRows(m_file.Height() - 1 - y, 1, &scratch, 255, bytes) ? scratch
                                                                                 : nullptr;
    }

private:
    const CPlainBmpFile& m_file;
};

// A plain BMP is resized straight from the file, never held whole: only the rows a band
// of the result draws on are read. False (and the picture as it was) for other files, a
// size that does not change, or a file that changed while it was read.
bool ResizeStreaming(const std::string& path, int w, int h, bool bicubic, CDIBSection2& picture) {
    CPlainBmpFile file;
    if (!file.Open(path) || (file.Width() == w && file.Height() == h)) return false;
    CDIBSection2 resized;
    resized.Create(w, h, 32, true);
    const FileRows rows(file);
    const bool read =
        bicubic ? ResizeBicubic(rows, file.Width(), file.Height(), resized.GetBits(), w, h)
                : ResizeBilinear(rows, file.Width(), file.Height(), resized.GetBits(), w, h);
    if (!read) return false;
    picture = std::move(resized);
    return true;
}

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
    if (!ResizeStreaming(positional[0], w, h, bicubic, picture)) {
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
    }
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration resizeCommand({"resize",
                                     "resize IN OUT WIDTH HEIGHT [--method bilinear|bicubic]",
                                     "resample to a new size (bicubic unless told)", RunResize});

} // namespace

} // namespace quiltara::cli
