#pragma once
#include <QIcon>

namespace quiltara::gui {

/// The toolbar's own icons, drawn as simple line art at normal and double scale; an
/// empty icon for commands that have none.
QIcon ToolIcon(int commandId);

/// The program's own icon, for its windows.
QIcon ProgramIcon();

} // namespace quiltara::gui
