#pragma once
#include <QWidget>

class QLabel;
class QScrollBar;

namespace quiltara {
class CBrush;
class CBrushLibrary;
} // namespace quiltara

namespace quiltara::gui {

/// The brush grid of one library: square cells 40 pixels wide, as many a row as fit,
/// each with its brush's preview centred; the selected cell has a focus rectangle.
/// A click selects; the scroll bar moves by rows.
class CBrushGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCell = 40;
    explicit CBrushGrid(QScrollBar* scrollBar, QWidget* parent = nullptr);
    void SetLibrary(const CBrushLibrary* library, int selection);
    int Columns() const;
    int VisibleRows() const;
    int FirstRow() const;
    /// The brush index under a client point, -1 for none.
    int IndexAt(const QPoint& pt) const;
    /// Scrolls so that the brush at index is in view.
    void EnsureVisible(int index);
    QSize sizeHint() const override { return {5 * kCell, 2 * kCell}; }

signals:
    void brushClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void UpdateScrollBar();

    QScrollBar* m_scroll;
    const CBrushLibrary* m_library = nullptr;
    int m_selection = -1;
};

/// The brush bar: the current tool's library as a grid with the selected brush's name,
/// the buttons "Add", "Edit", "Del", "S" (save) and "L" (load), and a menu with
/// "Add...", "Delete", "Edit...", "Import...", "Export...", "Load Library",
/// "Save Library" and "Sort". Every change of the brush sends brushChanged.
class CBrushPanel : public QWidget {
    Q_OBJECT
public:
    explicit CBrushPanel(QWidget* parent = nullptr);
    /// Shows the active library of the tool set again.
    void Refresh();
    CBrushGrid* Grid() const { return m_grid; }
    QLabel* NameLabel() const { return m_name; }

    /// The library commands (each opens its dialogs).
    void AddBrush();
    void EditBrush();
    void DeleteBrush();
    void ImportBrush();
    void ExportBrush();
    void LoadLibrary();
    void SaveLibrary();
    void SortLibrary();
    /// Makes the brush at index of the active library current.
    void Select(int index);

signals:
    void brushChanged();

private:
    CBrushLibrary& Library() const;
    /// Opens "Brush Properties" on brush; true (brush edited) on OK.
    bool RunProperties(CBrush& brush);

    CBrushGrid* m_grid;
    QScrollBar* m_scroll;
    QLabel* m_name;
};

} // namespace quiltara::gui
