#include "core/document/CanvasModel.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quiltara {

namespace {

bool Usable(const CDIBSection2& pic) {
    return !pic.IsEmpty() && pic.GetBitsPerPixel() == 32;
}

void CopyOrEmpty(CDIBSection2& dst, const CDIBSection2& src) {
    if (src.IsEmpty())
        dst.MakeEmpty();
    else
        dst.Copy(&src);
}

} // namespace

void CCanvasModel::Attach(CDIBSection2* original, CDIBSection2* surroundings, int offsetX,
                          int offsetY) {
    if (original && !original->IsEmpty()) {
        m_workingImage.Copy(original);
    } else {
        m_workingImage.Create(600, 600, 32, true);
        m_workingImage.FillOpaque(0xFFFFFF);
    }
    m_beforeImage.Copy(&m_workingImage);
    originalRef = original;
    surroundingsImage = surroundings;
    tileOffsetX = offsetX;
    tileOffsetY = offsetY;
    ImageSizeChanged();
    m_pictureState = ++m_lastPictureState;
    MarkSaved();
}

void CCanvasModel::MarkSaved() {
    m_savedPictureState = m_pictureState;
    unsavedChanges = false;
}

void CCanvasModel::SyncBeforeImage() {
    m_beforeImage.Copy(&m_workingImage);
}

void CCanvasModel::SyncBeforeImage(const CRect& r) {
    const int w = m_workingImage.GetWidth(), h = m_workingImage.GetHeight();
    if (!Usable(m_workingImage) || !Usable(m_beforeImage) || m_beforeImage.GetWidth() != w ||
        m_beforeImage.GetHeight() != h) {
        SyncBeforeImage();
        return;
    }
    // Same size: only the changed rows are copied, into the pixels already there.
    m_beforeImage.SetTag(m_workingImage.GetTag());
    CRect c{0, 0, w, h};
    if (!r.IsEmpty())
        c = CRect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w),
                  std::min(r.bottom, h)};
    if (c == CRect{0, 0, w, h}) {
        std::memcpy(m_beforeImage.GetBits(), m_workingImage.GetBits(), m_workingImage.PixelBytes());
        return;
    }
    for (int y = c.top; y < c.bottom; ++y)
        std::memcpy(m_beforeImage.PixelAt(c.left, y), m_workingImage.PixelAt(c.left, y),
                    std::size_t(std::max(c.Width(), 0)) * 4);
}

void CCanvasModel::ImageSizeChanged() {
    geometry.SetImageSize(m_workingImage.GetWidth(), m_workingImage.GetHeight());
    geometry.CenterImage();
}

const std::uint8_t* CCanvasModel::PixelAtWrapped(int x, int y) const {
    if (!Usable(m_workingImage)) return nullptr;
    const auto p = geometry.Wrap(x, y);
    return m_workingImage.GetRow(p.y) + std::size_t(p.x) * 4;
}

// ---------------------------------------------------------------- edits

CCanvasEdit CCanvasModel::BeginEdit(const CRect& memoryRect) {
    const int w = m_beforeImage.GetWidth(), h = m_beforeImage.GetHeight();
    CRect r = memoryRect.Normalized();
    // A rectangle the picture does not hold is the whole picture.
    if (r.IsEmpty() || r.left < 0 || r.top < 0 || r.right > w || r.bottom > h)
        r = CRect{0, 0, w, h};
    return CCanvasEdit(*this, r, CCanvasEdit::Kind::Rect);
}

CCanvasEdit CCanvasModel::BeginEditGrowing() {
    return CCanvasEdit(*this, CRect{}, CCanvasEdit::Kind::Growing);
}

CCanvasEdit CCanvasModel::BeginFloatEdit() {
    // The step keeps the float itself; of the working image, which the edit does not
    // touch, the part under the float is enough (one pixel when it lies outside).
    const CRect r = ToMemoryRows(FloatRect());
    const int w = m_beforeImage.GetWidth(), h = m_beforeImage.GetHeight();
    CRect under{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w),
                std::min(r.bottom, h)};
    if (under.Width() <= 0 || under.Height() <= 0) under = CRect{0, 0, 1, 1};
    return CCanvasEdit(*this, under, CCanvasEdit::Kind::Float);
}

