#include "gui/ui/CJpegQualityDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quiltara::gui {

CJpegQualityDlg::CJpegQualityDlg(int quality, QWidget* parent) : QDialog(parent) {
    setWindowTitle("JPG Quality");
    setObjectName("JpegQualityDlg");
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setRange(0, 100);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(20); // ticks at 20, 40, 60 and 80
    m_edit = new QSpinBox;
    m_edit->setObjectName("quality");
    m_edit->setRange(0, 100);
    connect(m_slider, &QSlider::valueChanged, m_edit, &QSpinBox::setValue);
    connect(m_edit, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    m_edit->setValue(quality);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("JPG Quality:"));
    row->addWidget(m_slider, 1);
    row->addWidget(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(360, sizeHint().height());
}

int CJpegQualityDlg::Quality() const {
    return m_edit->value();
}

} // namespace quiltara::gui
