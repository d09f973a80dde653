#include "tools/launcher/qt/forms.h"

#include "platform/registry.h"
#include "tools/launcher/core/texts.h"
#include "tests/tools/launcher/launcher_env.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

namespace fs = std::filesystem;
using launcher::TForm1;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

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

TEST_F(LauncherFormsTest, MissingPictureEndsCreation) {
    fs::remove(medium() / "Setup.bmp");
    launcher::Launcher core(medium());
    EXPECT_THROW(TForm1 form(core), std::runtime_error);
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

// Answers the message boxes that open next, in order, by their button texts.
void AnswerBoxes(std::vector<QString> buttons) {
    QTimer::singleShot(0, [buttons]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == buttons.front()) {
                    button->click();
                    buttons.erase(buttons.begin());
                    break;
                }
            }
        }
        if (!buttons.empty()) AnswerBoxes(buttons);
    });
}

TEST_F(LauncherFormsTest, InstallAndUninstallSwitchTheMainWindowAndCannotBeClosedMidway) {
    launcher::Launcher core(medium());
    TForm1 form(core);
    form.show();
    launcher::TForm2& dialog = form.installDialog();
    fs::create_directories(dialog.Edit1->text().toStdString());  // no question about creating it
    form.setEnabled(false);
    dialog.show();

    // Closing is tried while the copy runs, when the copy first lets events through.
    bool closedMidway = true;
    int progressMidway = -1;
    QTimer::singleShot(0, [&] {
        dialog.close();
        form.close();
        closedMidway = !dialog.isVisible() || !form.isVisible();
        progressMidway = dialog.ProgressBar1->value();
    });
    AnswerBoxes({"OK"});
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

    AnswerBoxes({Utf8("はい(&Y)"), "OK"});
    form.Button2Click();
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Button2->text(), Utf8("インストール"));
}

}  // namespace

int main(int argc, char** argv) {
    // Headless unless told otherwise, also while the tests are listed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
