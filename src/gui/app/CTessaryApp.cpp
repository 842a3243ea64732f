#include "gui/app/CTessaryApp.h"

#include "core/base/ProgramFolders.h"
#include "core/image/DIBSection2.h"
#include "core/image/ImageFileRoutines.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/ClipboardBridge.h"
#include "gui/app/CommandIds.h"
#include "gui/app/ProgramFolderLocator.h"
#include "gui/app/QtSettingsStore.h"
#include "gui/devices/CTabletDlg.h"
#include "gui/exif/CCameraInfoDlg.h"
#include "gui/image/PictureDrawing.h"
#include "gui/paint/CToolListPicker.h"
#include "gui/paint/CToolsPanel.h"
#include "gui/plugins/CExtrasManager.h"
#include "gui/plugins/CPlugInManager.h"
#include "gui/ui/CChildFrame.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "gui/ui/CPrevFileDlg.h"
#include "gui/ui/CSettingsDlg.h"
#include "gui/ui/FileDialogs.h"
#include "gui/ui/ToolIcons.h"
#include "gui/ui/WindowPlacement.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"
#include "gui/view/ViewPrinting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <new>

namespace quiltara::gui {

namespace {
const char* const kHomePage = "https://quiltara.org/";

struct ToolCommand {
    int command;
    int tool;
};
constexpr ToolCommand kToolCommands[] = {
    {ID_TOOL_ARROW, kToolArrow},
    {ID_TOOL_ZOOM, kToolZoom},
    {ID_TOOL_MOVE_CANVAS, kToolMoveCanvas},
    {ID_TOOL_CROP, kToolCrop},
    {ID_TOOL_FLOAT, kToolFloat},
    {ID_TOOL_TEXTURE_PICK, kToolTexturePick},
    {ID_TOOL_ADD_TEXT, kToolAddText},
    {ID_TOOL_COLOR_PICK, kToolColorPick},
};
} // namespace

CTessaryApp::CTessaryApp(std::unique_ptr<ISettingsStore> store) : m_store(std::move(store)) {
    m_programFolder = LocateProgramFolder();
    SetProgramFolder(m_programFolder.toStdString());
    CDIBSection2::SetDefaultSwapFolder(ProgramFolders().program);
    if (!m_store) {
        if (qEnvironmentVariableIsSet("QUILTARA_HOME"))
            m_store = std::make_unique<CQtSettingsStore>(m_programFolder + "/Quiltara.ini");
        else
            m_store = std::make_unique<CQtSettingsStore>();
    }
    // Swap and undo files an earlier run left behind.
    DeleteSwapFiles(ProgramFolders().program);
    m_twain = std::make_unique<CTwainSource>(m_store.get());
    s_instance = this;
}

CTessaryApp::~CTessaryApp() {
    if (s_instance == this) s_instance = nullptr;
}

bool CTessaryApp::InitInstance() {
    m_settings.Load(*m_store);
    LoadRecentFiles();
    AppState().painting.SetForeColor(m_settings.foreColor);
    AppState().painting.backColor = m_settings.backColor;
    AppState().clone.aligned = m_settings.stampAligned != 0;
    AppState().clone.feedback = m_settings.stampFeedback != 0;
    AppState().clone.wrapOther = m_settings.stampWrap != 0;
    if (m_settings.tablet) m_tablet.Load();
    QApplication::setWindowIcon(ProgramIcon());
    const std::vector<std::string> libraryMessages =
        AppState().tools.LoadLibraries(ProgramFolders().brushes, *m_store, AppState().painting);
    m_mainFrame = std::make_unique<CMainFrame>(this);
    m_mainFrame->RestorePanels(*m_store);
    m_plugIns = new CPlugInManager(m_mainFrame.get(), m_store.get());
    m_extras = new CExtrasManager(m_mainFrame.get());
    m_tablet.Open(m_mainFrame.get());
    connect(m_mainFrame->ToolsPanel(), &CToolsPanel::positionChosen, this,
            &CTessaryApp::ChooseToolBarPosition);
    connect(m_mainFrame->RetouchPicker(), &CToolListPicker::entryChosen, this,
            &CTessaryApp::ChooseRetouchTool);
    connect(m_mainFrame->EffectsPicker(), &CToolListPicker::entryChosen, this,
            &CTessaryApp::ChooseEffectsTool);
    m_mainFrame->RefreshToolPanels();
    connect(m_mainFrame.get(), &CMainFrame::filesDropped, this, [this](const QStringList& files) {
        for (const QString& file : files) OpenDocumentFile(file);
    });
    UpdateRecentFileMenu();
    RestoreFramePlacement();
    for (const std::string& text : libraryMessages)
        QMessageBox::warning(m_mainFrame.get(), "Quiltara", QString::fromStdString(text));
    return true;
}

void CTessaryApp::ExitInstance() {
    m_twain->CloseAll(); // its scanning window belongs to the frame
    if (m_mainFrame) {
        SaveFramePlacement();
        m_mainFrame->SavePanels(*m_store);
    }
    WriteSettings();
    m_mainFrame.reset();
    m_cameraPanel = nullptr; // went with the frame
    m_plugIns = nullptr;
    m_extras = nullptr;
    DeleteSwapFiles(ProgramFolders().program);
}

void CTessaryApp::WriteSettings() {
    SaveRecentFiles();
    m_settings.foreColor = AppState().painting.foreColor;
    m_settings.backColor = AppState().painting.backColor;
    m_settings.stampAligned = AppState().clone.aligned ? 1 : 0;
    m_settings.stampFeedback = AppState().clone.feedback ? 1 : 0;
    m_settings.stampWrap = AppState().clone.wrapOther ? 1 : 0;
    m_settings.Save(*m_store, m_programFolder.toStdString());
    // The brush selections live with the tool set; written after the settings so that
    // the values read at start do not overwrite them.
    AppState().tools.SaveSelections(*m_store);
    m_store->Flush();
}

void CTessaryApp::RestoreFramePlacement() {
    const int status = m_store->GetInt("Frame", "Status", -1);
    const int left = m_store->GetInt("Frame", "Left", -1),
              top = m_store->GetInt("Frame", "Top", -1);
    const int right = m_store->GetInt("Frame", "Right", -1);
    const int bottom = m_store->GetInt("Frame", "Bottom", -1);
    const bool stored = !(status == -1 || left == -1 || top == -1 || right == -1 || bottom == -1 ||
                          right <= left || bottom <= top);
    const QRect wanted =
        stored ? QRect(left, top, right - left, bottom - top) : m_mainFrame->geometry();
    // A placement saved on another screen, or at another scale, stays on this screen,
    // with the window's frame once the window system has given it one.
    QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    auto holdOnScreen = [this, &available](const QRect& client) {
        const QRect outer = m_mainFrame->frameGeometry(), inner = m_mainFrame->geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        m_mainFrame->setGeometry(
            HoldInside(client.marginsAdded(frame), available).marginsRemoved(frame));
    };
    holdOnScreen(wanted);
    if (!stored || status == int(Qt::WindowMaximized)) {
        m_mainFrame->showMaximized();
        return;
    }
    m_mainFrame->show();
    holdOnScreen(m_mainFrame->geometry());
}

void CTessaryApp::SaveFramePlacement() {
    const QRect normal = m_mainFrame->normalGeometry();
    m_store->SetInt("Frame", "Status", m_mainFrame->isMaximized() ? int(Qt::WindowMaximized) : 0);
    m_store->SetInt("Frame", "Left", normal.left());
    m_store->SetInt("Frame", "Top", normal.top());
    m_store->SetInt("Frame", "Right", normal.left() + normal.width());
    m_store->SetInt("Frame", "Bottom", normal.top() + normal.height());
}

QString CTessaryApp::NextTitle() {
    return QString("Tile%1").arg(++m_untitledCount);
}

void CTessaryApp::LoadRecentFiles() {
    m_recentFiles.clear();
    for (int i = 1; i <= 4; ++i) {
        const std::string file =
            m_store->GetString("Recent File List", "File" + std::to_string(i), "");
        if (!file.empty()) m_recentFiles << QString::fromStdString(file);
    }
}

void CTessaryApp::SaveRecentFiles() {
    for (int i = 1; i <= 4; ++i)
        m_store->SetString("Recent File List", "File" + std::to_string(i),
                           i <= m_recentFiles.size() ? m_recentFiles[i - 1].toStdString() : "");
}

void CTessaryApp::AddToRecentFiles(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > 4) m_recentFiles.removeLast();
    UpdateRecentFileMenu();
}

