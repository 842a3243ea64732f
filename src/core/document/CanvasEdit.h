#pragma once
#include "core/base/Rect.h"
#include "core/document/UndoHistory.h"
#include "core/image/DIBSection2.h"

namespace quiltara {

class CCanvasModel;

/// One edit of a canvas, from its start to its commit: the only way the working image
/// changes with an undo step. CCanvasModel hands it out (BeginEdit, BeginEditGrowing,
/// BeginFloatEdit); the caller changes the pixels through Image() and the edit does the
/// rest when it ends: the changed rectangle, the undo step and the before-image.
///
/// Until the commit the before-image keeps the picture as it was when the edit began,
/// so the step holds the old pixels whether the caller changed them early (filters) or
/// late (strokes, merges). The step also keeps the floating selection, the text being
/// placed and the crop state as they were at the start: undoing a merge brings the float
/// back, undoing a crop brings back the pending crop.
///
/// Rectangles are memory rows (row 0 at the bottom, as the pictures store them).
/// One edit at a time; undo and redo wait while an edit is under way.
class [[nodiscard]] CCanvasEdit {
public:
    /// An edit that is not under way (to be assigned one later).
    CCanvasEdit() = default;
    CCanvasEdit(CCanvasEdit&& other) noexcept;
    /// Assigning over an edit that is under way commits it first.
    CCanvasEdit& operator=(CCanvasEdit&& other) noexcept;
    CCanvasEdit(const CCanvasEdit&) = delete;
    CCanvasEdit& operator=(const CCanvasEdit&) = delete;
    /// Commits when neither Commit nor Cancel was called.
    ~CCanvasEdit();

    /// The working image, to change (also its size, for whole-picture edits). Only while
    /// the edit is under way.
    CDIBSection2& Image();
    /// The picture as it was when the edit began (the before-image).
    const CDIBSection2& Before() const;
    /// The same picture, non-const, for the brush engine's read image. It must not be
    /// changed: the undo step is taken from it at the commit.
    CDIBSection2& ReadImage();
    /// The edit grew (strokes): the rectangle joins the changed one. Unwrapped rectangles
    /// are brought inside the picture first (moved by whole picture sizes, or widened to
    /// the whole width or height where they cross an edge).
    void Extend(const CRect& memoryRect);
    /// Nothing changed: no undo step, no "changed" mark, the before-image as it is.
    void Cancel();
    /// Ends the edit now: marks the canvas changed, takes the undo step of the changed
    /// rectangle from the before-image (unless Hold Undo is on) and brings the
    /// before-image up to date, only that rectangle when the picture kept its size. A
    /// growing edit that never grew ends like Cancel. When the picture changed size the
    /// model takes the new size (recentred). Throws std::bad_alloc only when the
    /// before-image cannot take a new size; the edit has ended all the same.
    void Commit();
    bool Active() const { return m_model != nullptr; }

private:
    friend class CCanvasModel;
    enum class Kind { Rect, Growing, Float };
    CCanvasEdit(CCanvasModel& model, const CRect& rect, Kind kind);
    /// Ends the edit's bookkeeping; the model it belonged to.
    CCanvasModel* Finish();

    CCanvasModel* m_model = nullptr;
    Kind m_kind = Kind::Rect;
    CRect m_rect; // changed rectangle, memory rows inside the picture as it was
    int m_width = 0, m_height = 0;
    CStepState m_state; // the canvas's state at the start
    bool m_stateTaken = false;
};

} // namespace quiltara
