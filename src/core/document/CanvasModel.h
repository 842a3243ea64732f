#pragma once
#include "core/base/Rect.h"
#include "core/document/CanvasEdit.h"
#include "core/document/CanvasGeometry.h"
#include "core/document/UndoHistory.h"
#include "core/image/DIBSection2.h"
#include "core/paint/TextTool.h"

namespace quiltara {

/// Everything a canvas window holds apart from its window: the working image, the
/// before-image, the floating selection, the text being placed, the crop state and
/// the zoom and scroll arithmetic. The Qt canvas owns one and draws from it; every
/// editing rule lives here, where it is tested without a window.
class CCanvasModel {
public:
    CCanvasModel() = default;
    CCanvasModel(const CCanvasModel&) = delete;
    CCanvasModel& operator=(const CCanvasModel&) = delete;

    /// Takes the document's pictures: the working and before-images become copies of
    /// the Original (a white 600 x 600 picture when it is empty), the sizes are taken,
    /// the image is centred. original and surroundings stay owned by the document.
    void Attach(CDIBSection2* original, CDIBSection2* surroundings, int tileOffsetX,
                int tileOffsetY);

    // The pictures. The working image changes through an edit (BeginEdit below), which
    // takes the undo step and keeps the before-image up to date.
    const CDIBSection2& WorkingImage() const { return m_workingImage; }
    /// The working image for a change outside an edit (a document's picture replaced):
    /// it takes no undo step; call SyncBeforeImage afterwards.
    CDIBSection2& WorkingImage() { return m_workingImage; }
    /// The picture as it was before the edit under way; between edits the same as the
    /// working image.
    const CDIBSection2& BeforeImage() const { return m_beforeImage; }
    /// The floating selection (empty without one) and the copy its rescaling starts from.
    const CDIBSection2& FloatImage() const { return m_floatImage; }
    CDIBSection2& FloatImage() { return m_floatImage; }
    const CDIBSection2& FloatBackup() const { return m_floatBackup; }
    CDIBSection2& FloatBackup() { return m_floatBackup; }
    /// The text being placed (empty without one).
    const CDIBSection2& TextImage() const { return m_textImage; }
    CDIBSection2& TextImage() { return m_textImage; }

    // Edits (see CCanvasEdit).
    /// An edit of the rectangle memoryRect (memory rows) of the working image. An empty
    /// rectangle, or one reaching outside the picture, is the whole picture; so is an
    /// edit that changes the picture's size.
    [[nodiscard]] CCanvasEdit BeginEdit(const CRect& memoryRect = {});
    /// A stroke: the changed rectangle starts empty and grows with Extend; a commit with
    /// nothing extended takes no step.
    [[nodiscard]] CCanvasEdit BeginEditGrowing();
    /// An edit of the floating selection itself: the step keeps the float, and of the
    /// working image only the part under it; the commit makes the float's backup follow
    /// the result (a later rescale starts from it).
    [[nodiscard]] CCanvasEdit BeginFloatEdit();
    bool EditActive() const { return m_activeEdits > 0; }

    /// Brings the before-image up to date after the working image was changed outside
    /// an edit. Edits do this themselves.
    void SyncBeforeImage();
    /// Call after the working image changed size: takes the size and recentres.
    void ImageSizeChanged();

    /// Colour (blue, green, red, alpha bytes) of the image point, wrapped into the tile.
    const std::uint8_t* PixelAtWrapped(int x, int y) const;

    bool HasFloat() const { return !m_floatImage.IsEmpty(); }
    bool HasText() const { return !m_textImage.IsEmpty(); }

    // Undo and redo. Every edit takes its step through CCanvasEdit.
    /// Makes a fresh history of levels steps (the "Undo" setting read when the canvas
    /// is made); tempDir is the folder of the step files, empty for the program folder.
    void CreateUndoHistory(int levels, const std::string& tempDir = {}) {
        m_undoHistory = CUndoHistory(levels, tempDir);
    }
    /// 1 when the picture size changed: the caller resets its drag state and calls
    /// OriginalFollowsWorkingImage. The model is recentred already. Nothing happens
    /// while Hold Undo is on or an edit is under way.
    int Undo();
    int Redo();
    bool CanUndo() const { return m_undoHistory.CanUndo() && !m_holdUndo && m_activeEdits == 0; }
    bool CanRedo() const { return m_undoHistory.CanRedo() && m_activeEdits == 0; }
    /// "Hold Undo" on or off. Turning it on keeps the current picture as the only step;
    /// while on, edits take no steps and undo and redo are off. Turning it off lets one
    /// undo return to the held picture.
    void SetHoldUndo(bool on);
    /// "Hold Undo" is on (its check mark).
    bool HoldUndo() const { return m_holdUndo; }
    /// The steps, for the history brush and for inspection.
    CUndoHistory& History() { return m_undoHistory; }
    const CUndoHistory& History() const { return m_undoHistory; }
    /// The document's Original becomes a copy of the working image (swapped out again
    /// when the document keeps it on disk), so that it keeps the working image's size.
    void OriginalFollowsWorkingImage();

