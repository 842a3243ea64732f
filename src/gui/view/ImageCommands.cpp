#include "gui/view/ImageCommands.h"

#include "core/base/SettingsStore.h"
#include "core/filters/AdjustDispatcher.h"
#include "core/filters/FilterTable.h"
#include "core/filters/FlattenLight.h"
#include "core/filters/Resize.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CBrightnessContrastDlg.h"
#include "gui/filters/CFilterDlg.h"
#include "gui/filters/CFlattenLightDlg.h"
#include "gui/filters/CGammaDlg.h"
#include "gui/filters/CHueSaturationDlg.h"
#include "gui/filters/CLevelsDlg.h"
#include "gui/filters/CResizeImageDlg.h"
#include "gui/filters/CRgbCurvesDlg.h"
#include "gui/ui/CStatusProgress.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QApplication>
#include <QMessageBox>
#include <climits>
#include <memory>
#include <new>

namespace quiltara::gui {

namespace {
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool Usable(const CDIBSection2& picture) {
    return !picture.IsEmpty() && picture.GetBitsPerPixel() == 32;
}
} // namespace

int CImageCommands::OperationForCommand(int id) {
    for (const AdjustOperationInfo& op : AdjustOperations())
        if (op.commandId == id) return op.number;
    return -1;
}

bool CImageCommands::OnCommand(int id) {
    if (id == ID_IMAGE_SIZE) {
        ImageSize();
        return true;
    }
    if (id == ID_FLATTEN_LIGHT) {
        FlattenLight();
        return true;
    }
    const int slot = FilterSlotForCommand(id);
    if (slot >= 0) {
        RunFilter(slot);
        return true;
    }
    const int operation = OperationForCommand(id);
    if (operation >= 0) {
        RunAdjustment(operation);
        return true;
    }
    return false;
}

bool CImageCommands::UpdateCommand(int id, CommandState& state) {
    const int slot = FilterSlotForCommand(id);
    if (id == ID_IMAGE_SIZE || id == ID_FLATTEN_LIGHT || OperationForCommand(id) >= 0 ||
        slot >= 0) {
        // The view answers only while it exists, so a view is all these need; a
        // slot without a filter has nothing to run.
        state.enabled = slot < 0 || IsFilterSlotUsed(slot);
        return true;
    }
    return false;
}

void CImageCommands::ReportOutOfMemory() {
    QMessageBox::critical(m_view, "Quiltara", "Not enough memory for this operation.");
}

bool CImageCommands::RunAdjustment(int operation) {
    if (operation < 0 || operation >= kAdjOperationCount) return false;
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    const bool onFloat = model.HasFloat();
    if (!Usable(onFloat ? model.FloatImage() : model.WorkingImage())) return false;
    const bool hasDialog = AdjustOperations()[std::size_t(operation)].hasDialog;

    std::unique_ptr<AdjustTarget> target;
    CCanvasEdit edit;
    try {
        // The float is changed in place; the working image through the edit.
        edit = onFloat ? model.BeginFloatEdit() : model.BeginEdit();
        CDIBSection2& picture = onFloat ? model.FloatImage() : edit.Image();
        target = std::make_unique<AdjustTarget>(AdjustTarget::ForPicture(picture));
        bool done;
        if (hasDialog) {
            done = RunAdjustmentDialog(operation, *target);
        } else {
            WaitCursor wait;
            done = quiltara::RunAdjustment(*target, operation);
        }
        if (!done) {
            edit.Cancel(); // the dialog put the picture back
            canvas->Refresh();
            return false;
        }
    } catch (const std::bad_alloc&) {
        // The operations fail before they touch the pixels; a preview that ran
        // before is undone with the backup. A picture that did change keeps its step.
        if (!target || !target->sizeChanged) {
            if (target) target->RestoreBackup();
            edit.Cancel();
        }
        canvas->Refresh();
        ReportOutOfMemory();
        return false;
    }

    // A float edit's backup follows the result: resizing the float later starts from it.
    edit.Commit();
    if (!onFloat && target->sizeChanged) canvas->ImageSizeChanged();
    canvas->Refresh();
    return true;
}

bool CImageCommands::RunAdjustmentDialog(int operation, AdjustTarget& target) {
    CCanvasWnd* canvas = m_view->Canvas();
    auto repaint = [canvas] { canvas->Refresh(); };
    std::unique_ptr<CAdjustDlg> dialog;
    switch (operation) {
    case kAdjBrightnessContrast:
        dialog = std::make_unique<CBrightnessContrastDlg>(target, repaint, m_view);
        break;
    case kAdjGamma:
        dialog = std::make_unique<CGammaDlg>(target, repaint, m_view);
        break;
    case kAdjRgbCurves:
        dialog = std::make_unique<CRgbCurvesDlg>(target, repaint, m_view);
        break;
    case kAdjHueSaturation:
        dialog = std::make_unique<CHueSaturationDlg>(target, repaint, m_view);
        break;
    case kAdjLevels:
        dialog = std::make_unique<CLevelsDlg>(target, repaint, m_view);
        break;
    default:
        return false;
    }
    if (dialog->exec() != QDialog::Accepted) {
        // Cancel: the dispatcher puts the backup back.
        quiltara::RunAdjustment(target, operation, nullptr);
        return false;
    }
    WaitCursor wait;
    return quiltara::RunAdjustment(target, operation, &dialog->Settings());
}

bool CImageCommands::RunFilter(int slot) {
    if (!IsFilterSlotUsed(slot)) return false;
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    const bool onFloat = model.HasFloat();
    if (!Usable(onFloat ? model.FloatImage() : model.WorkingImage())) return false;
    bool applied = false;
    CCanvasEdit edit;
    try {
        edit = onFloat ? model.BeginFloatEdit() : model.BeginEdit();
        CFilterDlg dialog(slot, onFloat ? model.FloatImage() : edit.Image(), m_view);
        applied = dialog.exec() == QDialog::Accepted;
    } catch (const std::bad_alloc&) {
        edit.Cancel();
        ReportOutOfMemory();
        return false;
    }
    if (!applied) {
        edit.Cancel(); // the dialog changes the picture only when it applies
        return false;
    }
    edit.Commit();
    canvas->Refresh();
    return true;
}

bool CImageCommands::FlattenLight() {
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    const bool onFloat = model.HasFloat();
    const CDIBSection2& target = onFloat ? model.FloatImage() : model.WorkingImage();
    if (!Usable(target)) return false;
    CFlattenLightDlg dialog(target.GetWidth(), target.GetHeight(), m_view);
    if (dialog.exec() != QDialog::Accepted) return false;
    CCanvasEdit edit;
    try {
        WaitCursor wait;
        edit = onFloat ? model.BeginFloatEdit() : model.BeginEdit();
        // The light is measured before anything changes, so running out of memory
        // leaves the picture as it was.
        CLightField light;
        light.Measure(onFloat ? model.FloatImage() : edit.Image(), dialog.Options());
        light.Apply(onFloat ? model.FloatImage() : edit.Image());
    } catch (const std::bad_alloc&) {
        edit.Cancel();
        ReportOutOfMemory();
        return false;
    }
    edit.Commit();
    canvas->Refresh();
    return true;
}

bool CImageCommands::ImageSize() {
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    const CDIBSection2& working = model.WorkingImage();
    if (!Usable(working)) return false;
    CTessaryApp* app = CTessaryApp::Instance();
    CMemorySettingsStore fallback;
    ISettingsStore& store = app ? app->Store() : static_cast<ISettingsStore&>(fallback);

    const int w = working.GetWidth(), h = working.GetHeight();
    CResizeImageDlg dialog(w, h, CResizeImageModel::LoadInterpolation(store), m_view);
    if (dialog.exec() != QDialog::Accepted) return false;
    const int method = dialog.Interpolation();
    CResizeImageModel::SaveInterpolation(store, method);
    const unsigned newW = dialog.NewWidth(), newH = dialog.NewHeight();
    if (newW == 0 || newH == 0 || newW > unsigned(INT_MAX) || newH > unsigned(INT_MAX))
        return false;
    if (int(newW) == w && int(newH) == h) return false;

    CCanvasEdit edit;
    try {
        if (method == CResizeImageModel::kBilinear) {
            edit = model.BeginEdit();
            CStatusProgress progress("Working", 40, 100);
            progress.SetPos(50);
            ResizeBilinear(edit.Image(), int(newW), int(newH));
            progress.SetPos(60);
            edit.Commit();
            progress.SetPos(80);
        } else {
            WaitCursor wait;
            CDIBSection2 resized;
            resized.Create(int(newW), int(newH), 32, working.HasAlpha());
            {
                CStatusProgressReporter progress;
                ResizeBicubic(working.GetBits(), w, h, resized.GetBits(), int(newW), int(newH),
                              &progress);
            }
            edit = model.BeginEdit();
            edit.Image() = std::move(resized);
            edit.Commit();
        }
    } catch (const std::bad_alloc&) {
        // A picture that was not resized takes no step.
        if (edit.Active() && edit.Image().GetWidth() == w && edit.Image().GetHeight() == h)
            edit.Cancel();
        ReportOutOfMemory();
        return false;
    }
    // The document's Original takes the new size with the picture.
    model.OriginalFollowsWorkingImage();
    canvas->ImageSizeChanged();
    return true;
}

} // namespace quiltara::gui
