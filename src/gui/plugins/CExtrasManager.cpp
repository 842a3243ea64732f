#include "gui/plugins/CExtrasManager.h"

#include "core/base/Archive.h"
#include "core/base/ProgramFolders.h"
#include "core/plugins/ExtrasHost.h"
#include "core/plugins/PluginHost.h"
#include "core/plugins/PluginRun.h"
#include "gui/plugins/KeyAbortWatch.h"
#include "gui/plugins/PluginDialogs.h"
#include "gui/ui/CMainFrame.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <new>

namespace quiltara::gui {

CExtrasManager::CExtrasManager(CMainFrame* frame) : QObject(frame), m_frame(frame) {
    // The Image menu, whose showing loads the Extras once.
    for (QAction* a : m_frame->menuBar()->actions())
        if (a->menu() && QString(a->text()).remove('&') == "Image")
            connect(a->menu(), &QMenu::aboutToShow, this, &CExtrasManager::EnsureLoaded);
}

QMenu* CExtrasManager::ExtrasMenu() const {
    for (QAction* a : m_frame->menuBar()->actions()) {
        if (!a->menu() || QString(a->text()).remove('&') != "Image") continue;
        for (QAction* item : a->menu()->actions())
            if (item->menu() && QString(item->text()).remove('&') == "Extras") return item->menu();
    }
    return nullptr;
}

std::string CExtrasManager::CachePath() const {
    return ProgramFolders().program + "extras.lib";
}

void CExtrasManager::EnsureLoaded() {
    if (m_loaded) return;
    m_loaded = true;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(CachePath(), bytes, std::size_t(16) << 20))
        ReadExtrasLib(bytes.data(), bytes.size(), ProgramFolders().extras, m_entries);
    BuildExtrasMenu();
}

void CExtrasManager::ListExtras() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_entries = quiltara::ListExtras(ProgramFolders().extras);
    QApplication::restoreOverrideCursor();
}

bool CExtrasManager::SaveCache() const {
    CArchiveWriter ar;
    WriteExtrasLib(ar, m_entries);
    return ar.SaveToFile(CachePath());
}

void CExtrasManager::OpenManager() {
    m_loaded = true; // the list is made afresh now; the cache is not read after this
    ListExtras();
    QStringList names;
    std::vector<std::string> paths;
    for (const ExtrasEntry& e : m_entries) {
        names << QString::fromStdString(e.name);
        paths.push_back(e.path);
    }
    CExtrasDlg dialog(names, m_frame);
    connect(&dialog, &CExtrasDlg::selectionChanged, &dialog, [&](int row) {
        if (row < 0 || std::size_t(row) >= paths.size()) return;
        std::string text;
        if (AskExtraText(paths[std::size_t(row)], true, text))
            dialog.Description()->setPlainText(QString::fromStdString(text));
    });
    dialog.exec();
    BuildExtrasMenu();
    SaveCache();
}

void CExtrasManager::BuildExtrasMenu() {
    QMenu* menu = ExtrasMenu();
    if (!menu) return;
    const QList<QAction*> items = menu->actions();
    // The manager item and its separator stay.
    for (int i = 2; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        items[i]->deleteLater();
    }
    AssignExtrasCommandIds(m_entries);
    for (const ExtrasEntry& e : m_entries) {
        if (e.commandId == 0) continue;
        QAction* action = menu->addAction(QString::fromStdString(e.name).replace('&', "&&"));
        const int id = e.commandId;
        action->setData(id);
        action->setObjectName(QString("command%1").arg(id));
        connect(action, &QAction::triggered, m_frame,
                [frame = m_frame, id] { frame->Dispatch(id); });
    }
}

bool CExtrasManager::RunEntry(int id, CTessaryView* view) {
    const ExtrasEntry* found = nullptr;
    for (const ExtrasEntry& e : m_entries)
        if (e.commandId == id && id != 0) found = &e;
    if (!found || !view) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    const std::string path = found->path;
    auto warn = [view](const std::string& text) {
        QMessageBox::warning(view, "Quiltara", QString::fromStdString(text));
    };
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        warn(ExtraMissingText(path));
        return true;
    }
    CCanvasWnd* canvas = view->Canvas();
    CCanvasModel& model = canvas->Model();
    const CDIBSection2& working = model.WorkingImage();
    if (working.IsEmpty() || working.GetBitsPerPixel() != 32) return true;
    const int w = working.GetWidth(), h = working.GetHeight();
    ExtraRunResult result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CKeyAbortWatch watch;
        result = RunExtra(path, working.GetBits(), w, h, view, [&watch] { return watch.Poll(); });
        QApplication::restoreOverrideCursor();
    }
    switch (result.status) {
    case ExtraRunResult::LoadFailed:
        warn("Can't find" + path);
        warn(kExtraTroubleText);
        return true;
    case ExtraRunResult::MissingExports:
        warn(kExtraTroubleText);
        return true;
    case ExtraRunResult::Crashed:
        warn(PluginRunProblemText(kPluginCrashed));
        return true;
    case ExtraRunResult::Hung:
        warn(PluginRunProblemText(kPluginHung));
        return true;
    case ExtraRunResult::Cancelled:
        return true; // the user pressed a key to stop it
    case ExtraRunResult::NoHelper:
        warn(PluginRunProblemText(kPluginNoHelper));
        return true;
    case ExtraRunResult::Ran:
        break;
    }
    if (result.startResult == 0) return true;
    try {
        CCanvasEdit edit = model.BeginEdit();
        ApplyExtraResult(edit.Image(), result);
        edit.Commit();
    } catch (const std::bad_alloc&) {
        warn("Not enough memory to take the Extra's picture.");
        return true;
    }
    if (model.WorkingImage().GetWidth() != w || model.WorkingImage().GetHeight() != h) {
        model.OriginalFollowsWorkingImage();
        canvas->ImageSizeChanged();
    }
    canvas->Refresh();
    return true;
}

} // namespace quiltara::gui
