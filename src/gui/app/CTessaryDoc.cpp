#include "app/CTessaryDoc.h"

#include "app/CommandIds.h"
#include "view/CCanvasWnd.h"

namespace quiltara::gui {

CTessaryDoc::CTessaryDoc(QObject* parent) : QObject(parent) {}

CTessaryDoc::~CTessaryDoc() = default;

bool CTessaryDoc::NewBlank(int width, int height, ColorRef color) {
    original.Create(width, height, 32, true);
    original.FillOpaque(color);
    return true;
}

bool CTessaryDoc::NewFromPicture(const CDIBSection2& picture) {
    original.Copy(&picture);
    original.SetAlpha(255);
    m_modified = true;
    return true;
}

void CTessaryDoc::OnViewInitialised(CCanvasWnd* view) {
    canvas = view;
    if (originalLoaded) {
        original.SwapOut();
    } else {
        original.DeleteTempFile();
        original.Create(1, 1, 32, true);
    }
}

void CTessaryDoc::SetAsOriginal() {
    if (!canvas) return;
    original.Copy(&canvas->Model().workingImage);
    originalLoaded = true;
    original.SwapOut();
}

bool CTessaryDoc::HasOriginal() const {
    if (original.IsSwappedOut()) return true;
    return !original.IsEmpty() && !(original.GetWidth() == 1 && original.GetHeight() == 1);
}

bool CTessaryDoc::IsModified() const {
    return m_modified || (canvas && canvas->Model().unsavedChanges);
}

void CTessaryDoc::SetTitle(const QString& title) {
    m_title = title;
    emit titleChanged(title);
}

bool CTessaryDoc::OnCommand(int id) {
    switch (id) {
    case ID_SET_AS_ORIGINAL: SetAsOriginal(); return true;
    default: return false;
    }
}

bool CTessaryDoc::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case ID_SET_AS_ORIGINAL: state.enabled = canvas != nullptr; return true;
    default: return false;
    }
}

} // namespace quiltara::gui
