#pragma once
#include "gui/app/CommandTarget.h"

#include <QList>
#include <QMainWindow>
#include <map>
#include <vector>

class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QToolBar;
class QAction;
class QActionGroup;
class QDockWidget;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CBrushPanel;
class CChildFrame;
class CInitDialogBar;
class CColorTexturePanel;
class CToolListPicker;
class CStampPanel;
class CToolBarEx;
class CToolsPanel;
class CTessaryDoc;
class CTessaryView;

/// The main window: menu bar, toolbar with the zoom box, status bar with the memory
/// pane, and the document windows. Commands go to the active view, its document,
/// this frame and the application, in that order.
class CMainFrame : public QMainWindow, public ICommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(ICommandTarget* application, QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// Opens a window for the document (taking ownership) and sets its view up.
    CChildFrame* AddDocumentWindow(CTessaryDoc* document);
    CTessaryView* ActiveView() const;
    QAction* Action(int id) const;
    QMdiArea* MdiArea() const { return m_mdi; }
    QComboBox* ZoomBox() const { return m_zoomBox; }
    CToolBarEx* ToolBar() const { return m_toolBar; }
    QLabel* MemoryPane() const { return m_memoryPane; }
    /// The active picture's seam and repetition scores.
    QLabel* SeamPane() const { return m_seamPane; }

    /// Runs a command through the routing chain; false when nobody handles it.
    bool Dispatch(int id);
    /// The state a command would show now.
    CommandState QueryState(int id) const;
    /// Refreshes enable and check marks of every action, and the changed marks of the
    /// titles.
    void UpdateAllActions();
    /// The document windows' titles show which pictures are changed; the frame's title
    /// names the active one.
    void UpdateDocumentTitles();
    /// The Window menu's list of open documents, the active one checked.
    void UpdateWindowList();
    /// The window of the document being worked on, or null.
    CChildFrame* ActiveChild() const;
    /// Makes the document window the one worked on.
    void ActivateChild(QMdiSubWindow* child);
    /// The next (1) or previous (-1) document window in the order they were opened.
    void CycleDocuments(int direction);
    void UpdateMemoryPane();
    void UpdateSeamPane();
    /// Shows the zoom in the zoom box: its entry when there is one, else "Custom".
    void UpdateZoomBox(double zoom);

    /// The tool panels' contents: "Tools" and the retouch and effects pickers.
    CToolsPanel* ToolsPanel() const { return m_toolsPanel; }
    CToolListPicker* RetouchPicker() const { return m_retouchPicker; }
    CToolListPicker* EffectsPicker() const { return m_effectsPicker; }
    /// The "Color & Texture" bar and the brush bar.
    CColorTexturePanel* ColorTexturePanel() const { return m_colorPanel; }
    CBrushPanel* BrushPanel() const { return m_brushPanel; }
    CStampPanel* StampPanel() const { return m_stampPanel; }
    void ShowStampPanel(bool show);
    void ShowRetouchPanel(bool show);
    void ShowEffectsPanel(bool show);
    void ShowClonePanel(bool show);
    /// The seven panels by their index (kPanelColor ... kPanelClone), in the order they
    /// are made, saved and pulled to when one is dragged.
    CInitDialogBar* Panel(int index) const;
    /// The panels' remembered place, collapse and visibility, one settings section each;
    /// the four tool panels always start hidden.
    void RestorePanels(const ISettingsStore& store);
    void SavePanels(ISettingsStore& store) const;
    /// The panels show the tool set's state again.
    void RefreshToolPanels();

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

signals:
    /// Files dropped on the window, to be opened.
    void filesDropped(const QStringList& files);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildToolPanels();
    void OnZoomBoxActivated(int index);
    void OnSubWindowActivated();

    ICommandTarget* m_application;
    QMdiArea* m_mdi;
    CToolBarEx* m_toolBar = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLabel* m_memoryPane = nullptr;
    QLabel* m_seamPane = nullptr;
    std::map<int, QAction*> m_actions;
    CToolsPanel* m_toolsPanel = nullptr;
    CToolListPicker* m_retouchPicker = nullptr;
    CToolListPicker* m_effectsPicker = nullptr;
    CStampPanel* m_stampPanel = nullptr;
    std::vector<CInitDialogBar*> m_panels;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowList;
    QActionGroup* m_windowGroup = nullptr;
    CColorTexturePanel* m_colorPanel = nullptr;
    CBrushPanel* m_brushPanel = nullptr;
    void BuildColorAndBrushPanels();
    void ConnectCanvasToPanels(CChildFrame* child);
};

} // namespace quiltara::gui
