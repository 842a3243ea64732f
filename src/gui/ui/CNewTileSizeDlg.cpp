#include "gui/ui/CNewTileSizeDlg.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quiltara::gui {

CNewTileSizeDlg::CNewTileSizeDlg(int width, int height, ColorRef customColor, QWidget* parent)
    : QDialog(parent), m_custom(customColor) {
    setWindowTitle("New Tile Size");
    setObjectName("NewTileSizeDlg");
    m_width = new QLineEdit(QString::number(width));
    m_height = new QLineEdit(QString::number(height));
    m_width->setObjectName("width");
    m_height->setObjectName("height");
    // Digits only; the size limit is checked on OK so that the user learns why.
    for (QLineEdit* edit : {m_width, m_height})
        edit->setValidator(new QIntValidator(1, 999999, edit));

    auto* form = new QFormLayout;
    form->addRow("Width:", m_width);
    form->addRow("Height:", m_height);

    auto* colours = new QGroupBox("Canvas color");
    m_white = new QRadioButton("White");
    m_black = new QRadioButton("Black");
    m_customChoice = new QRadioButton("Custom");
    m_customButton = new QPushButton;
    m_customButton->setFixedWidth(48);
    m_white->setChecked(true);
    auto* colourRow = new QHBoxLayout(colours);
    colourRow->addWidget(m_white);
    colourRow->addWidget(m_black);
    colourRow->addWidget(m_customChoice);
    colourRow->addWidget(m_customButton);
    connect(m_customButton, &QPushButton::clicked, this, &CNewTileSizeDlg::ChooseCustomColor);
    ShowCustomSwatch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(colours);
    layout->addWidget(buttons);
}

int CNewTileSizeDlg::TileWidth() const {
    return m_width->text().toInt();
}
int CNewTileSizeDlg::TileHeight() const {
    return m_height->text().toInt();
}

ColorRef CNewTileSizeDlg::Color() const {
    if (m_black->isChecked()) return MakeColorRef(0, 0, 0);
    if (m_customChoice->isChecked()) return m_custom;
    return MakeColorRef(255, 255, 255);
}

void CNewTileSizeDlg::ChooseCustomColor() {
    const QColor chosen = QColorDialog::getColor(
        QColor(RedOf(m_custom), GreenOf(m_custom), BlueOf(m_custom)), this, "Canvas color");
    if (!chosen.isValid()) return;
    m_custom = MakeColorRef(chosen.red(), chosen.green(), chosen.blue());
    m_customChoice->setChecked(true);
    ShowCustomSwatch();
}

void CNewTileSizeDlg::ShowCustomSwatch() {
    m_customButton->setStyleSheet(QString("background-color: rgb(%1,%2,%3)")
                                      .arg(RedOf(m_custom))
                                      .arg(GreenOf(m_custom))
                                      .arg(BlueOf(m_custom)));
}

void CNewTileSizeDlg::accept() {
    const int w = TileWidth(), h = TileHeight();
    if (w > kMaxSize || h > kMaxSize) {
        QMessageBox::warning(this, "Quiltara",
                             "The Maximum image size for your free memory is 5000x5000 pixels.");
        (w > kMaxSize ? m_width : m_height)->setFocus();
        return;
    }
    if (w < 1 || h < 1) {
        QMessageBox::warning(this, "Quiltara", "The Minimum image size is 1x1 pixels.");
        (w < 1 ? m_width : m_height)->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace quiltara::gui
