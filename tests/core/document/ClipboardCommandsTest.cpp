#include "core/document/ClipboardCommands.h"
#include "core/document/CanvasModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quiltara;

namespace {

struct Canvas {
    Canvas(int w, int h) {
        test::MakePatternPicture(original, w, h, 11);
        model.Attach(&original, nullptr, 0, 0);
        model.CreateUndoHistory(3);
    }
    test::TempFolder folder;
    CDIBSection2 original;
    CCanvasModel model;
};

// Colour bytes (blue, green, red) of picture row y, column x, top-down.
bool SameColour(const CDIBSection2& a, int ax, int ay, const CDIBSection2& b, int bx, int by) {
    return std::memcmp(a.GetRow(ay) + ax * 4, b.GetRow(by) + bx * 4, 3) == 0;
}

bool AllAlpha(const CDIBSection2& pic, int value) {
    for (int y = 0; y < pic.GetHeight(); ++y)
        for (int x = 0; x < pic.GetWidth(); ++x)
            if (pic.GetRow(y)[x * 4 + 3] != value) return false;
    return true;
}

CDIBSection2 Picture(int w, int h, std::uint32_t seed) {
    CDIBSection2 pic;
    test::MakePatternPicture(pic, w, h, seed);
    return pic;
}

} // namespace

TEST(ClipboardCommands, PastingTwiceMergesTheFirstFloat) {
    Canvas c(200, 200);
    const CDIBSection2 first = Picture(50, 40, 21), second = Picture(30, 20, 22);
    CDIBSection2 start;
    start.Copy(&c.model.WorkingImage());

    ASSERT_TRUE(Paste(c.model, first));
    EXPECT_EQ(c.model.floatX, 75);
    EXPECT_EQ(c.model.floatY, 80);
    EXPECT_TRUE(AllAlpha(c.model.FloatImage(), 255));
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start)); // a float is not yet the image

    ASSERT_TRUE(Paste(c.model, second));
    EXPECT_EQ(c.model.floatX, 85);
    EXPECT_EQ(c.model.floatY, 90);
    EXPECT_EQ(c.model.FloatImage().GetWidth(), 30);
    EXPECT_TRUE(SameColour(c.model.FloatBackup(), 3, 4, second, 3, 4));
    // The first float now is part of the image, at the place it floated.
    for (int y : {0, 17, 39})
        for (int x : {0, 25, 49}) {
            EXPECT_TRUE(SameColour(c.model.WorkingImage(), 75 + x, 80 + y, first, x, y));
            EXPECT_EQ(c.model.WorkingImage().GetRow(80 + y)[(75 + x) * 4 + 3], 255);
        }
    EXPECT_TRUE(SameColour(c.model.WorkingImage(), 74, 80, start, 74, 80));
    EXPECT_TRUE(test::SamePixels(c.model.BeforeImage(), c.model.WorkingImage()));
    EXPECT_TRUE(c.model.unsavedChanges);

    // Undoing the merge gives the first float back rather than losing it.
    c.model.Undo();
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));
    ASSERT_TRUE(c.model.HasFloat());
    EXPECT_EQ(c.model.FloatImage().GetWidth(), 50);
    EXPECT_EQ(c.model.floatX, 75);
}

TEST(ClipboardCommands, ALargerPictureFloatsAtANegativePosition) {
    Canvas c(200, 200);
    const CDIBSection2 wide = Picture(300, 100, 5);
    ASSERT_TRUE(Paste(c.model, wide));
    EXPECT_EQ(c.model.floatX, -50);
    EXPECT_EQ(c.model.floatY, 50);
    EXPECT_EQ(c.model.FloatRect(), (CRect{-50, 50, 250, 150}));
    ASSERT_TRUE(CombineWithImage(c.model));
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_TRUE(SameColour(c.model.WorkingImage(), 0, 50, wide, 50, 0));
    EXPECT_TRUE(SameColour(c.model.WorkingImage(), 199, 149, wide, 249, 99));
}

TEST(ClipboardCommands, AnEmptyClipboardPictureChangesNothing) {
    Canvas c(20, 20);
    c.model.FloatImage() = Picture(4, 4, 1);
    CDIBSection2 empty;
    empty.MakeEmpty();
    EXPECT_FALSE(Paste(c.model, empty));
    EXPECT_EQ(c.model.FloatImage().GetWidth(), 4); // the float was not merged either
    EXPECT_EQ(PasteAsOriginal(c.model, empty), "");
    CDIBSection2 original;
    EXPECT_FALSE(MakeOriginalFromClipboard(original, empty));
}

