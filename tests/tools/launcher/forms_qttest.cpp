#include "tools/launcher/qt/forms.h"

#include "platform/registry.h"
#include "tools/common/japanese_qt.h"
#include "tools/launcher/core/texts.h"
#include "tools/launcher/qt/message_boxes.h"
#include "tests/tools/launcher/launcher_env.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace {

namespace fs = std::filesystem;
using launcher::TForm1;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

const char* lcTimeAtStart = nullptr;

class LauncherFormsTest : public ::testing::Test {
protected:
    LauncherFormsTest() {
        launcher_test::MakeMedium(medium());
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 30));
        picture.setPixelColor(5, 7, QColor(250, 0, 0));
        picture.save(QString::fromStdString((medium() / "Setup.bmp").string()), "BMP");
    }
    fs::path medium() const { return folders_.root() / "medium"; }

    launcher_test::UserFolders folders_;
};

TEST_F(LauncherFormsTest, MainWindowShowsThePictureAndInstallMode) {
    launcher::Launcher core(medium());
    TForm1 form(core);
    form.show();
    EXPECT_EQ(form.windowTitle(), Utf8("テスト"));
    EXPECT_EQ(form.size(), QSize(335, 300));
    EXPECT_EQ(form.Image1->geometry(), QRect(8, 8, 320, 240));
    const QImage shown = form.Image1->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(320, 240));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_EQ(shown.pixelColor(5, 7), QColor(250, 0, 0));
    EXPECT_EQ(form.Button1->text(), Utf8("実行"));
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Button2->text(), Utf8("インストール"));
    EXPECT_EQ(form.Button3->text(), Utf8("閉じる"));

    // The install dialog proposes the maker's folder in the data folder.
    launcher::TForm2& dialog = form.installDialog();
    EXPECT_EQ(dialog.windowTitle(), Utf8("テスト インストール"));
    EXPECT_EQ(dialog.Edit1->text().toStdString(), (folders_.data() / "Tessaphoro" / "TestGame").string());
    EXPECT_TRUE(dialog.Edit1->isReadOnly());
}

TEST_F(LauncherFormsTest, MainWindowStartsInUninstallModeOnlyWhenTheStateIsTrue) {
    for (const char* state : {"TRUE", "FALSE"}) {
        auto key = platform::RegistryKey::Create("Software\\Tessaphoro");
        key->SetValue("TestGame", "/games/TestGame");
        key->SetValue("TestGameInstallState", state);
        launcher::Launcher core(medium());
        TForm1 form(core);
        const bool installed = std::string(state) == "TRUE";
        EXPECT_EQ(form.Button1->isEnabled(), installed) << state;
        EXPECT_EQ(form.Button2->text(), Utf8(installed ? "アンインストール" : "インストール")) << state;
    }
}

// The picture is read as a BMP file: a missing one and one that is no BMP
// picture end the creation, each with its own message.
TEST_F(LauncherFormsTest, APictureThatCannotBeShownEndsCreationWithItsReason) {
    const fs::path bmp = medium() / "Setup.bmp";
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::blue);
    const std::string notFound = "画像ファイル「Setup.bmp」が見つかりません。";
    const std::string notAPicture = "画像ファイル「Setup.bmp」は BMP 画像として読み込めませんでした。";
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { fs::remove(bmp); }, notFound},
        {[&] { launcher_test::WriteFile(bmp, "this is text, not a picture"); }, notAPicture},
        {[&] { launcher_test::WriteFile(bmp, ""); }, notAPicture},
        {[&] { png.save(QString::fromStdString(bmp.string()), "PNG"); }, notAPicture},
        {[&] { fs::resize_file((launcher_test::WriteFile(bmp, "BM"), bmp), 65 << 20); },
         "画像ファイル「Setup.bmp」が大きすぎます。"},
        {[&] { ASSERT_EQ(mkfifo(bmp.c_str(), 0600), 0); }, "画像ファイル「Setup.bmp」はファイルでもフォルダでもありません。"},
        {[&] { fs::create_directory(bmp); }, "画像ファイル「Setup.bmp」の場所に別の種類の項目があります。"},
    };
    for (const auto& [prepare, message] : cases) {
        fs::remove(bmp);
        prepare();
        launcher::Launcher core(medium());
        try {
            TForm1 form(core);
            ADD_FAILURE() << "created for " << message;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

// Runs `drive` on the folder dialog once it is open.
void WhenDialogOpens(std::function<void(QFileDialog&)> drive) {
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            WhenDialogOpens(drive);
            return;
        }
        drive(*dialog);
    });
}

