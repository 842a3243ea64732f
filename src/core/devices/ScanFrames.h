#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quiltara {

/// The kinds of frame a scanner sends (the numbers are SANE's frame formats): one
/// gray frame, one interleaved red-green-blue frame, or three single-colour frames.
enum ScanFrameFormat : int {
    kFrameGray = 0,
    kFrameRgb = 1,
    kFrameRed = 2,
    kFrameGreen = 3,
    kFrameBlue = 4,
};

/// What the scanner says about the frame it is about to send.
struct ScanFrameParameters {
    int format = kFrameGray;
    bool lastFrame = true;
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = 0; // -1: not known until the data ends (hand scanners)
    int depth = 8; // bits per sample: 1, 8 or 16
};

/// Builds a picture from the frames of one scan, line by line as the data arrives.
/// The result is a plain RGB buffer, top row first. Gray becomes equal channels;
/// 16-bit samples (in the machine's byte order) keep their high byte; a 1-bit gray
/// sample that is set is black, a 1-bit colour sample that is set is full intensity.
/// Everything the scanner reports is checked before it is used: a frame that does not
/// fit the ones before it, a line too short for its pixels, or a picture beyond
/// kMaxSide or kMaxPixels is refused.
class CScanAssembler {
public:
    static constexpr int kMaxSide = 60000;
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 27;

    /// Starts a frame; false when it cannot be taken (the scan is then unusable).
    bool BeginFrame(const ScanFrameParameters& parameters);
    /// Data of the current frame. Bytes past the announced lines are ignored; false
    /// when a picture of unknown height grows beyond the limits.
    bool AddData(const std::uint8_t* data, std::size_t size);
    /// The current frame's data ended. An unfinished last line is dropped.
    void EndFrame();

    /// The last frame has ended and at least one line arrived.
    bool Complete() const;
    int Width() const { return m_width; }
    /// Lines received so far (the announced height once complete).
    int Height() const { return m_height; }
    /// The bytes a complete scan of the announced frames holds, for progress; 0 when
    /// the height is not known.
    std::int64_t ExpectedBytes() const;
    const std::vector<std::uint8_t>& Rgb() const { return m_rgb; }

private:
    void StoreLine(const std::uint8_t* line, int row);
    bool EnsureRows(int rows);

    ScanFrameParameters m_frame;
    bool m_inFrame = false;
    bool m_lastSeen = false;
    int m_framesSeen = 0;
    int m_width = 0;
    int m_height = 0;    // rows stored in m_rgb
    int m_frameRows = 0; // rows of the current frame so far
    int m_announcedLines = -1;
    int m_firstFrameLines = -1;
    std::vector<std::uint8_t> m_line; // the current line as it fills
    std::vector<std::uint8_t> m_rgb;
};

} // namespace quiltara
