#pragma once
#include "core/plugins/PluginCatalog.h"
#include "gui/plugins/PluginDialogs.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

class QMenu;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CMainFrame;
class CTessaryView;

/// Everything the program owns around the filter plug-ins: the folder list, the search,
/// the plug-in list and its cache "plugins.lib", the plug-in part of the Filters menu,
/// the manager dialogs, and running an entry on a view's picture.
class CPlugInManager : public QObject {
    Q_OBJECT
public:
    CPlugInManager(CMainFrame* frame, ISettingsStore* store);

    /// The one plug-in list of the program.
    static CPluginList& List();
    std::vector<std::string>& Folders() { return m_folders; }
    bool Loaded() const { return m_loaded; }

    /// The first time the Filters menu is about to show: reads the cache and builds the
    /// menu. Without a cache the list stays empty and the folder list starts with the
    /// program's own Plugins/ folder.
    void EnsureLoaded();
    /// Saves (store) or loads the cache; false when it could not be written or read.
    bool LoadOrSave(bool store);
    std::string CachePath() const;
    /// Rebuilds the plug-in part of the Filters menu from the list.
    void BuildFiltersMenu();
    /// Searches every folder of the list with the search window, tells the user how many
    /// were found, rebuilds the menu and saves the cache.
    void FullSearch();
    /// "Plug-In Manager...".
    void OpenManager();
    /// "Add Path": the folder picker; true when a folder was chosen.
    bool AddFolder();
    /// "Search All drives": the local disks' mount points, "Your Computer", the search.
    void DriveSearch();
    /// The folder list made again from the entries' folders, then saved.
    void RebuildFoldersFromEntries();
    void ClearFolders() { m_folders.clear(); }

    /// Runs the entry with command id on the view's working image. False when there is
    /// no such entry.
    bool RunEntry(int id, CTessaryView* view);

    /// The Filters menu of the frame, or null.
    QMenu* FiltersMenu() const;
    /// The search window while a full search runs.
    CPluginSearchWnd* SearchWindow() const { return m_searchWindow; }

private:
    CMainFrame* m_frame;
    ISettingsStore* m_store;
    std::vector<std::string> m_folders;
    QPointer<CPluginSearchWnd> m_searchWindow;
    bool m_loaded = false;
};

} // namespace quiltara::gui
