#pragma once
#include "gui/filters/CAdjustDlg.h"

#include <array>

class QCheckBox;

namespace quiltara::gui {

/// "RGB Curves - Contrast Stretch": one track bar 0..200 per channel, "All together"
/// to move the three as one, and "Reset".
class CRgbCurvesDlg : public CAdjustDlg {
    Q_OBJECT
public:
    CRgbCurvesDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent = nullptr);

protected:
    void UpdateCurve() override;

private:
    void Reset();

    std::array<QSlider*, 3> m_bars{};
    std::array<QLineEdit*, 3> m_boxes{};
    QCheckBox* m_together = nullptr;
    bool m_following = false;
};

} // namespace quiltara::gui
