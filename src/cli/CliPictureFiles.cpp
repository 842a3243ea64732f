#include "CliPictureFiles.h"

#include "core/image/ImageFileBuffer.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"

namespace quiltara::cli {

bool ReadPicture(const std::string& path, CDIBSection2& picture, std::string& error) {
    CImageFileBuffer buffer;
    unsigned result = buffer.Load(path);
    if (result == kErrNone && !buffer.HasPixels()) result = kErrBadParam;
    if (result != kErrNone) {
        error = path + ": " + ErrorText(result);
        return false;
    }
    const std::uint8_t* rgb = buffer.LockRGB();
    if (!rgb) {
        error = path + ": " + ErrorText(kErrBadParam);
        return false;
    }
    picture.ImportRGB(rgb, buffer.Width(), buffer.Height(), 255);
    buffer.Unlock();
    return true;
}

bool WritePicture(const std::string& path, const CDIBSection2& picture, bool withAlpha,
                  std::string& error) {
    const int code = FormatFromExtension(PathExtension(path));
    if (code == kFormatNone) {
        error = UnknownExtensionText(path);
        return false;
    }
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) {
        error = path + ": " + ErrorText(kErrBadParam);
        return false;
    }
    CImageFileBuffer buffer;
    if (withAlpha) {
        buffer.SetFromRGBA(picture.GetBits(), picture.GetWidth(), picture.GetHeight());
    } else {
        if (buffer.Allocate(picture.GetWidth(), picture.GetHeight()) != 0) {
            error = path + ": out of memory";
            return false;
        }
        picture.ExportRGB(buffer.LockRGB());
        buffer.Unlock();
    }
    buffer.Save(path, code);
    const unsigned result = GetLastError();
    if (result != kErrNone) {
        error = path + ": " + ErrorText(result);
        return false;
    }
    return true;
}

} // namespace quiltara::cli
