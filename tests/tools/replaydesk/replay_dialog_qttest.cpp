#include "tools/replaydesk/qt/replay_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "tests/support/temp_dir.h"
#include "tests/tools/replaydesk/replay_fixture.h"

namespace {

using replaydesk::test::CommentOf;
using replaydesk::test::ReadBytes;
using replaydesk::test::ReplayBytes;
using replaydesk::test::SampleHeader;
using replaydesk::test::WriteBytes;

class ReplayDialogTest : public testing::Test {
protected:
    ReplayDialogTest() : dialog_([this](const std::string&) { return chosen_; }) {
        dialog_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
    }

    template <typename Widget>
    Widget* Control(const char* name) {
        auto* widget = dialog_.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    std::string AddReplay(const std::string& name, ReplayHeader header) {
        WriteBytes(dir_.file(name), ReplayBytes(header, 30));
        return dir_.file(name);
    }

    // Drops `uriList` (a text/uri-list) on the dialog as a file manager would.
    void Drop(const QByteArray& uriList) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uriList);
        const QPointF at(20, 20);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog_, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog_, &drop);
    }

    static QByteArray FileUrl(const std::string& path) {
        return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }

    ::test::TempDir dir_;
    std::optional<std::string> chosen_;
    ReplayDialog dialog_;
};

TEST_F(ReplayDialogTest, OpensLaidOutInDialogUnits) {
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("TZL リプレイエディタ ver 1.0"));
    EXPECT_EQ(dialog_.size(), QSize(257, 311));
    const struct { const char* name; QString caption; QRect rect; } buttons[] = {
        {"IDC_UPDATE", QStringLiteral("更新"), QRect(164, 284, 75, 21)},
        {"IDC_CLOSE", QStringLiteral("閉じる"), QRect(86, 284, 75, 21)},
        {"IDC_OPEN", QStringLiteral("開く"), QRect(197, 26, 45, 21)},
    };
    for (const auto& b : buttons) {
        QPushButton* button = Control<QPushButton>(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), b.caption) << b.name;
        EXPECT_EQ(button->geometry(), b.rect) << b.name;
    }
    EXPECT_TRUE(Control<QPushButton>("IDC_UPDATE")->isDefault());
    EXPECT_EQ(Control<QPlainTextEdit>("IDC_SUMMARY")->geometry(), QRect(23, 90, 203, 71));
    EXPECT_TRUE(Control<QPlainTextEdit>("IDC_SUMMARY")->isReadOnly());
    EXPECT_FALSE(Control<QPlainTextEdit>("IDC_COMMENT")->isReadOnly());
    EXPECT_TRUE(Control<QLineEdit>("IDC_PATH")->isReadOnly());
}

TEST_F(ReplayDialogTest, DroppedReplayFillsTheSummaryFirstFileOnly) {
    ReplayHeader second = SampleHeader();
    second.p1CharacterId = 8;
    const std::string first = AddReplay("tobra010.rpl", SampleHeader());
    Drop(FileUrl(first) + FileUrl(AddReplay("tobra011.rpl", second)));

    EXPECT_EQ(Control<QPlainTextEdit>("IDC_SUMMARY")->toPlainText(),
              QStringLiteral("Tobrazel(Ver1.0) \nMatch:キルネ(w) vs ベモ \nMode :Practice \n"
                             "Damage 1234 (7Hit) \nDate :2005/ 3/ 7/09:05"));
    EXPECT_EQ(Control<QPlainTextEdit>("IDC_COMMENT")->toPlainText(), QStringLiteral("ここにコメントが入ります。"));
    EXPECT_EQ(Control<QLineEdit>("IDC_PATH")->text(), QFile::decodeName(QByteArray::fromStdString(first)));
    EXPECT_EQ(dialog_.desk().replayPath(), first);
}

TEST_F(ReplayDialogTest, DropKeepsFileNameBytesThatAreNotUtf8) {
    const std::string path = AddReplay("\x83\x8A\x83\x76\xFF.rpl", SampleHeader());  // a CP932 name
    Drop(FileUrl(path));
    EXPECT_EQ(dialog_.desk().replayPath(), path);
    EXPECT_TRUE(dialog_.desk().replayShown());
}

TEST_F(ReplayDialogTest, UpdateWritesTheTypedComment) {
    const std::string path = AddReplay("tobra012.rpl", SampleHeader());
    Drop(FileUrl(path));
    QPlainTextEdit* comment = Control<QPlainTextEdit>("IDC_COMMENT");
    comment->selectAll();
    QTest::keyClicks(comment, QStringLiteral("good"));
    QTest::keyClick(comment, Qt::Key_Return);  // the comment box takes Enter as a new line
    QInputMethodEvent typed;  // Japanese arrives through the input method
    typed.setCommitString(QStringLiteral("試合"));
    QCoreApplication::sendEvent(comment, &typed);
    QTest::mouseClick(Control<QPushButton>("IDC_UPDATE"), Qt::LeftButton);

    EXPECT_EQ(CommentOf(ReadBytes(path)), "good\n\x8E\x8E\x8D\x87");
    EXPECT_EQ(comment->toPlainText(), QStringLiteral("good\n試合"));
    EXPECT_FALSE(comment->document()->isModified());
}

TEST_F(ReplayDialogTest, OpenButtonLoadsTheChosenFile) {
    ReplayHeader header = SampleHeader();
    header.gameMode = 4;
    header.difficulty = 2;
    header.winnerSide = 1;
    chosen_ = AddReplay("tobra013.rpl", header);
    QTest::mouseClick(Control<QPushButton>("IDC_OPEN"), Qt::LeftButton);
    EXPECT_TRUE(Control<QPlainTextEdit>("IDC_SUMMARY")->toPlainText().contains(QStringLiteral("Mode :Arcade (HARD)\n")));
    EXPECT_EQ(dialog_.desk().replayPath(), *chosen_);
}

TEST_F(ReplayDialogTest, EscapeIsIgnoredAndCloseEndsTheDialog) {
    QTest::keyClick(&dialog_, Qt::Key_Escape);
    QTest::keyClick(Control<QPlainTextEdit>("IDC_COMMENT"), Qt::Key_Escape);
    EXPECT_TRUE(dialog_.isVisible());
    QTest::mouseClick(Control<QPushButton>("IDC_CLOSE"), Qt::LeftButton);
    EXPECT_FALSE(dialog_.isVisible());
}

TEST(ChooseReplayFile, OpensInTheGivenFolderWithTheReplayFilter) {
    ::test::TempDir dir;
    const std::string path = dir.file("tobra020.rpl");
    WriteBytes(path, ReplayBytes(SampleHeader(), 1));
    QWidget owner;
    for (const bool accept : {true, false}) {
        QString folder;
        QStringList filters;
        QTimer::singleShot(0, &owner, [&] {
            auto* fileDialog = owner.findChild<QFileDialog*>();
            ASSERT_NE(fileDialog, nullptr);
            folder = fileDialog->directory().absolutePath();
            filters = fileDialog->nameFilters();
            fileDialog->selectFile(QFile::decodeName(QByteArray::fromStdString(path)));
            QMetaObject::invokeMethod(fileDialog, accept ? "accept" : "reject");  // as the buttons do
        });
        const std::optional<std::string> chosen = ChooseReplayFile(&owner, dir.path().string());
        EXPECT_EQ(folder, QString::fromStdString(dir.path().string()));
        EXPECT_EQ(filters, QStringList{QStringLiteral("データ (*.rpl)")});
        EXPECT_EQ(chosen, accept ? std::optional(path) : std::nullopt) << "accept " << accept;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
