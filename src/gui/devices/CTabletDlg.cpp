#include "gui/devices/CTabletDlg.h"

#include "gui/devices/CTablet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quiltara::gui {

CTabletDlg::CTabletDlg(bool enabled, const QString& statusText, QWidget* parent)
    : QDialog(parent), m_enable(new QCheckBox("Enable Tablet  Pressure Sensitivity")) {
    setWindowTitle("Pressure Sensitive Tablet");
    m_enable->setObjectName("enableTablet");
    m_enable->setChecked(enabled);
    m_enable->setEnabled(statusText != CTablet::kNotInstalledText);
    auto* device = new QLineEdit(statusText);
    device->setObjectName("installedDevice");
    device->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enable);
    layout->addWidget(new QLabel("Installed Device"));
    layout->addWidget(device);
    layout->addWidget(buttons);
}

bool CTabletDlg::TabletEnabled() const {
    return m_enable->isChecked();
}

} // namespace quiltara::gui
