#include "gui/plugins/CPlugInManager.h"

#include "core/base/Archive.h"
#include "core/base/ProgramFolders.h"
#include "core/base/SettingsStore.h"
#include "core/plugins/PluginFolders.h"
#include "core/plugins/PluginHost.h"
#include "core/plugins/PluginRun.h"
#include "core/plugins/PluginSearch.h"
#include "gui/plugins/KeyAbortWatch.h"
#include "gui/plugins/PluginDialogs.h"
#include "gui/ui/CFolderPicker.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <new>

namespace quiltara::gui {

namespace {

int ReportFilter(const char* path, const char* category, const char* name) {
    CPlugInManager::List().Accept(path ? path : "", category ? category : "", name ? name : "");
    return 0;
}

CStatusProgress* s_runProgress = nullptr;

int AbortPoll() {
    CKeyAbortWatch* watch = CKeyAbortWatch::Current();
    return watch && watch->Poll() ? 1 : 0;
}

void ReportProgress(int done, int total) {
    if (s_runProgress && s_runProgress->Bar())
        s_runProgress->SetPos(int(100.0 / (total == 0 ? 1 : total) * done));
}

// Menu texts show "&" as itself.
QString MenuText(const std::string& text) {
    return QString::fromStdString(text).replace('&', "&&");
}

void Tell(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, "Quiltara", QString::fromStdString(text));
}

} // namespace

CPlugInManager::CPlugInManager(CMainFrame* frame, ISettingsStore* store)
    : QObject(frame), m_frame(frame), m_store(store) {
    if (QMenu* menu = FiltersMenu())
        connect(menu, &QMenu::aboutToShow, this, &CPlugInManager::EnsureLoaded);
}

CPluginList& CPlugInManager::List() {
    static CPluginList list;
    return list;
}

QMenu* CPlugInManager::FiltersMenu() const {
    if (!m_frame) return nullptr;
    for (QAction* a : m_frame->menuBar()->actions())
        if (a->menu() && QString(a->text()).remove('&') == "Filters") return a->menu();
    return nullptr;
}

std::string CPlugInManager::CachePath() const {
    return ProgramFolders().program + "plugins.lib";
}

void CPlugInManager::EnsureLoaded() {
    if (m_loaded) return;
    m_loaded = true;
    if (!LoadOrSave(false) && m_folders.empty() && !ProgramFolders().plugins.empty()) {
        // No cache yet (the first start): the plug-ins that come with the program are
        // found quietly, so the Filters menu offers them without a trip to the manager.
        m_folders.push_back(ProgramFolders().plugins);
        CPluginHost& host = CPluginHost::Instance();
        if (host.Available()) {
            CPluginSearch search(
                [&host](const std::string& path) {
                    return host.ScanPSPlugin(path.c_str(), ReportFilter);
                },
                [] { return List().FoundLine(); }, nullptr);
            search.SearchFolder(m_folders.front());
            LoadOrSave(true);
        }
    }
    BuildFiltersMenu();
}

bool CPlugInManager::LoadOrSave(bool store) {
    if (store) {
        CArchiveWriter ar;
        WritePluginsLib(ar, m_folders, List().Entries());
        return ar.SaveToFile(CachePath());
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(CachePath(), bytes, std::size_t(64) << 20)) return false;
    // A damaged cache keeps what could be read of it; the next search writes it anew.
    ReadPluginsLib(bytes.data(), bytes.size(), m_folders, List());
    return true;
}

void CPlugInManager::BuildFiltersMenu() {
    QMenu* menu = FiltersMenu();
    if (!menu) return;
    const QList<QAction*> items = menu->actions();
    int p = -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->text().startsWith("Plug-In")) p = i;
    // The category submenus of the last build stand after the manager item and its
    // separator; the plug-in items go with them.
    if (p >= 0) {
        for (int i = p + 2; i < items.size(); ++i) {
            menu->removeAction(items[i]);
            if (QMenu* sub = items[i]->menu())
                sub->deleteLater();
            else
                items[i]->deleteLater();
        }
    }
    const int first = p < 0 ? 0 : p;
    List().AssignCommandIds();
    for (const PluginEntry& e : List().Entries()) {
        if (e.commandId == 0) continue;
        const QString category = MenuText(e.category);
        QMenu* sub = nullptr;
        const QList<QAction*> now = menu->actions();
        for (int i = first; i < now.size() && !sub; ++i)
            if (now[i]->text() == category && now[i]->menu()) sub = now[i]->menu();
        if (!sub) {
            sub = menu->addMenu(category);
            sub->setObjectName("pluginCategory");
        }
        QAction* action = sub->addAction(MenuText(e.name));
        const int id = e.commandId;
        action->setData(id);
        action->setObjectName(QString("command%1").arg(id));
        connect(action, &QAction::triggered, m_frame,
                [frame = m_frame, id] { frame->Dispatch(id); });
    }
}

