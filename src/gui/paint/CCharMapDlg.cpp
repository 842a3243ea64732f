#include "gui/paint/CCharMapDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
constexpr int kColumns = 16;
// Latin-1 and Latin Extended-A, then the usual typographic marks.
QString Characters() {
    QString s;
    for (char16_t c = 0x20; c < 0x7F; ++c) s += QChar(c);
    for (char16_t c = 0xA1; c < 0x180; ++c)
        if (c != 0xAD) s += QChar(c);
    for (char16_t c :
         {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2020, 0x2021, 0x2022, 0x2026, 0x2030,
          0x20AC, 0x2122, 0x2190, 0x2191, 0x2192, 0x2193, 0x2605, 0x2606, 0x263A, 0x2665, 0x266A})
        s += QChar(c);
    return s;
}
} // namespace

CCharMapDlg::CCharMapDlg(const QString& face, QWidget* parent) : QDialog(parent), m_face(face) {
    setWindowTitle("Character Map");
    setObjectName("charMapDlg");
    const QString characters = Characters();
    m_grid = new QTableWidget((int(characters.size()) + kColumns - 1) / kColumns, kColumns, this);
    m_grid->setObjectName("characters");
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < characters.size(); ++i) {
        auto* item = new QTableWidgetItem(characters.at(i));
        item->setTextAlignment(Qt::AlignCenter);
        m_grid->setItem(i / kColumns, i % kColumns, item);
    }
    auto* zooms = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    for (int zoom : {1, 2, 4}) {
        auto* button = new QRadioButton(QString("%1x").arg(zoom), this);
        button->setObjectName(QString("zoom%1").arg(zoom));
        button->setChecked(zoom == 1);
        group->addButton(button, zoom);
        zooms->addWidget(button);
    }
    zooms->addStretch();
    connect(group, &QButtonGroup::idClicked, this, &CCharMapDlg::SetZoom);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(zooms);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    SetZoom(1);
    resize(kColumns * 22 + 40, 360);
}

void CCharMapDlg::SetZoom(int zoom) {
    QFont font(m_face);
    font.setPixelSize(12 * zoom);
    m_grid->setFont(font);
    const int cell = 20 * zoom;
    for (int c = 0; c < m_grid->columnCount(); ++c) m_grid->setColumnWidth(c, cell);
    for (int r = 0; r < m_grid->rowCount(); ++r) m_grid->setRowHeight(r, cell);
}

QString CCharMapDlg::Chosen() const {
    const QTableWidgetItem* item = m_grid->currentItem();
    return item ? item->text() : QString();
}

} // namespace quiltara::gui
