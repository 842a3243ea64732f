#include "CliPng.h"

#include <cstring>
#include <png.h>
#include <vector>

namespace quiltara::cli {

bool ReadPngPicture(const std::string& path, CDIBSection2& picture, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = "cannot read " + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 65535 || image.height > 65535) {
        png_image_free(&image);
        error = "unsupported picture size in " + path;
        return false;
    }
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        error = "cannot read " + path + ": " + image.message;
        return false;
    }
    picture.ImportRGBA(rgba.data(), int(image.width), int(image.height));
    return true;
}

bool WritePngPicture(const std::string& path, const CDIBSection2& picture, bool withAlpha,
                     std::string& error) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) {
        error = "nothing to write to " + path;
        return false;
    }
    const int w = picture.GetWidth(), h = picture.GetHeight();
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> buffer(std::size_t(w) * h * channels);
    std::uint8_t* d = buffer.data();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = picture.GetRow(y);
        for (int x = 0; x < w; ++x, s += 4, d += channels) {
            d[0] = s[2], d[1] = s[1], d[2] = s[0];
            if (withAlpha) d[3] = s[3];
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, buffer.data(), 0, nullptr)) {
        error = "cannot write " + path + ": " + image.message;
        return false;
    }
    return true;
}

} // namespace quiltara::cli
