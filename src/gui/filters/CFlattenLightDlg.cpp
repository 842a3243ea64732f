#include "gui/filters/CFlattenLightDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quiltara::gui {

CFlattenLightDlg::CFlattenLightDlg(int width, int height, QWidget* parent)
    : QDialog(parent), m_radius(new QSpinBox(this)),
      m_divide(new QRadioButton("Divide by the light", this)),
      m_subtract(new QRadioButton("Subtract the light", this)) {
    setObjectName("FlattenLightDlg");
    setWindowTitle("Flatten Light");
    m_radius->setObjectName("radius");
    m_divide->setObjectName("divide");
    m_subtract->setObjectName("subtract");
    m_radius->setRange(2, std::max(2, std::max(width, height)));
    m_radius->setSuffix(" pixels");
    m_radius->setValue(int(std::lround(FlattenRadius({}, width, height))));
    m_divide->setChecked(true);
    auto* hint = new QLabel("Light and colour that change over more than the radius are taken "
                            "out; the edges wrap, so a seamless tile stays seamless.",
                            this);
    hint->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow("Radius:", m_radius);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addWidget(m_divide);
    layout->addWidget(m_subtract);
    layout->addWidget(buttons);
}

FlattenLightOptions CFlattenLightDlg::Options() const {
    FlattenLightOptions options;
    options.radius = m_radius->value();
    options.mode = m_subtract->isChecked() ? FlattenLightMode::Subtract : FlattenLightMode::Divide;
    return options;
}

} // namespace quiltara::gui
