#include "gui/paint/CBrushPanel.h"

#include "core/paint/BrushLibrary.h"
#include "gui/app/AppState.h"
#include "gui/image/PictureDrawing.h"
#include "gui/paint/CBrushPropertiesDlg.h"
#include "gui/paint/CSortLibraryDlg.h"
#include "gui/ui/FileDialogs.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <QVBoxLayout>

namespace quiltara::gui {

CBrushGrid::CBrushGrid(QScrollBar* scrollBar, QWidget* parent)
    : QWidget(parent), m_scroll(scrollBar) {
    setObjectName("brushGrid");
    setMinimumSize(kCell, kCell);
    connect(m_scroll, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

void CBrushGrid::SetLibrary(const CBrushLibrary* library, int selection) {
    m_library = library;
    m_selection = selection;
    UpdateScrollBar();
    EnsureVisible(selection);
    update();
}

int CBrushGrid::Columns() const {
    return std::max(1, width() / kCell);
}

int CBrushGrid::VisibleRows() const {
    return std::max(1, height() / kCell);
}

int CBrushGrid::FirstRow() const {
    return m_scroll->value();
}

void CBrushGrid::UpdateScrollBar() {
    const int count = m_library ? m_library->Count() : 0;
    const int rows = (count + Columns() - 1) / Columns();
    m_scroll->setRange(0, std::max(0, rows - VisibleRows()));
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(VisibleRows());
}

int CBrushGrid::IndexAt(const QPoint& pt) const {
    if (!m_library || pt.x() < 0 || pt.y() < 0 || pt.x() >= Columns() * kCell) return -1;
    const int index = (FirstRow() + pt.y() / kCell) * Columns() + pt.x() / kCell;
    return index < m_library->Count() ? index : -1;
}

void CBrushGrid::EnsureVisible(int index) {
    if (index < 0) return;
    const int row = index / Columns();
    if (row < FirstRow())
        m_scroll->setValue(row);
    else if (row >= FirstRow() + VisibleRows())
        m_scroll->setValue(row - VisibleRows() + 1);
}

void CBrushGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The generated previews are white coverage: they show on a dark ground.
    p.fillRect(rect(), QColor(64, 64, 64));
    if (!m_library) return;
    const int columns = Columns();
    for (int r = 0; r <= VisibleRows(); ++r)
        for (int c = 0; c < columns; ++c) {
            const int index = (FirstRow() + r) * columns + c;
            const CBrush* brush = m_library->At(index);
            if (!brush) return;
            const QRect cell(c * kCell, r * kCell, kCell, kCell);
            if (!brush->preview.IsEmpty()) {
                const int w = brush->preview.GetWidth(), h = brush->preview.GetHeight();
                if (w <= kCell && h <= kCell)
                    DrawBlended(p, brush->preview, cell.x() + (kCell - w) / 2,
                                cell.y() + (kCell - h) / 2);
                else
                    StretchTo(p, brush->preview, cell.x(), cell.y(), kCell, kCell);
            }
            if (index == m_selection) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = cell.adjusted(2, 2, -2, -2);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
                p.setPen(QPen(QColor(255, 220, 0), 1, Qt::DotLine));
                p.drawRect(cell.adjusted(2, 2, -3, -3));
            }
        }
}

void CBrushGrid::resizeEvent(QResizeEvent*) {
    UpdateScrollBar();
}

void CBrushGrid::mousePressEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) emit brushClicked(index);
}

void CBrushGrid::wheelEvent(QWheelEvent* event) {
    m_scroll->setValue(m_scroll->value() - event->angleDelta().y() / 120);
}

CBrushPanel::CBrushPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("brushPanel");
    m_scroll = new QScrollBar(Qt::Vertical);
    m_grid = new CBrushGrid(m_scroll);
    m_name = new QLabel;
    m_name->setObjectName("brushName");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(m_name);
    auto* gridRow = new QHBoxLayout;
    gridRow->setSpacing(0);
    gridRow->addWidget(m_grid, 1);
    gridRow->addWidget(m_scroll);
    layout->addLayout(gridRow, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    auto button = [this, buttons](const char* text, const char* tip,
                                  void (CBrushPanel::*command)()) {
        auto* b = new QPushButton(text);
        b->setToolTip(tip);
        b->setObjectName(QString("brush") + text);
        b->setMaximumWidth(44);
        connect(b, &QPushButton::clicked, this, command);
        buttons->addWidget(b);
    };
    button("Add", "Add a brush to the library", &CBrushPanel::AddBrush);
    button("Edit", "Edit the selected brush", &CBrushPanel::EditBrush);
    button("Del", "Delete the selected brush", &CBrushPanel::DeleteBrush);
    button("S", "Save the library to a file", &CBrushPanel::SaveLibrary);
    button("L", "Load a library from a file", &CBrushPanel::LoadLibrary);
    auto* more = new QToolButton;
    more->setText("...");
    more->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(more);
    menu->addAction("Add...", this, &CBrushPanel::AddBrush);
    menu->addAction("Delete", this, &CBrushPanel::DeleteBrush);
    menu->addAction("Edit...", this, &CBrushPanel::EditBrush);
    menu->addAction("Import...", this, &CBrushPanel::ImportBrush);
    menu->addAction("Export...", this, &CBrushPanel::ExportBrush);
    menu->addAction("Load Library", this, &CBrushPanel::LoadLibrary);
    menu->addAction("Save Library", this, &CBrushPanel::SaveLibrary);
    menu->addAction("Sort", this, &CBrushPanel::SortLibrary);
    more->setMenu(menu);
    buttons->addWidget(more);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_grid, &CBrushGrid::brushClicked, this, &CBrushPanel::Select);
    Refresh();
}

