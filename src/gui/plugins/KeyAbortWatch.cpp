#include "gui/plugins/KeyAbortWatch.h"

#include <QApplication>
#include <QEvent>

namespace quiltara::gui {

CKeyAbortWatch::CKeyAbortWatch() : m_previous(s_current) {
    s_current = this;
    qApp->installEventFilter(this);
}

CKeyAbortWatch::~CKeyAbortWatch() {
    qApp->removeEventFilter(this);
    s_current = m_previous;
}

bool CKeyAbortWatch::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        m_keyPressed = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

bool CKeyAbortWatch::Poll() {
    QApplication::processEvents();
    if (m_keyPressed) return true;
    if (m_firstPoll) {
        // Windows that appeared while the run started may have taken the wait cursor.
        m_firstPoll = false;
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    }
    return false;
}

} // namespace quiltara::gui
