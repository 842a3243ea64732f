#pragma once
#include "core/image/DIBSection2.h"

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace quiltara::gui {

/// "Export Tiled": how many copies of the tile across and down, and whether each is
/// moved by half a tile so that the seams cross in its middle. Shows the sheet's size.
class CExportTiledDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxCopies = 64;

    CExportTiledDlg(int tileWidth, int tileHeight, int across, int down, bool offsetHalf,
                    QWidget* parent = nullptr);
    int Across() const;
    int Down() const;
    bool OffsetHalf() const;

private:
    void UpdateSize();

    int m_tileWidth, m_tileHeight;
    QSpinBox* m_across;
    QSpinBox* m_down;
    QCheckBox* m_offsetHalf;
    QLabel* m_size;
};

/// "Export Tiled...": the dialog (remembering its choices), then the file to write
/// (starting beside documentPath), then the sheet is made and saved. False when
/// cancelled or failed (the user was told why).
bool ExportTiled(QWidget* parent, const CDIBSection2& tile, const QString& documentPath);

/// Asks for the file to write; tests put their own answer here.
extern std::function<QString(const QString& start)> askExportTiledPath;

} // namespace quiltara::gui
