#include "platform/instance_lock.h"
#include "tools/common/japanese_qt.h"
#include "tools/launcher/core/launcher.h"
#include "tools/launcher/qt/forms.h"
#include "tools/launcher/qt/message_boxes.h"

#include <QApplication>
#include <QDir>

#include <exception>

int main(int argc, char** argv) {
    // A second launcher ends at once, silently.
    platform::InstanceLock lock;
    if (!lock.Acquire("SetupApp")) return 0;

    tools::JapaneseApplication application(argc, argv);
    // The settings, the picture and the game folder lie beside the program,
    // wherever it was started from.
    QDir::setCurrent(QApplication::applicationDirPath());
    // Boxes are titled with the program's title: the game's, or the
    // program's own name (Qt's application name until the settings are read).
    QString title = QApplication::applicationName();
    try {
        launcher::Launcher core(QDir::currentPath().toStdString());
        title = QString::fromStdString(core.ProgramTitle());
        QApplication::setApplicationName(title);
        launcher::TForm1 form1(core);
        form1.show();
        application.exec();
    } catch (const std::exception& error) {
        launcher::ShowStop(title, error.what());
    }
    return 0;
}
