#pragma once
#include "gui/filters/CAdjustDlg.h"

namespace quiltara::gui {

/// "Hue/Saturation": hue 0..360 (180 neutral), saturation and lightness 0..200 (100).
class CHueSaturationDlg : public CAdjustDlg {
    Q_OBJECT
public:
    CHueSaturationDlg(AdjustTarget& target, std::function<void()> repaint,
                      QWidget* parent = nullptr);
};

} // namespace quiltara::gui
