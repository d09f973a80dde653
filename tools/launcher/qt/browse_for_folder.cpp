#include "tools/launcher/qt/browse_for_folder.h"

#include <QFileDialog>
#include <QUrl>

namespace launcher {
namespace {

// The OK button goes through accept(), where the owner's veto is asked.
class FolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    std::function<bool()> canClose;

    void accept() override {
        if (!canClose || canClose()) QFileDialog::accept();
    }
};

std::string WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path.toStdString();
}

}  // namespace

bool BrowseForFolder::Execute() {
    // The non-native dialog reports selection changes, which a desktop portal
    // dialog does not.
    FolderDialog dialog(owner_, QString::fromStdString(Title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!InitialDir.empty()) dialog.setDirectory(QString::fromStdString(InitialDir));
    QObject::connect(&dialog, &QFileDialog::currentChanged, [this](const QString& path) {
        Folder = WithoutTrailingSeparator(path);
        if (OnSelectionChange) OnSelectionChange();
    });
    dialog.canClose = [this] {
        bool canClose = true;
        if (OnCanClose) OnCanClose(canClose);
        return canClose;
    };
    if (OnShow) OnShow();

    bool chosen = false;
    if (dialog.exec() == QDialog::Accepted) {
        const QUrl url = dialog.selectedUrls().value(0);
        chosen = url.isLocalFile();
        Folder = chosen ? url.toLocalFile().toStdString() : std::string();
    }
    if (OnClose) OnClose();
    return chosen;
}

}  // namespace launcher
