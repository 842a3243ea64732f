#include "gui/ui/CMainFrame.h"

#include "core/base/MemoryStatus.h"
#include "core/base/PanelGeometry.h"
#include "core/base/SettingsStore.h"
#include "core/document/CanvasGeometry.h"
#include "core/paint/ToolSet.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/paint/CBrushPanel.h"
#include "gui/paint/CColorTexturePanel.h"
#include "gui/paint/CStampPanel.h"
#include "gui/paint/CToolListPicker.h"
#include "gui/paint/CToolsPanel.h"
#include "gui/ui/CChildFrame.h"
#include "gui/ui/CInitDialogBar.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/ui/CToolBarEx.h"
#include "gui/ui/MenuTable.h"
#include "gui/ui/ToolIcons.h"
#include "gui/ui/WindowPlacement.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

namespace quiltara::gui {

namespace {
const char* const kZoomEntries[] = {"10%",  "30%",  "50%",  "80%",  "100%",  "200%",
                                    "300%", "400%", "600%", "800%", "Custom"};

// The panels in the order of their indices: title, settings section, View menu command.
struct PanelEntry {
    const char* title;
    const char* section;
    int viewCommand;
    const char* name;
};
constexpr PanelEntry kPanelEntries[kPanelCount] = {
    {"Color & Texture", "PosColor", ID_VIEW_COLOR_BAR, "colorBar"},
    {"Brushes", "PosBrush", ID_VIEW_BRUSHES, "brushBar"},
    {"Tools", "PosTools", ID_VIEW_TOOLS, "toolsBar"},
    {"Stamp", "PosStamp", ID_VIEW_STAMP_BAR, "stampBar"},
    {"Retouch", "PosRetouch", ID_VIEW_RETOUCH, "retouchBar"},
    {"Effects", "PosEffects", ID_VIEW_EFFECTS, "effectsBar"},
    {"Clone", "PosClone", ID_VIEW_CLONE_BAR, "cloneBar"},
};

int PanelOfViewCommand(int id) {
    for (int i = 0; i < kPanelCount; ++i)
        if (kPanelEntries[i].viewCommand == id) return i;
    return -1;
}
} // namespace

CMainFrame::CMainFrame(ICommandTarget* application, QWidget* parent)
    : QMainWindow(parent), m_application(application), m_mdi(new QMdiArea(this)) {
    setObjectName("MainFrame");
    setWindowTitle("Quiltara");
    setWindowIcon(ProgramIcon());
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildToolPanels();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    // Enable and check marks follow the state of the documents; refresh them when idle.
    auto* idle = new QTimer(this);
    idle->setInterval(250);
    connect(idle, &QTimer::timeout, this, [this] {
        UpdateAllActions();
        UpdateMemoryPane();
        UpdateSeamPane();
    });
    idle->start();
    // The memory pane is refreshed at least once a minute even when nothing happens.
    auto* minute = new QTimer(this);
    minute->setInterval(60000);
    connect(minute, &QTimer::timeout, this, &CMainFrame::UpdateMemoryPane);
    minute->start();
    UpdateAllActions();
    UpdateMemoryPane();
    resize(1200, 800);
    setAcceptDrops(true);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    emit filesDropped(files);
}

CMainFrame::~CMainFrame() {
    // Document windows close while the frame is taken apart; they must not call back
    // into a frame that is half gone.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w))
            disconnect(child->View(), nullptr, this, nullptr);
}

void CMainFrame::BuildMenus() {
    std::map<QString, QMenu*> menus;
    auto menuFor = [&](const QString& path) {
        QMenu*& menu = menus[path];
        if (menu) return menu;
        const int slash = path.lastIndexOf('/');
        if (slash < 0) {
            menu = menuBar()->addMenu(path);
        } else {
            QMenu* parentMenu = menus[path.left(slash)];
            if (!parentMenu)
                parentMenu = menus[path.left(slash)] = menuBar()->addMenu(path.left(slash));
            menu = parentMenu->addMenu(path.mid(slash + 1));
        }
        menu->setObjectName(path);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateAllActions);
        if (path == "&Window") {
            m_windowMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowList);
        }
        return menu;
    };
    for (const MenuItem& item : MainMenuItems()) {
        QMenu* menu = menuFor(item.path);
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.text);
        action->setData(item.id);
        action->setObjectName(QString("command%1").arg(item.id));
        action->setCheckable(item.checkable);
        if (item.shortcut) action->setShortcuts(QKeySequence::listFromString(item.shortcut));
        if (item.statusTip) action->setStatusTip(item.statusTip);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        m_actions[id] = action;
    }
}

