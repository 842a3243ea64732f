#include "gui/ui/CChildFrame.h"

#include "gui/app/AppState.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/ui/ToolIcons.h"
#include "gui/view/CTessaryView.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>

namespace quiltara::gui {

CChildFrame::CChildFrame(CTessaryDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(new CTessaryView(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
    m_document->setParent(this);
    setWindowIcon(ProgramIcon());
    // "[*]" shows where the title marks a picture with unsaved changes.
    setWindowTitle(m_document->Title() + "[*]");
    connect(m_document, &CTessaryDoc::titleChanged, this,
            [this](const QString& title) { setWindowTitle(title + "[*]"); });
    // The File menu's "&Close" closes the document on its key; the window menu's own
    // Close would claim the same key and leave it to neither.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions()) action->setShortcuts({});
    RefreshModified();
}

void CChildFrame::RefreshModified() {
    setWindowModified(m_document->IsModified());
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
