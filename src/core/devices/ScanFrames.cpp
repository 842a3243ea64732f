#include "core/devices/ScanFrames.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

namespace {
int SamplesPerPixel(int format) {
    return format == kFrameRgb ? 3 : 1;
}

// The sample as 0 ... 255. Gray 1-bit samples are lineart: set means black.
std::uint8_t Sample(const std::uint8_t* line, int index, int depth, bool lineart) {
    switch (depth) {
    case 1: {
        const bool set = (line[index >> 3] >> (7 - (index & 7))) & 1;
        return (set != lineart) ? 255 : 0;
    }
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, line + 2 * index, 2);
        return std::uint8_t(v >> 8);
    }
    default:
        return line[index];
    }
}
} // namespace

bool CScanAssembler::BeginFrame(const ScanFrameParameters& p) {
    if (m_lastSeen || m_inFrame) return false;
    if (p.format < kFrameGray || p.format > kFrameBlue) return false;
    if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
    if (p.pixelsPerLine < 1 || p.pixelsPerLine > kMaxSide) return false;
    if (p.lines == 0 || p.lines < -1 || p.lines > kMaxSide) return false;
    if (p.lines > 0 && std::int64_t(p.pixelsPerLine) * p.lines > kMaxPixels) return false;
    const std::int64_t bits = std::int64_t(p.pixelsPerLine) * SamplesPerPixel(p.format) * p.depth;
    if (p.bytesPerLine < (bits + 7) / 8 || p.bytesPerLine > 16 * kMaxSide) return false;
    const bool single = p.format == kFrameGray || p.format == kFrameRgb;
    if (m_framesSeen == 0) {
        m_width = p.pixelsPerLine;
        m_announcedLines = m_firstFrameLines = p.lines;
        if (p.lines > 0 && !EnsureRows(p.lines)) return false;
    } else {
        // The colour planes of a three-pass scan must cover the same picture.
        if (single || p.pixelsPerLine != m_width || p.lines != m_firstFrameLines) return false;
    }
    if (single && !p.lastFrame) return false;
    m_frame = p;
    m_inFrame = true;
    m_frameRows = 0;
    m_line.clear();
    m_line.reserve(std::size_t(p.bytesPerLine));
    ++m_framesSeen;
    return true;
}

bool CScanAssembler::EnsureRows(int rows) {
    if (rows <= m_height) return true;
    if (rows > kMaxSide || std::int64_t(rows) * m_width > kMaxPixels) return false;
    // New rows start white: a plane that ends early leaves paper, not noise.
    m_rgb.resize(std::size_t(rows) * std::size_t(m_width) * 3, 255);
    m_height = rows;
    return true;
}

bool CScanAssembler::AddData(const std::uint8_t* data, std::size_t size) {
    if (!m_inFrame) return false;
    const std::size_t lineBytes = std::size_t(m_frame.bytesPerLine);
    while (size > 0) {
        if (m_frame.lines > 0 && m_frameRows >= m_frame.lines) return true; // beyond the frame
        const std::size_t take = std::min(size, lineBytes - m_line.size());
        m_line.insert(m_line.end(), data, data + take);
        data += take;
        size -= take;
        if (m_line.size() < lineBytes) break;
        if (m_framesSeen == 1 && !EnsureRows(m_frameRows + 1)) return false;
        if (m_frameRows < m_height) StoreLine(m_line.data(), m_frameRows);
        ++m_frameRows;
        m_line.clear();
    }
    return true;
}

void CScanAssembler::StoreLine(const std::uint8_t* line, int row) {
    std::uint8_t* out = m_rgb.data() + std::size_t(row) * std::size_t(m_width) * 3;
    const int depth = m_frame.depth;
    switch (m_frame.format) {
    case kFrameGray:
        for (int x = 0; x < m_width; ++x)
            out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = Sample(line, x, depth, true);
        break;
    case kFrameRgb:
        for (int i = 0; i < 3 * m_width; ++i) out[i] = Sample(line, i, depth, false);
        break;
    default: {
        const int channel = m_frame.format - kFrameRed;
        for (int x = 0; x < m_width; ++x) out[3 * x + channel] = Sample(line, x, depth, false);
    }
    }
}

void CScanAssembler::EndFrame() {
    if (!m_inFrame) return;
    m_inFrame = false;
    m_line.clear();
    if (m_frame.lastFrame) m_lastSeen = true;
    // A picture of unknown height is as high as its first plane turned out.
    if (m_framesSeen == 1 && m_announcedLines < 0) {
        m_height = std::min(m_height, m_frameRows);
        m_rgb.resize(std::size_t(m_height) * std::size_t(m_width) * 3);
        m_announcedLines = m_height;
    }
}

bool CScanAssembler::Complete() const {
    return m_lastSeen && m_height > 0;
}

std::int64_t CScanAssembler::ExpectedBytes() const {
    if (m_framesSeen == 0 || m_frame.lines < 0) return 0;
    const int planes = m_frame.format == kFrameGray || m_frame.format == kFrameRgb ? 1 : 3;
    return std::int64_t(m_frame.bytesPerLine) * m_frame.lines * planes;
}

} // namespace quiltara