void CMainFrame::BuildToolBar() {
    m_toolBar = new CToolBarEx("Standard", this);
    addToolBar(m_toolBar);
    m_toolBar->setObjectName("toolbar");
    m_toolBar->setMovable(true);
    // The program's own art: the style's stock icons read wrongly on some desktops (a
    // red cross for Help, a grayed page for New).
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_REDO, ID_HELP,
                   ID_ZOOM_IN, ID_ZOOM_OUT, ID_FIT_TO_SCREEN, ID_TILE_BORDER, ID_TOOL_ARROW,
                   ID_TOOL_ZOOM, ID_TOOL_MOVE_CANVAS, ID_TOOL_CROP, ID_TOOL_FLOAT, ID_EDIT_CUT,
                   ID_EDIT_COPY, ID_EDIT_PASTE})
        Action(id)->setIcon(ToolIcon(id));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE}) m_toolBar->addAction(Action(id));
    m_toolBar->addSeparator();
    for (int id : {ID_EDIT_UNDO, ID_EDIT_REDO}) m_toolBar->addAction(Action(id));
    m_toolBar->addSeparator();
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) m_toolBar->addAction(Action(id));
    m_toolBar->addSeparator();
    for (int id : {ID_ZOOM_OUT, ID_ZOOM_IN}) m_toolBar->addAction(Action(id));

    m_zoomBox = new QComboBox;
    m_zoomBox->setObjectName("zoomBox");
    for (const char* entry : kZoomEntries) m_zoomBox->addItem(entry);
    m_zoomBox->setCurrentText("100%");
    m_zoomBox->setMinimumWidth(80);
    m_zoomBox->setToolTip("Zoom");
    connect(m_zoomBox, &QComboBox::activated, this, &CMainFrame::OnZoomBoxActivated);
    m_toolBar->addWidget(m_zoomBox);
    for (int id : {ID_FIT_TO_SCREEN, ID_TILE_BORDER}) m_toolBar->addAction(Action(id));
    m_toolBar->addSeparator();
    for (int id : {ID_TOOL_ARROW, ID_TOOL_ZOOM, ID_TOOL_MOVE_CANVAS, ID_TOOL_CROP, ID_TOOL_FLOAT})
        m_toolBar->addAction(Action(id));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(ID_HELP));
}

void CMainFrame::BuildStatusBar() {
    statusBar()->setObjectName("statusbar");
    m_seamPane = new QLabel;
    m_seamPane->setObjectName("seamPane");
    m_seamPane->setToolTip("How visible the tile's seams are (0: not at all) and how visible its "
                           "repetition is from afar (0 to 1)");
    statusBar()->addPermanentWidget(m_seamPane);
    m_seamPane->hide();
    m_memoryPane = new QLabel;
    m_memoryPane->setObjectName("memoryPane");
    statusBar()->addPermanentWidget(m_memoryPane);
    statusBar()->showMessage("Ready");
    CStatusProgress::SetStatusBar(statusBar());
}

void CMainFrame::BuildToolPanels() {
    m_toolsPanel = new CToolsPanel;
    m_retouchPicker = new CToolListPicker(RetouchList(), kPositionRetouch);
    m_effectsPicker = new CToolListPicker(EffectsList(), kPositionEffects);
    m_stampPanel = new CStampPanel;
    BuildColorAndBrushPanels();
    // The clone bar: what the brushes clone from, the same commands as the Tools menu.
    auto* clone = new QWidget;
    clone->setObjectName("clonePanel");
    auto* cloneLayout = new QVBoxLayout(clone);
    cloneLayout->setContentsMargins(2, 2, 2, 2);
    cloneLayout->setSpacing(1);
    for (int id : {ID_CLONE_NONE, ID_CLONE_TEXTURE, ID_CLONE_ORIGINAL}) {
        auto* button = new QToolButton;
        button->setDefaultAction(Action(id));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        cloneLayout->addWidget(button);
    }

    QWidget* const contents[kPanelCount] = {m_colorPanel, m_brushPanel,    m_toolsPanel,
                                            m_stampPanel, m_retouchPicker, m_effectsPicker,
                                            clone};
    const bool docked = !CInitDialogBar::CanFloat();
    for (int i = 0; i < kPanelCount; ++i) {
        const PanelEntry& entry = kPanelEntries[i];
        auto* panel = new CInitDialogBar(entry.title, contents[i], this, docked);
        panel->setObjectName(entry.name);
        panel->SetPanelList(&m_panels);
        if (docked) {
            auto* dock = new QDockWidget(entry.title, this);
            dock->setObjectName(QString(entry.name) + "Dock");
            dock->setWidget(panel);
            const bool right =
                i == kPanelColor || i == kPanelBrushes || i == kPanelStamp || i == kPanelClone;
            addDockWidget(right ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea, dock);
            panel->SetDock(dock);
        } else {
            panel->MoveToStart(i);
        }
        m_panels.push_back(panel);
        // The stamp, retouch, effects and clone panels wait for the tools that need them.
        if (i >= kPanelStamp) panel->Show(false);
    }
}