TEST_F(LauncherFormsTest, BrowseGivesTheGamesFolderInsideTheChosenOne) {
    const fs::path games = folders_.root() / "games";
    fs::create_directories(games);
    launcher::Launcher core(medium());
    TForm1 form(core);
    launcher::TForm2& dialog = form.installDialog();
    const QString proposed = dialog.Edit1->text();

    WhenDialogOpens([](QFileDialog& browser) { browser.reject(); });
    dialog.Button1Click();
    EXPECT_EQ(dialog.Edit1->text(), proposed);

    dialog.BrowseForFolder1.InitialDir = games.string();
    WhenDialogOpens([](QFileDialog& browser) { static_cast<QDialog&>(browser).accept(); });
    dialog.Button1Click();
    EXPECT_EQ(dialog.Edit1->text().toStdString(), (games / "TestGame").string());
}

TEST_F(LauncherFormsTest, BrowseVetoKeepsTheDialogOpenAndCancelKeepsTheSelection) {
    const fs::path chosen = folders_.root() / "games" / "sub";
    fs::create_directories(chosen);
    launcher::BrowseForFolder browse(nullptr);
    browse.InitialDir = chosen.parent_path().string();
    int vetoes = 0;
    browse.OnCanClose = [&](bool& canClose) {
        ++vetoes;
        canClose = false;
    };
    WhenDialogOpens([&](QFileDialog& browser) {
        emit browser.currentChanged(QString::fromStdString(chosen.string() + "/"));
        static_cast<QDialog&>(browser).accept();  // refused: the dialog stays open
        EXPECT_TRUE(browser.isVisible());
        browser.reject();
    });
    EXPECT_FALSE(browse.Execute());
    EXPECT_EQ(vetoes, 1);
    EXPECT_EQ(browse.Folder, chosen.string());  // the last selection, no trailing separator
}

// A message box as the user saw it.
struct Box {
    QString title;
    QString text;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "[" << box.title.toStdString() << "] " << box.text.toStdString();
}

// Answers the message boxes that open next, in order, by their button texts,
// and notes each box answered.
void AnswerBoxes(std::vector<QString> buttons, std::vector<Box>* seen = nullptr) {
    QTimer::singleShot(0, [buttons, seen]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == buttons.front()) {
                    if (seen) seen->push_back({box->windowTitle(), box->text()});
                    button->click();
                    buttons.erase(buttons.begin());
                    break;
                }
            }
        }
        if (!buttons.empty()) AnswerBoxes(buttons, seen);
    });
}

TEST_F(LauncherFormsTest, InstallAndUninstallSwitchTheMainWindowAndCannotBeClosedMidway) {
    launcher::Launcher core(medium());
    TForm1 form(core);
    form.show();
    launcher::TForm2& dialog = form.installDialog();
    std::vector<Box> boxes;
    AnswerBoxes({Utf8("はい(&Y)")}, &boxes);
    form.Button2Click();

    // The dialog is a modal child window of the main window: the window
    // system keeps it above its parent, and the parent takes no input.
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isWindow());
    EXPECT_EQ(dialog.parentWidget(), &form);
    EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
    ASSERT_TRUE(dialog.windowHandle());
    EXPECT_EQ(dialog.windowHandle()->transientParent(), form.windowHandle());
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_TRUE(dialog.isEnabled());
    // A click on the main window's close button, as the window system
    // delivers it, is not taken.
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.Button3->geometry().center());
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(dialog.isVisible());

    // Closing is tried while the copy runs, as the first entry is counted.
    bool closedMidway = true;
    int progressMidway = -1;
    QObject::connect(dialog.ProgressBar1, &QProgressBar::valueChanged, &dialog, [&](int value) {
        if (value != 1) return;
        dialog.close();
        form.close();
        closedMidway = !dialog.isVisible() || !form.isVisible();
        progressMidway = value;
    });
    AnswerBoxes({Utf8("はい(&Y)"), "OK"}, &boxes);  // create the folder
    dialog.Button3Click();
    EXPECT_FALSE(closedMidway);
    EXPECT_GT(progressMidway, 0);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_EQ(form.Button2->text(), Utf8("アンインストール"));
    EXPECT_EQ(dialog.ProgressBar1->value(), 0);
    const fs::path installed = dialog.Edit1->text().toStdString();
    EXPECT_TRUE(fs::exists(installed / "game"));

    AnswerBoxes({Utf8("はい(&Y)"), "OK"}, &boxes);
    form.Button2Click();
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Button2->text(), Utf8("インストール"));

    // Every box carries the title its purpose gives it.
    EXPECT_EQ(boxes, (std::vector<Box>{
                         {Utf8("インストールの確認"), Utf8("テストをインストールしますか？")},
                         {Utf8("ディレクトリ作成の確認"), Utf8("ディレクトリが存在しないので作成しますか？")},
                         {Utf8("完了メッセージ"), Utf8("インストールが完了しました")},
                         {Utf8("アンインストールの確認"), Utf8("テストをアンインストールしますか？")},
                         {Utf8("完了メッセージ"), Utf8("テストをアンインストールしました")},
                     }));
}

