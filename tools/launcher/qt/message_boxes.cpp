#include "tools/launcher/qt/message_boxes.h"

#include "tools/launcher/core/texts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTextBoundaryFinder>

namespace launcher {
namespace {

// A box whose text is shown as it is (a path may look like markup) and wraps.
void SetUp(QMessageBox& box, const std::string& text) {
    box.setTextFormat(Qt::PlainText);
    box.setText(Breakable(text));
}

}  // namespace

QString Breakable(const std::string& text) {
    constexpr int kLongestRun = 32;
    constexpr QChar kZeroWidthSpace(0x200B);
    const QString in = QString::fromStdString(text);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, in);
    QString out;
    int run = 0;  // characters since the last place to break
    for (qsizetype i = 0; i < in.size(); ++i) {
        breaks.setPosition(i);
        if (breaks.isAtBoundary()) {
            run = 0;
        } else if (run >= kLongestRun && !in[i].isLowSurrogate()) {
            out += kZeroWidthSpace;
            run = 0;
        }
        out += in[i];
        ++run;
    }
    return out;
}

bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), {}, QMessageBox::NoButton, owner);
    SetUp(box, text);
    QPushButton* yes = box.addButton(QString::fromUtf8(text::kYes), QMessageBox::YesRole);
    box.addButton(QString::fromUtf8(text::kNo), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void ShowNotice(QWidget* owner, const Notice& notice) {
    const bool failure = notice.kind == Notice::kFailure;
    QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::Information, QString::fromStdString(notice.caption),
                    {}, QMessageBox::Ok, owner);
    SetUp(box, notice.text);
    box.exec();
}

void ShowStop(const QString& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, caption, {}, QMessageBox::Ok);
    SetUp(box, text);
    box.exec();
}

}  // namespace launcher
