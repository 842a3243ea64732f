#include "gui/filters/CAdjustDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace quiltara::gui {

CAdjustDlg::CAdjustDlg(int operation, AdjustTarget& target, std::function<void()> repaint,
                       QWidget* parent)
    : QDialog(parent), m_operation(operation), m_target(target), m_repaint(std::move(repaint)) {}

void CAdjustDlg::Render() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RenderAdjustmentPreview(m_target, m_operation, m_settings);
    QApplication::restoreOverrideCursor();
    ++m_renders;
    if (m_repaint) m_repaint();
}

QSlider* CAdjustDlg::MakeTrackBar(const QString& name, int min, int max, int start, int tick,
                                  std::function<void(int)> valueSet) {
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setValue(start);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(tick);
    bar->setPageStep(std::max(1, (max - min) / 10));
    bar->setMinimumWidth(220);
    connect(bar, &QSlider::valueChanged, this, [this, bar, valueSet](int value) {
        valueSet(value);
        UpdateCurve();
        // Keys and clicks beside the handle are finished moves; a drag waits for
        // the release.
        if (!bar->isSliderDown()) Render();
    });
    connect(bar, &QSlider::sliderReleased, this, [this] { Render(); });
    return bar;
}

QLineEdit* CAdjustDlg::MakeValueBox(const QString& name) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(52);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QWidget* CAdjustDlg::MakeButtons() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setOrientation(Qt::Vertical);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

} // namespace quiltara::gui
