#pragma once
#include "core/plugins/PluginCatalog.h"

#include <QObject>
#include <string>
#include <vector>

class QMenu;

namespace quiltara::gui {

class CMainFrame;
class CTessaryView;

/// The Extras: the list from the Extras folder and its cache "extras.lib", the
/// "Image > Extras" submenu, the Extras dialog and running an Extra on a view's picture.
class CExtrasManager : public QObject {
    Q_OBJECT
public:
    explicit CExtrasManager(CMainFrame* frame);

    std::vector<ExtrasEntry>& Entries() { return m_entries; }
    bool Loaded() const { return m_loaded; }

    /// The first time the Image menu is about to show: reads the cache, builds the menu.
    void EnsureLoaded();
    std::string CachePath() const;
    /// Lists the Extras folder afresh.
    void ListExtras();
    /// "Extras Manger...": lists, shows the dialog, then rebuilds the menu and writes
    /// the cache however the dialog closes.
    void OpenManager();
    void BuildExtrasMenu();
    bool SaveCache() const;
    /// Runs the Extra with command id on the view's working image; false when there is
    /// no such entry.
    bool RunEntry(int id, CTessaryView* view);

    /// "Image" > "Extras", or null.
    QMenu* ExtrasMenu() const;

private:
    CMainFrame* m_frame;
    std::vector<ExtrasEntry> m_entries;
    bool m_loaded = false;
};

} // namespace quiltara::gui
