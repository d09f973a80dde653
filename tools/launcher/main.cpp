#include "platform/instance_lock.h"
#include "tools/launcher/core/launcher.h"
#include "tools/launcher/qt/forms.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    // A second launcher ends at once, silently.
    platform::InstanceLock lock;
    if (!lock.Acquire("SetupApp")) return 0;

    QApplication application(argc, argv);
    // The settings, the picture and the game folder lie beside the program,
    // wherever it was started from.
    QDir::setCurrent(QApplication::applicationDirPath());
    try {
        launcher::Launcher core(QDir::currentPath().toStdString());
        launcher::TForm1 form1(core);
        form1.show();
        application.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromUtf8(error.what()));
    }
    return 0;
}
