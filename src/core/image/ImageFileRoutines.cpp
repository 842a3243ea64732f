#include "core/image/ImageFileRoutines.h"

#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/Codecs.h"
#include "core/image/codecs/FormatTable.h"

#include <algorithm>
#include <cctype>

namespace quiltara {

unsigned LoadPictureFile(const std::string& path, LoadedPicture& out) {
    out = LoadedPicture{};
    CImageFileBuffer buffer;
    unsigned result = buffer.Load(path);
    if (result == kErrNone && !buffer.HasPixels()) result = kErrBadParam;
    if (result != kErrNone) {
        out.message = buffer.FailureText(result);
        return result;
    }
    out.warning = buffer.Warning();
    out.width = buffer.Width(), out.height = buffer.Height();
    out.formatCode = buffer.LoadedFormat();
    out.cameraBlock = buffer.CameraBlock();
    out.resolution = {buffer.resolutionX, buffer.resolutionY};
    out.rgb = buffer.TakePixels();
    return kErrNone;
}

unsigned LoadPictureFile(const std::string& path, CDIBSection2& picture, std::uint8_t alpha,
                         LoadedPicture& out) {
    out = LoadedPicture{};
    Resolution resolution;
    const PlainBmpRead plain = ReadPlainBMPFile(
        path, alpha,
        [&](int w, int h) {
            picture.Create(w, h, 32, true);
            return picture.GetLineArray();
        },
        resolution);
    if (plain == PlainBmpRead::kOutOfMemory) {
        out.message = ErrorText(kErrOutOfMemory);
        return kErrOutOfMemory;
    }
    if (plain == PlainBmpRead::kRead) {
        out.width = picture.GetWidth(), out.height = picture.GetHeight();
        out.formatCode = kFormatBMP;
        out.resolution = resolution;
        return kErrNone;
    }
    const unsigned result = LoadPictureFile(path, out);
    if (result != kErrNone) return result;
    picture.ImportRGB(out.rgb.data(), out.width, out.height, alpha);
    out.rgb = Pixels();
    return kErrNone;
}

unsigned OpenPictureFile(const std::string& path, CDIBSection2& original,
                         std::vector<std::uint8_t>& cameraBlock, IProgressReporter& progress,
                         OpenNotes* notes) {
    progress.Begin("Loading", 100);
    progress.SetPos(10);
    LoadedPicture picture;
    CDIBSection2 loaded; // the picture is only touched after a success
    unsigned result;
    try {
        result = LoadPictureFile(path, loaded, 0, picture);
    } catch (const std::bad_alloc&) {
        result = kErrOutOfMemory;
    }
    progress.SetPos(80);
    if (result == kErrNone) {
        original.DeleteTempFile();
        original.SwapPixels(loaded);
        cameraBlock = std::move(picture.cameraBlock);
        progress.SetPos(100);
    }
    progress.End();
    if (notes) {
        notes->warning = result == kErrNone ? picture.warning : std::string();
        notes->message = result == kErrNone        ? std::string()
                         : picture.message.empty() ? ErrorText(result)
                                                   : picture.message;
    }
    return result;
}

int SaveFormatForPath(const std::string& path) {
    return FormatFromExtension(PathExtension(path));
}

std::string UnknownExtensionText(const std::string& path) {
    return "Unknown extnsion\n" + path;
}

namespace {

// The picture as the writers take it: RGB, or RGBA with keepAlpha. A picture that is
// not there has nothing to save; otherwise only memory can fail.
unsigned FillBuffer(CImageFileBuffer& buffer, const CDIBSection2& picture, bool keepAlpha) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) return kErrBadParam;
    if (keepAlpha) {
        try {
            buffer.SetFromRGBA(picture.GetBits(), picture.GetWidth(), picture.GetHeight());
        } catch (const std::bad_alloc&) {
            return kErrOutOfMemory;
        }
        return kErrNone;
    }
    if (buffer.Allocate(picture.GetWidth(), picture.GetHeight()) != 0) return kErrOutOfMemory;
    picture.ExportRGB(buffer.LockRGB());
    buffer.Unlock();
    return kErrNone;
}

// A 24-bit BMP holds the picture's own bytes less alpha: written straight from its rows.
unsigned SaveBmpDirectly(const CDIBSection2& picture, const std::string& path) {
    return SaveThroughSink(path, [&](CSink& sink) {
        return WriteBMPFromBGRA(sink, picture.GetWidth(), picture.GetHeight(),
                                [&](int y) { return picture.GetRow(y); });
    });
}

} // namespace

