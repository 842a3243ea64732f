#include "core/document/UndoHistory.h"
#include "core/document/CanvasModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace quiltara;

namespace {

// A canvas attached to a patterned Original, with a history of the given depth whose
// step files go to the test's own folder.
struct Canvas {
    explicit Canvas(int w, int h, int levels = 3, std::uint32_t seed = 1,
                    const std::string& tempDir = {}) {
        test::MakePatternPicture(original, w, h, seed);
        model.Attach(&original, nullptr, 0, 0);
        model.CreateUndoHistory(levels, tempDir);
    }
    test::TempFolder folder;
    CDIBSection2 original;
    CCanvasModel model;
};

// A brush stroke: a growing edit that paints the rectangle (memory rows) of the
// working image and grows by it; the step is taken from the before-image at the end.
void Stroke(CCanvasModel& m, CRect r, std::uint8_t value) {
    CCanvasEdit edit = m.BeginEditGrowing();
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            std::uint8_t* p = edit.Image().PixelAt(x, y);
            p[0] = value, p[1] = std::uint8_t(value + x), p[2] = std::uint8_t(value + y);
        }
    edit.Extend(r);
}

// A whole-picture filter: changes every pixel.
void Filter(CCanvasModel& m, std::uint8_t add) {
    CCanvasEdit edit = m.BeginEdit();
    std::uint8_t* p = edit.Image().GetBits();
    for (std::size_t i = 0; i < edit.Image().PixelBytes(); ++i) p[i] = std::uint8_t(p[i] + add);
}

// A whole-picture operation that changes the size ("Image Size...").
void Resize(CCanvasModel& m, int w, int h, std::uint32_t seed) {
    CCanvasEdit edit = m.BeginEdit();
    test::MakePatternPicture(edit.Image(), w, h, seed);
}

CDIBSection2 Snapshot(const CDIBSection2& pic) {
    CDIBSection2 copy;
    copy.Copy(&pic);
    return copy;
}

std::vector<std::string> TmpFiles(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() == prefix.size() + 9 &&
            name.substr(name.size() - 4) == ".tmp")
            out.push_back(e.path().string());
    }
    return out;
}

} // namespace

TEST(UndoHistory, ThreeLevelsUndoThreeOfFourEdits) {
    Canvas c(40, 30, 3);
    std::vector<CDIBSection2> states;
    states.push_back(Snapshot(c.model.WorkingImage()));
    for (int i = 0; i < 4; ++i) {
        Stroke(c.model, CRect{i * 5, i * 3, i * 5 + 12, i * 3 + 9}, std::uint8_t(40 * i + 7));
        states.push_back(Snapshot(c.model.WorkingImage()));
    }
    EXPECT_TRUE(c.model.unsavedChanges);
    for (int i = 3; i >= 1; --i) {
        ASSERT_TRUE(c.model.CanUndo());
        EXPECT_EQ(c.model.Undo(), 0);
        EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), states[std::size_t(i)])) << i;
        EXPECT_TRUE(test::SamePixels(c.model.BeforeImage(), c.model.WorkingImage()));
    }
    EXPECT_FALSE(c.model.CanUndo());
    EXPECT_EQ(c.model.Undo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), states[1]));
    EXPECT_EQ(c.model.History().RedoCount(), 3u);

    // And forwards again to the last edit.
    for (int i = 2; i <= 4; ++i) {
        ASSERT_TRUE(c.model.CanRedo());
        EXPECT_EQ(c.model.Redo(), 0);
        EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), states[std::size_t(i)])) << i;
    }
    EXPECT_FALSE(c.model.CanRedo());
}

TEST(UndoHistory, AnEditAfterAnUndoClearsRedo) {
    Canvas c(32, 32, 3);
    Stroke(c.model, CRect{0, 0, 8, 8}, 10);
    Stroke(c.model, CRect{4, 4, 20, 20}, 20);
    c.model.Undo();
    ASSERT_TRUE(c.model.CanRedo());
    Stroke(c.model, CRect{10, 10, 12, 30}, 30);
    EXPECT_FALSE(c.model.CanRedo());
    EXPECT_EQ(c.model.History().RedoCount(), 0u);
    const CDIBSection2 now = Snapshot(c.model.WorkingImage());
    EXPECT_EQ(c.model.Redo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), now));
}

