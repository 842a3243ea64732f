// Curved shapes of Windows and enhanced metafiles: the same drawing in both kinds of
// file gives the same pixels.
#include "CodecTestHelpers.h"

#include <gtest/gtest.h>

#include <array>

using namespace quiltara;
using namespace quiltara::test;

namespace {

// kClipped: an ellipse drawn inside SaveDC, a clip to the left half, RestoreDC, then a
// rectangle (30,30)-(38,38) drawn without the clip.
enum Shape { kEllipse, kPie, kChord, kArc, kBezier, kClipped };

struct Box {
    int left, top, right, bottom;
};

// A 40 x 40 picture: a brush (red, or none) and a pen (blue, or none) selected, then
// the shape.
std::vector<std::uint8_t> Emf(Shape shape, Box box, int xs, int ys, int xe, int ye, bool fill);

// Windows records hold no Bezier curves: a converted file carries the enhanced metafile
// in comment records, here in two chunks after a record the reader must not draw.
std::vector<std::uint8_t> WmfCarrying(const std::vector<std::uint8_t>& emf) {
    Bytes w;
    w.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(40).le16(40).le16(96).le32(0).le16(0);
    w.le16(1).le16(9).le16(0x300).le32(0).le16(2).le32(0).le16(0);
    w.le32(7).le16(0x041B).le16(40).le16(40).le16(0).le16(0); // a rectangle over everything
    const std::size_t half = emf.size() / 2 & ~std::size_t(1);
    for (std::size_t at = 0; at < emf.size(); at = half) {
        const std::size_t n = at ? emf.size() - at : half;
        w.le32(std::uint32_t(3 + (4 + 34 + n) / 2)).le16(0x0626).le16(0x000F);
        w.le16(unsigned(34 + n)).le32(0x43464D57).le32(1).le32(0x10000).le16(0).le32(0);
        w.le32(2).le32(std::uint32_t(n)).le32(std::uint32_t(emf.size() - at - n));
        w.le32(std::uint32_t(emf.size()));
        w.v.insert(w.v.end(), emf.begin() + std::ptrdiff_t(at),
                   emf.begin() + std::ptrdiff_t(at + n));
        if (at) break;
    }
    w.le32(3).le16(0);
    return w.v;
}

std::vector<std::uint8_t> Wmf(Shape shape, Box box, int xs, int ys, int xe, int ye, bool fill) {
    if (shape == kBezier) return WmfCarrying(Emf(shape, box, xs, ys, xe, ye, fill));
    Bytes w;
    w.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(40).le16(40).le16(96).le32(0).le16(0);
    w.le16(1).le16(9).le16(0x300).le32(0).le16(2).le32(0).le16(0);
    w.le32(7).le16(0x02FC).le16(fill ? 0 : 1).le32(0x0000FF).le16(0); // brush 0
    w.le32(4).le16(0x012D).le16(0);
    w.le32(8).le16(0x02FA).le16(fill ? 5 : 0).le32(1).le32(0xFF0000); // pen 1
    w.le32(4).le16(0x012D).le16(1);
    const unsigned l = unsigned(box.left), t = unsigned(box.top), r = unsigned(box.right),
                   b = unsigned(box.bottom);
    if (shape == kClipped) w.le32(3).le16(0x001E).le32(7).le16(0x0416).le16(40).le16(20).le32(0);
    if (shape == kEllipse || shape == kClipped) {
        w.le32(7).le16(0x0418).le16(b).le16(r).le16(t).le16(l);
    } else {
        const unsigned function = shape == kPie ? 0x081A : shape == kChord ? 0x0830 : 0x0817;
        w.le32(11).le16(function).le16(unsigned(ye)).le16(unsigned(xe)).le16(unsigned(ys));
        w.le16(unsigned(xs)).le16(b).le16(r).le16(t).le16(l);
    }
    if (shape == kClipped)
        w.le32(4).le16(0x0127).le16(0xFFFF).le32(7).le16(0x041B).le16(38).le16(38).le16(30).le16(
            30);
    w.le32(3).le16(0);
    return w.v;
}

std::vector<std::uint8_t> Emf(Shape shape, Box box, int xs, int ys, int xe, int ye, bool fill) {
    Bytes e;
    e.le32(1).le32(88).le32(0).le32(0).le32(39).le32(39).fill(16, 0).str(" EMF");
    e.le32(0x10000).le32(0).le32(0).fill(32, 0);
    e.le32(39).le32(24).le32(1).le32(fill ? 0 : 1).le32(0x0000FF).le32(0); // brush 1
    e.le32(37).le32(12).le32(1);
    e.le32(38).le32(28).le32(2).le32(fill ? 5 : 0).le32(1).le32(0).le32(0xFF0000); // pen 2
    e.le32(37).le32(12).le32(2);
    auto u = [](int v) { return std::uint32_t(v); };
    if (shape == kBezier) {
        e.le32(85).le32(8 + 16 + 4 + 4 * 4).fill(16, 0).le32(4);
        e.le16(u(xs)).le16(u(ys)).le16(u(box.left)).le16(u(box.top));
        e.le16(u(box.right)).le16(u(box.bottom)).le16(u(xe)).le16(u(ye));
    } else if (shape == kEllipse || shape == kClipped) {
        if (shape == kClipped)
            e.le32(33).le32(8).le32(30).le32(24).le32(0).le32(0).le32(20).le32(40);
        e.le32(42).le32(24).le32(u(box.left)).le32(u(box.top)).le32(u(box.right));
        e.le32(u(box.bottom));
    } else {
        e.le32(shape == kPie ? 47 : shape == kChord ? 46 : 45).le32(40);
        e.le32(u(box.left)).le32(u(box.top)).le32(u(box.right)).le32(u(box.bottom));
        e.le32(u(xs)).le32(u(ys)).le32(u(xe)).le32(u(ye));
    }
    if (shape == kClipped)
        e.le32(34)
            .le32(12)
            .le32(std::uint32_t(-1))
            .le32(43)
            .le32(24)
            .le32(30)
            .le32(30)
            .le32(38)
            .le32(38);
    e.le32(14).le32(20).le32(0).le32(16).le32(20);
    return e.v;
}

struct Probe {
    int x, y;
    char colour;  // 'r' brush, 'b' pen, 'g' background
    int near = 0; // some pixel within this distance has the colour
};

} // namespace

