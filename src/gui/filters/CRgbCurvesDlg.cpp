#include "gui/filters/CRgbCurvesDlg.h"

#include "gui/filters/CCurveDisplay.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace quiltara::gui {

CRgbCurvesDlg::CRgbCurvesDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent)
    : CAdjustDlg(kAdjRgbCurves, target, std::move(repaint), parent) {
    setObjectName("RgbCurvesDlg");
    setWindowTitle("RGB Curves - Contrast Stretch");
    m_curve = new CCurveDisplay;
    m_together = new QCheckBox("All together");
    m_together->setObjectName("allTogether");
    auto* reset = new QPushButton("Reset");
    reset->setObjectName("reset");
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, [this] { Reset(); });

    const char* names[3] = {"Red", "Green", "Blue"};
    auto* grid = new QGridLayout(this);
    for (int c = 0; c < 3; ++c) {
        m_boxes[std::size_t(c)] = MakeValueBox(QString(names[c]).toLower() + "Value");
        m_boxes[std::size_t(c)]->setText(QString::number(GammaFromPosition(100), 'f', 2));
        m_bars[std::size_t(c)] =
            MakeTrackBar(QString(names[c]).toLower(), 0, 200, 100, 50, [this, c](int v) {
                m_settings.curvesPosition[c] = v;
                m_boxes[std::size_t(c)]->setText(QString::number(GammaFromPosition(v), 'f', 2));
                if (!m_together->isChecked() || m_following) return;
                // Moving one bar moves the other two with it.
                m_following = true;
                for (int o = 0; o < 3; ++o) {
                    if (o == c) continue;
                    QSignalBlocker block(m_bars[std::size_t(o)]);
                    m_bars[std::size_t(o)]->setValue(v);
                    m_settings.curvesPosition[o] = v;
                    m_boxes[std::size_t(o)]->setText(QString::number(GammaFromPosition(v), 'f', 2));
                }
                m_following = false;
            });
        grid->addWidget(new QLabel(names[c]), 2 * c, 0);
        grid->addWidget(m_bars[std::size_t(c)], 2 * c + 1, 0);
        grid->addWidget(m_boxes[std::size_t(c)], 2 * c + 1, 1);
    }
    grid->addWidget(m_together, 6, 0);
    grid->addWidget(reset, 6, 1);
    grid->addWidget(m_curve, 0, 2, 7, 1);
    grid->addWidget(MakeButtons(), 0, 3, 7, 1, Qt::AlignTop);
    UpdateCurve();
}

void CRgbCurvesDlg::UpdateCurve() {
    m_curve->SetLut(RgbCurvesLut(m_settings.curvesPosition[0], m_settings.curvesPosition[1],
                                 m_settings.curvesPosition[2]));
}

void CRgbCurvesDlg::Reset() {
    for (int c = 0; c < 3; ++c) {
        QSignalBlocker block(m_bars[std::size_t(c)]);
        m_bars[std::size_t(c)]->setValue(100);
        m_settings.curvesPosition[c] = 100;
        m_boxes[std::size_t(c)]->setText(QString::number(GammaFromPosition(100), 'f', 2));
    }
    UpdateCurve();
    Render();
}

} // namespace quiltara::gui
