#pragma once
#include "core/base/Rect.h"
#include "core/image/DIBSection2.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quiltara {

/// What a step keeps besides the region's pixels: the floating selection, the text
/// being placed and the crop state of the moment the edit began.
struct CStepState {
    bool cropMode = false;
    CRect cropRect; // image coordinates
    int floatX = 0, floatY = 0;
    CDIBSection2 floatImage; // empty when there was no floating selection
    CDIBSection2 textImage;  // empty when no text was being placed
    int textX = 0, textY = 0;
    /// Which picture the canvas showed (CCanvasModel's state number): undoing back to
    /// the picture last saved makes the canvas unchanged again.
    std::uint64_t pictureState = 0;
};

/// Tells the user, through the program's message path (Messages.h), that a picture's
/// swap file at path could not be written; nothing for PictureError::kNone. The edit
/// that wrote it goes on either way.
void TellPictureError(PictureError error, const std::string& path);
/// The same for the picture's own swap file (SwapOut, Copy).
void TellPictureError(PictureError error, CDIBSection2& picture);

/// One undo or redo step: the rectangle an edit changed, taken from the canvas's
/// before-image, with the floating selection, the text being placed and the crop
/// state of that moment. Region pixels of more than 1,000,000 bytes live in the
/// step's temporary file ("und" for the ring, "rdo" for redo steps), which keeps its
/// name for the step's whole life and is deleted with it.
class CUndoStep {
public:
    /// Region pixels above this many bytes are kept on disk.
    static constexpr std::size_t kMaxBytesInMemory = 1000000;

    /// prefix: "und" or "rdo". tempDir: folder of the step's file (ending in "/");
    /// empty means the program folder.
    CUndoStep(const std::string& prefix, const std::string& tempDir);

    /// Stores the rectangle rect (memory rows) of before, normalised and clamped to
    /// it, and returns the clamped rectangle (all zero when nothing was stored).
    /// The whole picture above the limit is written straight from before into the
    /// step's file, without a copy in memory.
    CRect SaveRegion(const CDIBSection2& before, CRect rect);
    /// Puts the stored pixels back into working at region (clamped). A whole-picture
    /// step on disk of working's size is read straight into working. False when the
    /// step holds nothing usable; working is then left as it was.
    bool RestoreRegion(CDIBSection2& working);
    /// The stored pixels, read back from disk when they live there; null when the step
    /// holds none. They stay in memory until ReleaseRegion or the step's next use.
    const CDIBSection2* SwappedInRegion();
    /// Frees the memory copy of pixels that also live on disk.
    void ReleaseRegion();

    /// The step holds pixels, in memory or on disk.
    bool HasRegion() const { return m_onDisk || !regionImage.IsEmpty(); }
    /// The region's pixels live in the step's file.
    bool RegionOnDisk() const { return m_onDisk; }
    /// Bytes of region pixels held in memory now.
    std::size_t RegionBytesInMemory() const {
        return regionImage.IsEmpty() ? 0 : regionImage.PixelBytes();
    }
    /// The step's file name (chosen on first use, the same afterwards).
    std::string RegionFile() { return regionImage.GetTempPath(); }

    CStepState state;
    CDIBSection2 regionImage;
    CRect region; // memory rows of the working image
    int imageWidth = 0, imageHeight = 0;

private:
    void ForgetFile();
    void ClearRegion();

    bool m_onDisk = false;
    int m_diskWidth = 0, m_diskHeight = 0;
};

/// A canvas's undo history: a ring of N + 1 steps (N is the "Undo" setting read when
/// the canvas is made) and a stack of redo steps, newest first. It keeps the steps and
/// their bookkeeping; what goes into a step and what undo puts back is the canvas's
/// business (CCanvasModel, whose edits take the steps).
class CUndoHistory {
public:
    /// Levels above this are held to it; the ring's steps are made when first used.
    static constexpr int kMaxLevels = 65535;

    explicit CUndoHistory(int levels = 3, std::string tempDir = {});
    CUndoHistory(CUndoHistory&&) noexcept = default;
    CUndoHistory& operator=(CUndoHistory&&) noexcept = default;

    /// The ring slot the next snapshot goes to (its step made on first use), counted as
    /// available; every redo step is deleted. The caller fills the step.
    CUndoStep& NextStep();
    /// Steps back for an undo: the step to restore, null when nothing is available (or
    /// the slot was never used).
    CUndoStep* StepBack();
    /// A fresh redo step ("rdo"), put first on the redo stack; the caller fills it.
    CUndoStep& NewRedoStep();
    /// Steps forward for a redo: the newest redo step taken off the stack, null when
    /// there is none or the ring holds no more steps.
    std::unique_ptr<CUndoStep> TakeRedoStep();
    /// Forgets the ring's steps for "Hold Undo": the next snapshot goes to slot 0 and is
    /// the only one available.
    void Restart();

    bool CanUndo() const { return m_available > 0; }
    bool CanRedo() const { return !m_redo.empty(); }

    /// The region pixels of the step in slot (read back from disk when needed) and
    /// its region; null when the slot holds none.
    const CDIBSection2* GetStepImage(int slot, CRect& rect);
    /// Frees the memory copies GetStepImage made of steps that live on disk.
    void ReleaseStepImages();
    /// The slot the history brush reads: the last snapshot (ringIndex - 1, N below 0),
    /// or -1 when nothing can be read. With Hold Undo on that is the held picture.
    int HistorySlot() const;

    int Levels() const { return m_levels; }
    int RingIndex() const { return m_ringIndex; }
    int Available() const { return m_available; }
    bool Wrapped() const { return m_wrapped; }
    std::size_t RedoCount() const { return m_redo.size(); }
    /// The step in a ring slot, null when the slot was never used.
    CUndoStep* Step(int slot);
    /// Redo step i, 0 the newest.
    CUndoStep* RedoStep(std::size_t i) { return i < m_redo.size() ? m_redo[i].get() : nullptr; }

private:
    int m_levels = 3;
    int m_ringIndex = 0;
    int m_available = 0;
    bool m_wrapped = false;
    std::string m_tempDir;
    std::vector<std::unique_ptr<CUndoStep>> m_ring;
    std::deque<std::unique_ptr<CUndoStep>> m_redo;
};

} // namespace quiltara
