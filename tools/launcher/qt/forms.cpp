#include "tools/launcher/qt/forms.h"

#include "platform/safe_file.h"
#include "tools/launcher/core/failure_text.h"
#include "tools/launcher/core/texts.h"
#include "tools/launcher/qt/message_boxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace launcher {
namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// "ＭＳ Ｐゴシック" at 12 pixels: its stand-in face is IPA P Gothic.
QFont FormFont() {
    QFont font("IPAPGothic");
    font.setPixelSize(12);
    return font;
}

// A fixed dialog frame with only the close button, centred on the screen.
void SetUpForm(QWidget& form, int width, int height) {
    form.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    form.setFixedSize(width, height);
    form.setFont(FormFont());
    if (const QScreen* screen = QApplication::primaryScreen()) {
        form.move(screen->availableGeometry().center() - form.rect().center());
    }
}

// The picture of the main window, read as a BMP file whatever its content.
QPixmap LoadPicture(const std::filesystem::path& path) {
    const platform::FilePtr file = platform::OpenRegularFile(path.string(), 64 << 20);
    if (!file) throw std::runtime_error(DescribeFailure(text::kPicture, path.filename(), OpenFailureCause(path, errno)));
    QByteArray bytes;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, static_cast<qsizetype>(got));
    if (std::ferror(file.get())) {
        throw std::runtime_error(DescribeFailure(text::kPicture, path.filename(), {EIO, std::generic_category()}));
    }
    QPixmap picture;
    if (!picture.loadFromData(bytes, "BMP")) {
        throw std::runtime_error(text::kPicture + ("「" + path.filename().string() + "」") + text::kNotAPicture);
    }
    return picture;
}

