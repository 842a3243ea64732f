#pragma once

namespace quiltara::gui {

/// What a command looks like in menus and on the toolbar right now.
struct CommandState {
    bool enabled = false;
    bool checked = false;
};

/// A receiver of numeric commands. The main frame offers each command to the active
/// view, then its document, then itself, then the application, and takes the state
/// from the first that answers.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    /// Runs the command; false when this target does not handle it.
    virtual bool OnCommand(int id) = 0;
    /// Fills the state; false when this target does not handle the command.
    virtual bool UpdateCommand(int id, CommandState& state) = 0;
};

} // namespace quiltara::gui
