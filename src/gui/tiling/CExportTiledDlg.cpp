#include "gui/tiling/CExportTiledDlg.h"

#include "core/base/SettingsStore.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/ImageFileRoutines.h"
#include "core/tiling/TileRepeat.h"
#include "gui/app/CTessaryApp.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/ui/FileDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quiltara::gui {

namespace {
const char* const kSection = "ExportTiled";
}

std::function<QString(const QString& start)> askExportTiledPath;

CExportTiledDlg::CExportTiledDlg(int tileWidth, int tileHeight, int across, int down,
                                 bool offsetHalf, QWidget* parent)
    : QDialog(parent), m_tileWidth(tileWidth), m_tileHeight(tileHeight),
      m_across(new QSpinBox(this)), m_down(new QSpinBox(this)),
      m_offsetHalf(new QCheckBox("Move each copy by half a tile (seams in the middle)", this)),
      m_size(new QLabel(this)) {
    setObjectName("ExportTiledDlg");
    setWindowTitle("Export Tiled");
    m_across->setObjectName("across");
    m_down->setObjectName("down");
    m_offsetHalf->setObjectName("offsetHalf");
    m_size->setObjectName("sheetSize");
    for (QSpinBox* box : {m_across, m_down}) box->setRange(1, kMaxCopies);
    m_across->setValue(across);
    m_down->setValue(down);
    m_offsetHalf->setChecked(offsetHalf);
    auto* form = new QFormLayout;
    form->addRow("Across:", m_across);
    form->addRow("Down:", m_down);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_offsetHalf);
    layout->addWidget(m_size);
    layout->addWidget(buttons);
    connect(m_across, &QSpinBox::valueChanged, this, &CExportTiledDlg::UpdateSize);
    connect(m_down, &QSpinBox::valueChanged, this, &CExportTiledDlg::UpdateSize);
    UpdateSize();
}

int CExportTiledDlg::Across() const {
    return m_across->value();
}

int CExportTiledDlg::Down() const {
    return m_down->value();
}

bool CExportTiledDlg::OffsetHalf() const {
    return m_offsetHalf->isChecked();
}

void CExportTiledDlg::UpdateSize() {
    m_size->setText(QString("Sheet: %1 x %2 pixels")
                        .arg(qint64(m_tileWidth) * Across())
                        .arg(qint64(m_tileHeight) * Down()));
}

bool ExportTiled(QWidget* parent, const CDIBSection2& tile, const QString& documentPath) {
    if (tile.IsEmpty() || tile.GetBitsPerPixel() != 32) return false;
    CTessaryApp* app = CTessaryApp::Instance();
    CMemorySettingsStore fallback;
    ISettingsStore& store = app ? app->Store() : static_cast<ISettingsStore&>(fallback);
    auto remembered = [&store](const char* name, int fallbackValue, int low, int high) {
        return std::clamp(store.GetInt(kSection, name, fallbackValue), low, high);
    };
    CExportTiledDlg dialog(tile.GetWidth(), tile.GetHeight(),
                           remembered("Across", 3, 1, CExportTiledDlg::kMaxCopies),
                           remembered("Down", 3, 1, CExportTiledDlg::kMaxCopies),
                           remembered("OffsetHalf", 0, 0, 1) != 0, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    store.SetInt(kSection, "Across", dialog.Across());
    store.SetInt(kSection, "Down", dialog.Down());
    store.SetInt(kSection, "OffsetHalf", dialog.OffsetHalf() ? 1 : 0);

    const QFileInfo document(documentPath);
    const QString base =
        document.completeBaseName().isEmpty() ? "tile" : document.completeBaseName();
    QString folder = app ? QString::fromStdString(app->Settings().documentPath) : QString();
    if (folder.isEmpty()) folder = document.absolutePath();
    const QString start = QDir(folder).filePath(base + "-tiled.png");
    QString path;
    if (askExportTiledPath) {
        path = askExportTiledPath(start);
    } else {
        QFileDialog files(parent, "Export Tiled", start);
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setNameFilters(QtNameFilters(SaveDialogFilter("*.png").c_str()));
        files.setDefaultSuffix("png");
        if (files.exec() == QDialog::Accepted && !files.selectedFiles().isEmpty())
            path = files.selectedFiles().first();
    }
    if (path.isEmpty()) return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    CDIBSection2 sheet;
    RepeatResult made;
    SaveResult saved;
    try {
        made = RepeatTile(tile, dialog.Across(), dialog.Down(), dialog.OffsetHalf(), sheet);
        if (made == RepeatResult::Done) {
            CStatusProgressReporter progress;
            saved = SavePictureFile(sheet, path.toStdString(), LoadJpegQuality(store), progress);
        }
    } catch (const std::bad_alloc&) {
        QApplication::restoreOverrideCursor();
        QMessageBox::critical(parent, "Quiltara", "Not enough memory for this operation.");
        return false;
    }
    QApplication::restoreOverrideCursor();
    if (made != RepeatResult::Done) {
        QMessageBox::warning(parent, "Quiltara", RepeatResultText(made));
        return false;
    }
    if (!saved.ok) {
        QMessageBox::warning(parent, "Quiltara", QString::fromStdString(saved.message));
        return false;
    }
    return true;
}

} // namespace quiltara::gui
