// Quiltara: a desktop editor for seamless, tileable textures.
#include "core/base/Messages.h"
#include "core/image/ProgramIcon.h"
#include "gui/app/CTessaryApp.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

namespace {
// The program's own icon for its windows, at the sizes window managers ask for.
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::vector<std::uint8_t> rgba = quiltara::DrawProgramIcon(size);
        icon.addPixmap(QPixmap::fromImage(
            QImage(rgba.data(), size, size, size * 4, QImage::Format_RGBA8888).copy()));
    }
    return icon;
}
} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quiltara");
    QApplication::setOrganizationName("Quiltara");
    QApplication::setApplicationVersion(QUILTARA_VERSION);
    // Desktops match the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName("org.quiltara.Quiltara");
    QApplication::setWindowIcon(ProgramIcon());

    // What the core tells the user mid-operation appears in a message box.
    quiltara::SetMessageHandler([](const std::string& text) {
        QMessageBox::warning(QApplication::activeWindow(), "Quiltara",
                             QString::fromStdString(text));
    });

    quiltara::gui::CTessaryApp app;
    if (!app.InitInstance()) return 1;
    // Files named on the command line, or handed over by a file manager, open once the
    // main window is up.
    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        QTimer::singleShot(0, &app, [&app, files] { app.OpenCommandLineFiles(files); });
    const int result = application.exec();
    app.ExitInstance();
    return result;
}
