#include "gui/filters/CBrightnessContrastDlg.h"

#include "gui/filters/CCurveDisplay.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace quiltara::gui {

CBrightnessContrastDlg::CBrightnessContrastDlg(AdjustTarget& target, std::function<void()> repaint,
                                               QWidget* parent)
    : CAdjustDlg(kAdjBrightnessContrast, target, std::move(repaint), parent) {
    setObjectName("BrightnessContrastDlg");
    setWindowTitle("Brightness & Contrast");
    m_brightnessBox = MakeValueBox("brightnessValue");
    m_contrastBox = MakeValueBox("contrastValue");
    m_curve = new CCurveDisplay;
    QSlider* brightness = MakeTrackBar("brightness", 0, 254, 127, 64, [this](int v) {
        m_settings.brightness = v - 127;
        m_brightnessBox->setText(QString::number(m_settings.brightness));
    });
    QSlider* contrast = MakeTrackBar("contrast", 0, 254, 127, 64, [this](int v) {
        m_settings.contrast = v - 127;
        m_contrastBox->setText(QString::number(m_settings.contrast));
    });
    m_brightnessBox->setText("0");
    m_contrastBox->setText("0");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Brightness"), 0, 0);
    grid->addWidget(brightness, 1, 0);
    grid->addWidget(m_brightnessBox, 1, 1);
    grid->addWidget(new QLabel("Contrast"), 2, 0);
    grid->addWidget(contrast, 3, 0);
    grid->addWidget(m_contrastBox, 3, 1);
    grid->addWidget(m_curve, 0, 2, 4, 1);
    grid->addWidget(MakeButtons(), 0, 3, 4, 1, Qt::AlignTop);
    UpdateCurve();
}

void CBrightnessContrastDlg::UpdateCurve() {
    m_curve->SetLut(BrightnessContrastLut(m_settings.brightness, m_settings.contrast));
}

} // namespace quiltara::gui