// ------------------------------------------------ colour, texture and brush panels

void CMainFrame::BuildColorAndBrushPanels() {
    m_colorPanel = new CColorTexturePanel;
    m_colorPanel->SetCloneActions(Action(ID_CLONE_NONE), Action(ID_CLONE_TEXTURE),
                                  Action(ID_CLONE_ORIGINAL));
    m_brushPanel = new CBrushPanel;
    // The brush outline cursor follows the brush's size.
    auto updateCursors = [this] {
        for (QMdiSubWindow* w : m_mdi->subWindowList())
            if (auto* child = qobject_cast<CChildFrame*>(w))
                child->View()->Canvas()->UpdateCursor();
    };
    connect(m_brushPanel, &CBrushPanel::brushChanged, this, updateCursors);
    connect(m_colorPanel, &CColorTexturePanel::colorsChanged, this, updateCursors);
}

CInitDialogBar* CMainFrame::Panel(int index) const {
    return index >= 0 && index < int(m_panels.size()) ? m_panels[std::size_t(index)] : nullptr;
}

void CMainFrame::RestorePanels(const ISettingsStore& store) {
    for (int i = 0; i < kPanelCount; ++i) {
        m_panels[std::size_t(i)]->RestorePosition(store, kPanelEntries[i].section);
        if (i >= kPanelStamp) m_panels[std::size_t(i)]->Show(false);
    }
}

void CMainFrame::SavePanels(ISettingsStore& store) const {
    for (int i = 0; i < kPanelCount; ++i)
        m_panels[std::size_t(i)]->SavePosition(store, kPanelEntries[i].section);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    for (CInitDialogBar* panel : m_panels) panel->SyncWithFrame(true);
}

void CMainFrame::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    for (CInitDialogBar* panel : m_panels) panel->SyncWithFrame(false);
}

void CMainFrame::ConnectCanvasToPanels(CChildFrame* child) {
    CCanvasWnd* canvas = child->View()->Canvas();
    connect(canvas, &CCanvasWnd::colorPicked, m_colorPanel, &CColorTexturePanel::Refresh);
    connect(canvas, &CCanvasWnd::texturePicked, this, [this, canvas](int x, int bufferRow) {
        m_colorPanel->RunAutoTextureMaker(canvas->Model().WorkingImage(), x, bufferRow);
    });
}

void CMainFrame::ShowStampPanel(bool show) {
    m_panels[kPanelStamp]->Show(show);
}

void CMainFrame::ShowRetouchPanel(bool show) {
    m_panels[kPanelRetouch]->Show(show);
}

void CMainFrame::ShowEffectsPanel(bool show) {
    m_panels[kPanelEffects]->Show(show);
}

void CMainFrame::ShowClonePanel(bool show) {
    m_panels[kPanelClone]->Show(show);
}

void CMainFrame::RefreshToolPanels() {
    const CToolSet& tools = AppState().tools;
    m_toolsPanel->Refresh(tools);
    m_retouchPicker->Refresh(tools);
    m_effectsPicker->Refresh(tools);
    m_stampPanel->Refresh();
    ShowStampPanel(tools.Current() == kToolRubberStamp);
    m_brushPanel->Refresh();
    m_colorPanel->Refresh();
}

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

