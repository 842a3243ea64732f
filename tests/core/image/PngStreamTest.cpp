// The PNG writer builds its zlib stream from pieces deflated side by side: the files
// must read back through libpng pixel for pixel, and the joined stream must inflate as
// one with its Adler-32 and chunk CRCs right.
#include "CodecTestHelpers.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace quiltara;

namespace {

std::uint32_t BE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The IDAT data of a PNG file, every chunk's CRC checked on the way.
std::vector<std::uint8_t> IdatStream(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> idat;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t n = BE32(&file[at]);
        EXPECT_LE(at + 12 + n, file.size());
        if (at + 12 + n > file.size()) break;
        EXPECT_EQ(crc32(0, &file[at + 4], n + 4), BE32(&file[at + 8 + n])) << "chunk at " << at;
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0)
            idat.insert(idat.end(), &file[at + 8], &file[at + 8 + n]);
        at += 12 + n;
    }
    return idat;
}

} // namespace

TEST(PngStream, PiecesJoinIntoOneStreamThatReadsBackExactly) {
    struct Case {
        int w, h, channels; // 1: palette indexes
    };
    // 1 x 1, odd sizes, one very wide row, and pictures of several one-megabyte pieces.
    for (const Case c :
         {Case{1, 1, 3}, Case{3, 7, 3}, Case{7, 3, 4}, Case{5000, 1, 3}, Case{1001, 1100, 3},
          Case{333, 2000, 4}, Case{17, 9, 1}, Case{1100, 1000, 1}}) {
        const Pixels src = c.w * c.h > 100000 ? test::SmoothRGB(c.w * c.channels / 3 + 1, c.h)
                                              : test::NoiseRGB(c.w, c.h, c.channels);
        Palette256 palette = IdentityPalette();
        for (int i = 0; i < 256; ++i) palette[std::size_t(i)].r = std::uint8_t(255 - i);
        CSink sink;
        const CodecStatus status = c.channels == 3 ? WritePNG(sink, src.data(), c.w, c.h)
                                   : c.channels == 4
                                       ? WritePNGAlpha(sink, src.data(), c.w, c.h)
                                       : WritePNG8(sink, src.data(), c.w, c.h, palette);
        ASSERT_EQ(status.Code(), unsigned(kErrNone));
        const std::vector<std::uint8_t>& file = sink.Bytes();

        const std::vector<std::uint8_t> idat = IdatStream(file);
        const std::size_t line = std::size_t(c.w) * std::size_t(c.channels) + 1;
        std::vector<std::uint8_t> rows(line * std::size_t(c.h) + 1);
        uLongf n = uLongf(rows.size());
        ASSERT_EQ(uncompress(rows.data(), &n, idat.data(), uLong(idat.size())), Z_OK)
            << c.w << "x" << c.h;
        ASSERT_EQ(n, line * std::size_t(c.h));

        const CSource source(file.data(), file.size());
        const ReadResult back = c.channels == 4 ? ReadPNGAlpha(source) : ReadPNG(source);
        ASSERT_TRUE(back.Ok()) << c.w << "x" << c.h;
        ASSERT_EQ(back.width, c.w);
        ASSERT_EQ(back.height, c.h);
        const std::size_t out = c.channels == 4 ? 4 : 3;
        for (std::size_t i = 0; i < std::size_t(c.w) * std::size_t(c.h); ++i)
            for (std::size_t ch = 0; ch < out; ++ch) {
                const std::uint8_t want = c.channels != 1 ? src[i * out + ch]
                                          : ch == 0
                                              ? palette[src[i]].r
                                              : (ch == 1 ? palette[src[i]].g : palette[src[i]].b);
                ASSERT_EQ(back.pixels[i * out + ch], want) << c.w << "x" << c.h << " at " << i;
            }
    }
}