    // Floating selection and crop. Rectangles in image coordinates are top-down
    // (left, top, right, bottom); memory rows count from the bottom.
    /// (left, top, right, bottom) -> (left, imageHeight - bottom, right, imageHeight - top).
    CRect ToMemoryRows(CRect imageRect) const;
    /// The float's rectangle in image coordinates (for the tracker); empty without one.
    CRect FloatRect() const;
    /// Puts the float into the working image at its position (all four bytes), takes a
    /// whole-picture undo snapshot and empties the float. False without a float.
    bool MergeFloat();
    /// Empties the float and its backup. False without a float.
    bool DeleteFloat();
    /// Floating selection tool (26) press: an existing float is merged first.
    void FloatToolPress() { MergeFloat(); }
    /// Floating selection tool release: the float becomes a copy of the working image
    /// inside the rubber band (clipped to the picture), placed where it was taken.
    bool TakeFloat(CRect imageRect);
    /// Crop tool (27) press: the float and its backup are emptied without merging.
    void CropToolPress();
    /// Crop tool release: a crop of the rubber band becomes pending.
    void SetCropRect(CRect imageRect);
    /// Arrow tool release after dragging the float's tracker: the float moves to the
    /// tracker's top-left; when the tracker's size differs from the float's, the float
    /// becomes its backup rescaled to that size. False without a float.
    bool FinishFloatTracking(CRect trackerImageRect);
    /// Arrow tool release after dragging the crop tracker.
    void FinishCropTracking(CRect trackerImageRect);
    bool CanFinishCrop() const { return cropMode; }
    /// "Finish Crop": crops to the pending rectangle unless it is narrower or lower than
    /// 5 pixels (then the crop stays pending). True when the picture was cropped: the
    /// caller resets its drag state; the model is recentred and the Original follows.
    bool FinishCrop();

    // The text being placed (the text tool): a picture with alpha over the working
    // image, at (textX, textY) in image coordinates, with the settings it was drawn
    // from so that it can be edited again.
    /// The text's rectangle in image coordinates; empty without one.
    CRect TextRect() const;
    /// picture becomes the text being placed at (x, y), replacing any; an empty picture
    /// removes it. Takes no undo step: the text is not part of the picture yet.
    void PlaceText(CDIBSection2 picture, int x, int y, const CTextSettings& settings);
    /// picture becomes the text being placed, centred on the image (integer halves).
    void PlaceTextCentred(CDIBSection2 picture, const CTextSettings& settings);
    /// Arrow tool release after dragging the text frame: the text moves to (x, y).
    bool MoveText(int x, int y);
    /// Blends the text into the working image by its alpha, as one undo step; parts
    /// beyond the tile's edges continue at the opposite edges, so the tile stays
    /// seamless. The text is then gone. False without one.
    bool CommitText();
    /// Removes the text being placed without drawing it.
    bool DeleteText();
    CTextSettings textSettings;

    enum class DoubleClickAction { None, EditText, MergeFloat, FinishCrop };
    /// What a double click does with the current tool: only the arrow tool (0) acts,
    /// on the text being placed first, then the float, then a pending crop. The click
    /// also acts as a press afterwards.
    DoubleClickAction DoubleClickActionFor(int tool) const;

    int floatX = 0, floatY = 0; // image coordinates, top-down
    int textX = 0, textY = 0;
    CDIBSection2* surroundingsImage = nullptr; // not owned
    CDIBSection2* originalRef = nullptr;       // not owned
    int tileOffsetX = 0, tileOffsetY = 0;
    bool cropMode = false;
    CRect cropRect; // image coordinates
    /// The picture differs from what was last saved or opened: set by every committed
    /// edit, and by undo and redo unless they return to the saved picture.
    bool unsavedChanges = false;
    /// The picture is what its file holds now (saved, or just opened).
    void MarkSaved();
    bool showTileBorder = true;
    CCanvasGeometry geometry;

private:
    friend class CCanvasEdit;

    /// The float, text and crop state as a step keeps it.
    CStepState CurrentState() const;
    /// Marks the canvas changed and, unless Hold Undo is on, snapshots rect (memory rows
    /// of the before-image) with state into the next ring slot.
    void PushUndo(const CRect& rect, CStepState state);
    /// Snapshots the whole picture without the hold test and without marking changes.
    void PushUndoForHold();
    /// Fills step with rect of the before-image (the whole picture when rect is empty or
    /// reaches outside it) and state.
    void SaveState(CUndoStep& step, const CRect& rect, CStepState state);
    /// 1 when the picture size changed, else 0 (also when the step holds nothing).
    int RestoreState(CUndoStep& step);
    /// Copies rect (memory rows) of the working image into the before-image; the whole
    /// picture when rect is empty or the sizes differ.
    void SyncBeforeImage(const CRect& memoryRect);

    CDIBSection2 m_workingImage;
    CDIBSection2 m_beforeImage;
    CDIBSection2 m_floatImage;
    CDIBSection2 m_floatBackup;
    CDIBSection2 m_textImage;
    bool m_holdUndo = false;
    int m_activeEdits = 0;
    // Every committed edit makes a new picture state; undo and redo bring back the
    // state their step was taken in.
    std::uint64_t m_pictureState = 0;
    std::uint64_t m_savedPictureState = 0;
    std::uint64_t m_lastPictureState = 0;
    CUndoHistory m_undoHistory;
};

} // namespace quiltara