TEST(MetafileShapes, EllipsesPiesChordsArcsBeziersAndClippingInBothKinds) {
    const Box whole{0, 0, 40, 40};
    const struct {
        Shape shape;
        Box box;
        int xs, ys, xe, ye;
        bool fill, wmfToo;
        std::vector<Probe> probes;
    } cases[] = {
        {kEllipse,
         {0, 0, 40, 20},
         0,
         0,
         0,
         0,
         true,
         true,
         {{20, 10, 'r'}, {1, 1, 'g'}, {20, 30, 'g'}}},
        // From the ray to the right counterclockwise to the ray upwards.
        {kPie, whole, 40, 20, 20, 0, true, true, {{30, 10, 'r'}, {10, 10, 'g'}, {30, 30, 'g'}}},
        {kChord, whole, 40, 20, 20, 0, true, true, {{35, 8, 'r'}, {30, 15, 'g'}, {10, 10, 'g'}}},
        {kArc,
         whole,
         40,
         20,
         20,
         0,
         false,
         true,
         {{34, 6, 'b', 1}, {20, 20, 'g'}, {6, 34, 'g'}, {30, 10, 'g'}}},
        // Start (0,39), controls (0,0) and (39,0), end (39,39): through (19.5, 9.75).
        // The Windows metafile carries it as an enhanced one.
        {kBezier,
         {0, 0, 39, 0},
         0,
         39,
         39,
         39,
         false,
         true,
         {{20, 10, 'b', 1}, {20, 30, 'g'}, {20, 2, 'g'}}},
        // The clip keeps the ellipse in the left half; after RestoreDC it is gone.
        {kClipped, whole, 0, 0, 0, 0, true, true, {{10, 20, 'r'}, {30, 20, 'g'}, {34, 34, 'r'}}},
    };
    for (const auto& c : cases) {
        std::vector<std::vector<std::uint8_t>> files = {
            Emf(c.shape, c.box, c.xs, c.ys, c.xe, c.ye, c.fill)};
        if (c.wmfToo) files.push_back(Wmf(c.shape, c.box, c.xs, c.ys, c.xe, c.ye, c.fill));
        for (std::size_t kind = 0; kind < files.size(); ++kind) {
            CSource source(files[kind].data(), files[kind].size());
            const ReadResult r = RenderMetafile(source);
            ASSERT_TRUE(r.Ok());
            ASSERT_EQ(r.width, 40);
            ASSERT_EQ(r.height, 40);
            EXPECT_FALSE(r.Partial());
            auto is = [&](int x, int y, char colour) {
                if (x < 0 || y < 0 || x >= 40 || y >= 40) return false;
                const std::uint8_t* p = &r.pixels[(std::size_t(y) * 40 + std::size_t(x)) * 3];
                const std::uint8_t want[3][3] = {{255, 0, 0}, {0, 0, 255}, {128, 128, 128}};
                const int i = colour == 'r' ? 0 : colour == 'b' ? 1 : 2;
                return p[0] == want[i][0] && p[1] == want[i][1] && p[2] == want[i][2];
            };
            for (const Probe& probe : c.probes) {
                bool found = false;
                for (int dy = -probe.near; dy <= probe.near; ++dy)
                    for (int dx = -probe.near; dx <= probe.near; ++dx)
                        found = found || is(probe.x + dx, probe.y + dy, probe.colour);
                EXPECT_TRUE(found) << "shape " << c.shape << (kind ? " wmf" : " emf") << " at "
                                   << probe.x << "," << probe.y << " want " << probe.colour;
            }
        }
    }
}