CBrushLibrary& CBrushPanel::Library() const {
    return AppState().tools.Library(AppState().tools.ActiveLibrary());
}

void CBrushPanel::Refresh() {
    const CToolSet& tools = AppState().tools;
    const int selection = tools.Selection(tools.ActiveLibrary());
    m_grid->SetLibrary(&Library(), selection);
    const CBrush* brush = Library().At(selection);
    m_name->setText(brush ? QString::fromStdString(brush->name) : QString());
}

void CBrushPanel::Select(int index) {
    if (!AppState().tools.SelectBrush(index, AppState().painting)) return;
    Refresh();
    emit brushChanged();
}

bool CBrushPanel::RunProperties(CBrush& brush) {
    CBrushPropertiesDlg dialog(brush, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    brush = dialog.Brush();
    return true;
}

void CBrushPanel::AddBrush() {
    CBrush brush;
    if (!RunProperties(brush)) return;
    Select(Library().Add(brush));
}

void CBrushPanel::EditBrush() {
    const int index = AppState().tools.Selection(AppState().tools.ActiveLibrary());
    const CBrush* selected = Library().At(index);
    if (!selected) return;
    CBrush brush = *selected;
    if (!RunProperties(brush)) return;
    Library().Edit(index, brush);
    Select(index);
}

void CBrushPanel::DeleteBrush() {
    const int index = AppState().tools.Selection(AppState().tools.ActiveLibrary());
    if (!Library().At(index)) return;
    if (QMessageBox::question(this, "Quiltara", CBrushLibrary::kDeleteQuestion,
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const int next = Library().Delete(index);
    if (Library().Count() > 0) Select(next);
    Refresh();
}

void CBrushPanel::ImportBrush() {
    const QString path =
        QFileDialog::getOpenFileName(this, CBrushLibrary::kImportTitle, QString(),
                                     QtNameFilters(CBrushLibrary::kImportFilter).join(";;"));
    if (path.isEmpty()) return;
    CBrush brush;
    const CBrushFileResult read = quiltara::ImportBrush(path.toStdString(), brush);
    for (const std::string& text : read.messages)
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(text));
    if (!read.ok || !RunProperties(brush)) return;
    Select(Library().Append(brush));
}

void CBrushPanel::ExportBrush() {
    const CBrush* brush =
        Library().At(AppState().tools.Selection(AppState().tools.ActiveLibrary()));
    if (!brush) return;
    QString path =
        QFileDialog::getSaveFileName(this, CBrushLibrary::kExportTitle, QString(),
                                     QtNameFilters(CBrushLibrary::kExportFilter).join(";;"));
    if (path.isEmpty()) return;
    if (!path.contains('.')) path += ".br1";
    quiltara::ExportBrush(path.toStdString(), *brush);
}

void CBrushPanel::LoadLibrary() {
    const QString path =
        QFileDialog::getOpenFileName(this, CBrushLibrary::kLoadTitle, QString(),
                                     QtNameFilters(CBrushLibrary::kLibraryFilter).join(";;"));
    if (path.isEmpty()) return;
    const CBrushFileResult read = Library().Load(path.toStdString());
    for (const std::string& text : read.messages)
        QMessageBox::warning(this, "Quiltara", QString::fromStdString(text));
    if (Library().Count() > 0)
        Select(std::min(AppState().tools.Selection(AppState().tools.ActiveLibrary()),
                        Library().Count() - 1));
    Refresh();
}

void CBrushPanel::SaveLibrary() {
    QString path =
        QFileDialog::getSaveFileName(this, CBrushLibrary::kSaveTitle, QString(),
                                     QtNameFilters(CBrushLibrary::kLibraryFilter).join(";;"));
    if (path.isEmpty()) return;
    if (!path.contains('.')) path += ".brs";
    if (!Library().Save(path.toStdString()))
        QMessageBox::warning(this, "Quiltara", "The library could not be written.");
}

void CBrushPanel::SortLibrary() {
    CSortLibraryDlg dialog(Library(), this);
    dialog.exec();
    Library().SaveToPath();
    Refresh();
}

} // namespace quiltara::gui
