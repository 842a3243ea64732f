#pragma once
#include "core/base/Rect.h"
#include "core/document/CanvasGeometry.h"
#include "core/document/UndoHistory.h"
#include "core/image/DIBSection2.h"

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
    /// Brings the before-image up to date with the working image after an edit.
    void SyncBeforeImage();
    /// Call after the working image changed size: takes the size and recentres.
    void ImageSizeChanged();

    /// Colour (blue, green, red, alpha bytes) of the image point, wrapped into the tile.
    const std::uint8_t* PixelAtWrapped(int x, int y) const;

    bool HasFloat() const { return !floatImage.IsEmpty(); }
    bool HasText() const { return !textImage.IsEmpty(); }

    // Undo and redo (see CUndoHistory for the protocol every edit follows).
    /// Makes a fresh history of levels steps (the "Undo" setting read when the canvas
    /// is made); tempDir is the folder of the step files, empty for the program folder.
    void CreateUndoHistory(int levels, const std::string& tempDir = {}) {
        undoHistory = CUndoHistory(levels, tempDir);
    }
    void PushUndo() { undoHistory.PushUndo(*this); }
    void PushUndoForHold() { undoHistory.PushUndoForHold(*this); }
    /// 1 when the picture size changed: the caller resets its drag state and calls
    /// OriginalFollowsWorkingImage. The model is recentred already.
    int Undo() { return undoHistory.Undo(*this); }
    int Redo() { return undoHistory.Redo(*this); }
    bool CanUndo() const { return undoHistory.CanUndo(*this); }
    bool CanRedo() const { return undoHistory.CanRedo(); }
    /// "Hold Undo" on or off; its check mark shows holdUndo.
    void SetHoldUndo(bool on) { undoHistory.SetHoldUndo(*this, on); }
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

    enum class DoubleClickAction { None, EditText, MergeFloat, FinishCrop };
    /// What a double click does with the current tool: only the arrow tool (0) acts,
    /// on the text being placed first, then the float, then a pending crop. The click
    /// also acts as a press afterwards.
    DoubleClickAction DoubleClickActionFor(int tool) const;

    CDIBSection2 workingImage;
    CDIBSection2 beforeImage;
    CDIBSection2 floatImage;
    CDIBSection2 floatBackup;
    CDIBSection2 textImage;
    int floatX = 0, floatY = 0; // image coordinates, top-down
    int textX = 0, textY = 0;
    CDIBSection2* surroundingsImage = nullptr; // not owned
    CDIBSection2* originalRef = nullptr;       // not owned
    int tileOffsetX = 0, tileOffsetY = 0;
    bool cropMode = false;
    CRect cropRect; // image coordinates
    bool unsavedChanges = false;
    bool holdUndo = false;
    bool showTileBorder = true;
    CRect dirtyRect; // memory rows; all zero means the whole picture
    CCanvasGeometry geometry;
    CUndoHistory undoHistory;
};

} // namespace quiltara
