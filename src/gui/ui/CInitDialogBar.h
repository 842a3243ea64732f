#pragma once
#include "core/base/Rect.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QDockWidget;
class QVBoxLayout;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CBubble;

/// One of the main window's tool panels: a frameless tool window of its own with a
/// painted background, a 21-pixel title strip with a collapse and a close button, moved
/// by dragging its background and pulled to the screen's and the other panels' edges.
/// Where the window system does not let a program place its windows (Wayland), the
/// panel lives in a dock widget of the main window instead.
class CInitDialogBar : public QWidget {
    Q_OBJECT
public:
    /// Whether panels float in windows of their own on this platform.
    static bool CanFloat();

    /// A panel titled title holding content; floating (a tool window of frame) or, when
    /// docked is set, an ordinary widget for a dock widget.
    CInitDialogBar(const QString& title, QWidget* content, QWidget* frame, bool docked);

    QWidget* Content() const { return m_content; }
    bool Floating() const { return !m_docked; }
    /// The dock widget holding a docked panel (null while floating).
    void SetDock(QDockWidget* dock) { m_dock = dock; }
    QDockWidget* Dock() const { return m_dock; }

    /// Collapsed to its title strip.
    bool Small() const { return m_small; }
    void ToggleSmall();
    /// Shows or hides the panel. A floating panel is on the screen only while the
    /// frame is: SyncWithFrame puts it there or takes it away.
    void Show(bool show);
    bool IsShown() const;
    void SyncWithFrame(bool frameVisible);

    /// The panel's full size (the size of its background).
    QSize FullSize() const { return m_art.size(); }
    /// The screen rectangle of a floating panel; empty when it is docked.
    CRect FrameRect() const;
    /// Puts a floating panel's corner at its start place in the work area.
    void MoveToStart(int panelIndex);

    void RestorePosition(const ISettingsStore& store, const std::string& section);
    void SavePosition(ISettingsStore& store, const std::string& section) const;

    /// The panels a dragged one is pulled to, in list order (this one among them).
    void SetPanelList(const std::vector<CInitDialogBar*>* panels) { m_panels = panels; }

signals:
    /// The panel was shown or hidden, by the program or from its own strip.
    void shownChanged(bool shown);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CRect WorkArea() const;
    /// Sizes the panel and its art to what the content asks for now (fonts and texts
    /// settle only once the content is polished).
    void FitContent();
    void ApplySmall();

    QWidget* m_content;
    QString m_title;
    bool m_docked;
    QDockWidget* m_dock = nullptr;
    QPixmap m_art;
    bool m_small = false;
    bool m_wanted = true;
    bool m_dragging = false;
    QPoint m_lastDragPoint;
    const std::vector<CInitDialogBar*>* m_panels = nullptr;
    CBubble* m_bubble = nullptr;
    int m_hoverHit = 0;
};

/// The panels' background art: a strip with the title and the two buttons over a
/// textured body, size and title as given (strip only when withStrip).
QPixmap PanelArt(const QSize& size, const QString& title, bool withStrip);

} // namespace quiltara::gui
