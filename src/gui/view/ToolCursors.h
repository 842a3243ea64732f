#pragma once
#include <QCursor>

namespace quiltara::gui {

/// The canvas cursor of a tool. Painting tools show the brush's outline at its size on
/// screen (diameter in client pixels) around a small cross, so that a painter sees what
/// a dab will cover; when the outline would be too small or too large to be useful the
/// cross is shown alone. The other tools have cursors of their own, drawn here.
QCursor ToolCursor(int toolId, int brushDiameterOnScreen, bool dragging = false);

/// True for the tools whose cursor follows the brush size.
bool CursorShowsBrush(int toolId);

} // namespace quiltara::gui
