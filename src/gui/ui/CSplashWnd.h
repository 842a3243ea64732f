#pragma once
#include <QPixmap>
#include <QWidget>

namespace quiltara::gui {

/// The start-up picture: a borderless window centred on the screen that goes after
/// 750 ms or at the first key or mouse button pressed anywhere in the program, after
/// which the main window is drawn again.
class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    /// Shows the picture over mainWindow; it deletes itself when it goes.
    static CSplashWnd* ShowSplash(QWidget* mainWindow);
    /// The picture the window shows (its size is the window's).
    static QPixmap SplashArt();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CSplashWnd(QWidget* mainWindow);
    void Finish();

    QWidget* m_mainWindow;
    QPixmap m_art;
    bool m_done = false;
};

} // namespace quiltara::gui
