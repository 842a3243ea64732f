#include "gui/plugins/PluginDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quiltara::gui {

CPlugInManagerDlg::CPlugInManagerDlg(QWidget* parent) : QDialog(parent), m_list(new QListWidget) {
    setObjectName("PlugInManagerDlg");
    setWindowTitle("Plug-In Manager");
    m_list->setObjectName("folderList");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Search for plugins in these paths:"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    auto button = [&](const char* text, const char* name) {
        auto* b = new QPushButton(text);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* reload = button("OK/Reload", "reloadButton");
    QPushButton* add = button("Add Path", "addPathButton");
    QPushButton* remove = button("Remove Path", "removePathButton");
    QPushButton* all = button("Search All drives", "searchAllButton");
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row);
    layout->addWidget(new QLabel("The search is recursive (including subdirectories)"));
    connect(reload, &QPushButton::clicked, this, [this] {
        m_outcome = kReload;
        accept();
    });
    connect(all, &QPushButton::clicked, this, [this] {
        m_outcome = kSearchAllDrives;
        accept();
    });
    connect(add, &QPushButton::clicked, this, &CPlugInManagerDlg::addPathClicked);
    connect(remove, &QPushButton::clicked, this, [this] {
        QListWidgetItem* item = m_list->currentItem();
        emit removePathClicked(item && item->isSelected() ? item->text() : QString());
    });
    resize(460, 280);
}

void CPlugInManagerDlg::SetFolders(const QStringList& folders) {
    m_list->clear();
    for (const QString& f : folders)
        if (!f.isEmpty()) m_list->addItem(f);
}

CYourComputerDlg::CYourComputerDlg(const QStringList& folders, QWidget* parent)
    : QDialog(parent), m_drives(new QComboBox) {
    setObjectName("YourComputerDlg");
    setWindowTitle("Your Computer");
    m_drives->setObjectName("drives");
    m_drives->addItem("All Drives");
    m_drives->addItems(folders);
    m_drives->setCurrentIndex(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Search Drives:"));
    layout->addWidget(m_drives);
    layout->addWidget(new QLabel("If you are not sure, leave it on All Drives."));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

QString CYourComputerDlg::Choice() const {
    return m_drives->currentIndex() > 0 ? m_drives->currentText() : QString();
}

CPluginSearchWnd::CPluginSearchWnd(QWidget* parent)
    : QDialog(parent), m_progress(new QProgressBar), m_pattern(new QLabel), m_found(new QLabel) {
    setObjectName("PluginSearchWnd");
    setWindowTitle("Please Wait,...searching for Plug-Ins!");
    m_pattern->setObjectName("patternLine");
    m_found->setObjectName("foundLine");
    m_pattern->setMinimumWidth(360);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    connect(cancel, &QPushButton::clicked, this, [this] { m_cancel = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->addWidget(m_pattern);
    layout->addWidget(m_found);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
}

bool CPluginSearchWnd::ShowPattern(const std::string& line) {
    m_pattern->setText(QString::fromStdString(line));
    QApplication::processEvents();
    return TakeCancel();
}

void CPluginSearchWnd::ShowFound(const std::string& line) {
    m_found->setText(QString::fromStdString(line));
}

bool CPluginSearchWnd::TakeCancel() {
    const bool cancel = m_cancel;
    m_cancel = false;
    return cancel;
}

CExtrasDlg::CExtrasDlg(const QStringList& names, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget), m_description(new QPlainTextEdit) {
    setObjectName("ExtrasDlg");
    setWindowTitle("Extras");
    m_list->setObjectName("extrasList");
    m_list->addItems(names);
    m_description->setObjectName("description");
    m_description->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Quiltara found following Extras:"));
    layout->addWidget(m_list, 2);
    layout->addWidget(new QLabel("Description"));
    layout->addWidget(m_description, 1);
    layout->addWidget(new QLabel("The Extras will appear in the menu Image->Extras"));
    auto* ok = new QPushButton("Ok");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(m_list, &QListWidget::currentRowChanged, this, &CExtrasDlg::selectionChanged);
    resize(420, 360);
}

} // namespace quiltara::gui
