#pragma once
#include <QIcon>

namespace quiltara::gui {

/// The toolbar's own icons, drawn as simple line art; a null icon for commands that
/// have none.
QIcon ToolIcon(int commandId);

} // namespace quiltara::gui
