#include "platform/instance_lock.h"
#include "tools/common/japanese_qt.h"
#include "tools/launcher/core/launcher.h"
#include "tools/launcher/core/texts.h"
#include "tools/launcher/qt/forms.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    // A second launcher ends at once, silently.
    platform::InstanceLock lock;
    if (!lock.Acquire("SetupApp")) return 0;

    tools::JapaneseApplication application(argc, argv);
    // The settings, the picture and the game folder lie beside the program,
    // wherever it was started from.
    QDir::setCurrent(QApplication::applicationDirPath());
    // Boxes are titled with the program's title, the game's, never with the
    // program file's name (what Qt shows for a window without a title).
    QString title = QString::fromUtf8(launcher::text::kErrorCaption);
    try {
        launcher::Launcher core(QDir::currentPath().toStdString());
        title = QString::fromStdString(core.PlainCaption());
        QApplication::setApplicationName(title);
        launcher::TForm1 form1(core);
        form1.show();
        application.exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::Critical, title, QString::fromUtf8(error.what()), QMessageBox::Ok);
        box.exec();
    }
    return 0;
}
