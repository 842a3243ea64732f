#include "core/document/CanvasModel.h"
#include "core/document/ClipboardCommands.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

// A text committed across the tile's edges continues at the opposite edges, and the
// commit is one undo step that brings the text back.
TEST(TextPlacement, CommitWrapsAcrossTheEdgesAndUndoesAsOneStep) {
    test::TempFolder folder;
    const int w = 20, h = 16;
    for (auto [x, y] : {std::pair{17, 13}, {-3, -2}, {4, 5}, {2 * w + 1, -h - 1}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        CDIBSection2 original;
        test::MakePatternPicture(original, w, h, 3);
        CCanvasModel model;
        model.Attach(&original, nullptr, 0, 0);
        model.CreateUndoHistory(3);
        CDIBSection2 text;
        test::MakePatternPicture(text, 6, 5, 9);
        text.SetAlpha(255);
        CDIBSection2 placed;
        placed.Copy(&text);
        model.PlaceText(std::move(placed), 0, 0, CTextSettings{});
        ASSERT_TRUE(model.MoveText(x, y));
        EXPECT_EQ(model.TextRect(), (CRect{x, y, x + 6, y + 5}));
        ASSERT_TRUE(CombineWithImage(model));
        EXPECT_FALSE(model.HasText());
        const CDIBSection2& image = model.WorkingImage();
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int tx = ((i - x) % w + w) % w, ty = ((j - y) % h + h) % h;
                const bool covered = tx < 6 && ty < 5;
                const std::uint8_t* got = image.GetRow(j) + i * 4;
                const std::uint8_t* want =
                    covered ? text.GetRow(ty) + tx * 4 : original.GetRow(j) + i * 4;
                ASSERT_EQ(std::memcmp(got, want, 3), 0) << i << "," << j;
            }
        ASSERT_EQ(model.Undo(), 0);
        EXPECT_TRUE(model.HasText());
        EXPECT_TRUE(test::SamePixels(model.WorkingImage(), original));
    }
}
