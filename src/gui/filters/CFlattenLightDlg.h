#pragma once
#include "core/filters/FlattenLight.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace quiltara::gui {

/// "Flatten Light": the radius of the light (the blur's standard deviation, in
/// pixels) and whether the picture is divided by it or has it subtracted.
class CFlattenLightDlg : public QDialog {
    Q_OBJECT
public:
    /// For a picture of width x height; the radius starts at its default.
    CFlattenLightDlg(int width, int height, QWidget* parent = nullptr);
    FlattenLightOptions Options() const;

private:
    QSpinBox* m_radius;
    QRadioButton* m_divide;
    QRadioButton* m_subtract;
};

} // namespace quiltara::gui