CChildFrame* CMainFrame::AddDocumentWindow(CTessaryDoc* document) {
    const int index = int(m_mdi->subWindowList().size());
    auto* child = new CChildFrame(document);
    m_mdi->addSubWindow(child);
    // Inside the visible work area, each new window a title bar further down and right,
    // in the band the floating panels leave free at the sides.
    std::vector<QRect> covers;
    for (const CInitDialogBar* panel : m_panels)
        if (panel->Floating() && panel->isVisible())
            covers.emplace_back(m_mdi->viewport()->mapFromGlobal(panel->frameGeometry().topLeft()),
                                panel->frameGeometry().size());
    const QSize viewport = m_mdi->viewport()->size();
    const QRect band = UncoveredBand(QRect(QPoint(0, 0), viewport), covers, viewport.width() / 2);
    const QSize area = band.size();
    const int step = std::max(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, child), 16);
    // Three quarters of the area, at least 400 x 300 where the area allows, and always
    // leaving room for a few steps of the cascade.
    auto side = [step](int room, int least) {
        const int most = std::max(room - 3 * step, 1);
        return std::clamp(room * 3 / 4, std::min(least, most), most);
    };
    const QSize size(side(area.width(), 400), side(area.height(), 300));
    child->show();
    if (!child->isMaximized())
        child->setGeometry(QRect(band.topLeft() + CascadePlace(index, size, area, step), size));
    child->View()->OnInitialUpdate();
    connect(child->View(), &CTessaryView::zoomChanged, this, &CMainFrame::UpdateZoomBox);
    ConnectCanvasToPanels(child);
    m_mdi->setActiveSubWindow(child);
    UpdateZoomBox(child->View()->Canvas()->Geometry().Zoom());
    return child;
}

CTessaryView* CMainFrame::ActiveView() const {
    auto* child = qobject_cast<CChildFrame*>(m_mdi->activeSubWindow());
    if (!child) {
        // Off screen nothing is ever "active"; the window on top is.
        const auto list = m_mdi->subWindowList(QMdiArea::StackingOrder);
        if (!list.isEmpty()) child = qobject_cast<CChildFrame*>(list.last());
    }
    return child ? child->View() : nullptr;
}

bool CMainFrame::Dispatch(int id) {
    CommandState state = QueryState(id);
    if (!state.enabled) return false;
    if (CTessaryView* view = ActiveView()) {
        if (view->OnCommand(id)) return true;
        if (view->Document()->OnCommand(id)) return true;
    }
    if (OnCommand(id)) return true;
    return m_application && m_application->OnCommand(id);
}

CommandState CMainFrame::QueryState(int id) const {
    CommandState state;
    if (CTessaryView* view = ActiveView()) {
        if (view->UpdateCommand(id, state)) return state;
        if (view->Document()->UpdateCommand(id, state)) return state;
    }
    if (const_cast<CMainFrame*>(this)->UpdateCommand(id, state)) return state;
    if (m_application) m_application->UpdateCommand(id, state);
    return state;
}

void CMainFrame::UpdateAllActions() {
    for (auto& [id, action] : m_actions) {
        const CommandState state = QueryState(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable()) action->setChecked(state.checked);
    }
    UpdateDocumentTitles();
}

CChildFrame* CMainFrame::ActiveChild() const {
    CTessaryView* view = ActiveView();
    return view ? qobject_cast<CChildFrame*>(view->parentWidget()) : nullptr;
}

void CMainFrame::UpdateDocumentTitles() {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(w)) child->RefreshModified();
    // The frame's title names the picture being worked on, marked while it is changed.
    CChildFrame* active = ActiveChild();
    setWindowTitle(active ? "Quiltara - " + active->Document()->Title() + "[*]" : "Quiltara");
    setWindowModified(active && active->isWindowModified());
}

void CMainFrame::UpdateWindowList() {
    for (QAction* a : m_windowList) {
        m_windowMenu->removeAction(a);
        a->deleteLater();
    }
    m_windowList.clear();
    delete m_windowGroup;
    m_windowGroup = nullptr;
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    const CChildFrame* active = ActiveChild();
    auto* group = m_windowGroup = new QActionGroup(m_windowMenu);
    m_windowList << m_windowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        auto* child = qobject_cast<CChildFrame*>(windows[i]);
        if (!child) continue;
        const QString number = i < 9 ? QString("&%1 ").arg(i + 1) : QString("%1 ").arg(i + 1);
        QAction* a = m_windowMenu->addAction(number + child->Document()->Title());
        a->setObjectName(QString("window%1").arg(i + 1));
        a->setCheckable(true);
        a->setChecked(child == active);
        a->setActionGroup(group);
        connect(a, &QAction::triggered, this, [this, child] { ActivateChild(child); });
        m_windowList << a;
    }
}