// A failed install shows why, titled with the program's title, and leaves
// nothing behind; the dialog stays open for another try.
TEST_F(LauncherFormsTest, AFailedInstallShowsItsCauseAndLeavesNothing) {
    launcher::Launcher core(medium());
    TForm1 form(core);
    form.show();
    launcher::TForm2& dialog = form.installDialog();
    dialog.show();
    const fs::path destination = dialog.Edit1->text().toStdString();
    // The user's own folder with a file of theirs: declined, nothing happens.
    launcher_test::WriteFile(destination / "mine.txt", "mine");
    std::vector<Box> boxes;
    AnswerBoxes({Utf8("いいえ(&N)"), "OK"}, &boxes);
    dialog.Button3Click();
    // Then the game's folder goes missing from the medium.
    fs::rename(medium() / "TestGame", medium() / "Moved");
    AnswerBoxes({"OK"}, &boxes);
    dialog.Button3Click();

    const QString failed = Utf8("インストールに失敗しました。");
    EXPECT_EQ(boxes, (std::vector<Box>{
                         {Utf8("インストール先の確認"),
                          Utf8("「") + QString::fromStdString(destination.string()) +
                              Utf8("」には既にファイルがあります。\nこのフォルダにインストールしますか？\n"
                                   "同じ名前のファイルは置き換えられます。")},
                         {Utf8("テスト"), failed},
                         {Utf8("テスト"), failed + Utf8("\nインストール元のフォルダ「") +
                                              QString::fromStdString((medium() / "TestGame").string()) +
                                              Utf8("」が見つかりません。")},
                     }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Button3->isEnabled());
    EXPECT_EQ(launcher_test::ListTree(destination), std::vector<std::string>{"mine.txt"});
    EXPECT_TRUE(launcher_test::RegistryValues().empty());
    EXPECT_FALSE(form.Button1->isEnabled());
}

// Text as the user reads it: without the invisible places to break a line.
QString Shown(QString text) { return text.remove(QChar(0x200B)); }

// Settings that cannot be read leave a main window titled with the program's
// name that says in itself what is wrong, and the install button says it
// again.
TEST_F(LauncherFormsTest, SettingsThatCannotBeReadAreNamedInTheMainWindow) {
    const fs::path ini = medium() / "Setup.ini";
    const QString cannot = Utf8("\nインストールとアンインストールはできません。");
    const QString programName = "launcher_qt_tests";
    const std::vector<std::pair<std::function<void()>, QString>> cases = {
        {[&] { fs::remove(ini); }, Utf8("設定ファイル「Setup.ini」が見つかりません。") + cannot},
        {[&] { fs::remove(ini), fs::create_directory(ini); },
         Utf8("設定ファイル「Setup.ini」の場所に別の種類の項目があります。") + cannot},
        {[&] { fs::remove_all(ini), mkfifo(ini.c_str(), 0600); },
         Utf8("設定ファイル「Setup.ini」はファイルでもフォルダでもありません。") + cannot},
    };
    for (const auto& [prepare, problem] : cases) {
        prepare();
        launcher::Launcher core(medium());
        TForm1 form(core);
        form.show();
        EXPECT_EQ(form.windowTitle(), programName);
        ASSERT_TRUE(form.Label1);
        EXPECT_TRUE(form.Label1->isVisible());
        EXPECT_EQ(Shown(form.Label1->text()), problem);
        // Inside the picture, above the buttons.
        EXPECT_TRUE(QRect(8, 8, 320, 240).contains(form.Label1->geometry())) << problem.toStdString();
        EXPECT_FALSE(form.Button1->isEnabled());
        std::vector<Box> boxes;
        AnswerBoxes({"OK"}, &boxes);
        form.Button2Click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, programName);
        EXPECT_EQ(Shown(boxes[0].text), problem);
    }
    // Readable settings: nothing to say.
    fs::remove(ini);
    launcher_test::MakeMedium(medium());
    launcher::Launcher core(medium());
    TForm1 form(core);
    EXPECT_EQ(form.Label1, nullptr);
}

