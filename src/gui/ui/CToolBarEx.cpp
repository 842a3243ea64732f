#include "gui/ui/CToolBarEx.h"

#include <QActionEvent>
#include <QCursor>
#include <QToolButton>

namespace quiltara::gui {

CToolBarEx::CToolBarEx(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    m_leaveCheck.setInterval(250);
    connect(&m_leaveCheck, &QTimer::timeout, this, &CToolBarEx::CheckMouseLeft);
}

void CToolBarEx::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() != QEvent::ActionAdded) {
        if (event->type() == QEvent::ActionRemoved && event->action() == m_hot) SetHot(nullptr);
        return;
    }
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(event->action()))) {
        button->setAutoRaise(true);
        button->installEventFilter(this);
    }
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
    case QEvent::HoverMove:
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            // Separators and disabled commands never light up.
            QAction* action = button->defaultAction();
            SetHot(action && action->isEnabled() && !action->isSeparator() ? action : nullptr);
            m_leaveCheck.start();
        }
        break;
    default:
        break;
    }
    return QToolBar::eventFilter(watched, event);
}

void CToolBarEx::SetHot(QAction* action) {
    if (action == m_hot) return;
    QWidget* previous = m_hot ? widgetForAction(m_hot) : nullptr;
    m_hot = action;
    if (previous) previous->update();
    if (QWidget* now = m_hot ? widgetForAction(m_hot) : nullptr) now->update();
}

void CToolBarEx::CheckMouseLeft() {
    if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
    m_leaveCheck.stop();
    if (QWidget* button = m_hot ? widgetForAction(m_hot) : nullptr) {
        button->setAttribute(Qt::WA_UnderMouse, false);
        button->update();
    }
    SetHot(nullptr);
}

} // namespace quiltara::gui