TEST(UndoHistory, UndoAcrossASizeChangeRestoresTheSizeAndTheOriginalFollows) {
    Canvas c(40, 30, 3);
    c.original.SwapOut(); // the document keeps its Original on disk
    const CDIBSection2 small = Snapshot(c.model.WorkingImage());
    Resize(c.model, 70, 50, 9);
    const CDIBSection2 big = Snapshot(c.model.WorkingImage());

    EXPECT_EQ(c.model.Undo(), 1);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), small));
    EXPECT_EQ(c.model.geometry.ImageWidth(), 40);
    EXPECT_EQ(c.model.geometry.ImageHeight(), 30);
    c.model.OriginalFollowsWorkingImage();
    EXPECT_TRUE(c.original.IsSwappedOut());
    c.original.SwapIn();
    EXPECT_TRUE(test::SamePixels(c.original, small));
    c.original.SwapOut();

    // Redo brings back all of the larger picture, not only the part the smaller covered.
    EXPECT_EQ(c.model.Redo(), 1);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), big));
    EXPECT_EQ(c.model.geometry.ImageWidth(), 70);
    c.model.OriginalFollowsWorkingImage();
    c.original.SwapIn();
    EXPECT_TRUE(test::SamePixels(c.original, big));
}

TEST(UndoHistory, SmallStrokesStayInMemoryWholePictureStepsGoToDisk) {
    Canvas c(2000, 2000, 3);
    const CDIBSection2 start = Snapshot(c.model.WorkingImage());
    Stroke(c.model, CRect{1000, 500, 1100, 600}, 77);
    CUndoStep* stroke = c.model.History().Step(0);
    ASSERT_NE(stroke, nullptr);
    EXPECT_FALSE(stroke->RegionOnDisk());
    EXPECT_EQ(stroke->RegionBytesInMemory(), 40000u);
    EXPECT_EQ(stroke->region, (CRect{1000, 500, 1100, 600}));
    EXPECT_TRUE(TmpFiles(c.folder.Path(), "und").empty());
    const CDIBSection2 afterStroke = Snapshot(c.model.WorkingImage());

    Filter(c.model, 3);
    CUndoStep* filter = c.model.History().Step(1);
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(filter->RegionOnDisk());
    EXPECT_EQ(filter->RegionBytesInMemory(), 0u);
    const auto und = TmpFiles(c.folder.Path(), "und");
    ASSERT_EQ(und.size(), 1u);
    EXPECT_EQ(und[0], filter->RegionFile());
    EXPECT_EQ(std::filesystem::file_size(und[0]), 8u + 16000000u);

    // The undo of the filter is read straight from the file; its redo step is whole
    // too and goes to an "rdo" file.
    EXPECT_EQ(c.model.Undo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), afterStroke));
    EXPECT_EQ(TmpFiles(c.folder.Path(), "rdo").size(), 1u);
    EXPECT_EQ(filter->RegionBytesInMemory(), 0u);
    EXPECT_EQ(c.model.Undo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));

    // A new edit deletes the redo steps and with them their files.
    Stroke(c.model, CRect{0, 0, 10, 10}, 1);
    EXPECT_TRUE(TmpFiles(c.folder.Path(), "rdo").empty());
}

TEST(UndoHistory, LargeRegionsAreSwappedOutAndComeBackExactly) {
    Canvas c(700, 700, 2);
    const CDIBSection2 start = Snapshot(c.model.WorkingImage());
    Stroke(c.model, CRect{10, 20, 610, 620}, 5); // 1,440,000 bytes
    CUndoStep* step = c.model.History().Step(0);
    EXPECT_TRUE(step->RegionOnDisk());
    EXPECT_EQ(step->RegionBytesInMemory(), 0u);
    EXPECT_EQ(c.model.Undo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), start));
    EXPECT_EQ(step->RegionBytesInMemory(), 0u); // released again after the restore
}

