// Quiltara: a desktop editor for seamless, tileable textures.
#include "core/base/Messages.h"
#include "gui/app/CTessaryApp.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quiltara");
    QApplication::setOrganizationName("Quiltara");
    QApplication::setApplicationVersion(QUILTARA_VERSION);

    // What the core tells the user mid-operation appears in a message box.
    quiltara::SetMessageHandler([](const std::string& text) {
        QMessageBox::warning(QApplication::activeWindow(), "Quiltara",
                             QString::fromStdString(text));
    });

    quiltara::gui::CTessaryApp app;
    if (!app.InitInstance()) return 1;
    const int result = application.exec();
    app.ExitInstance();
    return result;
}
