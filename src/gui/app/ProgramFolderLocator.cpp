#include "gui/app/ProgramFolderLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quiltara::gui {

namespace {
// Copies what is missing from the installed read-only data into the user's folder.
void FillFrom(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + '/' + QDir(from).relativeFilePath(file);
        if (QFileInfo::exists(target)) continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(file, target);
    }
}
} // namespace

QString LocateProgramFolder() {
    const QString home = qEnvironmentVariable("QUILTARA_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return QDir(home).absolutePath();
    }
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder + "/Brushes").isDir()) return exeFolder;

    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    for (const QString& dataDir :
         QStandardPaths::standardLocations(QStandardPaths::AppDataLocation)) {
        if (dataDir != user && QFileInfo(dataDir + "/Brushes").isDir()) {
            FillFrom(dataDir, user);
            break;
        }
    }
    const QString shared = QDir(exeFolder).absoluteFilePath("../share/quiltara");
    if (QFileInfo(shared + "/Brushes").isDir()) FillFrom(shared, user);
    return user;
}

} // namespace quiltara::gui
