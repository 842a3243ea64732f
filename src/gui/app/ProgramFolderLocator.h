#pragma once
#include <QString>
#include <QStringList>

namespace quiltara::gui {

/// The program folder: QUILTARA_HOME when set; else the executable's folder when it
/// holds a Brushes folder (the build tree and portable installs); else the per-user
/// data folder. A program folder other than the executable's is seeded from the first
/// of InstalledDataFolders with the data it lacks (SeedProgramFolder).
QString LocateProgramFolder();

/// Where the program's read-only data may be, in the order looked at: the executable's
/// folder (the build tree, a portable copy), <prefix>/share/quiltara beside the
/// executable's bin folder, then quiltara/ in each of the system's data folders
/// ($XDG_DATA_DIRS). Only folders that hold a Brushes folder are listed.
QStringList InstalledDataFolders();

} // namespace quiltara::gui