SaveResult SavePictureFile(const CDIBSection2& picture, const std::string& path, int jpegQuality,
                           IProgressReporter& progress, bool keepAlpha) {
    SaveResult result;
    progress.Begin("Saving", 100);
    const int code = SaveFormatForPath(path);
    CImageFileBuffer buffer;
    const bool direct = code == kFormatBMP && !keepAlpha;
    result.code =
        direct ? (picture.IsEmpty() || picture.GetBitsPerPixel() != 32 ? kErrBadParam : kErrNone)
               : FillBuffer(buffer, picture, keepAlpha);
    if (result.code != kErrNone) {
        progress.End();
        result.message = ErrorText(result.code);
        return result;
    }
    if (code == kFormatNone) {
        progress.End();
        result.message = UnknownExtensionText(path);
        return result;
    }
    buffer.jpegQuality = jpegQuality;
    result.code = direct ? SaveBmpDirectly(picture, path) : buffer.Save(path, code);
    progress.SetPos(100);
    progress.End();
    result.ok = result.code == kErrNone;
    if (!result.ok) result.message = ErrorText(result.code);
    return result;
}

std::string CutTitleForSave(const std::string& title) {
    const std::size_t cut = title.find_first_of(" #%;/\\");
    return title.substr(0, cut) + ".png";
}

SaveDialogSetup MakeSaveDialogSetup(const std::string& documentPath, const std::string& title,
                                    bool replace) {
    std::string start = documentPath;
    if (start.empty() && replace) start = CutTitleForSave(title);
    const std::size_t slash = start.find_last_of("/\\");
    const std::string fileName = slash == std::string::npos ? start : start.substr(slash + 1);
    SaveDialogSetup setup;
    const std::size_t dot = fileName.find_last_of('.');
    setup.name = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    if (dot != std::string::npos) setup.extension = fileName.substr(dot + 1);
    std::transform(setup.extension.begin(), setup.extension.end(), setup.extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    setup.pattern = setup.extension.empty() ? "*.png" : "*." + setup.extension;
    setup.filter = SaveDialogFilter(setup.pattern);
    return setup;
}

std::string SaveDialogFilter(const std::string& pattern) {
    static const char* const kPNG = "Portable Graphics (*.png)|*.png|";
    static const char* const kJPG = "JPG File (*.jpg)|*.jpg|";
    static const char* const kBMP = "Windows Bitmap (*.bmp)|*.bmp|";
    static const char* const kPSD = "Adobe Photoshop (*.psd)|*.psd|";
    static const char* const kTIF = "Tif File (*.tif)|*.tif|";
    static const char* const kTGA = "Targa File (*.tga)|*.tga|";
    static const char* const kWMF = "Windows Metafile (*.wmf)|*.wmf|";
    static const char* const kEMF = "Enhanced Metafile (*.emf)|*.emf|";
    const std::string rest = std::string(kTIF) + kTGA + kWMF + kEMF + "|";
    if (pattern == "*.png") return std::string(kPNG) + kJPG + kBMP + kPSD + rest;
    if (pattern == "*.jpg") return std::string(kJPG) + kPNG + kBMP + kPSD + rest;
    if (pattern == "*.bmp") return std::string(kBMP) + kPNG + kJPG + kPSD + rest;
    if (pattern == "*.psd") return std::string(kPSD) + kPNG + kJPG + kBMP + rest;
    return "Last File Extension (" + pattern + ")|" + pattern + "|" + kPNG + kJPG + kBMP + kPSD +
           rest;
}

const char* const kOpenDialogTitle = "Load image file";
const char* const kOpenDialogFilter =
    "Image Files (png,jpg,bmp,pcx,tga,tif,psd)|*.BMP;*.JPG;*.PCX;*.PNG;*.TGA;*.TIF;*PSD|"
    "PNG Files (*.PNG)|*.PNG|JPEG Files (*.JPG)|*.JPG|Windows BMP Files (*.BMP)|*.BMP|"
    "ZSoft PCX Files (*.PCX)|*.PCX|Targa TGA Files (*.TGA)|*.TGA|TIFF Files (*.TIF)|*.TIF|"
    "Adobe Photoshop (*.PSD)|*.PSD|Metafile (*.WMF)|*.WMF|Metafile (*.EMF)|*.EMF|All files "
    "(*.*)|*.*||";
const char* const kOpenDialogDefaultName = "*.Png;*.Jpg;*.Bmp;*.Pcx;*.Tga;*.Tif;*.Psd";
const char* const kSaveDialogTitle = "Save image";

} // namespace quiltara
