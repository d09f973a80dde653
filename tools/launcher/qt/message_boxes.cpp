#include "tools/launcher/qt/message_boxes.h"

#include "tools/launcher/core/texts.h"

#include <QMessageBox>
#include <QPushButton>

namespace launcher {

bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(QString::fromUtf8(text::kYes), QMessageBox::YesRole);
    box.addButton(QString::fromUtf8(text::kNo), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void ShowNotice(QWidget* owner, const Notice& notice) {
    const bool failure = notice.kind == Notice::kFailure;
    QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::Information, QString::fromStdString(notice.caption),
                    QString::fromStdString(notice.text), QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace launcher