void CPlugInManager::FullSearch() {
    List().Clear();
    CPluginHost& host = CPluginHost::Instance();
    if (!host.Available())
        QMessageBox::warning(m_frame, "Quiltara",
                             "The plug-in host library could not be loaded:\n" +
                                 QString::fromStdString(host.Error()));

    auto* window = new CPluginSearchWnd(m_frame);
    m_searchWindow = window;
    window->setWindowModality(Qt::ApplicationModal); // only Cancel answers meanwhile
    window->Progress()->setRange(0, int(m_folders.size()));
    window->Progress()->setValue(0);
    window->show();
    CPluginSearch search(
        [&host](const std::string& path) {
            return host.Available() && host.ScanPSPlugin(path.c_str(), ReportFilter);
        },
        [] { return List().FoundLine(); }, window);
    // The list may change under the search (nothing else runs, but stay safe): a copy.
    const std::vector<std::string> folders = m_folders;
    for (std::size_t j = 0; j < folders.size(); ++j) {
        QApplication::processEvents();
        window->Progress()->setValue(int(j));
        search.SearchFolder(folders[j]);
        if (search.Cancelled()) break;
    }
    delete window;
    if (search.Cancelled()) Tell(m_frame, kPluginSearchCancelledText);
    Tell(m_frame, PluginFoundCountText(int(List().Entries().size())));
    BuildFiltersMenu();
    LoadOrSave(true);
}

bool CPlugInManager::AddFolder() {
    const QString initial =
        QString::fromStdString(m_store ? m_store->GetString("Plugins", "Path", "") : std::string());
    CFolderPicker picker("Select Plug-In Folder", "title", initial, m_frame);
    if (picker.Choose() != 1) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AddFolderIgnoringCase(m_folders, picker.Result().toStdString());
    if (m_store) m_store->SetString("Plugins", "Path", picker.Result().toStdString());
    QApplication::restoreOverrideCursor();
    return true;
}

void CPlugInManager::OpenManager() {
    EnsureLoaded();
    CPlugInManagerDlg dialog(m_frame);
    auto refill = [&] {
        QStringList list;
        for (const std::string& f : m_folders) list << QString::fromStdString(f);
        dialog.SetFolders(list);
    };
    refill();
    connect(&dialog, &CPlugInManagerDlg::addPathClicked, &dialog, [&] {
        if (AddFolder()) refill();
    });
    connect(&dialog, &CPlugInManagerDlg::removePathClicked, &dialog, [&](const QString& selected) {
        if (selected.isEmpty()) {
            Tell(&dialog, "Please select the path you want to remove");
            return;
        }
        RemoveFolderIgnoringCase(m_folders, selected.toStdString());
        refill();
    });
    dialog.exec();
    if (dialog.Result() == CPlugInManagerDlg::kReload)
        FullSearch();
    else if (dialog.Result() == CPlugInManagerDlg::kSearchAllDrives)
        DriveSearch();
}

void CPlugInManager::DriveSearch() {
    QFile mounts("/proc/self/mounts");
    if (mounts.open(QIODevice::ReadOnly))
        for (const std::string& point : LocalMountPoints(mounts.readAll().toStdString()))
            m_folders.push_back(point);
    QStringList folders;
    for (const std::string& f : m_folders) folders << QString::fromStdString(f);
    CYourComputerDlg dialog(folders, m_frame);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!dialog.Choice().isEmpty()) m_folders = {dialog.Choice().toStdString()};
    FullSearch();
    RebuildFoldersFromEntries();
}

void CPlugInManager::RebuildFoldersFromEntries() {
    std::vector<std::string> paths;
    for (const PluginEntry& e : List().Entries()) paths.push_back(e.path);
    m_folders = FoldersFromPaths(paths);
    LoadOrSave(true);
}

bool CPlugInManager::RunEntry(int id, CTessaryView* view) {
    const PluginEntry* found = List().FindById(id);
    if (!found || !view) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    const std::string path = found->path;
    if (!QFileInfo::exists(QString::fromStdString(PluginFilePart(path)))) {
        Tell(view, PluginMissingText(path));
        return true;
    }
    CCanvasWnd* canvas = view->Canvas();
    CCanvasModel& model = canvas->Model();
    if (model.WorkingImage().IsEmpty() || model.WorkingImage().GetBitsPerPixel() != 32) return true;
    int result = kPluginBadArguments;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CStatusProgress progress("Plugin (ESC)", 60, 100);
        s_runProgress = &progress;
        CKeyAbortWatch watch;
        try {
            CCanvasEdit edit = model.BeginEdit();
            result = RunPluginOnPicture(edit.Image(), path, AbortPoll, ReportProgress, view);
            if (result == kPluginOk)
                edit.Commit();
            else
                edit.Cancel();
        } catch (const std::bad_alloc&) {
            result = kPluginBadArguments;
        }
        s_runProgress = nullptr;
        QApplication::restoreOverrideCursor();
    }
    canvas->Refresh();
    const std::string problem = PluginRunProblemText(result);
    if (!problem.empty()) QMessageBox::warning(view, "Quiltara", QString::fromStdString(problem));
    return true;
}

} // namespace quiltara::gui
