#include "tools/replaydesk/qt/replay_dialog.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace {

// The dialog is laid out in dialog units of its 9-point Gothic font, whose
// base units are 6 x 12 pixels at 96 dpi: a dialog unit is a quarter of the
// base width and an eighth of the base height, rounded as MulDiv rounds.
constexpr int BASE_UNIT_X = 6;
constexpr int BASE_UNIT_Y = 12;

int DialogUnitsToPixels(int units, int baseUnit, int divisor) {
    return (units * baseUnit + divisor / 2) / divisor;
}

QRect DialogRect(int x, int y, int width, int height) {
    return QRect(DialogUnitsToPixels(x, BASE_UNIT_X, 4), DialogUnitsToPixels(y, BASE_UNIT_Y, 8),
                 DialogUnitsToPixels(width, BASE_UNIT_X, 4), DialogUnitsToPixels(height, BASE_UNIT_Y, 8));
}

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect rect) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QPlainTextEdit* MakeTextBox(QWidget* parent, const char* name, QRect rect, bool readOnly) {
    auto* box = Place(new QPlainTextEdit(parent), name, rect);
    box->setReadOnly(readOnly);
    box->setTabChangesFocus(true);
    box->document()->setDocumentMargin(2);  // the narrow inner margin of a Windows edit box
    box->setAcceptDrops(false);  // a dropped file goes to the dialog, not into the text
    return box;
}

std::string ProgramFolder() { return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(); }

// The exact bytes of a local file URL's path: Qt's own conversion to a
// QString loses file names that are not valid UTF-8.
std::string LocalPathBytes(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace

ReplayDialog::ReplayDialog(replaydesk::ReplayDesk::FileChooser chooseReplayFile)
    : desk_(chooseReplayFile ? std::move(chooseReplayFile)
                             : [this](const std::string& folder) { return ChooseReplayFile(this, folder); },
            ProgramFolder()) {
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
    setWindowTitle(QStringLiteral("TZL リプレイエディタ ver 1.0"));
    setFixedSize(DialogRect(0, 0, 171, 207).size());
    setAcceptDrops(true);
    BuildControls();
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    move(desktop.x() + (desktop.width() - width()) / 2, desktop.y() + (desktop.height() - height()) / 2);
}

void ReplayDialog::BuildControls() {
    // Created in the dialog's tab order; the group box is only a frame and
    // stays behind the controls drawn inside it.
    auto* update = Place(new QPushButton(QStringLiteral("更新"), this), "IDC_UPDATE", DialogRect(109, 189, 50, 14));
    auto* close = Place(new QPushButton(QStringLiteral("閉じる"), this), "IDC_CLOSE", DialogRect(57, 189, 50, 14));
    Place(new QLabel(QStringLiteral("コメント"), this), "IDC_COMMENT_LABEL", DialogRect(17, 110, 91, 9));
    Place(new QLabel(QStringLiteral("ファイル名（フルパス）"), this), "IDC_PATH_LABEL", DialogRect(8, 7, 107, 9));
    Place(new QGroupBox(QStringLiteral("ファイル情報"), this), "IDC_INFO_GROUP", DialogRect(5, 36, 159, 148))->lower();
    path_ = Place(new QLineEdit(this), "IDC_PATH", DialogRect(7, 18, 121, 12));
    path_->setReadOnly(true);
    path_->setAcceptDrops(false);
    Place(new QLabel(QStringLiteral("基本情報(固定情報)"), this), "IDC_SUMMARY_LABEL", DialogRect(15, 49, 141, 10));
    auto* open = Place(new QPushButton(QStringLiteral("開く"), this), "IDC_OPEN", DialogRect(131, 17, 30, 14));
    comment_ = MakeTextBox(this, "IDC_COMMENT", DialogRect(15, 120, 135, 55), false);
    summary_ = MakeTextBox(this, "IDC_SUMMARY", DialogRect(15, 60, 135, 47), true);

    update->setDefault(true);
    update->setFocus();
    connect(update, &QPushButton::clicked, this, [this] { UpdateComment(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(open, &QPushButton::clicked, this, [this] { OpenReplay(); });
}

void ReplayDialog::OpenReplay() {
    if (desk_.Open()) {
        ShowReplaySummary();
    } else {
        ReportFailure();
    }
}

void ReplayDialog::UpdateComment() {
    if (!desk_.replayShown()) return;
    if (desk_.Update(comment_->toPlainText().toStdString(), comment_->document()->isModified())) {
        ShowReplaySummary();
    } else {
        ReportFailure();  // the typed comment stays in the box, still marked as changed
    }
}

void ReplayDialog::ShowReplaySummary() {
    summary_->setPlainText(QString::fromStdString(desk_.SummaryText()));
    comment_->setPlainText(QString::fromStdString(desk_.CommentText()));
    path_->setText(QString::fromStdString(desk_.PathText()));
    path_->setCursorPosition(0);  // the start of a long path stays in view
}

void ReplayDialog::ReportFailure() {
    if (desk_.failure().empty()) return;
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromStdString(desk_.failure()), QMessageBox::Ok,
                    this);
    box.exec();
}

void ReplayDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ReplayDialog::dropEvent(QDropEvent* event) {
    // Of several dropped files, only the first is taken.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    if (desk_.Load(LocalPathBytes(urls.first()))) {
        ShowReplaySummary();
    } else {
        // Reported once the drop is over, so the file manager is not kept waiting.
        QMetaObject::invokeMethod(this, [this] { ReportFailure(); }, Qt::QueuedConnection);
    }
}

void ReplayDialog::keyPressEvent(QKeyEvent* event) {
    // Escape does not close this dialog: only the close button and the
    // window's own close do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<std::string> ChooseReplayFile(QWidget* owner, const std::string& folder) {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("データ (*.rpl)"));
    dialog.setDefaultSuffix(QStringLiteral("rpl"));
    dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(folder)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}
