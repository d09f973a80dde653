#pragma once
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTreeView>

#include <clocale>
#include <cstdlib>
#include <string>

namespace tools {

// The file kinds the file dialogs show, in Japanese as the Windows shell
// names them (Qt's catalogue leaves them English).
class JapaneseFileKinds : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QStringLiteral("フォルダー");
        if (info.suffix().isEmpty()) return QStringLiteral("ファイル");
        return info.suffix().toUpper() + QStringLiteral(" ファイル");
    }
};

// Gives every file dialog the Japanese file kinds as it is shown.
class FileDialogWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<QFileDialog*>(object); dialog && dialog->iconProvider() != &kinds_) {
                dialog->setIconProvider(&kinds_);
                // The kind column is made for the short English names.
                if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
                    view->header()->resizeSection(
                        2, view->fontMetrics().horizontalAdvance(QStringLiteral("フォルダー")) * 2);
                }
            }
        }
        return false;
    }

private:
    JapaneseFileKinds kinds_;
};

// Set up before the application object: the dates of the file dialogs follow
// the system locale, which Qt reads from the environment once, at the start.
// The environment (which started programs inherit) is put back afterwards.
class JapaneseDatesAtStart {
protected:
    JapaneseDatesAtStart() {
        if (const char* value = std::getenv("LC_TIME")) saved_ = value;
        hadValue_ = std::getenv("LC_TIME") != nullptr;
        setenv("LC_TIME", "ja_JP.UTF-8", 1);
    }
    void PutBackEnvironment() {
        if (hadValue_) {
            setenv("LC_TIME", saved_.c_str(), 1);
        } else {
            unsetenv("LC_TIME");
        }
        std::setlocale(LC_ALL, "");  // the C library's locale as the user set it
    }

private:
    std::string saved_;
    bool hadValue_ = false;
};

// The application object of the tools, which speak Japanese only, whatever
// the user's locale: Qt's own texts (the file and folder dialogs, the
// standard buttons of message boxes) come from Qt's Japanese translations
// (Debian package qt6-translations-l10n), and the dialogs show numbers, dates
// and file kinds the Japanese way. Without the translations installed Qt's
// own texts stay English (`translated` is false).
class JapaneseApplication : private JapaneseDatesAtStart, public QApplication {
public:
    JapaneseApplication(int& argc, char** argv) : QApplication(argc, argv) {
        QLocale::system();  // read now, while the environment asks for Japanese
        PutBackEnvironment();
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        installEventFilter(new FileDialogWatcher(this));
        auto* translator = new QTranslator(this);
        translated_ = translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                      installTranslator(translator);
        if (!translated_) delete translator;
    }

    bool translated() const { return translated_; }

private:
    bool translated_ = false;
};

}  // namespace tools
