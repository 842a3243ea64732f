// Quiltara: a desktop editor for seamless, tileable textures.
#include "core/base/Messages.h"
#include "gui/app/CTessaryApp.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CSplashWnd.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quiltara");
    QApplication::setOrganizationName("Quiltara");
    QApplication::setApplicationVersion(QUILTARA_VERSION);
    // Desktops match the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName("org.quiltara.Quiltara");

    // What the core tells the user mid-operation appears in a message box.
    quiltara::SetMessageHandler([](const std::string& text) {
        QMessageBox::warning(QApplication::activeWindow(), "Quiltara",
                             QString::fromStdString(text));
    });

    quiltara::gui::CTessaryApp app;
    if (!app.InitInstance()) return 1;
    // The start-up picture, on a screen someone looks at (QUILTARA_NO_SPLASH leaves it out).
    if (QGuiApplication::platformName() != "offscreen" &&
        qEnvironmentVariableIntValue("QUILTARA_NO_SPLASH") == 0)
        quiltara::gui::CSplashWnd::ShowSplash(app.MainFrame());
    // Files named on the command line, or handed over by a file manager, open once the
    // main window is up.
    const QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        QTimer::singleShot(0, &app, [&app, files] { app.OpenCommandLineFiles(files); });
    const int result = application.exec();
    app.ExitInstance();
    return result;
}