QPushButton* MakeButton(QWidget& form, const char* caption, QRect geometry) {
    auto* button = new QPushButton(QString::fromUtf8(caption), &form);
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TForm1::TForm1(Launcher& core) : core_(core) {
    SetUpForm(*this, 335, 300);
    const QPixmap picture = LoadPicture(core_.setup().path().parent_path() / "Setup.bmp");
    Image1 = new QLabel(this);
    Image1->setGeometry(8, 8, picture.width(), picture.height());
    Image1->setPixmap(picture);
    Button1 = MakeButton(*this, text::kRun, {8, 256, 89, 33});
    Button2 = MakeButton(*this, text::kInstall, {120, 256, 97, 33});
    Button3 = MakeButton(*this, text::kClose, {240, 256, 90, 33});
    setWindowTitle(Text(core_.ProgramTitle()));
    if (auto refusal = core_.CheckInstDir()) ShowProblem(refusal->text);
    const bool installed = core_.IsInstalled();
    Button1->setEnabled(installed);
    if (installed) Button2->setText(QString::fromUtf8(text::kUninstall));

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    form2_ = new TForm2(core_, *this);
}

// What keeps the launcher from working, across the foot of the picture.
void TForm1::ShowProblem(const std::string& problem) {
    Label1 = new QLabel(Breakable(problem), this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setStyleSheet("QLabel { background: #fff8e0; color: #800000; border: 1px solid #c08000; padding: 4px; }");
    const int height = std::min(Label1->heightForWidth(320), 240);
    Label1->setGeometry(8, 8 + 240 - height, 320, height);
}

void TForm1::Button1Click() { core_.Run(); }

void TForm1::Button2Click() {
    if (auto refusal = core_.CheckInstDir()) {
        ShowNotice(this, *refusal);
        return;
    }
    const std::string title = core_.setup().GameTitle();
    if (Button2->text() == QString::fromUtf8(text::kInstall)) {
        if (!AskYesNo(this, title + text::kInstallQuestion, text::kInstallQuestionCaption)) return;
        // The dialog is modal to this window, which takes no input while it
        // is shown.
        form2_->show();
        form2_->Button3->setFocus();
        return;
    }
    if (!AskYesNo(this, title + text::kUninstallQuestion, text::kUninstallQuestionCaption)) return;
    setEnabled(false);
    Button1->setEnabled(false);
    busy = true;
    const Notice notice = core_.Uninstall([] { QApplication::processEvents(); });
    busy = false;
    ShowNotice(this, notice);
    Button2->setText(QString::fromUtf8(text::kInstall));
    setEnabled(true);
}

void TForm1::Button3Click() { close(); }

void TForm1::InstallFinished() {
    Button1->setEnabled(true);
    Button1->setFocus();
    Button2->setText(QString::fromUtf8(text::kUninstall));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (busy) {
        event->ignore();
        return;
    }
    form2_->hide();
    event->accept();
}

// A window of its own that stays above the main window (its transient child)
// and blocks the main window's input while shown.
TForm2::TForm2(Launcher& core, TForm1& form1)
    : QWidget(&form1, Qt::Dialog), BrowseForFolder1(this), core_(core), form1_(form1), fileNum_(core.setup().FileNum()) {
    SetUpForm(*this, 344, 158);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(Text(core_.ProgramTitle() + text::kDialogTitleSuffix));
    Label1 = new QLabel(QString::fromUtf8(text::kChooseFolder), this);
    Label1->move(24, 8);
    Edit1 = new QLineEdit(Text(core_.DefaultInstallFolder().string()), this);
    Edit1->setGeometry(8, 32, 249, 20);
    Edit1->setReadOnly(true);
    Button1 = MakeButton(*this, text::kBrowse, {264, 32, 75, 25});
    Button2 = MakeButton(*this, text::kCancel, {8, 64, 75, 25});
    Button3 = MakeButton(*this, text::kInstall, {264, 64, 75, 25});
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(8, 104, 329, 25);
    ProgressBar1->setTextVisible(false);
    ShowProgress(0);
    Label2 = new QLabel(this);
    Label2->setGeometry(8, 136, 329, 16);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

// A progress bar with an empty range would show a busy indicator, and one
// past its maximum would ignore the value: the bar stays full instead.
void TForm2::ShowProgress(int entries) {
    ProgressBar1->setRange(0, fileNum_ > 0 ? fileNum_ : 1);
    ProgressBar1->setValue(fileNum_ > 0 ? std::min(entries, fileNum_) : 0);
}

void TForm2::SetButtonsEnabled(bool enabled) {
    Button1->setEnabled(enabled);
    Button2->setEnabled(enabled);
    Button3->setEnabled(enabled);
}

void TForm2::Button1Click() {
    if (BrowseForFolder1.Execute()) {
        Edit1->setText(Text(core_.InstallFolderIn(BrowseForFolder1.Folder).string()));
    }
}

void TForm2::Button2Click() { hide(); }

void TForm2::Button3Click() {
    int entries = 0;
    InstallCallbacks callbacks;
    callbacks.confirmCreateFolder = [this] {
        return AskYesNo(this, text::kCreateFolderQuestion, text::kCreateFolderCaption);
    };
    callbacks.confirmFilledFolder = [this](const std::string& question) {
        return AskYesNo(this, question, text::kFilledFolderCaption);
    };
    callbacks.copyStarting = [this] {
        SetButtonsEnabled(false);
        form1_.busy = true;
    };
    callbacks.progress.fileStarted = [this](const std::filesystem::path& path) { Label2->setText(Text(path.string())); };
    callbacks.progress.entryDone = [this, &entries] {
        ShowProgress(++entries);
        QApplication::processEvents();
    };
    const InstallResult result = core_.Install(Edit1->text().toStdString(), callbacks);
    form1_.busy = false;
    ShowNotice(this, result.notice);
    ShowProgress(0);
    SetButtonsEnabled(true);
    if (!result.installed) return;
    hide();
    form1_.InstallFinished();
}

void TForm2::showEvent(QShowEvent* event) {
    Label2->clear();
    QWidget::showEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (form1_.busy) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace launcher
