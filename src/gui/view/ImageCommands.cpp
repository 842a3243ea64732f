#include "gui/view/ImageCommands.h"

#include "core/base/SettingsStore.h"
#include "core/filters/AdjustDispatcher.h"
#include "core/filters/FilterTable.h"
#include "core/filters/Resize.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/filters/CBrightnessContrastDlg.h"
#include "gui/filters/CFilterDlg.h"
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
    if (id == ID_IMAGE_SIZE || OperationForCommand(id) >= 0 || slot >= 0) {
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

void CImageCommands::PushUndoForTarget(bool onFloat) {
    CCanvasModel& model = m_view->Canvas()->Model();
    model.dirtyRect = CRect{};
    if (onFloat) {
        // The step keeps the float itself; of the working image, which the edit does
        // not touch, the part under the float is enough.
        const CRect r = model.ToMemoryRows(model.FloatRect());
        const int w = model.beforeImage.GetWidth(), h = model.beforeImage.GetHeight();
        CRect clipped{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w),
                      std::min(r.bottom, h)};
        if (clipped.Width() <= 0 || clipped.Height() <= 0) clipped = CRect{0, 0, 1, 1};
        model.dirtyRect = clipped;
    }
    model.PushUndo();
}

bool CImageCommands::RunAdjustment(int operation) {
    if (operation < 0 || operation >= kAdjOperationCount) return false;
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    const bool onFloat = model.HasFloat();
    CDIBSection2& picture = onFloat ? model.floatImage : model.workingImage;
    if (!Usable(picture)) return false;
    const bool hasDialog = AdjustOperations()[std::size_t(operation)].hasDialog;

    std::unique_ptr<AdjustTarget> target;
    try {
        target = std::make_unique<AdjustTarget>(AdjustTarget::ForPicture(picture));
        PushUndoForTarget(onFloat);
        bool done;
        if (hasDialog) {
            done = RunAdjustmentDialog(operation, *target);
        } else {
            WaitCursor wait;
            done = quiltara::RunAdjustment(*target, operation);
        }
        if (!done) {
            canvas->Refresh();
            return false;
        }
    } catch (const std::bad_alloc&) {
        // The operations fail before they touch the pixels; a preview that ran
        // before is undone with the backup.
        if (target && !target->sizeChanged) target->RestoreBackup();
        canvas->Refresh();
        ReportOutOfMemory();
        return false;
    }

    if (onFloat) {
        // Resizing the float later starts from its backup: it keeps the result.
        model.floatBackup.Copy(&model.floatImage);
    } else if (target->sizeChanged) {
        canvas->ImageSizeChanged();
    }
    model.SyncBeforeImage();
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
    CDIBSection2& picture = onFloat ? model.floatImage : model.workingImage;
    if (!Usable(picture)) return false;
    bool applied = false;
    try {
        CFilterDlg dialog(slot, picture, m_view);
        dialog.SetBeforeApply([this, onFloat] {
            try {
                PushUndoForTarget(onFloat);
            } catch (const std::bad_alloc&) {
                ReportOutOfMemory();
                return false;
            }
            return true;
        });
        applied = dialog.exec() == QDialog::Accepted;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
    if (!applied) return false;
    if (onFloat) model.floatBackup.Copy(&model.floatImage);
    model.SyncBeforeImage();
    canvas->Refresh();
    return true;
}

bool CImageCommands::ImageSize() {
    CCanvasWnd* canvas = m_view->Canvas();
    CCanvasModel& model = canvas->Model();
    CDIBSection2& working = model.workingImage;
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

    try {
        if (method == CResizeImageModel::kBilinear) {
            model.dirtyRect = CRect{};
            model.PushUndo();
            CStatusProgress progress("Working", 40, 100);
            progress.SetPos(50);
            ResizeBilinear(working, int(newW), int(newH));
            progress.SetPos(60);
            model.SyncBeforeImage();
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
            model.dirtyRect = CRect{};
            model.PushUndo();
            working = std::move(resized);
            model.SyncBeforeImage();
        }
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
    // The document's Original takes the new size with the picture.
    model.OriginalFollowsWorkingImage();
    canvas->ImageSizeChanged();
    return true;
}

} // namespace quiltara::gui
