// ZSoft PCX: reading 1-bit (mono and 16-colour planes), 2/4-bit, 8-bit with the
// closing palette and 24-bit in three planes; writing 24-bit and 8-bit with palette.
#include "core/image/codecs/Codecs.h"

#include <cstring>

namespace quiltara {

bool IsPCX(const std::uint8_t* data, std::size_t size) {
    return size >= 128 && data[0] == 0x0A && data[1] <= 5 && data[1] != 1 && data[2] <= 1 &&
           (data[3] == 1 || data[3] == 2 || data[3] == 4 || data[3] == 8);
}

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
    // Every two coded bytes give at most 63 pixels' bytes: refuse sizes the data
    // cannot hold before allocating.
    const std::uint64_t total = std::uint64_t(lineBytes) * std::uint64_t(h);
    if (total > std::uint64_t(size - 128) * (encoded ? 32 : 1)) return fail(kErrBadPCX);

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

    std::vector<std::uint8_t> line(lineBytes);
    std::size_t pos = 128;
    int runCount = 0;
    std::uint8_t runValue = 0;
    for (int y = 0; y < ih; ++y) {
        // Runs may go on across the end of a line, as some writers let them.
        for (std::size_t i = 0; i < lineBytes; ++i) {
            if (!runCount) {
                if (pos >= size) return fail(kErrBadPCX);
                std::uint8_t c = data[pos++];
                if (encoded && (c & 0xC0) == 0xC0) {
                    if (pos >= size) return fail(kErrBadPCX);
                    runCount = c & 0x3F;
                    runValue = data[pos++];
                    if (!runCount) {
                        --i; // a zero-length run codes nothing
                        continue;
                    }
                } else {
                    runCount = 1, runValue = c;
                }
            }
            line[i] = runValue;
            --runCount;
        }
        std::uint8_t* d = result.pixels.data() + std::size_t(y) * iw * 3;
        if (bpp == 8 && planes >= 3) {
            const std::uint8_t *pr = line.data(), *pg = pr + bytesPerLine, *pb = pg + bytesPerLine;
            for (int x = 0; x < iw; ++x, d += 3) d[0] = pr[x], d[1] = pg[x], d[2] = pb[x];
        } else if (bpp == 8) {
            for (int x = 0; x < iw; ++x, d += 3) {
                const PaletteEntry& e = palette[line[std::size_t(x)]];
                d[0] = e.r, d[1] = e.g, d[2] = e.b;
            }
        } else {
            const int perByte = 8 / bpp, mask = (1 << bpp) - 1;
            for (int x = 0; x < iw; ++x, d += 3) {
                const int shift = 8 - bpp * (x % perByte + 1);
                int index = 0;
                for (int p = 0; p < planes; ++p)
                    index |= ((line[std::size_t(p) * bytesPerLine + x / perByte] >> shift) & mask)
                             << p;
                const PaletteEntry& e = palette[index];
                d[0] = e.r, d[1] = e.g, d[2] = e.b;
            }
        }
    }
    result.width = iw, result.height = ih;
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
