#pragma once
#include <QDialog>

class QTableWidget;

namespace quiltara::gui {

/// "Character Map": a grid of characters in a font, at zoom "1x", "2x" or "4x"; the
/// chosen one is handed back (double click or OK).
class CCharMapDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCharMapDlg(const QString& face, QWidget* parent = nullptr);
    /// The chosen character; empty when none is.
    QString Chosen() const;
    void SetZoom(int zoom);

private:
    QTableWidget* m_grid;
    QString m_face;
};

} // namespace quiltara::gui