// ---------------------------------------------------------------- undo and redo

CStepState CCanvasModel::CurrentState() const {
    CStepState s;
    s.cropMode = cropMode;
    s.cropRect = cropRect;
    s.floatX = floatX;
    s.floatY = floatY;
    s.textX = textX;
    s.textY = textY;
    s.pictureState = m_pictureState;
    try {
        CopyOrEmpty(s.floatImage, m_floatImage);
        CopyOrEmpty(s.textImage, m_textImage);
    } catch (const std::bad_alloc&) {
        // The step goes without them rather than the edit without a step.
        s.floatImage.MakeEmpty();
        s.textImage.MakeEmpty();
    }
    return s;
}

void CCanvasModel::PushUndo(const CRect& rect, CStepState state) {
    unsavedChanges = true;
    m_pictureState = ++m_lastPictureState;
    if (m_holdUndo) return;
    SaveState(m_undoHistory.NextStep(), rect, std::move(state));
}

void CCanvasModel::PushUndoForHold() {
    SaveState(m_undoHistory.NextStep(), CRect{}, CurrentState());
}

void CCanvasModel::SaveState(CUndoStep& step, const CRect& rect, CStepState state) {
    const CDIBSection2& before = m_beforeImage;
    const int w = Usable(before) ? before.GetWidth() : 0;
    const int h = Usable(before) ? before.GetHeight() : 0;
    CRect r = rect;
    if (r.left < 0 || r.top < 0 || r.right < 0 || r.bottom < 0 || r.left > w || r.right > w ||
        r.top > h || r.bottom > h || r.Width() == 0 || r.Height() == 0)
        r = CRect{0, 0, w, h};
    step.imageWidth = w;
    step.imageHeight = h;
    step.region = step.SaveRegion(before, r);
    step.state = std::move(state);
}

int CCanvasModel::RestoreState(CUndoStep& step) {
    if (!step.HasRegion()) return 0;
    // Back or forward to the picture the step was taken from: unchanged only when that
    // is the picture last saved.
    m_pictureState = step.state.pictureState;
    unsavedChanges = m_pictureState != m_savedPictureState;
    int result = 0;
    CDIBSection2& working = m_workingImage;
    if (step.imageWidth > 0 && step.imageHeight > 0 &&
        (working.IsEmpty() || step.imageWidth != working.GetWidth() ||
         step.imageHeight != working.GetHeight())) {
        working.Create(step.imageWidth, step.imageHeight, 32, true);
        ImageSizeChanged();
        result = 1;
    }
    step.RestoreRegion(working);
    SyncBeforeImage();
    const CStepState& s = step.state;
    CopyOrEmpty(m_floatImage, s.floatImage);
    CopyOrEmpty(m_floatBackup, s.floatImage);
    floatX = s.floatX;
    floatY = s.floatY;
    CopyOrEmpty(m_textImage, s.textImage);
    textX = s.textX;
    textY = s.textY;
    cropMode = s.cropMode;
    cropRect = s.cropRect;
    return result;
}

int CCanvasModel::Undo() {
    // The command is off while holding; a stray call must not pull the held picture.
    // During an edit the before-image is not the picture the steps continue from.
    if (m_holdUndo || m_activeEdits > 0) return 0;
    CUndoStep* step = m_undoHistory.StepBack();
    if (!step) return 0;
    // The redo step keeps the same rectangle of the present picture. Across a size
    // change it keeps the whole picture: the rectangle of the other size would leave
    // the rest of the picture blank on redo.
    const bool sameSize = step->imageWidth == m_beforeImage.GetWidth() &&
                          step->imageHeight == m_beforeImage.GetHeight();
    SaveState(m_undoHistory.NewRedoStep(), sameSize ? step->region : CRect{}, CurrentState());
    return RestoreState(*step);
}

int CCanvasModel::Redo() {
    if (m_holdUndo || m_activeEdits > 0) return 0;
    std::unique_ptr<CUndoStep> step = m_undoHistory.TakeRedoStep();
    return step ? RestoreState(*step) : 0;
}

void CCanvasModel::SetHoldUndo(bool on) {
    m_holdUndo = on;
    if (!on) return;
    m_undoHistory.Restart();
    PushUndoForHold();
}

} // namespace quiltara
