#pragma once
#include "core/filters/LevelsModel.h"
#include "gui/filters/CAdjustDlg.h"

#include <QTimer>

class QComboBox;

namespace quiltara::gui {

class CHistogramDisplay;
class CLevelSlider;

/// "Levels": black, midtone and white input points and black and white output
/// points per channel, with the histogram of the target and the resulting curves.
class CLevelsDlg : public CAdjustDlg {
    Q_OBJECT
public:
    CLevelsDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent = nullptr);

    CLevelsModel& Model() { return m_model; }
    /// "Pick Shadow" / "Pick Highlights" with a colour already read from the screen.
    void Picked(bool shadow, QColor colour);

    /// Where the midtone handle stands for a gamma between black and white, and back.
    static int MidtoneFor(int black, int white, double gamma);
    static double GammaFor(int black, int white, int midtone);

protected:
    void UpdateCurve() override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// The sliders, boxes and histogram show the selected channel.
    void ShowValues();
    /// The settings follow the model.
    void TakeModel();
    void StartPicking(bool shadow);
    void Typed(int box);

    CLevelsModel m_model;
    QComboBox* m_channel = nullptr;
    CHistogramDisplay* m_histogram = nullptr;
    CLevelSlider* m_input = nullptr;
    CLevelSlider* m_output = nullptr;
    QLineEdit* m_boxes[5] = {}; // input black, gamma, input white, output black, output white
    QTimer m_settle;
    int m_picking = 0; // 0 none, 1 shadow, 2 highlights
};

} // namespace quiltara::gui
