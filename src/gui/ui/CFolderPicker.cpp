#include "gui/ui/CFolderPicker.h"

#include "core/base/FolderPathRules.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
// The longest path the picker takes.
constexpr int kMaxPath = 260;
} // namespace

CFolderPicker::CFolderPicker(const QString& caption, const QString& prompt,
                             const QString& initialFolder, QWidget* owner)
    : QDialog(owner), m_model(new QFileSystemModel(this)), m_tree(new QTreeView),
      m_edit(new QLineEdit), m_status(new QLabel), m_ok(nullptr) {
    setObjectName("FolderPicker");
    if (!caption.isEmpty()) setWindowTitle(caption);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath("/");
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column) m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_edit->setObjectName("folderEdit");
    m_edit->setMaxLength(kMaxPath);
    m_status->hide(); // the path shows in the field below the prompt instead

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderPicker::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderPicker::reject);
    auto* layout = new QVBoxLayout(this);
    auto* promptLabel = new QLabel(prompt);
    promptLabel->setObjectName("prompt");
    layout->addWidget(promptLabel);
    layout->addWidget(m_edit);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(420, 460);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CFolderPicker::OnSelectionChanged);
    connect(m_edit, &QLineEdit::textChanged, this, &CFolderPicker::OnEditChanged);

    const QString start = initialFolder.isEmpty() ? QDir::currentPath() : initialFolder;
    const QModelIndex index = m_model->index(start);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    m_edit->setText(start);
}

void CFolderPicker::OnSelectionChanged() {
    const QString path = m_model->filePath(m_tree->currentIndex());
    m_ok->setEnabled(!path.isEmpty());
    m_status->setText(path);
    if (!path.isEmpty()) m_edit->setText(path);
}

void CFolderPicker::OnEditChanged(const QString& text) {
    m_typed = text;
    m_ok->setEnabled(!text.isEmpty());
}

int CFolderPicker::ValidateOrCreate(const QString& path) {
    const std::string p = path.toStdString();
    auto tell = [&](int result) {
        if (result == kFolderInvalid)
            QMessageBox::warning(this, windowTitle(), QString::fromStdString(FolderInvalidText(p)));
        else if (result == kFolderCannotCreate)
            QMessageBox::warning(this, windowTitle(),
                                 QString::fromStdString(FolderCannotCreateText(p)));
        return result;
    };
    const int checked = CheckFolderPath(p, false);
    if (checked != kFolderUsable) return tell(checked);
    if (QDir(path).exists()) return 0;
    if (QMessageBox::question(this, windowTitle(),
                              QString::fromStdString(FolderCreateQuestionText(p)),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return -1;
    return tell(CheckFolderPath(p, true));
}

void CFolderPicker::accept() {
    const QString path = m_edit->text().left(kMaxPath);
    if (ValidateOrCreate(path) != 0) {
        m_edit->setFocus();
        return; // stays open
    }
    m_result = path;
    m_accepted = true;
    QDialog::accept();
}

int CFolderPicker::Choose() {
    const QString before = m_result;
    m_accepted = false;
    exec();
    if (!m_accepted) m_result = before;
    return m_accepted ? 1 : 0;
}

} // namespace quiltara::gui
