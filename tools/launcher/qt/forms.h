#pragma once
#include "tools/launcher/core/launcher.h"
#include "tools/launcher/qt/browse_for_folder.h"

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace launcher {

class TForm2;

// The main window: the picture, run, install or uninstall, and close.
class TForm1 : public QWidget {
public:
    // Throws std::runtime_error, with the reason for the user, when the
    // picture "Setup.bmp" beside the settings cannot be loaded.
    explicit TForm1(Launcher& core);

    QLabel* Image1;
    QPushButton* Button1;  // run
    QPushButton* Button2;  // install or uninstall
    QPushButton* Button3;  // close
    // Why nothing can be installed (the settings cannot be read, or name no
    // folder of the game); null while all is well.
    QLabel* Label1 = nullptr;

    void Button1Click();
    void Button2Click();
    void Button3Click();

    // An install or uninstall is running: neither window may be closed.
    bool busy = false;
    // The install dialog reports a finished install.
    void InstallFinished();
    TForm2& installDialog() { return *form2_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowProblem(const std::string& problem);

    Launcher& core_;
    TForm2* form2_ = nullptr;  // a child window, deleted with this one
};

// The install dialog: the install folder, browse, cancel, install, and the
// progress of the copy.
class TForm2 : public QWidget {
public:
    TForm2(Launcher& core, TForm1& form1);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;  // browse
    QPushButton* Button2;  // cancel
    QPushButton* Button3;  // install
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    BrowseForFolder BrowseForFolder1;

    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetButtonsEnabled(bool enabled);
    void ShowProgress(int entries);

    Launcher& core_;
    TForm1& form1_;
    int fileNum_;  // the progress bar's maximum
};

}  // namespace launcher