// Runs `inspect` on the next message box and then closes it.
void InspectBox(std::function<void(QMessageBox&)> inspect) {
    QTimer::singleShot(0, [inspect] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            InspectBox(inspect);
            return;
        }
        inspect(*box);
        box->buttons().front()->click();
    });
}

// A box that shows a long path wraps it and stays well inside the screen,
// whichever kind of box it is; the text reads as it was.
TEST_F(LauncherFormsTest, BoxesWrapLongPathsInsideTheScreen) {
    const std::string path = (medium() / std::string(300, 'L') / "TestGame").string();
    const std::string text = std::string("インストールに失敗しました。\nインストール元のフォルダ「") + path + "」" +
                             launcher::text::kNameTooLong;
    const std::vector<std::pair<const char*, std::function<void()>>> boxes = {
        {"failure", [&] { launcher::ShowNotice(nullptr, {launcher::Notice::kFailure, text, "T"}); }},
        {"question", [&] { launcher::AskYesNo(nullptr, "「" + path + launcher::text::kFilledFolderQuestion, "T"); }},
        {"stop", [&] { launcher::ShowStop("T", text); }},
    };
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    for (const auto& [kind, show] : boxes) {
        QRect frame;
        QString shown;
        InspectBox([&](QMessageBox& box) {
            frame = box.frameGeometry();
            shown = Shown(box.text());
        });
        show();
        EXPECT_LE(frame.width(), screen.width() * 3 / 4) << kind;
        EXPECT_LE(frame.height(), screen.height()) << kind;
        EXPECT_TRUE(shown.contains(QString::fromStdString(path))) << kind;
    }
}

// Qt's own dialogs speak Japanese beside the launcher's windows.
TEST_F(LauncherFormsTest, TheFolderDialogAndStandardButtonsAreJapanese) {
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QStringList buttons;
    for (QAbstractButton* button : box.buttons()) buttons << button->text();
    buttons.sort();
    QStringList japanese{Utf8("はい(&Y)"), Utf8("いいえ(&N)"), Utf8("キャンセル")};
    japanese.sort();
    EXPECT_EQ(buttons, japanese);

    launcher::BrowseForFolder browse(nullptr);
    QString title;
    QStringList texts;
    QString folderKind;
    QString modified;
    WhenDialogOpens([&](QFileDialog& browser) {
        title = browser.windowTitle();
        for (QPushButton* button : browser.findChildren<QPushButton*>()) texts << button->text();
        for (QLabel* label : browser.findChildren<QLabel*>()) texts << label->text();
        folderKind = browser.iconProvider()->type(QFileInfo(QString::fromStdString(folders_.root().string())));
        browser.reject();
    });
    browse.Execute();
    EXPECT_EQ(title, Utf8("ディレクトリの検索"));
    EXPECT_EQ(folderKind, Utf8("フォルダー"));
    // Dates in the Japanese way, and the environment as it was for programs
    // the launcher starts.
    EXPECT_EQ(QLocale::system().toString(QDate(2005, 3, 7), QLocale::ShortFormat), "2005/03/07");
    EXPECT_STREQ(std::getenv("LC_TIME"), lcTimeAtStart);
    EXPECT_TRUE(texts.contains(Utf8("選択(&C)"))) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.contains(Utf8("キャンセル"))) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.contains(Utf8("ディレクトリ:"))) << texts.join("|").toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    // Headless unless told otherwise, also while the tests are listed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    lcTimeAtStart = std::getenv("LC_TIME");
    // As the launcher starts.
    tools::JapaneseApplication application(argc, argv);
    if (!application.translated()) {
        std::fprintf(stderr, "Qt's Japanese translations are missing (package qt6-translations-l10n)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
