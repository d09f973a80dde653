#include "tools/replaydesk/qt/replay_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

#include <cstring>
#include <functional>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/replaydesk/replay_fixture.h"

// Failures show texts, not arrays of characters.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

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

    // Runs `action` and closes the message box it shows: the box's title and
    // text, or empty texts when none showed.
    std::pair<QString, QString> MessageShownBy(const std::function<void()>& action) {
        std::pair<QString, QString> shown;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = {box->windowTitle(), box->text()};
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(5);
        action();
        for (int i = 0; i < 40 && shown.second.isEmpty(); ++i) QTest::qWait(5);
        return shown;
    }

    void TypeAtEnd(const QString& text) {
        QPlainTextEdit* comment = Control<QPlainTextEdit>("IDC_COMMENT");
        comment->moveCursor(QTextCursor::End);
        QTest::keyClicks(comment, text);
    }

    QString MessageOnUpdate() {
        return MessageShownBy([this] { QTest::mouseClick(Control<QPushButton>("IDC_UPDATE"), Qt::LeftButton); }).second;
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

// Names from other systems open as they are and show readably: CP932 as
// such, bytes that are no text escaped.
TEST_F(ReplayDialogTest, DropKeepsFileNameBytesThatAreNotUtf8) {
    const struct { const char* name; QString shown; } cases[] = {
        {"\x83\x8A\x83\x76\x83\x8C\x83\x43.rpl", QStringLiteral("リプレイ.rpl")},
        {"\x83\x8A\x83\x76\xFF.rpl", QStringLiteral("\\x83\\x8A\\x83v\\xFF.rpl")},
    };
    for (const auto& c : cases) {
        const std::string path = AddReplay(c.name, SampleHeader());
        Drop(FileUrl(path));
        EXPECT_EQ(dialog_.desk().replayPath(), path);
        EXPECT_EQ(Control<QLineEdit>("IDC_PATH")->text(), QString::fromStdString(dir_.path().string() + "/") + c.shown);
    }
}

// A file that does not load is named with the reason once the drop is over;
// the shown replay stays.
TEST_F(ReplayDialogTest, AFileThatDoesNotLoadIsNamed) {
    const std::string good = AddReplay("tobra014.rpl", SampleHeader());
    Drop(FileUrl(good));
    WriteBytes(dir_.file("short.rpl"), std::vector<uint8_t>(50, 0x41));
    ::test::MakeSparseFile(dir_.file("huge.rpl"), ReplayBytes(SampleHeader(), 0), off_t{1} << 30);
    const struct { const char* name; QString reason; } cases[] = {
        {"short.rpl", QStringLiteral("リプレイファイルとしては小さすぎます（1112 バイトに足りません）。")},
        {"huge.rpl", QStringLiteral("リプレイファイルとしては大きすぎます（20737112 バイトまで）。")},
    };
    for (const auto& c : cases) {
        const auto [title, text] = MessageShownBy([&] { Drop(FileUrl(dir_.file(c.name))); });
        EXPECT_EQ(title, dialog_.windowTitle());
        EXPECT_EQ(text, QStringLiteral("リプレイファイルを開けませんでした。\n") + QString::fromStdString(dir_.file(c.name)) +
                            "\n" + c.reason);
        EXPECT_EQ(Control<QLineEdit>("IDC_PATH")->text(), QString::fromStdString(good));
    }
    chosen_ = dir_.file("missing.rpl");
    const QString text =
        MessageShownBy([this] { QTest::mouseClick(Control<QPushButton>("IDC_OPEN"), Qt::LeftButton); }).second;
    EXPECT_TRUE(text.endsWith(QStringLiteral("ファイルが見つかりません。"))) << text.toStdString();
    EXPECT_EQ(dialog_.desk().replayPath(), good);
}

// A comment that could not be saved stays in the box as typed, still marked
// as changed, and the message says why; once the file may be written, the
// same update saves it.
TEST_F(ReplayDialogTest, AnUpdateThatCannotSaveSaysSoAndKeepsTheTypedComment) {
    const std::string path = AddReplay("tobra015.rpl", SampleHeader());
    const std::vector<uint8_t> original = ReadBytes(path);
    Drop(FileUrl(path));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    TypeAtEnd(QStringLiteral(" unsaved"));

    EXPECT_EQ(MessageOnUpdate(),
              QStringLiteral("コメントを保存できませんでした。\n") + QString::fromStdString(path) +
                  QStringLiteral("\nこのファイルへの書き込みは許可されていません（読み取り専用か、ほかのユーザーのファイルです）。"));
    EXPECT_EQ(ReadBytes(path), original);
    QPlainTextEdit* comment = Control<QPlainTextEdit>("IDC_COMMENT");
    EXPECT_EQ(comment->toPlainText(), QStringLiteral("ここにコメントが入ります。 unsaved"));
    EXPECT_TRUE(comment->document()->isModified());

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(MessageOnUpdate(), QString());
    EXPECT_EQ(CommentOf(ReadBytes(path)), std::string(replaydesk::test::kDefaultComment) + " unsaved");
    EXPECT_FALSE(comment->document()->isModified());
}

// A folder that takes no new file does not stop the edit of a file that may
// be written.
TEST_F(ReplayDialogTest, UpdateSavesInAFolderWithoutWritePermission) {
    const std::filesystem::path folder = dir_.path() / "locked";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "tobra016.rpl").string();
    WriteBytes(path, ReplayBytes(SampleHeader(), 30));
    Drop(FileUrl(path));
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    TypeAtEnd(QStringLiteral("!"));
    const QString message = MessageOnUpdate();
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(message, QString());
    EXPECT_EQ(CommentOf(ReadBytes(path)), std::string(replaydesk::test::kDefaultComment) + "!");
}

// CR LF line ends from elsewhere show as single line breaks, and an edit
// keeps them.
TEST_F(ReplayDialogTest, ACrLfCommentShowsNoBlankLinesAndKeepsItsLineEnds) {
    ReplayHeader header = SampleHeader();
    std::memset(header.comment, 0, sizeof header.comment);
    std::memcpy(header.comment, "one\r\ntwo\r\nthree", 16);
    const std::string path = AddReplay("tobra017.rpl", header);
    Drop(FileUrl(path));
    EXPECT_EQ(Control<QPlainTextEdit>("IDC_COMMENT")->toPlainText(), QStringLiteral("one\ntwo\nthree"));
    TypeAtEnd(QStringLiteral("!"));
    QTest::keyClick(Control<QPlainTextEdit>("IDC_COMMENT"), Qt::Key_Return);
    TypeAtEnd(QStringLiteral("four"));
    EXPECT_EQ(MessageOnUpdate(), QString());
    EXPECT_EQ(CommentOf(ReadBytes(path)), "one\r\ntwo\r\nthree!\nfour");
    EXPECT_EQ(Control<QPlainTextEdit>("IDC_COMMENT")->toPlainText(), QStringLiteral("one\ntwo\nthree!\nfour"));
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
