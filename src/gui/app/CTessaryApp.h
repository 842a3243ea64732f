#pragma once
#include "core/base/AppSettings.h"
#include "core/base/SettingsStore.h"
#include "gui/app/CommandTarget.h"
#include "gui/devices/CTablet.h"
#include "gui/devices/CTwainSource.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace quiltara::gui {

class CCameraInfoPanel;
class CExtrasManager;
class CMainFrame;
class CPlugInManager;
class CTessaryDoc;

/// The application object: folders, settings, the program-wide state, the main
/// window, and the application commands ("&New", "Settings...", "Help", tools).
class CTessaryApp : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    /// Computes the folders, sets the defaults and deletes the swap files an earlier
    /// run left in the program folder. Uses the given settings store, or QSettings.
    explicit CTessaryApp(std::unique_ptr<ISettingsStore> store = nullptr);
    ~CTessaryApp() override;

    /// Loads the settings and creates and shows the main window. No document is opened.
    bool InitInstance();
    /// Writes the settings and deletes the swap files again.
    void ExitInstance();

    /// The running application object, or null (tests that build windows on their own).
    static CTessaryApp* Instance() { return s_instance; }
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    CAppSettings& Settings() { return m_settings; }
    const CAppSettings& SettingsValue() const { return m_settings; }
    ISettingsStore& Store() { return *m_store; }
    const QString& ProgramFolder() const { return m_programFolder; }
    /// Writes every setting now.
    void WriteSettings();

    /// "&New": from the clipboard, from a waiting file, or through "New Tile Size".
    /// Returns the document, or null when cancelled.
    CTessaryDoc* NewDocument();
    /// "&Open...": the previewing open dialog, then OpenDocumentFile.
    void OnFileOpen();
    /// Opens path as a new document window; tells the user when it cannot be read.
    CTessaryDoc* OpenDocumentFile(const QString& path);
    /// The program's arguments (without the program's name) as a file manager or a
    /// shell gives them: each path or file: URL opens as a document, through the tile
    /// wizard. Options (starting with "-") are skipped, except after "--". Returns the
    /// number of documents opened.
    int OpenCommandLineFiles(const QStringList& arguments);
    /// The four-entry recent-file list, newest first.
    const QStringList& RecentFiles() const { return m_recentFiles; }
    /// The camera-information panel, once a photograph showed it (else null).
    CCameraInfoPanel* CameraPanel() const { return m_cameraPanel; }
    void AddToRecentFiles(const QString& path);
    /// Tool choices, through the tool set: each refreshes the tool panels and the
    /// canvases' cursors and emits toolChanged; false when refused (during a stroke).
    bool SelectTool(int toolId);
    /// A button of the "Tools" panel; "Photo Retouch" and "Special Effects" also show
    /// their picker.
    bool ChooseToolBarPosition(int position);
    /// The text command ("Add Text", the "Text" button) on the active picture.
    void StartTextCommand();
    bool ChooseRetouchTool(int listIndex);
    bool ChooseEffectsTool(int listIndex);
    /// After a one-shot tool's release.
    bool ReturnToPreviousTool();
    /// The filter plug-ins and the Extras (owned by the main window; null without one).
    CPlugInManager* PlugIns() const { return m_plugIns; }
    CExtrasManager* Extras() const { return m_extras; }
    /// The pen tablet (one for the application).
    CTablet& Tablet() { return m_tablet; }
    /// Scanners and cameras ("Select Source...", "Acquire...").
    CTwainSource& TwainSource() { return *m_twain; }

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

signals:
    /// The current tool changed (not for the zoom tool's right-button zoom out).
    void toolChanged(int toolId);

private:
    bool AfterToolChoice(bool accepted);
    void RunTabletDialog();
    void OpenHelp();
    void VisitHomePage();
    void RunSettingsDialog();
    void RestoreFramePlacement();
    void SaveFramePlacement();
    QString NextTitle();
    void LoadRecentFiles();
    void SaveRecentFiles();
    void UpdateRecentFileMenu();

    static inline CTessaryApp* s_instance = nullptr;
    std::unique_ptr<ISettingsStore> m_store;
    CAppSettings m_settings;
    QString m_programFolder;
    std::unique_ptr<CMainFrame> m_mainFrame;
    int m_untitledCount = 0;
    QStringList m_recentFiles;
    CCameraInfoPanel* m_cameraPanel = nullptr; // owned by the main frame
    CTablet m_tablet;
    std::unique_ptr<CTwainSource> m_twain;
    CPlugInManager* m_plugIns = nullptr; // owned by the main frame
    CExtrasManager* m_extras = nullptr;  // owned by the main frame
};

} // namespace quiltara::gui
