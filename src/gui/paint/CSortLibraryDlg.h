#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace quiltara {
class CBrushLibrary;
}

namespace quiltara::gui {

/// "Sort Library": the brush names in library order; "Up" and "Down" move the selected
/// brush at once, "Apply" renames it to the text in "Name", "Done" closes.
class CSortLibraryDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSortLibraryDlg(CBrushLibrary& library, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    void MoveUp();
    void MoveDown();
    void ApplyName();

private:
    void Fill(int select);
    void ShowSelected();

    CBrushLibrary& m_library;
    QListWidget* m_list;
    QLineEdit* m_name;
    QLabel* m_preview;
};

} // namespace quiltara::gui