TEST(UndoHistory, HoldUndoKeepsThePictureHeld) {
    Canvas c(48, 40, 3);
    Stroke(c.model, CRect{0, 0, 10, 10}, 50);
    const CDIBSection2 held = Snapshot(c.model.WorkingImage());
    c.model.SetHoldUndo(true);
    EXPECT_TRUE(c.model.HoldUndo());
    EXPECT_FALSE(c.model.CanUndo());
    c.model.unsavedChanges = false;
    Stroke(c.model, CRect{5, 5, 30, 30}, 60);
    Filter(c.model, 9);
    EXPECT_TRUE(c.model.unsavedChanges);
    EXPECT_FALSE(c.model.CanUndo());
    EXPECT_FALSE(c.model.CanRedo());
    const CDIBSection2 edited = Snapshot(c.model.WorkingImage());
    EXPECT_EQ(c.model.Undo(), 0);
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), edited));

    // The history brush reads the held picture meanwhile.
    const int slot = c.model.History().HistorySlot();
    EXPECT_EQ(slot, 0);
    CRect rect;
    const CDIBSection2* image = c.model.History().GetStepImage(slot, rect);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(test::SamePixels(*image, held));
    EXPECT_EQ(rect, (CRect{0, 0, 48, 40}));

    c.model.SetHoldUndo(false);
    ASSERT_TRUE(c.model.CanUndo());
    c.model.Undo();
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), held));
    EXPECT_FALSE(c.model.CanUndo());
}

TEST(UndoHistory, HistoryBrushReadsTheLastSnapshot) {
    Canvas c(30, 30, 2);
    EXPECT_EQ(c.model.History().HistorySlot(), -1);
    const CDIBSection2 start = Snapshot(c.model.WorkingImage());
    Stroke(c.model, CRect{2, 2, 9, 7}, 90);
    Stroke(c.model, CRect{0, 0, 30, 30}, 91);
    Stroke(c.model, CRect{3, 3, 4, 4}, 92); // slot 2 of a ring of three
    EXPECT_EQ(c.model.History().HistorySlot(), 2);
    Stroke(c.model, CRect{1, 1, 5, 6}, 93); // wraps to slot 0
    EXPECT_TRUE(c.model.History().Wrapped());
    EXPECT_EQ(c.model.History().HistorySlot(), 0);
    CRect rect;
    const CDIBSection2* image = c.model.History().GetStepImage(0, rect);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(rect, (CRect{1, 1, 5, 6}));
    EXPECT_EQ(image->GetWidth(), 4);
    EXPECT_EQ(image->GetHeight(), 5);
    EXPECT_EQ(c.model.History().GetStepImage(7, rect), nullptr);
}

TEST(UndoHistory, StepsKeepTheFloatTextAndCropState) {
    Canvas c(50, 40, 3);
    test::MakePatternPicture(c.model.FloatImage(), 6, 4, 3);
    c.model.FloatBackup().Copy(&c.model.FloatImage());
    c.model.floatX = -2, c.model.floatY = 7;
    c.model.cropMode = true;
    c.model.cropRect = CRect{1, 2, 30, 33};
    const CDIBSection2 floatBefore = Snapshot(c.model.FloatImage());
    Stroke(c.model, CRect{0, 0, 5, 5}, 3);

    c.model.FloatImage().MakeEmpty();
    c.model.FloatBackup().MakeEmpty();
    c.model.cropMode = false;
    test::MakePatternPicture(c.model.TextImage(), 3, 3, 4);
    Stroke(c.model, CRect{5, 5, 9, 9}, 4);
    c.model.TextImage().MakeEmpty();

    c.model.Undo();
    EXPECT_FALSE(c.model.HasFloat());
    EXPECT_TRUE(c.model.HasText());
    c.model.Undo();
    EXPECT_FALSE(c.model.HasText());
    ASSERT_TRUE(c.model.HasFloat());
    EXPECT_TRUE(test::SamePixels(c.model.FloatImage(), floatBefore));
    EXPECT_TRUE(test::SamePixels(c.model.FloatBackup(), floatBefore));
    EXPECT_EQ(c.model.floatX, -2);
    EXPECT_EQ(c.model.floatY, 7);
    EXPECT_TRUE(c.model.cropMode);
    EXPECT_EQ(c.model.cropRect, (CRect{1, 2, 30, 33}));
}

TEST(UndoHistory, DirtyRectanglesOutsideThePictureStoreTheWholePicture) {
    Canvas c(20, 20, 3);
    for (CRect r : {CRect{-1, 0, 5, 5}, CRect{0, 0, 21, 5}, CRect{3, 3, 3, 9}, CRect{}}) {
        c.model.BeginEdit(r).Commit();
        const CUndoStep* step = c.model.History().Step(c.model.History().RingIndex() - 1);
        EXPECT_EQ(step->region, (CRect{0, 0, 20, 20}));
    }
    // A reversed rectangle inside the picture is normalised.
    c.model.BeginEdit(CRect{9, 8, 2, 1}).Commit();
    EXPECT_EQ(c.model.History().Step(c.model.History().RingIndex() - 1)->region,
              (CRect{2, 1, 9, 8}));
}

