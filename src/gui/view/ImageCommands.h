#pragma once
#include "gui/app/CommandTarget.h"

namespace quiltara {
struct AdjustTarget;
}

namespace quiltara::gui {

class CTessaryView;

/// The image-processing commands of a view: the adjustments, rotations and direct
/// filters of the adjustment dispatcher, the "FIlter" dialog for the Filters menu's
/// slots, "Flatten Light..." and "Image Size...". Each works on the floating selection when there
/// is one (resizing always on the working image), takes an undo step, and repaints.
class CImageCommands : public ICommandTarget {
public:
    explicit CImageCommands(CTessaryView* view) : m_view(view) {}

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

    /// Operation 0..23 of the dispatcher; the dialog operations ask first. True when
    /// the picture was changed.
    bool RunAdjustment(int operation);
    /// The "FIlter" dialog on a slot; true when it was applied.
    bool RunFilter(int slot);
    /// "Image Size...": the "Resize Image" dialog, then the resize.
    bool ImageSize();
    /// "Flatten Light...": its dialog, then the light taken out of the picture (or of
    /// the floating selection), with an undo step.
    bool FlattenLight();

    /// The operation number of a menu command, -1 when it is not one.
    static int OperationForCommand(int id);

private:
    /// Runs the dialog of a dialog operation on the target; true on OK, with the
    /// target rendered with the confirmed settings.
    bool RunAdjustmentDialog(int operation, AdjustTarget& target);
    void ReportOutOfMemory();

    CTessaryView* m_view;
};

} // namespace quiltara::gui
