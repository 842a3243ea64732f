#include "gui/ui/CChildFrame.h"

#include "gui/app/AppState.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/view/CTessaryView.h"

#include <QCloseEvent>

namespace quiltara::gui {

CChildFrame::CChildFrame(CTessaryDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(new CTessaryView(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
    m_document->setParent(this);
    setWindowTitle(m_document->Title());
    connect(m_document, &CTessaryDoc::titleChanged, this, &QWidget::setWindowTitle);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_document->SaveModified(this)) {
        event->ignore();
        return;
    }
    // Closing a view stops a long tool run on it.
    AppState().stopFlag = true;
    QMdiSubWindow::closeEvent(event);
}

} // namespace quiltara::gui
