#include "core/image/ProgramIcon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace quiltara;

namespace {
const std::uint8_t* Pixel(const std::vector<std::uint8_t>& icon, int size, int x, int y) {
    return &icon[(std::size_t(y) * size + x) * 4];
}
} // namespace

// The same drawing at every size: rounded (transparent) corners, an opaque body that is
// the same turned half round (the tiles repeat diagonally), and a large copy averaged
// down to a small size matches the small one.
TEST(ProgramIcon, OneDrawingAtEverySize) {
    const int big = 256;
    const std::vector<std::uint8_t> large = DrawProgramIcon(big);
    ASSERT_EQ(large.size(), std::size_t(big) * big * 4);
    for (int size : {16, 22, 32, 48, 128}) {
        SCOPED_TRACE(size);
        const std::vector<std::uint8_t> icon = DrawProgramIcon(size);
        ASSERT_EQ(icon.size(), std::size_t(size) * size * 4);
        EXPECT_EQ(Pixel(icon, size, 0, 0)[3], 0);
        EXPECT_EQ(Pixel(icon, size, size - 1, size - 1)[3], 0);
        EXPECT_EQ(Pixel(icon, size, size / 2, size / 2)[3], 255);
        int worstTurn = 0;
        long totalDifference = 0;
        const int block = big / size;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint8_t* p = Pixel(icon, size, x, y);
                const std::uint8_t* turned = Pixel(icon, size, size - 1 - x, size - 1 - y);
                for (int c = 0; c < 4; ++c)
                    worstTurn = std::max(worstTurn, std::abs(p[c] - turned[c]));
                if (256 % size) continue;
                // Premultiplied averages, as the eye sees the icon on a dark panel.
                for (int c = 0; c < 3; ++c) {
                    long sum = 0;
                    for (int by = 0; by < block; ++by)
                        for (int bx = 0; bx < block; ++bx) {
                            const std::uint8_t* q =
                                Pixel(large, big, x * block + bx, y * block + by);
                            sum += q[c] * q[3] / 255;
                        }
                    totalDifference += std::abs(sum / (block * block) - p[c] * p[3] / 255);
                }
            }
        EXPECT_LE(worstTurn, 2);
        if (256 % size == 0) {
            EXPECT_LT(double(totalDifference) / (size * size * 3), 3.0);
        }
    }
    EXPECT_TRUE(DrawProgramIcon(0).empty());
    EXPECT_TRUE(DrawProgramIcon(5000).empty());
}

TEST(ProgramIcon, SvgDrawsTheSameShapes) {
    const std::string svg = ProgramIconSvg();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    auto count = [&svg](const std::string& what) {
        int n = 0;
        for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1))
            ++n;
        return n;
    };
    // The frame and four tiles, and two circles in each of the tiles' sixteen corners,
    // each clipped to its tile.
    EXPECT_EQ(count("<rect x") - count("<clipPath"), 5);
    EXPECT_EQ(count("<circle"), 32);
    EXPECT_EQ(count("clip-path=\"url(#tile"), 32);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}