// Random region edits, whole-picture edits, size changes, undos and redos, each state
// compared with the test's own list of the pictures it made.
TEST(UndoHistory, RandomEditsUndosAndRedosNeverLosePixels) {
    const int levels = 4;
    Canvas c(260, 250, levels, 5); // 260,000 bytes: whole steps stay in memory at first
    std::mt19937 rng(20240611);
    auto rnd = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    std::deque<CDIBSection2> states; // states[pos] is the present picture
    states.push_back(Snapshot(c.model.WorkingImage()));
    std::size_t pos = 0;
    int undoable = 0, redoable = 0;
    int undos = 0, redos = 0;
    for (int op = 0; op < 400; ++op) {
        const int kind = rnd(0, 99);
        CCanvasModel& m = c.model;
        if (kind < 45) {
            const int w = m.WorkingImage().GetWidth(), h = m.WorkingImage().GetHeight();
            const int x0 = rnd(0, w - 1), y0 = rnd(0, h - 1);
            Stroke(m, CRect{x0, y0, rnd(x0 + 1, w), rnd(y0 + 1, h)}, std::uint8_t(op));
        } else if (kind < 52) {
            Filter(m, std::uint8_t(op | 1));
        } else if (kind < 56) {
            // Sometimes above the 1,000,000-byte limit, so that steps go to disk.
            Resize(m, rnd(150, 560), rnd(150, 520), std::uint32_t(op));
        } else if (kind < 80) {
            const int r = m.Undo();
            if (undoable > 0) {
                --pos, --undoable, ++redoable, ++undos;
                EXPECT_EQ(r == 1, states[pos].GetWidth() != states[pos + 1].GetWidth() ||
                                      states[pos].GetHeight() != states[pos + 1].GetHeight());
            }
            ASSERT_TRUE(test::SamePixels(m.WorkingImage(), states[pos])) << "op " << op;
            continue;
        } else {
            m.Redo();
            if (redoable > 0) ++pos, --redoable, ++undoable, ++redos;
            ASSERT_TRUE(test::SamePixels(m.WorkingImage(), states[pos])) << "op " << op;
            continue;
        }
        states.resize(pos + 1);
        states.push_back(Snapshot(c.model.WorkingImage()));
        ++pos;
        undoable = std::min(undoable + 1, levels);
        redoable = 0;
        while (int(pos) > undoable) states.pop_front(), --pos;
        ASSERT_TRUE(test::SamePixels(c.model.WorkingImage(), states[pos]));
        ASSERT_TRUE(test::SamePixels(c.model.BeforeImage(), states[pos]));
        EXPECT_EQ(c.model.CanUndo(), undoable > 0);
        EXPECT_EQ(c.model.CanRedo(), redoable > 0);
    }
    // The run did exercise both directions.
    EXPECT_GT(undos, 40);
    EXPECT_GT(redos, 20);
}

TEST(UndoHistory, AStepFileThatCannotBeWrittenShowsTheMessageAndTheEditGoesOn) {
    test::TempFolder folder;
    // A folder below a regular file cannot be written to, not even by root.
    const std::string blocker = folder.File("plainfile");
    std::ofstream(blocker) << "x";
    const std::string tempDir = blocker + "/steps/";

    CDIBSection2 original;
    test::MakePatternPicture(original, 600, 600, 2); // 1,440,000 bytes
    CCanvasModel m;
    m.Attach(&original, nullptr, 0, 0);
    m.CreateUndoHistory(3, tempDir);
    test::MessageCollector messages;

    const CDIBSection2 start = Snapshot(m.WorkingImage());
    Filter(m, 11);
    ASSERT_EQ(messages.messages.size(), 1u);
    const CUndoStep* step = m.History().Step(0);
    const std::string name = const_cast<CUndoStep*>(step)->RegionFile();
    EXPECT_EQ(name.rfind(tempDir + "und", 0), 0u);
    EXPECT_EQ(messages.messages[0],
              "Can't save temporary file to disk. Not enough disk space.\n" + name);
    EXPECT_FALSE(step->RegionOnDisk());
    const CDIBSection2 filtered = Snapshot(m.WorkingImage());

    // A large region fails the same way.
    Stroke(m, CRect{0, 0, 550, 550}, 4);
    EXPECT_EQ(messages.messages.size(), 2u);

    // The edits went on, and undo still brings every picture back from memory.
    m.Undo();
    EXPECT_TRUE(test::SamePixels(m.WorkingImage(), filtered));
    m.Undo();
    EXPECT_TRUE(test::SamePixels(m.WorkingImage(), start));
    m.Redo();
    EXPECT_TRUE(test::SamePixels(m.WorkingImage(), filtered));
}

