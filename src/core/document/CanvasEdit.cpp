#include "core/document/CanvasEdit.h"

#include "core/document/CanvasModel.h"
#include "core/paint/Stroke.h"

#include <algorithm>
#include <new>
#include <utility>

namespace quiltara {

CCanvasEdit::CCanvasEdit(CCanvasModel& model, const CRect& rect, Kind kind)
    : m_model(&model), m_kind(kind), m_rect(rect), m_width(model.m_beforeImage.GetWidth()),
      m_height(model.m_beforeImage.GetHeight()) {
    // The step keeps the canvas as it was at the start; while Hold Undo is on no step is
    // taken, so nothing is copied.
    if (!model.m_holdUndo) {
        m_state = model.CurrentState();
        m_stateTaken = true;
    }
    ++model.m_activeEdits;
}

CCanvasEdit::CCanvasEdit(CCanvasEdit&& other) noexcept
    : m_model(std::exchange(other.m_model, nullptr)), m_kind(other.m_kind), m_rect(other.m_rect),
      m_width(other.m_width), m_height(other.m_height), m_state(std::move(other.m_state)),
      m_stateTaken(other.m_stateTaken) {}

CCanvasEdit& CCanvasEdit::operator=(CCanvasEdit&& other) noexcept {
    if (this == &other) return *this;
    try {
        Commit();
    } catch (const std::bad_alloc&) {
        // The edit has ended; its before-image could not follow a new size.
    }
    m_model = std::exchange(other.m_model, nullptr);
    m_kind = other.m_kind;
    m_rect = other.m_rect;
    m_width = other.m_width;
    m_height = other.m_height;
    m_state = std::move(other.m_state);
    m_stateTaken = other.m_stateTaken;
    return *this;
}

CCanvasEdit::~CCanvasEdit() {
    try {
        Commit();
    } catch (const std::bad_alloc&) {
        // As above: nothing more can be done here.
    }
}

CDIBSection2& CCanvasEdit::Image() {
    return m_model->m_workingImage;
}

const CDIBSection2& CCanvasEdit::Before() const {
    return m_model->m_beforeImage;
}

CDIBSection2& CCanvasEdit::ReadImage() {
    return m_model->m_beforeImage;
}

void CCanvasEdit::Extend(const CRect& memoryRect) {
    if (!m_model) return;
    const CRect r = WrapRectIntoImage(memoryRect.Normalized(), m_width, m_height);
    if (r.IsEmpty()) return;
    if (m_rect.IsEmpty()) {
        m_rect = r;
        return;
    }
    m_rect = CRect{std::min(m_rect.left, r.left), std::min(m_rect.top, r.top),
                   std::max(m_rect.right, r.right), std::max(m_rect.bottom, r.bottom)};
}

CCanvasModel* CCanvasEdit::Finish() {
    CCanvasModel* model = std::exchange(m_model, nullptr);
    if (model) --model->m_activeEdits;
    return model;
}

void CCanvasEdit::Cancel() {
    Finish();
    m_state = CStepState{};
}

void CCanvasEdit::Commit() {
    CCanvasModel* model = Finish();
    if (!model) return;
    if (m_kind == Kind::Growing && m_rect.IsEmpty()) {
        // A stroke that laid nothing.
        m_state = CStepState{};
        return;
    }
    const CDIBSection2& working = model->m_workingImage;
    const bool sizeChanged = working.GetWidth() != m_width || working.GetHeight() != m_height;
    try {
        // Hold Undo was on at the start and is off now: the state is the present one.
        if (!m_stateTaken && !model->m_holdUndo) m_state = model->CurrentState();
        // A picture of another size is restored whole.
        model->PushUndo(sizeChanged ? CRect{} : m_rect, std::move(m_state));
    } catch (const std::bad_alloc&) {
        // The edit goes on without a step.
        model->unsavedChanges = true;
        model->m_pictureState = ++model->m_lastPictureState;
    }
    m_state = CStepState{};
    if (m_kind == Kind::Float) model->m_floatBackup.Copy(&model->m_floatImage);
    model->SyncBeforeImage(sizeChanged ? CRect{} : m_rect);
    if (sizeChanged) model->ImageSizeChanged();
}

} // namespace quiltara
