#pragma once
#include <QString>

namespace quiltara::gui {

/// The program folder: QUILTARA_HOME when set; else the executable's folder when it
/// holds a Brushes folder (the build tree and portable installs); else the per-user
/// data folder, filled on first start from the installed data.
QString LocateProgramFolder();

} // namespace quiltara::gui
