#pragma once
#include <QTimer>
#include <QToolBar>

namespace quiltara::gui {

/// The main window's flat toolbar: its buttons lie flat in the desktop's button colours
/// and rise while the mouse is over them. The toolbar follows the hot button itself and
/// lays it flat again once the mouse has left the toolbar, even when the window system
/// never said so (a dialog opened from the button and closed elsewhere).
class CToolBarEx : public QToolBar {
    Q_OBJECT
public:
    explicit CToolBarEx(const QString& title, QWidget* parent = nullptr);

    /// The command whose button the mouse is over, or null.
    QAction* HotAction() const { return m_hot; }

protected:
    void actionEvent(QActionEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetHot(QAction* action);
    void CheckMouseLeft();

    QAction* m_hot = nullptr;
    QTimer m_leaveCheck;
};

} // namespace quiltara::gui
