#include "core/document/CanvasModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

namespace {

struct Canvas {
    Canvas(int w, int h) {
        test::MakePatternPicture(original, w, h, 31);
        model.Attach(&original, nullptr, 0, 0);
        model.CreateUndoHistory(3);
    }
    test::TempFolder folder;
    CDIBSection2 original;
    CCanvasModel model;
};

// All four bytes of picture row y, column x (top-down).
bool SamePixel(const CDIBSection2& a, int ax, int ay, const CDIBSection2& b, int bx, int by) {
    return std::memcmp(a.GetRow(ay) + ax * 4, b.GetRow(by) + bx * 4, 4) == 0;
}

CDIBSection2 Copy(const CDIBSection2& pic) {
    CDIBSection2 out;
    out.Copy(&pic);
    return out;
}

} // namespace

TEST(FloatingSelection, ImageRectanglesTurnIntoMemoryRows) {
    Canvas c(50, 40);
    EXPECT_EQ(c.model.ToMemoryRows(CRect{3, 5, 13, 12}), (CRect{3, 28, 13, 35}));
}

TEST(FloatingSelection, TakingAFloatCopiesTheBandWithoutChangingTheImage) {
    Canvas c(50, 40);
    const CDIBSection2 start = Copy(c.model.WorkingImage());
    ASSERT_TRUE(c.model.TakeFloat(CRect{30, 25, 10, 5})); // dragged up and left
    EXPECT_EQ(c.model.FloatRect(), (CRect{10, 5, 30, 25}));
    EXPECT_TRUE(test::SamePixels(c.model.FloatBackup(), c.model.FloatImage()));
    for (int y : {0, 9, 19})
        for (int x : {0, 11, 19})
            EXPECT_TRUE(SamePixel(c.model.FloatImage(), x, y, start, 10 + x, 5 + y));
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));
    EXPECT_FALSE(c.model.unsavedChanges);

    // Merging it back where it was leaves the picture as it was.
    EXPECT_TRUE(c.model.MergeFloat());
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));
}

TEST(FloatingSelection, ABandPastTheEdgeFloatsOverThePixelsItTook) {
    Canvas c(50, 40);
    ASSERT_TRUE(c.model.TakeFloat(CRect{-6, -4, 8, 10}));
    EXPECT_EQ(c.model.FloatRect(), (CRect{0, 0, 8, 10}));
    EXPECT_TRUE(SamePixel(c.model.FloatImage(), 0, 0, c.model.WorkingImage(), 0, 0));
    EXPECT_TRUE(SamePixel(c.model.FloatImage(), 7, 9, c.model.WorkingImage(), 7, 9));
    EXPECT_FALSE(c.model.TakeFloat(CRect{60, 0, 70, 10}));
    EXPECT_FALSE(c.model.TakeFloat(CRect{5, 5, 5, 9}));
}

TEST(FloatingSelection, TheFloatToolMergesTheCropToolDiscards) {
    Canvas c(40, 40);
    c.model.TakeFloat(CRect{0, 0, 10, 10});
    c.model.FinishFloatTracking(CRect{20, 20, 30, 30}); // moved
    const CDIBSection2 moved = Copy(c.model.FloatImage());
    c.model.FloatToolPress();
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_TRUE(SamePixel(c.model.WorkingImage(), 25, 22, moved, 5, 2));
    EXPECT_TRUE(c.model.CanUndo());

    const CDIBSection2 merged = Copy(c.model.WorkingImage());
    c.model.TakeFloat(CRect{0, 0, 10, 10});
    c.model.FinishFloatTracking(CRect{20, 20, 30, 30});
    c.model.CropToolPress();
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_TRUE(c.model.FloatBackup().IsEmpty());
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), merged));
}

