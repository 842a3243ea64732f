#include "gui/filters/CGammaDlg.h"

#include "gui/filters/CCurveDisplay.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace quiltara::gui {

CGammaDlg::CGammaDlg(AdjustTarget& target, std::function<void()> repaint, QWidget* parent)
    : CAdjustDlg(kAdjGamma, target, std::move(repaint), parent) {
    setObjectName("GammaDlg");
    setWindowTitle("Gamma");
    m_gammaBox = MakeValueBox("gammaValue");
    m_curve = new CCurveDisplay;
    QSlider* gamma = MakeTrackBar("gamma", 0, 200, 100, 50, [this](int v) {
        m_settings.gammaPosition = v;
        m_gammaBox->setText(QString::number(GammaFromPosition(v), 'f', 2));
    });
    m_gammaBox->setText(QString::number(GammaFromPosition(100), 'f', 2));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Gamma"), 0, 0);
    grid->addWidget(gamma, 1, 0);
    grid->addWidget(m_gammaBox, 1, 1);
    grid->setRowStretch(2, 1);
    grid->addWidget(m_curve, 0, 2, 3, 1);
    grid->addWidget(MakeButtons(), 0, 3, 3, 1, Qt::AlignTop);
    UpdateCurve();
}

void CGammaDlg::UpdateCurve() {
    m_curve->SetLut(GammaLut(m_settings.gammaPosition));
}

} // namespace quiltara::gui
