#pragma once
#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace quiltara::gui {

/// The folder picker: a tree of folders with a path field where a folder may be typed,
/// and the offer to create a typed folder that does not exist. OK stays open until the
/// path passes the folder rules or the user cancels.
class CFolderPicker : public QDialog {
    Q_OBJECT
public:
    /// caption: the window title (may be empty); prompt: the text above the tree;
    /// initialFolder: selected at opening (empty: the current directory).
    CFolderPicker(const QString& caption, const QString& prompt, const QString& initialFolder,
                  QWidget* owner);

    /// Shows the picker; 1 when a folder was accepted (then in Result()), another value
    /// otherwise, the result left as it was.
    int Choose();
    const QString& Result() const { return m_result; }
    bool Accepted() const { return m_accepted; }

    /// 0 when path is a usable folder (existing or just created); any other value after
    /// the user was told why not (or declined to create it).
    int ValidateOrCreate(const QString& path);

    QLineEdit* PathEdit() const { return m_edit; }
    QTreeView* Tree() const { return m_tree; }

public slots:
    void accept() override;

private:
    void OnSelectionChanged();
    void OnEditChanged(const QString& text);

    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLineEdit* m_edit;
    QLabel* m_status;
    QPushButton* m_ok;
    QString m_result;
    QString m_typed;
    bool m_accepted = false;
};

} // namespace quiltara::gui
