// ZSoft PCX: reading 1-bit (mono and 16-colour planes), 2/4-bit, 8-bit with the
// closing palette and 24-bit in three planes; writing 24-bit and 8-bit with palette.
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <cstring>

namespace quiltara {

bool IsPCX(const std::uint8_t* data, std::size_t size) {
    return size >= 128 && data[0] == 0x0A && data[1] <= 5 && data[1] != 1 && data[2] <= 1 &&
           (data[3] == 1 || data[3] == 2 || data[3] == 4 || data[3] == 8);
}

namespace {

// Decodes the coded lines one at a time; runs may go on across the end of a line,
// as some writers let them.
class LineDecoder {
public:
    LineDecoder(const std::uint8_t* data, std::size_t size, bool encoded)
        : m_p(data), m_end(data + size), m_encoded(encoded) {}
    /// Fills n bytes; false when the data ends first.
    bool Next(std::uint8_t* line, std::size_t n) {
        std::size_t i = 0;
        while (i < n) {
            if (m_run) {
                const std::size_t k = std::min<std::size_t>(m_run, n - i);
                std::memset(line + i, m_value, k);
                i += k, m_run -= k;
                continue;
            }
            if (!m_encoded) {
                const std::size_t k = std::min<std::size_t>(std::size_t(m_end - m_p), n - i);
                std::memcpy(line + i, m_p, k);
                i += k, m_p += k;
                return i == n;
            }
            // Literal bytes and short runs, one code at a time.
            const std::uint8_t* p = m_p;
            while (i < n && p < m_end) {
                const std::uint8_t c = *p;
                if (c < 0xC0) {
                    line[i++] = c, ++p;
                    continue;
                }
                if (m_end - p < 2) break;
                const std::uint8_t value = p[1];
                const std::size_t run = c & 0x3F; // a zero-length run codes nothing
                p += 2;
                const std::size_t k = std::min(run, n - i);
                for (std::size_t t = 0; t < k; ++t) line[i + t] = value;
                i += k;
                if (k < run) {
                    m_run = run - k, m_value = value;
                    break;
                }
            }
            m_p = p;
            if (i < n && !m_run) return false;
        }
        return true;
    }

private:
    const std::uint8_t* m_p;
    const std::uint8_t* m_end;
    bool m_encoded;
    std::size_t m_run = 0;
    std::uint8_t m_value = 0;
};

} // namespace

ReadResult ReadPCX(const CSource& source) {
    const std::uint8_t* data = source.Data();
    const std::size_t size = source.Size();
    auto fail = [](unsigned code) { return ReadResult::Failure(code); };
    if (!IsPCX(data, size)) return fail(kErrBadPCX);
    CByteReader r(data, size, 4);
    const int xmin = r.U16LE(), ymin = r.U16LE(), xmax = r.U16LE(), ymax = r.U16LE();
    const int bpp = data[3], planes = data[65];
    const int bytesPerLine = data[66] | data[67] << 8;
    const bool encoded = data[2] == 1;
    const long long w = (long long)xmax - xmin + 1, h = (long long)ymax - ymin + 1;
    if (w <= 0 || h <= 0 || planes < 1 || planes > 4) return fail(kErrBadPCX);
    const bool supported = (bpp == 1 && planes <= 4) || (bpp == 8 && planes != 2) ||
                           ((bpp == 2 || bpp == 4) && planes == 1);
    if (!supported) return fail(kErrBadPCX);
    if (bytesPerLine < (w * bpp + 7) / 8) return fail(kErrBadPCX);
    const std::size_t lineBytes = std::size_t(bytesPerLine) * planes;
    // Every two coded bytes give at most 63 bytes of lines; a cut plain file must still
    // hold an eighth of them. Refuse sizes the data cannot fill before allocating.
    const std::uint64_t total = std::uint64_t(lineBytes) * std::uint64_t(h);
    const std::uint64_t ratio = encoded ? 32 : 8;
    if (total > std::uint64_t(size - 128) * ratio) {
        return ReadResult::Failure(CodecStatus(
            kErrTooLarge,
            TooLargeText(std::uint64_t(w), std::uint64_t(h),
                         std::uint64_t(size - 128) * ratio * 8 / std::uint64_t(bpp * planes))));
    }

    ReadResult result;
    if (const CodecStatus allocated = AllocatePixels(result.pixels, w, h, 3, kErrBadPCX);
        !allocated)
        return ReadResult::Failure(allocated);
    const int iw = int(w), ih = int(h);

    // The palette: 8-bit single-plane files close with 0x0C and 768 bytes; others
    // use the 16 entries of the header.
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    if (bpp == 8 && planes == 1) {
        if (size >= 128 + 769 && data[size - 769] == 0x0C)
            for (int i = 0; i < 256; ++i) {
                const std::uint8_t* e = data + size - 768 + 3 * i;
                palette[i] = {e[0], e[1], e[2]};
            }
    } else if (bpp == 1 && planes == 1) {
        palette[0] = {0, 0, 0}, palette[1] = {255, 255, 255};
    } else {
        for (int i = 0; i < 16; ++i)
            palette[i] = {data[16 + 3 * i], data[17 + 3 * i], data[18 + 3 * i]};
    }

    std::vector<std::uint8_t> line(lineBytes), index(bpp == 8 ? 0 : std::size_t(iw));
    LineDecoder decoder(data + 128, size - 128, encoded);
    int y = 0;
    for (; y < ih && decoder.Next(line.data(), lineBytes); ++y) {
        std::uint8_t* d = result.pixels.data() + std::size_t(y) * iw * 3;
        if (bpp == 8 && planes >= 3) {
            const std::uint8_t *pr = line.data(), *pg = pr + bytesPerLine, *pb = pg + bytesPerLine;
            for (int x = 0; x < iw; ++x, d += 3) d[0] = pr[x], d[1] = pg[x], d[2] = pb[x];
            continue;
        }
        const std::uint8_t* indices = line.data();
        if (bpp != 8) {
            // Bit planes: plane p gives bit p of each pixel's index.
            const int perByte = 8 / bpp, mask = (1 << bpp) - 1;
            for (int x = 0; x < iw; ++x) {
                const int shift = 8 - bpp * (x % perByte + 1);
                int value = 0;
                for (int p = 0; p < planes; ++p)
                    value |= ((line[std::size_t(p) * bytesPerLine + x / perByte] >> shift) & mask)
                             << p;
                index[std::size_t(x)] = std::uint8_t(value);
            }
            indices = index.data();
        }
        for (int x = 0; x < iw; ++x, d += 3) {
            const PaletteEntry& e = palette[indices[x]];
            d[0] = e.r, d[1] = e.g, d[2] = e.b;
        }
    }
    if (y == 0) return fail(kErrBadPCX);
    result.width = iw, result.height = ih;
    result.MarkMissingFrom(y);
    return result;
}

namespace {

void EncodeLine(const std::uint8_t* s, int n, std::vector<std::uint8_t>& out) {
    for (int i = 0; i < n;) {
        int run = 1;
        while (i + run < n && run < 63 && s[i + run] == s[i]) ++run;
        if (run > 1 || (s[i] & 0xC0) == 0xC0) out.push_back(std::uint8_t(0xC0 | run));
        out.push_back(s[i]);
        i += run;
    }
}

std::vector<std::uint8_t> Header(int width, int height, int planes, int bytesPerLine) {
    std::vector<std::uint8_t> h(128, 0);
    h[0] = 0x0A, h[1] = 5, h[2] = 1, h[3] = 8;
    auto put16 = [&](int at, int v) { h[at] = std::uint8_t(v), h[at + 1] = std::uint8_t(v >> 8); };
    put16(8, width - 1), put16(10, height - 1), put16(12, 96), put16(14, 96);
    h[65] = std::uint8_t(planes);
    put16(66, bytesPerLine);
    put16(68, 1);
    return h;
}

} // namespace

CodecStatus WritePCX(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, 65535); !args) return args;
    const int bytesPerLine = (width + 1) & ~1;
    std::vector<std::uint8_t> out = Header(width, height, 3, bytesPerLine);
    std::vector<std::uint8_t> plane(std::size_t(bytesPerLine), 0);
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        const std::uint8_t* s = rgb + std::size_t(y) * width * 3;
        for (int c = 0; c < 3; ++c) {
            for (int x = 0; x < width; ++x) plane[std::size_t(x)] = s[3 * x + c];
            EncodeLine(plane.data(), bytesPerLine, out);
        }
        if (out.size() > (1u << 20)) {
            ok = sink.Write(out.data(), out.size());
            out.clear();
        }
    }
    ok = ok && sink.Write(out.data(), out.size());
    return ok ? kErrNone : kErrFileWrite;
}

CodecStatus WritePCX8(CSink& sink, const std::uint8_t* indices, int width, int height,
                      const Palette256& palette) {
    if (const CodecStatus args = CheckWriterArgs(indices, width, height, 65535); !args) return args;
    const int bytesPerLine = (width + 1) & ~1;
    std::vector<std::uint8_t> out = Header(width, height, 1, bytesPerLine);
    std::vector<std::uint8_t> line(std::size_t(bytesPerLine), 0);
    for (int y = 0; y < height; ++y) {
        std::memcpy(line.data(), indices + std::size_t(y) * width, std::size_t(width));
        EncodeLine(line.data(), bytesPerLine, out);
    }
    out.push_back(0x0C);
    for (const PaletteEntry& e : palette)
        out.push_back(e.r), out.push_back(e.g), out.push_back(e.b);
    return sink.Write(out.data(), out.size()) ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
