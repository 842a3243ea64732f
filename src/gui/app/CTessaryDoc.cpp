#include "gui/app/CTessaryDoc.h"

#include "core/document/ClipboardCommands.h"
#include "core/exif/ExifRecord.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/exif/CCameraInfoDlg.h"
#include "gui/tiling/CTileWizardDlg.h"
#include "gui/ui/CJpegQualityDlg.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/ui/FileDialogs.h"
#include "gui/view/CCanvasWnd.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace quiltara::gui {

CTessaryDoc::CTessaryDoc(QObject* parent) : QObject(parent) {}

CTessaryDoc::~CTessaryDoc() = default;

bool CTessaryDoc::NewBlank(int width, int height, ColorRef color) {
    original.Create(width, height, 32, true);
    original.FillOpaque(color);
    return true;
}

bool CTessaryDoc::NewFromPicture(const CDIBSection2& picture) {
    original.Copy(&picture);
    original.SetAlpha(255);
    m_modified = true;
    return true;
}

std::function<bool(const CDIBSection2&, TileWizardOutcome&)> CTessaryDoc::tileWizard =
    RunTileWizardDialog;

bool CTessaryDoc::OnOpenDocument(const QString& path, QString* errorText, bool withTileWizard) {
    CStatusProgressReporter progress;
    std::vector<std::uint8_t> block;
    CDIBSection2 loaded;
    OpenNotes notes;
    const unsigned code = OpenPictureFile(path.toStdString(), loaded, block, progress, &notes);
    if (code != 0) {
        if (errorText) *errorText = QString::fromStdString(notes.message);
        return false;
    }
    if (!TakeTileFromWizard(loaded, withTileWizard)) {
        if (errorText) errorText->clear(); // cancelled: nothing to tell
        return false;
    }
    pathName = path;
    originalLoaded = true;
    hasCameraInfo = false;
    cameraBlock = std::move(block);
    CExifRecord record;
    if (!cameraBlock.empty() && record.DecodeBlock(cameraBlock)) {
        hasCameraInfo = true;
        camera = record.Summary();
    }
    SetTitle(QFileInfo(path).fileName());
    // A file that ends early opens with what it holds, and the user is told.
    if (!notes.warning.empty())
        QMessageBox::warning(QApplication::activeWindow(), "Quiltara",
                             QString::fromStdString(notes.warning));
    return true;
}

bool CTessaryDoc::TakeTileFromWizard(CDIBSection2& picture, bool runWizard) {
    TileWizardOutcome outcome; // as "Use Whole Image" when the wizard does not run
    if (runWizard && (!tileWizard || !tileWizard(picture, outcome))) return false;
    // The document is changed when the wizard made something other than the file holds.
    m_modified = runWizard && !outcome.keepsPicture;
    original.DeleteTempFile();
    original = std::move(outcome.image.IsEmpty() ? picture : outcome.image);
    surroundingsImage = std::move(outcome.surroundings.image);
    tileOffsetX = outcome.surroundings.offsetX;
    tileOffsetY = outcome.surroundings.offsetY;
    return true;
}

bool CTessaryDoc::OnSaveDocument(const QString& path) {
    QWidget* window = QApplication::activeWindow();
    if (!canvas) {
        QMessageBox::warning(window, "Quiltara", "Can't save...");
        return false;
    }
    CCanvasModel& model = canvas->Model();
    if (model.HasFloat() || model.HasText()) {
        QMessageBox::information(window, "Quiltara", "The selection will be merged with document");
        CombineWithImage(model);
        canvas->Refresh();
    }
    const std::string file = path.toStdString();
    int quality = 75;
    CTessaryApp* app = CTessaryApp::Instance();
    if (SaveFormatForPath(file) == kFormatJPG) {
        if (app) quality = LoadJpegQuality(app->Store());
        CJpegQualityDlg dialog(quality, window);
        if (dialog.exec() != QDialog::Accepted) return false;
        quality = dialog.Quality();
        if (app) StoreJpegQuality(app->Store(), quality);
    }
    CStatusProgressReporter progress;
    const SaveResult result = SavePictureFile(model.WorkingImage(), file, quality, progress);
    if (!result.ok) {
        QMessageBox::warning(window, "Quiltara", QString::fromStdString(result.message));
        return false;
    }
    pathName = path;
    model.MarkSaved();
    m_modified = false;
    return true;
}

