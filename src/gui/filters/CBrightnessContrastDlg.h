#pragma once
#include "gui/filters/CAdjustDlg.h"

namespace quiltara::gui {

/// "Brightness & Contrast": two track bars 0..254 (127 neutral) shown as -127..127.
class CBrightnessContrastDlg : public CAdjustDlg {
    Q_OBJECT
public:
    CBrightnessContrastDlg(AdjustTarget& target, std::function<void()> repaint,
                           QWidget* parent = nullptr);

protected:
    void UpdateCurve() override;

private:
    QLineEdit* m_brightnessBox;
    QLineEdit* m_contrastBox;
};

} // namespace quiltara::gui
