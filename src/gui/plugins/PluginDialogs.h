#pragma once
#include "core/plugins/PluginSearch.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;

namespace quiltara::gui {

/// "Plug-In Manager": the folder list with "OK/Reload", "Add Path", "Remove Path" and
/// "Search All drives". The buttons that change the list call back to the manager.
class CPlugInManagerDlg : public QDialog {
    Q_OBJECT
public:
    enum Outcome { kClosed, kReload, kSearchAllDrives };
    explicit CPlugInManagerDlg(QWidget* parent = nullptr);
    void SetFolders(const QStringList& folders);
    QListWidget* List() const { return m_list; }
    Outcome Result() const { return m_outcome; }

signals:
    void addPathClicked();
    void removePathClicked(const QString& selected);

private:
    QListWidget* m_list;
    Outcome m_outcome = kClosed;
};

/// "Your Computer": which of the drives' folders to search.
class CYourComputerDlg : public QDialog {
    Q_OBJECT
public:
    CYourComputerDlg(const QStringList& folders, QWidget* parent = nullptr);
    /// The chosen folder, or empty for "All Drives".
    QString Choice() const;
    QComboBox* Drives() const { return m_drives; }

private:
    QComboBox* m_drives;
};

/// The search window: a progress bar, two text lines and "Cancel".
class CPluginSearchWnd : public QDialog, public IPluginSearchWindow {
    Q_OBJECT
public:
    explicit CPluginSearchWnd(QWidget* parent = nullptr);
    bool ShowPattern(const std::string& line) override;
    void ShowFound(const std::string& line) override;
    QProgressBar* Progress() const { return m_progress; }
    /// Reads and clears the cancel request.
    bool TakeCancel();

private:
    QProgressBar* m_progress;
    QLabel* m_pattern;
    QLabel* m_found;
    bool m_cancel = false;
};

/// "Extras": the names found, and the selected one's description.
class CExtrasDlg : public QDialog {
    Q_OBJECT
public:
    CExtrasDlg(const QStringList& names, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    QPlainTextEdit* Description() const { return m_description; }

signals:
    void selectionChanged(int row);

private:
    QListWidget* m_list;
    QPlainTextEdit* m_description;
};

} // namespace quiltara::gui
