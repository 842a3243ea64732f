// Text records of both metafile kinds: drawn with the named font (or the nearest one
// installed), in the text colour, placed by the text alignment.
#include "CodecTestHelpers.h"
#include "core/image/FontRaster.h"

#include <gtest/gtest.h>

using namespace quiltara;
using namespace quiltara::test;

namespace {

constexpr int kW = 80, kH = 40;

std::vector<std::uint8_t> Wmf(const std::string& face, int height, unsigned align, int x, int y) {
    Bytes w;
    w.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(kW).le16(kH).le16(96).le32(0).le16(0);
    w.le16(1).le16(9).le16(0x300).le32(0).le16(1).le32(0).le16(0);
    w.le32(4).le16(0x0102).le16(1);        // transparent background
    w.le32(5).le16(0x0209).le32(0x0000FF); // red text
    w.le32(4).le16(0x012E).le16(align);
    w.le32(28).le16(0x02FB).le16(unsigned(height)).le16(0).le16(0).le16(0).le16(400).fill(8, 0);
    Bytes name;
    name.str(face.c_str()).fill(32 - face.size(), 0);
    w.raw(name.v);
    w.le32(4).le16(0x012D).le16(0);
    w.le32(7).le16(0x0521).le16(2).str("Hi").le16(unsigned(y)).le16(unsigned(x));
    w.le32(3).le16(0);
    return w.v;
}

std::vector<std::uint8_t> Emf(const std::string& face, int height, unsigned align, int x, int y) {
    Bytes e;
    e.le32(1).le32(88).le32(0).le32(0).le32(kW - 1).le32(kH - 1).fill(16, 0).str(" EMF");
    e.le32(0x10000).le32(0).le32(0).fill(32, 0);
    e.le32(18).le32(12).le32(1).le32(24).le32(12).le32(0x0000FF).le32(22).le32(12).le32(align);
    e.le32(82).le32(104).le32(1).le32(std::uint32_t(height)).le32(0).le32(0).le32(0).le32(400);
    e.fill(8, 0);
    for (std::size_t i = 0; i < 32; ++i) e.le16(i < face.size() ? unsigned(face[i]) : 0);
    e.le32(37).le32(12).le32(1);
    e.le32(84).le32(80).fill(16, 0).le32(1).le32(0).le32(0);
    e.le32(std::uint32_t(x)).le32(std::uint32_t(y)).le32(2).le32(76).le32(0).fill(16, 0).le32(0);
    e.le16('H').le16('i');
    e.le32(14).le32(20).le32(0).le32(16).le32(20);
    return e.v;
}

} // namespace

TEST(MetafileText, BothKindsDrawTheNamedOrNearestFontWhereTheAlignmentSays) {
    if (FindFont({}).file.empty()) GTEST_SKIP() << "no font installed at all";
    const struct {
        std::string face;
        unsigned align; // 0 top-left, 24 | 6 baseline-centre, 8 | 2 bottom-right
        int x, y;
    } cases[] = {{"DejaVu Sans", 0, 5, 5},
                 {"DejaVu Serif", 24 | 6, 40, 30},
                 {"NoSuchFaceAnywhere", 8 | 2, 75, 38}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.face);
        CFontRaster raster;
        ASSERT_TRUE(raster.Open({c.face, false, false}, 20));
        const int width = raster.LineWidth("Hi"), pad = 20;
        TextMask mask{
            width + 2 * pad, raster.LineHeight(),
            std::vector<std::uint8_t>(std::size_t((width + 2 * pad) * raster.LineHeight()))};
        raster.DrawLine("Hi", pad, raster.Ascent(), mask);
        int left = c.x, top = c.y;
        if (c.align & 2) left -= (c.align & 6) == 6 ? width / 2 : width;
        if ((c.align & 24) == 24)
            top -= raster.Ascent();
        else if (c.align & 8)
            top -= raster.LineHeight();
        int ink = 0;
        for (const auto& file :
             {Wmf(c.face, -20, c.align, c.x, c.y), Emf(c.face, -20, c.align, c.x, c.y)}) {
            CSource source(file.data(), file.size());
            const ReadResult r = RenderMetafile(source);
            ASSERT_TRUE(r.Ok());
            ASSERT_EQ(r.width, kW);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const int mx = x - left + pad, my = y - top;
                    const int a = mx >= 0 && my >= 0 && mx < mask.width && my < mask.height
                                      ? mask.At(mx, my)
                                      : 0;
                    ink += a > 0;
                    const std::uint8_t* p = &r.pixels[(std::size_t(y) * kW + std::size_t(x)) * 3];
                    ASSERT_EQ(p[0], (128 * (255 - a) + 255 * a + 127) / 255) << x << "," << y;
                    ASSERT_EQ(p[1], (128 * (255 - a) + 127) / 255) << x << "," << y;
                }
        }
        EXPECT_GT(ink, 40);
    }
}