TEST(UndoHistory, AReadOnlyProgramFolderDoesNotCrash) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    test::TempFolder folder;
    const std::string dir = folder.File("locked/");
    std::filesystem::create_directory(dir);
    CDIBSection2 original;
    test::MakePatternPicture(original, 600, 600, 3);
    CCanvasModel m;
    m.Attach(&original, nullptr, 0, 0);
    m.CreateUndoHistory(2, dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    test::MessageCollector messages;
    const CDIBSection2 start = Snapshot(m.WorkingImage());
    Filter(m, 1);
    EXPECT_EQ(messages.messages.size(), 1u);
    m.Undo();
    EXPECT_TRUE(test::SamePixels(m.WorkingImage(), start));
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
}

TEST(UndoHistory, AStepFileDamagedOnDiskLeavesThePictureAlone) {
    Canvas c(600, 600, 3);
    Filter(c.model, 2);
    CUndoStep* step = c.model.History().Step(0);
    ASSERT_TRUE(step->RegionOnDisk());
    std::filesystem::resize_file(step->RegionFile(), 1000);
    const CDIBSection2 now = Snapshot(c.model.WorkingImage());
    c.model.Undo();
    EXPECT_TRUE(test::SamePixels(c.model.WorkingImage(), now));
}

TEST(UndoHistory, StepFilesGoWithTheHistory) {
    Canvas c(600, 600, 3);
    Filter(c.model, 2);
    c.model.Undo();
    EXPECT_EQ(TmpFiles(c.folder.Path(), "und").size(), 1u);
    EXPECT_EQ(TmpFiles(c.folder.Path(), "rdo").size(), 1u);
    c.model.CreateUndoHistory(3);
    EXPECT_TRUE(TmpFiles(c.folder.Path(), "und").empty());
    EXPECT_TRUE(TmpFiles(c.folder.Path(), "rdo").empty());
}

// The canvas is changed exactly while its picture differs from the one last saved or
// opened: a cancelled edit leaves it unchanged, undo and redo back to the saved picture
// make it unchanged again, in and out of Hold Undo.
TEST(UndoHistory, ChangedFollowsThePictureLastSaved) {
    Canvas c(32, 24, 5);
    EXPECT_FALSE(c.model.unsavedChanges);
    {
        CCanvasEdit edit = c.model.BeginEdit();
        edit.Image().FillOpaque(0); // a dialog's preview, put back and cancelled
        edit.Image().Copy(&c.model.BeforeImage());
        edit.Cancel();
    }
    EXPECT_FALSE(c.model.unsavedChanges);
    Stroke(c.model, CRect{0, 0, 8, 8}, 40);
    Filter(c.model, 3);
    EXPECT_TRUE(c.model.unsavedChanges);
    c.model.Undo();
    c.model.Undo();
    EXPECT_FALSE(c.model.unsavedChanges); // back at the picture opened
    c.model.Redo();
    EXPECT_TRUE(c.model.unsavedChanges);
    c.model.MarkSaved(); // saved after the stroke
    c.model.Redo();
    EXPECT_TRUE(c.model.unsavedChanges);
    c.model.Undo();
    EXPECT_FALSE(c.model.unsavedChanges);
    c.model.Undo();
    EXPECT_TRUE(c.model.unsavedChanges); // before the saved picture
    c.model.Redo();
    c.model.SetHoldUndo(true);
    Filter(c.model, 7);
    EXPECT_TRUE(c.model.unsavedChanges);
    c.model.SetHoldUndo(false);
    c.model.Undo(); // to the held picture, which is the saved one
    EXPECT_FALSE(c.model.unsavedChanges);
}
