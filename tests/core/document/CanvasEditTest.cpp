#include "core/document/CanvasModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

using namespace quiltara;

namespace {

CDIBSection2 Snapshot(const CDIBSection2& pic) {
    CDIBSection2 copy;
    copy.Copy(&pic);
    return copy;
}

// Paints r (memory rows, inside the picture) with a pattern of its own.
void Paint(CDIBSection2& pic, CRect r, int tag) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            std::uint8_t* p = pic.PixelAt(x, y);
            p[0] = std::uint8_t(tag), p[1] = std::uint8_t(x + tag), p[2] = std::uint8_t(3 * y);
        }
}

// What the test expects of the canvas: the picture and whether a float is up.
struct State {
    CDIBSection2 picture;
    bool hasFloat = false;
};

} // namespace

// Edits of every kind through the edit scope (rectangles, also reversed, empty or
// reaching outside; whole pictures; size changes; strokes that wrap across the edges
// or lay nothing; cancelled edits; float merges), undos, redos and Hold Undo toggles,
// each state compared with the test's own copies of the pictures.
TEST(CanvasEdit, RandomEditsThroughTheScopeUndoAndRedoExactly) {
    const int levels = 4;
    CDIBSection2 original;
    test::MakePatternPicture(original, 180, 150, 7);
    test::TempFolder folder;
    CCanvasModel m;
    m.Attach(&original, nullptr, 0, 0);
    m.CreateUndoHistory(levels);

    std::mt19937 rng(77031);
    auto rnd = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::deque<State> states; // states[pos] is the present picture
    states.push_back(State{Snapshot(m.WorkingImage()), false});
    std::size_t pos = 0;
    int undoable = 0, redoable = 0, undos = 0, redos = 0, holds = 0;
    bool hold = false;
    State current{Snapshot(m.WorkingImage()), false};

    for (int op = 0; op < 600; ++op) {
        const int w = m.WorkingImage().GetWidth(), h = m.WorkingImage().GetHeight();
        const int kind = rnd(0, 99);
        bool changed = true;
        if (kind < 22) {
            // A rectangle, sometimes reversed or reaching outside (then the whole picture
            // is the edit's), sometimes empty (the whole picture).
            CRect r{rnd(-20, w - 1), rnd(-20, h - 1), 0, 0};
            r.right = rnd(r.left, w + 20), r.bottom = rnd(r.top, h + 20);
            if (rnd(0, 4) == 0) std::swap(r.left, r.right);
            CCanvasEdit edit = m.BeginEdit(r);
            const CRect n = r.Normalized();
            const CRect inside = n.IsEmpty() ? CRect{0, 0, w, h}
                                             : CRect{std::max(n.left, 0), std::max(n.top, 0),
                                                     std::min(n.right, w), std::min(n.bottom, h)};
            Paint(edit.Image(), inside, op);
        } else if (kind < 40) {
            // A stroke: dabs anywhere, wrapped into the picture; sometimes none at all.
            CCanvasEdit edit = m.BeginEditGrowing();
            const int dabs = rnd(0, 4);
            for (int d = 0; d < dabs; ++d) {
                const int x0 = rnd(-w, 2 * w), y0 = rnd(-h, 2 * h);
                const CRect dab{x0, y0, x0 + rnd(1, 40), y0 + rnd(1, 40)};
                for (int y = dab.top; y < dab.bottom; ++y)
                    for (int x = dab.left; x < dab.right; ++x) {
                        std::uint8_t* p = edit.Image().PixelAt((x % w + w) % w, (y % h + h) % h);
                        p[0] = std::uint8_t(op + d), p[1] = std::uint8_t(x), p[2] = std::uint8_t(y);
                    }
                edit.Extend(dab);
            }
            changed = dabs > 0;
        } else if (kind < 45) {
            CCanvasEdit edit = m.BeginEdit();
            Paint(edit.Image(), {0, 0, w, h}, op);
        } else if (kind < 49) {
            // Some sizes go above the 1,000,000-byte limit: their steps live on disk. A
            // new size makes any edit a whole-picture one.
            CCanvasEdit edit = m.BeginEdit(rnd(0, 1) ? CRect{} : CRect{1, 1, w / 3, h / 3});
            test::MakePatternPicture(edit.Image(), rnd(100, 560), rnd(100, 500), std::uint32_t(op));
        } else if (kind < 53) {
            CCanvasEdit edit = m.BeginEdit(CRect{0, 0, w / 2, h / 2});
            edit.Cancel();
            changed = false;
        } else if (kind < 58) {
            // A merge is an edit whose step keeps the float. Taking one is not, so it
            // waits until there is nothing to redo: a redo step keeps the float as it was.
            if (m.HasFloat()) {
                ASSERT_TRUE(m.MergeFloat());
            } else {
                changed = false;
                if (redoable == 0) {
                    ASSERT_TRUE(m.TakeFloat({rnd(0, w / 2), rnd(0, h / 2), w / 2 + 5, h / 2 + 7}));
                    m.floatX += rnd(-10, 10);
                    (hold ? current : states[pos]).hasFloat = true;
                    current.hasFloat = true;
                }
            }
        } else if (kind < 61) {
            // "Hold Undo": on keeps the present as the only step; off lets one undo
            // return to it.
            m.SetHoldUndo(hold = !hold);
            ++holds;
            if (hold) {
                states.clear();
                states.push_back(State{Snapshot(current.picture), current.hasFloat});
                pos = 0, undoable = 0, redoable = 0;
            } else {
                states.push_back(State{Snapshot(current.picture), current.hasFloat});
                pos = 1, undoable = 1, redoable = 0;
            }
            changed = false;
        } else if (kind < 82) {
            const int r = m.Undo();
            if (!hold && undoable > 0) {
                --pos, --undoable, ++redoable, ++undos;
                EXPECT_EQ(r == 1,
                          states[pos].picture.GetWidth() != states[pos + 1].picture.GetWidth() ||
                              states[pos].picture.GetHeight() !=
                                  states[pos + 1].picture.GetHeight());
                current = State{Snapshot(states[pos].picture), states[pos].hasFloat};
            }
            changed = false;
        } else {
            m.Redo();
            if (!hold && redoable > 0) {
                ++pos, ++undoable, --redoable, ++redos;
                current = State{Snapshot(states[pos].picture), states[pos].hasFloat};
            }
            changed = false;
        }

        if (changed) {
            current = State{Snapshot(m.WorkingImage()), m.HasFloat()};
            if (!hold) {
                states.resize(pos + 1);
                states.push_back(State{Snapshot(current.picture), current.hasFloat});
                ++pos;
                undoable = std::min(undoable + 1, levels);
                redoable = 0;
                while (int(pos) > undoable) states.pop_front(), --pos;
            }
        }
        ASSERT_FALSE(m.EditActive());
        ASSERT_TRUE(test::SamePixels(m.WorkingImage(), current.picture)) << "op " << op;
        ASSERT_TRUE(test::SamePixels(m.BeforeImage(), current.picture)) << "op " << op;
        ASSERT_EQ(m.HasFloat(), current.hasFloat) << "op " << op;
        ASSERT_EQ(m.geometry.ImageWidth(), current.picture.GetWidth());
        ASSERT_EQ(m.CanUndo(), !hold && undoable > 0) << "op " << op;
        ASSERT_EQ(m.CanRedo(), !hold && redoable > 0) << "op " << op;
    }
    // The run went both ways and through Hold Undo.
    EXPECT_GT(undos, 40);
    EXPECT_GT(redos, 20);
    EXPECT_GT(holds, 6);
}
