#include "view/CTessaryView.h"

#include "app/CTessaryApp.h"
#include "app/CTessaryDoc.h"
#include "ui/CHelpPictureWnd.h"
#include "app/CommandIds.h"
#include "view/CCanvasWnd.h"

#include <QTimer>
#include <QVBoxLayout>

namespace quiltara::gui {

CTessaryView::CTessaryView(CTessaryDoc* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_canvas(new CCanvasWnd(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    setFocusProxy(m_canvas);
    connect(m_canvas, &CCanvasWnd::zoomChanged, this, &CTessaryView::zoomChanged);
}

void CTessaryView::OnInitialUpdate() {
    m_canvas->AttachDocument(&m_document->original, &m_document->surroundingsImage,
                             m_document->tileOffsetX, m_document->tileOffsetY);
    m_document->OnViewInitialised(m_canvas);

    // The first picture ever shown comes with a short help picture.
    if (CTessaryApp* app = CTessaryApp::Instance()) {
        if (app->Store().GetInt("AppWin", "Run", 0) == 0) {
            app->Store().SetInt("AppWin", "Run", 1);
            QTimer::singleShot(300, this, [this] { CHelpPictureWnd::Show("hlpfile1.png", this); });
        }
    }
}

bool CTessaryView::OnCommand(int id) {
    switch (id) {
    case ID_ZOOM_IN: m_canvas->ZoomIn(); return true;
    case ID_ZOOM_OUT: m_canvas->ZoomOut(); return true;
    case ID_ORIGINAL_SIZE: m_canvas->SetZoom(1.0); return true;
    case ID_FIT_TO_SCREEN: m_canvas->FitToWindow(); return true;
    case ID_TILE_BORDER: m_canvas->SetShowTileBorder(!m_canvas->ShowTileBorder()); return true;
    default: return false;
    }
}

bool CTessaryView::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case ID_ZOOM_IN:
    case ID_ZOOM_OUT:
    case ID_ORIGINAL_SIZE:
    case ID_FIT_TO_SCREEN: state.enabled = true; return true;
    case ID_TILE_BORDER:
        state.enabled = true;
        state.checked = m_canvas->ShowTileBorder();
        return true;
    default: return false;
    }
}

} // namespace quiltara::gui
