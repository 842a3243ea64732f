#include "gui/app/ProgramFolderLocator.h"

#include "core/base/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quiltara::gui {

namespace {
bool HoldsBrushes(const QString& folder) {
    return QFileInfo(folder + "/Brushes").isDir();
}
} // namespace

QStringList InstalledDataFolders() {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    QStringList candidates{exeFolder, QDir(exeFolder).absoluteFilePath("../share/quiltara")};
    for (const QString& dataDir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << dataDir + "/quiltara";
    QStringList found;
    for (const QString& candidate : candidates) {
        const QString folder = QDir(candidate).canonicalPath();
        if (!folder.isEmpty() && HoldsBrushes(folder) && !found.contains(folder)) found << folder;
    }
    return found;
}

QString LocateProgramFolder() {
    QString folder = qEnvironmentVariable("QUILTARA_HOME");
    if (folder.isEmpty()) {
        const QString exeFolder = QCoreApplication::applicationDirPath();
        if (HoldsBrushes(exeFolder)) return exeFolder;
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    QDir().mkpath(folder);
    folder = QDir(folder).absolutePath();
    // A fresh or incomplete program folder gets the help, brushes, textures, swatches
    // and samples it lacks; what the user has there is kept.
    const QStringList sources = InstalledDataFolders();
    if (!sources.isEmpty())
        SeedProgramFolder(QFile::encodeName(sources.first()).toStdString(),
                          QFile::encodeName(folder).toStdString());
    return folder;
}

} // namespace quiltara::gui
