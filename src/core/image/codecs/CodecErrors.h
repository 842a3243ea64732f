#pragma once
#include <string>

namespace quiltara {

/// Failure codes of the codec layer. Every entry point returns its code (0 on
/// success) with its result; `ErrorText` gives the text the user is shown.
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
    kErrBadPSD = 37,
    kErrTooLarge = 38, // the refusal's own text says what was refused
    kErrBadWebP = 39,
};

/// The text of a failure code; codes without a text of their own give "Error #<code>!".
std::string ErrorText(unsigned code);

/// "image too large: W x H pixels exceeds the limit of N".
std::string TooLargeText(unsigned long long width, unsigned long long height,
                         unsigned long long limit);

/// The outcome of a codec entry point that gives no picture (a writer, opening or
/// closing a file): the failure code, 0 on success. Tests true on success, so that
/// `if (!WritePNG(...))` reads as it did when writers gave a plain flag.
class CodecStatus {
public:
    CodecStatus() = default;
    CodecStatus(CodecError code) : m_code(code) {}
    explicit CodecStatus(unsigned code) : m_code(code) {}
    /// A failure whose own text says more than the code's (what was refused and the
    /// limit, for kErrTooLarge).
    CodecStatus(CodecError code, std::string detail) : m_code(code), m_detail(std::move(detail)) {}
    unsigned Code() const { return m_code; }
    const std::string& Detail() const { return m_detail; }
    bool Ok() const { return m_code == kErrNone; }
    explicit operator bool() const { return Ok(); }

private:
    unsigned m_code = kErrNone;
    std::string m_detail;
};

} // namespace quiltara