TEST(ClipboardCommands, PasteAsOriginalSaysTheSize) {
    Canvas c(64, 48);
    c.original.SwapOut();
    const CDIBSection2 clip = Picture(10, 20, 3);
    test::MessageCollector messages;
    EXPECT_EQ(PasteAsOriginal(c.model, clip),
              "The image (10,20) from the clipboard was set as Original of current image.");
    EXPECT_TRUE(messages.messages.empty());
    // Kept on disk as before, now with the clipboard's picture.
    EXPECT_TRUE(c.original.IsEmpty());
    c.original.SwapIn();
    ASSERT_EQ(c.original.GetWidth(), 10);
    ASSERT_EQ(c.original.GetHeight(), 20);
    EXPECT_TRUE(SameColour(c.original, 7, 13, clip, 7, 13));
    EXPECT_EQ(c.model.WorkingImage().GetWidth(), 64); // the canvas keeps its own picture

    CCanvasModel detached;
    EXPECT_EQ(PasteAsOriginal(detached, clip), "");
}

TEST(ClipboardCommands, CopyCutAndCopyAll) {
    Canvas c(30, 20);
    EXPECT_FALSE(CanCopyFloat(c.model));
    EXPECT_TRUE(CopyFloat(c.model).IsEmpty());

    const CDIBSection2 all = CopyAll(c.model);
    ASSERT_EQ(all.GetWidth(), 30);
    EXPECT_TRUE(SameColour(all, 29, 19, c.model.WorkingImage(), 29, 19));
    EXPECT_TRUE(AllAlpha(all, 255));

    c.model.FloatImage() = Picture(5, 6, 8);
    c.model.FloatBackup().Copy(&c.model.FloatImage());
    ASSERT_TRUE(CanCopyFloat(c.model));
    const CDIBSection2 copied = CopyFloat(c.model);
    EXPECT_TRUE(SameColour(copied, 4, 5, c.model.FloatImage(), 4, 5));
    EXPECT_TRUE(c.model.HasFloat());
    const CDIBSection2 cut = CutFloat(c.model);
    EXPECT_TRUE(SameColour(cut, 2, 1, copied, 2, 1));
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_TRUE(c.model.FloatBackup().IsEmpty());
}

TEST(ClipboardCommands, SelectAllFloatsTheWholeImage) {
    Canvas c(25, 15);
    ASSERT_TRUE(SelectAll(c.model));
    EXPECT_TRUE(test::SamePixels(c.model.FloatImage(), c.model.WorkingImage()));
    EXPECT_TRUE(test::SamePixels(c.model.FloatBackup(), c.model.WorkingImage()));
    EXPECT_EQ(c.model.FloatRect(), (CRect{0, 0, 25, 15}));
}

TEST(ClipboardCommands, DuplicateMakesANewOriginalFromCopyAll) {
    Canvas c(40, 30);
    CDIBSection2 newOriginal;
    ASSERT_TRUE(MakeOriginalFromClipboard(newOriginal, CopyAll(c.model)));
    ASSERT_EQ(newOriginal.GetWidth(), 40);
    EXPECT_TRUE(SameColour(newOriginal, 13, 17, c.model.WorkingImage(), 13, 17));
    EXPECT_TRUE(AllAlpha(newOriginal, 255));
    CCanvasModel second;
    second.Attach(&newOriginal, nullptr, 0, 0);
    EXPECT_TRUE(test::SamePixels(second.WorkingImage(), newOriginal));
}

TEST(ClipboardCommands, SetAsOriginalCopiesAndSwapsOut) {
    Canvas c(40, 30);
    Paste(c.model, Picture(10, 10, 4));
    CombineWithImage(c.model);
    ASSERT_TRUE(SetAsOriginal(c.model));
    EXPECT_TRUE(c.original.IsSwappedOut());
    c.original.SwapIn();
    EXPECT_TRUE(test::SamePixels(c.original, c.model.WorkingImage()));
}

TEST(ClipboardCommands, DeleteAndCombineNeedAFloat) {
    Canvas c(20, 20);
    EXPECT_FALSE(DeleteFloat(c.model));
    EXPECT_FALSE(CombineWithImage(c.model));
    EXPECT_FALSE(c.model.unsavedChanges);
    EXPECT_FALSE(c.model.CanUndo());
    Paste(c.model, Picture(4, 4, 2));
    EXPECT_TRUE(DeleteFloat(c.model));
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_FALSE(c.model.CanUndo()); // deleting a float is no edit of the picture
}
