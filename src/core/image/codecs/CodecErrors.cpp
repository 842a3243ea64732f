#include "core/image/codecs/CodecErrors.h"

#include <cstdio>

namespace quiltara {

std::string ErrorText(unsigned code) {
    switch (code) {
    case 0:
        return "no err";
    case 1:
        return "out of memory";
    case 2:
        return "error on file open";
    case 3:
        return "error on file read";
    case 4:
        return "error on file write";
    case 5:
        return "bad user param";
    case 6:
        return "bad BMP file";
    case 7:
        return "some RLE variations are not supported";
    case 9:
        return "bad JPG file";
    case 10:
        return "error with device context";
    case 11:
        return "problem with a GetDIBits call";
    case 13:
        return "resource not found";
    case 14:
        return "callback returned FALSE - operation aborted";
    case 15:
        return "bad PNG file";
    case 16:
        return "the PNG library behaved in an unexpected way";
    case 17:
        return "something unexpected happened";
    case 18:
        return "trouble creating a font object";
    case 19:
        return "misc internal TIFF error";
    case 20:
        return "invalid TIFF file";
    case 21:
        return "this will not read TIFF-LZW images";
    case 22:
        return "invalid PCX image";
    case 23:
        return "a call to the fn CreateCompatibleBitmap failed";
    case 24:
        return "end of an image while using single-line de/compression";
    case 25:
        return "error during a call to GetDIBits";
    case 26:
        return "device does not support an operation required by this function";
    case 27:
        return "invalid windows metafile";
    case 28:
        return "the file was not of the requested bit-depth";
    case 29:
        return "a call to BitBlt failed.";
    case 30:
        return "output buffer is too small for this operation";
    case 31:
        return "not enough room in the output palette to store the colors from this image";
    case 32:
        return "bad TGA File";
    case 35:
        return "a call to the fn CreateDIBitmap failed";
    case 36:
        return "LZW de/compression is not permitted";
    case 37:
        return "bad PSD file";
    case 38:
        return "image too large";
    case 39:
        return "bad WebP file";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "Error #%u!", code);
    return text;
}

namespace {}

std::string TooLargeText(unsigned long long width, unsigned long long height,
                         unsigned long long limit) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "image too large: %llu x %llu pixels exceeds the limit of %llu", width, height,
                  limit);
    return text;
}

} // namespace quiltara
