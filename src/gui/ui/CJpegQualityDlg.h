#pragma once
#include <QDialog>

class QSlider;
class QSpinBox;

namespace quiltara::gui {

/// "JPG Quality": a slider and an edit, 0 to 100.
class CJpegQualityDlg : public QDialog {
    Q_OBJECT
public:
    CJpegQualityDlg(int quality, QWidget* parent = nullptr);
    int Quality() const;

private:
    QSlider* m_slider;
    QSpinBox* m_edit;
};

} // namespace quiltara::gui