void CMainFrame::ActivateChild(QMdiSubWindow* child) {
    if (!m_mdi->subWindowList().contains(child)) return;
    m_mdi->setActiveSubWindow(child);
    // Off screen nothing becomes active: the window on top is the one worked on.
    child->raise();
    OnSubWindowActivated();
}

void CMainFrame::CycleDocuments(int direction) {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.size() < 2) return;
    const int at = std::max(0, int(windows.indexOf(ActiveChild())));
    const int n = int(windows.size());
    ActivateChild(windows[((at + direction) % n + n) % n]);
}

void CMainFrame::UpdateMemoryPane() {
    m_memoryPane->setText(QString::fromStdString(FormatMemoryText(AvailablePhysicalMemory())));
}

void CMainFrame::UpdateSeamPane() {
    const CTessaryView* view = ActiveView();
    const QString text = view ? view->Seams().StatusText() : QString();
    m_seamPane->setText(text);
    // Without a picture there is nothing to score, and the message pane takes the room.
    m_seamPane->setVisible(!text.isEmpty());
}

void CMainFrame::UpdateZoomBox(double zoom) {
    const QString text = QString("%1%").arg(int(std::lround(zoom * 100)));
    const int index = m_zoomBox->findText(text);
    m_zoomBox->setCurrentIndex(index >= 0 ? index : m_zoomBox->findText("Custom"));
    m_zoomBox->setToolTip(QString("Zoom %1").arg(text));
    statusBar()->showMessage(QString("Zoom %1").arg(text), 3000);
}

void CMainFrame::OnZoomBoxActivated(int index) {
    CTessaryView* view = ActiveView();
    if (!view) return;
    const QByteArray text = m_zoomBox->itemText(index).toLatin1();
    view->Canvas()->SetZoom(ZoomFromBoxText(text.constData()));
}

void CMainFrame::OnSubWindowActivated() {
    if (CTessaryView* view = ActiveView()) UpdateZoomBox(view->Canvas()->Geometry().Zoom());
    UpdateAllActions();
    UpdateSeamPane();
}

bool CMainFrame::OnCommand(int id) {
    if (CInitDialogBar* panel = Panel(PanelOfViewCommand(id))) {
        panel->Show(!panel->IsShown());
        return true;
    }
    switch (id) {
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisible());
        return true;
    case ID_WINDOW_CASCADE:
        m_mdi->cascadeSubWindows();
        return true;
    case ID_WINDOW_TILE_HORZ:
        m_mdi->tileSubWindows();
        return true;
    case ID_WINDOW_NEXT:
        CycleDocuments(1);
        return true;
    case ID_WINDOW_PREVIOUS:
        CycleDocuments(-1);
        return true;
    case ID_FILE_CLOSE:
        if (QMdiSubWindow* w = m_mdi->activeSubWindow())
            w->close();
        else if (CTessaryView* view = ActiveView())
            view->parentWidget()->close();
        return true;
    case ID_CAMERA_INFO:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::UpdateCommand(int id, CommandState& state) {
    if (const CInitDialogBar* panel = Panel(PanelOfViewCommand(id))) {
        state.enabled = true;
        state.checked = panel->IsShown(); // also before the frame is first shown
        return true;
    }
    switch (id) {
    case ID_VIEW_TOOLBAR:
        state.enabled = true;
        state.checked = m_toolBar->isVisible();
        return true;
    case ID_VIEW_STATUS_BAR:
        state.enabled = true;
        state.checked = statusBar()->isVisible();
        return true;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_FILE_CLOSE:
        state.enabled = ActiveView() != nullptr;
        return true;
    case ID_WINDOW_NEXT:
    case ID_WINDOW_PREVIOUS:
        state.enabled = m_mdi->subWindowList().size() > 1;
        return true;
    case ID_CAMERA_INFO:
        return true; // the frame answers and leaves it as it is
    default:
        return false;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace quiltara::gui
