#pragma once
#include "core/base/ColorRef.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QPushButton;

namespace quiltara::gui {

/// "New Tile Size": width, height and the canvas colour (White, Black or Custom).
class CNewTileSizeDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxSize = 5000;
    CNewTileSizeDlg(int width, int height, ColorRef customColor, QWidget* parent = nullptr);

    int TileWidth() const;
    int TileHeight() const;
    /// The chosen canvas colour.
    ColorRef Color() const;
    ColorRef CustomColor() const { return m_custom; }

    void accept() override;

private:
    void ChooseCustomColor();
    void ShowCustomSwatch();

    QLineEdit* m_width;
    QLineEdit* m_height;
    QRadioButton* m_white;
    QRadioButton* m_black;
    QRadioButton* m_customChoice;
    QPushButton* m_customButton;
    ColorRef m_custom;
};

} // namespace quiltara::gui
