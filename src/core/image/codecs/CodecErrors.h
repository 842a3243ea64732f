#pragma once
#include <string>

namespace quiltara {

/// Failure codes of the codec layer. Every entry point sets the calling thread's last
/// failure code (0 on success); `GetLastError` reads it and `ErrorText` gives its text.
enum CodecError : unsigned {
    kErrNone = 0,
    kErrOutOfMemory = 1,
    kErrFileOpen = 2,
    kErrFileRead = 3,
    kErrFileWrite = 4,
    kErrBadParam = 5,
    kErrBadBMP = 6,
    kErrRLEVariant = 7,
    kErrBadJPG = 9,
    kErrDeviceContext = 10,
    kErrGetDIBits = 11,
    kErrResourceNotFound = 13,
    kErrCallbackAborted = 14,
    kErrBadPNG = 15,
    kErrPNGInternal = 16,
    kErrUnexpected = 17,
    kErrFont = 18,
    kErrTIFFInternal = 19,
    kErrBadTIFF = 20,
    kErrTIFFLZW = 21,
    kErrBadPCX = 22,
    kErrCompatibleBitmap = 23,
    kErrEndOfImage = 24,
    kErrGetDIBitsCall = 25,
    kErrDeviceUnsupported = 26,
    kErrBadMetafile = 27,
    kErrBitDepth = 28,
    kErrBitBlt = 29,
    kErrOutputTooSmall = 30,
    kErrPaletteFull = 31,
    kErrBadTGA = 32,
    kErrCreateDIBitmap = 35,
    kErrLZWNotPermitted = 36,
};

/// The text of a failure code; codes without a text of their own give "Error #<code>!".
std::string ErrorText(unsigned code);

void SetLastError(unsigned code);
unsigned GetLastError();

} // namespace quiltara
