#pragma once
#include "gui/filters/CAdjustDlg.h"

namespace quiltara::gui {

/// "Gamma": one track bar 0..200 (100 neutral) and the gamma it stands for.
class CGammaDlg : public CAdjustDlg {
    Q_OBJECT
public:
    CGammaDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent = nullptr);

protected:
    void UpdateCurve() override;

private:
    QLineEdit* m_gammaBox;
};

} // namespace quiltara::gui