// A hatched brush (diagonal cross) fills with its lines over the background colour,
// or over what was there when the background mode is transparent.
TEST(MetafileShapes, HatchedBrushesInBothKinds) {
    for (bool transparent : {false, true}) {
        Bytes w; // WMF: background green; hatched red brush 5; rectangle (0,0)-(16,16)
        w.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(16).le16(16).le16(96).le32(0).le16(0);
        w.le16(1).le16(9).le16(0x300).le32(0).le16(2).le32(0).le16(0);
        w.le32(5).le16(0x0201).le32(0x00FF00).le32(4).le16(0x0102).le16(transparent ? 1 : 2);
        w.le32(7).le16(0x02FC).le16(2).le32(0x0000FF).le16(5).le32(4).le16(0x012D).le16(0);
        w.le32(8).le16(0x02FA).le16(5).le32(0).le32(0).le32(4).le16(0x012D).le16(1);
        w.le32(7).le16(0x041B).le16(16).le16(16).le16(0).le16(0).le32(3).le16(0);
        Bytes e; // the same as an enhanced metafile
        e.le32(1).le32(88).le32(0).le32(0).le32(15).le32(15).fill(16, 0).str(" EMF");
        e.le32(0x10000).le32(0).le32(0).fill(32, 0);
        e.le32(25).le32(12).le32(0x00FF00).le32(18).le32(12).le32(transparent ? 1 : 2);
        e.le32(39).le32(24).le32(1).le32(2).le32(0x0000FF).le32(5).le32(37).le32(12).le32(1);
        e.le32(37).le32(12).le32(0x80000008); // the null pen
        e.le32(43).le32(24).le32(0).le32(0).le32(16).le32(16).le32(14).le32(20).le32(0);
        e.le32(16).le32(20);
        for (const auto* file : {&w.v, &e.v}) {
            CSource source(file->data(), file->size());
            const ReadResult r = RenderMetafile(source);
            ASSERT_TRUE(r.Ok());
            ASSERT_EQ(r.width, 16);
            auto at = [&](int x, int y) {
                const std::uint8_t* p = &r.pixels[(std::size_t(y) * 16 + std::size_t(x)) * 3];
                return std::array<int, 3>{p[0], p[1], p[2]};
            };
            const std::array<int, 3> red{255, 0, 0}, green{0, 255, 0}, gray{128, 128, 128};
            EXPECT_EQ(at(3, 3), red); // on the "\\" diagonal
            EXPECT_EQ(at(3, 4), red); // on the "/" diagonal
            EXPECT_EQ(at(2, 4), transparent ? gray : green) << (file == &w.v ? "wmf" : "emf");
        }
    }
}
