#include "gui/filters/CHueSaturationDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace quiltara::gui {

CHueSaturationDlg::CHueSaturationDlg(AdjustTarget& target, std::function<void()> repaint,
                                     QWidget* parent)
    : CAdjustDlg(kAdjHueSaturation, target, std::move(repaint), parent) {
    setObjectName("HueSaturationDlg");
    setWindowTitle("Hue/Saturation");
    QLineEdit* hueBox = MakeValueBox("hueValue");
    QLineEdit* saturationBox = MakeValueBox("saturationValue");
    QLineEdit* lightnessBox = MakeValueBox("lightnessValue");
    for (QLineEdit* box : {hueBox, saturationBox, lightnessBox}) box->setText("0");
    QSlider* hue = MakeTrackBar("hue", 0, 360, 180, 90, [this, hueBox](int v) {
        m_settings.huePosition = v;
        hueBox->setText(QString::number(v - 180));
    });
    QSlider* saturation = MakeTrackBar("saturation", 0, 200, 100, 50, [this, saturationBox](int v) {
        m_settings.saturationPosition = v;
        saturationBox->setText(QString::number(v - 100));
    });
    QSlider* lightness = MakeTrackBar("lightness", 0, 200, 100, 50, [this, lightnessBox](int v) {
        m_settings.lightnessPosition = v;
        lightnessBox->setText(QString::number(v - 100));
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Hue"), 0, 0);
    grid->addWidget(hue, 1, 0);
    grid->addWidget(hueBox, 1, 1);
    grid->addWidget(new QLabel("Saturation"), 2, 0);
    grid->addWidget(saturation, 3, 0);
    grid->addWidget(saturationBox, 3, 1);
    grid->addWidget(new QLabel("Lightness"), 4, 0);
    grid->addWidget(lightness, 5, 0);
    grid->addWidget(lightnessBox, 5, 1);
    grid->addWidget(MakeButtons(), 0, 2, 6, 1, Qt::AlignTop);
}

} // namespace quiltara::gui
