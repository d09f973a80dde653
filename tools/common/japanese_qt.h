#pragma once
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tools {

// The tools speak Japanese only, whatever the user's locale: Qt's own texts
// (the file and folder dialogs, the standard buttons of message boxes) come
// from Qt's Japanese translations (Debian package qt6-translations-l10n), and
// the dialogs format numbers and dates the Japanese way. False when the
// translations are not installed: Qt's own texts then stay English.
inline bool UseJapaneseQt(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace tools
