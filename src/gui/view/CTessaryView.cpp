#include "gui/view/CTessaryView.h"

#include "core/document/ClipboardCommands.h"
#include "core/plugins/PluginCatalog.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/app/ClipboardBridge.h"
#include "gui/app/CommandIds.h"
#include "gui/plugins/CExtrasManager.h"
#include "gui/plugins/CPlugInManager.h"
#include "gui/tiling/CExportTiledDlg.h"
#include "gui/ui/CHelpPictureWnd.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/ViewPrinting.h"

#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

namespace quiltara::gui {

CTessaryView::CTessaryView(CTessaryDoc* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_canvas(new CCanvasWnd(this)),
      m_repetitionTimer(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    setFocusProxy(m_canvas);
    connect(m_canvas, &CCanvasWnd::zoomChanged, this, &CTessaryView::zoomChanged);
    // The repetition looks at the whole picture: it waits until strokes pause.
    m_repetitionTimer->setSingleShot(true);
    m_repetitionTimer->setInterval(300);
    connect(m_repetitionTimer, &QTimer::timeout, this,
            [this] { m_seams.MeasureRepetition(m_canvas->Model().WorkingImage()); });
    connect(m_canvas, &CCanvasWnd::imageEdited, this, &CTessaryView::PictureChanged);
}

void CTessaryView::PictureChanged() {
    m_seams.MeasureSeams(m_canvas->Model().WorkingImage());
    m_repetitionTimer->start();
    // A stroke repaints only what it touched; the heat may have changed beyond it.
    if (m_showSeams) m_canvas->Refresh();
}

void CTessaryView::FlushSeamMeter() {
    if (!m_repetitionTimer->isActive()) return;
    m_repetitionTimer->stop();
    m_seams.MeasureRepetition(m_canvas->Model().WorkingImage());
}

void CTessaryView::OnInitialUpdate() {
    m_canvas->AttachDocument(&m_document->original, &m_document->surroundingsImage,
                             m_document->tileOffsetX, m_document->tileOffsetY);
    m_document->OnViewInitialised(m_canvas);
    PictureChanged();

    // The first picture ever shown comes with a short help picture.
    if (CTessaryApp* app = CTessaryApp::Instance()) {
        if (app->Store().GetInt("AppWin", "Run", 0) == 0) {
            app->Store().SetInt("AppWin", "Run", 1);
            QTimer::singleShot(300, this, [this] { CHelpPictureWnd::Show("hlpfile1.png", this); });
        }
    }
}

void CTessaryView::Reload() {
    const auto answer = QMessageBox::question(
        this, "Quiltara",
        "This will Reload the original image from the disk.\nAny changes you made after the last "
        "Save will be lost.\nDo you want to continue?",
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    QString error;
    if (!m_document->OnOpenDocument(m_document->pathName, &error)) {
        // A failed or cancelled reload leaves the canvas as it was.
        if (!error.isEmpty()) QMessageBox::warning(this, "Quiltara", error);
        return;
    }
    m_canvas->AttachDocument(&m_document->original, &m_document->surroundingsImage,
                             m_document->tileOffsetX, m_document->tileOffsetY);
    m_document->OnViewInitialised(m_canvas);
    emit zoomChanged(m_canvas->Geometry().Zoom());
}

bool CTessaryView::OnCommand(int id) {
    const bool handled = RunCommand(id);
    // Most commands change the picture; measuring its seams again is cheap.
    if (handled) PictureChanged();
    return handled;
}

bool CTessaryView::RunCommand(int id) {
    if (m_imageCommands.OnCommand(id)) return true;
    CCanvasModel& model = m_canvas->Model();
    if (RunPrintCommand(id, this, model.WorkingImage())) return true;
    CTessaryApp* app = CTessaryApp::Instance();
    // The menu items the plug-ins and the Extras add at run time.
    if (id >= kPluginFirstId && id <= kPluginLastId)
        return app && app->PlugIns() && app->PlugIns()->RunEntry(id, this);
    if (id >= kExtrasFirstId && id <= kExtrasLastId)
        return app && app->Extras() && app->Extras()->RunEntry(id, this);
    switch (id) {
    case ID_EDIT_UNDO:
        m_canvas->AfterUndoStep(model.Undo());
        return true;
    case ID_EDIT_REDO:
        m_canvas->AfterUndoStep(model.Redo());
        return true;
    case ID_HOLD_UNDO:
        model.SetHoldUndo(!model.HoldUndo());
        return true;
    case ID_EDIT_COPY:
        PutPictureOnClipboard(CopyFloat(model));
        return true;
    case ID_EDIT_CUT:
        PutPictureOnClipboard(CutFloat(model));
        m_canvas->Refresh();
        return true;
    case ID_COPY_ALL:
        PutPictureOnClipboard(CopyAll(model));
        return true;
    case ID_EDIT_PASTE: {
        CDIBSection2 clip;
        if (TakePictureFromClipboard(clip) && Paste(model, clip)) m_canvas->Refresh();
        return true;
    }
    case ID_EDIT_SELECT_ALL:
        SelectAll(model);
        if (app) app->SelectTool(kToolArrow);
        m_canvas->Refresh();
        return true;
    case ID_DUPLICATE:
        PutPictureOnClipboard(CopyAll(model));
        if (app) {
            AppState().newFromClipboard = true;
            app->NewDocument();
        }
        EmptyClipboard();
        return true;
    case ID_PASTE_AS_ORIGINAL: {
        CDIBSection2 clip;
        if (!TakePictureFromClipboard(clip)) return true;
        const std::string message = PasteAsOriginal(model, clip);
        m_canvas->Refresh();
        if (!message.empty())
            QMessageBox::information(this, "Quiltara", QString::fromStdString(message));
        return true;
    }
    case ID_DELETE_FLOAT:
        DeleteFloat(model);
        m_canvas->Refresh();
        return true;
    case ID_COMBINE_WITH_IMAGE:
        CombineWithImage(model);
        m_canvas->Refresh();
        return true;
    case ID_FINISH_CROP:
        if (model.FinishCrop()) m_canvas->ImageSizeChanged();
        m_canvas->Refresh();
        return true;
    case ID_RELOAD:
        Reload();
        return true;
    case ID_ZOOM_IN:
        m_canvas->ZoomIn();
        return true;
    case ID_ZOOM_OUT:
        m_canvas->ZoomOut();
        return true;
    case ID_ORIGINAL_SIZE:
        m_canvas->SetZoom(1.0);
        return true;
    case ID_FIT_TO_SCREEN:
        m_canvas->FitToWindow();
        return true;
    case ID_TILE_BORDER:
        m_canvas->SetShowTileBorder(!m_canvas->ShowTileBorder());
        return true;
    case ID_SHOW_SEAMS:
        m_showSeams = !m_showSeams;
        m_canvas->SetSeamOverlay(m_showSeams ? &m_seams : nullptr);
        return true;
    case ID_EXPORT_TILED:
        ExportTiled(this, model.WorkingImage(), m_document->pathName);
        return true;
    default:
        return false;
    }
}

bool CTessaryView::UpdateCommand(int id, CommandState& state) {
    if (m_imageCommands.UpdateCommand(id, state)) return true;
    // Plug-in and Extras items run on the view's picture.
    if (id >= kPluginFirstId && id <= kExtrasLastId) {
        state.enabled = true;
        return true;
    }
    const CCanvasModel& model = m_canvas->Model();
    if (UpdatePrintCommand(id, model.WorkingImage(), state)) return true;
    switch (id) {
    case ID_EDIT_UNDO:
        state.enabled = model.CanUndo();
        return true;
    case ID_EDIT_REDO:
        state.enabled = model.CanRedo();
        return true;
    case ID_HOLD_UNDO:
        state.enabled = true;
        state.checked = model.HoldUndo();
        return true;
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
    case ID_DELETE_FLOAT:
        state.enabled = CanCopyFloat(model);
        return true;
    case ID_COMBINE_WITH_IMAGE:
        state.enabled = CanCombine(model);
        return true;
    case ID_COPY_ALL:
    case ID_EDIT_SELECT_ALL:
    case ID_DUPLICATE:
        state.enabled = true;
        return true;
    case ID_EDIT_PASTE:
    case ID_PASTE_AS_ORIGINAL:
        state.enabled = ClipboardHasPicture();
        return true;
    case ID_FINISH_CROP:
        state.enabled = model.CanFinishCrop();
        return true;
    case ID_RELOAD:
        state.enabled = !m_document->pathName.isEmpty();
        return true;
    case ID_ZOOM_IN:
    case ID_ZOOM_OUT:
    case ID_ORIGINAL_SIZE:
    case ID_FIT_TO_SCREEN:
        state.enabled = true;
        return true;
    case ID_TILE_BORDER:
        state.enabled = true;
        state.checked = m_canvas->ShowTileBorder();
        return true;
    case ID_SHOW_SEAMS:
        state.enabled = true;
        state.checked = m_showSeams;
        return true;
    case ID_EXPORT_TILED:
        state.enabled = !model.WorkingImage().IsEmpty();
        return true;
    default:
        return false;
    }
}

} // namespace quiltara::gui
