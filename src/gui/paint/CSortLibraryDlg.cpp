#include "gui/paint/CSortLibraryDlg.h"

#include "core/paint/BrushLibrary.h"
#include "gui/image/PictureDrawing.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace quiltara::gui {

CSortLibraryDlg::CSortLibraryDlg(CBrushLibrary& library, QWidget* parent)
    : QDialog(parent), m_library(library) {
    setWindowTitle("Sort Library");
    m_list = new QListWidget;
    m_name = new QLineEdit;
    m_preview = new QLabel;
    m_preview->setFixedSize(100, 100);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::Panel);
    auto* up = new QPushButton("Up");
    auto* down = new QPushButton("Down");
    auto* apply = new QPushButton("Apply");
    auto* done = new QPushButton("Done");
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 5, 1);
    layout->addWidget(m_preview, 0, 1, 1, 2);
    layout->addWidget(up, 1, 1);
    layout->addWidget(down, 1, 2);
    layout->addWidget(new QLabel("Name"), 2, 1);
    layout->addWidget(m_name, 2, 2);
    layout->addWidget(apply, 3, 1);
    layout->addWidget(done, 4, 2);
    connect(up, &QPushButton::clicked, this, &CSortLibraryDlg::MoveUp);
    connect(down, &QPushButton::clicked, this, &CSortLibraryDlg::MoveDown);
    connect(apply, &QPushButton::clicked, this, &CSortLibraryDlg::ApplyName);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::currentRowChanged, this, &CSortLibraryDlg::ShowSelected);
    Fill(0);
}

void CSortLibraryDlg::Fill(int select) {
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const CBrush& b : m_library.Brushes()) m_list->addItem(QString::fromStdString(b.name));
    m_list->setCurrentRow(std::min(select, m_list->count() - 1));
    ShowSelected();
}

void CSortLibraryDlg::ShowSelected() {
    const CBrush* brush = m_library.At(m_list->currentRow());
    m_preview->clear();
    if (!brush) return;
    m_name->setText(QString::fromStdString(brush->name));
    if (!brush->preview.IsEmpty())
        m_preview->setPixmap(QPixmap::fromImage(PictureToImage(brush->preview)));
}

void CSortLibraryDlg::MoveUp() {
    const int row = m_list->currentRow();
    if (m_library.MoveUp(row)) Fill(row - 1);
}

void CSortLibraryDlg::MoveDown() {
    const int row = m_list->currentRow();
    if (m_library.MoveDown(row)) Fill(row + 1);
}

void CSortLibraryDlg::ApplyName() {
    const int row = m_list->currentRow();
    if (m_library.Rename(row, m_name->text().toStdString())) Fill(row);
}

} // namespace quiltara::gui
