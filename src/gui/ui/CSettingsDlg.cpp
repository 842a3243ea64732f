#include "gui/ui/CSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quiltara::gui {

CSettingsDlg::CSettingsDlg(int undoLevels, bool showExif, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Settings");
    m_undo = new QSpinBox;
    m_undo->setObjectName("undoLevels");
    m_undo->setRange(1, 99);
    m_undo->setValue(undoLevels);
    m_showExif = new QCheckBox("Show Camera Info (EXIF) if exist ");
    m_showExif->setObjectName("showExif");
    m_showExif->setChecked(showExif);

    auto* form = new QFormLayout;
    form->addRow("Max undo Levels", m_undo);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("The new settings will apply to  new documents."));
    layout->addWidget(new QLabel("Increase only if you have enough memory and disk space."));
    layout->addWidget(m_showExif);
    layout->addWidget(buttons);
}

int CSettingsDlg::UndoLevels() const {
    return m_undo->value();
}
bool CSettingsDlg::ShowExif() const {
    return m_showExif->isChecked();
}

} // namespace quiltara::gui