bool CTessaryDoc::DoSave(const QString& givenPath, bool replace) {
    QString path = givenPath;
    CTessaryApp* app = CTessaryApp::Instance();
    if (path.isEmpty()) {
        const SaveDialogSetup setup =
            MakeSaveDialogSetup(pathName.toStdString(), m_title.toStdString(), replace);
        QString folder = app ? QString::fromStdString(app->Settings().documentPath) : QString();
        if (folder.isEmpty()) folder = QFileInfo(pathName).absolutePath();
        const QString start = QDir(folder).filePath(QString::fromStdString(setup.name));
        const QStringList filters = QtNameFilters(setup.filter.c_str());
        const QString suffix =
            QString::fromStdString(setup.extension.empty() ? "png" : setup.extension);
        if (askSavePath) {
            path = askSavePath("Save image", start, filters, suffix);
        } else {
            QFileDialog dialog(QApplication::activeWindow(), "Save image", start);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilters(filters);
            dialog.setDefaultSuffix(suffix);
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
                path = dialog.selectedFiles().first();
        }
        if (path.isEmpty()) return false;
        if (app) app->Settings().documentPath = QFileInfo(path).absolutePath().toStdString();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = OnSaveDocument(path);
    QApplication::restoreOverrideCursor();
    // A failed save leaves whatever was at path as it was: nothing to remove here.
    if (ok && replace) SetTitle(QFileInfo(path).fileName());
    if (ok && app) app->AddToRecentFiles(path);
    return ok;
}

void CTessaryDoc::ShowExifInfo(QWidget* parent) {
    CExifRecord record;
    if (!hasCameraInfo || cameraBlock.empty() || !record.DecodeBlock(cameraBlock)) {
        QMessageBox::information(parent, "Quiltara",
                                 "No Camera information can be found in this document...");
        return;
    }
    CCameraInfoDlg dialog(QString::fromStdString(record.Report("\n")), parent);
    dialog.exec();
}

bool CTessaryDoc::SaveModified(QWidget* parent) {
    if (!IsModified()) return true;
    const auto answer = QMessageBox::question(
        parent, "Quiltara", QString("Save changes to %1?").arg(m_title),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Discard) return true;
    return DoSave(QString(), true);
}

void CTessaryDoc::OnViewInitialised(CCanvasWnd* view) {
    canvas = view;
    if (originalLoaded) {
        TellPictureError(original.SwapOut(), original);
    } else {
        original.DeleteTempFile();
        original.Create(1, 1, 32, true);
    }
}

void CTessaryDoc::SetAsOriginal() {
    if (!canvas) return;
    PictureError error = original.Copy(&canvas->Model().WorkingImage());
    originalLoaded = true;
    if (error == PictureError::kNone) error = original.SwapOut();
    TellPictureError(error, original);
}

bool CTessaryDoc::HasOriginal() const {
    if (original.IsSwappedOut()) return true;
    return !original.IsEmpty() && !(original.GetWidth() == 1 && original.GetHeight() == 1);
}

bool CTessaryDoc::IsModified() const {
    return m_modified || (canvas && canvas->Model().unsavedChanges);
}

void CTessaryDoc::SetTitle(const QString& title) {
    m_title = title;
    emit titleChanged(title);
}

bool CTessaryDoc::OnCommand(int id) {
    switch (id) {
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
        DoSave(QString(), true);
        return true;
    case ID_SET_AS_ORIGINAL:
        SetAsOriginal();
        return true;
    case ID_SHOW_EXIF:
        ShowExifInfo(QApplication::activeWindow());
        return true;
    default:
        return false;
    }
}

bool CTessaryDoc::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
        state.enabled = true;
        return true;
    case ID_SET_AS_ORIGINAL:
        state.enabled = canvas != nullptr;
        return true;
    case ID_SHOW_EXIF:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}

} // namespace quiltara::gui
