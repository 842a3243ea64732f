#pragma once
#include <QIcon>

namespace quiltara::gui {

/// The painting tools' icons (tool bar, retouch and effects lists), drawn as simple
/// line art, 24 x 24; an empty picture for tools that have none.
QIcon PaintToolIcon(int toolId);

} // namespace quiltara::gui
