#include "gui/common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QStringList Translations::searchFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/translations")),
            QStringLiteral(GYVKT_INSTALLED_TRANSLATIONS_DIR)};
}

bool Translations::installHungarian(QCoreApplication& app) {
    // Dates and names the toolkit formats itself (the file dialog's columns, a calendar's
    // months) follow too; the protocol's decimal separator is taken from the system locale
    // on purpose and stays the user's.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    auto* translator = new QTranslator(&app);
    for (const QString& folder : searchFolders()) {
        if (translator->load(QLocale(QLocale::Hungarian, QLocale::Hungary), QStringLiteral("qtbase"),
                             QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}
