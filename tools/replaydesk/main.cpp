#include <QApplication>

#include "tools/common/japanese_qt.h"
#include "tools/replaydesk/qt/replay_dialog.h"

int main(int argc, char** argv) {
    tools::JapaneseApplication application(argc, argv);
    ReplayDialog dialog;
    // A box or dialog without a title of its own is titled with the tool's
    // name, not with the program file's name.
    QApplication::setApplicationName(dialog.windowTitle());
    dialog.exec();
    return 0;
}