TEST(FloatingSelection, ResizingRescalesTheBackup) {
    Canvas c(10, 10);
    // A float of two pixels, 0 and 100 in every byte.
    c.model.FloatImage().Create(2, 1, 32, true);
    std::memset(c.model.FloatImage().GetRow(0) + 4, 100, 4);
    c.model.FloatBackup().Copy(&c.model.FloatImage());

    ASSERT_TRUE(c.model.FinishFloatTracking(CRect{1, 2, 5, 3}));
    ASSERT_EQ(c.model.FloatImage().GetWidth(), 4);
    const std::uint8_t* row = c.model.FloatImage().GetRow(0);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[4], 50);
    EXPECT_EQ(row[8], 100);
    EXPECT_EQ(row[12], 100);
    EXPECT_EQ(row[15], 100); // alpha too
    EXPECT_EQ(c.model.FloatRect(), (CRect{1, 2, 5, 3}));

    // Back to the first size: from the untouched backup, exactly.
    c.model.FinishFloatTracking(CRect{0, 0, 2, 1});
    EXPECT_TRUE(test::SamePixels(c.model.FloatImage(), c.model.FloatBackup()));
}

TEST(FloatingSelection, ShrinkingAveragesAndKeepsTheBackup) {
    Canvas c(10, 10);
    c.model.TakeFloat(CRect{0, 0, 8, 8});
    const CDIBSection2 backup = Copy(c.model.FloatBackup());
    c.model.FinishFloatTracking(CRect{0, 0, 3, 5});
    EXPECT_EQ(c.model.FloatImage().GetWidth(), 3);
    EXPECT_EQ(c.model.FloatImage().GetHeight(), 5);
    EXPECT_TRUE(test::SamePixels(c.model.FloatBackup(), backup));
    // A move keeps the rescaled pixels.
    const CDIBSection2 scaled = Copy(c.model.FloatImage());
    c.model.FinishFloatTracking(CRect{4, 4, 7, 9});
    EXPECT_TRUE(test::SamePixels(c.model.FloatImage(), scaled));
}

TEST(FloatingSelection, FinishCropNeedsFivePixels) {
    Canvas c(60, 50);
    c.original.SwapOut();
    const CDIBSection2 start = Copy(c.model.WorkingImage());
    EXPECT_FALSE(c.model.CanFinishCrop());
    c.model.SetCropRect(CRect{20, 10, 16, 40}); // 4 wide
    ASSERT_TRUE(c.model.CanFinishCrop());
    EXPECT_FALSE(c.model.FinishCrop());
    EXPECT_TRUE(c.model.cropMode);
    EXPECT_FALSE(c.model.CanUndo());
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));

    c.model.FinishCropTracking(CRect{30, 40, 5, 12});
    ASSERT_TRUE(c.model.FinishCrop());
    EXPECT_FALSE(c.model.cropMode);
    ASSERT_EQ(c.model.WorkingImage().GetWidth(), 25);
    ASSERT_EQ(c.model.WorkingImage().GetHeight(), 28);
    EXPECT_EQ(c.model.geometry.ImageWidth(), 25);
    EXPECT_TRUE(SamePixel(c.model.WorkingImage(), 0, 0, start, 5, 12));
    EXPECT_TRUE(SamePixel(c.model.WorkingImage(), 24, 27, start, 29, 39));
    EXPECT_TRUE(test::SamePixels(c.model.BeforeImage(), c.model.WorkingImage()));
    // The Original follows, kept on disk.
    EXPECT_TRUE(c.original.IsSwappedOut());
    c.original.SwapIn();
    EXPECT_TRUE(test::SamePixels(c.original, c.model.WorkingImage()));

    // Undo brings back the size and the pending crop.
    EXPECT_EQ(c.model.Undo(), 1);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));
    EXPECT_TRUE(c.model.cropMode);
    EXPECT_EQ(c.model.cropRect, (CRect{5, 12, 30, 40}));
}

TEST(FloatingSelection, DoubleClickActsOnTextThenFloatThenCrop) {
    Canvas c(20, 20);
    using A = CCanvasModel::DoubleClickAction;
    EXPECT_EQ(c.model.DoubleClickActionFor(0), A::None);
    c.model.SetCropRect(CRect{0, 0, 10, 10});
    EXPECT_EQ(c.model.DoubleClickActionFor(0), A::FinishCrop);
    c.model.TakeFloat(CRect{0, 0, 5, 5});
    EXPECT_EQ(c.model.DoubleClickActionFor(0), A::MergeFloat);
    test::MakePatternPicture(c.model.TextImage(), 3, 3);
    EXPECT_EQ(c.model.DoubleClickActionFor(0), A::EditText);
    EXPECT_EQ(c.model.DoubleClickActionFor(26), A::None);
}