void CTessaryApp::UpdateRecentFileMenu() {
    if (!m_mainFrame) return;
    for (int i = 0; i < 4; ++i) {
        QAction* action = m_mainFrame->Action(ID_FILE_MRU_FILE1 + i);
        if (!action) continue;
        const bool used = i < m_recentFiles.size();
        action->setVisible(used);
        if (used)
            action->setText(
                QString("&%1 %2").arg(i + 1).arg(QFileInfo(m_recentFiles[i]).fileName()));
        action->setStatusTip(used ? m_recentFiles[i] : QString());
    }
}

void CTessaryApp::OnFileOpen() {
    QString folder = QString::fromStdString(m_settings.documentPath);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QString::fromStdString(ProgramFolders().samples);
    CPrevFileDlg dialog(m_mainFrame.get(), kOpenDialogTitle, folder,
                        QtNameFilters(kOpenDialogFilter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenDocumentFile(dialog.selectedFiles().first());
}

CTessaryDoc* CTessaryApp::OpenDocumentFile(const QString& path) {
    auto document = std::make_unique<CTessaryDoc>();
    QString error;
    bool opened = false;
    try {
        opened = document->OnOpenDocument(path, &error);
    } catch (const std::bad_alloc&) {
        error = "Not enough memory for this picture.";
    }
    if (!opened) {
        // No text: the tile wizard was cancelled, which needs no message.
        if (!error.isEmpty())
            QMessageBox::warning(m_mainFrame.get(), "Quiltara",
                                 QString("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
        return nullptr;
    }
    m_settings.documentPath = QFileInfo(path).absolutePath().toStdString();
    AddToRecentFiles(path);
    CTessaryDoc* raw = document.release();
    m_mainFrame->AddDocumentWindow(raw);
    if (raw->hasCameraInfo && m_settings.showExif) {
        if (!m_cameraPanel) m_cameraPanel = new CCameraInfoPanel(m_mainFrame.get());
        m_cameraPanel->ShowSummary(raw->Title(), raw->camera);
    }
    return raw;
}

int CTessaryApp::OpenCommandLineFiles(const QStringList& arguments) {
    int opened = 0;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith('-'))) continue;
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        if (OpenDocumentFile(path)) ++opened;
    }
    return opened;
}

CTessaryDoc* CTessaryApp::NewDocument() {
    auto document = std::make_unique<CTessaryDoc>();
    CAppState& state = AppState();
    try {
        if (state.newFromClipboard) {
            state.newFromClipboard = false;
            // Should the clipboard be empty by now, the Original stays empty and the
            // canvas shows a white picture.
            const QImage image = QApplication::clipboard()->image();
            if (!image.isNull()) {
                CDIBSection2 picture;
                ImageToPicture(image, picture);
                document->NewFromPicture(picture);
            }
            document->SetModifiedFlag(true);
        } else if (!state.pendingLoadPath.empty()) {
            // A file waiting to become a new document (an acquired picture).
            const QString path = QString::fromStdString(state.pendingLoadPath);
            state.pendingLoadPath.clear();
            QString error;
            if (!document->OnOpenDocument(path, &error, false)) {
                if (!error.isEmpty()) QMessageBox::warning(m_mainFrame.get(), "Quiltara", error);
                return nullptr;
            }
            document->pathName.clear();
            document->SetModifiedFlag(true);
        } else {
            CNewTileSizeDlg dialog(m_settings.newWidth, m_settings.newHeight, m_settings.newColor,
                                   m_mainFrame.get());
            if (dialog.exec() != QDialog::Accepted) return nullptr;
            m_settings.newColor = dialog.CustomColor();
            m_settings.newWidth = dialog.TileWidth();
            m_settings.newHeight = dialog.TileHeight();
            document->NewBlank(dialog.TileWidth(), dialog.TileHeight(), dialog.Color());
            state.painting.backColor = dialog.Color();
        }
    } catch (const std::bad_alloc&) {
        QMessageBox::critical(m_mainFrame.get(), "Quiltara", "Not enough memory for this picture.");
        return nullptr;
    }
    document->SetTitle(NextTitle());
    CTessaryDoc* raw = document.release();
    m_mainFrame->AddDocumentWindow(raw);
    return raw;
}

bool CTessaryApp::SelectTool(int toolId) {
    return AfterToolChoice(AppState().ChooseTool(toolId));
}

bool CTessaryApp::ChooseToolBarPosition(int position) {
    CAppState& state = AppState();
    if (!AfterToolChoice(state.tools.ChoosePosition(position, state.painting))) return false;
    if (m_mainFrame && (position == kPositionRetouch || position == kPositionEffects)) {
        m_mainFrame->ShowRetouchPanel(position == kPositionRetouch);
        m_mainFrame->ShowEffectsPanel(position == kPositionEffects);
    }
    if (position == kPositionText) StartTextCommand();
    return true;
}

void CTessaryApp::StartTextCommand() {
    CTessaryView* view = m_mainFrame ? m_mainFrame->ActiveView() : nullptr;
    if (!view) return;
    // The placed text is moved with the arrow and edited again by a double click.
    if (view->Canvas()->AddText()) {
        SelectTool(kToolArrow);
        view->Canvas()->UpdateCursor();
    }
}

bool CTessaryApp::ChooseRetouchTool(int listIndex) {
    CAppState& state = AppState();
    return AfterToolChoice(state.tools.ChooseRetouch(listIndex, state.painting));
}

bool CTessaryApp::ChooseEffectsTool(int listIndex) {
    CAppState& state = AppState();
    return AfterToolChoice(state.tools.ChooseEffects(listIndex, state.painting));
}

bool CTessaryApp::ReturnToPreviousTool() {
    CAppState& state = AppState();
    return AfterToolChoice(state.tools.ReturnToPreviousTool(state.painting));
}

bool CTessaryApp::AfterToolChoice(bool accepted) {
    if (!accepted) return false;
    AppState().ToolChosen();
    if (m_mainFrame) {
        m_mainFrame->RefreshToolPanels();
        for (QMdiSubWindow* w : m_mainFrame->MdiArea()->subWindowList())
            if (auto* child = qobject_cast<CChildFrame*>(w)) {
                child->View()->Canvas()->UpdateCursor();
                child->View()->Canvas()->viewport()->update(); // the stamp's crosses go
            }
    }
    emit toolChanged(AppState().tools.Current());
    return true;
}

void CTessaryApp::RunTabletDialog() {
    CTabletDlg dialog(m_settings.tablet != 0, CTablet::StatusText(), m_mainFrame.get());
    if (dialog.exec() != QDialog::Accepted) return;
    const bool on = dialog.TabletEnabled();
    m_settings.tablet = on ? 1 : 0;
    if (on) {
        m_tablet.Load();
        m_tablet.Open(m_mainFrame.get());
    }
    m_tablet.Enable(on);
    WriteSettings();
}

void CTessaryApp::OpenHelp() {
    const QString file = QString::fromStdString(ProgramFolders().help) + "index.html";
    if (!QFileInfo::exists(file)) {
        QMessageBox::warning(m_mainFrame.get(), "Quiltara", "Cannot find " + file);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        QMessageBox::warning(m_mainFrame.get(), "Quiltara",
                             "There is no application associated with the HTM filename "
                             "extension.\nYou need Netscape Navigator or Internet Explorer to "
                             "view the help files.");
}

void CTessaryApp::VisitHomePage() {
    if (!QDesktopServices::openUrl(QUrl(kHomePage)))
        QMessageBox::warning(m_mainFrame.get(), "Quiltara", "Cannot find the web page");
}

void CTessaryApp::RunSettingsDialog() {
    CSettingsDlg dialog(m_settings.undoLevels, m_settings.showExif != 0, m_mainFrame.get());
    if (dialog.exec() != QDialog::Accepted) return;
    m_settings.undoLevels = dialog.UndoLevels();
    m_settings.showExif = dialog.ShowExif() ? 1 : 0;
    WriteSettings();
}

bool CTessaryApp::OnCommand(int id) {
    for (const auto& t : kToolCommands) {
        if (t.command == id) {
            SelectTool(t.tool);
            if (t.tool == kToolAddText) StartTextCommand();
            return true;
        }
    }
    if (id >= ID_CLONE_NONE && id <= ID_CLONE_ORIGINAL) {
        AppState().painting.cloneSourceKind = id - ID_CLONE_NONE;
        return true;
    }
    // The text button starts the text command.
    if (id >= ID_TOOL_POSITION_FIRST && id <= ID_TOOL_POSITION_FIRST + kPositionText) {
        ChooseToolBarPosition(id - ID_TOOL_POSITION_FIRST);
        return true;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 4) {
        const int index = id - ID_FILE_MRU_FILE1;
        if (index < m_recentFiles.size()) {
            const QString file = m_recentFiles[index];
            // A file that is gone leaves the list.
            if (!OpenDocumentFile(file) && !QFileInfo::exists(file)) {
                m_recentFiles.removeAll(file);
                UpdateRecentFileMenu();
            }
        }
        return true;
    }
    switch (id) {
    case ID_FILE_NEW:
        NewDocument();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_PASTE_AS_NEW:
        AppState().newFromClipboard = true;
        NewDocument();
        return true;
    case ID_SETTINGS:
        RunSettingsDialog();
        return true;
    case ID_TABLET:
        RunTabletDialog();
        return true;
    case ID_SELECT_SOURCE:
        m_twain->SelectSource(m_mainFrame.get());
        return true;
    case ID_ACQUIRE:
        m_twain->Acquire(m_mainFrame.get());
        return true;
    case ID_FILE_PRINT_SETUP:
        RunPrintSetup(m_mainFrame.get());
        return true;
    case ID_HELP:
        OpenHelp();
        return true;
    case ID_VISIT_HOME_PAGE:
        VisitHomePage();
        return true;
    case ID_PLUGIN_MANAGER:
        if (m_plugIns) m_plugIns->OpenManager();
        return true;
    case ID_EXTRAS_MANAGER:
        if (m_extras) m_extras->OpenManager();
        return true;
    case ID_APP_EXIT:
        if (m_mainFrame) m_mainFrame->close();
        return true;
    case ID_APP_ABOUT:
        QMessageBox::about(m_mainFrame.get(), "About Quiltara",
                           QString("Quiltara %1\nSeamless, tileable textures.\n\n"
                                   "Free software under the GNU GPL, version 3 or later.")
                               .arg(QUILTARA_VERSION));
        return true;
    default:
        return false;
    }
}

bool CTessaryApp::UpdateCommand(int id, CommandState& state) {
    for (const auto& t : kToolCommands) {
        if (t.command == id) {
            // No choice while a stroke goes on.
            const CToolSet& tools = AppState().tools;
            state.enabled = id != ID_TOOL_TEXTURE_PICK && !tools.StrokeActive();
            state.checked = tools.Current() == t.tool ||
                            (t.tool == kToolZoom && tools.Current() == kToolZoomOut);
            return true;
        }
    }
    if (id >= ID_CLONE_NONE && id <= ID_CLONE_ORIGINAL) {
        state.enabled = !AppState().tools.StrokeActive();
        state.checked = AppState().painting.cloneSourceKind == id - ID_CLONE_NONE;
        return true;
    }
    if (id >= ID_TOOL_POSITION_FIRST && id <= ID_TOOL_POSITION_LAST) {
        const CToolSet& tools = AppState().tools;
        state.enabled = id <= ID_TOOL_POSITION_FIRST + kPositionText && !tools.StrokeActive();
        state.checked = tools.Position() == id - ID_TOOL_POSITION_FIRST &&
                        !RouteFor(tools.Current()).oneShot &&
                        RouteFor(tools.Current()).action != ToolAction::Canvas;
        return true;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + 4) {
        state.enabled = id - ID_FILE_MRU_FILE1 < m_recentFiles.size();
        return true;
    }
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_SETTINGS:
    case ID_TABLET:
    case ID_SELECT_SOURCE:
    case ID_ACQUIRE:
    case ID_FILE_PRINT_SETUP:
    case ID_HELP:
    case ID_VISIT_HOME_PAGE:
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_PLUGIN_MANAGER:
    case ID_EXTRAS_MANAGER:
        state.enabled = true;
        return true;
    case ID_PASTE_AS_NEW:
        state.enabled = ClipboardHasPicture();
        return true;
    default:
        return false;
    }
}

} // namespace quiltara::gui
