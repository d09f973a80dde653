#include <QApplication>

#include "tools/replaydesk/qt/replay_dialog.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ReplayDialog dialog;
    dialog.exec();
    return 0;
}
