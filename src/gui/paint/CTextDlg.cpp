#include "gui/paint/CTextDlg.h"

#include "core/image/FontRaster.h"
#include "gui/paint/CCharMapDlg.h"
#include "gui/ui/CFontCombo.h"
#include "gui/ui/CSliderButton.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace quiltara::gui {

CTextDlg::CTextDlg(const CTextSettings& s, ISettingsStore* store, QWidget* parent, bool editing)
    : QDialog(parent), m_store(store), m_color(s.color), m_colorB(s.shadowColor),
      m_face(QString::fromStdString(s.fontName)) {
    setWindowTitle("Text");
    setObjectName("textDlg");
    m_text = new QPlainTextEdit(QString::fromStdString(s.text), this);
    m_text->setObjectName("text");
    m_font = new CFontCombo(this, false);
    m_font->Fill();
    if (!m_font->SelectFace(m_face)) {
        // A face that is not installed: the nearest one installed is offered.
        m_font->SelectFace(QString::fromStdString(FindFont({s.fontName, false, false}).family));
    }
    m_size = new QLineEdit(QString::number(s.size), this);
    m_size->setObjectName("size");
    m_sizeSlider = new CSliderButton(this);
    m_sizeSlider->SetRange(m_size, 1, 200, true);
    m_bold = new QCheckBox("Bold", this);
    m_bold->setObjectName("bold");
    m_bold->setChecked(s.bold);
    m_italic = new QCheckBox("Italic", this);
    m_italic->setObjectName("italic");
    m_italic->setChecked(s.italic);
    auto* alignBox = new QGroupBox("Aligment", this);
    auto* alignLayout = new QHBoxLayout(alignBox);
    const char* alignNames[3] = {"Left", "Center", "Right"};
    for (int i = 0; i < 3; ++i) {
        m_align[i] = new QRadioButton(alignNames[i], alignBox);
        m_align[i]->setObjectName(QString("align%1").arg(i));
        m_align[i]->setChecked(s.align == i);
        alignLayout->addWidget(m_align[i]);
    }
    m_textColor = new QPushButton(this);
    m_textColor->setObjectName("textColor");
    m_shadowColor = new QPushButton(this);
    m_shadowColor->setObjectName("shadowColor");
    ShowColor(m_textColor, m_color);
    ShowColor(m_shadowColor, m_colorB);
    connect(m_textColor, &QPushButton::clicked, this,
            [this] { ChooseColor(m_textColor, m_color); });
    connect(m_shadowColor, &QPushButton::clicked, this,
            [this] { ChooseColor(m_shadowColor, m_colorB); });
    m_shadow = new QCheckBox("Drop Shadow", this);
    m_shadow->setObjectName("shadow");
    m_shadow->setChecked(s.shadow);
    m_distance = new QSpinBox(this);
    m_distance->setObjectName("distance");
    m_distance->setRange(0, 1000);
    m_distance->setValue(s.shadowDistance);
    m_bevel = new QCheckBox("3D", this);
    m_bevel->setObjectName("bevel");
    m_bevel->setChecked(s.bevel);
    auto* charMap = new QPushButton("Character Map...", this);
    charMap->setObjectName("charMap");
    connect(charMap, &QPushButton::clicked, this, &CTextDlg::InsertCharacter);

    auto* grid = new QGridLayout;
    grid->addWidget(m_font, 0, 0, 1, 3);
    grid->addWidget(new QLabel("Size:", this), 1, 0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_size);
    sizeRow->addWidget(m_sizeSlider);
    grid->addLayout(sizeRow, 1, 1);
    grid->addWidget(m_bold, 2, 0);
    grid->addWidget(m_italic, 2, 1);
    grid->addWidget(alignBox, 3, 0, 1, 3);
    grid->addWidget(new QLabel("Text color:", this), 4, 0);
    grid->addWidget(m_textColor, 4, 1);
    grid->addWidget(m_shadow, 5, 0);
    grid->addWidget(m_distance, 5, 1);
    grid->addWidget(m_shadowColor, 5, 2);
    grid->addWidget(m_bevel, 6, 0);
    grid->addWidget(charMap, 6, 1, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    if (editing && !FontFamilyInstalled(s.fontName)) {
        const QString message = QString::fromStdString(MissingFontMessage(s.fontName));
        QTimer::singleShot(
            0, this, [this, message] { QMessageBox::information(this, "Quiltara", message); });
    }
}

void CTextDlg::ShowColor(QPushButton* button, ColorRef color) {
    const QColor c(RedOf(color), GreenOf(color), BlueOf(color));
    button->setStyleSheet(QString("background-color: %1; min-width: 32px").arg(c.name()));
}

void CTextDlg::ChooseColor(QPushButton* button, ColorRef& color) {
    const QColor chosen =
        QColorDialog::getColor(QColor(RedOf(color), GreenOf(color), BlueOf(color)), this);
    if (!chosen.isValid()) return;
    color = MakeColorRef(chosen.red(), chosen.green(), chosen.blue());
    ShowColor(button, color);
}

void CTextDlg::InsertCharacter() {
    CCharMapDlg map(m_font->SelectedFace(), this);
    if (map.exec() == QDialog::Accepted && !map.Chosen().isEmpty())
        m_text->insertPlainText(map.Chosen());
}

CTextSettings CTextDlg::Settings() const {
    CTextSettings s;
    s.text = m_text->toPlainText().toStdString();
    const QString face = m_font->SelectedFace();
    s.fontName = (face.isEmpty() ? m_face : face).toStdString();
    bool ok = false;
    s.size = m_size->text().trimmed().toDouble(&ok);
    if (!ok) s.size = 0;
    s.bold = m_bold->isChecked();
    s.italic = m_italic->isChecked();
    s.align = m_align[2]->isChecked() ? 2 : m_align[1]->isChecked() ? 1 : 0;
    s.color = m_color;
    s.shadowColor = m_colorB;
    s.shadow = m_shadow->isChecked();
    s.shadowDistance = m_distance->value();
    s.bevel = m_bevel->isChecked();
    return s;
}

void CTextDlg::accept() {
    const CTextSettings s = Settings();
    if (const std::string refused = CheckTextSize(s.size); !refused.empty()) {
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(refused));
        return;
    }
    if (m_store) StoreTextSettings(*m_store, s);
    QDialog::accept();
}

} // namespace quiltara::gui
